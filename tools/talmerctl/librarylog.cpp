#include "librarylog.h"

#include <QTextStream>

#include <cstdio>

QStringList LibraryLog::s_recent;
bool LibraryLog::s_verbose = false;

namespace {

constexpr int kKept = 20;

struct Pattern
{
    const char* text; // compared without case
    const char* reason;
};

// Texts of libpq, SQLite, the C library and the file server clients, and the
// reason each means. The first match in the newest message wins.
const Pattern kPatterns[] = {
    {"password authentication failed", "wrong password"},
    {"no password supplied", "no password given (set PGPASSWORD or use ~/.pgpass)"},
    {"fe_sendauth", "no password given (set PGPASSWORD or use ~/.pgpass)"},
    {"Login denied", "wrong user name or password"},
    {"Access denied: 530", "wrong user name or password"},
    {"Connection refused", "connection refused"},
    {"Couldn't connect", "connection refused"},
    {"timeout expired", "timed out"},
    {"timed out", "timed out"},
    {"Timeout was reached", "timed out"},
    {"could not translate host name", "unknown host"},
    {"Could not resolve", "unknown host"},
    {"No space left on device", "disk full"},
    {"database or disk is full", "disk full"},
    {"File too large", "disk full (file size limit)"},
    {"file is not a database", "not a database"},
    {"database disk image is malformed", "the database is corrupt"},
    {"does not exist", "the database does not exist"},
    {"readonly database", "the database is read-only"},
    {"read-only", "read-only"},
    {"Permission denied", "permission denied"},
};

} // namespace

void LibraryLog::Install(bool verbose)
{
    s_verbose = verbose;
    qInstallMessageHandler(Handle);
}

QString LibraryLog::ReasonOf(const QStringList& messages)
{
    for (auto it = messages.crbegin(); it != messages.crend(); ++it) {
        for (const Pattern& pattern : kPatterns) {
            if (it->contains(QLatin1String(pattern.text), Qt::CaseInsensitive))
                return QString::fromLatin1(pattern.reason);
        }
    }
    return {};
}

QString LibraryLog::Reason()
{
    return ReasonOf(s_recent);
}

void LibraryLog::Handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtDebugMsg || type == QtInfoMsg) {
        if (s_verbose)
            QTextStream(stderr) << qFormatLogMessage(type, context, message) << "\n";
        return;
    }
    s_recent << message;
    if (s_recent.size() > kKept)
        s_recent.removeFirst();
    // A shell user gets one line per failure; the library's own lines only on request.
    if (s_verbose || type == QtCriticalMsg || type == QtFatalMsg)
        QTextStream(stderr) << qFormatLogMessage(type, context, message) << "\n";
}
