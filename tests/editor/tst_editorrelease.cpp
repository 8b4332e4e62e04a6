#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>

#include "brelmmidataagent.h"
#include "dialogdriver.h"
#include "editortesting.h"
#include "importtesting.h"
#include "mabstractgraphbridge.h"
#include "mdbrecords.h"
#include "mdeploypaths.h"
#include "mgraphdoc.h"
#include "testmain.h"
#include "versiontesting.h"

using VersionTesting::stationOf;
using VersionTesting::versionsOf;

using EditorTesting::EditorSite;
using TestSupport::DialogDriver;

namespace {

const QString kOld = VersionTesting::kOldTime;

class DirtyBridge : public MAbstractGraphBridge
{
public:
    bool GraphIsDirty() override { return true; }
};

// A feeder picture with these versions, each version's files (a drawing of
// station "v<n>") here and on the server.
QString feederPicture(EditorSite& site, const QString& name, const QList<int>& versions)
{
    const QString id = site.picture(name, versions, QStringList(versions.size(), kOld), site.feeder);
    for (int v : versions)
        VersionTesting::writeVersionFiles(name, v, QString("v%1").arg(v), site.server("pic/A/" + name));
    return id;
}

// Clicks down to an item and makes it current, as the right click that opens
// its menu does.
MGraphTreeItem* rightClick(EditorSite& site, const QStringList& path)
{
    MGraphTreeItem* item = site.click(path);
    if (item)
        site.tree()->setCurrentItem(item);
    return item;
}

} // namespace

class tst_EditorRelease : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void releaseFromTheTree_data();
    void releaseFromTheTree();
    void failedReleaseSaysSo();
    void saveDraftReportsEachFailedFile();
    void latestVersionOfTheView();
    void resetVersionsAsksAbortOrNo_data();
    void resetVersionsAsksAbortOrNo();
    void importFileChecksTheName_data();
    void importFileChecksTheName();
    void importFolderCanBeCancelled();
};

void tst_EditorRelease::releaseFromTheTree_data()
{
    QTest::addColumn<QList<int>>("versions");
    QTest::addColumn<int>("answer"); // to "increase version index?"; 0: not asked
    QTest::addColumn<bool>("dirty");
    QTest::addColumn<int>("released"); // -1: nothing released
    QTest::addColumn<QList<int>>("after");
    QTest::newRow("first release, not asked") << QList<int>{0} << 0 << false << 1 << QList<int>{0, 1};
    QTest::newRow("Yes: next version") << QList<int>{0, 1} << int(QMessageBox::Yes) << false << 2 << QList<int>{0, 1, 2};
    QTest::newRow("No: the latest overwritten") << QList<int>{0, 1} << int(QMessageBox::No) << false << 1 << QList<int>{0, 1};
    QTest::newRow("Cancel: nothing") << QList<int>{0, 1} << int(QMessageBox::Cancel) << false << -1 << QList<int>{0, 1};
    QTest::newRow("unsaved drawing: nothing") << QList<int>{0, 1} << 0 << true << -1 << QList<int>{0, 1};
}

void tst_EditorRelease::releaseFromTheTree()
{
    // Guards against the release command asking the wrong question, or releasing when it must not.
    QFETCH(QList<int>, versions);
    QFETCH(int, answer);
    QFETCH(bool, dirty);
    QFETCH(int, released);
    QFETCH(QList<int>, after);
    EditorSite site;
    const QString pic = feederPicture(site, "P", versions);
    QVERIFY(site.makeView());
    DirtyBridge bridge;
    if (dirty)
        site.view()->SetGraphBridge(&bridge);
    QVERIFY(rightClick(site, {"A", "feeder", "P"}));
    QVERIFY(site.tree()->MenuActions(site.tree()->currentItem()).contains(site.tree()->Action(MGraphTreeViewEditor::Command::ReleasePicture)));
    QSignalSpy releasedSpy(site.view(), &MAbstractGraphView::GraphReleased);
    QSignalSpy opened(site.view(), &MAbstractGraphView::GraphSelected);
    DialogDriver dialogs;
    if (dirty)
        dialogs.pressButton(QMessageBox::Ok, "You should save current editing graph before releasing");
    if (answer)
        dialogs.pressButton(QMessageBox::StandardButton(answer), "increase version index?");
    if (released > 0)
        dialogs.pressButton(QMessageBox::Ok, "picture has released successfully");
    site.tree()->Action(MGraphTreeViewEditor::Command::ReleasePicture)->trigger();
    DIALOGS_DONE(dialogs);
    QCOMPARE(versionsOf(pic), after);
    if (released < 0) {
        QCOMPARE(releasedSpy.count(), 0);
        QVERIFY(!QFileInfo::exists(site.server(QString("pic/A/P/%1.svg").arg(versions.last() + 1))));
        return;
    }
    QCOMPARE(releasedSpy.count(), 1);
    QCOMPARE(releasedSpy.first(), (QList<QVariant>{"A", "P", released}));
    QCOMPARE(opened.last(), (QList<QVariant>{"A", "P", released, 1}));
    QCOMPARE(stationOf(site.server(QString("pic/A/P/%1.xrg").arg(released))), QString("v0"));
}

void tst_EditorRelease::failedReleaseSaysSo()
{
    // Guards against a release reported as done when an upload failed.
    EditorSite site;
    const QString pic = feederPicture(site, "P", {0, 1});
    QVERIFY(QDir().mkpath(site.server("pic/A/P/2.brg")));
    QVERIFY(site.makeView());
    QVERIFY(rightClick(site, {"A", "feeder", "P"}));
    QSignalSpy releasedSpy(site.view(), &MAbstractGraphView::GraphReleased);
    DialogDriver dialogs;
    dialogs.pressButton(QMessageBox::Yes, "increase version index?").pressButton(QMessageBox::Ok, "release failed");
    site.tree()->ReleasePicture();
    DIALOGS_DONE(dialogs);
    QCOMPARE(releasedSpy.count(), 0);
    QCOMPARE(versionsOf(pic), (QList<int>{0, 1}));
    QVERIFY(!QFileInfo::exists(site.server("pic/A/P/2.xrg")));
}

void tst_EditorRelease::saveDraftReportsEachFailedFile()
{
    // Guards against a saved draft recorded although a file did not reach the server, or failing silently.
    EditorSite site;
    const QString pic = feederPicture(site, "P", {0});
    for (const char* file : {"pic/A/P/0.brg", "pic/A/P/0.fg"})
        QVERIFY(QFile::remove(site.server(file)) && QDir().mkpath(site.server(file)));
    QVERIFY(site.makeView());
    qRegisterMetaType<QList<MErrMsg>>();
    QSignalSpy errors(site.view(), &MAbstractGraphView::ShowErrMsg);
    site.view()->SaveDraft("A", "P");
    QCOMPARE(errors.count(), 1);
    const auto messages = errors.first().first().value<QList<MErrMsg>>();
    QCOMPARE(messages.size(), 2);
    QVERIFY(messages.at(0).object.endsWith("0.brg"));
    QVERIFY(messages.at(1).object.endsWith("0.fg"));
    MDataSet set;
    BrelMmiDataAgent::Instance()->QueryChild(pic, "history_edition", {"modifytime"}, set);
    QCOMPARE(set.GetFieldValue("modifytime", 0).toString(), kOld);

    QVERIFY(QDir(site.server("pic/A/P/0.fg")).removeRecursively() && QDir(site.server("pic/A/P/0.brg")).removeRecursively());
    site.view()->SaveDraft("A", "P");
    QCOMPARE(errors.count(), 1); // nothing more to report
    BrelMmiDataAgent::Instance()->QueryChild(pic, "history_edition", {"modifytime"}, set);
    QVERIFY(set.GetFieldValue("modifytime", 0).toString() != kOld);
}

void tst_EditorRelease::latestVersionOfTheView()
{
    // Guards against the host opening a version of an application the tree does not show.
    EditorSite site;
    feederPicture(site, "P", {0, 1, 2});
    QVERIFY(site.makeView());
    QCOMPARE(site.view()->GetLatestVersion("X", "P"), -100);
    QCOMPARE(site.view()->GetLatestVersion("A", ""), -100);
    QCOMPARE(site.view()->GetLatestVersion("A", "P"), 2);
}

void tst_EditorRelease::resetVersionsAsksAbortOrNo_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QList<int>>("secondAfter");
    QTest::newRow("No: the others are reset") << int(QMessageBox::No) << QList<int>{0, 1};
    QTest::newRow("Abort: the others are left") << int(QMessageBox::Abort) << QList<int>{0, 1, 2};
}

void tst_EditorRelease::resetVersionsAsksAbortOrNo()
{
    // Guards against a failing picture stopping (or not stopping) a reset of the whole application.
    QFETCH(int, answer);
    QFETCH(QList<int>, secondAfter);
    EditorSite site;
    const QString first = feederPicture(site, "P1", {0, 1, 2});
    const QString second = feederPicture(site, "P2", {0, 1, 2});
    QVERIFY(QFile::remove(site.server("pic/A/P1/1.fg")) && QDir().mkpath(site.server("pic/A/P1/1.fg")));
    QVERIFY(site.makeView());
    QVERIFY(rightClick(site, {"A"}));
    DialogDriver dialogs;
    dialogs.pressButton(QMessageBox::StandardButton(answer), "reset version failed:P1");
    site.tree()->Action(MGraphTreeViewEditor::Command::ResetVersions)->trigger();
    DIALOGS_DONE(dialogs);
    QCOMPARE(versionsOf(first), (QList<int>{0, 1, 2}));
    QCOMPARE(versionsOf(second), secondAfter);
}

void tst_EditorRelease::importFileChecksTheName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("box");
    QTest::newRow("new picture") << "N" << "import finished";
    QTest::newRow("name of a station picture") << "S" << "Already existed!";
}

void tst_EditorRelease::importFileChecksTheName()
{
    // Guards against importing over another type's picture, and "import finished" without the picture.
    QFETCH(QString, name);
    QFETCH(QString, box);
    EditorSite site;
    site.picture("S", {0}, {kOld});
    QVERIFY(site.makeView());
    const QString source = QFileInfo(MDeployPaths::Root()).absolutePath() + "/import/folder/drawing.xrg";
    QVERIFY(ImportTesting::writeStation(source, "imported", 9));
    QVERIFY(rightClick(site, {"A", "feeder"}));
    DialogDriver dialogs;
    dialogs.chooseFile(source).enterText(name, "graph name:");
    if (box == "import finished")
        dialogs.pressButton(QMessageBox::No, "increase graph version if already exist?");
    dialogs.pressButton(QMessageBox::Ok, box);
    site.tree()->Action(MGraphTreeViewEditor::Command::ImportFilePic)->trigger();
    DIALOGS_DONE(dialogs);
    QCOMPARE(QFileInfo::exists(MDeployPaths::VersionFile("A", name, 0, "xrg")), box == "import finished");
}

void tst_EditorRelease::importFolderCanBeCancelled()
{
    // Guards against a folder import that cannot be stopped, or closes its progress early.
    EditorSite site;
    const QString root = QFileInfo(MDeployPaths::Root()).absolutePath() + "/export";
    for (const char* picture : {"F1", "F2", "F3"})
        QVERIFY(ImportTesting::writeStation(root + "/" + picture + "/0.xrg", picture, 9));
    QVERIFY(site.makeView());
    QVERIFY(rightClick(site, {"A", "feeder"}));
    int maximum = -1;
    QTimer canceller;
    QObject::connect(&canceller, &QTimer::timeout, [&] {
        auto* progress = site.tree()->findChild<QProgressDialog*>("importProgress");
        if (progress && progress->value() == 1 && !progress->wasCanceled()) {
            maximum = progress->maximum();
            progress->cancel();
        }
    });
    canceller.start(0);
    DialogDriver dialogs;
    dialogs.chooseDirectory(root)
        .pressButton(QMessageBox::Yes, "'yes' to import draft")
        .pressButton(QMessageBox::No, "increase picture version");
    site.tree()->ImportFolderPic();
    DIALOGS_DONE(dialogs);
    QCOMPARE(maximum, 3);
    QVERIFY(QFileInfo::exists(MDeployPaths::VersionFile("A", "F1", 0, "xrg")));
    QVERIFY(!QFileInfo::exists(MDeployPaths::PictureDir("A", "F2")));
    QVERIFY(!QFileInfo::exists(MDeployPaths::PictureDir("A", "F3")));
}

TALMER_TEST_MAIN(tst_EditorRelease)
#include "tst_editorrelease.moc"
