#include "databaseurl.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <QUrl>

#include <cstring>

namespace {

// One field of a password file line; '\' escapes ':' and '\'. Moves pos past
// the field and its ':'.
QString passFileField(const QString& line, int& pos)
{
    QString field;
    for (; pos < line.size(); ++pos) {
        const QChar c = line.at(pos);
        if (c == '\\' && pos + 1 < line.size()) {
            field += line.at(++pos);
        } else if (c == ':') {
            ++pos;
            return field;
        } else {
            field += c;
        }
    }
    return field;
}

bool fieldMatches(const QString& pattern, const QString& value)
{
    return pattern == "*" || pattern == value;
}

} // namespace

QPair<int, int> DatabaseUrl::PasswordSpan(const QString& text)
{
    const int scheme = int(text.indexOf("://"));
    if (scheme < 0)
        return {0, 0};
    const int start = scheme + 3;
    int end = int(text.indexOf('/', start));
    if (end < 0)
        end = int(text.size());
    const int at = int(text.lastIndexOf('@', end - 1));
    if (at < start)
        return {0, 0};
    const int colon = int(text.indexOf(':', start));
    if (colon < 0 || colon > at)
        return {0, 0};
    return {colon + 1, at - colon - 1};
}

bool DatabaseUrl::HasPassword(const QString& spec)
{
    return PasswordSpan(spec).second > 0;
}

QString DatabaseUrl::Masked(const QString& spec)
{
    const auto span = PasswordSpan(spec);
    return span.second > 0 ? QString(spec).replace(span.first, span.second, "***") : spec;
}

QString DatabaseUrl::WithoutPassword(const QString& spec)
{
    const auto span = PasswordSpan(spec);
    // The ':' before the password goes too.
    return span.second > 0 ? QString(spec).remove(span.first - 1, span.second + 1) : spec;
}

QString DatabaseUrl::PasswordFileEntry(const QString& host, int port, const QString& database, const QString& user)
{
    QString path = qEnvironmentVariable("PGPASSFILE");
    if (path.isEmpty())
        path = QDir::home().filePath(".pgpass");
    QFile file(path);
    // libpq ignores a password file that others may read.
    if (QFileInfo(path).permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther))
        return {};
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        int pos = 0;
        const QString fields[] = {passFileField(line, pos), passFileField(line, pos), passFileField(line, pos),
                                  passFileField(line, pos)};
        const QString password = passFileField(line, pos);
        if (fieldMatches(fields[0], host) && fieldMatches(fields[1], QString::number(port))
            && fieldMatches(fields[2], database) && fieldMatches(fields[3], user))
            return password;
    }
    return {};
}

bool DatabaseUrl::PasswordSuppliedElsewhere(const QString& spec)
{
    const QUrl url(spec);
    const QString password = url.password();
    if (password.isEmpty())
        return true;
    if (qEnvironmentVariable("PGPASSWORD") == password)
        return true;
    return PasswordFileEntry(url.host(), url.port(5432), url.path().mid(1), url.userName()) == password;
}

void DatabaseUrl::ScrubArguments(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        // Byte offsets: the span is found in the Latin-1 view of the bytes.
        const QString text = QString::fromLatin1(argv[i]);
        const auto span = PasswordSpan(text);
        if (span.second > 0)
            std::memset(argv[i] + span.first, '*', size_t(span.second));
    }
}
