#include <QCheckBox>
#include <QLineEdit>
#include <QTableWidget>
#include <memory>

#include "brelmmidataagent.h"
#include "deploytree.h"
#include "dialogdriver.h"
#include "filesynctesting.h"
#include "mabstractdbinterface.h"
#include "mdbinterfaceholder.h"
#include "mnodesselectdialog.h"
#include "sitebuilder.h"
#include "testmain.h"

using namespace FileSyncTesting;
using TestSupport::DeployTree;
using TestSupport::DialogDriver;
using SiteGen::SiteBuilder;

class tst_FileSync : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DeployTree> m_tree;
    QString m_server; // the file server's directory
    QString local(const QString& relative) const { return m_tree->path(relative); }
    QString onServer(const QString& relative) const { return m_server + "/" + relative; }
    std::unique_ptr<TestSync> directorySync()
    {
        qputenv("TALMER_FILE_SERVER", m_server.toUtf8());
        return std::make_unique<TestSync>();
    }

private Q_SLOTS:
    void init();
    void cleanup();

    void serverPaths_data();
    void serverPaths();
    void singleFilesThroughADirectory();
    void failedTransfersKeepBothSides();
    void listRemoveRename();
    void withoutASession();
    void configurationFiles();
    void aFailedStoreRecordsNothing();
    void synchronizingConfigurationFiles();
    void iconFilesAreFetchedWhenStaleAndAtMostThrice();
    void nodeSelectionDialog();
};

void tst_FileSync::init()
{
    m_tree = std::make_unique<DeployTree>();
    m_server = m_tree->base() + "/server";
    QDir().mkpath(m_server);
}

void tst_FileSync::cleanup()
{
    MDBInterfaceHolder::Instance()->Reset();
    BrelMmiDataAgent::Instance()->Close();
    m_tree.reset();
}

void tst_FileSync::serverPaths_data()
{
    QTest::addColumn<QString>("localPath"); // below the deployment root, unless absolute
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("remote");    // the path of a push to a workstation
    QTest::newRow("picture") << "pic/A/P/0.xrg" << "pic/A/P/0.xrg" << "/deployment/pic/A/P/0.xrg";
    QTest::newRow("icon") << "icon/T/u.xco" << "icon/T/u.xco" << "/deployment/icon/T/u.xco";
    QTest::newRow("template") << "template/style/bay.xtp" << "template/style/bay.xtp"
                              << "/deployment/template/style/bay.xtp";
    QTest::newRow("curve") << "curve/c.dat" << "curve/c.dat" << "/deployment/curve/c.dat";
    QTest::newRow("curve in a folder: fetched from where it is stored") << "curve/sub/c.dat" << "curve/sub/c.dat"
                                                                        << "/deployment/curve/sub/c.dat";
    QTest::newRow("no marker") << "x/y.txt" << "" << "/deployment/x/y.txt";
    QTest::newRow("marker below another folder") << "etc/pic/y.txt" << "" << "/deployment/etc/pic/y.txt";
    QTest::newRow("doubled slash") << "pic/A//P/0.xrg" << "pic/A/P/0.xrg" << "/deployment/pic/A/P/0.xrg";
    QTest::newRow("outside the tree") << "/elsewhere/deployment/pic/A/P/0.xrg" << "" << "";
    QTest::newRow("dot-dot out of the tree") << "pic/../../pic/A/P/0.xrg" << "" << "";
    QTest::newRow("not absolute") << "D:/dep/pic/A/P/0.xrg" << "" << "";
    QTest::newRow("chinese and blanks") << QString::fromUtf8("pic/应用 1/北京 站/3.brg")
                                        << QString::fromUtf8("pic/应用 1/北京 站/3.brg")
                                        << QString::fromUtf8("/deployment/pic/应用 1/北京 站/3.brg");
}

void tst_FileSync::serverPaths()
{
    // Guards against files landing in, or being fetched from, the wrong place on the server or a workstation.
    QFETCH(QString, localPath);
    QFETCH(QString, server);
    QFETCH(QString, remote);
    const QString path = localPath.startsWith('/') || localPath.startsWith("D:") ? localPath : local(localPath);
    QCOMPARE(MFileSynchronize::ServerPathForFetch(path), server);
    QCOMPARE(MFileSynchronize::ServerPathForStore(path), server);
    QCOMPARE(MFileSynchronize::RemotePushPath(path), remote);
}

void tst_FileSync::singleFilesThroughADirectory()
{
    // Guards against stored files going under wrong names and fetched ones not arriving.
    auto sync = directorySync();
    const QString draft = local(QString::fromUtf8("pic/应用/北京 站/0.xrg"));
    QVERIFY(writeFile(draft, "draft"));
    QCOMPARE(sync->SaveFile(draft), 0);
    QCOMPARE(readFile(onServer(QString::fromUtf8("pic/应用/北京 站/0.xrg"))), QByteArray("draft"));
    QCOMPARE(sync->SaveFile(draft, "4.xrg"), 0);
    QCOMPARE(readFile(onServer(QString::fromUtf8("pic/应用/北京 站/4.xrg"))), QByteArray("draft"));
    QVERIFY(writeFile(local("x/y.txt"), "other"));
    QCOMPARE(sync->SaveFile(local("x/y.txt"), "z/y.txt"), 0);
    QCOMPARE(readFile(onServer("z/y.txt")), QByteArray("other"));

    QFile::remove(draft);
    QDir(m_tree->path("pic")).removeRecursively();
    QCOMPARE(sync->GetFile(draft), 0); // the directory is made again
    QCOMPARE(readFile(draft), QByteArray("draft"));

    // An empty but not null name asks for no mapping: there is no such file name.
    DebugChannel debug;
    QVERIFY(sync->SaveFile(local("x/y.txt"), QString("")) < 0);
    QVERIFY(sync->SaveFile(draft, QString("")) < 0);
    QCOMPARE(debug.lines().size(), 2);
    QVERIFY(debug.lines().first().startsWith("save file failed -"));
    QVERIFY(debug.lines().first().endsWith(" \n"));
}

void tst_FileSync::failedTransfersKeepBothSides()
{
    // Guards against a failed fetch wiping the local copy, and a server name climbing out of the share.
    auto sync = directorySync();
    const QString file = local("pic/A/P/1.xrg");
    QVERIFY(writeFile(file, "local version"));
    DebugChannel debug;
    const int result = sync->GetFile(file);
    QVERIFY(result < 0);
    QCOMPARE(readFile(file), QByteArray("local version"));
    QCOMPARE(debug.lines(), QStringList{QString("get file failed %1 \n").arg(result)});
    QVERIFY(sync->SaveFile(file, "../../outside.txt") < 0);
    QVERIFY(!QFile::exists(m_tree->base() + "/outside.txt"));
    QVERIFY(writeFile(local("x/y.txt"), "y"));
    QVERIFY(sync->SaveFile(local("x/y.txt"), "/etc/outside.txt") < 0);
    QStringList left = QDir(m_tree->path("pic/A/P")).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(left, QStringList{"1.xrg"}); // no temporary file stays behind
}

void tst_FileSync::listRemoveRename()
{
    // Guards against listings with "." or "..", removals that leave files, and renames that lose pictures.
    auto sync = directorySync();
    for (const QString f : {"pic/A/P/0.xrg", "pic/A/P/1.xrg", "pic/A/P/2.xrg", "pic/A/Q/0.xrg", "pic/A/new/old.xrg"})
        QVERIFY(writeFile(onServer(f), f.toUtf8()));
    QVERIFY(writeFile(onServer("pic/A/P/.1.xrg.part-1a2b"), "half an upload"));
    QCOMPARE(sync->ListServerDir("pic/A/P", true), (QStringList{"2.xrg", "1.xrg", "0.xrg"}));
    QCOMPARE(sync->ListServerDir("pic/A", false), (QStringList{"new", "Q", "P"}));
    QVERIFY(sync->ListServerDir("pic/none", true).isEmpty());
    QCOMPARE(sync->RemoveFile("pic/A/P/2.xrg", true), 1);
    QVERIFY(!QFile::exists(onServer("pic/A/P/2.xrg")));
    QCOMPARE(sync->RemoveFile("pic/A/Q", false), 1);
    QVERIFY(!QFile::exists(onServer("pic/A/Q")));
    QCOMPARE(sync->RemoveFile("pic/nothing", false), 1);

    // A renamed picture is found under its new name; a leftover of that name is kept aside.
    QCOMPARE(sync->RenameFile("/pic/A/P", "/pic/A/new"), 0);
    QCOMPARE(readFile(onServer("pic/A/new/1.xrg")), QByteArray("pic/A/P/1.xrg"));
    QVERIFY(!QFile::exists(onServer("pic/A/P")));
    QCOMPARE(readFile(onServer("pic/temporary/new/old.xrg")), QByteArray("pic/A/new/old.xrg"));
    QCOMPARE(sync->RenameFile("/pic/A/missing", "/pic/A/other"), 0);
}

void tst_FileSync::withoutASession()
{
    // Guards against a workstation without a file server crashing or reporting success.
    DebugChannel debug;
    qunsetenv("TALMER_FILE_SERVER");
    TestSync sync;
    QCOMPARE(debug.lines(), QStringList{" file session initialte failed \n"});
    QVERIFY(writeFile(local("pic/A/P/0.xrg"), "x"));
    QCOMPARE(sync.GetFile(local("pic/A/P/0.xrg")), -1);
    QCOMPARE(sync.SaveFile(local("pic/A/P/0.xrg")), -1);
    QCOMPARE(sync.RemoveFile("pic/A", false), 1);
    QCOMPARE(sync.RenameFile("/pic/A/P", "/pic/A/Q"), 0);
    QVERIFY(sync.ListServerDir("pic", false).isEmpty());
    QCOMPARE(sync.SaveConfigFile(local("etc/mmi/a.ini"), QString()), -1);
    QCOMPARE(sync.GetConfigFile(local("etc/mmi/missing.ini")), -1);
    sync.SynConfigFiles();
    QCOMPARE(debug.count(" file session is NULL \n"), 5);
    QCOMPARE(readFile(local("pic/A/P/0.xrg")), QByteArray("x"));
}

void tst_FileSync::configurationFiles()
{
    // Guards against configuration files fetched although current, or kept although stale.
    auto sync = directorySync();
    const QString ini = local("etc/mmi/colors.ini");
    const QDateTime stamp = QDateTime::currentDateTime().addSecs(-3600);
    QVERIFY(writeFile(ini, "mine", stamp));
    QCOMPARE(sync->SaveConfigFile(ini, QString()), 0);
    QCOMPARE(readFile(onServer("mmiconfig/colors.ini")), QByteArray("mine"));
    QCOMPARE(sync->SaveConfigFile(local("etc/mmi/none.ini"), QString()), -2);
    MAbstractDBInterface* db = MDBInterfaceHolder::Instance()->GetInterface();
    QString recorded;
    db->UpdateConfigFile(ini, recorded, false);
    QCOMPARE(recorded, stamp.toString(Qt::ISODate));

    QVERIFY(writeFile(onServer("mmiconfig/colors.ini"), "server"));
    QCOMPARE(sync->GetConfigFile(ini), 0); // same second: nothing to fetch
    QCOMPARE(readFile(ini), QByteArray("mine"));
    QString newer = stamp.addSecs(100).toString("yyyy-MM-dd HH:mm:ss");
    db->UpdateConfigFile(ini, newer, true);
    QCOMPARE(sync->GetConfigFile(ini), 0);
    QCOMPARE(readFile(ini), QByteArray("server"));
    QVERIFY(writeFile(ini, "mine again", QDateTime::currentDateTime()));
    QCOMPARE(sync->GetConfigFile(ini), 0); // the record is older now
    QCOMPARE(readFile(ini), QByteArray("mine again"));

    const QString unrecorded = local("etc/mmi/unrecorded.ini");
    QVERIFY(writeFile(unrecorded, "x"));
    QCOMPARE(sync->GetConfigFile(unrecorded), -1);
    QVERIFY(writeFile(onServer("mmiconfig/fresh.ini"), "fresh"));
    QCOMPARE(sync->GetConfigFile(local("etc/fresh/fresh.ini")), 0);
    QCOMPARE(readFile(local("etc/fresh/fresh.ini")), QByteArray("fresh"));
}

void tst_FileSync::aFailedStoreRecordsNothing()
{
    // Guards against a configuration record announcing a file the server refused.
    auto sync = directorySync();
    const QString ini = local("etc/mmi/blocked.ini");
    QVERIFY(writeFile(ini, "mine", QDateTime::currentDateTime().addSecs(-600)));
    QVERIFY(QDir().mkpath(onServer("mmiconfig/blocked.ini"))); // a folder of the file's name blocks the upload
    QVERIFY(sync->SaveConfigFile(ini, QString()) < 0);
    QString recorded;
    MDBInterfaceHolder::Instance()->GetInterface()->UpdateConfigFile(ini, recorded, false);
    QCOMPARE(recorded, QString());
    QVERIFY(QDir().rmdir(onServer("mmiconfig/blocked.ini")));
    QCOMPARE(sync->SaveConfigFile(ini, QString()), 0);
    MDBInterfaceHolder::Instance()->GetInterface()->UpdateConfigFile(ini, recorded, false);
    QCOMPARE(recorded, QFileInfo(ini).lastModified().toString(Qt::ISODate));
}

void tst_FileSync::synchronizingConfigurationFiles()
{
    // Guards against configuration sets fetched into the wrong folders or not brought up to date.
    const QDateTime old = QDateTime::currentDateTime().addDays(-1);
    SiteBuilder site(BrelMmiDataAgent::Instance());
    const QString later = QDateTime::currentDateTime().toString(Qt::ISODate);
    site.configFile("stale.ini", "D:/x/deployment/etc/mmi", later);
    site.configFile("current.ini", "deployment/etc/mmi", old.addSecs(-10).toString(Qt::ISODate));
    site.configFile("missing.ini", "deployment/etc/mmi", later);
    site.configFile("garbled.ini", "deployment/etc/mmi", "not a time");
    site.configFile("flat.ini", "etc", later);
    QVERIFY2(site.ok(), qPrintable(site.errors()));
    for (const QString name : {"stale.ini", "current.ini", "missing.ini", "garbled.ini", "flat.ini"})
        QVERIFY(writeFile(onServer("mmiconfig/" + name), "server " + name.toUtf8()));
    for (const QString name : {"stale.ini", "current.ini", "garbled.ini"})
        QVERIFY(writeFile(local("etc/mmi/" + name), "local", old));
    // A path without "deployment" is glued to the root: here a sibling folder, outside the tree.
    QVERIFY(writeFile(m_tree->root() + "etc/flat.ini", "local", old));
    auto sync = directorySync();
    sync->SynConfigFiles();
    QCOMPARE(readFile(local("etc/mmi/stale.ini")), QByteArray("server stale.ini"));
    QCOMPARE(readFile(local("etc/mmi/current.ini")), QByteArray("local"));
    QCOMPARE(readFile(local("etc/mmi/missing.ini")), QByteArray("<missing>"));
    QCOMPARE(readFile(local("etc/mmi/garbled.ini")), QByteArray("server garbled.ini"));
    QCOMPARE(readFile(m_tree->root() + "etc/flat.ini"), QByteArray("local"));
}

void tst_FileSync::iconFilesAreFetchedWhenStaleAndAtMostThrice()
{
    // Guards against current icons fetched again, stale ones kept, and a broken one retried forever.
    const QDateTime made = QDateTime::currentDateTime().addDays(-1);
    SiteBuilder site(BrelMmiDataAgent::Instance());
    const QString type = site.iconType("breaker", 2);
    site.icon(type, "current", "{c}", made.toString("yyyy-MM-dd HH:mm:ss"));
    site.icon(type, "stale", "{s}", made.toString(Qt::ISODate));
    site.icon(type, "missing", "{m}", made.toString(Qt::ISODate));
    site.icon(type, "broken", "{b}", made.toString(Qt::ISODate));
    QVERIFY(site.ok());
    for (const QString uuid : {"{c}", "{s}", "{m}"})
        QVERIFY(writeFile(onServer("icon/breaker/" + uuid + ".xco"), "server " + uuid.toUtf8()));
    QVERIFY(writeFile(local("icon/breaker/{c}.xco"), "local", made));
    QVERIFY(writeFile(local("icon/breaker/{s}.xco"), "local", made.addSecs(-60)));
    auto sync = directorySync();
    DebugChannel debug;
    for (int i = 0; i < 4; ++i)
        sync->SynIconFiles();
    QCOMPARE(readFile(local("icon/breaker/{c}.xco")), QByteArray("local"));
    QCOMPARE(readFile(local("icon/breaker/{s}.xco")), QByteArray("server {s}"));
    QCOMPARE(readFile(local("icon/breaker/{m}.xco")), QByteArray("server {m}"));
    QCOMPARE(debug.lines().size(), 3); // the broken icon, three times, never a fourth
    QVERIFY(debug.lines().first().startsWith("get file failed -"));
}

void tst_FileSync::nodeSelectionDialog()
{
    // Guards against pushing to workstations the user unchecked, or the wrong file.
    const QStringList nodes{"ws1", "ws2", "ws3"};
    MNodesSelectDialog dialog(nodes);
    auto* table = dialog.findChild<QTableWidget*>();
    QVERIFY(table);
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(table->item(1, 0)->text(), QString("ws3"));
    QVERIFY(!table->item(1, 1));
    QCOMPARE(table->item(0, 1)->flags(), Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
    QCOMPARE(dialog.SelectedNodes(), nodes);
    table->item(0, 1)->setCheckState(Qt::Unchecked);
    QCOMPARE(dialog.SelectedNodes(), (QStringList{"ws1", "ws3"}));

    const QString file = local("etc/mmi/push.ini");
    QVERIFY(writeFile(file, "x"));
    DialogDriver dialogs;
    dialogs.chooseFile(file).cancelFileDialog();
    dialog.slotSelectFile();
    QCOMPARE(dialog.SelectedFile(), file);
    dialog.slotSelectFile();
    QCOMPARE(dialog.SelectedFile(), file); // a cancelled choice keeps the field
    DIALOGS_DONE(dialogs);
}

TALMER_TEST_MAIN(tst_FileSync)
#include "tst_filesync.moc"
