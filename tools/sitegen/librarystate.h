#pragma once

#include <QString>

class MSqlDataAgent;

namespace SiteGen {

// Whether a library database was filled to the end. A build marks the library
// "building" before its first write and "complete" after its last (a global
// define), so that a build that was killed halfway leaves a library that says
// so, and a retry may replace it; a library without any mark is someone's
// data and is never replaced.
class LibraryState
{
public:
    enum State { Empty, Building, Complete, Unmarked };

    static QString DefineName() { return QStringLiteral("TalmerSiteState"); }
    static State Of(MSqlDataAgent& agent);
    static bool MarkBuilding(MSqlDataAgent& agent);
    static bool MarkComplete(MSqlDataAgent& agent);
    // Removes every object of the library and its users: what a build writes
    // that a second build could not write again. Only for a library in state
    // Building.
    static bool Clear(MSqlDataAgent& agent, QString& error);
};

} // namespace SiteGen
