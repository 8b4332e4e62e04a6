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
    // The graph engine's reasons for refusing a drawing.
    {"too deep or too many", "a limit of the drawing engine: nested too deep or too many elements"},
    {"too many attributes", "a limit of the drawing engine: too many attributes on one element"},
    {"too many values", "a limit of the drawing engine: too many values on one element"},
    {"attribute value too long", "a limit of the drawing engine: a value longer than 8 MB"},
    {"beyond the end or the limits", "the drawing is cut short or passes a limit of the drawing engine"},
    {"too large for a drawing", "a limit of the drawing engine: the file is larger than 256 MB"},
    {"not a drawing of a format", "not a drawing"},
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
