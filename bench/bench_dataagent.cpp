// The object database agent on the large site: 50 applications, 1,000 picture
// types, 20,000 pictures (one type holding 1,000 of them), 100,000 editions,
// 3,000 icons. Run: bench_dataagent [postgresql://...]  (default: SQLite in a
// temporary directory).
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <QUrl>

#include "benchharness.h"
#include "msqldataagent.h"
#include "largesite.h"

namespace {

// The same rows as the agent's query, read straight from SQL into variants.
int bareChildren(const QSqlDatabase& db, const QString& parent)
{
    static QSqlQuery q(db);
    static const bool prepared = (q.setForwardOnly(true), q.prepare("SELECT t0.oid, t0.a_out_priv_code, t0.a_aornum, t0.a_in_priv_code, t0.a_picname "
              "FROM c_picture t0 JOIN t_object p0 ON p0.oid = t0.oid WHERE p0.parent = ? ORDER BY t0.oid"));
    Q_ASSERT(prepared);
    q.bindValue(0, parent.toLongLong());
    q.exec();
    std::vector<QVariant> values;
    values.reserve(5000);
    while (q.next()) {
        for (int j = 0; j < 5; ++j)
            values.push_back(q.value(j));
    }
    q.finish();
    return int(values.size());
}

int barePath(const QSqlDatabase& db)
{
    static QSqlQuery q(db);
    static const bool prepared = (q.setForwardOnly(true), q.prepare("SELECT t.oid, t.a_name, t.a_type FROM c_picturetype t JOIN t_object o ON o.oid = t.oid "
              "JOIN c_application a ON a.oid = o.parent JOIN t_object ao ON ao.oid = a.oid "
              "JOIN c_node n ON n.oid = ao.parent "
              "WHERE t.a_name = ? AND a.a_name = ? AND n.a_name = ? ORDER BY t.oid"));
    Q_ASSERT(prepared);
    q.bindValue(0, "TYPE25_10");
    q.bindValue(1, "APP25");
    q.bindValue(2, "node1");
    q.exec();
    int n = 0;
    while (q.next())
        n += q.value(0).isValid();
    q.finish();
    return n;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    const QString spec = app.arguments().value(1, dir.filePath("hmi.sqlite"));
    MSqlDataAgent agent;
    if (!agent.Open(spec, MSqlDataAgent::OpenMode::CreateIfMissing))
        return 1;
    QElapsedTimer timer;
    timer.start();
    const SiteGen::LargeSite site = SiteGen::generateLargeSite(agent);
    out << "generated the large site in " << timer.elapsed() << " ms" << Qt::endl;

    QSqlDatabase bare;
    if (spec.startsWith("postgresql")) {
        const QUrl url(spec);
        bare = QSqlDatabase::addDatabase("QPSQL", "bare");
        bare.setHostName(url.host());
        bare.setPort(url.port(5432));
        bare.setUserName(url.userName());
        bare.setPassword(url.password());
        bare.setDatabaseName(url.path().mid(1));
    } else {
        bare = QSqlDatabase::addDatabase("QSQLITE", "bare");
        bare.setDatabaseName(spec);
    }
    if (!bare.open())
        return 1;

    MDataSet set;
    const QStringList attributes{"out_priv_code", "AORNum", "in_priv_code", "picname"};
    const double agentChildren = Bench::medianMicros([&] {
        agent.QueryChild(site.bigType, "Containspicture", attributes, set);
    }, 50);
    if (set.DataNum() != 1000)
        qFatal("expected 1000 pictures, got %d", set.DataNum());
    const double sqlChildren = Bench::medianMicros([&] { bareChildren(bare, site.bigType); }, 50);
    Bench::report("QueryChild, 1,000 pictures of one type", agentChildren, sqlChildren, 3.0);

    const QString path = "/node,name='node1'/application,name='APP25'/pictureType,name='TYPE25_10'";
    const double agentPath = Bench::medianMicros([&] { agent.QueryData(path, {"name", "type"}, set); }, 200);
    if (set.DataNum() != 1)
        qFatal("expected one picture type, got %d", set.DataNum());
    const double sqlPath = Bench::medianMicros([&] { barePath(bare); }, 200);
    Bench::report("QueryData, three filtered steps (20,000 pictures)", agentPath, sqlPath, 3.0);
    Bench::reportAbsolute("QueryData, three filtered steps (20,000 pictures)", agentPath, 5000);

    const double agentAll = Bench::medianMicros([&] {
        agent.QueryData("/picture", {"AORNum", "in_priv_code", "picname"}, set);
    }, 10);
    out << QString("%1  %2 us  (%3 pictures)\n").arg("QueryData /picture", -58).arg(agentAll, 9, 'f', 1).arg(set.DataNum());
    return 0;
}
