// Every performance target of the design on the large site (50 applications,
// 1,000 picture types, 20,000 pictures, 100,000 editions, 3,000 icons), built
// once in a temporary directory, each case against a baseline of the same run.
// Run: bench_targets [postgresql://user@host:port/db]  (default: SQLite).
// bench_targets --growth [--huge]: how the main costs grow from 2,000 to 20,000
// (and 200,000) pictures, each size in a process of its own, on SQLite.
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
#include <sys/resource.h>

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
#include "miconlistonline.h"
#include "micononlinetree.h"
#include "miconviewonline.h"
#include "micontemplate.h"
#include "miconfileservice.h"
#include "mdisplaypattern.h"
#include "mshapeobj.h"
#include "sitebuilder.h"
#include "mhmiadmin.h"
#include "mpinyinsort.h"
#include "sm_priv_api_user_manager.h"
#include "mtreewidgetitem.h"
#include "mvarendbinterface.h"
#include "recordlist.h"

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

// GetChildren of the type of 1,000 pictures.
double listTypeMicros(const Site& site, MVarenDBInterface& db, int repeats)
{
    MDBRecordPicType type;
    type.oid = site.large.bigType;
    return Bench::medianMicros([&] {
        QList<MDBRecordBase*> records;
        db.GetChildren(&type, records);
        if (records.size() != 1000)
            qFatal("expected 1000 pictures, got %d", int(records.size()));
        qDeleteAll(records);
    }, repeats);
}

void benchChildren(const Site& site, MVarenDBInterface& db, Bench::Table& table)
{
    const double interface = listTypeMicros(site, db, 50);
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

// The bare SQL of a prefix look-up over the stored search keys.
QString prefixSql(const Site& site)
{
    const QString collation = site.spec.startsWith("postgresql") ? " COLLATE \"C\"" : "";
    return QString("SELECT t0.oid, t0.a_aornum, t0.a_in_priv_code, t0.a_picname FROM c_picture t0 "
                   "WHERE (t0.a_searchname%1 >= ? AND t0.a_searchname%1 < ?) "
                   "OR (t0.a_searchinitials%1 >= ? AND t0.a_searchinitials%1 < ?) ORDER BY t0.oid")
        .arg(collation);
}

// The first search of a process that has done nothing else: this program
// run again with --first-search, on the same database.
double firstSearchOfAProcess(const QString& key)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {"--first-search", key});
    if (!child.waitForFinished(120000) || child.exitCode() != 0)
        qFatal("the first-search process failed: %s", child.readAllStandardError().constData());
    return child.readAllStandardOutput().trimmed().toDouble();
}

int firstSearchMain(const QString& key)
{
    MVarenDBInterface db;
    QStringList found;
    QElapsedTimer timer;
    timer.start();
    db.SearchPictures(found, key);
    QTextStream(stdout) << timer.nsecsElapsed() / 1000.0 << "\n";
    return found.isEmpty() ? 1 : 0;
}

double searchMicros(MVarenDBInterface& db, const QString& key, int repeats)
{
    QStringList found;
    return Bench::medianMicros([&] { found.clear(); db.SearchPictures(found, key); }, repeats);
}

void benchSearch(const Site& site, MVarenDBInterface& db, Bench::Table& table)
{
    QStringList found;
    QElapsedTimer first;
    first.start();
    db.SearchPictures(found, "B");
    table.info(QString("SearchPictures \"B\", first after the site was written (stores the keys of every picture, "
                       "once per database; %1 found)").arg(found.size()),
               first.nsecsElapsed() / 1000.0);
    table.limit("SearchPictures \"B\", first call of a new process", firstSearchOfAProcess("B"), QString(), 0, 50000);
    MDataSet set;
    const double query = Bench::medianMicros([&] {
        BrelMmiDataAgent::Instance()->QueryData("/picture", {"AORNum", "in_priv_code", "picname"}, set);
    }, 20);
    QSqlQuery prefix = prepared(site, prefixSql(site));
    // Typing B, J, B, D: each keystroke is a search.
    for (const QString& key : QStringList{"B", "BJ", "BJB", "BJBD"}) {
        const double search = searchMicros(db, key, 50);
        const QString end = key.left(key.size() - 1) + QChar(key.back().unicode() + 1);
        const double bare = Bench::medianMicros([&] { readAll(prefix, {key, end, key, end}); }, 50);
        table.limit(QString("SearchPictures \"%1\", 20,000 pictures").arg(key), search, "reading /picture", query, 5000);
        table.info(QString("SearchPictures \"%1\"").arg(key), search, "bare SQL prefix query", bare);
    }

    // With an operator logged in every match is checked against the privileges.
    MHmiAdmin::AddUser("bench", "bench", 3);
    MHmiAdmin::GrantFunction("bench", "MMI", "graph view");
    MHmiAdmin::AddResponsibility("bench", "*", 0);
    MGraphPrivilege::LogIn("bench", "bench");
    table.limit("SearchPictures \"B\" with a user logged in", searchMicros(db, "B", 20), "reading /picture", query,
                5000);
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

// The online tree opened and a type of 1,000 pictures expanded, with an
// operator logged in (every picture of the type is checked).
double onlineTreeMicros(const Site& site, int repeats)
{
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
    }, repeats);
    MGraphPrivilege::Clear();
    return tree;
}

void benchOnlineTree(const Site& site, Bench::Table& table)
{
    QSqlQuery pictures = prepared(site, kChildrenSql);
    const double tree = onlineTreeMicros(site, 10);
    const double bare = Bench::medianMicros([&] { readAll(pictures, {site.large.bigType.toLongLong()}); }, 10);
    table.limit("online tree: open, expand a type of 1,000 pictures, operator logged in", tree,
                "bare SQL of its pictures", bare, 100000);
}

double iconSyncMicros(int repeats)
{
    Synchronize sync;
    return Bench::medianMicros([&] { sync.SynIconFiles(); }, repeats);
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
    const QStringList files = SiteGen::largeSiteIconFiles();
    const double synchronize = iconSyncMicros(10);
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

// The environment of a site in dir, on the database spec (a file in dir when empty).
Site prepareSite(const QTemporaryDir& dir, const QString& spec)
{
    Site site;
    site.root = dir.filePath("deployment");
    site.spec = spec.isEmpty() ? dir.filePath("hmi.sqlite") : spec;
    qputenv("TALMER_DEPLOY_DIR", site.root.toUtf8());
    qputenv("TALMER_HMI_DB", site.spec.toUtf8());
    qputenv("TALMER_FILE_SERVER", dir.filePath("server").toUtf8());
    qputenv("TALMER_TEST_SCRIPTS", TALMER_SCRIPTS_DIR);
    qunsetenv("IS_IN_OUTER_NET");
    QDir().mkpath(dir.filePath("server"));
    return site;
}

// Writes the large site of that many pictures; the time it took.
double generate(Site& site, int pictures)
{
    {
        // Named explicitly, the database must exist before the agent opens it.
        MSqlDataAgent creator;
        if (!creator.Open(site.spec, MSqlDataAgent::OpenMode::CreateIfMissing))
            qFatal("cannot create %s", qPrintable(site.spec));
    }
    QElapsedTimer timer;
    timer.start();
    site.large = SiteGen::generateLargeSite(*BrelMmiDataAgent::Instance(), pictures);
    if (!site.large.error.isEmpty())
        qFatal("cannot generate the large site: %s", qPrintable(site.large.error));
    for (const QString& file : SiteGen::largeSiteIconFiles())
        writeFile(site.root + "/" + file, "<icontemplate/>");
    return timer.nsecsElapsed() / 1000.0;
}

long peakResidentKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// One size of the growth table, in a process of its own (for its peak
// resident size): a tab-separated line of times in microseconds.
int growthSizeMain(const QTemporaryDir& dir, int pictures)
{
    Site site = prepareSite(dir, QString());
    const double generation = generate(site, pictures);
    MVarenDBInterface db;
    QStringList found;
    QElapsedTimer keys;
    keys.start();
    db.SearchPictures(found, "B");
    const double storeKeys = keys.nsecsElapsed() / 1000.0;
    const QList<double> row{generation, storeKeys, firstSearchOfAProcess("B"), searchMicros(db, "B", 20),
                            searchMicros(db, "BJ", 20), listTypeMicros(site, db, 10), onlineTreeMicros(site, 5),
                            iconSyncMicros(5)};
    QTextStream out(stdout);
    out << pictures;
    for (double micros : row)
        out << '\t' << Bench::Table::duration(micros);
    out << '\t' << peakResidentKb() / 1024 << " MB\n";
    return 0;
}

// The growth of the main costs from 2,000 to 20,000 to 200,000 pictures, on SQLite.
int growthMain(const QList<int>& sizes)
{
    QTextStream out(stdout);
    out << "| pictures | writing the site | first search (stores the keys) | first search, new process "
           "| search B | search BJ | listing a type of 1,000 | online tree, type of 1,000 | icon sync | peak RSS |\n"
           "|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n" << Qt::flush;
    for (int pictures : sizes) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), {"--growth-size", QString::number(pictures)});
        if (!child.waitForFinished(3600000) || child.exitCode() != 0)
            qFatal("the growth run of %d pictures failed", pictures);
        out << "| " << QString::fromUtf8(child.readAllStandardOutput()).trimmed().replace('\t', " | ") << " |\n"
            << Qt::flush;
    }
    return 0;
}

// An icon file of three patterns, each a filled rectangle, as the palette draws it.
void writeIconFile(const QString& path, const QString& uuid)
{
    MIconTemplate icon{QUuid(uuid), nullptr};
    icon.SetName(uuid);
    icon.SetDefaultSize(QSizeF(40, 30));
    for (int i = 0; i < 3; ++i) {
        auto* pattern = new MDisplayPattern(QString::number(i));
        auto* shape = new MShapeObj(MDrawObj::ObjRect);
        shape->SetPoints({QPointF(10, 8), QPointF(30, 22)});
        shape->SetBrushColor(QColor::fromHsv(i * 100, 200, 200));
        pattern->AddShape(shape);
        icon.AddPattern(pattern);
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!icon.WriteXmlFile(path))
        qFatal("cannot write %s", qPrintable(path));
}

// The tree item of the icon type of that name in the palette.
QTreeWidgetItem* paletteType(MIconOnlineTree* tree, const QString& name)
{
    for (int c = 0; c < tree->topLevelItemCount(); ++c) {
        for (int i = 0; i < tree->topLevelItem(c)->childCount(); ++i) {
            if (tree->topLevelItem(c)->child(i)->text(0) == name)
                return tree->topLevelItem(c)->child(i);
        }
    }
    return nullptr;
}

// The palette showing a type of 300 drawn icons, and its common list over
// the large site's 3,000 icons (every tenth one common).
void benchIconPalette(const Site& site, MVarenDBInterface& db, Bench::Table& table)
{
    SiteGen::SiteBuilder builder(BrelMmiDataAgent::Instance());
    const QString type = builder.iconType("PALETTE300", 2);
    for (int i = 0; i < 300; ++i) {
        const QString uuid = QString("{%1-0000-4000-8000-000000000000}").arg(i, 8, 10, QChar('0'));
        builder.icon(type, QString("icon%1").arg(i), uuid, "2026-01-01T00:00:00");
        writeIconFile(site.root + "/icon/PALETTE300/" + uuid + ".xco", uuid);
    }
    RecordList types;
    db.GetIconTypes(types.out());
    int n = 0;
    for (MDBRecordBase* iconType : types) {
        RecordList icons;
        db.GetChildren(iconType, icons.out());
        for (MDBRecordBase* icon : icons) {
            if (iconType->name.startsWith("ICONTYPE") && n++ % 10 == 0) {
                static_cast<MDBRecordIcon*>(icon)->member2 = true;
                db.UpdateRecord(icon);
            }
        }
    }
    if (!builder.ok())
        qFatal("cannot add the palette's icons: %s", qPrintable(builder.errors()));
    const double common = Bench::medianMicros([&] {
        MIconViewOnline palette;
        if (palette.List()->count() != 300)
            qFatal("expected 300 common icons, got %d", palette.List()->count());
    }, 10);
    const double read = Bench::medianMicros([&] {
        RecordList all, icons;
        db.GetIconTypes(all.out());
        for (MDBRecordBase* iconType : all)
            db.GetChildren(iconType, icons.out());
    }, 10);
    table.limit("icon palette: open on the common list (300 of 3,000 icons)", common, "reading the 3,000 icons",
                read, 200000);
    MIconViewOnline palette;
    QTreeWidgetItem* item = paletteType(palette.Tree(), "PALETTE300");
    if (!item)
        qFatal("the palette does not list PALETTE300");
    palette.Tree()->ItemClicked(item, 0);
    MDBRecordBase* record = palette.List()->CurrentType();
    const double shown = Bench::medianMicros([&] {
        MIconListOnline list(&db);
        list.SetIconTypes(palette.Tree()->IconTypes());
        list.ShowType(record);
        if (list.count() != 300)
            qFatal("expected 300 icons in the palette");
    }, 10);
    const double drawn = Bench::medianMicros([&] {
        int pixels = 0;
        for (int i = 0; i < 300; ++i)
            pixels += MIconFileService::Instance()
                          ->IconPixmap("PALETTE300", QString("{%1-0000-4000-8000-000000000000}").arg(i, 8, 10, QChar('0')))
                          .width();
        return pixels;
    }, 10);
    table.limit("icon palette: show a type of 300 icons", shown, "drawing the 300 icons alone", drawn, 200000);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    // Qt wants a private runtime directory even off screen.
    QDir().mkpath(dir.filePath("runtime"));
    QFile::setPermissions(dir.filePath("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", dir.filePath("runtime").toUtf8());
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    // Child runs: they inherit the site's environment from their parent.
    if (arguments.value(1) == "--first-search")
        return firstSearchMain(arguments.value(2));
    if (arguments.value(1) == "--growth-size")
        return growthSizeMain(dir, arguments.value(2).toInt());
    if (arguments.value(1) == "--growth")
        return growthMain(arguments.contains("--huge") ? QList<int>{2000, 20000, 200000} : QList<int>{2000, 20000});

    Site site = prepareSite(dir, arguments.value(1));
    Bench::Table table;
    table.limit("generating the large site (database and 3,000 icon files)", generate(site, SiteGen::kLargeSitePictures),
                QString(), 0, 120e6);
    if (!openBare(site))
        qFatal("cannot open %s for the baselines", qPrintable(site.spec));

    MVarenDBInterface db;
    benchChildren(site, db, table);
    benchSearch(site, db, table);
    benchFailedLogins(table);
    benchTree(site, table);
    benchOnlineTree(site, table);
    benchEditorTree(site, table);
    benchIconSync(site, table);
    benchIconPalette(site, db, table);
    benchPinyin(table);
    benchFtp(dir.filePath("work"), site.root, table);
    table.print();
    return 0;
}
