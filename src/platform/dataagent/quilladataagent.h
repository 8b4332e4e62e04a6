#pragma once

#include "msqldataagent.h"

// An agent of the outer-network database, which a workstation of the outer
// network merges with its own. Connect opens the database TALMER_OUTER_DB names
// (which must exist) and fails cleanly when it is unset or unreachable.
class QuillaDataAgent : public MSqlDataAgent
{
public:
    QuillaDataAgent(const QString& application, const QString& database, bool exclusive);
    ~QuillaDataAgent() override;

    bool Connect(const QString& database) override;

    QString Application() const { return m_application; }
    QString DatabaseName() const { return m_database; }

private:
    QString m_application;
    QString m_database;
    bool m_exclusive; // part of the platform's signature; the stand-in shares the database
};
