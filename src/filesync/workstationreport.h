#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>

#include "workstationfiles.h"
#include "workstationscan.h"

class MAbstractDBInterface;

// Which version of the library's files each workstation holds: for every
// workstation a push would go to (the node list, lower-cased, without this
// host), the files of a scope with their state (WorkstationScan). Made in two
// steps, so that a view can keep its thread free:
//
//   WorkstationReport report;
//   if (report.Prepare(db, "A", QString(), error) != WorkstationFiles::Read) ...  // the database: caller's thread
//   report.Run(limits);                                                         // FTP listings: any thread
//   for (const WorkstationScan::Result& ws : report.Results()) ...
//
// Nothing on a workstation is changed.
class WorkstationReport
{
public:
    // Reads the files of the scope (whole library, an application, or one of
    // its pictures) and the workstations. Not Read: nothing is prepared, and
    // error says why.
    WorkstationFiles::Outcome Prepare(MAbstractDBInterface* db, const QString& application, const QString& picture,
                                      QString& error);
    // Prepares for the given files and workstations, as read elsewhere.
    void Prepare(const QList<WorkstationFiles::File>& files, const QStringList& workstations);

    // Scans the workstations, several at a time, each bounded by limits.
    // cancel, when set, makes every scan stop before its next listing.
    void Run(const WorkstationScan::Limits& limits, const std::atomic<bool>* cancel = nullptr);

    QString Application() const { return m_application; }
    QString Picture() const { return m_picture; }
    const QList<WorkstationFiles::File>& Files() const { return m_files; }
    QStringList Workstations() const { return m_workstations; }
    // One per workstation, in name order, after Run().
    const QList<WorkstationScan::Result>& Results() const { return m_results; }

    // The whole report: scope, and per workstation its state, counts and files.
    QJsonObject ToJson() const;

private:
    QString m_application, m_picture;
    QList<WorkstationFiles::File> m_files;
    QStringList m_workstations;
    QList<WorkstationScan::Result> m_results;
};
