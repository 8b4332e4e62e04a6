#include "filesizelimit.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace Faults {

namespace {

// Longest a limited child may take before it is killed.
constexpr unsigned kChildSeconds = 60;

void applyLimit(qint64 limitBytes)
{
    const rlimit limit{rlim_t(limitBytes), rlim_t(limitBytes)};
    setrlimit(RLIMIT_FSIZE, &limit);
    signal(SIGXFSZ, SIG_IGN); // stays ignored across exec
    alarm(kChildSeconds);
}

} // namespace

LimitedRun runLimited(qint64 limitBytes, const std::function<bool(QString& error)>& write)
{
    int channel[2];
    if (pipe(channel) != 0)
        return {};
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = fork();
    if (child < 0)
        return {};
    if (child == 0) {
        close(channel[0]);
        applyLimit(limitBytes);
        QString error;
        const bool ok = write(error);
        const QByteArray reason = error.toUtf8();
        const bool sent = ::write(channel[1], reason.constData(), size_t(reason.size())) == reason.size();
        _exit(ok ? 0 : (sent ? 1 : 2));
    }
    close(channel[1]);
    QByteArray reason;
    char buffer[4096];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) != 0;) {
        if (n > 0)
            reason.append(buffer, n);
        else if (errno != EINTR)
            break;
    }
    close(channel[0]);
    int status = 0;
    pid_t waited;
    while ((waited = waitpid(child, &status, 0)) < 0 && errno == EINTR) {
    }
    LimitedRun run;
    run.finished = waited == child && WIFEXITED(status) && WEXITSTATUS(status) <= 1;
    run.succeeded = run.finished && WEXITSTATUS(status) == 0;
    if (run.finished)
        run.error = QString::fromUtf8(reason);
    else if (waited != child)
        run.error = QString("waiting for the child failed: %1").arg(qt_error_string(errno));
    else
        run.error = QString("the child ended with status %1").arg(status);
    return run;
}

void limitProcess(QProcess& process, qint64 limitBytes)
{
    process.setChildProcessModifier([limitBytes] { applyLimit(limitBytes); });
}

QStringList entries(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QByteArray contents(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

bool writePlain(const QString& file, const QByteArray& data)
{
    QFile f(file);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size() && f.flush();
}

} // namespace Faults
