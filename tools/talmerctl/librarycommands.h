#pragma once

#include <QStringList>

// Questions to the graph library: the tree, the picture search, versions and
// a picture's privileges.
namespace LibraryCommands {

int tree(const QStringList& arguments);
int search(const QStringList& arguments);
int latest(const QStringList& arguments);
int versionAt(const QStringList& arguments);
int info(const QStringList& arguments);

} // namespace LibraryCommands
