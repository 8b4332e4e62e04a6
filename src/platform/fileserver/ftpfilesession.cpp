#include "ftpfilesession.h"

#include <QFile>
#include <QUrl>

#include "safefile.h"

namespace {

// Commands without a wait limit of their own (removing, renaming) get this one.
constexpr int kCommandWaitMs = 10000;

} // namespace

FtpFileSession::FtpFileSession(const QString& serverUrl)
{
    const QUrl url(serverUrl);
    m_ftp.SetServer(serverUrl);
    m_base = url.path();
    if (!m_base.startsWith('/'))
        m_base.prepend('/');
    if (!m_base.endsWith('/'))
        m_base.append('/');
}

QString FtpFileSession::absolute(const char* serverPath) const
{
    QString path = QString::fromUtf8(serverPath ? serverPath : "");
    while (path.startsWith('/'))
        path.remove(0, 1);
    return m_base + path;
}

int FtpFileSession::DownloadFile(const char* serverPath, const char* localPath, int, int waitMs)
{
    SafeFile local(QString::fromUtf8(localPath ? localPath : ""));
    if (!local.open())
        return FtpCore::FtpConnection::kLocalFile;
    const int result = m_ftp.Download(absolute(serverPath), local.device(), waitMs);
    if (result != 0)
        return result; // not committed: the old local file stays as it was
    return local.commit() ? 0 : FtpCore::FtpConnection::kLocalFile;
}

int FtpFileSession::UploadFile(const char* serverPath, const char* localPath, int, int waitMs)
{
    QFile local(QString::fromUtf8(localPath ? localPath : ""));
    if (!local.open(QIODevice::ReadOnly))
        return FtpCore::FtpConnection::kLocalFile;
    return m_ftp.Upload(absolute(serverPath), &local, waitMs);
}

int FtpFileSession::list(std::vector<std::string>& names, const char* serverDirectory, int waitMs, bool directories)
{
    QList<FtpCore::FtpEntry> entries;
    const int result = m_ftp.List(absolute(serverDirectory), entries, waitMs);
    for (const FtpCore::FtpEntry& e : std::as_const(entries)) {
        if (e.isDirectory == directories && !FtpCore::FtpConnection::IsTemporaryName(e.name))
            names.push_back(e.name.toStdString());
    }
    return result;
}

int FtpFileSession::ListServerFiles(std::vector<std::string>& names, const char* serverDirectory, int waitMs)
{
    return list(names, serverDirectory, waitMs, false);
}

int FtpFileSession::ListServerDirectories(std::vector<std::string>& names, const char* serverDirectory, int waitMs)
{
    return list(names, serverDirectory, waitMs, true);
}

int FtpFileSession::RemoveServerFile(const char* serverPath)
{
    return m_ftp.RemoveFile(absolute(serverPath), kCommandWaitMs);
}

int FtpFileSession::RenameServerFile(const char* fromPath, const char* toPath)
{
    return m_ftp.Rename(absolute(fromPath), absolute(toPath), kCommandWaitMs);
}

int FtpFileSession::RemoveServerDirectory(const char* serverPath)
{
    return m_ftp.RemoveDirectory(absolute(serverPath), kCommandWaitMs);
}
