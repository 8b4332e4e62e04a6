// Every performance target of the design on the large site (50 applications,
// 1,000 picture types, 20,000 pictures, 100,000 editions, 3,000 icons), built
// once in a temporary directory, each case against a baseline of the same run.
// Run: bench_targets [postgresql://user@host:port/db]  (default: SQLite).
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QUrl>

#include <algorithm>

#include "benchharness.h"
#include "brelmmidataagent.h"
#include "ftptestserver.h"
#include "largesite.h"
#include "mdataset.h"
#include "mdbrecords.h"
#include "mfilesynchronize.h"
#include "mgraphitemonline.h"
#include "mgraphprivilege.h"
#include "mgraphtreeitem.h"
#include "mgraphtreevieweditor.h"
#include "mgraphtreeviewonline.h"
#include "mgraphtreewidget.h"
#include "mhmiadmin.h"
#include "mpinyinsort.h"
#include "sm_priv_api_user_manager.h"
#include "mtreewidgetitem.h"
#include "mvarendbinterface.h"

namespace {

struct Site
{
    QString root;   // the deployment tree
    QString spec;   // the HMI database
    SiteGen::LargeSite large;
    QSqlDatabase bare; // the same database, for the bare SQL baselines
};

// The tree a host derives; the bench clicks its first application.
class Tree : public MGraphTreeWidget
{
public:
    void expandFirstApplication() { AppClicked(static_cast<MTreeWidgetItem*>(topLevelItem(0))); }
    // Expands the application and then the picture type of those identifiers; the type's item.
    MTreeWidgetItem* expandType(const QString& application, const QString& type)
    {
        MTreeWidgetItem* app = byOid(invisibleRootItem(), application);
        if (!app)
            return nullptr;
        AppClicked(app);
        MTreeWidgetItem* typeItem = byOid(app, type);
        if (typeItem)
            PictypeClicked(typeItem);
        return typeItem;
    }

private:
    static MTreeWidgetItem* byOid(QTreeWidgetItem* parent, const QString& oid)
    {
        for (int i = 0; i < parent->childCount(); ++i) {
            auto* item = static_cast<MTreeWidgetItem*>(parent->child(i));
            if (item->DBRecord() && item->DBRecord()->oid == oid)
                return item;
        }
        return nullptr;
    }
};

// The friend the synchronisation needs: its constructor is protected.
class Synchronize : public MFileSynchronize
{
public:
    Synchronize() = default;
};

bool openBare(Site& site)
{
    if (site.spec.startsWith("postgresql")) {
        const QUrl url(site.spec);
        site.bare = QSqlDatabase::addDatabase("QPSQL", "bare");
        site.bare.setHostName(url.host());
        site.bare.setPort(url.port(5432));
        site.bare.setUserName(url.userName());
        site.bare.setPassword(url.password());
        site.bare.setDatabaseName(url.path().mid(1));
    } else {
        site.bare = QSqlDatabase::addDatabase("QSQLITE", "bare");
        site.bare.setDatabaseName(site.spec);
    }
    return site.bare.open();
}

// Runs a prepared query and reads every value, as the agent must.
int readAll(QSqlQuery& query, const QVariantList& values)
{
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values.at(i));
    query.exec();
    std::vector<QVariant> read;
    read.reserve(5000);
    while (query.next()) {
        for (int j = 0; j < query.record().count(); ++j)
            read.push_back(query.value(j));
    }
    query.finish();
    return int(read.size());
}

QSqlQuery prepared(const Site& site, const QString& sql)
{
    QSqlQuery query(site.bare);
    query.setForwardOnly(true);
    query.prepare(sql);
    return query;
}

const QString kChildrenSql = "SELECT t0.oid, t0.a_out_priv_code, t0.a_aornum, t0.a_in_priv_code, t0.a_picname "
                             "FROM c_picture t0 JOIN t_object p0 ON p0.oid = t0.oid WHERE p0.parent = ? "
                             "ORDER BY t0.oid";

void benchChildren(const Site& site, MVarenDBInterface& db, Bench::Table& table)
{
    MDBRecordPicType type;
    type.oid = site.large.bigType;
    const double interface = Bench::medianMicros([&] {
        QList<MDBRecordBase*> records;
        db.GetChildren(&type, records);
        if (records.size() != 1000)
            qFatal("expected 1000 pictures, got %d", int(records.size()));
        qDeleteAll(records);
    }, 50);
    QSqlQuery children = prepared(site, kChildrenSql);
    const double bare = Bench::medianMicros([&] { readAll(children, {site.large.bigType.toLongLong()}); }, 50);
    table.ratio("GetChildren, picture type of 1,000 pictures", interface, "bare SQL", bare, 3.0);

    MDataSet set;
    const QStringList attributes{"out_priv_code", "AORNum", "in_priv_code", "picname"};
    MSqlDataAgent* agent = BrelMmiDataAgent::Instance();
    const double query = Bench::medianMicros([&] { agent->QueryChild(site.large.bigType, "Containspicture", attributes, set); }, 50);
    table.info("agent QueryChild, the same 1,000 pictures", query, "bare SQL", bare);

    QSqlQuery path = prepared(site, "SELECT t.oid, t.a_name, t.a_type FROM c_picturetype t JOIN t_object o ON o.oid = t.oid "
                                    "JOIN c_application a ON a.oid = o.parent JOIN t_object ao ON ao.oid = a.oid "
                                    "JOIN c_node n ON n.oid = ao.parent "
                                    "WHERE t.a_name = ? AND a.a_name = ? AND n.a_name = ? ORDER BY t.oid");
    const QString objectPath = "/node,name='node1'/application,name='APP25'/pictureType,name='TYPE25_10'";
    const double agentPath = Bench::medianMicros([&] { agent->QueryData(objectPath, {"name", "type"}, set); }, 200);
    const double barePath = Bench::medianMicros([&] { readAll(path, {"TYPE25_10", "APP25", "node1"}); }, 200);
    table.info("agent QueryData, three filtered steps", agentPath, "bare SQL", barePath);
}

void benchSearch(MVarenDBInterface& db, Bench::Table& table)
{
    QStringList found;
    QElapsedTimer first;
    first.start();
    db.SearchPictures(found, "B");
    table.info(QString("SearchPictures \"B\", first call (computes the Pinyin, %1 found)").arg(found.size()),
               first.nsecsElapsed() / 1000.0);
    MDataSet set;
    const double query = Bench::medianMicros([&] {
        BrelMmiDataAgent::Instance()->QueryData("/picture", {"AORNum", "in_priv_code", "picname"}, set);
    }, 20);
    const double search = Bench::medianMicros([&] { found.clear(); db.SearchPictures(found, "B"); }, 20);
    table.limit("SearchPictures \"B\", 20,000 pictures", search, "reading /picture", query, 50000);

    // With an operator logged in every match is checked against the privileges.
    MHmiAdmin::AddUser("bench", "bench", 3);
    MHmiAdmin::GrantFunction("bench", "MMI", "graph view");
    MHmiAdmin::AddResponsibility("bench", "*", 0);
    MGraphPrivilege::LogIn("bench", "bench");
    const double checked = Bench::medianMicros([&] { found.clear(); db.SearchPictures(found, "B"); }, 20);
    table.limit("SearchPictures \"B\" with a user logged in", checked, "reading /picture", query, 50000);
    MGraphPrivilege::Clear();
}

// A refused log-in costs the same for an unknown user as for a wrong password,
// so that the time does not tell which user names exist.
void benchFailedLogins(Bench::Table& table)
{
    MHmiAdmin::AddUser("timing", "right", 1);
    sm_priv_api_user_manager* manager = get_user_manager(0);
    int error = 0;
    const double wrong = Bench::medianMicros([&] { manager->get_user("timing", "wrong", error); }, 5);
    const double unknown = Bench::medianMicros([&] { manager->get_user("nobody-here", "wrong", error); }, 5);
    table.ratio("refused log-in, the slower of unknown user and wrong password", qMax(wrong, unknown),
                "the faster", qMin(wrong, unknown), 3.0);
}

// The bare SQL of a tree's first level and the picture types of the largest application.
double bareApplicationListing(const Site& site)
{
    QSqlQuery applications = prepared(site, "SELECT a.oid, a.a_name FROM c_application a");
    QSqlQuery types = prepared(site, "SELECT t.oid, t.a_name, t.a_type FROM c_picturetype t JOIN t_object o "
                                     "ON o.oid = t.oid WHERE o.parent = ? ORDER BY t.oid");
    return Bench::medianMicros([&] {
        readAll(applications, {});
        readAll(types, {site.large.bigApplication.toLongLong()});
    }, 20);
}

void benchTree(const Site& site, Bench::Table& table)
{
    const double tree = Bench::medianMicros([] {
        Tree widget;
        widget.expandFirstApplication();
        if (widget.topLevelItem(0)->childCount() != 20)
            qFatal("expected 20 picture types");
    }, 20);
    table.limit("graph tree: open, expand an application", tree, "bare SQL", bareApplicationListing(site), 100000);
    QSqlQuery pictures = prepared(site, kChildrenSql);
    const double bigType = Bench::medianMicros([&] {
        Tree widget;
        const MTreeWidgetItem* type = widget.expandType(site.large.bigApplication, site.large.bigType);
        if (!type || type->childCount() != 1000)
            qFatal("expected 1,000 pictures in the exported tree");
    }, 10);
    const double barePictures = Bench::medianMicros([&] { readAll(pictures, {site.large.bigType.toLongLong()}); }, 10);
    table.limit("exported tree: open, expand a type of 1,000 pictures", bigType, "bare SQL of its pictures",
                barePictures, 100000);
}

// The child of parent (an Item of the online or the editor tree) whose record has that identifier.
template <class Item>
Item* itemOf(QTreeWidgetItem* parent, const QString& oid)
{
    for (int i = 0; parent && i < parent->childCount(); ++i) {
        auto* item = dynamic_cast<Item*>(parent->child(i));
        if (item && item->Record() && item->Record()->oid == oid)
            return item;
    }
    return nullptr;
}

void benchOnlineTree(const Site& site, Bench::Table& table)
{
    QSqlQuery pictures = prepared(site, kChildrenSql);
    // An operator logged in: every picture of the type is checked against the privileges.
    MHmiAdmin::AddUser("operator", "operator", 4); // the highest level of the site: all pass, each checked
    MHmiAdmin::GrantFunction("operator", "MMI", "graph view");
    MHmiAdmin::AddResponsibility("operator", "*", 0);
    MGraphPrivilege::LogIn("operator", "operator");
    const double tree = Bench::medianMicros([&] {
        MGraphTreeViewOnline widget;
        QTreeWidgetItem* app = itemOf<MGraphItemOnline>(widget.invisibleRootItem(), site.large.bigApplication);
        widget.ItemClicked(app, 0);
        QTreeWidgetItem* type = itemOf<MGraphItemOnline>(app, site.large.bigType);
        widget.ItemClicked(type, 0);
        if (!type || type->childCount() != 1000)
            qFatal("expected 1,000 pictures in the online tree");
    }, 10);
    const double bare = Bench::medianMicros([&] { readAll(pictures, {site.large.bigType.toLongLong()}); }, 10);
    table.limit("online tree: open, expand a type of 1,000 pictures, operator logged in", tree,
                "bare SQL of its pictures", bare, 100000);
    MGraphPrivilege::Clear();
}

// The editor's tree: opened as the editor host opens it, the largest
// application clicked, then its type of 1,000 pictures.
void benchEditorTree(const Site& site, Bench::Table& table)
{
    QSqlQuery pictures = prepared(site, kChildrenSql);
    auto open = [&site](bool expandType) {
        MGraphTreeViewEditor widget;
        MGraphTreeItem* app = itemOf<MGraphTreeItem>(widget.invisibleRootItem(), site.large.bigApplication);
        widget.ItemClicked(app, 0);
        if (!app || app->childCount() == 0)
            qFatal("expected the picture types of the largest application in the editor tree");
        if (!expandType)
            return;
        MGraphTreeItem* type = itemOf<MGraphTreeItem>(app, site.large.bigType);
        widget.ItemClicked(type, 0);
        if (!type || type->childCount() != 1000)
            qFatal("expected 1,000 pictures in the editor tree");
    };
    const double tree = Bench::medianMicros([&] { open(false); }, 20);
    table.limit("editor tree: open, expand the largest application", tree, "bare SQL", bareApplicationListing(site),
                100000);
    const double bigType = Bench::medianMicros([&] { open(true); }, 10);
    const double barePictures = Bench::medianMicros([&] { readAll(pictures, {site.large.bigType.toLongLong()}); }, 10);
    table.limit("editor tree: open, expand a type of 1,000 pictures", bigType, "bare SQL of its pictures",
                barePictures, 100000);
}

void benchIconSync(const Site& site, Bench::Table& table)
{
    Synchronize sync;
    const QStringList files = SiteGen::largeSiteIconFiles();
    const double synchronize = Bench::medianMicros([&] { sync.SynIconFiles(); }, 10);
    const double stat = Bench::medianMicros([&] {
        int n = 0;
        for (const QString& file : files)
            n += QFileInfo(site.root + "/" + file).lastModified().isValid();
        return n;
    }, 10);
    table.limit("SynIconFiles, 3,000 icons up to date", synchronize, "stat of the files", stat, 1000000);
}

void benchPinyin(Bench::Table& table)
{
    const QStringList names = SiteGen::pictureNames(20000);
    MPinYinSort* pinyin = MPinYinSort::Instance();
    const double sort = Bench::medianMicros([&] {
        QStringList copy = names;
        pinyin->SortByPY(copy, true);
    }, 20);
    const double plain = Bench::medianMicros([&] {
        QStringList copy = names;
        std::sort(copy.begin(), copy.end());
    }, 20);
    table.info("SortByPY, 20,000 names (cached)", sort, "std::sort", plain);
    const double initials = Bench::medianMicros([&] {
        int n = 0;
        for (const QString& name : names)
            n += pinyin->GetPYString(name).size();
        return n;
    }, 20);
    const double upper = Bench::medianMicros([&] {
        int n = 0;
        for (const QString& name : names)
            n += name.toUpper().size();
        return n;
    }, 20);
    table.info("GetPYString x 20,000 (cached)", initials, "toUpper", upper);
}

void writeFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        qFatal("cannot write %s", qPrintable(path));
}

// 500 small files fetched through one session against curl fetching the same
// files in one process.
void benchFtp(const QString& work, const QString& root, Bench::Table& table)
{
    const QString why = TestSupport::FtpTestServer::unavailableReason();
    if (!why.isEmpty() || QStandardPaths::findExecutable("curl").isEmpty()) {
        QTextStream(stdout) << "no FTP case: " << (why.isEmpty() ? QString("curl is missing") : why) << "\n";
        return;
    }
    TestSupport::FtpTestServer server(work + "/ftp");
    server.start();
    qputenv("TALMER_FILE_SERVER", server.url("/base").toUtf8());
    Synchronize sync;
    QStringList curlConfig;
    for (int i = 0; i < 500; ++i) {
        writeFile(QString("%1/base/pic/A/P%2/0.xrg").arg(server.root()).arg(i), QByteArray(2000, 'x'));
        curlConfig << QString("url = \"%1/pic/A/P%2/0.xrg\"\noutput = \"%3/curl/%2.xrg\"")
                          .arg(server.url("/base")).arg(i).arg(work);
    }
    writeFile(work + "/curl.cfg", curlConfig.join('\n').toUtf8());
    QDir().mkpath(work + "/curl");
    QElapsedTimer timer;
    timer.start();
    int failed = 0;
    for (int i = 0; i < 500; ++i)
        failed += sync.GetFile(QString("%1/pic/A/P%2/0.xrg").arg(root).arg(i)) < 0;
    const double ours = timer.nsecsElapsed() / 1000.0;
    timer.restart();
    QProcess curl;
    curl.start("curl", {"-s", "-S", "-K", work + "/curl.cfg"});
    curl.waitForFinished(300000);
    const double theirs = timer.nsecsElapsed() / 1000.0;
    if (failed || curl.exitCode() != 0)
        qFatal("FTP case: %d of our fetches failed, curl exited with %d", failed, curl.exitCode());
    table.info("GetFile x 500 small files over FTP, one session", ours, "curl, one process", theirs);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    // Qt wants a private runtime directory even off screen.
    QDir().mkpath(dir.filePath("runtime"));
    QFile::setPermissions(dir.filePath("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", dir.filePath("runtime").toUtf8());
    QApplication app(argc, argv);
    Site site;
    site.root = dir.filePath("deployment");
    site.spec = app.arguments().value(1, dir.filePath("hmi.sqlite"));
    qputenv("TALMER_DEPLOY_DIR", site.root.toUtf8());
    qputenv("TALMER_HMI_DB", site.spec.toUtf8());
    qputenv("TALMER_FILE_SERVER", dir.filePath("server").toUtf8());
    qputenv("TALMER_TEST_SCRIPTS", TALMER_SCRIPTS_DIR);
    qunsetenv("IS_IN_OUTER_NET");
    QDir().mkpath(dir.filePath("server"));
    Bench::Table table;

    {
        // Named explicitly, the database must exist before the agent opens it.
        MSqlDataAgent creator;
        if (!creator.Open(site.spec, MSqlDataAgent::OpenMode::CreateIfMissing))
            qFatal("cannot create %s", qPrintable(site.spec));
    }
    QElapsedTimer timer;
    timer.start();
    site.large = SiteGen::generateLargeSite(*BrelMmiDataAgent::Instance());
    if (!site.large.error.isEmpty())
        qFatal("cannot generate the large site: %s", qPrintable(site.large.error));
    for (const QString& file : SiteGen::largeSiteIconFiles())
        writeFile(site.root + "/" + file, "<icontemplate/>");
    table.limit("generating the large site (database and 3,000 icon files)", timer.nsecsElapsed() / 1000.0, QString(),
                0, 120e6);
    if (!openBare(site))
        qFatal("cannot open %s for the baselines", qPrintable(site.spec));

    MVarenDBInterface db;
    benchChildren(site, db, table);
    benchSearch(db, table);
    benchFailedLogins(table);
    benchTree(site, table);
    benchOnlineTree(site, table);
    benchEditorTree(site, table);
    benchIconSync(site, table);
    benchPinyin(table);
    benchFtp(dir.filePath("work"), site.root, table);
    table.print();
    return 0;
}
