#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace TestSupport {

// The HMI database of one test, on the backend the test run was registered
// for: SQLite (a file in the test's deployment tree) or PostgreSQL (a fresh
// database on the throwaway server that scripts/pg-test-server.sh started).
// Set TALMER_TEST_BACKEND=postgresql and TALMER_TEST_PG_STATE to that script's
// state directory for the latter; CTest does both for the "_pg" tests.
class TestDatabase
{
public:
    TestDatabase() = default;
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    static bool isPostgres();

    // A new, empty database: a connection text for TALMER_HMI_DB or
    // TALMER_OUTER_DB. For SQLite, file is used (and must not exist yet).
    // Empty on failure; failure() then says why, and packageMissing() tells a
    // developer machine without PostgreSQL (skip) from a broken server (fail).
    QString create(const QString& sqliteFile);
    QString failure() const { return m_failure; }
    bool packageMissing() const { return m_packageMissing; }

    // A connection of the test's own to a database named by a connection text,
    // opened; remove it with QSqlDatabase::removeDatabase(connectionName).
    static QSqlDatabase openRaw(const QString& spec, const QString& connectionName);

    // Lets the database named by spec hold what an older program could write:
    // two pictures of one name in one application. Their unique index is
    // dropped (an agent's next open makes it again when it can). For tests of
    // how such data is shown.
    static bool allowDuplicatePictureNames(const QString& spec);

    // The connection text of the test server's administrative database.
    static QString serverUrl(QString* why = nullptr, bool* packageMissing = nullptr);

private:
    QStringList m_created; // PostgreSQL databases to drop
    QString m_failure;
    bool m_packageMissing = false;
};

} // namespace TestSupport

// Points TALMER_HMI_DB at a fresh database of the test's backend; skips only
// where PostgreSQL is not installed, fails when its server does not answer.
#define TALMER_USE_TEST_DATABASE(db, tree)                                         \
    do {                                                                           \
        const QString url_ = (db).create((tree).path("var/hmi.sqlite"));           \
        if (url_.isEmpty() && (db).packageMissing())                               \
            QSKIP(qPrintable((db).failure()));                                     \
        QVERIFY2(!url_.isEmpty(), qPrintable((db).failure()));                     \
        qputenv("TALMER_HMI_DB", url_.toUtf8());                                   \
    } while (false)
