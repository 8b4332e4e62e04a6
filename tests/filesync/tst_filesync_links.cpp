#include <QDir>
#include <QUuid>
#include <memory>

#include "brelmmidataagent.h"
#include "deploytree.h"
#include "filesynctesting.h"
#include "mdbinterfaceholder.h"
#include "mdeploypaths.h"
#include "sitebuilder.h"
#include "testmain.h"

using namespace FileSyncTesting;
using TestSupport::DeployTree;
using SiteGen::SiteBuilder;

// Hostile trees: links, ".." and odd roots must never lead a fetch or a
// synchronisation to write outside the deployment tree.
class tst_FileSyncLinks : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DeployTree> m_tree;
    QString m_server;  // the directory file server
    QString m_outside; // a folder beside the tree that nothing may touch
    QString local(const QString& relative) const { return m_tree->path(relative); }
    QString onServer(const QString& relative) const { return m_server + "/" + relative; }
    std::unique_ptr<TestSync> directorySync()
    {
        qputenv("TALMER_FILE_SERVER", m_server.toUtf8());
        return std::make_unique<TestSync>();
    }
    bool link(const QString& target, const QString& relative)
    {
        return QDir().mkpath(QFileInfo(local(relative)).absolutePath()) && QFile::link(target, local(relative));
    }

private Q_SLOTS:
    void init();
    void cleanup();

    void resolvedTargets_data();
    void resolvedTargets();
    void writesThroughLinksStayInTheTree_data();
    void writesThroughLinksStayInTheTree();
    void configRecordsCannotClimbOut();
    void aRootHoldingPicMapsByItsOwnLayout();
    void nothingWithoutADeploymentRoot();
};

void tst_FileSyncLinks::init()
{
    m_tree = std::make_unique<DeployTree>();
    m_server = m_tree->base() + "/server";
    m_outside = m_tree->base() + "/outside";
    QVERIFY(QDir().mkpath(m_server));
    QVERIFY(QDir().mkpath(m_outside));
    QVERIFY(writeFile(m_outside + "/precious.txt", "precious", QDateTime::currentDateTime().addDays(-10)));
}

void tst_FileSyncLinks::cleanup()
{
    MDBInterfaceHolder::Instance()->Reset();
    BrelMmiDataAgent::Instance()->Close();
    m_tree.reset();
}

void tst_FileSyncLinks::resolvedTargets_data()
{
    QTest::addColumn<QString>("path"); // below the root; "@" stands for the temporary base
    QTest::addColumn<bool>("inside");
    QTest::newRow("plain file") << "pic/A/P/0.xrg" << true;
    QTest::newRow("missing folders") << "icon/new/type/u.xco" << true;
    QTest::newRow("link to a folder of the tree") << "inlink/P/0.xrg" << true;
    QTest::newRow("link to a folder outside") << "outlink/P/0.xrg" << false;
    QTest::newRow("link to a file outside") << "pic/A/P/out.xrg" << false;
    QTest::newRow("dangling link outside") << "pic/A/P/dangling.xrg" << false;
    QTest::newRow("dot-dot after an inside link") << "inlink/../pic/A/P/0.xrg" << true;
    QTest::newRow("dot-dot after an outside link") << "outlink/../deployment/pic/x" << true;
    QTest::newRow("dot-dot out of the tree") << "pic/../../outside/precious.txt" << false;
    QTest::newRow("dot-dot below a missing folder") << "pic/none/../../../outside/x" << false;
    QTest::newRow("the root itself") << "." << false;
    QTest::newRow("a sibling sharing the root's prefix") << "../deploymentetc/x.ini" << false;
    QTest::newRow("link loop") << "loop/x" << false;
}

void tst_FileSyncLinks::resolvedTargets()
{
    // Guards against textual path checks that a link or ".." gets past.
    QFETCH(QString, path);
    QFETCH(bool, inside);
    QVERIFY(writeFile(local("pic/A/P/0.xrg"), "x"));
    QVERIFY(link(local("pic/A"), "inlink"));
    QVERIFY(link(m_outside, "outlink"));
    QVERIFY(link(m_outside + "/precious.txt", "pic/A/P/out.xrg"));
    QVERIFY(link(m_outside + "/not-yet.txt", "pic/A/P/dangling.xrg"));
    QVERIFY(link(local("loop"), "loop"));
    const QString target = MDeployPaths::ResolvedTarget(local(path));
    QCOMPARE(MDeployPaths::IsInsideRoot(local(path)), inside);
    if (inside)
        QVERIFY2(target.startsWith(QFileInfo(m_tree->root()).canonicalFilePath() + "/"), qPrintable(target));
}

void tst_FileSyncLinks::writesThroughLinksStayInTheTree_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("linkAt");     // below the root
    QTest::addColumn<QString>("linkTarget"); // below the outside folder
    QTest::addColumn<QString>("written");    // the file the operation writes, below the root
    QTest::newRow("fetch through a linked folder") << "fetch" << "pic/A" << "" << "pic/A/P/0.xrg";
    QTest::newRow("fetch over a linked file") << "fetch" << "pic/A/P/0.xrg" << "precious.txt" << "pic/A/P/0.xrg";
    QTest::newRow("fetch over a dangling link") << "fetch" << "pic/A/P/0.xrg" << "new.txt" << "pic/A/P/0.xrg";
    QTest::newRow("sync icons through a linked type") << "icons" << "icon/breaker" << "" << "icon/breaker/{u}.xco";
    QTest::newRow("sync icons over a linked file")
        << "icons" << "icon/breaker/{u}.xco" << "precious.txt" << "icon/breaker/{u}.xco";
    QTest::newRow("sync config over a linked file") << "config" << "etc/mmi/a.ini" << "precious.txt"
                                                     << "etc/mmi/a.ini";
    QTest::newRow("sync config through a linked folder") << "config" << "etc/mmi" << "" << "etc/mmi/a.ini";
    QTest::newRow("get config over a dangling link") << "getconfig" << "etc/mmi/a.ini" << "new.txt"
                                                      << "etc/mmi/a.ini";
}

void tst_FileSyncLinks::writesThroughLinksStayInTheTree()
{
    // Guards against a link inside the tree making a fetch or a synchronisation overwrite files outside it.
    QFETCH(QString, operation);
    QFETCH(QString, linkAt);
    QFETCH(QString, linkTarget);
    QFETCH(QString, written);
    const QDateTime old = QDateTime::currentDateTime().addDays(-10);
    SiteBuilder site(BrelMmiDataAgent::Instance());
    site.icon(site.iconType("breaker", 2), "b", "{u}", QDateTime::currentDateTime().toString(Qt::ISODate));
    site.configFile("a.ini", "deployment/etc/mmi", QDateTime::currentDateTime().toString(Qt::ISODate));
    QVERIFY2(site.ok(), qPrintable(site.errors()));
    QVERIFY(writeFile(onServer(MDeployPaths::RelativePath(local(written))), "from the server"));
    QVERIFY(writeFile(onServer("mmiconfig/a.ini"), "from the server"));
    // What lies behind a linked folder, stale, so a synchronisation would fetch it.
    QVERIFY(writeFile(m_outside + "/" + QFileInfo(written).fileName(), "precious", old));
    QVERIFY(link(m_outside + "/" + linkTarget, linkAt));

    auto sync = directorySync();
    if (operation == "fetch")
        QVERIFY(sync->GetFile(local(written)) < 0);
    else if (operation == "icons")
        sync->SynIconFiles();
    else if (operation == "config")
        sync->SynConfigFiles();
    else
        QVERIFY(sync->GetConfigFile(local(written)) < 0);

    QCOMPARE(readFile(m_outside + "/precious.txt"), QByteArray("precious"));
    QCOMPARE(readFile(m_outside + "/" + QFileInfo(written).fileName()), QByteArray("precious"));
    QVERIFY(!QFile::exists(m_outside + "/new.txt"));
    QCOMPARE(QDir(m_outside).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(), 2);

    // A link that stays inside the tree is followed as before.
    QFile::remove(local(linkAt));
    QVERIFY(writeFile(local("store/" + QFileInfo(written).fileName()), "stale", old));
    if (linkTarget.isEmpty()) {
        QDir().mkpath(local("store"));
        QVERIFY(QFile::link(local("store"), local(linkAt)));
    } else {
        QVERIFY(QFile::link(local("store/" + QFileInfo(written).fileName()), local(linkAt)));
    }
    if (operation == "fetch")
        QCOMPARE(sync->GetFile(local(written)), 0);
    else if (operation == "icons")
        sync->SynIconFiles();
    else if (operation == "config")
        sync->SynConfigFiles();
    else
        QCOMPARE(sync->GetConfigFile(local(written)), 0);
    QCOMPARE(readFile(local(written)), QByteArray("from the server"));
}

void tst_FileSyncLinks::configRecordsCannotClimbOut()
{
    // Guards against a configuration record whose path holds ".." making sync config write outside the tree.
    const QDateTime old = QDateTime::currentDateTime().addDays(-10);
    const QString later = QDateTime::currentDateTime().toString(Qt::ISODate);
    SiteBuilder site(BrelMmiDataAgent::Instance());
    site.configFile("precious.txt", "D:/x/deployment/../outside", later);
    site.configFile("fresh.ini", "deployment/../outside", later);
    site.configFile("../../outside/named.ini", "deployment/etc", later);
    site.configFile("inside.ini", "deployment/etc/../etc/mmi", later);
    QVERIFY2(site.ok(), qPrintable(site.errors()));
    for (const QString name : {"precious.txt", "fresh.ini", "inside.ini"})
        QVERIFY(writeFile(onServer("mmiconfig/" + name), "from the server"));
    QVERIFY(writeFile(onServer("outside/named.ini"), "from the server"));
    QVERIFY(writeFile(m_outside + "/precious.txt", "precious", old));
    QVERIFY(writeFile(m_outside + "/named.ini", "precious", old));
    QVERIFY(writeFile(local("etc/mmi/inside.ini"), "stale", old));

    auto sync = directorySync();
    sync->SynConfigFiles();
    QCOMPARE(sync->GetConfigFile(MFileSynchronize::ConfigFileLocalPath("deployment/../outside", "fresh.ini")), -1);
    QCOMPARE(sync->GetConfigFile(MFileSynchronize::ConfigFileLocalPath("deployment/etc", "../../outside/named.ini")),
             -1);
    QCOMPARE(readFile(m_outside + "/precious.txt"), QByteArray("precious"));
    QCOMPARE(readFile(m_outside + "/named.ini"), QByteArray("precious"));
    QVERIFY(!QFile::exists(m_outside + "/fresh.ini"));
    // ".." that stays inside the tree is only a roundabout path.
    QCOMPARE(readFile(local("etc/mmi/inside.ini")), QByteArray("from the server"));
}

void tst_FileSyncLinks::aRootHoldingPicMapsByItsOwnLayout()
{
    // Guards against a deployment root whose own path holds "/pic/" sending icons and templates to wrong server paths.
    const QString root = m_tree->base() + "/pic/icon/template/site";
    QVERIFY(QDir().mkpath(root));
    qputenv("TALMER_DEPLOY_DIR", root.toUtf8());
    auto sync = directorySync();
    for (const QString relative : {"icon/T/u.xco", "template/style/bay.xtp", "pic/A/P/0.xrg", "curve/sub/c.dat"}) {
        QVERIFY(writeFile(root + "/" + relative, relative.toUtf8()));
        QCOMPARE(MFileSynchronize::ServerPathForStore(root + "/" + relative), relative);
        QCOMPARE(sync->SaveFile(root + "/" + relative), 0);
        QCOMPARE(readFile(onServer(relative)), relative.toUtf8());
        QFile::remove(root + "/" + relative);
        QCOMPARE(sync->GetFile(root + "/" + relative), 0);
        QCOMPARE(readFile(root + "/" + relative), relative.toUtf8());
    }
    QCOMPARE(MFileSynchronize::RemotePushPath(root + "/icon/T/u.xco"), QString("/deployment/icon/T/u.xco"));
    QCOMPARE(QDir(m_server).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
             (QStringList{"curve", "icon", "pic", "template"}));
}

void tst_FileSyncLinks::nothingWithoutADeploymentRoot()
{
    // Guards against a workstation without TALMER_DEPLOY_DIR fetching into folders under the file-system root.
    const QString unique = "talmer-test-" + QUuid::createUuid().toString(QUuid::WithoutBraces);
    SiteBuilder site(BrelMmiDataAgent::Instance());
    site.icon(site.iconType(unique, 2), "b", "{u}", QDateTime::currentDateTime().toString(Qt::ISODate));
    site.configFile(unique + ".ini", "deployment/" + unique, QDateTime::currentDateTime().toString(Qt::ISODate));
    QVERIFY2(site.ok(), qPrintable(site.errors()));
    for (const QString& relative : {"pic/" + unique + "/P/0.xrg", "icon/" + unique + "/{u}.xco",
                                   "mmiconfig/" + unique + ".ini"})
        QVERIFY(writeFile(onServer(relative), "from the server"));
    auto sync = directorySync();
    qunsetenv("TALMER_DEPLOY_DIR");
    DebugChannel debug;
    // What callers build from an empty root.
    QCOMPARE(sync->GetFile(MDeployPaths::PictureDir(unique, "P") + "/0.xrg"), -1);
    QCOMPARE(sync->GetConfigFile(MFileSynchronize::ConfigFileLocalPath("deployment/" + unique, unique + ".ini")), -1);
    sync->SynIconFiles();
    sync->SynConfigFiles();
    QVERIFY(writeFile(m_outside + "/x.xco", "x"));
    QCOMPARE(sync->SaveFile(m_outside + "/x.xco", "x.xco"), -1);
    for (const QString& folder : {"/pic/" + unique, "/icon/" + unique, "/" + unique})
        QVERIFY2(!QFileInfo::exists(folder), qPrintable(folder + " was created"));
    QVERIFY(!QFile::exists(onServer("x.xco")));
    QCOMPARE(debug.count(" no deployment root: TALMER_DEPLOY_DIR is not set \n"), 5);
}

TALMER_TEST_MAIN(tst_FileSyncLinks)
#include "tst_filesync_links.moc"
