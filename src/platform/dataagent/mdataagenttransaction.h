#pragma once

#include <utility>

#include "mdataagent.h"

// Writes through an agent between this and Commit() are applied together:
// whatever is not committed is rolled back when this goes. Nests like the
// agent's transactions.
class MDataAgentTransaction
{
public:
    explicit MDataAgentTransaction(MDataAgent* agent) : m_agent(agent), m_active(agent->BeginTransaction()) {}
    ~MDataAgentTransaction() { Rollback(); }
    MDataAgentTransaction(const MDataAgentTransaction&) = delete;
    MDataAgentTransaction& operator=(const MDataAgentTransaction&) = delete;

    // False when the transaction could not be begun (a read-only or lost database).
    bool IsActive() const { return m_active; }
    // True when every write since the beginning was applied.
    bool Commit() { return std::exchange(m_active, false) && m_agent->CommitTransaction(); }
    void Rollback()
    {
        if (std::exchange(m_active, false))
            m_agent->RollbackTransaction();
    }

private:
    MDataAgent* m_agent; // not owned
    bool m_active;
};
