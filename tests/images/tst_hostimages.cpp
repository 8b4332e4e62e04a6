#include <QStatusBar>
#include <QTest>

#include "editorwindow.h"
#include "hostsite.h"
#include "imagecheck.h"
#include "testmain.h"
#include "viewerwindow.h"

using TestSupport::ImageCheck;

namespace {

const ImageCheck::Limits kLimits{16, 40};
// Small enough for a control image of a few tens of KB, wide enough for every dock.
const QSize kWindowSize(1000, 620);

// Shows window at the fixed size; false when it never comes up.
bool showFixed(QWidget& window)
{
    window.resize(kWindowSize);
    window.show();
    return QTest::qWaitForWindowExposed(&window);
}

} // namespace

class tst_HostImages : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void editorWithAPictureOpen();
    void viewerWithAPictureOpen();

private:
    HostSite m_site;
    const QString m_picture = QString::fromUtf8("北京变电站");
};

void tst_HostImages::initTestCase()
{
    QString reason;
    QVERIFY2(ImageCheck::FixRendering(&reason), qPrintable(reason));
    QVERIFY2(m_site.make(&reason), qPrintable(reason));
}

void tst_HostImages::editorWithAPictureOpen()
{
    // Guards against an editor window whose docks, tree or drawing come out other than they did.
    EditorWindow window;
    QVERIFY(showFixed(window));
    QVERIFY(window.ChooseSearchResult(m_picture));
    QCOMPARE(window.OpenPicture(), m_picture);
    QApplication::processEvents();
    QString reason;
    QVERIFY2(ImageCheck::Compare(window.grab().toImage(), "editor_main_window", &reason, kLimits), qPrintable(reason));
}

void tst_HostImages::viewerWithAPictureOpen()
{
    // Guards against a viewer window whose tree, palette or drawing come out other than they did.
    ViewerWindow window;
    QVERIFY(showFixed(window));
    QVERIFY(window.ChooseSearchResult(m_picture));
    const QString shown = window.statusBar()->currentMessage();
    QVERIFY2(shown.contains(m_picture) && !shown.contains("not found"), qPrintable(shown));
    QApplication::processEvents();
    QString reason;
    QVERIFY2(ImageCheck::Compare(window.grab().toImage(), "viewer_main_window", &reason, kLimits), qPrintable(reason));
}

TALMER_TEST_MAIN(tst_HostImages)
#include "tst_hostimages.moc"
