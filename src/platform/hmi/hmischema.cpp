#include "hmischema.h"

#include <QSqlQuery>
#include <QStringList>

#include "hmilog.h"
#include "sqlconnection.h"

using DataAgent::SqlConnection;
using DataAgent::SqlTransaction;

namespace {

const QStringList& tables()
{
    static const QStringList statements = {
        "CREATE TABLE IF NOT EXISTS h_schema (version BIGINT NOT NULL)",
        "CREATE TABLE IF NOT EXISTS h_generation (value BIGINT NOT NULL)",
        "CREATE TABLE IF NOT EXISTS h_application (name TEXT PRIMARY KEY, description TEXT NOT NULL, "
        "is_real BIGINT NOT NULL, position BIGINT NOT NULL)",
        "CREATE TABLE IF NOT EXISTS h_node (name TEXT PRIMARY KEY)",
        "CREATE TABLE IF NOT EXISTS h_pictype (name TEXT PRIMARY KEY, code BIGINT NOT NULL)",
        "CREATE TABLE IF NOT EXISTS h_translation (context TEXT NOT NULL, source TEXT NOT NULL, "
        "translation TEXT NOT NULL, PRIMARY KEY (context, source))",
        "CREATE TABLE IF NOT EXISTS h_pinyin (word TEXT PRIMARY KEY, syllables TEXT NOT NULL)",
        "CREATE TABLE IF NOT EXISTS h_user (name TEXT PRIMARY KEY, salt TEXT NOT NULL, hash TEXT NOT NULL, "
        "iterations BIGINT NOT NULL, level BIGINT NOT NULL)",
        "CREATE TABLE IF NOT EXISTS h_user_function (user_name TEXT NOT NULL REFERENCES h_user(name) "
        "ON DELETE CASCADE, application TEXT NOT NULL, function TEXT NOT NULL, "
        "PRIMARY KEY (user_name, application, function))",
        "CREATE TABLE IF NOT EXISTS h_equipment (path TEXT PRIMARY KEY, oid TEXT NOT NULL)",
        "CREATE TABLE IF NOT EXISTS h_duty (user_name TEXT NOT NULL, host TEXT NOT NULL, area BIGINT NOT NULL, "
        "PRIMARY KEY (user_name, host, area))",
    };
    return statements;
}

int storedVersion(SqlConnection& connection, bool* ok)
{
    *ok = true;
    if (!connection.database().tables().contains("h_schema"))
        return 0;
    QSqlQuery query(connection.database());
    *ok = connection.exec(query, "SELECT max(version) FROM h_schema");
    return *ok && query.next() ? query.value(0).toInt() : 0;
}

} // namespace

bool HmiSchema::update(SqlConnection& connection)
{
    bool ok = false;
    const int version = storedVersion(connection, &ok);
    if (!ok)
        return false;
    if (version == HmiSchema::version())
        return true;
    if (version > HmiSchema::version()) {
        qCWarning(lcHmi) << "the HMI service tables have version" << version << "; this program knows only up to"
                         << HmiSchema::version();
        return false;
    }
    SqlTransaction transaction(connection);
    QSqlQuery query(connection.database());
    // Two processes opening a new PostgreSQL database create the tables in turn.
    if (connection.isPostgres() && !connection.exec(query, "SELECT pg_advisory_xact_lock(?)", {qint64(0x7a11e6)}))
        return false;
    for (const QString& sql : tables()) {
        if (!connection.exec(query, sql))
            return false;
    }
    if (!connection.exec(query, "DELETE FROM h_schema")
        || !connection.exec(query, "INSERT INTO h_schema(version) VALUES (?)", {HmiSchema::version()}))
        return false;
    if (!connection.exec(query, "SELECT count(*) FROM h_generation") || !query.next())
        return false;
    if (query.value(0).toInt() == 0 && !connection.exec(query, "INSERT INTO h_generation(value) VALUES (?)", {1}))
        return false;
    return transaction.commit();
}
