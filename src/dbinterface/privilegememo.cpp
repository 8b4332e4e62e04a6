#include "privilegememo.h"

#include "mgraphprivilege.h"

bool PrivilegeMemo::Allows(int inPrivCode, int aorNum)
{
    const quint64 key = (quint64(quint32(inPrivCode)) << 32) | quint32(aorNum);
    const auto found = m_answers.constFind(key);
    if (found != m_answers.cend())
        return *found;
    const bool allowed = MGraphPrivilege::CheckGraphPrivilege(inPrivCode, aorNum);
    m_answers.insert(key, allowed);
    return allowed;
}
