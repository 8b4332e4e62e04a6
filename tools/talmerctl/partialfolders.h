#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QLockFile;

// The hidden folders "site init" builds a site in, beside the target
// (".NAME.partial-XXXXXX"), and the lock each holds while its init runs. A
// folder whose init is gone (its lock held by no living process) is stale: a
// killed init left it, and the next init or "check --repair" removes it.
class PartialFolders
{
public:
    // The lock file's name inside a partial folder.
    static QString LockName() { return QStringLiteral("init.lock"); }
    // The QTemporaryDir template for a site at target.
    static QString Template(const QString& target);
    // The partial folders beside target, stale or not.
    static QStringList Find(const QString& target);
    static bool IsStale(const QString& folder);
    // Removes the stale partial folders beside target; the removed ones are
    // appended to removed, the ones that could not be removed to failed.
    static void RemoveStale(const QString& target, QStringList& removed, QStringList& failed);

    // Holds folder's lock for the life of the returned object; null when the
    // lock cannot be taken.
    static std::unique_ptr<QLockFile> Lock(const QString& folder);
};
