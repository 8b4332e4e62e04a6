#pragma once

#include <QString>

#include <optional>

// Record times are ISO 8601 date-time texts ("2024-05-01T08:30:00"; a blank or
// any one character in place of the "T" is read the same). This is the one
// reading of them for every tree, store and synchronisation. A text that does
// not parse says nothing: it is neither earlier nor later than any other time,
// and an existing file is not stale against it (a missing one always is).
namespace RecordTime {

// Seconds since the epoch; nothing when the text does not parse.
std::optional<qint64> Seconds(const QString& text);
// The time stored in a record: the text with "T" between date and time.
QString Iso(const QString& text);
// Now, as a record stores it.
QString Now();
// Whether a with b both readable and a strictly earlier, in whole seconds.
bool IsEarlier(const QString& a, const QString& b);
// Whether the local file at path must be fetched again: missing, or last
// modified (in whole seconds) before a readable record time.
bool IsFileStale(const QString& path, const QString& recordTime);

} // namespace RecordTime
