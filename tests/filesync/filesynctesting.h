#pragma once

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include "mfilesynchronize.h"

// Helpers the file synchronisation tests share.
namespace FileSyncTesting {

// A synchronizer of the test's own (the process-wide one keeps its first
// session and failure counts), with the protected push in reach.
class TestSync : public MFileSynchronize
{
public:
    TestSync() = default;
    ~TestSync() override = default;
    using MFileSynchronize::SynFileActive;
};

// The lines written to the HMI debug channel while it lives.
class DebugChannel
{
public:
    DebugChannel();
    ~DebugChannel();
    QStringList lines() const;
    int count(const QString& line) const { return int(lines().count(line)); }
};

bool writeFile(const QString& path, const QByteArray& data, const QDateTime& modified = {});
QByteArray readFile(const QString& path);

} // namespace FileSyncTesting
