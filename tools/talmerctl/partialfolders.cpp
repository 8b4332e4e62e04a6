#include "partialfolders.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>

namespace {

// A folder without a lock file is another init's only in the moment between
// making the folder and locking it; after this long it is a leftover.
constexpr qint64 kUnlockedGraceSeconds = 600;

} // namespace

QString PartialFolders::Template(const QString& target)
{
    const QFileInfo info(target);
    return info.absolutePath() + "/." + info.fileName() + ".partial-XXXXXX";
}

QStringList PartialFolders::Find(const QString& target)
{
    const QFileInfo info(target);
    const QDir parent(info.absolutePath());
    const QString prefix = "." + info.fileName() + ".partial-";
    QStringList folders;
    for (const QString& name : parent.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks)) {
        // The random part of the template is six characters.
        if (name.startsWith(prefix) && name.size() == prefix.size() + 6)
            folders << parent.filePath(name);
    }
    return folders;
}

bool PartialFolders::IsStale(const QString& folder)
{
    const QString lockPath = QDir(folder).filePath(LockName());
    if (!QFileInfo::exists(lockPath))
        return QFileInfo(folder).lastModified().secsTo(QDateTime::currentDateTime()) > kUnlockedGraceSeconds;
    // Only a lock whose process is gone is stale: an init may run for long.
    QLockFile lock(lockPath);
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0))
        return false;
    lock.unlock();
    return true;
}

void PartialFolders::RemoveStale(const QString& target, QStringList& removed, QStringList& failed)
{
    for (const QString& folder : Find(target)) {
        if (!IsStale(folder))
            continue;
        // Made by this tool with plain files only; links inside are removed, not followed.
        if (QDir(folder).removeRecursively())
            removed << folder;
        else
            failed << folder;
    }
}

std::unique_ptr<QLockFile> PartialFolders::Lock(const QString& folder)
{
    auto lock = std::make_unique<QLockFile>(QDir(folder).filePath(LockName()));
    lock->setStaleLockTime(0);
    return lock->tryLock(0) ? std::move(lock) : nullptr;
}
