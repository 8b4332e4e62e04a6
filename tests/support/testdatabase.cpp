#include "testdatabase.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

namespace TestSupport {

namespace {

const char* kAdminConnection = "talmer-test-admin";

// Runs one administrative statement on the server; names are ours, never input.
bool runAdmin(const QString& sql, QString* error)
{
    QSqlDatabase db = QSqlDatabase::database(kAdminConnection, false);
    if (!db.isValid()) {
        const QString url = TestDatabase::serverUrl(error);
        if (url.isEmpty())
            return false;
        db = TestDatabase::openRaw(url, kAdminConnection);
    }
    if (!db.isOpen() && !db.open()) {
        *error = "cannot reach the test PostgreSQL server: " + db.lastError().text();
        return false;
    }
    QSqlQuery query(db);
    if (!query.exec(sql)) {
        *error = query.lastError().text();
        return false;
    }
    return true;
}

} // namespace

QSqlDatabase TestDatabase::openRaw(const QString& spec, const QString& connectionName)
{
    const bool pg = spec.startsWith("postgresql://");
    QSqlDatabase db = QSqlDatabase::addDatabase(pg ? "QPSQL" : "QSQLITE", connectionName);
    if (pg) {
        const QUrl url(spec);
        db.setHostName(url.host());
        db.setPort(url.port(5432));
        db.setUserName(url.userName());
        db.setPassword(url.password());
        db.setDatabaseName(url.path().mid(1));
    } else {
        db.setDatabaseName(spec);
    }
    db.open();
    return db;
}

bool TestDatabase::allowDuplicatePictureNames(const QString& spec)
{
    const QString name = "talmer-test-legacy";
    bool dropped = false;
    {
        QSqlDatabase db = openRaw(spec, name);
        QSqlQuery query(db);
        dropped = db.isOpen() && query.exec("DROP INDEX IF EXISTS u_c_picture");
    }
    QSqlDatabase::removeDatabase(name);
    return dropped;
}

bool TestDatabase::isPostgres()
{
    return qEnvironmentVariable("TALMER_TEST_BACKEND") == "postgresql";
}

QString TestDatabase::serverUrl(QString* why, bool* packageMissing)
{
    const QString state = qEnvironmentVariable("TALMER_TEST_PG_STATE");
    QFile url(state + "/url");
    if (!state.isEmpty() && url.open(QIODevice::ReadOnly))
        return QString::fromUtf8(url.readAll()).trimmed();
    QFile missing(state + "/missing");
    const bool isMissing = missing.open(QIODevice::ReadOnly);
    if (packageMissing)
        *packageMissing = isMissing;
    if (why)
        *why = isMissing ? QString::fromUtf8(missing.readAll()).trimmed()
                         : "no test PostgreSQL server was started (TALMER_TEST_PG_STATE)";
    return {};
}

QString TestDatabase::create(const QString& sqliteFile)
{
    if (!isPostgres()) {
        if (QFile::exists(sqliteFile)) {
            m_failure = sqliteFile + " exists already";
            return {};
        }
        return sqliteFile;
    }
    if (serverUrl(&m_failure, &m_packageMissing).isEmpty())
        return {};
    static int counter = 0;
    const QString name = QString("talmer_t%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
    if (!runAdmin("CREATE DATABASE " + name, &m_failure))
        return {};
    m_created << name;
    QUrl url(serverUrl());
    url.setPath("/" + name);
    return url.toString();
}

TestDatabase::~TestDatabase()
{
    QString error;
    for (const QString& name : std::as_const(m_created))
        runAdmin("DROP DATABASE IF EXISTS " + name + " WITH (FORCE)", &error);
}

} // namespace TestSupport
