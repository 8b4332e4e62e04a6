#include "recordtime.h"

#include <QDateTime>
#include <QFileInfo>

namespace RecordTime {

QString Iso(const QString& text)
{
    QString iso = text.trimmed();
    if (iso.size() > 10)
        iso[10] = 'T';
    return iso;
}

std::optional<qint64> Seconds(const QString& text)
{
    const QDateTime time = QDateTime::fromString(Iso(text), Qt::ISODate);
    if (!time.isValid())
        return std::nullopt;
    return time.toSecsSinceEpoch();
}

QString Now()
{
    return QDateTime::currentDateTime().toString(Qt::ISODate);
}

bool IsEarlier(const QString& a, const QString& b)
{
    const std::optional<qint64> sa = Seconds(a), sb = Seconds(b);
    return sa && sb && *sa < *sb;
}

bool IsFileStale(const QString& path, const QString& recordTime)
{
    const QFileInfo file(path);
    if (!file.exists())
        return true;
    const std::optional<qint64> record = Seconds(recordTime);
    return record && file.lastModified().toSecsSinceEpoch() < *record;
}

} // namespace RecordTime
