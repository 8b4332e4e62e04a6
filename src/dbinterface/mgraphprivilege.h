#pragma once

#include <QString>

class sm_priv_api_user;

// Which pictures the operator may see: the process-wide current privilege user
// and the check of one picture against it. No user means no check: every
// picture is visible, as on a workstation where nobody logged in; a failed
// log-in is not "no user" but a refusal: no picture passes until a log-in
// succeeds or Clear is called. The user object belongs to the privilege manager.
class MGraphPrivilege
{
public:
    static sm_priv_api_user* CurrentUser();
    // Logs the user in with the privilege manager and makes the result the
    // current user. A failed log-in leaves no user and the refused state;
    // without a manager nothing changes.
    static void LogIn(const QString& user, const QString& password);
    // Sets the user (null: no check); ends a refusal.
    static void SetCurrentUser(sm_priv_api_user* user);
    // No user and no refusal: every picture is visible.
    static void Clear();
    // True after a failed log-in, until a successful one or Clear.
    static bool IsRefused();

    // Whether a picture of that inner privilege code and area may be shown:
    // never while refused, always without a user; otherwise the
    // duty manager first (the user at this workstation must be responsible for
    // the area), then the access check for "graph view" with the code as the
    // "priv_level" parameter, then for the translated function name.
    static bool CheckGraphPrivilege(int inPrivCode, int aorNum);

private:
    static sm_priv_api_user* s_currentUser; // not owned
    static bool s_refused;
};
