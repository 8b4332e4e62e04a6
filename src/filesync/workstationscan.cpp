#include "workstationscan.h"

#include <QHash>
#include <QMap>

#include "recordtime.h"

namespace {

QString directoryOf(const QString& remotePath)
{
    return remotePath.left(remotePath.lastIndexOf('/') + 1);
}

QString nameOf(const QString& remotePath)
{
    return remotePath.mid(remotePath.lastIndexOf('/') + 1);
}

} // namespace

int WorkstationScan::Result::count(FileState state) const
{
    int n = 0;
    for (const HeldFile& held : files)
        n += held.state == state ? 1 : 0;
    return n;
}

QString WorkstationScan::Result::summary() const
{
    if (state == Unreachable)
        return StateName(state);
    QStringList parts;
    for (FileState each : {Stale, Missing, Unchecked}) {
        if (const int n = count(each))
            parts << QString("%1 %2").arg(n).arg(StateName(each));
    }
    if (state == ListingFailed)
        parts.prepend(StateName(state));
    return parts.isEmpty() ? StateName(Current) : parts.join(", ");
}

QString WorkstationScan::StateName(FileState state)
{
    switch (state) {
    case Current:
        return QStringLiteral("current");
    case Stale:
        return QStringLiteral("stale");
    case Missing:
        return QStringLiteral("missing");
    case Unchecked:
        return QStringLiteral("unchecked");
    }
    return QString();
}

QString WorkstationScan::StateName(State state)
{
    switch (state) {
    case Reached:
        return QStringLiteral("reached");
    case Unreachable:
        return QStringLiteral("unreachable");
    case ListingFailed:
        return QStringLiteral("listing failed");
    }
    return QString();
}

WorkstationScan::FileState WorkstationScan::Judge(const WorkstationFiles::File& file, const net_ftp::Entry* held)
{
    if (!held || held->isDirectory)
        return Missing;
    const std::optional<qint64> record = RecordTime::Seconds(file.recordTime);
    if (!record)
        return Current;
    if (!held->modified.isValid())
        return Unchecked; // the server keeps the time to itself: nothing to compare
    return held->modified.toSecsSinceEpoch() < *record ? Stale : Current;
}

WorkstationScan::Result WorkstationScan::Scan(const QString& workstation, const QList<WorkstationFiles::File>& files,
                                              const Limits& limits, const std::atomic<bool>* cancel)
{
    Result result{workstation, Reached, QString(), {}};
    for (const WorkstationFiles::File& file : files)
        result.files.append({file, Unchecked, -1, {}});
    net_ftp ftp;
    if (ftp.login(workstation, QString(), QString(), limits.connectMs) != 0) {
        result.state = Unreachable;
        result.error = ftp.lastError();
        return result;
    }
    // Each directory is listed once, in the order its first file comes.
    QMap<QString, QList<int>> byDirectory;
    QStringList order;
    for (int i = 0; i < result.files.size(); ++i) {
        const QString remote = result.files.at(i).file.remotePath;
        if (remote.isEmpty())
            continue; // no place on a workstation: stays unchecked
        const QString directory = directoryOf(remote);
        if (!byDirectory.contains(directory))
            order << directory;
        byDirectory[directory] << i;
    }
    for (const QString& directory : std::as_const(order)) {
        if (cancel && cancel->load()) {
            result.state = ListingFailed;
            result.error = QStringLiteral("cancelled");
            return result;
        }
        QList<net_ftp::Entry> entries;
        const int listed = ftp.list(directory, entries, limits.listMs);
        if (listed != 0 && listed != net_ftp::kNoSuchDirectory) {
            result.state = ListingFailed;
            result.error = QString("listing %1 failed: %2").arg(directory, ftp.lastError());
            return result;
        }
        QHash<QString, int> byName;
        for (int e = 0; e < entries.size(); ++e)
            byName.insert(entries.at(e).name, e);
        for (int i : byDirectory.value(directory)) {
            HeldFile& held = result.files[i];
            const auto found = byName.constFind(nameOf(held.file.remotePath));
            const net_ftp::Entry* entry = found == byName.constEnd() ? nullptr : &entries.at(*found);
            held.state = Judge(held.file, entry);
            if (entry && !entry->isDirectory) {
                held.size = entry->size;
                held.modified = entry->modified;
            }
        }
    }
    return result;
}
