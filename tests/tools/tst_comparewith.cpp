// The editor's "Compare with…": the version asked for among those held, the
// open drawing compared with it in a window of its own.
#include <QApplication>
#include <QtTest>

#include "comparewith.h"
#include "deploytree.h"
#include "dialogdriver.h"
#include "mgraph.h"
#include "mgraphcompareview.h"
#include "mgraphdoc.h"
#include "mtextobj.h"
#include "testmain.h"

using TestSupport::DeployTree;
using TestSupport::DialogDriver;

namespace {

const QString kPic = QString::fromUtf8("北京变电站");

// A drawing with one text, its identifier 1.
void drawing(MGraphDoc& doc, const QString& text)
{
    auto* label = new MTextObj;
    label->SetText(text);
    label->SetPoints({QPointF(10, 10), QPointF(200, 40)});
    doc.GetGraph()->AddObject(label);
}

bool writeVersion(DeployTree& tree, int version, const QString& text)
{
    MGraphDoc doc;
    drawing(doc, text);
    const QString folder = tree.path("pic/SCADA/" + kPic);
    return QDir().mkpath(folder) && doc.WriteXmlFile(QString("%1/%2.xrg").arg(folder).arg(version));
}

} // namespace

class tst_CompareWith : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void offersTheVersionsHeldAndShowsTheComparison();
    void nothingToCompare();
    void cancelledOrUnreadable();
};

void tst_CompareWith::offersTheVersionsHeldAndShowsTheComparison()
{
    // Guards against comparing with another version than the one chosen, or against the saved file instead of the open drawing.
    DeployTree tree;
    QVERIFY(writeVersion(tree, 0, "draft text") && writeVersion(tree, 1, "one") && writeVersion(tree, 2, "two"));
    MGraphDoc open;
    drawing(open, "two");
    QWidget parent;
    DialogDriver dialogs;
    dialogs.chooseItem("version 1", "Compare 北京变电站 with");
    QString message;
    MGraphCompareView* view = CompareWith::Show(&parent, "SCADA", kPic, &open, message);
    QVERIFY2(dialogs.finish(), qPrintable(dialogs.report()));
    QVERIFY(view);
    QCOMPARE(view->parent(), &parent);
    QVERIFY(view->isWindow() && view->isVisible());
    QCOMPARE(view->ChangeLines(), QStringList{"text changed: text 1 'one' → 'two'"});
    QCOMPARE(view->windowTitle(), QString("SCADA / 北京变电站: version 1 → the open drawing"));
    QCOMPARE(message, QString("SCADA / 北京变电站: 1 change(s) since version 1"));
    // The newest version is offered first.
    DialogDriver newest;
    newest.chooseItem("version 2");
    view = CompareWith::Show(&parent, "SCADA", kPic, &open, message);
    QVERIFY2(newest.finish(), qPrintable(newest.report()));
    QVERIFY(view);
    QCOMPARE(view->ChangeCount(), 0);
    QVERIFY(view->testAttribute(Qt::WA_DeleteOnClose));
}

void tst_CompareWith::nothingToCompare()
{
    // Guards against a dialog offering no versions, or a comparison without an open drawing.
    DeployTree tree;
    MGraphDoc open;
    QWidget parent;
    QString message;
    QVERIFY(!CompareWith::Show(&parent, "SCADA", QString(), &open, message));
    QCOMPARE(message, QString("Open a picture first."));
    QVERIFY(!CompareWith::Show(&parent, "SCADA", kPic, nullptr, message));
    QCOMPARE(message, QString("Open a picture first."));
    QVERIFY(!CompareWith::Show(&parent, "SCADA", kPic, &open, message));
    QCOMPARE(message, QString("北京变电站 has no saved version to compare with."));
    QVERIFY(parent.findChildren<MGraphCompareView*>().isEmpty());
}

void tst_CompareWith::cancelledOrUnreadable()
{
    // Guards against a window opened after a cancel, or showing a comparison with a drawing that did not read.
    DeployTree tree;
    QVERIFY(writeVersion(tree, 1, "one"));
    QVERIFY(tree.writeFile("pic/SCADA/" + kPic + "/0.xrg", "<graph"));
    MGraphDoc open;
    QWidget parent;
    QString message = "stale";
    DialogDriver dialogs;
    dialogs.cancelInput().chooseItem("draft");
    QVERIFY(!CompareWith::Show(&parent, "SCADA", kPic, &open, message));
    QCOMPARE(message, QString());
    QVERIFY(!CompareWith::Show(&parent, "SCADA", kPic, &open, message));
    QVERIFY2(dialogs.finish(), qPrintable(dialogs.report()));
    QCOMPARE(message, QString("the draft of SCADA/北京变电站 does not read as a drawing"));
    QVERIFY(parent.findChildren<MGraphCompareView*>().isEmpty());
}

TALMER_TEST_MAIN(tst_CompareWith)
#include "tst_comparewith.moc"
