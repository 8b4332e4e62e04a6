#pragma once

#include <QStringList>

// talmerctl check [--repair] [--json]: the site's consistency check.
namespace CheckCommand {

int run(const QStringList& arguments);

} // namespace CheckCommand
