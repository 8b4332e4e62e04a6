#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>

#include "brelmmidataagent.h"
#include "dialogdriver.h"
#include "editortesting.h"
#include "ftptestserver.h"
#include "mdbrecords.h"
#include "mdeploypaths.h"
#include "mhmiadmin.h"
#include "testdatabase.h"
#include "testmain.h"
#include "treerules.h"

using EditorTesting::EditorSite;
using TestSupport::DialogDriver;
using TestSupport::readFile;
using TestSupport::texts;
using TestSupport::writeFile;

namespace {

const QString kOld = "2026-01-01T10:00:00", kMid = "2026-01-02T10:00:00", kNew = "2026-01-03T10:00:00";

QString local(const QString& pic, int version, const QString& extension)
{
    return MDeployPaths::VersionFile("A", pic, version, extension);
}

QDateTime at(const QString& time)
{
    return QDateTime::fromString(time, Qt::ISODate);
}

} // namespace

class tst_EditorTree : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void versionRows_data();
    void versionRows();
    void sameVersionTwiceKeepsTheFirst();
    void picturesOncePerNameInPinyinOrder();
    void clickingAPictureOpens_data();
    void clickingAPictureOpens();
    void openingFetchesStaleFiles_data();
    void openingFetchesStaleFiles();
    void missingFilesShowTheTranslatedLabel();
    void selectGraphByNameAndOccurrence();
    void viewSelectGraphRemembersTheOpenedPicture();
    void graphTypeByApplication();
    void reloadClearsCurrentItemsInside();
    void hostRebuildingFromGraphSelected_data();
    void hostRebuildingFromGraphSelected();
};

void tst_EditorTree::versionRows_data()
{
    QTest::addColumn<QList<int>>("versions");
    QTest::addColumn<QStringList>("times");
    QTest::addColumn<bool>("showAll");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("history");

    const QStringList both{"draft", "latest version"};
    const QStringList folderAndBoth{"history verstion", "draft", "latest version"};
    QTest::newRow("0-3, show-all off") << QList<int>{0, 1, 2, 3} << QStringList{kNew, kOld, kMid, kNew} << false
                                        << both << QStringList();
    QTest::newRow("0-3, show-all on") << QList<int>{0, 1, 2, 3} << QStringList{kNew, kOld, kMid, kNew} << true
                                       << folderAndBoth << QStringList{"Ver1(" + kOld + ")", "Ver2(" + kMid + ")"};
    QTest::newRow("0-1, show-all on: one release, no folder")
        << QList<int>{0, 1} << QStringList{kNew, kOld} << true << both << QStringList();
    QTest::newRow("draft older: hidden") << QList<int>{0, 1} << QStringList{kOld, kNew} << false
                                          << QStringList{"latest version"} << QStringList();
    QTest::newRow("draft as old: shown") << QList<int>{0, 1} << QStringList{kNew, kNew} << false << both
                                          << QStringList();
    QTest::newRow("draft only") << QList<int>{0} << QStringList{kOld} << true << QStringList{"draft"}
                                << QStringList();
    QTest::newRow("releases, no draft, show-all off")
        << QList<int>{1, 2} << QStringList{kOld, kMid} << false << QStringList{"latest version"} << QStringList();
    QTest::newRow("releases, no draft, show-all on")
        << QList<int>{1, 2} << QStringList{kOld, kMid} << true << QStringList{"history verstion", "latest version"}
        << QStringList{"Ver1(" + kOld + ")"};
    QTest::newRow("unreadable draft time: kept") << QList<int>{0, 1} << QStringList{"yesterday", kNew} << false
                                                  << both << QStringList();
    QTest::newRow("unreadable release time: draft kept") << QList<int>{0, 1} << QStringList{kOld, "?"} << false
                                                          << both << QStringList();
}

// Guards against the wrong versions shown for the draft, latest and history rules.
void tst_EditorTree::versionRows()
{
    QFETCH(QList<int>, versions);
    QFETCH(QStringList, times);
    QFETCH(bool, showAll);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, history);

    EditorSite site;
    site.picture("P", versions, times);
    for (int v : versions)
        QVERIFY(writeFile(local("P", v, "xrg"), "text")); // a release opened alone has its files
    QVERIFY(site.makeView());
    site.tree()->ShowAllEdition(showAll);
    MGraphTreeItem* picture = site.click({"A", "station", "P"});
    QVERIFY(picture);
    QCOMPARE(texts(picture), rows);
    QCOMPARE(texts(TestSupport::child(picture, "history verstion")), history);
}

// Guards against the later of two records of one version taken as the latest (the library refuses
// them now; older programs could leave them).
void tst_EditorTree::sameVersionTwiceKeepsTheFirst()
{
    auto edition = [](int version, const QString& time, const QString& versionTime = {}) {
        auto* e = new MDBRecordEdition;
        e->version = version;
        e->modifyTime = time;
        e->versionTime = versionTime;
        return static_cast<MDBRecordBase*>(e);
    };
    QTreeWidget tree;
    auto* picture = new MGraphTreeItem(&tree, new MDBRecordPicture);
    QList<MDBRecordBase*> records{edition(0, kNew), edition(2, kOld, "released"), edition(2, kMid)};
    const TreeRules::EditionLabels labels{"history", "draft", "latest"};
    TreeRules::AddEditions<MGraphTreeItem>(picture, records, true, labels,
                                           [](QTreeWidgetItem* parent) { return new QTreeWidgetItem(parent); });
    QVERIFY(records.isEmpty());
    QCOMPARE(texts(picture), (QStringList{"history", "draft", "latest"}));
    QCOMPARE(texts(picture->child(0)), QStringList{"Ver2(" + kMid + ")"});
    auto* latest = static_cast<MGraphTreeItem*>(picture->child(2));
    QCOMPARE(static_cast<MDBRecordEdition*>(latest->Record())->versionTime, QString("released"));
}

// Guards against a picture listed twice and pictures out of Pinyin order.
void tst_EditorTree::picturesOncePerNameInPinyinOrder()
{
    EditorSite site;
    QVERIFY(TestSupport::TestDatabase::allowDuplicatePictureNames(BrelMmiDataAgent::ConfiguredDatabase()));
    site.picture("上海站", {0}, {kOld});
    site.picture("Twin", {0, 1}, {kNew, kOld}); // the first record of a name wins
    site.picture("北京变电站", {0}, {kOld});
    site.picture("Twin", {0}, {kNew});
    site.picture("安徽站", {0}, {kOld});
    QVERIFY(site.makeView());
    MGraphTreeItem* type = site.click({"A", "station"});
    QVERIFY(type);
    QCOMPARE(texts(type), (QStringList{"安徽站", "北京变电站", "上海站", "Twin"}));
    QCOMPARE(site.tree()->PicturesOfType(type->Record()).size(), 4);
    qDeleteAll(site.tree()->PicturesOfType(type->Record()));
    MGraphTreeItem* twin = site.click({"A", "station", "Twin"});
    QVERIFY(twin);
    QCOMPARE(texts(twin), (QStringList{"draft", "latest version"}));
}

void tst_EditorTree::clickingAPictureOpens_data()
{
    QTest::addColumn<QList<int>>("versions");
    QTest::addColumn<QStringList>("times");
    QTest::addColumn<QVariantList>("opened"); // the editions emitted, in order
    QTest::addColumn<QString>("current");

    QTest::newRow("draft only: opens it") << QList<int>{0} << QStringList{kOld} << QVariantList{0} << "draft";
    QTest::newRow("releases only: the latest, alone, opens")
        << QList<int>{1, 2} << QStringList{kOld, kMid} << QVariantList{2} << "latest version";
    QTest::newRow("draft and latest: the draft opens")
        << QList<int>{0, 1} << QStringList{kNew, kOld} << QVariantList{0} << "draft";
    QTest::newRow("older draft hidden: the latest opens")
        << QList<int>{0, 1} << QStringList{kOld, kNew} << QVariantList{1} << "latest version";
}

// Guards against a click on a picture opening the wrong version, or none.
void tst_EditorTree::clickingAPictureOpens()
{
    QFETCH(QList<int>, versions);
    QFETCH(QStringList, times);
    QFETCH(QVariantList, opened);
    QFETCH(QString, current);

    EditorSite site;
    site.picture("P", versions, times);
    for (int v : versions)
        QVERIFY(writeFile(local("P", v, "xrg"), "text")); // current copies: nothing to fetch
    QVERIFY(site.makeView());
    QSignalSpy selected(site.view(), &MAbstractGraphView::GraphSelected);
    QVERIFY(site.click({"A", "station", "P"}));
    QVariantList editions;
    for (const QList<QVariant>& signal : selected) {
        QCOMPARE(signal.at(0).toString(), QString("A"));
        QCOMPARE(signal.at(3).toInt(), 0);
        editions << signal.at(2).toInt();
    }
    QCOMPARE(editions, opened);
    QCOMPARE(site.tree()->currentItem()->text(0), current);
    QCOMPARE(site.tree()->OpenedPicture(), QString("P"));
    QCOMPARE(site.tree()->OpenedEdition(), opened.last().toInt());
}

void tst_EditorTree::openingFetchesStaleFiles_data()
{
    QTest::addColumn<QString>("recordTime");
    QTest::addColumn<int>("localAgeSecs"); // the local .xrg's age against the record (-1: none)
    QTest::addColumn<bool>("fetched");

    QTest::newRow("missing") << kMid << -1 << true;
    QTest::newRow("older than its record") << kMid << 60 << true;
    QTest::newRow("as old as its record") << kMid << 0 << false;
    QTest::newRow("unreadable record time") << "not a time" << 60 << false;
}

// Guards against the engineer editing an out-of-date copy, and fetches of current files.
void tst_EditorTree::openingFetchesStaleFiles()
{
    QFETCH(QString, recordTime);
    QFETCH(int, localAgeSecs);
    QFETCH(bool, fetched);

    EditorSite site;
    site.picture("P", {1}, {recordTime});
    if (localAgeSecs >= 0)
        QVERIFY(writeFile(local("P", 1, "xrg"), "local", at(kMid).addSecs(-localAgeSecs)));
    QVERIFY(writeFile(site.server("pic/A/P/1.xrg"), "server text"));
    QVERIFY(writeFile(site.server("pic/A/P/1.brg"), "server binary"));
    QVERIFY(site.makeView());
    QSignalSpy selected(site.view(), &MAbstractGraphView::GraphSelected);
    QVERIFY(site.click({"A", "station", "P"}));
    QCOMPARE(selected.count(), 1);
    QCOMPARE(selected.at(0), (QVariantList{"A", "P", 1, 0}));
    QCOMPARE(readFile(local("P", 1, "xrg")), fetched ? QByteArray("server text") : QByteArray("local"));
    QCOMPARE(QFileInfo::exists(local("P", 1, "brg")), fetched);
}

// Guards against hosts told to open a release whose files are nowhere, and an untranslated name in the box.
void tst_EditorTree::missingFilesShowTheTranslatedLabel()
{
    EditorSite site;
    site.picture("P", {0, 1}, {kNew, kMid});
    QVERIFY(MHmiAdmin::SetTranslation("P", "Picture P"));
    QVERIFY(site.makeView());
    QSignalSpy selected(site.view(), &MAbstractGraphView::GraphSelected);
    QVERIFY(site.click({"A", "station", "Picture P"}) == nullptr); // lookups go by the raw name
    MGraphTreeItem* picture = site.click({"A", "station", "P"});
    QVERIFY(picture);
    QCOMPARE(picture->text(0), QString("Picture P"));
    QCOMPARE(selected.count(), 1); // the draft opens without files
    DialogDriver dialogs;
    dialogs.pressButton(QMessageBox::Ok, "Picture P : graph file not existed!");
    QVERIFY(!site.tree()->OpenVersion(MGraphTreeViewEditor::ChildNamed(picture, "latest version"), 0));
    QVERIFY2(dialogs.finish(), qPrintable(dialogs.report()));
    QCOMPARE(selected.count(), 1);
    QCOMPARE(site.tree()->OpenedEdition(), 0);
}

// Guards against the search opening the picture of the wrong application.
void tst_EditorTree::selectGraphByNameAndOccurrence()
{
    EditorSite site;
    const QString b = site.builder().application("B");
    const QString bType = site.builder().pictureType(b, "station", 2);
    site.picture("AB", {0}, {kOld});
    site.picture("AB", {0}, {kOld}, bType);
    QVERIFY(site.makeView());
    QSignalSpy selected(site.view(), &MAbstractGraphView::GraphSelected);
    site.tree()->SelectGraph("AB", 1);
    site.tree()->SelectGraph("AB");
    site.tree()->SelectGraph("AB", 2); // no third one
    site.tree()->SelectGraph("");
    QCOMPARE(selected.count(), 2);
    QCOMPARE(selected.at(0), (QVariantList{"B", "AB", 0, 0}));
    QCOMPARE(selected.at(1), (QVariantList{"A", "AB", 0, 0}));
    QCOMPARE(site.tree()->CurrentApplicationItem()->RawName(), QString("A"));
    QCOMPARE(site.tree()->CurrentPictureItem()->RawName(), QString("AB"));
    site.view()->hide();
    site.tree()->SelectGraph("AB", 1); // hidden: nothing
    QCOMPARE(selected.count(), 2);
}

// Guards against "edit property" acting on the previously opened picture after SelectGraph(..., true).
void tst_EditorTree::viewSelectGraphRemembersTheOpenedPicture()
{
    EditorSite site;
    site.picture("P", {0, 1}, {kNew, kOld});
    site.picture("Q", {0}, {kOld});
    QVERIFY(site.makeView());
    QSignalSpy selected(site.view(), &MAbstractGraphView::GraphSelected);
    site.view()->SelectGraph("A", "Q", 0, false);
    QCOMPARE(selected.count(), 0);
    QCOMPARE(site.tree()->currentItem()->text(1), QString("Q")); // selected, not opened
    QCOMPARE(site.tree()->OpenedPicture(), QString());
    site.view()->SelectGraph("A", "P", 1, true);
    QCOMPARE(selected.count(), 1);
    QCOMPARE(selected.at(0), (QVariantList{"A", "P", 1, 0}));
    QCOMPARE(site.tree()->OpenedPicture(), QString("P"));
    QCOMPARE(site.tree()->OpenedEdition(), 1);
    site.view()->SelectGraph("", "P", 1, false);
    QCOMPARE(site.tree()->currentItem()->text(1), QString("P"));
}

// Guards against picture types taken from another application, or outputs changed on failure.
void tst_EditorTree::graphTypeByApplication()
{
    EditorSite site;
    site.picture("P", {0}, {kOld}, site.feeder);
    QVERIFY(site.makeView());
    QString type = "untouched";
    int code = -1;
    QVERIFY(site.view()->GraphType("P", "A", type, code));
    QCOMPARE(type, QString("feeder"));
    QCOMPARE(code, 9);
    type = "untouched";
    QVERIFY(!site.view()->GraphType("P", "nope", type, code));
    QVERIFY(!site.view()->GraphType("nope", "A", type, code));
    QCOMPARE(type, QString("untouched"));
}

// Guards against current pointers left on items a reload destroyed (the next click crashes).
void tst_EditorTree::reloadClearsCurrentItemsInside()
{
    EditorSite site;
    site.picture("P", {0}, {kOld});
    site.picture("F", {0}, {kOld}, site.feeder);
    QVERIFY(site.makeView());
    QVERIFY(site.click({"A", "station", "P"}));
    MGraphTreeViewEditor* tree = site.tree();
    MGraphTreeItem* app = tree->CurrentApplicationItem();
    tree->ReloadChildren(tree->CurrentPictypeItem());
    QCOMPARE(tree->CurrentApplicationItem(), app);
    QVERIFY(tree->CurrentPictypeItem());
    QCOMPARE(tree->CurrentPictureItem(), nullptr);
    tree->ReloadChildren(app);
    QCOMPARE(tree->CurrentPictypeItem(), nullptr);
    QCOMPARE(tree->CurrentPictureItem(), nullptr);
    QCOMPARE(texts(app), (QStringList{"station", "feeder"}));
    QVERIFY(site.click({"A", "feeder", "F"})); // the old type's items are gone: no touch of them
    QCOMPARE(tree->CurrentPictypeItem()->RawName(), QString("feeder"));
    tree->RefreshApplications();
    QCOMPARE(tree->CurrentApplicationItem(), nullptr);
    QVERIFY(site.click({"A", "station", "P"}));
}

void tst_EditorTree::hostRebuildingFromGraphSelected_data()
{
    QTest::addColumn<int>("reaction");
    QTest::newRow("refresh applications") << 0;
    QTest::newRow("select the picture again") << 1;
    QTest::newRow("search the picture again") << 2;
}

// Guards against the view touching items its host destroyed from the GraphSelected slot.
void tst_EditorTree::hostRebuildingFromGraphSelected()
{
    QFETCH(int, reaction);
    EditorSite site;
    site.picture("P", {0, 1}, {kNew, kOld});
    QVERIFY(site.makeView());
    MGraphTreeViewEditor* tree = site.tree();
    int calls = 0;
    connect(site.view(), &MAbstractGraphView::GraphSelected, this, [&](const QString& app, const QString& pic) {
        if (++calls > 1)
            return; // a host reacts once
        if (reaction == 0)
            tree->RefreshApplications();
        else if (reaction == 1)
            site.view()->SelectGraph(app, pic, 0, false);
        else
            tree->SelectGraph(pic);
    });
    site.click({"A", "station", "P"});
    QCOMPARE(calls, reaction == 2 ? 2 : 1);
    if (reaction == 0) {
        QCOMPARE(tree->CurrentApplicationItem(), nullptr);
        QCOMPARE(tree->topLevelItemCount(), 1);
    } else {
        QCOMPARE(tree->CurrentPictureItem()->RawName(), QString("P"));
    }
    QVERIFY(site.click({"A", "station", "P"}));
    QCOMPARE(tree->CurrentPictureItem()->RawName(), QString("P"));
}

TALMER_TEST_MAIN(tst_EditorTree)
#include "tst_editortree.moc"
