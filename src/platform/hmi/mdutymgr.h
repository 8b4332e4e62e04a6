#pragma once

#include <QString>

// The duty manager: which users, at which workstations, are responsible for
// which areas of responsibility.
//
// A picture in area 0 belongs to no area: everybody is responsible for it. A
// responsibility of area 0 covers every area (a supervisor). A responsibility
// whose host is empty or "*" holds at every workstation; host names compare
// without regard to case.
class MDutyMgr
{
public:
    static MDutyMgr* getInstance();

    bool CheckAoR(const QString& user, const QString& host, int aorNum) const;

protected:
    MDutyMgr() = default;
    ~MDutyMgr() = default;

private:
    static MDutyMgr* m_pInstance;
};
