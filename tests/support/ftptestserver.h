#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace TestSupport {

// A real FTP server for a test (scripts/ftp-test-server.py, Debian's
// python3-pyftpdlib) serving root on a loopback port. It can be stopped and
// started again on the same port, to test a server that goes away.
class FtpTestServer
{
public:
    explicit FtpTestServer(const QString& root, int throttleBytesPerSecond = 0);
    ~FtpTestServer();
    FtpTestServer(const FtpTestServer&) = delete;
    FtpTestServer& operator=(const FtpTestServer&) = delete;

    // Empty when the package is there; otherwise why the tests cannot run.
    static QString unavailableReason();

    bool start();
    void stop();
    // Notices a server killed from outside too.
    bool isRunning();
    qint64 pid() const { return m_process.processId(); }
    int port() const { return m_port; }
    QString root() const { return m_root; }
    // The files the server received, in order (absolute paths on the test machine).
    QStringList received() const;
    // ftp://127.0.0.1:port followed by base ("/x" or empty).
    QString url(const QString& base = {}) const;

private:
    QString m_root;
    int m_throttle;
    int m_port = 0;
    QProcess m_process;
};

} // namespace TestSupport

// Starts server, or skips the test where pyftpdlib is not installed (CI installs it).
#define TALMER_START_FTP(server)                                               \
    do {                                                                       \
        const QString why_ = TestSupport::FtpTestServer::unavailableReason();  \
        if (!why_.isEmpty())                                                   \
            QSKIP(qPrintable(why_));                                           \
        QVERIFY2((server).start(), "the test FTP server did not start");       \
    } while (false)
