#include "librarystate.h"

#include "dataschema.h"
#include "mdataset.h"
#include "mhmiadmin.h"
#include "msqldataagent.h"

namespace SiteGen {

namespace {

const char* const kBuilding = "building";
const char* const kComplete = "complete";

} // namespace

LibraryState::State LibraryState::Of(MSqlDataAgent& agent)
{
    const QString mark = agent.GlobalDefineValue(DefineName());
    if (mark == kComplete)
        return Complete;
    if (mark == kBuilding)
        return Building;
    MDataSet nodes;
    agent.QueryData("/node", {"name"}, nodes);
    return nodes.DataNum() > 0 ? Unmarked : Empty;
}

bool LibraryState::MarkBuilding(MSqlDataAgent& agent)
{
    return agent.SetGlobalDefine(DefineName(), kBuilding);
}

bool LibraryState::MarkComplete(MSqlDataAgent& agent)
{
    return agent.SetGlobalDefine(DefineName(), kComplete);
}

bool LibraryState::Clear(MSqlDataAgent& agent, QString& error)
{
    if (Of(agent) != Building) {
        error = "only a library whose build was interrupted may be replaced";
        return false;
    }
    // Everything below a top-level object goes with it.
    for (const DataAgent::ClassDef& objectClass : DataAgent::DataSchema::instance().classes()) {
        if (!objectClass.isTopLevel())
            continue;
        MDataSet objects;
        if (!agent.QueryData("/" + objectClass.name, QStringList(), objects)) {
            error = "cannot read the " + objectClass.name + " objects";
            return false;
        }
        QList<QVariant> ids;
        for (int i = 0; i < objects.DataNum(); ++i)
            ids << objects.DataAt(i).GetId();
        if (!ids.isEmpty() && !agent.DeleteData(objectClass.name, ids)) {
            error = "cannot remove the " + objectClass.name + " objects";
            return false;
        }
    }
    for (const QString& user : MHmiAdmin::Users()) {
        if (!MHmiAdmin::RemoveUser(user)) {
            error = "cannot remove the user " + user;
            return false;
        }
    }
    return true;
}

} // namespace SiteGen
