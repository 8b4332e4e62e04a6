#include "mdutymgr.h"

#include "hmistore.h"

MDutyMgr* MDutyMgr::m_pInstance = nullptr;

MDutyMgr* MDutyMgr::getInstance()
{
    if (!m_pInstance)
        m_pInstance = new MDutyMgr;
    return m_pInstance;
}

bool MDutyMgr::CheckAoR(const QString& user, const QString& host, int aorNum) const
{
    if (aorNum == 0)
        return true;
    const auto duties = HmiStore::instance().snapshot().duties.value(user);
    for (const HmiSnapshot::Duty& duty : duties) {
        const bool atHost = duty.host.isEmpty() || duty.host == "*"
            || duty.host.compare(host, Qt::CaseInsensitive) == 0;
        if (atHost && (duty.area == 0 || duty.area == aorNum))
            return true;
    }
    return false;
}
