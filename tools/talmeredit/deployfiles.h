#pragma once

#include <QByteArray>
#include <QString>

// The editor host's writes to the deployment tree and the file server. Each
// says why it failed, in words for the message list.
namespace DeployFiles {

// Whether a write to path would land inside the deployment tree (links and
// ".." followed); error says why not.
bool CheckInsideTree(const QString& path, QString& error);
// Writes data to path whole or not at all, making its folder; empty data
// is what an XML writer gives for text it cannot store, and is refused.
bool Write(const QString& path, const QByteArray& data, QString& error);
// Stores a file of the deployment tree on the file server, under its place in
// the tree (icons and templates then go on to the other workstations).
bool Upload(const QString& path, QString& error);

} // namespace DeployFiles
