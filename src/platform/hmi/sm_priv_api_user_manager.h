#pragma once

#include <QString>

#include <map>
#include <memory>

class sm_priv_api_user;

// The privilege manager: logs users in against the user table of the HMI
// database. It owns the users it hands out; they live until the process ends.
class sm_priv_api_user_manager
{
public:
    enum Error { NoError = 0, LoginRefused = -1, NoUserDatabase = -2 };

    // The user of that name when the password is right; null otherwise, with
    // error LoginRefused whether the user is unknown or the password wrong (and
    // after the same time), or NoUserDatabase.
    sm_priv_api_user* get_user(const char* name, const char* password, int& error);

private:
    std::map<QString, std::unique_ptr<sm_priv_api_user>> m_users;
};

// The process's privilege manager; the argument selects a manager of the
// platform and only 0 exists. Null for any other number.
sm_priv_api_user_manager* get_user_manager(int which);
