#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <memory>

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
    // The device to stream into after open(). A write it cannot complete fails
    // there and makes commit() fail too, even when the writer ignored it.
    QIODevice* device();
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
    class Sink;
    friend class Sink;

    bool fail(const QString& reason);
    bool writeAll(const char* data, qint64 size);

    QSaveFile m_file;
    std::unique_ptr<Sink> m_sink;
    QString m_error;
    bool m_failed = false;
};
