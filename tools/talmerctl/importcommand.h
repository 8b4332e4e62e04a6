#pragma once

#include <QStringList>

// "import": drawings into the graph library as picture versions.
namespace ImportCommand {

int run(const QStringList& arguments);

} // namespace ImportCommand
