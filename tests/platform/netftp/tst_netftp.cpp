#include <QDir>
#include <QTemporaryDir>
#include <memory>

#include "ftptestserver.h"
#include "net_ftp.h"
#include "testmain.h"

using TestSupport::FtpTestServer;
using TestSupport::readFile;
using TestSupport::writeFile;

// The workstation push client: workstations reached by name through
// TALMER_FTP_CONNECT_TO, each its own FTP server on loopback.
class tst_NetFtp : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<FtpTestServer> m_ws;       // "ws2"
    std::unique_ptr<FtpTestServer> m_readOnly; // "ro"
    QString m_file; // a local file to push

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void putsByName();
    void failuresAreResultsWithReasons_data();
    void failuresAreResultsWithReasons();
    void putRetriesALogInThatFailed();
    void cutOffPutKeepsTheRemoteFile();
};

void tst_NetFtp::initTestCase()
{
    m_ws = std::make_unique<FtpTestServer>(m_dir.filePath("ws2"));
    m_readOnly = std::make_unique<FtpTestServer>(m_dir.filePath("ro"));
    m_readOnly->setReadOnly(true);
    TALMER_START_FTP(*m_ws);
    TALMER_START_FTP(*m_readOnly);
    m_file = m_dir.filePath("local/icon.xco");
    QVERIFY(writeFile(m_file, "icon"));
}

void tst_NetFtp::init()
{
    qputenv("TALMER_FTP_CONNECT_TO",
            QString("ws2:21:127.0.0.1:%1;ro:21:127.0.0.1:%2").arg(m_ws->port()).arg(m_readOnly->port()).toUtf8());
    QDir(m_ws->root() + "/deployment").removeRecursively();
}

void tst_NetFtp::cleanup()
{
    if (!m_ws->isRunning())
        QVERIFY(m_ws->start());
    qunsetenv("TALMER_FTP_CONNECT_TO");
}

void tst_NetFtp::putsByName()
{
    // Guards against pushes going to the wrong workstation or path, or not making the remote folders.
    net_ftp ftp;
    QCOMPARE(ftp.login("ws2", QString(), QString(), 1000), 0);
    QCOMPARE(ftp.put(m_file, "/deployment/icon/T/u.xco", 10000), 0);
    QCOMPARE(readFile(m_ws->root() + "/deployment/icon/T/u.xco"), QByteArray("icon"));
    QCOMPARE(ftp.put(m_file, QString::fromUtf8("deployment/图元/u 2.xco"), 10000), 0); // made absolute
    QCOMPARE(readFile(m_ws->root() + QString::fromUtf8("/deployment/图元/u 2.xco")), QByteArray("icon"));
    QVERIFY(ftp.lastError().isEmpty());
    QVERIFY(!QFile::exists(m_readOnly->root() + "/deployment"));
}

void tst_NetFtp::failuresAreResultsWithReasons_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("local");
    QTest::addColumn<bool>("loggedIn");
    QTest::newRow("no host") << "" << "icon.xco" << false;
    QTest::newRow("unknown host") << "nowhere.invalid" << "icon.xco" << false;
    QTest::newRow("missing local file") << "ws2" << "none.xco" << true;
    QTest::newRow("read-only workstation") << "ro" << "icon.xco" << true;
}

void tst_NetFtp::failuresAreResultsWithReasons()
{
    // Guards against a push that did not arrive reported as done, or failing without saying why.
    QFETCH(QString, host);
    QFETCH(QString, local);
    QFETCH(bool, loggedIn);
    net_ftp ftp;
    QCOMPARE(ftp.login(host, QString(), QString(), 1000) == 0, loggedIn);
    QVERIFY(ftp.put(m_dir.filePath("local/" + local), "/deployment/x.xco", 10000) < 0);
    QVERIFY(!ftp.lastError().isEmpty());
    QVERIFY(!QFile::exists(m_ws->root() + "/deployment/x.xco"));
    QVERIFY(!QFile::exists(m_readOnly->root() + "/deployment/x.xco"));
}

void tst_NetFtp::putRetriesALogInThatFailed()
{
    // Guards against a workstation that was down at log-in never getting the file once it is back.
    m_ws->stop();
    net_ftp ftp;
    QVERIFY(ftp.login("ws2", QString(), QString(), 1000) < 0);
    QVERIFY(ftp.put(m_file, "/deployment/a.xco", 10000) < 0);
    QVERIFY(!ftp.lastError().isEmpty());
    QVERIFY(m_ws->start());
    QCOMPARE(ftp.put(m_file, "/deployment/a.xco", 10000), 0);
    QCOMPARE(readFile(m_ws->root() + "/deployment/a.xco"), QByteArray("icon"));
}

void tst_NetFtp::cutOffPutKeepsTheRemoteFile()
{
    // Guards against a push cut off midway leaving the workstation a truncated file.
    QVERIFY(writeFile(m_ws->root() + "/deployment/big.xco", "the old, whole file"));
    const QString big = m_dir.filePath("local/big.xco");
    QVERIFY(writeFile(big, QByteArray(1024 * 1024, 'n')));
    net_ftp ftp;
    QCOMPARE(ftp.login("ws2", QString(), QString(), 1000), 0);
    QVERIFY(m_ws->armFault("drop STOR 65536"));
    QVERIFY(ftp.put(big, "/deployment/big.xco", 10000) < 0);
    QVERIFY(!m_ws->faultPending());
    QCOMPARE(readFile(m_ws->root() + "/deployment/big.xco"), QByteArray("the old, whole file"));
    QCOMPARE(QDir(m_ws->root() + "/deployment").entryList(QDir::Files | QDir::Hidden), QStringList{"big.xco"});
}

TALMER_TEST_MAIN(tst_NetFtp)
#include "tst_netftp.moc"
