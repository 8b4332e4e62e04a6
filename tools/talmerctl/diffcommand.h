#pragma once

#include <QStringList>

// "diff APP PICTURE V1 V2 [--json] [--png FILE]": what changed between two
// editions of a picture, one line per change, as diff(1) answers: 0 the same,
// 1 different, 2 trouble (no such picture or version, a drawing that does not
// read, a command line out of form, a picture that cannot be written).
namespace DiffCommand {

enum Status { Same = 0, Different = 1, Trouble = 2 };

int run(const QStringList& arguments);

} // namespace DiffCommand
