#include "sqlconnection.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include "dataagentlog.h"

namespace DataAgent {

namespace {

// An empty text is stored as an empty text, not as NULL, whether or not the
// QString behind it happens to be null.
QVariant bindable(const QVariant& value)
{
    if (value.typeId() == QMetaType::QString && value.toString().isNull())
        return QString("");
    return value;
}

constexpr int kBusyTimeoutMs = 15000;     // another workstation process is writing
constexpr int kConnectTimeoutS = 3;
constexpr qint64 kReconnectEveryMs = 2000;

QString uniqueConnectionName()
{
    static QAtomicInt counter;
    return QString("talmer-dataagent-%1").arg(counter.fetchAndAddRelaxed(1));
}

bool isPostgresSpec(const QString& spec)
{
    return spec.startsWith("postgresql://") || spec.startsWith("postgres://");
}

} // namespace

SqlConnection::SqlConnection()
    : m_name(uniqueConnectionName())
{
}

SqlConnection::~SqlConnection()
{
    close();
}

QSqlDatabase SqlConnection::database() const
{
    return QSqlDatabase::database(m_name, false);
}

bool SqlConnection::open(const QString& spec, OpenMode mode, const SchemaCheck& schema)
{
    close();
    m_spec = spec;
    m_mode = mode;
    m_schema = schema;
    m_postgres = isPostgresSpec(spec);
    if (spec.isEmpty()) {
        qCWarning(lcDataAgent) << "no database configured";
        return false;
    }
    const bool opened = m_postgres ? openPostgres(spec) : openSqlite(spec, mode);
    if (opened) {
        m_open = true;
        if (!m_schema || m_schema(*this))
            return true;
    }
    close();
    m_sinceLost.start(); // no new attempt for a while
    return false;
}

bool SqlConnection::openSqlite(const QString& file, OpenMode mode)
{
    const QFileInfo info(file);
    if (mode == OpenMode::MustExist && !info.exists()) {
        qCWarning(lcDataAgent).noquote() << "database file does not exist:" << file;
        return false;
    }
    // SQLite takes an empty file for a new database; here it is a lost or
    // truncated one, which must not turn into an empty library.
    if (info.exists() && info.size() == 0 && QFileInfo(file + "-wal").size() == 0) {
        qCWarning(lcDataAgent).noquote() << file << "is not a database: the file is empty";
        return false;
    }
    if (!info.exists() && !QDir().mkpath(info.absolutePath())) {
        qCWarning(lcDataAgent).noquote() << "cannot create the directory of" << file;
        return false;
    }
    const bool readOnly = info.exists() && !info.isWritable();
    m_readOnly = readOnly;
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", m_name);
    db.setDatabaseName(file);
    db.setConnectOptions(QString("QSQLITE_BUSY_TIMEOUT=%1%2")
                             .arg(kBusyTimeoutMs)
                             .arg(readOnly ? ";QSQLITE_OPEN_READONLY" : ""));
    if (!db.open()) {
        qCWarning(lcDataAgent).noquote() << "cannot open" << file << ":" << db.lastError().text();
        return false;
    }
    // WAL lets readers go on while one process writes; foreign keys carry the
    // deletion of an object down to everything below it.
    if (!runOnce("PRAGMA foreign_keys = ON") || (!readOnly && !runOnce("PRAGMA journal_mode = WAL"))
        || !runOnce("SELECT count(*) FROM sqlite_master")) {
        qCWarning(lcDataAgent).noquote() << file << "is not a usable database";
        return false;
    }
    return true;
}

bool SqlConnection::openPostgres(const QString& spec)
{
    const QUrl url(spec);
    if (!url.isValid() || url.host().isEmpty()) {
        qCWarning(lcDataAgent).noquote() << "not a PostgreSQL URL:" << url.toDisplayString(QUrl::RemovePassword);
        return false;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", m_name);
    db.setHostName(url.host());
    db.setPort(url.port(5432));
    db.setUserName(url.userName());
    db.setPassword(url.password());
    db.setDatabaseName(url.path().mid(1));
    db.setConnectOptions(QString("connect_timeout=%1").arg(kConnectTimeoutS));
    if (!db.open()) {
        qCWarning(lcDataAgent).noquote() << "cannot connect to" << url.toDisplayString(QUrl::RemovePassword)
                                         << ":" << db.lastError().text().trimmed();
        return false;
    }
    return runOnce("SET client_min_messages TO WARNING");
}

SqlResult::~SqlResult()
{
    if (m_query)
        m_query->finish();
}

void SqlConnection::close()
{
    m_statements.clear();
    if (QSqlDatabase::contains(m_name)) {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    m_open = false;
    m_lost = false;
    m_readOnly = false;
    m_depth = 0;
    m_failedInside = false;
    m_sinceLost.invalidate(); // a deliberate close may be reopened at once
}

bool SqlConnection::reopenIfLost()
{
    if (isOpen())
        return true;
    if (m_spec.isEmpty() || (m_sinceLost.isValid() && m_sinceLost.elapsed() < kReconnectEveryMs))
        return false;
    return open(m_spec, m_mode, m_schema);
}

bool SqlConnection::runOnce(const QString& sql)
{
    QSqlQuery query(database());
    return exec(query, sql);
}

bool SqlConnection::exec(QSqlQuery& query, const QString& sql, const QVariantList& values)
{
    query.setForwardOnly(true);
    bool ok;
    if (values.isEmpty()) {
        // PostgreSQL cannot prepare statements such as BEGIN or SET.
        ok = query.exec(sql);
    } else {
        ok = query.prepare(sql);
        for (const QVariant& v : values)
            query.addBindValue(bindable(v));
        ok = ok && query.exec();
    }
    return ok || report(query, sql);
}

SqlResult SqlConnection::run(const QString& sql, const QVariantList& values)
{
    std::shared_ptr<QSqlQuery>& cached = m_statements[sql];
    if (!cached) {
        auto query = std::make_shared<QSqlQuery>(database());
        query->setForwardOnly(true);
        if (!query->prepare(sql)) {
            report(*query, sql);
            m_statements.remove(sql);
            return SqlResult();
        }
        cached = query;
    }
    QSqlQuery* query = cached.get();
    for (int i = 0; i < values.size(); ++i)
        query->bindValue(i, bindable(values.at(i)));
    if (!query->exec()) {
        report(*query, sql);
        return SqlResult();
    }
    return SqlResult(query);
}

bool SqlConnection::report(const QSqlQuery& query, const QString& sql)
{
    qCWarning(lcDataAgent).noquote() << "statement failed:" << query.lastError().text().trimmed()
                                     << "in:" << sql.left(200);
    noteFailure();
    return false;
}

void SqlConnection::noteFailure()
{
    if (m_depth > 0) {
        // Inside a transaction PostgreSQL refuses everything until it ends; the
        // outermost commit rolls back and looks again.
        m_failedInside = true;
        return;
    }
    if (!m_postgres || !m_open)
        return;
    // A statement can fail for its own reasons; only a server that no longer
    // answers at all counts as a lost connection.
    QSqlDatabase db = database();
    QSqlQuery probe(db);
    if (!db.isOpen() || !probe.exec("SELECT 1")) {
        // Closed at the next use, when no query of the caller's holds it.
        qCWarning(lcDataAgent) << "lost the connection to the database server";
        m_lost = true;
        m_sinceLost.start(); // no new attempt for a while
    }
}

bool SqlConnection::begin()
{
    if (!isOpen())
        return false;
    if (m_depth == 0) {
        m_failedInside = false;
        // IMMEDIATE takes the write lock at once, so two writing processes wait
        // for each other instead of failing when a reader upgrades to a writer.
        if (!isOpen() || !runOnce(m_postgres ? "BEGIN" : "BEGIN IMMEDIATE"))
            return false;
    }
    ++m_depth;
    return true;
}

bool SqlConnection::commit()
{
    if (m_depth == 0)
        return false;
    if (--m_depth > 0)
        return !m_failedInside;
    if (m_failedInside) {
        runOnce("ROLLBACK");
        return false;
    }
    if (!runOnce("COMMIT")) {
        runOnce("ROLLBACK");
        return false;
    }
    return true;
}

void SqlConnection::rollback()
{
    if (m_depth == 0)
        return;
    m_failedInside = true;
    if (--m_depth == 0 && isOpen())
        runOnce("ROLLBACK");
}

} // namespace DataAgent
