#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "mfilesynchronize.h"

// Pushes files of the deployment tree straight to other workstations by FTP:
// to one named workstation, to every other one, or to those the user picks.
// Each push remembers which workstations did not get the file and why, so
// that a caller can say so instead of reporting success.
class WorkstationPush
{
public:
    using Failure = MFileSynchronize::PushFailure;

    // The workstations a push with nodeName goes to: nodeName alone, or for
    // an empty one every node of the system, lower-cased, but this host.
    static QStringList Targets(const QString& nodeName);
    // "/deployment/" and the file's place in the tree; empty for a path that
    // is not below the deployment root.
    static QString RemotePath(const QString& localPath);

    // Pushes localPath to nodeName (every other workstation when empty). 0
    // when every put worked or nothing was pushed (no system-management agent,
    // no workstation); else the result of the first put that failed.
    int PushFile(const QString& localPath, const QString& nodeName);
    // Asks for a file and workstations (MNodesSelectDialog) and pushes it.
    void PushChosenFile();

    // The workstations the last push did not reach; empty after a full success.
    QList<Failure> Failures() const { return m_failures; }
    void ClearFailures() { m_failures.clear(); }

private:
    int pushTo(const QString& localPath, const QStringList& nodes);

    QList<Failure> m_failures;
};
