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
    void listingsTellMissingFromFailed();
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

void tst_NetFtp::listingsTellMissingFromFailed()
{
    // Guards against a missing folder reported as a failed listing, or a failed one as an empty folder.
    const QDateTime modified(QDate(2026, 3, 1), QTime(10, 0, 7), Qt::UTC);
    QVERIFY(writeFile(m_ws->root() + QString::fromUtf8("/deployment/pic/A/北京 站/2.brg"), "v2 binary", modified));
    QVERIFY(QDir().mkpath(m_ws->root() + QString::fromUtf8("/deployment/pic/A/北京 站/sub")));
    const int received = int(m_ws->received().size());
    net_ftp ftp;
    QCOMPARE(ftp.login("ws2", QString(), QString(), 1000), 0);
    QList<net_ftp::Entry> entries;
    QCOMPARE(ftp.list(QString::fromUtf8("/deployment/pic/A/北京 站/"), entries, 5000), 0);
    QCOMPARE(entries.size(), 2);
    for (const net_ftp::Entry& entry : std::as_const(entries)) {
        QCOMPARE(entry.isDirectory, entry.name == "sub");
        if (!entry.isDirectory) {
            QCOMPARE(entry.name, QString("2.brg"));
            QCOMPARE(entry.size, qint64(9));
            QCOMPARE(entry.modified, modified);
        }
    }
    entries.clear();
    QCOMPARE(ftp.list("/deployment/pic/B/", entries, 5000), net_ftp::kNoSuchDirectory);
    QCOMPARE(ftp.list("/deployment/pic/A/x/y/", entries, 5000), net_ftp::kNoSuchDirectory);
    QVERIFY(m_ws->armFault("refuse MLSD"));
    const int refused = ftp.list("/deployment/pic/A/", entries, 5000);
    QVERIFY(refused < 0 && refused != net_ftp::kNoSuchDirectory);
    QVERIFY(!ftp.lastError().isEmpty());
    m_ws->stop();
    const int down = ftp.list("/deployment/pic/A/", entries, 1000);
    QVERIFY(down < 0 && down != net_ftp::kNoSuchDirectory);
    QVERIFY(entries.isEmpty());
    // Never a write: nothing arrived on the workstation.
    QCOMPARE(int(m_ws->received().size()), received);
}

TALMER_TEST_MAIN(tst_NetFtp)
#include "tst_netftp.moc"
