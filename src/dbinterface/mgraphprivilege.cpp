#include "mgraphprivilege.h"

#include <QCoreApplication>
#include <QHostInfo>

#include "mdutymgr.h"
#include "sm_priv_api_user.h"
#include "sm_priv_api_user_manager.h"

sm_priv_api_user* MGraphPrivilege::s_currentUser = nullptr;
bool MGraphPrivilege::s_refused = false;

namespace {

constexpr int kNameBuffer = 31;
const char* const kApplication = "MMI";

} // namespace

sm_priv_api_user* MGraphPrivilege::CurrentUser()
{
    return s_currentUser;
}

void MGraphPrivilege::SetCurrentUser(sm_priv_api_user* user)
{
    s_currentUser = user;
    s_refused = false;
}

void MGraphPrivilege::Clear()
{
    SetCurrentUser(nullptr);
}

bool MGraphPrivilege::IsRefused()
{
    return s_refused;
}

void MGraphPrivilege::LogIn(const QString& user, const QString& password)
{
    sm_priv_api_user_manager* manager = get_user_manager(0);
    if (!manager)
        return;
    // UTF-8, not ASCII: user names of the site may be Chinese.
    int error = 0;
    s_currentUser = manager->get_user(user.toUtf8().constData(), password.toUtf8().constData(), error);
    // A wrong password must not show the operator what "nobody logged in" shows.
    s_refused = s_currentUser == nullptr;
}

bool MGraphPrivilege::CheckGraphPrivilege(int inPrivCode, int aorNum)
{
    if (s_refused)
        return false;
    if (!s_currentUser)
        return true;
    char name[kNameBuffer] = {};
    s_currentUser->get_name(name, kNameBuffer);
    if (!MDutyMgr::getInstance()->CheckAoR(QString::fromUtf8(name), QHostInfo::localHostName(), aorNum))
        return false;
    int error = 0;
    s_currentUser->set_parameter(kApplication, "priv_level", QByteArray::number(inPrivCode).constData(), error);
    bool allowed = false;
    s_currentUser->check_access(kApplication, "graph view", allowed);
    if (allowed)
        return true;
    // A privilege table may hold the translated function name instead.
    const QByteArray translated = QCoreApplication::translate("MGraphPrivilege", "graph view").toUtf8();
    s_currentUser->check_access(kApplication, translated.constData(), allowed);
    return allowed;
}
