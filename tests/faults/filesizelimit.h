#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

class QProcess;

namespace Faults {

// A full disk without a mount: in a process whose files may not grow beyond a
// limit (RLIMIT_FSIZE, with SIGXFSZ ignored), a write past it fails with EFBIG
// as it would with ENOSPC. The limit holds for that process only.
struct LimitedRun
{
    bool finished = false;  // exited on its own, in time
    bool succeeded = false; // what the write reported
    QString error;          // the reason it gave
};

// Runs write in a forked child under the limit; write returns whether it
// reports success and gives its reason otherwise. Bounded in time.
LimitedRun runLimited(qint64 limitBytes, const std::function<bool(QString& error)>& write);

// Puts the same limit on a program run by process (before it starts).
void limitProcess(QProcess& process, qint64 limitBytes);

// Every entry of a folder, hidden ones too, sorted: what a failed write must
// leave as it was.
QStringList entries(const QString& dir);
QByteArray contents(const QString& file);
bool writePlain(const QString& file, const QByteArray& data);

} // namespace Faults
