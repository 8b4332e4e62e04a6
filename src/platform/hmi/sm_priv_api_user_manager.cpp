#include "sm_priv_api_user_manager.h"

#include <QSet>

#include "hmipassword.h"
#include "hmistore.h"
#include "sm_priv_api_user.h"
#include "sqlconnection.h"

using DataAgent::SqlResult;

sm_priv_api_user_manager* get_user_manager(int which)
{
    static sm_priv_api_user_manager* manager = new sm_priv_api_user_manager; // never freed
    return which == 0 ? manager : nullptr;
}

sm_priv_api_user* sm_priv_api_user_manager::get_user(const char* name, const char* password, int& error)
{
    const QString user = QString::fromUtf8(name ? name : "");
    const QString secret = QString::fromUtf8(password ? password : "");
    DataAgent::SqlConnection* connection = HmiStore::instance().connection();
    if (!connection) {
        error = NoUserDatabase;
        return nullptr;
    }
    HmiPassword::Hash stored;
    int level = 0;
    bool known = false;
    {
        const SqlResult r = connection->run("SELECT salt, hash, iterations, level FROM h_user WHERE name = ?", {user});
        if (r.ok() && r->next()) {
            known = true;
            stored = {r->value(0).toString(), r->value(1).toString(), r->value(2).toInt()};
            level = r->value(3).toInt();
        }
    }
    if (!known) {
        HmiPassword::spendCheckTime(secret);
        error = LoginRefused;
        return nullptr;
    }
    if (!HmiPassword::matches(secret, stored)) {
        error = LoginRefused;
        return nullptr;
    }
    QSet<QString> functions;
    {
        const SqlResult r = connection->run("SELECT application, function FROM h_user_function WHERE user_name = ?",
                                            {user});
        while (r.ok() && r->next())
            functions.insert(r->value(0).toString() + '\n' + r->value(1).toString());
    }
    error = NoError;
    std::unique_ptr<sm_priv_api_user>& slot = m_users[user];
    if (slot)
        slot->Update(level, std::move(functions)); // pointers handed out earlier stay valid
    else
        slot = std::make_unique<sm_priv_api_user>(user, level, std::move(functions));
    return slot.get();
}
