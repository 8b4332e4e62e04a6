#include <QHostInfo>
#include <QLineEdit>
#include <QTableWidget>
#include <memory>

#include "brelmmidataagent.h"
#include "deploytree.h"
#include "dialogdriver.h"
#include "filesynctesting.h"
#include "ftptestserver.h"
#include "mdbinterfaceholder.h"
#include "mhmiadmin.h"
#include "mnodesselectdialog.h"
#include "testmain.h"

using namespace FileSyncTesting;
using TestSupport::DeployTree;
using TestSupport::DialogDriver;
using TestSupport::FtpTestServer;

namespace {

// Large enough that the server's fault cuts it off well before its end.
constexpr int kBigFile = 1024 * 1024;
const QString kCutOff = QStringLiteral("%1 %2 65536");

} // namespace

class tst_FileSyncFtp : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_servers;
    std::unique_ptr<FtpTestServer> m_server;               // the file server
    std::unique_ptr<FtpTestServer> m_ws[3];                // workstations: the local host, ws2, ws3
    std::unique_ptr<DeployTree> m_tree;
    QString onServer(const QString& relative) const { return m_server->root() + "/base/" + relative; }
    QString local(const QString& relative) const { return m_tree->path(relative); }
    void configure();

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void transfersWithChineseNamesAndBlanks();
    void listRemoveRenameOverFtp();
    void serverDown();
    void downloadCutOffKeepsTheLocalCopy();
    void uploadCutOffKeepsTheServerCopy();
    void refusedUploadKeepsTheServerCopy();
    void pushesGoToTheOtherWorkstationsOnce();
    void savedIconsArePushedAndStored();
    void failedPushesAreReportedEachOne();
    void configurationFileToChosenWorkstations();
};

void tst_FileSyncFtp::initTestCase()
{
    m_server = std::make_unique<FtpTestServer>(m_servers.filePath("fileserver"));
    QDir().mkpath(m_servers.filePath("fileserver/base"));
    TALMER_START_FTP(*m_server);
    for (int i = 0; i < 3; ++i) {
        m_ws[i] = std::make_unique<FtpTestServer>(m_servers.filePath(QString("ws%1").arg(i + 1)));
        TALMER_START_FTP(*m_ws[i]);
    }
}

void tst_FileSyncFtp::configure()
{
    qputenv("TALMER_FILE_SERVER", m_server->url("/base").toUtf8());
    const QString here = QHostInfo::localHostName().toLower();
    qputenv("TALMER_FTP_CONNECT_TO", QString("%1:21:127.0.0.1:%2;ws2:21:127.0.0.1:%3;ws3:21:127.0.0.1:%4")
                                         .arg(here)
                                         .arg(m_ws[0]->port())
                                         .arg(m_ws[1]->port())
                                         .arg(m_ws[2]->port())
                                         .toUtf8());
}

void tst_FileSyncFtp::init()
{
    m_tree = std::make_unique<DeployTree>();
    configure();
    QDir(m_server->root() + "/base").removeRecursively();
    QVERIFY(QDir().mkpath(m_server->root() + "/base"));
}

void tst_FileSyncFtp::cleanup()
{
    if (!m_server->isRunning())
        QVERIFY(m_server->start());
    for (auto& workstation : m_ws) {
        if (!workstation->isRunning())
            QVERIFY(workstation->start());
    }
    MDBInterfaceHolder::Instance()->Reset();
    BrelMmiDataAgent::Instance()->Close();
    m_tree.reset();
}

void tst_FileSyncFtp::transfersWithChineseNamesAndBlanks()
{
    // Guards against names outside ASCII or with blanks being mangled on the way to the server and back.
    TestSync sync;
    const QString relative = QString::fromUtf8("pic/应用 一/北京 变电站/0.xrg");
    QVERIFY(writeFile(local(relative), "草稿 draft"));
    QCOMPARE(sync.SaveFile(local(relative)), 0);
    QCOMPARE(readFile(onServer(relative)), QByteArray("草稿 draft"));
    QCOMPARE(sync.SaveFile(local(relative), "2.xrg"), 0);
    QVERIFY(QFile::exists(onServer(QString::fromUtf8("pic/应用 一/北京 变电站/2.xrg"))));
    QFile::remove(local(relative));
    QCOMPARE(sync.GetFile(local(relative)), 0);
    QCOMPARE(readFile(local(relative)), QByteArray("草稿 draft"));
    // Many transfers through one session: the connection is reused, not exhausted.
    for (int i = 0; i < 50; ++i)
        QCOMPARE(sync.GetFile(local(relative)), 0);
}

void tst_FileSyncFtp::listRemoveRenameOverFtp()
{
    // Guards against listings parsed wrongly, removals that stop halfway, and renames lost on the server.
    TestSync sync;
    for (const QString f : {"pic/A/P/0.xrg", "pic/A/P/1.xrg", "pic/A/P/sub/x.fg", "pic/A/Q/0.xrg"})
        QVERIFY(writeFile(onServer(f), "x"));
    QVERIFY(writeFile(onServer(QString::fromUtf8("pic/A/P/名 字.svg")), "x"));
    QVERIFY(writeFile(onServer("pic/A/P/.0.xrg.part-77"), "an upload in progress"));
    QStringList files = sync.ListServerDir("pic/A/P", true);
    files.sort();
    QCOMPARE(files, (QStringList{"0.xrg", "1.xrg", QString::fromUtf8("名 字.svg")}));
    QCOMPARE(sync.ListServerDir("pic/A/P", false), QStringList{"sub"});
    QCOMPARE(sync.RenameFile("/pic/A/P", "/pic/A/R"), 0);
    QVERIFY(QFile::exists(onServer("pic/A/R/sub/x.fg")));
    QCOMPARE(sync.RemoveFile("pic/A/R", false), 1);
    QVERIFY(!QFile::exists(onServer("pic/A/R")));
    QCOMPARE(sync.RemoveFile("pic/A/Q/0.xrg", true), 1);
    QVERIFY(!QFile::exists(onServer("pic/A/Q/0.xrg")));
}

void tst_FileSyncFtp::serverDown()
{
    // Guards against a vanished server hanging the workstation or damaging its files.
    TestSync sync;
    QVERIFY(writeFile(local("pic/A/P/0.xrg"), "mine"));
    m_server->stop();
    DebugChannel debug;
    const int fetched = sync.GetFile(local("pic/A/P/0.xrg"));
    const int stored = sync.SaveFile(local("pic/A/P/0.xrg"));
    QVERIFY(fetched < 0 && stored < 0);
    QCOMPARE(readFile(local("pic/A/P/0.xrg")), QByteArray("mine"));
    QCOMPARE(debug.lines(), (QStringList{QString("get file failed %1 \n").arg(fetched),
                                         QString("save file failed %1 \n").arg(stored)}));
    QVERIFY(sync.ListServerDir("pic", false).isEmpty());
    QVERIFY(m_server->start());
    QCOMPARE(sync.SaveFile(local("pic/A/P/0.xrg")), 0); // the same session works again
}

void tst_FileSyncFtp::downloadCutOffKeepsTheLocalCopy()
{
    // Guards against a download cut off midway leaving a truncated drawing in the deployment tree.
    TestSync sync;
    const QByteArray whole(kBigFile, 'n');
    QVERIFY(writeFile(onServer("pic/A/P/big.brg"), whole));
    QVERIFY(writeFile(local("pic/A/P/big.brg"), "the old, whole file"));
    QVERIFY(m_server->armFault(kCutOff.arg("drop", "RETR")));
    QVERIFY(sync.GetFile(local("pic/A/P/big.brg")) < 0);
    QVERIFY2(!m_server->faultPending(), "the cut-off did not meet the download");
    QCOMPARE(readFile(local("pic/A/P/big.brg")), QByteArray("the old, whole file"));
    QCOMPARE(QDir(local("pic/A/P")).entryList(QDir::Files | QDir::Hidden), QStringList{"big.brg"});
    QCOMPARE(sync.GetFile(local("pic/A/P/big.brg")), 0); // the same session goes on
    QVERIFY(readFile(local("pic/A/P/big.brg")) == whole);
}

void tst_FileSyncFtp::uploadCutOffKeepsTheServerCopy()
{
    // Guards against an upload cut off midway leaving a damaged file for every other workstation.
    TestSync sync;
    QVERIFY(writeFile(onServer("pic/A/P/big.brg"), "the old, whole file"));
    QVERIFY(writeFile(local("pic/A/P/big.brg"), QByteArray(kBigFile, 'n')));
    QVERIFY(m_server->armFault(kCutOff.arg("drop", "STOR")));
    QVERIFY(sync.SaveFile(local("pic/A/P/big.brg")) < 0);
    QVERIFY2(!m_server->faultPending(), "the cut-off did not meet the upload");
    QCOMPARE(readFile(onServer("pic/A/P/big.brg")), QByteArray("the old, whole file"));
    QCOMPARE(sync.ListServerDir("pic/A/P", true), QStringList{"big.brg"});
    // Nor is the half upload left on the server's disk.
    QCOMPARE(QDir(onServer("pic/A/P")).entryList(QDir::Files | QDir::Hidden), QStringList{"big.brg"});
}

void tst_FileSyncFtp::refusedUploadKeepsTheServerCopy()
{
    // Guards against an upload the server refuses being reported as stored, or an icon pushed that the server lacks.
    QVERIFY(MHmiAdmin::AddNode("ws2"));
    TestSync sync;
    QVERIFY(writeFile(onServer("icon/refused/{u}.xco"), "the server's icon"));
    QVERIFY(writeFile(local("icon/refused/{u}.xco"), "a new icon"));
    QVERIFY(m_server->armFault("refuse STOR"));
    QVERIFY(sync.SaveFile(local("icon/refused/{u}.xco")) < 0);
    QCOMPARE(readFile(onServer("icon/refused/{u}.xco")), QByteArray("the server's icon"));
    QVERIFY(!QFile::exists(m_ws[1]->root() + "/deployment/icon/refused/{u}.xco"));
    QVERIFY(m_server->armFault("refuse RETR"));
    QVERIFY(sync.GetFile(local("icon/refused/{u}.xco")) < 0);
    QCOMPARE(readFile(local("icon/refused/{u}.xco")), QByteArray("a new icon"));
}

void tst_FileSyncFtp::pushesGoToTheOtherWorkstationsOnce()
{
    // Guards against pushing to the own workstation, twice to one workstation, or not to an explicit one.
    const QString here = QHostInfo::localHostName();
    QVERIFY(MHmiAdmin::AddNode(here.toUpper()));
    QVERIFY(MHmiAdmin::AddNode("WS2"));
    QVERIFY(MHmiAdmin::AddNode("ws2x"));
    QVERIFY(MHmiAdmin::AddNode("ws3"));
    QVERIFY(MHmiAdmin::RemoveNode("ws2x"));
    QVERIFY(MHmiAdmin::AddNode("Ws2"));
    QCOMPARE(MFileSynchronize::PushTargets(QString()), (QStringList{"ws2", "ws2", "ws3"}));
    const QString icon = local("icon/breaker/{u1}.xco");
    QVERIFY(writeFile(icon, "icon"));
    TestSync sync;
    const int before2 = int(m_ws[1]->received().size());
    QCOMPARE(sync.SynFileActive(icon, QString()), 0);
    QCOMPARE(readFile(m_ws[1]->root() + "/deployment/icon/breaker/{u1}.xco"), QByteArray("icon"));
    QCOMPARE(readFile(m_ws[2]->root() + "/deployment/icon/breaker/{u1}.xco"), QByteArray("icon"));
    QVERIFY(!QFile::exists(m_ws[0]->root() + "/deployment/icon/breaker/{u1}.xco"));
    QCOMPARE(int(m_ws[1]->received().size()) - before2, 1);
    // Named explicitly, even the own workstation gets it.
    QCOMPARE(sync.SynFileActive(icon, here), 0);
    QCOMPARE(readFile(m_ws[0]->root() + "/deployment/icon/breaker/{u1}.xco"), QByteArray("icon"));
    // A workstation that does not answer shows in the result of the push.
    QVERIFY(sync.SynFileActive(icon, "nowhere.invalid") < 0);
    QCOMPARE(sync.LastPushFailures().size(), 1);
    QCOMPARE(sync.LastPushFailures().first().node, QString("nowhere.invalid"));
    // A file outside the tree has no place on a workstation: refused, and said so.
    const QString outside = m_tree->base() + "/deployment-other/icon/breaker/{u9}.xco";
    QVERIFY(writeFile(outside, "not ours"));
    QVERIFY(sync.SynFileActive(outside, "ws2") < 0);
    QCOMPARE(sync.LastPushFailures().size(), 1);
    QVERIFY(!QFile::exists(m_ws[1]->root() + "/deployment-other"));
    QVERIFY(!QFile::exists(m_ws[1]->root() + "/deployment/icon/breaker/{u9}.xco"));
}

void tst_FileSyncFtp::savedIconsArePushedAndStored()
{
    // Guards against a saved icon reaching the server but not the other workstations.
    QVERIFY(MHmiAdmin::AddNode("ws3"));
    TestSync sync;
    const QString icon = local("icon/bus/{u2}.xco");
    QVERIFY(writeFile(icon, "bus icon"));
    QCOMPARE(sync.SaveFile(icon), 0);
    QCOMPARE(readFile(onServer("icon/bus/{u2}.xco")), QByteArray("bus icon"));
    QCOMPARE(readFile(m_ws[2]->root() + "/deployment/icon/bus/{u2}.xco"), QByteArray("bus icon"));
}

void tst_FileSyncFtp::failedPushesAreReportedEachOne()
{
    // Guards against a push that failed being hidden behind a later one that worked, or a store reported as a full success.
    QVERIFY(MHmiAdmin::AddNode("ws2"));
    QVERIFY(MHmiAdmin::AddNode("ws3"));
    const QString icon = local("icon/bus/{u3}.xco");
    QVERIFY(writeFile(icon, "bus icon"));
    TestSync sync;
    m_ws[1]->stop();
    // ws2 is pushed first, ws3 last: the last put works, the first did not.
    QVERIFY(sync.SynFileActive(icon, QString()) < 0);
    QCOMPARE(sync.SaveFile(icon), 0); // the server has it...
    QCOMPARE(readFile(onServer("icon/bus/{u3}.xco")), QByteArray("bus icon"));
    QCOMPARE(readFile(m_ws[2]->root() + "/deployment/icon/bus/{u3}.xco"), QByteArray("bus icon"));
    const QList<MFileSynchronize::PushFailure> failures = sync.LastPushFailures(); // ...ws2 does not
    QCOMPARE(failures.size(), 1);
    QCOMPARE(failures.first().node, QString("ws2"));
    QVERIFY(failures.first().result < 0);
    QVERIFY2(!failures.first().reason.isEmpty(), "a failed push says why");

    m_ws[2]->stop();
    const QString ini = local("etc/mmi/alarm.ini");
    QVERIFY(writeFile(ini, "alarms"));
    QCOMPARE(sync.SaveConfigFile(ini, QString()), 0);
    QCOMPARE(sync.LastPushFailures().size(), 2);
    QVERIFY(m_ws[1]->start());
    QVERIFY(m_ws[2]->start());
    QCOMPARE(sync.SaveFile(icon), 0);
    QVERIFY(sync.LastPushFailures().isEmpty()); // failures of an earlier store are not carried over
}

void tst_FileSyncFtp::configurationFileToChosenWorkstations()
{
    // Guards against a configuration file going to workstations the user unchecked.
    QVERIFY(MHmiAdmin::AddNode("ws2"));
    QVERIFY(MHmiAdmin::AddNode("ws3"));
    const QString ini = local("etc/mmi/alarm.ini");
    QVERIFY(writeFile(ini, "alarms"));
    TestSync sync;
    DialogDriver dialogs;
    dialogs.answerDialog("MNodesSelectDialog", [&](QWidget* w) -> QString {
        auto* dialog = static_cast<MNodesSelectDialog*>(w);
        dialog->findChild<QLineEdit*>()->setText(ini);
        auto* table = dialog->findChild<QTableWidget*>();
        if (!table || table->item(0, 1)->text() != "ws3")
            return "the dialog does not offer ws2 and ws3";
        table->item(0, 1)->setCheckState(Qt::Unchecked);
        dialog->accept();
        return {};
    });
    dialogs.answerDialog("MNodesSelectDialog", [](QWidget* w) -> QString {
        static_cast<QDialog*>(w)->reject();
        return {};
    });
    sync.SaveConfigFile();
    QCOMPARE(readFile(m_ws[1]->root() + "/deployment/etc/mmi/alarm.ini"), QByteArray("alarms"));
    QVERIFY(!QFile::exists(m_ws[2]->root() + "/deployment/etc/mmi/alarm.ini"));
    QFile::remove(m_ws[1]->root() + "/deployment/etc/mmi/alarm.ini");
    sync.SaveConfigFile(); // cancelled: nothing is pushed
    QVERIFY(!QFile::exists(m_ws[1]->root() + "/deployment/etc/mmi/alarm.ini"));
    DIALOGS_DONE(dialogs);

    // The single-file form: recorded, pushed to the node given, stored.
    QCOMPARE(sync.SaveConfigFile(ini, "ws3"), 0);
    QCOMPARE(readFile(m_ws[2]->root() + "/deployment/etc/mmi/alarm.ini"), QByteArray("alarms"));
    QCOMPARE(readFile(onServer("mmiconfig/alarm.ini")), QByteArray("alarms"));
}

TALMER_TEST_MAIN(tst_FileSyncFtp)
#include "tst_filesync_ftp.moc"
