#pragma once

#include <QString>

class QCommandLineParser;

// What the host programs (talmerview, talmeredit) do alike before their window opens.
namespace HostProgram {

// Sets the description and adds --help and --site DIR.
void AddSiteOptions(QCommandLineParser& parser, const QString& description);
// Loads the site of --site (else the environment's) and checks its library;
// on failure prints why, prefixed by the program's name, and returns false.
bool OpenSite(const QCommandLineParser& parser);
// Prints message prefixed by the program's name; 1, the exit code of a failure.
int Fail(const QString& message);

} // namespace HostProgram
