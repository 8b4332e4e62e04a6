#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>

// The one way this project writes a file. Data goes to a temporary file beside
// the target, unbuffered so that a full disk shows at the write that meets it
// (a buffered QSaveFile can report success and leave an empty file); only when
// every byte is written is the temporary renamed over the target. On any
// failure the old file is left as it was and the reason is kept.
class SafeFile
{
public:
    explicit SafeFile(const QString& path);
    ~SafeFile(); // an uncommitted file is discarded

    SafeFile(const SafeFile&) = delete;
    SafeFile& operator=(const SafeFile&) = delete;

    bool open();
    // The device to stream into after open(); its writes fail on a full disk.
    QIODevice* device() { return &m_file; }
    bool write(const QByteArray& data);
    // Replaces the target; false (target untouched) when any write failed.
    bool commit();
    void cancel();
    QString errorString() const { return m_error; }

    // Writes data to path as a whole; error (optional) gets the reason on failure.
    static bool WriteFile(const QString& path, const QByteArray& data, QString* error = nullptr);
    // Copies source to target the same way: the target is complete or untouched.
    static bool CopyFile(const QString& source, const QString& target, QString* error = nullptr);

private:
    bool fail(const QString& reason);

    QSaveFile m_file;
    QString m_error;
    bool m_failed = false;
};
