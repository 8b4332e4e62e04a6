#include <QComboBox>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include "dialogdriver.h"
#include "ftptestserver.h"
#include "mabstractdbinterface.h"
#include "mdbinterfaceholder.h"
#include "mdbrecords.h"
#include "mdeploypaths.h"
#include "mgraphitemonline.h"
#include "mgraphprivilege.h"
#include "mgraphtreeviewonline.h"
#include "mgraphviewonline.h"
#include "mhmiadmin.h"
#include "testdatabase.h"
#include "testmain.h"
#include "treetesting.h"
#include "testsite.h"

using TestSupport::DialogDriver;
using TestSupport::TestSite;

using TestSupport::child;
using TestSupport::readFile;
using TestSupport::texts;
using TestSupport::writeFile;

namespace {

const QString kOld = "2026-01-01T10:00:00", kMid = "2026-01-02T10:00:00", kNew = "2026-01-03T10:00:00";

} // namespace

class tst_GraphViewOnline : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestSite> m_site;
    std::unique_ptr<MGraphViewOnline> m_view;

    MGraphTreeViewOnline* tree() const { return m_view->Tree(); }
    QString picture(const QString& name, const QList<int>& versions, const QStringList& times,
                    const QString& type = {}, int level = 0, int area = 0)
    {
        const QString p = m_site->builder().picture(type.isEmpty() ? m_site->station : type, name, level, 0, area);
        for (int i = 0; i < versions.size(); ++i)
            m_site->builder().edition(p, versions[i], times[i]);
        return p;
    }
    // The view over the site built so far, shown; false when the site could not be built.
    bool makeView()
    {
        if (!m_site->builder().ok()) {
            qWarning("%s", qPrintable(m_site->builder().errors()));
            return false;
        }
        m_view = std::make_unique<MGraphViewOnline>();
        m_view->resize(400, 600);
        m_view->show();
        return QTest::qWaitForWindowExposed(m_view.get());
    }
    // Clicks application A, its type "station" and the picture, as an operator would.
    QTreeWidgetItem* openPicture(const QString& name, const QString& type = "station")
    {
        QTreeWidgetItem* app = tree()->topLevelItem(0);
        tree()->ItemClicked(app, 0);
        QTreeWidgetItem* typeItem = child(app, type);
        if (!typeItem)
            return nullptr;
        tree()->ItemClicked(typeItem, 0);
        QTreeWidgetItem* pic = child(typeItem, name);
        if (pic)
            tree()->ItemClicked(pic, 0);
        return pic;
    }
    QString local(const QString& pic, int version, const char* ext) const
    {
        return MDeployPaths::VersionFile("A", pic, version, ext);
    }

private Q_SLOTS:
    void init();
    void cleanup();

    void editionLayouts_data();
    void editionLayouts();
    void draftOnlyPictureOpensOnAClickAndDuplicatesShowOnce();
    void privilegesFilterPictures();
    void aRefusedLogInHidesEverything();
    void openingFetchesStaleFiles_data();
    void openingFetchesStaleFiles();
    void missingFilesAreReportedNotSelected();
    void searchCountsOccurrencesAndOpensTheLatest();
    void returnKeyOpensThePopup();
    void versionQueries();
    void graphTypeByApplicationName();
    void hostReenteringDuringSelection();
};

void tst_GraphViewOnline::init()
{
    MGraphPrivilege::Clear();
    m_site = std::make_unique<TestSite>();
}

void tst_GraphViewOnline::cleanup()
{
    m_view.reset();
    m_site.reset();
    MGraphPrivilege::Clear();
}

void tst_GraphViewOnline::editionLayouts_data()
{
    QTest::addColumn<QList<int>>("versions");
    QTest::addColumn<QStringList>("times");
    QTest::addColumn<bool>("showAll");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("0,1,2 show-all off") << QList<int>{0, 1, 2} << QStringList{kNew, kOld, kMid} << false
                                        << QStringList{"draft", "latest version"};
    QTest::newRow("0,1,2 show-all on") << QList<int>{0, 1, 2} << QStringList{kNew, kOld, kMid} << true
                                       << QStringList{"history verstion", "draft", "latest version"};
    QTest::newRow("0,1 show-all on: no folder") << QList<int>{0, 1} << QStringList{kNew, kOld} << true
                                                << QStringList{"draft", "latest version"};
    QTest::newRow("stale draft hidden") << QList<int>{0, 1, 2} << QStringList{kOld, kOld, kMid} << false
                                        << QStringList{"latest version"};
    QTest::newRow("equal times keep the draft") << QList<int>{0, 1} << QStringList{kMid, kMid} << false
                                                << QStringList{"draft", "latest version"};
}

void tst_GraphViewOnline::editionLayouts()
{
    // Guards against editions shown twice, stale drafts shown, or the history folder where it does not belong.
    QFETCH(QList<int>, versions);
    QFETCH(QStringList, times);
    QFETCH(bool, showAll);
    QFETCH(QStringList, shown);
    picture("P", versions, times);
    QVERIFY(makeView());
    tree()->ShowAllEdition(showAll);
    DialogDriver dialogs; // none expected: opening a version with no file reports it
    if (shown.contains("latest version"))
        dialogs.pressButton(QMessageBox::Ok, "graph file not existed");
    QTreeWidgetItem* pic = openPicture("P");
    QVERIFY(pic);
    QCOMPARE(texts(pic), shown);
    if (shown.first() == "history verstion")
        QCOMPARE(texts(pic->child(0)), QStringList{QString("Ver1(%1)").arg(kOld)});
    QVERIFY2(dialogs.finish(), qPrintable(dialogs.report()));
}

void tst_GraphViewOnline::draftOnlyPictureOpensOnAClickAndDuplicatesShowOnce()
{
    // Guards against a lone draft needing a second click, and pictures listed twice.
    picture("D", {0}, {kOld});
    QVERIFY(TestSupport::TestDatabase::allowDuplicatePictureNames(BrelMmiDataAgent::ConfiguredDatabase()));
    picture("Twin", {0}, {kOld}, {}, 0, 0); // as an older program could leave them
    picture("Twin", {0}, {kNew}, {}, 0, 0);
    QVERIFY(makeView());
    QSignalSpy selected(m_view.get(), &MAbstractGraphView::GraphSelected);
    QTreeWidgetItem* pic = openPicture("D");
    QVERIFY(pic);
    QCOMPARE(selected.count(), 1); // a draft without files is still reported
    QCOMPARE(selected.at(0).at(2).toInt(), 0);
    QCOMPARE(tree()->currentItem(), pic->child(0));
    QCOMPARE(texts(pic->parent()), (QStringList{"D", "Twin"}));
}

void tst_GraphViewOnline::privilegesFilterPictures()
{
    // Guards against operators seeing pictures above their level or outside their areas.
    picture("Low", {0, 1}, {kOld, kOld}, {}, 3, 0);
    picture("High", {0, 1}, {kOld, kOld}, {}, 9, 0);
    picture("OtherArea", {0, 1}, {kOld, kOld}, {}, 1, 7);
    picture("Alone", {0, 1}, {kOld, kOld}, m_site->feeder, 9, 0);
    QVERIFY(MHmiAdmin::AddUser("op", "secret", 5));
    QVERIFY(MHmiAdmin::GrantFunction("op", "MMI", "graph view"));
    QVERIFY(MHmiAdmin::AddResponsibility("op", "*", 3));
    QVERIFY(makeView());
    m_view->SetUserInfo("op", "secret");
    QVERIFY(m_view->LoggedIn());
    QTreeWidgetItem* app = tree()->topLevelItem(0);
    tree()->ItemClicked(app, 0);
    tree()->ItemClicked(child(app, "station"), 0);
    QCOMPARE(texts(child(app, "station")), QStringList{"Low"});
    DialogDriver dialogs;
    dialogs.pressButton(QMessageBox::Ok, "you dont have privilege to view any of this graphes.");
    tree()->ItemClicked(child(app, "feeder"), 0);
    QVERIFY2(dialogs.finish(), qPrintable(dialogs.report()));
    QCOMPARE(child(app, "feeder")->childCount(), 0);
}

void tst_GraphViewOnline::aRefusedLogInHidesEverything()
{
    // Guards against a wrong password showing an operator the whole library, and trees undoing a log-in.
    picture("Open", {0, 1}, {kOld, kOld}, {}, 0, 0);
    QVERIFY(MHmiAdmin::AddUser("op", "secret", 5));
    QVERIFY(makeView());
    m_view->SetUserInfo("op", "wrong");
    QVERIFY(!m_view->LoggedIn());
    MGraphTreeViewOnline another; // a second tree must not lift the refusal
    DialogDriver dialogs;
    dialogs.pressButton(QMessageBox::Ok, "privilege");
    QTreeWidgetItem* app = tree()->topLevelItem(0);
    tree()->ItemClicked(app, 0);
    tree()->ItemClicked(child(app, "station"), 0);
    QVERIFY2(dialogs.finish(), qPrintable(dialogs.report()));
    QCOMPARE(child(app, "station")->childCount(), 0);
    QStringList found;
    MDBInterfaceHolder::Instance()->GetInterface()->SearchPictures(found, "O");
    QVERIFY(found.isEmpty());
}

void tst_GraphViewOnline::openingFetchesStaleFiles_data()
{
    QTest::addColumn<int>("brgAgeSecs");   // local .brg's time before the record's (negative: after)
    QTest::addColumn<int>("xrgLeadSecs");  // local .xrg newer than the .brg by (-1: no .xrg)
    QTest::addColumn<bool>("fetched");
    QTest::newRow("current") << -5 << -1 << false;
    QTest::newRow("older than its record") << 60 << -1 << true;
    QTest::newRow("text form 10 s newer") << -5 << 10 << false;
    QTest::newRow("text form 11 s newer") << -5 << 11 << true;
}

void tst_GraphViewOnline::openingFetchesStaleFiles()
{
    // Guards against operators shown an out-of-date binary form, and fetches of files that are current.
    QFETCH(int, brgAgeSecs);
    QFETCH(int, xrgLeadSecs);
    QFETCH(bool, fetched);
    picture("P", {0, 1}, {kOld, kMid});
    const QDateTime record = QDateTime::fromString(kMid, Qt::ISODate);
    const QDateTime brgTime = record.addSecs(-brgAgeSecs);
    QVERIFY(writeFile(local("P", 1, "brg"), "local", brgTime));
    if (xrgLeadSecs >= 0)
        QVERIFY(writeFile(local("P", 1, "xrg"), "text", brgTime.addSecs(xrgLeadSecs)));
    QVERIFY(writeFile(m_site->server("pic/A/P/1.brg"), "server"));
    QVERIFY(writeFile(m_site->server("pic/A/P/1.fg"), "server fg"));
    QVERIFY(makeView());
    QSignalSpy selected(m_view.get(), &MAbstractGraphView::GraphSelected);
    openPicture("P");
    QCOMPARE(selected.count(), 1);
    QCOMPARE(selected.at(0), (QVariantList{"A", "P", 1, 0}));
    QCOMPARE(readFile(local("P", 1, "brg")), fetched ? QByteArray("server") : QByteArray("local"));
}

void tst_GraphViewOnline::missingFilesAreReportedNotSelected()
{
    // Guards against hosts told to open a version whose files are nowhere, and stale copies thrown away.
    picture("Gone", {0, 1}, {kOld, kMid});
    picture("Stale", {0, 1}, {kOld, kMid});
    QVERIFY(writeFile(local("Stale", 1, "brg"), "old copy", QDateTime::fromString(kOld, Qt::ISODate)));
    QVERIFY(makeView());
    QSignalSpy selected(m_view.get(), &MAbstractGraphView::GraphSelected);
    DialogDriver dialogs;
    dialogs.pressButton(QMessageBox::Ok, "Gone : graph file not existed!");
    openPicture("Gone");
    QVERIFY2(dialogs.finish(), qPrintable(dialogs.report()));
    QCOMPARE(selected.count(), 0);
    openPicture("Stale"); // the fetch fails, the old copy is still shown
    QCOMPARE(selected.count(), 1);
    QCOMPARE(readFile(local("Stale", 1, "brg")), QByteArray("old copy"));
    QCOMPARE(m_view->GetLatestVersion("A", "Stale"), 1);
    QCOMPARE(m_view->GetLatestVersion("A", "Gone"), -1);
}

void tst_GraphViewOnline::searchCountsOccurrencesAndOpensTheLatest()
{
    // Guards against the search opening the picture of the wrong application, or not the latest version.
    const QString b = m_site->builder().application("B");
    const QString bType = m_site->builder().pictureType(b, "station", 2);
    picture("AB", {0, 1, 2}, {kOld, kOld, kMid});
    picture("AB", {0, 1}, {kOld, kOld}, bType);
    picture("北京变电站", {0, 1}, {kOld, kOld});
    QVERIFY(makeView());
    QSignalSpy selected(m_view.get(), &MAbstractGraphView::GraphSelected);
    QComboBox* combo = m_view->SearchBox();
    DialogDriver dialogs; // no files anywhere: each opening says so
    dialogs.pressButton(QMessageBox::Ok).pressButton(QMessageBox::Ok).pressButton(QMessageBox::Ok);
    combo->setEditText("ab");
    QCOMPARE(combo->count(), 3); // the typed text and "AB" twice
    combo->setCurrentIndex(2);
    m_view->ComboActivated(2);   // the second "AB": application B
    QTRY_COMPARE(tree()->currentItem() ? tree()->currentItem()->parent()->text(1) : QString(), QString("AB"));
    QCOMPARE(tree()->currentItem()->parent()->parent()->parent()->text(1), QString("B"));
    combo->setCurrentIndex(1);
    m_view->ComboActivated(1);   // the first: application A, latest version 2
    QCOMPARE(tree()->currentItem()->text(0), QString("latest version"));
    QCOMPARE(tree()->currentItem()->parent()->parent()->parent()->text(1), QString("A"));
    combo->setEditText("bj");    // Pinyin initials
    QCOMPARE(combo->count(), 2);
    QCOMPARE(combo->itemText(1), QString("北京变电站"));
    combo->setCurrentIndex(1);
    m_view->ComboActivated(1);
    QCOMPARE(tree()->currentItem()->parent()->text(1), QString("北京变电站"));
    QVERIFY2(dialogs.finish(), qPrintable(dialogs.report()));
    QCOMPARE(selected.count(), 0); // nothing to open without files
}

void tst_GraphViewOnline::returnKeyOpensThePopup()
{
    // Guards against Return swallowed by the view instead of showing the matches.
    picture("AB", {0}, {kOld});
    QVERIFY(makeView());
    QComboBox* combo = m_view->SearchBox();
    combo->setEditText("A");
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Return);
    QTRY_VERIFY(combo->view()->isVisible());
    combo->hidePopup();
}

void tst_GraphViewOnline::versionQueries()
{
    // Guards against version answers that hide a usable local copy or invent a missing one.
    picture("P", {0, 1, 3}, {kOld, kOld, kMid});
    picture("Draft", {0}, {kOld});
    QVERIFY(writeFile(m_site->server("pic/A/P/3.brg"), "server 3"));
    QVERIFY(makeView());
    QCOMPARE(m_view->GetLatestVersion("X", "P"), -100);
    QCOMPARE(m_view->GetLatestVersion("A", "nope"), -100);
    QCOMPARE(m_view->GetLatestVersion("A", "P"), 3);
    QCOMPARE(readFile(local("P", 3, "brg")), QByteArray("server 3"));
    QCOMPARE(m_view->GetLatestVersion("A", "Draft"), -1);
    QVERIFY(!m_view->GetLatestFile("A", "P", 2)); // no such version
    QVERIFY(m_view->GetLatestFile("A", "P", 3));
    QVERIFY(!m_view->GetLatestFile("A", "P", 1)); // nowhere to be had
    QVERIFY(writeFile(local("P", 1, "xrg"), "text"));
    QVERIFY(m_view->GetLatestFile("A", "P", 1));  // the text form is left
    if (qEnvironmentVariableIsEmpty("TALMER_HMI_DB"))
        qputenv("TALMER_HMI_DB", m_site->tree().path("var/hmi.sqlite").toUtf8());
    qunsetenv("TALMER_DEPLOY_DIR");
    QCOMPARE(m_view->GetLatestVersion("A", "P"), -1); // no root: nothing fetched, nothing written
    QVERIFY(!QFileInfo::exists("/pic"));
}

void tst_GraphViewOnline::graphTypeByApplicationName()
{
    // Guards against picture types taken from another application that shows the same label.
    picture("P", {0}, {kOld}, m_site->feeder);
    QVERIFY(makeView());
    QString type = "untouched";
    int code = -1;
    QVERIFY(m_view->GraphType("P", "A", type, code));
    QCOMPARE(type, QString("feeder"));
    QCOMPARE(code, 9);
    type = "untouched";
    QVERIFY(!m_view->GraphType("P", "nope", type, code));
    QVERIFY(!m_view->GraphType("nope", "A", type, code));
    QCOMPARE(type, QString("untouched"));
}

void tst_GraphViewOnline::hostReenteringDuringSelection()
{
    // Guards against a crash when the host's slot reselects the picture while the view is still emitting.
    picture("P", {0, 1}, {kOld, kMid});
    QVERIFY(writeFile(local("P", 1, "brg"), "local"));
    QVERIFY(makeView());
    int calls = 0;
    connect(m_view.get(), &MAbstractGraphView::GraphSelected, this, [&](const QString& app, const QString& pic) {
        if (++calls == 1)
            m_view->Tree()->SelectGraphItem(app, pic, -1, true); // rebuilds the picture's editions
    });
    openPicture("P");
    QCOMPARE(calls, 2);
    QCOMPARE(tree()->currentItem()->text(0), QString("latest version"));
}

TALMER_TEST_MAIN(tst_GraphViewOnline)
#include "tst_graphviewonline.moc"
