#include "hmistore.h"

#include <QSqlQuery>

#include "brelmmidataagent.h"
#include "hmilog.h"
#include "hmischema.h"
#include "sqlconnection.h"

using DataAgent::SqlConnection;
using DataAgent::SqlResult;
using DataAgent::SqlTransaction;

namespace {

constexpr qint64 kCheckEveryMs = 1000;

} // namespace

HmiStore& HmiStore::instance()
{
    static HmiStore* store = new HmiStore; // never freed, like the platform's singletons
    return *store;
}

HmiStore::HmiStore()
    : m_connection(std::make_unique<SqlConnection>())
{
}

HmiStore::~HmiStore() = default;

bool HmiStore::ensureOpen()
{
    const QString spec = BrelMmiDataAgent::ConfiguredDatabase();
    if (spec.isEmpty()) {
        if (m_connection->isOpen() || m_generation != -1) {
            m_connection->close();
            m_snapshot = HmiSnapshot();
            m_generation = -1;
            ++m_revision;
        }
        return false;
    }
    if (spec == m_connection->spec())
        return m_connection->reopenIfLost();
    m_generation = -1; // another database: load it afresh
    return m_connection->open(spec,
                              BrelMmiDataAgent::ConfiguredDatabaseMayBeCreated() ? SqlConnection::OpenMode::CreateIfMissing
                                                                                 : SqlConnection::OpenMode::MustExist,
                              &HmiSchema::update);
}

SqlConnection* HmiStore::connection()
{
    return ensureOpen() ? m_connection.get() : nullptr;
}

qlonglong HmiStore::storedGeneration()
{
    const SqlResult result = m_connection->run("SELECT max(value) FROM h_generation", {});
    return result.ok() && result->next() ? result->value(0).toLongLong() : -1;
}

const HmiSnapshot& HmiStore::snapshot()
{
    reloadIfChanged();
    return m_snapshot;
}

void HmiStore::reloadIfChanged()
{
    const QString before = m_connection->spec();
    if (!ensureOpen())
        return;
    const bool sameDatabase = before == m_connection->spec() && m_generation != -1;
    if (sameDatabase && m_sinceCheck.isValid() && m_sinceCheck.elapsed() < kCheckEveryMs)
        return;
    m_sinceCheck.start();
    const qlonglong generation = storedGeneration();
    if (generation != m_generation || !sameDatabase) {
        m_generation = generation;
        load();
    }
}

void HmiStore::load()
{
    HmiSnapshot s;
    {
        const SqlResult r = m_connection->run("SELECT name, description, is_real FROM h_application "
                                              "ORDER BY position, name", {});
        while (r.ok() && r->next())
            s.applications.append(MAppInfo{r->value(0).toString(), r->value(1).toString(), r->value(2).toBool()});
    }
    {
        const SqlResult r = m_connection->run("SELECT name FROM h_node ORDER BY name", {});
        while (r.ok() && r->next())
            s.nodes << r->value(0).toString();
    }
    {
        const SqlResult r = m_connection->run("SELECT name, code FROM h_pictype ORDER BY name", {});
        while (r.ok() && r->next())
            s.pictureTypes.append({r->value(0).toString(), r->value(1).toInt()});
    }
    {
        const SqlResult r = m_connection->run("SELECT context, source, translation FROM h_translation", {});
        while (r.ok() && r->next())
            s.translations.insert(r->value(0).toString() + '\n' + r->value(1).toString(), r->value(2).toString());
    }
    {
        const SqlResult r = m_connection->run("SELECT word, syllables FROM h_pinyin", {});
        while (r.ok() && r->next())
            s.pinyinWords.insert(r->value(0).toString(), r->value(1).toString());
    }
    {
        const SqlResult r = m_connection->run("SELECT user_name, host, area FROM h_duty", {});
        while (r.ok() && r->next())
            s.duties[r->value(0).toString()].append({r->value(1).toString(), r->value(2).toLongLong()});
    }
    m_snapshot = std::move(s);
    ++m_revision;
}

bool HmiStore::write(const std::function<bool(SqlConnection&)>& change)
{
    if (!ensureOpen())
        return false;
    SqlTransaction transaction(*m_connection);
    if (!transaction.isActive() || !change(*m_connection)
        || !m_connection->run("UPDATE h_generation SET value = value + 1", {}).ok()
        || !transaction.commit())
        return false;
    m_generation = storedGeneration();
    load();
    m_sinceCheck.start();
    return true;
}
