#include "safefile.h"

#include <QFile>

namespace {
constexpr qint64 kChunk = 1 << 16;
}

// What device() hands out: every write goes through writeAll, so a short write
// that the streaming code ignores still marks the file as failed.
class SafeFile::Sink : public QIODevice
{
public:
    explicit Sink(SafeFile* owner) : m_owner(owner) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        if (!m_owner->writeAll(data, size)) {
            setErrorString(m_owner->errorString());
            return -1;
        }
        return size;
    }

private:
    SafeFile* m_owner;
};

SafeFile::SafeFile(const QString& path) : m_file(path)
{
}

SafeFile::~SafeFile()
{
    if (m_file.isOpen())
        m_file.cancelWriting();
}

bool SafeFile::fail(const QString& reason)
{
    if (!m_failed)
        m_error = reason;
    m_failed = true;
    if (m_file.isOpen()) {
        // Committing a cancelled file removes the temporary file at once.
        m_file.cancelWriting();
        m_file.commit();
    }
    return false;
}

bool SafeFile::open()
{
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(m_file.errorString());
    return true;
}

QIODevice* SafeFile::device()
{
    if (!m_sink)
        m_sink = std::make_unique<Sink>(this);
    return m_sink.get();
}

bool SafeFile::writeAll(const char* data, qint64 size)
{
    if (m_failed || !m_file.isOpen())
        return fail(QStringLiteral("not open for writing"));
    // A short write carries no error of its own; writing the rest again makes
    // the system say why (no space, file too large).
    for (qint64 done = 0; done < size;) {
        const qint64 written = m_file.write(data + done, size - done);
        if (written <= 0)
            return fail(m_file.error() != QFileDevice::NoError ? m_file.errorString() : QStringLiteral("short write"));
        done += written;
    }
    return true;
}

bool SafeFile::write(const QByteArray& data)
{
    return writeAll(data.constData(), data.size());
}

bool SafeFile::commit()
{
    if (m_failed || !m_file.isOpen())
        return fail(m_error.isEmpty() ? QStringLiteral("not open for writing") : m_error);
    if (m_file.error() != QFileDevice::NoError)
        return fail(m_file.errorString());
    if (!m_file.commit())
        return fail(m_file.errorString());
    return true;
}

void SafeFile::cancel()
{
    fail(QStringLiteral("cancelled"));
}

bool SafeFile::WriteFile(const QString& path, const QByteArray& data, QString* error)
{
    SafeFile file(path);
    const bool done = file.open() && file.write(data) && file.commit();
    if (!done && error)
        *error = file.errorString();
    return done;
}

bool SafeFile::CopyFile(const QString& source, const QString& target, QString* error)
{
    QFile in(source);
    SafeFile out(target);
    bool done = in.open(QIODevice::ReadOnly) ? out.open() : out.fail(in.errorString());
    while (done && !in.atEnd()) {
        const QByteArray chunk = in.read(kChunk);
        done = in.error() == QFileDevice::NoError ? out.write(chunk) : out.fail(in.errorString());
    }
    done = done && out.commit();
    if (!done && error)
        *error = out.errorString();
    return done;
}
