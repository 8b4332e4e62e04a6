#include "mappdict.h"

#include "brelsysmandataagent.h"
#include "hmistore.h"
#include "mpinyinsort.h"

MAppDict* MAppDict::m_pInstance = nullptr;

MAppDict::MAppDict()
    : m_agent(new BrelSysmanDataAgent)
{
}

MAppDict::~MAppDict()
{
    delete m_agent;
}

MAppDict* MAppDict::Instance()
{
    if (!m_pInstance)
        m_pInstance = new MAppDict;
    return m_pInstance;
}

QList<MAppInfo> MAppDict::GetAppList() const
{
    return HmiStore::instance().snapshot().applications;
}

QStringList MAppDict::GetAppNameList(bool realOnly, int part) const
{
    QStringList names;
    if (part != 0)
        return names;
    for (const MAppInfo& app : HmiStore::instance().snapshot().applications) {
        if (!realOnly || app.real)
            names << app.name;
    }
    return names;
}

QStringList MAppDict::GetRealNameAppList(bool sorted) const
{
    QStringList names = GetAppNameList(true, 0);
    if (sorted)
        MPinYinSort::Instance()->SortByPY(names, true);
    return names;
}

BrelSysmanDataAgent* MAppDict::GetAgent() const
{
    return HmiStore::instance().connection() ? m_agent : nullptr;
}
