#pragma once

#include <QString>

class sm_priv_api_user;

// Which pictures the operator may see: the process-wide current privilege user
// and the check of one picture against it. No user means no check: every
// picture is visible. The user object belongs to the privilege manager.
class MGraphPrivilege
{
public:
    static sm_priv_api_user* CurrentUser();
    // Logs the user in with the privilege manager and makes the result (null
    // when the log-in fails) the current user; without a manager nothing changes.
    static void LogIn(const QString& user, const QString& password);
    static void SetCurrentUser(sm_priv_api_user* user);
    static void Clear();

    // Whether a picture of that inner privilege code and area may be shown: the
    // duty manager first (the user at this workstation must be responsible for
    // the area), then the access check for "graph view" with the code as the
    // "priv_level" parameter, then for the translated function name.
    static bool CheckGraphPrivilege(int inPrivCode, int aorNum);

private:
    static sm_priv_api_user* s_currentUser; // not owned
};
