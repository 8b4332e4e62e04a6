#pragma once

#include <QString>

namespace DataAgent {

class SqlConnection;

// Brings a database to the schema of DataSchema: creates what is missing (all
// of it on first use), adds the tables, columns and indexes an older version
// lacks, and records the version. Refuses a database written by a newer program.
class SchemaUpdater
{
public:
    explicit SchemaUpdater(SqlConnection& connection) : m_connection(connection) {}
    bool update();

private:
    int storedVersion(bool* ok);
    bool createMissing();
    bool createTable(const QString& table, const QString& columns);

    SqlConnection& m_connection;
};

} // namespace DataAgent
