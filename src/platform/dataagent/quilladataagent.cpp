#include "quilladataagent.h"

#include "dataagentlog.h"

QuillaDataAgent::QuillaDataAgent(const QString& application, const QString& database, bool exclusive)
    : m_application(application), m_database(database), m_exclusive(exclusive)
{
}

QuillaDataAgent::~QuillaDataAgent() = default;

bool QuillaDataAgent::Connect(const QString& database)
{
    m_database = database;
    const QString spec = qEnvironmentVariable("TALMER_OUTER_DB");
    if (spec.isEmpty()) {
        qCWarning(lcDataAgent) << "no outer-network database: TALMER_OUTER_DB is not set";
        return false;
    }
    return Open(spec, OpenMode::MustExist);
}
