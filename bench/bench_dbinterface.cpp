// The database interface on the large site: the picture search box and the
// pictures of a big picture type. Run: bench_dbinterface (SQLite, temporary).
#include <QApplication>
#include <QHostInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

#include "benchharness.h"
#include "brelmmidataagent.h"
#include "largesite.h"
#include "mdbrecords.h"
#include "mgraphprivilege.h"
#include "mhmiadmin.h"
#include "mvarendbinterface.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    qputenv("TALMER_DEPLOY_DIR", dir.path().toUtf8());
    qunsetenv("TALMER_HMI_DB");
    qunsetenv("IS_IN_OUTER_NET");
    BrelMmiDataAgent* agent = BrelMmiDataAgent::Instance();
    const SiteGen::LargeSite site = SiteGen::generateLargeSite(*agent);
    MVarenDBInterface db;

    QSqlDatabase bare = QSqlDatabase::addDatabase("QSQLITE", "bare");
    bare.setDatabaseName(BrelMmiDataAgent::ConfiguredDatabase());
    bare.open();
    QSqlQuery children(bare);
    children.prepare("SELECT t0.oid, t0.a_out_priv_code, t0.a_aornum, t0.a_in_priv_code, t0.a_picname "
                     "FROM c_picture t0 JOIN t_object p0 ON p0.oid = t0.oid WHERE p0.parent = ? ORDER BY t0.oid");

    MDBRecordPicType type;
    type.oid = site.bigType;
    const double interfaceMicros = Bench::medianMicros([&] {
        QList<MDBRecordBase*> records;
        db.GetChildren(&type, records);
        if (records.size() != 1000)
            qFatal("expected 1000 pictures, got %d", int(records.size()));
        qDeleteAll(records);
    }, 50);
    const double bareMicros = Bench::medianMicros([&] {
        children.bindValue(0, site.bigType.toLongLong());
        children.exec();
        QList<QVariant> values;
        while (children.next()) {
            for (int j = 0; j < 5; ++j)
                values << children.value(j);
        }
        children.finish();
    }, 50);
    Bench::report("GetChildren, picture type of 1,000 pictures", interfaceMicros, bareMicros, 3.0);

    QStringList found;
    QElapsedTimer first;
    first.start();
    db.SearchPictures(found, "B");
    out << QString("%1  %2 ms  (%3 found; the first search computes the Pinyin)")
               .arg("SearchPictures \"B\", first call", -58).arg(first.elapsed()).arg(found.size())
        << Qt::endl;
    MDataSet set;
    const double queryMicros = Bench::medianMicros([&] {
        agent->QueryData("/picture", {"AORNum", "in_priv_code", "picname"}, set);
    }, 20);
    const double searchMicros = Bench::medianMicros([&] { found.clear(); db.SearchPictures(found, "B"); }, 20);
    Bench::report("SearchPictures \"B\", 20,000 pictures (baseline: /picture)", searchMicros, queryMicros, 3.0);
    Bench::reportAbsolute("SearchPictures \"B\", 20,000 pictures", searchMicros, 50000);

    // With an operator logged in every match is checked against the privileges.
    MHmiAdmin::AddUser("bench", "bench", 3);
    MHmiAdmin::GrantFunction("bench", "MMI", "graph view");
    MHmiAdmin::AddResponsibility("bench", "*", 0);
    MGraphPrivilege::LogIn("bench", "bench");
    const double checkedMicros = Bench::medianMicros([&] { found.clear(); db.SearchPictures(found, "B"); }, 20);
    Bench::reportAbsolute(QString("SearchPictures \"B\" with a user (%1 allowed)").arg(found.size()), checkedMicros,
                          50000);
    return 0;
}
