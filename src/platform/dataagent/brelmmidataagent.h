#pragma once

#include "globaldefine.h"
#include "msqldataagent.h"

// The process-wide agent of the HMI database. It is connected to the database
// the configuration names: TALMER_HMI_DB (a SQLite file, or a postgresql:// URL),
// else $TALMER_DEPLOY_DIR/var/hmi.sqlite, created with its schema on first use.
// A database named explicitly that does not exist is an error, never created:
// a typo would otherwise give an empty library (site init creates its own).
// The configuration is read at every use; when it names another database the
// agent moves to that one.
class BrelMmiDataAgent : public MSqlDataAgent
{
public:
    static BrelMmiDataAgent* Instance();

    // The database the configuration names now; empty when none.
    static QString ConfiguredDatabase();
    // Whether the configured database may be created when missing: only the
    // default file of the deployment tree, however it was named.
    static bool ConfiguredDatabaseMayBeCreated();

    bool Connect(const QString& database) override;
    GlobalDefine QueryGlobalDefineByName(const QString& name);

protected:
    BrelMmiDataAgent();
    ~BrelMmiDataAgent() override;
    bool EnsureConnected() override;

private:
    static BrelMmiDataAgent* m_pInstance;
    bool m_warnedUnconfigured = false;
};
