#include "safefile.h"

#include <QFile>

namespace {
constexpr qint64 kChunk = 1 << 16;
}

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
    if (m_file.isOpen())
        m_file.cancelWriting();
    return false;
}

bool SafeFile::open()
{
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(m_file.errorString());
    return true;
}

bool SafeFile::write(const QByteArray& data)
{
    if (m_failed || !m_file.isOpen())
        return fail(QStringLiteral("not open for writing"));
    if (m_file.write(data) != data.size())
        return fail(m_file.errorString());
    return true;
}

bool SafeFile::commit()
{
    if (m_failed || !m_file.isOpen())
        return fail(m_error.isEmpty() ? QStringLiteral("not open for writing") : m_error);
    // A device error from a streamed write (device()) shows here.
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
