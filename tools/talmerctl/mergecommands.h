#pragma once

#include <QStringList>

// "export" and "merge": an application's graph library records to and from
// another site's export file, with the code the editor's merge dialog uses.
namespace MergeCommands {

int exportLibrary(const QStringList& arguments);
int merge(const QStringList& arguments);

} // namespace MergeCommands
