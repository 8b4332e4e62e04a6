#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <atomic>

#include "net_ftp.h"
#include "workstationfiles.h"

// What one workstation holds of a list of files, read from its FTP server by
// directory listings only: nothing is written, renamed or removed there. A
// file is current when the workstation's copy is not older (in whole seconds)
// than its record's time - the rule by which a workstation fetches a file
// again - stale when it is older, missing when it is not there. A record time
// that does not read says nothing, so an existing copy counts as current.
//
// Runs on any thread: it touches no database and no widget, only its own FTP
// client. Every call is bounded by the wait limits.
class WorkstationScan
{
public:
    enum FileState { Current, Stale, Missing, Unchecked };
    enum State {
        Reached,      // every directory was listed
        Unreachable,  // no answer or no log-in within the wait limit
        ListingFailed // reached, but a listing failed (or the scan was cancelled): the rest is unchecked
    };

    struct HeldFile
    {
        WorkstationFiles::File file;
        FileState state = Unchecked;
        qint64 size = -1;   // the workstation's copy
        QDateTime modified; // UTC
    };

    struct Result
    {
        QString workstation;
        State state = Unreachable;
        QString error; // why it is unreachable or the listing failed
        QList<HeldFile> files;

        int count(FileState state) const;
        // "current", "2 stale, 1 missing", "unreachable", "listing failed"
        QString summary() const;
    };

    struct Limits
    {
        int connectMs = 1500; // log-in: a workstation that does not answer within this is unreachable
        int listMs = 5000;    // each listing: no progress for this long fails it
    };

    // Scans one workstation (an FTP host name, as pushes use). cancel, when
    // given and set, stops the scan before its next listing.
    static Result Scan(const QString& workstation, const QList<WorkstationFiles::File>& files, const Limits& limits,
                       const std::atomic<bool>* cancel = nullptr);

    // The state of one file against its copy on the workstation (null: none).
    static FileState Judge(const WorkstationFiles::File& file, const net_ftp::Entry* held);

    static QString StateName(FileState state);
    static QString StateName(State state);
};
