#pragma once

#include <QDateTime>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace TestSupport {

// A real FTP server for a test (scripts/ftp-test-server.py, Debian's
// python3-pyftpdlib) serving root on a loopback port. It can be stopped and
// started again on the same port, to test a server that goes away, and told
// to fail the next transfer in a set way (armFault), so that cut-off
// transfers are tested without racing a kill against the clock. The server
// exits by itself when the test process dies, and after kMaxSeconds.
class FtpTestServer
{
public:
    explicit FtpTestServer(const QString& root, int throttleBytesPerSecond = 0);
    ~FtpTestServer();
    FtpTestServer(const FtpTestServer&) = delete;
    FtpTestServer& operator=(const FtpTestServer&) = delete;

    // Empty when the package is there; otherwise why the tests cannot run.
    static QString unavailableReason();

    static constexpr int kMaxSeconds = 900;

    // Before start(): a user besides anonymous, and read-only access (the
    // permissions of every log-in), for refused log-ins and writes.
    void setUser(const QString& user, const QString& password);
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }

    bool start();
    void stop();
    // Notices a server killed from outside too.
    bool isRunning();
    qint64 pid() const { return m_process.processId(); }
    int port() const { return m_port; }
    QString root() const { return m_root; }
    // The files the server received, in order (absolute paths on the test machine).
    QStringList received() const;
    // Arms one fault for the next transfer of its kind: "refuse STOR",
    // "refuse RETR", "drop STOR <bytes>", "drop RETR <bytes>", and the same
    // with MLSD for a directory listing (the data
    // connection is closed after that many bytes). False if it cannot be set.
    bool armFault(const QString& fault) const;
    // Whether the armed fault is still waiting for its transfer.
    bool faultPending() const;
    // ftp://127.0.0.1:port followed by base ("/x" or empty).
    QString url(const QString& base = {}) const;

private:
    QString m_root;
    int m_throttle;
    QString m_user, m_password;
    bool m_readOnly = false;
    int m_port = 0;
    QProcess m_process;
};

// Files on either side of a transfer, for asserting both: writeFile makes the
// folders (and, when given, sets the file's modification time); readFile gives
// "<missing>" for a file that is not there.
bool writeFile(const QString& path, const QByteArray& data, const QDateTime& modified = {});
QByteArray readFile(const QString& path);

} // namespace TestSupport

// Starts server, or skips the test where pyftpdlib is not installed (CI installs it).
#define TALMER_START_FTP(server)                                               \
    do {                                                                       \
        const QString why_ = TestSupport::FtpTestServer::unavailableReason();  \
        if (!why_.isEmpty())                                                   \
            QSKIP(qPrintable(why_));                                           \
        QVERIFY2((server).start(), "the test FTP server did not start");       \
    } while (false)
