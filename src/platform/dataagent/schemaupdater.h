#pragma once

#include <QString>

namespace DataAgent {

class SqlConnection;

// Brings a database to the schema of DataSchema: creates what is missing (all
// of it on first use), adds the tables, columns and indexes an older version
// lacks, and records the version. Refuses a database written by a newer program.
//
// Unique keys (picture names per application, versions per picture) came with
// version 2. A database that already holds duplicates still opens and is
// upgraded, without that key's index: a warning names the class, and every
// later open tries again, so the index appears once the duplicates are gone.
// A read-only database of an older version is used as it is.
//
// Search keys (version 3) start empty in an upgraded database: whoever
// searches computes them (the agent cannot: they are the caller's text).
class SchemaUpdater
{
public:
    explicit SchemaUpdater(SqlConnection& connection) : m_connection(connection) {}
    bool update();

private:
    int storedVersion(bool* ok);
    bool createMissing();
    bool createTable(const QString& table, const QString& columns);
    bool fillScopes();
    bool hasIndex(const QString& name);
    bool missingUniqueIndex();
    bool createUniqueIndexes();

    SqlConnection& m_connection;
};

} // namespace DataAgent
