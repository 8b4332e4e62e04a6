#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <memory>

namespace FtpCore {
class FtpConnection;
}

// Puts files by FTP onto another workstation, reached by its host name.
// TALMER_FTP_CONNECT_TO can map names to addresses, in libcurl's CONNECT_TO
// form separated by ";" ("ws1:21:127.0.0.1:2121;ws2:21:127.0.0.1:2122").
// Results: 0 on success, negative on failure.
class net_ftp
{
public:
    // A file or folder of a remote directory.
    struct Entry
    {
        QString name;
        bool isDirectory = false;
        qint64 size = -1;   // bytes; -1 when the server did not say
        QDateTime modified; // UTC; invalid when the server did not say
    };
    // list(): the directory (or a folder on the way to it) is not there.
    static constexpr int kNoSuchDirectory = -2003;

    net_ftp();
    ~net_ftp();
    net_ftp(const net_ftp&) = delete;
    net_ftp& operator=(const net_ftp&) = delete;

    // Logs in to host (no user: anonymous). waitMs bounds the connection.
    int login(const QString& host, const QString& user, const QString& password, int waitMs);
    // Puts the local file at the absolute remote path, creating missing
    // directories; the remote file is replaced only when the transfer completed.
    int put(const QString& localPath, const QString& remotePath, int waitMs);
    // Lists the remote directory (an absolute path) without changing anything
    // there. kNoSuchDirectory when it is not there; another negative result
    // when the listing failed, also midway: out is then left as it was.
    int list(const QString& remoteDirectory, QList<Entry>& out, int waitMs);
    // Why the last login or put failed (refused connection, timeout, refused
    // log-in, missing local file...); empty after a success.
    QString lastError() const { return m_error; }

private:
    bool ensureLoggedIn(int waitMs);

    std::unique_ptr<FtpCore::FtpConnection> m_ftp;
    bool m_loggedIn = false;
    QString m_error;
};
