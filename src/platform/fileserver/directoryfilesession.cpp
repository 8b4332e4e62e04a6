#include "directoryfilesession.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "safefile.h"

DirectoryFileSession::DirectoryFileSession(const QString& root)
    : m_root(QDir(root).absolutePath())
{
}

QString DirectoryFileSession::resolve(const char* serverPath) const
{
    const QString path = QString::fromUtf8(serverPath ? serverPath : "");
    const QStringList segments = path.split('/', Qt::SkipEmptyParts);
    if (path.startsWith('/') || path.contains('\\') || segments.contains("..") || segments.contains("."))
        return {};
    return segments.isEmpty() ? m_root : m_root + "/" + segments.join('/');
}

int DirectoryFileSession::CopyFile(const QString& from, const QString& to)
{
    if (!QFileInfo(from).isFile() || !QFileInfo(from).isReadable())
        return kNotFound;
    if (!QDir().mkpath(QFileInfo(to).absolutePath()))
        return kCannotWrite;
    return SafeFile::CopyFile(from, to) ? 0 : kCannotWrite;
}

int DirectoryFileSession::DownloadFile(const char* serverPath, const char* localPath, int, int)
{
    const QString server = resolve(serverPath);
    return server.isEmpty() ? kBadPath : CopyFile(server, QString::fromUtf8(localPath ? localPath : ""));
}

int DirectoryFileSession::UploadFile(const char* serverPath, const char* localPath, int, int)
{
    const QString server = resolve(serverPath);
    if (server.isEmpty() || server == m_root)
        return kBadPath;
    return CopyFile(QString::fromUtf8(localPath ? localPath : ""), server);
}

int DirectoryFileSession::list(std::vector<std::string>& names, const char* serverDirectory, bool directories) const
{
    const QString dir = resolve(serverDirectory);
    if (dir.isEmpty())
        return kBadPath;
    if (!QFileInfo(dir).isDir())
        return kNotFound;
    const QDir::Filters filter = (directories ? QDir::Dirs : QDir::Files) | QDir::NoDotAndDotDot | QDir::Hidden;
    for (const QString& name : QDir(dir).entryList(filter, QDir::Name)) {
        if (!(name.startsWith('.') && name.contains(".part-")))
            names.push_back(name.toStdString());
    }
    return 0;
}

int DirectoryFileSession::ListServerFiles(std::vector<std::string>& names, const char* serverDirectory, int)
{
    return list(names, serverDirectory, false);
}

int DirectoryFileSession::ListServerDirectories(std::vector<std::string>& names, const char* serverDirectory, int)
{
    return list(names, serverDirectory, true);
}

int DirectoryFileSession::RemoveServerFile(const char* serverPath)
{
    const QString server = resolve(serverPath);
    if (server.isEmpty() || !QFileInfo(server).isFile())
        return server.isEmpty() ? kBadPath : kNotFound;
    return QFile::remove(server) ? 0 : kCannotWrite;
}

int DirectoryFileSession::RenameServerFile(const char* fromPath, const char* toPath)
{
    const QString from = resolve(fromPath);
    const QString to = resolve(toPath);
    if (from.isEmpty() || to.isEmpty() || from == m_root || to == m_root)
        return kBadPath;
    if (!QFileInfo::exists(from))
        return kNotFound;
    if (QFileInfo::exists(to) || !QDir().mkpath(QFileInfo(to).absolutePath()))
        return kCannotWrite;
    return QDir().rename(from, to) ? 0 : kCannotWrite;
}

bool DirectoryFileSession::insideRoot(const QString& path) const
{
    const QString root = QFileInfo(m_root).canonicalFilePath();
    const QString parent = QFileInfo(QFileInfo(path).absolutePath()).canonicalFilePath();
    return !root.isEmpty() && (parent == root || parent.startsWith(root + '/'));
}

int DirectoryFileSession::RemoveServerDirectory(const char* serverPath)
{
    const QString server = resolve(serverPath);
    if (server.isEmpty() || server == m_root)
        return kBadPath;
    const QFileInfo info(server);
    if (!info.exists() && !info.isSymLink())
        return 0; // nothing to remove
    if (!insideRoot(server))
        return kBadPath;
    // A link is removed itself, never followed: what it points to may be
    // anything, also outside the server's tree. Links further down are left
    // alone by removeRecursively as well.
    if (info.isSymLink())
        return QFile::remove(server) ? 0 : kCannotWrite;
    return QDir(server).removeRecursively() ? 0 : kCannotWrite;
}
