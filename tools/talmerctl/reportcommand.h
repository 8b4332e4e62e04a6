#pragma once

#include <QStringList>

// "report workstations": which version of the library's files each
// workstation holds, read from their FTP servers (listings only).
namespace ReportCommand {

int workstations(const QStringList& arguments);

} // namespace ReportCommand
