#include <QProcess>
#include <memory>

#include "brelmmidataagent.h"
#include "deploytree.h"
#include "ftptestserver.h"
#include "mhmiadmin.h"
#include "testmain.h"

using TestSupport::DeployTree;
using TestSupport::FtpTestServer;
using TestSupport::readFile;
using TestSupport::writeFile;

// talmerctl store, run as a user runs it, against workstations of which one is down.
class tst_TalmerCtlStore : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<FtpTestServer> m_ws2, m_ws3;

private Q_SLOTS:
    void initTestCase();
    void storeNamesEveryFailedPush();
};

void tst_TalmerCtlStore::initTestCase()
{
    QVERIFY(QFileInfo(qEnvironmentVariable("TALMERCTL")).isExecutable());
    m_ws2 = std::make_unique<FtpTestServer>(m_dir.filePath("ws2"));
    m_ws3 = std::make_unique<FtpTestServer>(m_dir.filePath("ws3"));
    TALMER_START_FTP(*m_ws2);
    TALMER_START_FTP(*m_ws3);
}

void tst_TalmerCtlStore::storeNamesEveryFailedPush()
{
    // Guards against store exiting 0 when a workstation did not get the icon.
    DeployTree tree;
    QVERIFY(QDir().mkpath(m_dir.filePath("server")));
    qputenv("TALMER_FILE_SERVER", m_dir.filePath("server").toUtf8());
    qputenv("TALMER_FTP_CONNECT_TO",
            QString("ws2:21:127.0.0.1:%1;ws3:21:127.0.0.1:%2").arg(m_ws2->port()).arg(m_ws3->port()).toUtf8());
    QVERIFY(MHmiAdmin::AddNode("ws2"));
    QVERIFY(MHmiAdmin::AddNode("ws3"));
    BrelMmiDataAgent::Instance()->Close();
    QVERIFY(writeFile(tree.path("icon/bus/{u}.xco"), "bus icon"));
    m_ws3->stop();

    QProcess talmerctl;
    talmerctl.start(qEnvironmentVariable("TALMERCTL"), {"store", "icon/bus/{u}.xco"});
    QVERIFY(talmerctl.waitForFinished(120000));
    const QStringList errors = QString::fromUtf8(talmerctl.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(talmerctl.exitCode(), 1);
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().contains("to ws3 failed"), qPrintable(errors.first()));
    QCOMPARE(readFile(m_dir.filePath("server/icon/bus/{u}.xco")), QByteArray("bus icon"));
    QCOMPARE(readFile(m_ws2->root() + "/deployment/icon/bus/{u}.xco"), QByteArray("bus icon"));

    QVERIFY(m_ws3->start());
    talmerctl.start(qEnvironmentVariable("TALMERCTL"), {"store", "icon/bus/{u}.xco"});
    QVERIFY(talmerctl.waitForFinished(120000));
    QCOMPARE(talmerctl.exitCode(), 0);
    QCOMPARE(readFile(m_ws3->root() + "/deployment/icon/bus/{u}.xco"), QByteArray("bus icon"));
}

TALMER_TEST_MAIN(tst_TalmerCtlStore)
#include "tst_talmerctl_store.moc"
