#include "filesynctesting.h"

#include <QDir>

namespace FileSyncTesting {

namespace {

QStringList s_lines;
QtMessageHandler s_previous = nullptr;

void capture(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (context.category && QByteArray(context.category) == "talmer.hmi.debug")
        s_lines << text;
    else if (s_previous)
        s_previous(type, context, text);
}

} // namespace

DebugChannel::DebugChannel()
{
    s_lines.clear();
    s_previous = qInstallMessageHandler(capture);
}

DebugChannel::~DebugChannel()
{
    qInstallMessageHandler(s_previous);
}

QStringList DebugChannel::lines() const
{
    return s_lines;
}

bool writeFile(const QString& path, const QByteArray& data, const QDateTime& modified)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(data) != data.size())
        return false;
    // Written out first: a later flush would set the time to now.
    if (modified.isValid())
        return f.flush() && f.setFileTime(modified, QFileDevice::FileModificationTime);
    return true;
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace FileSyncTesting
