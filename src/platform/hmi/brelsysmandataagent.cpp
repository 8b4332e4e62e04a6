#include "brelsysmandataagent.h"

#include "hmistore.h"

QStringList BrelSysmanDataAgent::GetNodeList() const
{
    return HmiStore::instance().snapshot().nodes;
}
