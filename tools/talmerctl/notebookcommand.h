#pragma once

#include <QStringList>

// "notebook show": the workstation's graph options and lists.
namespace NoteBookCommand {

int show(const QStringList& arguments);

} // namespace NoteBookCommand
