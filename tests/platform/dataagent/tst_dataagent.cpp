#include <QFile>
#include <QHash>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <memory>

#include "brelmmidataagent.h"
#include "deploytree.h"
#include "quilladataagent.h"
#include "sitebuilder.h"
#include "testdatabase.h"
#include "testmain.h"

using TestSupport::DeployTree;
using SiteGen::SiteBuilder;
using TestSupport::TestDatabase;

namespace {

BrelMmiDataAgent* agent()
{
    return BrelMmiDataAgent::Instance();
}

// The values of one attribute over a result set, in result order.
QStringList column(const MDataSet& set, const QString& attribute)
{
    QStringList values;
    for (int i = 0; i < set.DataNum(); ++i)
        values << set.GetFieldValue(attribute, i).toString();
    return values;
}

QStringList query(const QString& path, const QString& attribute)
{
    MDataSet set;
    agent()->QueryData(path, {attribute}, set);
    return column(set, attribute);
}

void expectWarning(const char* pattern)
{
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(pattern));
}

// A connection of the test's own to the agent's database, behind its back.
class RawDatabase
{
public:
    explicit RawDatabase(const QString& spec) : m_db(TestDatabase::openRaw(spec, "raw")) {}
    ~RawDatabase()
    {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase("raw");
    }
    bool exec(const QString& sql)
    {
        QSqlQuery q(m_db);
        if (!q.exec(sql))
            qInfo() << "raw statement failed:" << q.lastError().text();
        return q.isActive();
    }

private:
    QSqlDatabase m_db;
};

} // namespace

#define SITE(s)                   \
    const Site s = buildSite();   \
    QVERIFY2(s.errors.isEmpty(), qPrintable(s.errors))

class tst_DataAgent : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DeployTree> m_tree;
    std::unique_ptr<TestDatabase> m_db;
    QString m_spec;

    // A small site: two applications with a picture of the same name, an icon
    // library, a template library and the environment's definitions.
    struct Site
    {
        QString app, app2, station, feeder, otherStation, pic, picB, picSameName, draft, release;
        QString iconType, icon, templateType, templ;
        QString errors; // empty when the site was built
    };
    Site buildSite();

private Q_SLOTS:
    void init();
    void cleanup();

    void schemaIsCreatedKeptAndFollowsTheConfiguration();
    void pathsSelectWhatTheyName();
    void resultSetsHoldTheAttributesAskedFor();
    void relationsLeadDownAndUp();
    void identifierIsAPath();
    void insertRefusesWrongPlaces();
    void valuesAreStoredAsGiven();
    void hostileNamesStayData();
    void badPathsGiveEmptyResults_data();
    void badPathsGiveEmptyResults();
    void deleteRemovesTheObjectAndWhatIsBelow();
    void treeMoveKeepsTheTreeSound();
    void globalDefines();
    void transactionsAreAllOrNothing();
    void schemaIsUpgradedInPlace();
    void namesAndVersionsAreUnique_data();
    void namesAndVersionsAreUnique();
    void movesKeepNamesUnique();
    void olderDatabaseWithDuplicatesStillOpens();
    void searchKeysFollowTheirSource();
    void prefixRangeIsExact_data();
    void prefixRangeIsExact();
    void searchKeysComeToAnOlderDatabase();
    void unusableDatabaseFilesAreRefused();
    void outerAgentConnectsOnlyToAnExistingDatabase();
    void twoProcessesWriteAtOnce();
    void vanishedServer();
};

void tst_DataAgent::init()
{
    m_tree = std::make_unique<DeployTree>();
    m_db = std::make_unique<TestDatabase>();
    TALMER_USE_TEST_DATABASE(*m_db, *m_tree);
    m_spec = qEnvironmentVariable("TALMER_HMI_DB");
    // Any warning not expected by the test fails it, except the Qt PostgreSQL
    // driver's own complaint when it frees statements of a connection that died.
    QTest::failOnWarning(QRegularExpression("^(?!Unable to free statement: no connection)"));
}

void tst_DataAgent::cleanup()
{
    agent()->Close();
    m_db.reset();
    m_tree.reset();
}

tst_DataAgent::Site tst_DataAgent::buildSite()
{
    SiteBuilder b(agent());
    Site s;
    b.node("node2");
    s.app = b.application("SCADA", "scada");
    s.app2 = b.application("DMS", "dms");
    s.station = b.pictureType(s.app, "station", 2);
    s.feeder = b.pictureType(s.app, "feeder", 9);
    s.otherStation = b.pictureType(s.app2, "station", 2);
    s.pic = b.picture(s.station, QString::fromUtf8("北京变电站"), 3, 4, 5);
    s.picB = b.picture(s.feeder, "O'Brien", 1, 1, 0);
    s.picSameName = b.picture(s.otherStation, QString::fromUtf8("北京变电站"));
    s.draft = b.edition(s.pic, 0, "2026-01-02 03:04:05");
    s.release = b.edition(s.pic, 1, "2026-01-03T03:04:05", "2026-01-03T03:04:06");
    s.iconType = b.iconType("breaker", 2, 1, 3, true);
    s.icon = b.icon(s.iconType, "b1", "{1111}", "2026-02-02 02:02:02", true, false);
    b.iconType("bus", 5);
    s.templateType = b.templateType("styles", "style");
    s.templ = b.templateItem(s.templateType, "red line");
    b.configFile("colors.ini", "deployment/etc/mmi", "2026-03-03T00:00:00");
    b.configFile("fonts.ini", "deployment/etc/mmi", "2026-03-04T00:00:00");
    b.pictureTypeDefinition(2, "station", "vk2800");
    b.pictureTypeDefinition(2, "substation", "other");
    b.pictureTypeDefinition(9, "feeder", "");
    s.errors = b.errors();
    return s;
}

void tst_DataAgent::schemaIsCreatedKeptAndFollowsTheConfiguration()
{
    // Guards against a fresh workstation without a database, data lost on reconnect,
    // and a database left open after the configuration moved elsewhere.
    if (!TestDatabase::isPostgres()) {
        qunsetenv("TALMER_HMI_DB");
        QCOMPARE(BrelMmiDataAgent::ConfiguredDatabase(), m_tree->path("var/hmi.sqlite"));
    }
    SiteBuilder(agent()).node("node1");
    QVERIFY(agent()->IsOpen());
    if (!TestDatabase::isPostgres())
        QVERIFY(QFile::exists(m_tree->path("var/hmi.sqlite")));
    agent()->Close();
    QCOMPARE(query("/node,name='node1'", "name"), QStringList{"node1"});

    // Another database named: the agent moves there.
    TestDatabase other;
    const QString otherSpec = other.create(m_tree->path("var/other.sqlite"));
    {
        // Named explicitly, a database must exist: the agent never invents one.
        MSqlDataAgent creator;
        QVERIFY(creator.Open(otherSpec, MSqlDataAgent::OpenMode::CreateIfMissing));
    }
    qputenv("TALMER_HMI_DB", otherSpec.toUtf8());
    QCOMPARE(query("/node", "name"), QStringList());
    QCOMPARE(agent()->ConnectionSpec(), otherSpec);
    agent()->Close();

    // Nothing configured at all: a clear failure, said once.
    qunsetenv("TALMER_HMI_DB");
    qunsetenv("TALMER_DEPLOY_DIR");
    expectWarning("no HMI database");
    MDataSet set;
    QVERIFY(!agent()->QueryData("/node", set));
    QVERIFY(!agent()->InsertData("node").isValid());
    QCOMPARE(set.DataNum(), 0);
}

void tst_DataAgent::pathsSelectWhatTheyName()
{
    // Guards against each path form the system builds selecting too much, too little or the wrong objects.
    SITE(s);
    const QString beijing = QString::fromUtf8("北京变电站");
    QCOMPARE(query("/node,name='node1'", "name"), QStringList{"node1"});
    QCOMPARE(query("/node,name='node1'/application,name='SCADA'", "alias"), QStringList{"scada"});
    QCOMPARE(query("/node,name='node2'/application,name='SCADA'", "name"), QStringList());
    QCOMPARE(query("/node,name='node1'/application,name='DMS'/pictureType,name='station'", "type"),
             QStringList{"2"});
    QCOMPARE(query("/application,name='SCADA'/pictureType/picture,picname='" + beijing + "'", "AORNum"),
             QStringList{"5"});
    QCOMPARE(query("/application,name='DMS'/pictureType/picture,picname='" + beijing + "'", "AORNum"),
             QStringList{"0"});
    QCOMPARE(query("/application,attr_oid=" + s.app2 + "/pictureType/picture,picname='" + beijing + "'",
                   "picname"),
             QStringList{beijing});
    QCOMPARE(query("/application,attr_oid=" + s.app + "/pictureType/picture,picname=" + MDataAgent::QuoteText("O'Brien"),
                   "in_priv_code"),
             QStringList{"1"});
    QCOMPARE(query("/picture", "picname"), (QStringList{beijing, "O'Brien", beijing}));
    QCOMPARE(query("/mdl_icon_catalog", "name"), (QStringList{"breaker", "bus"}));
    QCOMPARE(query("/template_type", "alias"), QStringList{"style"});
    QCOMPARE(query("/synFile", "filename"), (QStringList{"colors.ini", "fonts.ini"}));
    QCOMPARE(query("/synFile,filename='fonts.ini'", "releaseTime"), QStringList{"2026-03-04T00:00:00"});
    QCOMPARE(query("/envPicTypeDef,id=2", "alias"), (QStringList{"vk2800", "other"}));
    QCOMPARE(query("/envPicTypeDef,id=7", "alias"), QStringList());
    // Steps may skip levels: every edition of an application.
    QCOMPARE(query("/application,name='SCADA'/edition", "version"), (QStringList{"0", "1"}));
    // A number where text is stored, and text where a number is stored.
    QCOMPARE(query("/envPicTypeDef,id='9'", "name"), QStringList{"feeder"});
    QCOMPARE(query("/envPicTypeDef,id='nine'", "name"), QStringList());
}

void tst_DataAgent::resultSetsHoldTheAttributesAskedFor()
{
    // Guards against readers finding attributes in the wrong place or values of another object.
    SITE(s);
    MDataSet set;
    expectWarning("class picture has no attribute nosuch");
    QVERIFY(agent()->QueryData("/application,name='SCADA'/pictureType/picture", {"AORNum", "nosuch", "picname"}, set));
    QCOMPARE(set.DataType().FieldNum(), 2);
    QCOMPARE(set.DataType().FieldAt(0).name, QString("AORNum"));
    QCOMPARE(set.DataType().FieldIndex("picname"), 1);
    QCOMPARE(set.DataType().FieldIndex("nosuch"), -1);
    QCOMPARE(set.DataNum(), 2);
    QCOMPARE(set.DataAt(0).GetId().toString(), s.pic);
    QCOMPARE(set.DataAt(1).FieldAt(1).toString(), QString("O'Brien"));
    QCOMPARE(set.DataAt(0).GetFieldList().size(), 2);
    QCOMPARE(set.GetFieldValueByIndex(0, 0).toInt(), 5);
    QVERIFY(set.GetFieldValue("picname", 7).IsNull());
    QVERIFY(set.GetFieldValue("nosuch", 0).IsNull());

    // All attributes; a never-written one is null, not an empty text or zero.
    const QVariant fresh = agent()->InsertData(s.station, "picture");
    QVERIFY(agent()->QueryData(fresh.toString(), set));
    QCOMPARE(set.DataType().FieldNames(), (QStringList{"picname", "in_priv_code", "out_priv_code", "AORNum"}));
    QVERIFY(set.GetFieldValue("AORNum", 0).IsNull());

    // The stored form of times is kept; icons' flags come back as flags.
    QCOMPARE(query(s.draft, "modifytime"), QStringList{"2026-01-02 03:04:05"});
    QVERIFY(agent()->QueryChild(s.iconType, "Contains_icon", {"member1", "member2", "makeTime"}, set));
    QVERIFY(set.GetFieldValue("member1", 0).toBool());
    QVERIFY(!set.GetFieldValue("member2", 0).toBool());
    set.Clear();
    QCOMPARE(set.DataNum(), 0);
    QCOMPARE(set.DataType().FieldNum(), 0);
}

void tst_DataAgent::relationsLeadDownAndUp()
{
    // Guards against children leaking across parents and reverse relations finding the wrong owner.
    SITE(s);
    MDataSet set;
    QVERIFY(agent()->QueryChild(s.app, "ContainspictureType", {"name", "type"}, set));
    QCOMPARE(column(set, "name"), (QStringList{"station", "feeder"}));
    QVERIFY(agent()->QueryChild(s.pic, "history_edition", {"version"}, set));
    QCOMPARE(column(set, "version"), (QStringList{"0", "1"}));
    QVERIFY(agent()->QueryChild(s.templateType, "DContains_template", {"alias"}, set));
    QCOMPARE(column(set, "alias"), QStringList{"red line"});
    QVERIFY(agent()->QueryChild(s.feeder, "Containspicture", {"picname"}, set));
    QCOMPARE(column(set, "picname"), QStringList{"O'Brien"});
    QVERIFY(agent()->QueryChild(QVariant(s.station.toLongLong()), "Containspicture", {"picname"}, set));
    QCOMPARE(set.DataNum(), 1);

    QVERIFY(agent()->QueryChild(s.picSameName, "MemberOfpictureType", {"name"}, set));
    QCOMPARE(set.DataNum(), 1);
    QCOMPARE(set.DataAt(0).GetId().toString(), s.otherStation);
    QVERIFY(agent()->QueryChild(s.otherStation, "MemberOfapplication", {"name"}, set));
    QCOMPARE(column(set, "name"), QStringList{"DMS"});
    QVERIFY(agent()->QueryChild(s.release, "MemberOfapplication", {"name"}, set));
    QCOMPARE(column(set, "name"), QStringList{"SCADA"});

    expectWarning("a application has no relation Containspicture");
    QVERIFY(!agent()->QueryChild(s.app, "Containspicture", {"picname"}, set));
    QCOMPARE(set.DataNum(), 0);
    expectWarning("does not lead up from a application");
    QVERIFY(!agent()->QueryChild(s.app, "MemberOfpicture", {"picname"}, set));
    expectWarning("no object 424242");
    QVERIFY(!agent()->QueryChild("424242", "Containsapplication", {"name"}, set));
}

void tst_DataAgent::identifierIsAPath()
{
    // Guards against an identifier text selecting nothing, or more than its object.
    SITE(s);
    const QVariant id = agent()->InsertData(s.pic, "edition");
    QVERIFY(id.isValid());
    MDataSet set;
    QVERIFY(agent()->QueryData(id.toString(), {"version"}, set));
    QCOMPARE(set.DataNum(), 1);
    QCOMPARE(set.DataAt(0).GetId(), id);
    QCOMPARE(agent()->ObjectClass(id), QString("edition"));
    QVERIFY(agent()->QueryData("987654321", {"version"}, set));
    QCOMPARE(set.DataNum(), 0);
    QVERIFY(agent()->DeleteData("edition", {id}));
    QVERIFY(agent()->QueryData(id.toString(), {"version"}, set));
    QCOMPARE(set.DataNum(), 0);
}

void tst_DataAgent::insertRefusesWrongPlaces()
{
    // Guards against objects created where the tree cannot hold them (orphans, wrong parents).
    SITE(s);
    expectWarning("a picture cannot be placed below object");
    QVERIFY(!agent()->InsertData(s.app, "picture").isValid());
    expectWarning("cannot insert a top-level picture");
    QVERIFY(!agent()->InsertData("picture").isValid());
    expectWarning("cannot insert a top-level nosuch");
    QVERIFY(!agent()->InsertData("nosuch").isValid());
    expectWarning("cannot insert a edition below abc");
    QVERIFY(!agent()->InsertData(QString("abc"), "edition").isValid());
    expectWarning("cannot be placed below object 999999");
    QVERIFY(!agent()->InsertData(QString("999999"), "edition").isValid());
    QCOMPARE(query("/picture", "picname").size(), 3);
    QCOMPARE(query("/edition", "version").size(), 2);
    // The class pairs the system uses are one class each.
    QVERIFY(agent()->InsertData(s.iconType, "icon_mdl").isValid());
    QVERIFY(agent()->InsertData(s.templateType, "template").isValid());
}

void tst_DataAgent::valuesAreStoredAsGiven()
{
    // Guards against values being cut, converted or refused wrongly, and numbers accepting text.
    SITE(s);
    const QString longText(100000, QChar(0x6C34)); // 水
    const QStringList texts{"it's", "100%", "a;b", "DROP TABLE t_object", longText, "line\nbreak", ""};
    for (const QString& text : texts) {
        QVERIFY(agent()->UpdateField(s.picB, "picname", text));
        QCOMPARE(query(s.picB, "picname"), QStringList{text});
    }
    // An empty text is stored as such, not as "never written".
    QVERIFY(agent()->UpdateField(s.app, "alias", QString()));
    MDataSet set;
    QVERIFY(agent()->QueryData(s.app, {"alias"}, set));
    QVERIFY(!set.GetFieldValue("alias", 0).IsNull());
    QCOMPARE(set.GetFieldValue("alias", 0).toString(), QString(""));
    QVERIFY(agent()->UpdateField(s.station, "type", "300"));
    QCOMPARE(query(s.station, "type"), QStringList{"300"});
    QVERIFY(agent()->UpdateField(s.pic, "AORNum", "4294967295"));
    QCOMPARE(query(s.pic, "AORNum"), QStringList{"4294967295"});
    expectWarning("not a number for pictureType.type");
    QVERIFY(!agent()->UpdateField(s.station, "type", "three"));
    expectWarning("not a number for pictureType.type");
    QVERIFY(!agent()->UpdateField(s.station, "type", "99999999999999999999"));
    QCOMPARE(query(s.station, "type"), QStringList{"300"});
    QVERIFY(agent()->UpdateField(s.icon, "member2", "true"));
    QVERIFY(agent()->UpdateField(s.icon, "member1", "0"));
    QCOMPARE(query(s.icon, "member2"), QStringList{"1"});
    QCOMPARE(query(s.icon, "member1"), QStringList{"0"});
    expectWarning("cannot write nosuch of object");
    QVERIFY(!agent()->UpdateField(s.icon, "nosuch", "1"));
    expectWarning("cannot write name of object 31337");
    QVERIFY(!agent()->UpdateField(QString("31337"), "name", "x"));
}

void tst_DataAgent::hostileNamesStayData()
{
    // Guards against names being run as SQL or matching as patterns.
    SITE(s);
    SiteBuilder b(agent());
    const QStringList names{"x'; DROP TABLE c_picture; --", "%", "_", "' OR '1'='1", "\\", "a''b"};
    for (const QString& name : names)
        b.picture(s.feeder, name);
    QVERIFY2(b.ok(), qPrintable(b.errors()));
    for (const QString& name : names) {
        const QStringList found = query("/picture,picname=" + MDataAgent::QuoteText(name), "picname");
        QCOMPARE(found, QStringList{name});
    }
    // The same names spliced in unquoted are refused, not run.
    expectWarning("malformed object path");
    QVERIFY(query("/picture,picname='" + names.at(0) + "'", "picname").isEmpty());
    expectWarning("malformed object path");
    QVERIFY(query("/picture,picname='" + names.at(3) + "'", "picname").isEmpty());
    QCOMPARE(query("/picture", "picname").size(), 3 + names.size());
}

void tst_DataAgent::badPathsGiveEmptyResults_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("warning");
    QTest::newRow("malformed") << "/picture,picname='x" << "malformed object path";
    QTest::newRow("empty") << "" << "malformed object path";
    QTest::newRow("statement") << "/picture;DELETE FROM t_object" << "malformed object path";
    QTest::newRow("unknown class") << "/t_object" << "unknown object class t_object";
    QTest::newRow("unknown attribute") << "/picture,oid=1" << "class picture has no attribute oid";
    QTest::newRow("column name") << "/picture,a_picname='x'" << "class picture has no attribute a_picname";
    QTest::newRow("upside down") << "/picture/application" << "application objects are not below picture";
    QTest::newRow("unrelated") << "/mdl_icon_catalog/picture" << "picture objects are not below mdl_icon_catalog";
}

void tst_DataAgent::badPathsGiveEmptyResults()
{
    // Guards against bad paths crashing, running partly, or returning unrelated objects.
    QFETCH(QString, path);
    QFETCH(QString, warning);
    SITE(s);
    MDataSet set;
    expectWarning(qPrintable(QRegularExpression::escape(warning)));
    QVERIFY(!agent()->QueryData(path, {"picname", "name"}, set));
    QCOMPARE(set.DataNum(), 0);
    QCOMPARE(query("/picture", "picname").size(), 3);
}

void tst_DataAgent::deleteRemovesTheObjectAndWhatIsBelow()
{
    // Guards against orphaned pictures and editions, and against deleting the wrong class of object.
    SITE(s);
    QVERIFY(agent()->DeleteData("application", {s.app}));
    QCOMPARE(query("/picture", "picname"), QStringList{QString::fromUtf8("北京变电站")});
    QCOMPARE(query("/edition", "version"), QStringList());
    QCOMPARE(query("/pictureType", "name"), QStringList{"station"});
    QCOMPARE(query("/application", "name"), QStringList{"DMS"});

    QVERIFY(agent()->DeleteData("icon_mdl", {s.icon}));
    QCOMPARE(query("/mdl_icon", "name"), QStringList());
    QVERIFY(agent()->DeleteData("template", {QVariant(s.templ.toLongLong())}));
    QCOMPARE(query("/template_graph", "alias"), QStringList());

    expectWarning("no picture object .* to delete");
    QVERIFY(!agent()->DeleteData("picture", {s.app2}));
    QCOMPARE(query("/application", "name"), QStringList{"DMS"});
    expectWarning("no pictureType object 4242 to delete");
    QVERIFY(!agent()->DeleteData("pictureType", {s.otherStation, QString("4242")}));
    QCOMPARE(query("/pictureType", "name"), QStringList());
    expectWarning("cannot delete objects of unknown class");
    QVERIFY(!agent()->DeleteData("nosuch", {s.app2}));
}

void tst_DataAgent::treeMoveKeepsTheTreeSound()
{
    // Guards against a move losing a picture's editions or putting an object where it cannot live.
    SITE(s);
    QCOMPARE(agent()->TreeMove(s.feeder, s.pic), 0);
    MDataSet set;
    agent()->QueryChild(s.feeder, "Containspicture", {"picname"}, set);
    QCOMPARE(set.DataNum(), 2);
    agent()->QueryChild(s.pic, "history_edition", {"version"}, set);
    QCOMPARE(set.DataNum(), 2);
    QCOMPARE(query("/application,name='SCADA'/pictureType,name='feeder'/edition", "version"), (QStringList{"0", "1"}));

    expectWarning("cannot move object");
    QVERIFY(agent()->TreeMove(s.app, s.pic) < 0);
    expectWarning("cannot move object");
    QVERIFY(agent()->TreeMove(s.pic, s.feeder) < 0);
    expectWarning("cannot move object");
    QVERIFY(agent()->TreeMove("/application", s.pic) < 0);
    agent()->QueryChild(s.pic, "MemberOfpictureType", {"name"}, set);
    QCOMPARE(column(set, "name"), QStringList{"feeder"});
}

void tst_DataAgent::globalDefines()
{
    // Guards against unknown defines giving stale or default values and updates not sticking.
    QCOMPARE(agent()->QueryGlobalDefineByName("UpdateDBWait").value, QString());
    QVERIFY(agent()->SetGlobalDefine("UpdateDBWait", "5000000"));
    QVERIFY(agent()->SetGlobalDefine("TreeActions", "0x7f"));
    QVERIFY(agent()->SetGlobalDefine("UpdateDBWait", "-1"));
    const GlobalDefine define = agent()->QueryGlobalDefineByName("UpdateDBWait");
    QCOMPARE(define.name, QString("UpdateDBWait"));
    QCOMPARE(define.value, QString("-1"));
    QCOMPARE(agent()->QueryGlobalDefineByName("TreeActions").value, QString("0x7f"));
    QCOMPARE(agent()->QueryGlobalDefineByName("treeactions").value, QString());
}

void tst_DataAgent::transactionsAreAllOrNothing()
{
    // Guards against half of a unit of work surviving a rollback.
    SITE(s);
    QVERIFY(agent()->BeginTransaction());
    const QVariant a = agent()->InsertData(s.feeder, "picture");
    QVERIFY(agent()->UpdateField(a, "picname", "rolled back"));
    QVERIFY(agent()->BeginTransaction());
    QVERIFY(agent()->InsertData(a, "edition").isValid());
    QVERIFY(agent()->CommitTransaction());
    agent()->RollbackTransaction();
    QCOMPARE(query("/picture,picname='rolled back'", "picname"), QStringList());
    QCOMPARE(query("/edition", "version").size(), 2);

    QVERIFY(agent()->BeginTransaction());
    QVERIFY(agent()->BeginTransaction());
    const QVariant b = agent()->InsertData(s.feeder, "picture");
    QVERIFY(agent()->UpdateField(b, "picname", "kept"));
    QVERIFY(agent()->CommitTransaction());
    QVERIFY(agent()->CommitTransaction());
    QVERIFY(!agent()->CommitTransaction());
    QCOMPARE(query("/picture,picname='kept'", "picname"), QStringList{"kept"});
}

void tst_DataAgent::schemaIsUpgradedInPlace()
{
    // Guards against an older site database losing data, or a newer one being written by an old program.
    SITE(s);
    agent()->Close();
    {
        RawDatabase raw(m_spec);
        QVERIFY(raw.exec("ALTER TABLE c_mdl_icon_catalog DROP COLUMN a_edittype"));
        QVERIFY(raw.exec("DROP TABLE c_envpictypedef"));
        QVERIFY(raw.exec("UPDATE t_schema SET version = 0"));
    }
    QTest::ignoreMessage(QtInfoMsg, QRegularExpression("upgraded the database schema from version 0"));
    MDataSet set;
    QVERIFY(agent()->QueryData(s.iconType, set));
    QCOMPARE(set.GetFieldValue("name", 0).toString(), QString("breaker"));
    QVERIFY(set.GetFieldValue("editType", 0).IsNull());
    QVERIFY(agent()->UpdateField(s.iconType, "editType", "4"));
    QVERIFY(agent()->InsertData("envPicTypeDef").isValid());
    QCOMPARE(query("/picture", "picname").size(), 3);

    agent()->Close();
    {
        RawDatabase raw(m_spec);
        QVERIFY(raw.exec("UPDATE t_schema SET version = 99"));
    }
    expectWarning("the database has schema version 99");
    QVERIFY(!agent()->QueryData("/picture", set));
    agent()->Close();
    {
        RawDatabase raw(m_spec);
        QVERIFY(raw.exec("UPDATE t_schema SET version = 1"));
    }
    QCOMPARE(query("/picture", "picname").size(), 3);
}

void tst_DataAgent::namesAndVersionsAreUnique_data()
{
    QTest::addColumn<QString>("parent"); // a record of the site
    QTest::addColumn<QString>("objectClass");
    QTest::addColumn<QString>("attribute");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("accepted");
    const QString beijing = QString::fromUtf8("北京变电站");
    QTest::newRow("name taken by another type of the application")
        << "feeder" << "picture" << "picname" << beijing << false;
    QTest::newRow("name taken in the same type") << "station" << "picture" << "picname" << beijing << false;
    QTest::newRow("name free in the application") << "feeder" << "picture" << "picname" << "new" << true;
    QTest::newRow("name taken only in another application")
        << "otherStation" << "picture" << "picname" << "O'Brien" << true;
    QTest::newRow("version taken") << "pic" << "edition" << "version" << "1" << false;
    QTest::newRow("next version") << "pic" << "edition" << "version" << "2" << true;
    QTest::newRow("version of another picture") << "picB" << "edition" << "version" << "1" << true;
}

void tst_DataAgent::namesAndVersionsAreUnique()
{
    // Guards against two imports at once giving two pictures one name or one picture two editions of a version.
    QFETCH(QString, parent);
    QFETCH(QString, objectClass);
    QFETCH(QString, attribute);
    QFETCH(QString, value);
    QFETCH(bool, accepted);
    SITE(s);
    const QHash<QString, QString> records{
        {"station", s.station}, {"feeder", s.feeder}, {"otherStation", s.otherStation}, {"pic", s.pic}, {"picB", s.picB}};
    QVERIFY(agent()->BeginTransaction());
    const QVariant id = agent()->InsertData(records.value(parent), objectClass);
    QVERIFY(id.isValid());
    if (!accepted)
        expectWarning("statement failed");
    QCOMPARE(agent()->UpdateField(id, attribute, value), accepted);
    QCOMPARE(agent()->CommitTransaction(), accepted);
    MDataSet set;
    agent()->QueryData(id.toString(), {attribute}, set);
    QCOMPARE(set.DataNum(), accepted ? 1 : 0); // a refused one leaves no half record
}

void tst_DataAgent::movesKeepNamesUnique()
{
    // Guards against a move carrying a picture into an application that already has its name.
    SITE(s);
    expectWarning("statement failed");
    QVERIFY(agent()->TreeMove(s.station, s.picSameName) < 0);
    MDataSet set;
    agent()->QueryChild(s.picSameName, "MemberOfapplication", {"name"}, set);
    QCOMPARE(column(set, "name"), QStringList{"DMS"});
    // Moved with its type, a picture takes its name along to the new application.
    QCOMPARE(agent()->TreeMove(s.app2, s.feeder), 0);
    const QVariant clash = agent()->InsertData(s.otherStation, "picture");
    expectWarning("statement failed");
    QVERIFY(!agent()->UpdateField(clash, "picname", "O'Brien"));
    QVERIFY(agent()->UpdateField(clash, "picname", "free"));
    QVERIFY(agent()->UpdateField(agent()->InsertData(s.station, "picture"), "picname", "O'Brien"));
}

void tst_DataAgent::olderDatabaseWithDuplicatesStillOpens()
{
    // Guards against an older site database that holds duplicate names being refused, or left unguarded for good.
    SITE(s);
    agent()->Close();
    {
        RawDatabase raw(m_spec);
        QVERIFY(raw.exec("DROP INDEX u_c_picture"));
        QVERIFY(raw.exec("DROP INDEX u_c_edition"));
        QVERIFY(raw.exec("ALTER TABLE c_picture DROP COLUMN u_scope"));
        QVERIFY(raw.exec("ALTER TABLE c_edition DROP COLUMN u_scope"));
        // What two imports at once could leave behind with the older program.
        QVERIFY(raw.exec("UPDATE c_picture SET a_picname = 'O''Brien' WHERE oid = " + s.pic));
        QVERIFY(raw.exec("UPDATE t_schema SET version = 1"));
    }
    QTest::ignoreMessage(QtInfoMsg, QRegularExpression("upgraded the database schema from version 1"));
    expectWarning("1 duplicated picture.picname");
    QCOMPARE(query("/application,name='SCADA'/pictureType/picture,picname='O''Brien'", "picname").size(), 2);
    expectWarning("statement failed");
    QVERIFY(!agent()->UpdateField(agent()->InsertData(s.pic, "edition"), "version", "1")); // versions are guarded

    // Once the duplicate is gone, the next open guards names too.
    QVERIFY(agent()->UpdateField(s.pic, "picname", "renamed"));
    agent()->Close();
    const QVariant another = agent()->InsertData(s.feeder, "picture");
    expectWarning("statement failed");
    QVERIFY(!agent()->UpdateField(another, "picname", "renamed"));
}

namespace {

const QStringList kSearchKeys{"searchName", "searchInitials"};

QStringList unsetKeys()
{
    MDataSet set;
    agent()->QueryUnsetKey("picture", "searchInitials", {"picname"}, set);
    return column(set, "picname");
}

QStringList byPrefix(const QString& prefix)
{
    MDataSet set;
    agent()->QueryPrefix("picture", kSearchKeys, prefix, {"picname"}, set);
    return column(set, "picname");
}

} // namespace

void tst_DataAgent::searchKeysFollowTheirSource()
{
    // Guards against a renamed picture still found by its old name's keys, or keys leaking into every-attribute reads.
    SITE(s);
    QCOMPARE(unsetKeys().size(), 3); // new pictures have none yet
    MDataSet set;
    QVERIFY(agent()->QueryData(s.pic, {"picname"}, set));
    const QString name = set.GetFieldValue("picname", 0).toString();
    QVERIFY(agent()->SetSearchKeys(s.pic, name, kSearchKeys, {"NAME1", "INIT1"}));
    QCOMPARE(unsetKeys().size(), 2);
    QCOMPARE(byPrefix("NAME"), QStringList{name});
    QCOMPARE(byPrefix("INIT1"), QStringList{name});
    QCOMPARE(byPrefix("INIT12"), QStringList());

    // Keys computed from a name that has changed meanwhile are not stored.
    QVERIFY(agent()->SetSearchKeys(s.picB, "not its name", kSearchKeys, {"STALE", "STALE"}));
    QCOMPARE(byPrefix("STALE"), QStringList());

    // Writing the name clears them; writing them as an attribute is refused.
    QVERIFY(agent()->UpdateField(s.pic, "picname", "renamed"));
    QCOMPARE(byPrefix("NAME"), QStringList());
    QVERIFY(unsetKeys().contains("renamed"));
    expectWarning("is a search key");
    QVERIFY(!agent()->UpdateField(s.pic, "searchName", "X"));
    QVERIFY(agent()->QueryData(s.pic, set));
    QCOMPARE(set.DataType().FieldIndex("searchName"), -1);
    QVERIFY(set.DataType().FieldIndex("picname") >= 0);

    // A reset clears them all and records how the next ones are computed.
    QVERIFY(agent()->SetSearchKeys(s.pic, "renamed", kSearchKeys, {"R", "R"}));
    QCOMPARE(agent()->SearchKeysStamp("picture"), QString());
    QVERIFY(agent()->ResetSearchKeys("picture", "words-2"));
    QCOMPARE(agent()->SearchKeysStamp("picture"), QString("words-2"));
    QCOMPARE(unsetKeys().size(), 3);
    expectWarning("has no search key");
    QVERIFY(!agent()->QueryPrefix("picture", {"picname"}, "R", {"picname"}, set));
}

void tst_DataAgent::prefixRangeIsExact_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::newRow("latin") << "AB";
    QTest::newRow("everything") << "";
    QTest::newRow("chinese") << QString::fromUtf8("北京");
    QTest::newRow("lower case is another prefix") << "ab";
    QTest::newRow("near the top of the basic plane") << QString(QChar(0xFFFD));
    QTest::newRow("ends in the last code point") << QString::fromUcs4(U"A\U0010FFFF", 2);
    QTest::newRow("just below the surrogates") << QString(QChar(0xD7FF));
    QTest::newRow("quote and percent") << "A'%";
}

void tst_DataAgent::prefixRangeIsExact()
{
    // Guards against the prefix range of the search missing names at the edges of code point order, or taking too many.
    QFETCH(QString, prefix);
    SiteBuilder b(agent());
    const QString type = b.pictureType(b.application("A"), "t", 1);
    const QStringList names{"AB", "ABC", "AC", "A", "ab", "AB ", QString::fromUtf8("北京站"), QString::fromUtf8("北"),
                            QString(QChar(0xFFFD)) + "x", QString::fromUcs4(U"A\U0010FFFF", 2),
                            QString::fromUcs4(U"A\U0010FFFFz", 3), QString::fromUcs4(U"B\U00020BB7", 2),
                            QString(QChar(0xD7FF)) + "y", QString(QChar(0xE000)), "A'%x", "A'_x"};
    QStringList expected;
    for (const QString& name : names) {
        const QString id = b.picture(type, name);
        QVERIFY(agent()->SetSearchKeys(id, name, kSearchKeys, {name, "#"}));
        if (name.startsWith(prefix))
            expected << name;
    }
    QVERIFY2(b.ok(), qPrintable(b.errors()));
    QCOMPARE(byPrefix(prefix), expected);
}

void tst_DataAgent::searchKeysComeToAnOlderDatabase()
{
    // Guards against an upgraded database lacking the search keys, or pretending its pictures have them.
    SITE(s);
    for (const QString& id : {s.pic, s.picB})
        QVERIFY(agent()->SetSearchKeys(id, query(id, "picname").value(0), kSearchKeys, {"K", "K"}));
    agent()->Close();
    {
        // The database as the program before the search keys left it.
        RawDatabase raw(m_spec);
        for (const char* sql : {"DROP INDEX i_c_picture_a_searchname", "DROP INDEX i_c_picture_a_searchinitials",
                                "ALTER TABLE c_picture DROP COLUMN a_searchname",
                                "ALTER TABLE c_picture DROP COLUMN a_searchinitials", "DROP TABLE t_search_stamp",
                                "UPDATE t_schema SET version = 2"})
            QVERIFY2(raw.exec(sql), sql);
    }
    QTest::ignoreMessage(QtInfoMsg, QRegularExpression("upgraded the database schema from version 2"));
    QCOMPARE(unsetKeys().size(), 3);
    QCOMPARE(byPrefix("K"), QStringList());
    QCOMPARE(agent()->SearchKeysStamp("picture"), QString());
    QVERIFY(agent()->SetSearchKeys(s.pic, query(s.pic, "picname").value(0), kSearchKeys, {"K", "K"}));
    QCOMPARE(byPrefix("K").size(), 1);
}

void tst_DataAgent::unusableDatabaseFilesAreRefused()
{
    // Guards against a damaged or foreign file being overwritten, and a read-only one crashing writers.
    if (TestDatabase::isPostgres())
        QSKIP("SQLite files only; the server variant is vanishedServer");
    const QByteArray garbage(4096, 'x');
    QVERIFY(m_tree->writeFile("var/notadb.sqlite", garbage));
    qputenv("TALMER_HMI_DB", m_tree->path("var/notadb.sqlite").toUtf8());
    expectWarning("statement failed");
    expectWarning("is not a usable database");
    MDataSet set;
    QVERIFY(!agent()->QueryData("/node", set));
    QVERIFY(!agent()->InsertData("node").isValid()); // no second attempt for a while, and no warning
    QCOMPARE(m_tree->readFile("var/notadb.sqlite"), garbage);
    agent()->Close();

    // Read-only file in a shared folder: another user (root ignores permissions)
    // may read it but not write it.
    qputenv("TALMER_HMI_DB", m_spec.toUtf8());
    SITE(s);
    agent()->Close();
    const auto everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
        | QFile::WriteOther | QFile::ExeOther | QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup;
    QFile::setPermissions(m_spec, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile::setPermissions(m_tree->path("var"), everyone);
    for (const QString& dir : {m_tree->base(), m_tree->root()})
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeOther
                                       | QFile::ExeGroup);
    QProcess writer;
    writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    writer.start(qEnvironmentVariable("TALMER_TEST_AGENTWRITER"), {"readonly", m_spec, s.app});
    QVERIFY(writer.waitForFinished(30000));
    QCOMPARE(writer.exitCode(), 0);
    QCOMPARE(writer.readAllStandardOutput().trimmed(), QByteArray("read=1 written=0"));
    QFile::setPermissions(m_tree->path("var"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(m_spec, QFile::ReadOwner | QFile::WriteOwner);
    QCOMPARE(query(s.app, "name"), QStringList{"SCADA"});
}

void tst_DataAgent::outerAgentConnectsOnlyToAnExistingDatabase()
{
    // Guards against an outer database being invented, or a missing one hanging the workstation.
    QuillaDataAgent outer("mmi", "outmmidb", false);
    expectWarning("TALMER_OUTER_DB is not set");
    QVERIFY(!outer.Connect("outmmidb"));
    MDataSet set;
    QVERIFY(!outer.QueryData("/node", set));

    if (TestDatabase::isPostgres()) {
        qputenv("TALMER_OUTER_DB", "postgresql://postgres@127.0.0.1:1/none");
        expectWarning("cannot connect to");
    } else {
        qputenv("TALMER_OUTER_DB", m_tree->path("var/outer.sqlite").toUtf8());
        expectWarning("database file does not exist");
    }
    QVERIFY(!outer.Connect("outmmidb"));
    QVERIFY(!QFile::exists(m_tree->path("var/outer.sqlite")));

    TestDatabase outerDb;
    const QString spec = outerDb.create(m_tree->path("var/outer.sqlite"));
    {
        MSqlDataAgent creator;
        QVERIFY(creator.Open(spec, MSqlDataAgent::OpenMode::CreateIfMissing));
        SiteBuilder(&creator).application("OUTER");
    }
    qputenv("TALMER_OUTER_DB", spec.toUtf8());
    QVERIFY(outer.Connect("outmmidb"));
    QVERIFY(outer.QueryData("/node,name='node1'/application", {"name"}, set));
    QCOMPARE(column(set, "name"), QStringList{"OUTER"});
    outer.Close();
}

void tst_DataAgent::twoProcessesWriteAtOnce()
{
    // Guards against lost writes or spurious "database is locked" failures between workstation processes.
    SITE(s);
    agent()->Close();
    const int perProcess = 150;
    QProcess first, second;
    for (QProcess* p : {&first, &second}) {
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(qEnvironmentVariable("TALMER_TEST_AGENTWRITER"),
                 {"write", m_spec, s.feeder, QString::number(perProcess), p == &first ? "one" : "two"});
    }
    QVERIFY(first.waitForFinished(120000) && second.waitForFinished(120000));
    QCOMPARE(first.exitCode(), 0);
    QCOMPARE(second.exitCode(), 0);
    MDataSet set;
    QVERIFY(agent()->QueryChild(s.feeder, "Containspicture", {"picname"}, set));
    QStringList names = column(set, "picname");
    QCOMPARE(names.size(), 2 * perProcess + 1);
    names.removeDuplicates();
    QCOMPARE(names.size(), 2 * perProcess + 1);
}

void tst_DataAgent::vanishedServer()
{
    // Guards against a database server that goes away crashing or hanging its clients.
    if (!TestDatabase::isPostgres())
        QSKIP("PostgreSQL only; the SQLite variant is unusableDatabaseFilesAreRefused");
    const QString script = qEnvironmentVariable("TALMER_TEST_SCRIPTS") + "/pg-test-server.sh";
    const QString state = m_tree->path("pgstate");
    QProcess start;
    start.start("bash", {script, "start", state});
    QVERIFY(start.waitForFinished(60000) && start.exitCode() == 0);
    QFile urlFile(state + "/url");
    QVERIFY(urlFile.open(QIODevice::ReadOnly));
    const QString url = QString::fromUtf8(urlFile.readAll()).trimmed();
    MSqlDataAgent doomed;
    QVERIFY(doomed.Open(url, MSqlDataAgent::OpenMode::MustExist));
    SiteBuilder(&doomed).application("A");
    QProcess stop;
    stop.start("bash", {script, "stop", state});
    QVERIFY(stop.waitForFinished(60000) && stop.exitCode() == 0);

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("statement failed"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("lost the connection"));
    MDataSet set;
    QVERIFY(!doomed.QueryData("/application", {"name"}, set));
    QCOMPARE(set.DataNum(), 0);
    QVERIFY(!doomed.InsertData("node").isValid()); // waits for the reconnect interval, quietly
    QVERIFY(!doomed.IsOpen());
}

TALMER_TEST_MAIN(tst_DataAgent)
#include "tst_dataagent.moc"
