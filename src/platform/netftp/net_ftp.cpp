#include "net_ftp.h"

#include <QFile>
#include <QUrl>

#include <curl/curl.h>

#include "ftpconnection.h"

namespace {

constexpr int kNotLoggedIn = -2001;
constexpr int kNoLocalFile = -2002;

QStringList connectTo()
{
    return qEnvironmentVariable("TALMER_FTP_CONNECT_TO").split(';', Qt::SkipEmptyParts);
}

} // namespace

net_ftp::net_ftp()
    : m_ftp(std::make_unique<FtpCore::FtpConnection>())
{
}

net_ftp::~net_ftp() = default;

int net_ftp::login(const QString& host, const QString& user, const QString& password, int waitMs)
{
    QUrl url;
    url.setScheme("ftp");
    url.setHost(host);
    if (!user.isEmpty()) {
        url.setUserName(user);
        url.setPassword(password);
    }
    m_ftp->SetServer(url.toString(), connectTo());
    m_loggedIn = !host.isEmpty() && url.isValid();
    if (!m_loggedIn) {
        m_error = host.isEmpty() ? QStringLiteral("no host name given") : "not a host name: '" + host + "'";
        return kNotLoggedIn;
    }
    const int result = m_ftp->Login(waitMs);
    m_loggedIn = result == 0;
    m_error = m_loggedIn ? QString() : m_ftp->LastError();
    return result;
}

bool net_ftp::ensureLoggedIn(int waitMs)
{
    // A call without a working log-in tries once more: the server may be back.
    if (!m_loggedIn) {
        m_loggedIn = m_ftp->Login(waitMs) == 0;
        if (!m_loggedIn)
            m_error = "cannot log in: " + m_ftp->LastError();
    }
    return m_loggedIn;
}

int net_ftp::list(const QString& remoteDirectory, QList<Entry>& out, int waitMs)
{
    if (!ensureLoggedIn(waitMs))
        return kNotLoggedIn;
    QList<FtpCore::FtpEntry> entries;
    const QString path = remoteDirectory.startsWith('/') ? remoteDirectory : "/" + remoteDirectory;
    const int result = m_ftp->List(path, entries, waitMs);
    m_error = result == 0 ? QString() : m_ftp->LastError();
    // The server refuses to change into a folder that is not there; the
    // connection itself still works, so this is an answer, not a failure.
    if (result == -int(CURLE_REMOTE_ACCESS_DENIED))
        return kNoSuchDirectory;
    if (result != 0)
        return result;
    for (const FtpCore::FtpEntry& e : std::as_const(entries))
        out.append({e.name, e.isDirectory, e.size, e.modified});
    return 0;
}

int net_ftp::put(const QString& localPath, const QString& remotePath, int waitMs)
{
    if (!ensureLoggedIn(waitMs))
        return kNotLoggedIn;
    QFile local(localPath);
    if (!local.open(QIODevice::ReadOnly)) {
        m_error = "cannot read " + localPath + ": " + local.errorString();
        return kNoLocalFile;
    }
    const int result = m_ftp->Upload(remotePath.startsWith('/') ? remotePath : "/" + remotePath, &local, waitMs);
    m_error = result == 0 ? QString() : m_ftp->LastError();
    return result;
}
