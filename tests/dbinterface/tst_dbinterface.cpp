#include <QHostInfo>
#include <QTranslator>
#include <memory>

#include "brelmmidataagent.h"
#include "deploytree.h"
#include "mdbinterfaceholder.h"
#include "mdbrecords.h"
#include "mdutymgr.h"
#include "mgraphprivilege.h"
#include "mhmiadmin.h"
#include "mpinyinsort.h"
#include "mvarendbinterface.h"
#include "sitebuilder.h"
#include "sm_priv_api_user.h"
#include "testdatabase.h"
#include "testmain.h"

using TestSupport::DeployTree;
using SiteGen::SiteBuilder;
using TestSupport::TestDatabase;

namespace {

// A record list that deletes its records, as every receiver must.
struct Records
{
    QList<MDBRecordBase*> list;
    ~Records() { qDeleteAll(list); }
    void clear()
    {
        qDeleteAll(list);
        list.clear();
    }
    QStringList names() const
    {
        QStringList n;
        for (const MDBRecordBase* r : list)
            n << r->name;
        return n;
    }
    template <class T>
    T* at(int i) const { return dynamic_cast<T*>(list.value(i)); }
};

QStringList column(MDataAgent* agent, const QString& path, const QString& attribute)
{
    MDataSet set;
    agent->QueryData(path, {attribute}, set);
    QStringList values;
    for (int i = 0; i < set.DataNum(); ++i)
        values << set.GetFieldValue(attribute, i).toString();
    return values;
}

// A privilege user that records what the check asks of it.
class SpyUser : public sm_priv_api_user
{
public:
    SpyUser() : sm_priv_api_user("spy", 0, {}) {}
    int get_name(char* buffer, int size) const override
    {
        calls << "get_name " + QString::number(size);
        return sm_priv_api_user::get_name(buffer, size);
    }
    int set_parameter(const char* application, const char* name, const char* value, int& error) override
    {
        calls << QString("set_parameter %1 %2 %3").arg(application, name, value);
        error = 0;
        return 0;
    }
    int check_access(const char* application, const char* function, bool& allowed) const override
    {
        calls << QString("check_access %1 %2").arg(application, QString::fromUtf8(function));
        allowed = allowedFunctions.contains(QString::fromUtf8(function));
        return 0;
    }
    mutable QStringList calls;
    QStringList allowedFunctions;
};

// The function name as a translated site would have it.
class Translation : public QTranslator
{
public:
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        return QByteArray(context) == "MGraphPrivilege" && QByteArray(source) == "graph view"
            ? QString::fromUtf8("画面浏览") : QString();
    }
    bool isEmpty() const override { return false; }
};

} // namespace

class tst_DbInterface : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DeployTree> m_tree;
    std::unique_ptr<TestDatabase> m_dbs;
    std::unique_ptr<MSqlDataAgent> m_outer; // builds the outer database's content
    QString m_outerSpec;

    BrelMmiDataAgent* inner() { return BrelMmiDataAgent::Instance(); }
    std::unique_ptr<MVarenDBInterface> makeInterface(bool outerNet)
    {
        qputenv("IS_IN_OUTER_NET", outerNet ? "1" : "0");
        qputenv("TALMER_OUTER_DB", m_outerSpec.toUtf8());
        return std::make_unique<MVarenDBInterface>();
    }

private Q_SLOTS:
    void init();
    void cleanup();

    void construction_data();
    void construction();
    void holderGivesOneInterface();
    void readingTheTree();
    void timesAreReadInIsoForm();
    void pictureWithoutEditionsGetsItsDraft();
    void outerDatabaseIsMerged();
    void outerNamesDifferingInCaseAreNotMerged();
    void writesGoWhereRecordsLive();
    void wrongChildrenAreIgnored();
    void iconsTemplatesAndTimes();
    void configurationFiles();
    void findPictureType();
    void picturesByPath();
    void searchByNameAndPinyin();
    void searchRespectsPrivileges();
    void searchByStoredKeysFindsWhatReadingAllFinds();
    void searchFollowsRenamesAndWords();
    void failedLogInRefusesEveryPicture_data();
    void failedLogInRefusesEveryPicture();
    void findPictureApplicationCountsOccurrences();
    void privilegeCheckOrder();
};

void tst_DbInterface::init()
{
    m_tree = std::make_unique<DeployTree>();
    m_dbs = std::make_unique<TestDatabase>();
    TALMER_USE_TEST_DATABASE(*m_dbs, *m_tree);
    m_outerSpec = m_dbs->create(m_tree->path("var/outer.sqlite"));
    m_outer = std::make_unique<MSqlDataAgent>();
    QVERIFY(m_outer->Open(m_outerSpec, MSqlDataAgent::OpenMode::CreateIfMissing));
    MGraphPrivilege::Clear();
}

void tst_DbInterface::cleanup()
{
    MGraphPrivilege::Clear();
    MDBInterfaceHolder::Instance()->Reset();
    m_outer.reset();
    inner()->Close();
    m_dbs.reset();
    m_tree.reset();
}

void tst_DbInterface::construction_data()
{
    QTest::addColumn<QByteArray>("outerNet");
    QTest::addColumn<bool>("outerConfigured");
    QTest::addColumn<QString>("updateWait"); // empty: not defined
    QTest::addColumn<bool>("expectOuter");
    QTest::addColumn<int>("expectWait");
    QTest::newRow("inner, no wait defined") << QByteArray() << true << "" << false << 0;
    QTest::newRow("zero is inner") << QByteArray("0") << true << "1500" << false << 1500;
    QTest::newRow("not a number is inner") << QByteArray("yes") << true << "abc" << false << 0;
    QTest::newRow("outer") << QByteArray("1") << true << "5000000" << true << 2000000;
    QTest::newRow("outer, any non-zero") << QByteArray("7") << true << "-5" << true << -5;
    QTest::newRow("outer unreachable") << QByteArray("1") << false << "2000000" << false << 2000000;
}

void tst_DbInterface::construction()
{
    // Guards against the wrong database set-up: an unreachable outer agent kept, or a wait without bounds.
    QFETCH(QByteArray, outerNet);
    QFETCH(bool, outerConfigured);
    QFETCH(QString, updateWait);
    QFETCH(bool, expectOuter);
    QFETCH(int, expectWait);
    if (!updateWait.isEmpty())
        QVERIFY(inner()->SetGlobalDefine("UpdateDBWait", updateWait));
    qputenv("IS_IN_OUTER_NET", outerNet);
    if (outerNet.isNull())
        qunsetenv("IS_IN_OUTER_NET");
    if (outerConfigured) {
        qputenv("TALMER_OUTER_DB", m_outerSpec.toUtf8());
    } else {
        qunsetenv("TALMER_OUTER_DB");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("TALMER_OUTER_DB is not set"));
    }
    MVarenDBInterface db;
    QCOMPARE(db.HasOuterAgent(), expectOuter);
    QCOMPARE(db.UpdateWait(), expectWait);
    QCOMPARE(db.GetGlobalDefine("UpdateDBWait"), updateWait);
}

void tst_DbInterface::holderGivesOneInterface()
{
    // Guards against callers getting different interfaces (and different outer agents).
    MAbstractDBInterface* first = MDBInterfaceHolder::Instance()->GetInterface();
    QVERIFY(first);
    QCOMPARE(MDBInterfaceHolder::Instance()->GetInterface(), first);
    MDBInterfaceHolder::Instance()->Reset();
    QVERIFY(MDBInterfaceHolder::Instance()->GetInterface());
}

void tst_DbInterface::readingTheTree()
{
    // Guards against records missing fields, mixing parents, or the type code not being cut to 8 bits.
    SiteBuilder b(inner());
    const QString app = b.application("SCADA", "scada");
    const QString station = b.pictureType(app, "station", 300);
    b.pictureType(app, "feeder", 9);
    const QString pic = b.picture(station, QString::fromUtf8("北京站"), 3, 4, -1);
    b.edition(pic, 0, "2026-01-02 03:04:05");
    const QString iconType = b.iconType("breaker", 2, 1, 3, true);
    b.icon(iconType, "b1", "{u1}", "2026-02-02 02:02:02", true, true);
    const QString templType = b.templateType("styles", "style");
    b.templateItem(templType, "red");
    QVERIFY2(b.ok(), qPrintable(b.errors()));
    auto db = makeInterface(false);

    MDBRecordNode* node = nullptr;
    db->GetNode(node, "node2");
    QVERIFY(!node);
    db->GetNode(node, "node1");
    QVERIFY(node);
    std::unique_ptr<MDBRecordNode> nodeOwner(node);
    QVERIFY(!node->oid.isEmpty());
    QCOMPARE(node->name, QString("node1"));
    QVERIFY(node->outerOid.isEmpty());

    Records apps;
    db->GetChildren(node, apps.list);
    QCOMPARE(apps.names(), QStringList{"SCADA"});
    QCOMPARE(apps.at<MDBRecordApplication>(0)->alias, QString("scada"));
    Records types;
    db->GetChildren(apps.list.first(), types.list);
    QCOMPARE(types.names(), (QStringList{"station", "feeder"}));
    QCOMPARE(int(types.at<MDBRecordPicType>(0)->picTypeCode), 44);
    Records pictures;
    db->GetChildren(types.list.first(), pictures.list);
    QCOMPARE(pictures.list.size(), 1);
    auto* picture = pictures.at<MDBRecordPicture>(0);
    QCOMPARE(picture->name, QString::fromUtf8("北京站"));
    QCOMPARE(picture->inPrivCode, 3);
    QCOMPARE(picture->outPrivCode, 4);
    QCOMPARE(picture->aorNum, -1);

    Records iconTypes, icons, templTypes, templates;
    db->GetIconTypes(iconTypes.list);
    auto* it = iconTypes.at<MDBRecordIconType>(0);
    QVERIFY(it);
    QCOMPARE(it->catId, 2u);
    QCOMPARE(it->shapeType, 1u);
    QCOMPARE(it->editType, 3);
    QVERIFY(it->member1);
    db->GetChildren(it, icons.list);
    auto* icon = icons.at<MDBRecordIcon>(0);
    QVERIFY(icon);
    QCOMPARE(icon->uuid, QString("{u1}"));
    QCOMPARE(icon->makeTime, QString("2026-02-02 02:02:02")); // kept as stored
    QVERIFY(icon->member1 && icon->member2);
    db->GetTemplateTypes(templTypes.list);
    QCOMPARE(templTypes.at<MDBRecordTemptype>(0)->alias, QString("style"));
    db->GetChildren(templTypes.list.first(), templates.list);
    QCOMPARE(templates.names(), QStringList{"red"});

    // Leaves of the tree have no children.
    Records none;
    Records editions;
    db->GetChildren(picture, editions.list);
    db->GetChildren(editions.list.first(), none.list);
    db->GetChildren(icon, none.list);
    db->GetChildren(templates.list.first(), none.list);
    db->GetChildren(nullptr, none.list);
    QVERIFY(none.list.isEmpty());
}

void tst_DbInterface::timesAreReadInIsoForm()
{
    // Guards against stored times with a blank, or bogus release times, reaching the views unchanged.
    SiteBuilder b(inner());
    const QString type = b.pictureType(b.application("A"), "t", 1);
    const QString pic = b.picture(type, "p");
    b.edition(pic, 0, "2026-01-02 03:04:05 +08", "2026-01-03 04:05:06");
    b.edition(pic, 1, "2026-01-02T03:04:05", "1970-01-01T00:00:00");
    b.edition(pic, 2, "x y", "not a time");
    QVERIFY2(b.ok(), qPrintable(b.errors()));
    auto db = makeInterface(false);
    MDBRecordPicture picture;
    picture.oid = pic;
    Records editions;
    db->GetChildren(&picture, editions.list);
    QCOMPARE(editions.list.size(), 3);
    QCOMPARE(editions.at<MDBRecordEdition>(0)->modifyTime, QString("2026-01-02T03:04:05T+08"));
    QCOMPARE(editions.at<MDBRecordEdition>(0)->versionTime, QString("2026-01-03T04:05:06"));
    QCOMPARE(editions.at<MDBRecordEdition>(1)->versionTime, QString()); // the epoch itself
    QCOMPARE(editions.at<MDBRecordEdition>(2)->modifyTime, QString("xTy"));
    QCOMPARE(editions.at<MDBRecordEdition>(2)->versionTime, QString());
    QCOMPARE(editions.at<MDBRecordEdition>(2)->version, 2);
    QCOMPARE(editions.at<MDBRecordEdition>(0)->nodeName, QString("ws1"));
}

void tst_DbInterface::pictureWithoutEditionsGetsItsDraft()
{
    // Guards against a picture without versions showing none, or gaining a draft each time it is listed.
    SiteBuilder b(inner());
    const QString pic = b.picture(b.pictureType(b.application("A"), "t", 1), "p");
    QVERIFY(b.ok());
    inner()->SetGlobalDefine("UpdateDBWait", "2000000");
    auto db = makeInterface(false);
    MDBRecordPicture picture;
    picture.oid = pic;
    Records first, second;
    db->GetChildren(&picture, first.list);
    QCOMPARE(first.list.size(), 1);
    auto* draft = first.at<MDBRecordEdition>(0);
    QCOMPARE(draft->version, 0);
    QVERIFY(!draft->oid.isEmpty());
    QVERIFY(!draft->modifyTime.isEmpty());
    QCOMPARE(column(inner(), pic + "", "picname"), QStringList{"p"});
    QCOMPARE(column(inner(), "/edition", "version"), QStringList{"0"});
    QCOMPARE(column(inner(), "/edition", "node_name"), QStringList{QHostInfo::localHostName()});
    db->GetChildren(&picture, second.list);
    QCOMPARE(second.list.size(), 1);
    QCOMPARE(second.list.first()->oid, draft->oid);
}

void tst_DbInterface::outerDatabaseIsMerged()
{
    // Guards against outer-only applications vanishing, shared ones doubling, or pictures of both merging.
    SiteBuilder in(inner()), out(m_outer.get());
    const QString inApp = in.application("BOTH");
    in.application("INNER");
    const QString inType = in.pictureType(inApp, "station", 2);
    in.picture(inType, "shared");
    const QString outApp = out.application("BOTH");
    const QString outOnly = out.application("OUTER");
    const QString outType = out.pictureType(outApp, "station", 2);
    out.pictureType(outApp, "outer type", 5);
    const QString outPic = out.picture(outType, "shared");
    out.edition(outPic, 3, "2026-05-05T05:05:05");
    out.picture(out.pictureType(outOnly, "t", 1), "only outside");
    QVERIFY2(in.ok() && out.ok(), qPrintable(in.errors() + out.errors()));

    auto db = makeInterface(true);
    QVERIFY(db->HasOuterAgent());
    MDBRecordNode* node = nullptr;
    db->GetNode(node, "node1");
    std::unique_ptr<MDBRecordNode> nodeOwner(node);
    QVERIFY(node && !node->oid.isEmpty() && !node->outerOid.isEmpty());
    Records apps;
    db->GetChildren(node, apps.list);
    QCOMPARE(apps.names(), (QStringList{"BOTH", "INNER", "OUTER"}));
    QCOMPARE(apps.list.at(0)->oid, inApp);
    QCOMPARE(apps.list.at(0)->outerOid, outApp);
    QVERIFY(apps.list.at(1)->outerOid.isEmpty());
    QVERIFY(apps.list.at(2)->oid.isEmpty());
    QCOMPARE(apps.list.at(2)->outerOid, outOnly);

    Records types;
    db->GetChildren(apps.list.at(0), types.list);
    QCOMPARE(types.names(), (QStringList{"station", "outer type"}));
    QCOMPARE(types.list.at(0)->outerOid, outType);
    Records pictures;
    db->GetChildren(types.list.at(0), pictures.list);
    QCOMPARE(pictures.names(), (QStringList{"shared", "shared"}));
    QVERIFY(!pictures.list.at(0)->oid.isEmpty() && pictures.list.at(0)->outerOid.isEmpty());
    QVERIFY(pictures.list.at(1)->oid.isEmpty() && pictures.list.at(1)->outerOid == outPic);

    // The outer picture's versions come from the outer database only.
    Records editions;
    db->GetChildren(pictures.list.at(1), editions.list);
    QCOMPARE(editions.list.size(), 1);
    QCOMPARE(editions.at<MDBRecordEdition>(0)->version, 3);
    QVERIFY(editions.list.at(0)->oid.isEmpty());

    // Off the outer network the same database shows only its own.
    auto innerOnly = makeInterface(false);
    Records innerApps;
    innerOnly->GetChildren(node, innerApps.list);
    QCOMPARE(innerApps.names(), (QStringList{"BOTH", "INNER"}));
}

void tst_DbInterface::outerNamesDifferingInCaseAreNotMerged()
{
    // Guards against an outer application or type being merged with an inner one whose name differs in case.
    SiteBuilder in(inner()), out(m_outer.get());
    const QString inApp = in.application("CASE");
    in.pictureType(inApp, "station", 2);
    const QString outUpper = out.application("CASE");
    const QString outLower = out.application("case");
    const QString outType = out.pictureType(outUpper, "Station", 2);
    out.pictureType(outLower, "station", 2);
    QVERIFY2(in.ok() && out.ok(), qPrintable(in.errors() + out.errors()));
    auto db = makeInterface(true);
    MDBRecordNode* node = nullptr;
    db->GetNode(node, "node1");
    std::unique_ptr<MDBRecordNode> nodeOwner(node);
    QVERIFY(node);
    Records apps;
    db->GetChildren(node, apps.list);
    QCOMPARE(apps.names(), (QStringList{"CASE", "case"}));
    QCOMPARE(apps.list.at(0)->outerOid, outUpper);
    QVERIFY(apps.list.at(1)->oid.isEmpty());
    QCOMPARE(apps.list.at(1)->outerOid, outLower);
    Records types;
    db->GetChildren(apps.list.at(0), types.list);
    QCOMPARE(types.names(), (QStringList{"station", "Station"}));
    QVERIFY(types.list.at(0)->outerOid.isEmpty());
    QCOMPARE(types.list.at(1)->outerOid, outType);
}

void tst_DbInterface::writesGoWhereRecordsLive()
{
    // Guards against writes landing in the wrong database, and edition writes carrying stale fields.
    SiteBuilder out(m_outer.get());
    const QString outOnly = out.application("OUTER");
    out.node("node9");
    QVERIFY(out.ok());
    SiteBuilder innerSite(inner());
    innerSite.node("node1");
    inner()->SetGlobalDefine("UpdateDBWait", "2000000");
    auto db = makeInterface(true);

    MDBRecordApplication app;
    app.name = "OUTER";
    app.outerOid = outOnly;
    MDBRecordPicType type;
    type.name = "station";
    type.picTypeCode = 2;
    db->InsertRecord(&app, &type);
    QVERIFY(type.oid.isEmpty());
    QVERIFY(!type.outerOid.isEmpty());
    QCOMPARE(column(m_outer.get(), type.outerOid, "type"), QStringList{"2"});
    QVERIFY(column(inner(), "/pictureType", "name").isEmpty());

    MDBRecordPicture picture;
    picture.name = "p1";
    picture.aorNum = -1;
    db->InsertRecord(&type, &picture);
    QVERIFY(!picture.outerOid.isEmpty());
    QCOMPARE(column(m_outer.get(), picture.outerOid, "AORNum"), QStringList{"4294967295"});

    MDBRecordEdition edition;
    edition.version = 1;
    edition.modifyTime = "2026-03-03T03:03:03";
    edition.nodeName = "somewhere-else";
    db->InsertRecord(&picture, &edition);
    QVERIFY(!edition.outerOid.isEmpty());
    QCOMPARE(column(m_outer.get(), edition.outerOid, "node_name"), QStringList{QHostInfo::localHostName()});
    QCOMPARE(column(m_outer.get(), edition.outerOid, "versiontime"), QStringList{""});
    MDataSet set;
    m_outer->QueryData(edition.outerOid, {"versiontime"}, set);
    QVERIFY(set.GetFieldValue("versiontime", 0).IsNull()); // never written
    edition.versionTime = "2026-03-04 05:06:07";
    db->UpdateRecord(&edition);
    QCOMPARE(column(m_outer.get(), edition.outerOid, "versiontime"), QStringList{"2026-03-04T05:06:07"});

    db->DeleteRecord(&type, &picture);
    QVERIFY(column(m_outer.get(), "/picture", "picname").isEmpty());
    QVERIFY(column(m_outer.get(), "/edition", "version").isEmpty());

    // node1 is in both databases: on the outer network its new children go outside.
    MDBRecordNode* node = nullptr;
    db->GetNode(node, "node1");
    std::unique_ptr<MDBRecordNode> owner(node);
    QVERIFY(node && !node->outerOid.isEmpty());
    MDBRecordApplication added;
    added.name = "ADDED";
    db->InsertRecord(node, &added);
    QVERIFY(added.oid.isEmpty() && !added.outerOid.isEmpty());
    QCOMPARE(column(m_outer.get(), "/application,name='ADDED'", "name"), QStringList{"ADDED"});

    // An application of the HMI database only: its children go there.
    MDBRecordApplication local;
    local.oid = innerSite.application("LOCAL");
    MDBRecordPicType localType;
    localType.name = "local type";
    db->InsertRecord(&local, &localType);
    QVERIFY(!localType.oid.isEmpty() && localType.outerOid.isEmpty());
    QCOMPARE(column(inner(), "/pictureType", "name"), QStringList{"local type"});
}

void tst_DbInterface::wrongChildrenAreIgnored()
{
    // Guards against records of the wrong kind being written somewhere odd.
    SiteBuilder b(inner());
    const QString type = b.pictureType(b.application("A"), "t", 1);
    const QString pic = b.picture(type, "p");
    const QString ed = b.edition(pic, 0, "2026-01-01T00:00:00");
    QVERIFY(b.ok());
    auto db = makeInterface(false);
    MDBRecordPicType typeRecord;
    typeRecord.oid = type;
    MDBRecordIcon icon;
    icon.name = "i";
    db->InsertRecord(&typeRecord, &icon);
    QVERIFY(icon.oid.isEmpty());
    MDBRecordEdition edition;
    edition.oid = ed;
    MDBRecordTemplate templ;
    MDBRecordIcon iconParent;
    iconParent.oid = pic;
    MDBRecordPicture pictureRecord;
    pictureRecord.oid = pic;
    db->DeleteRecord(&edition, &pictureRecord);
    db->DeleteRecord(&iconParent, &pictureRecord);
    db->DeleteRecord(&templ, &pictureRecord);
    db->InsertRecord(&edition, &templ);
    db->InsertRecord(nullptr, &templ);
    QCOMPARE(column(inner(), "/picture", "picname"), QStringList{"p"});
    QCOMPARE(column(inner(), "/edition", "version"), QStringList{"0"});
    QCOMPARE(column(inner(), "/mdl_icon", "name"), QStringList());
}

void tst_DbInterface::iconsTemplatesAndTimes()
{
    // Guards against icon and template records losing fields on the way in and out.
    SiteBuilder b(inner());
    const QString iconType = b.iconType("bus", 5);
    const QString templType = b.templateType("styles", "style");
    const QString pic = b.picture(b.pictureType(b.application("A"), "t", 1), "p");
    const QString ed = b.edition(pic, 0, "2026-01-02 03:04:05");
    QVERIFY(b.ok());
    inner()->SetGlobalDefine("UpdateDBWait", "1000");
    auto db = makeInterface(false);
    MDBRecordIconType type;
    type.oid = iconType;
    MDBRecordIcon icon;
    icon.name = "bus bar";
    icon.uuid = "{b}";
    icon.makeTime = "2026-01-01 10:00:00";
    db->InsertRecord(&type, &icon);
    QVERIFY(!icon.oid.isEmpty());
    QCOMPARE(column(inner(), icon.oid, "makeTime"), QStringList{"2026-01-01 10:00:00"});
    icon.member1 = true;
    icon.name = "renamed";
    db->UpdateRecord(&icon);
    QCOMPARE(column(inner(), icon.oid, "member1"), QStringList{"1"});
    QCOMPARE(column(inner(), icon.oid, "member2"), QStringList{"0"});
    inner()->UpdateField(icon.oid, "makeTime", "2027-07-07 07:07:07");
    db->RefreshRecordTime(&icon);
    QCOMPARE(icon.makeTime, QString("2027-07-07 07:07:07"));

    MDBRecordEdition edition;
    edition.oid = ed;
    db->RefreshRecordTime(&edition);
    QCOMPARE(edition.modifyTime, QString("2026-01-02 03:04:05")); // as stored, no "T"

    MDBRecordTemptype templateType;
    templateType.oid = templType;
    MDBRecordTemplate templ;
    templ.name = "blue";
    db->InsertRecord(&templateType, &templ);
    QCOMPARE(column(inner(), templ.oid, "name"), QStringList{"blue"});
    QCOMPARE(column(inner(), templ.oid, "alias"), QStringList{"blue"});
    db->DeleteRecord(&templateType, &templ);
    db->DeleteRecord(&type, &icon);
    QVERIFY(column(inner(), "/template_graph", "alias").isEmpty());
    QVERIFY(column(inner(), "/mdl_icon", "name").isEmpty());
}

void tst_DbInterface::configurationFiles()
{
    // Guards against release times read from the wrong file, and the stored folder cut at the wrong length.
    auto db = makeInterface(false);
    QString time = "unchanged";
    db->UpdateConfigFile("/opt/deployment/etc/mmi/colors.ini", time, false);
    QCOMPARE(time, QString("unchanged"));
    time = "2026-01-01 00:00:00";
    db->UpdateConfigFile("/opt/deployment/etc/mmi/colors.ini", time, true);
    QString read;
    db->UpdateConfigFile("/elsewhere/colors.ini", read, false);
    QCOMPARE(read, QString("2026-01-01 00:00:00"));
    QCOMPARE(column(inner(), "/synFile", "filepath"), QStringList{"deployment/etc/mmi"});

    QString t2 = "t2";
    db->UpdateConfigFile("plain.ini", t2, true);
    QCOMPARE(column(inner(), "/synFile,filename='plain.ini'", "filepath"), QStringList{"plain.ini"});

    const QString dir64 = "deployment/" + QString(53, 'x');
    const QString dir70 = "deployment/" + QString(59, 'y');
    QCOMPARE(dir64.size(), 64);
    QCOMPARE(dir70.size(), 70);
    db->UpdateConfigFile("/root/" + dir64 + "/a.ini", t2, true);
    db->UpdateConfigFile("/root/" + dir70 + "/b.ini", t2, true);
    QCOMPARE(column(inner(), "/synFile,filename='a.ini'", "filepath"), QStringList{dir64});
    QCOMPARE(column(inner(), "/synFile,filename='b.ini'", "filepath"), QStringList{dir70.left(63)});

    Records files;
    db->GetConfigFiles(files.list);
    QCOMPARE(files.names(), (QStringList{"colors.ini", "plain.ini", "a.ini", "b.ini"}));
    QCOMPARE(files.at<MDBRecordConfigFile>(0)->releaseTime, QString("2026-01-01 00:00:00"));
    QCOMPARE(files.at<MDBRecordConfigFile>(0)->filePath, QString("deployment/etc/mmi"));
}

void tst_DbInterface::findPictureType()
{
    // Guards against the editor opening a picture as the wrong type.
    SiteBuilder b(inner());
    const QString app = b.application("A");
    b.picture(b.pictureType(app, "station", 2), "s1");
    b.picture(b.pictureType(app, "feeder", 265), "f1");
    QVERIFY(b.ok());
    auto db = makeInterface(false);
    MDBRecordPicType type;
    QVERIFY(db->FindPictureType("f1", app, &type));
    QCOMPARE(type.name, QString("feeder"));
    QCOMPARE(int(type.picTypeCode), 9);
    MDBRecordPicType untouched;
    untouched.name = "before";
    QVERIFY(!db->FindPictureType("nosuch", app, &untouched));
    QCOMPARE(untouched.name, QString("before"));
    QVERIFY(!db->FindPictureType("f1", QString(), &untouched));
    QVERIFY(!db->FindPictureType("f1", app, nullptr));
}

void tst_DbInterface::picturesByPath()
{
    // Guards against name uniqueness checks looking in the wrong database.
    SiteBuilder in(inner()), out(m_outer.get());
    const QString inApp = in.application("A");
    in.picture(in.pictureType(inApp, "t", 1), "p");
    const QString outApp = out.application("A");
    out.picture(out.pictureType(outApp, "t", 1), "p");
    out.picture(out.pictureType(out.application("B"), "t", 1), "p");
    QVERIFY(in.ok() && out.ok());
    const QString byName = "/application,name='A'/pictureType/picture,picname='p'";
    const QString byId = QString("/application,attr_oid=%1/pictureType/picture,picname='p'");

    auto innerDb = makeInterface(false);
    Records r1;
    innerDb->GetPicturesByPath(byName, {"picname"}, r1.list);
    QCOMPARE(r1.list.size(), 1);
    QVERIFY(!r1.list.first()->oid.isEmpty());
    Records r2;
    innerDb->GetPicturesByPath(byId.arg(inApp) + ":" + byId.arg(outApp), {"picname"}, r2.list);
    QCOMPARE(r2.list.size(), 1);

    auto outerDb = makeInterface(true);
    Records r3;
    outerDb->GetPicturesByPath(byId.arg(inApp) + ":" + byId.arg(outApp), {"picname"}, r3.list);
    QCOMPARE(r3.list.size(), 2);
    QVERIFY(!r3.list.at(0)->outerOid.isEmpty()); // the outer query's first
    QVERIFY(!r3.list.at(1)->oid.isEmpty());
    Records r4;
    outerDb->GetPicturesByPath(byName, {"picname", "AORNum"}, r4.list);
    QCOMPARE(r4.list.size(), 2);
    // An identifier of the HMI database is looked up there only.
    Records r5;
    outerDb->GetPicturesByPath(byId.arg(inApp), {"picname"}, r5.list);
    QCOMPARE(r5.list.size(), 1);
    QCOMPARE(r5.list.first()->oid.isEmpty(), false);
    Records r6;
    outerDb->GetPicturesByPath(":" + byId.arg(outApp), {"picname"}, r6.list);
    QCOMPARE(r6.list.size(), 1);
    Records none;
    innerDb->GetPicturesByPath("/application,name='A'/pictureType", {"name"}, none.list);
    QVERIFY(none.list.isEmpty());
}

void tst_DbInterface::searchByNameAndPinyin()
{
    // Guards against the search box missing pictures by case or Pinyin, or hiding duplicates.
    SiteBuilder in(inner()), out(m_outer.get());
    const QString t1 = in.pictureType(in.application("A"), "t", 1);
    const QString t2 = in.pictureType(in.application("B"), "t", 1);
    in.picture(t1, "ABC");
    in.picture(t1, "ab1");
    in.picture(t1, "XAB");
    in.picture(t1, QString::fromUtf8("北京站"));
    in.picture(t2, "ABC");
    out.picture(out.pictureType(out.application("A"), "t", 1), "ABD");
    QVERIFY(in.ok() && out.ok());
    auto db = makeInterface(false);
    QStringList found{"kept"};
    db->SearchPictures(found, "AB");
    QCOMPARE(found, (QStringList{"kept", "ABC", "ab1", "ABC"}));
    QStringList pinyin;
    db->SearchPictures(pinyin, "BJ");
    QCOMPARE(pinyin, QStringList{QString::fromUtf8("北京站")});
    QStringList lower;
    db->SearchPictures(lower, "ab");
    QVERIFY(lower.isEmpty()); // keys are compared as typed, names in upper case

    auto outerDb = makeInterface(true);
    QStringList both;
    outerDb->SearchPictures(both, "AB");
    QCOMPARE(both, (QStringList{"ABC", "ab1", "ABC", "ABD"}));
}

void tst_DbInterface::searchRespectsPrivileges()
{
    // Guards against the search showing pictures the operator may not see.
    SiteBuilder b(inner());
    const QString t = b.pictureType(b.application("A"), "t", 1);
    b.picture(t, "P low", 1, 0, 0);
    b.picture(t, "P high", 9, 0, 0);
    b.picture(t, "P other area", 1, 0, 7);
    b.picture(t, "P my area", 1, 0, 3);
    QVERIFY(b.ok());
    QVERIFY(MHmiAdmin::AddUser("op", "pw", 5));
    QVERIFY(MHmiAdmin::GrantFunction("op", "MMI", "graph view"));
    QVERIFY(MHmiAdmin::AddResponsibility("op", QHostInfo::localHostName(), 3));
    auto db = makeInterface(false);
    QStringList all;
    db->SearchPictures(all, "P");
    QCOMPARE(all.size(), 4);
    MGraphPrivilege::LogIn("op", "pw");
    QVERIFY(MGraphPrivilege::CurrentUser());
    QStringList allowed;
    db->SearchPictures(allowed, "P");
    QCOMPARE(allowed, (QStringList{"P low", "P my area"}));
    MGraphPrivilege::LogIn("op", "wrong");
    QVERIFY(!MGraphPrivilege::CurrentUser());
    QVERIFY(MGraphPrivilege::IsRefused());
    QStringList again{"kept"};
    db->SearchPictures(again, "P");
    QCOMPARE(again, QStringList{"kept"});
    MGraphPrivilege::LogIn("op", "pw");
    QStringList afterRetry;
    db->SearchPictures(afterRetry, "P");
    QCOMPARE(afterRetry, (QStringList{"P low", "P my area"}));
    MGraphPrivilege::Clear();
    QStringList cleared;
    db->SearchPictures(cleared, "P");
    QCOMPARE(cleared.size(), 4);
}

namespace {

QStringList unsetSearchKeys(MDataAgent* agent)
{
    MDataSet set;
    agent->QueryUnsetKey("picture", "searchInitials", {"picname"}, set);
    QStringList names;
    for (int i = 0; i < set.DataNum(); ++i)
        names << set.GetFieldValue("picname", i).toString();
    return names;
}

} // namespace

void tst_DbInterface::searchByStoredKeysFindsWhatReadingAllFinds()
{
    // Guards against the stored keys finding other pictures, or in another order, than comparing every name would.
    SiteBuilder b(inner());
    const QString t1 = b.pictureType(b.application("A"), "t", 1);
    const QString t2 = b.pictureType(b.application("B"), "t", 1);
    const QStringList names{QString::fromUtf8("北京变电站"), "ABC", "ab1", QString::fromUtf8("长沙东"),
                            QString::fromUtf8("110kV朝阳站#2"), QString::fromUtf8("重庆电厂"), "Beijing",
                            QString::fromUtf8("北京站"), QString::fromUtf8("调压变"), QString::fromUtf8("ｂｊ号"),
                            QString::fromUtf8("straße"), QString::fromUtf8("1号主变"), QString::fromUtf8("厦门东"),
                            QString::fromUtf8("\xF0\xA0\xAE\xB7野站")};
    for (int i = 0; i < names.size(); ++i)
        b.picture(i % 2 ? t2 : t1, names.at(i));
    QVERIFY2(b.ok(), qPrintable(b.errors()));
    auto db = makeInterface(false);
    MPinYinSort* pinyin = MPinYinSort::Instance();
    for (const char* utf8 : {"", "B", "BJ", "BJB", "AB", "ab", "C", "CS", "110K", "1", "STRASSE", "X", "TYB",
                               "\xE5\x8C\x97", "ZZZ"}) {
        const QString key = QString::fromUtf8(utf8);
        QStringList expected;
        for (const QString& name : names) {
            const QString upper = name.toUpper();
            if (upper.startsWith(key) || pinyin->GetPYString(upper.toLocal8Bit()).startsWith(key))
                expected << name;
        }
        QStringList found;
        db->SearchPictures(found, key);
        QCOMPARE(found, expected);
    }
    // The keys were stored, not computed anew on every search.
    QCOMPARE(unsetSearchKeys(inner()), QStringList());
}

void tst_DbInterface::searchFollowsRenamesAndWords()
{
    // Guards against the search finding a picture by its old name after another process renamed it, or by old words.
    SiteBuilder b(inner());
    const QString t = b.pictureType(b.application("A"), "t", 1);
    const QString beijing = b.picture(t, QString::fromUtf8("北京站"));
    b.picture(t, QString::fromUtf8("长沙站"));
    QVERIFY(b.ok());
    auto db = makeInterface(false);
    auto search = [&db](const QString& key) {
        QStringList found;
        db->SearchPictures(found, key);
        return found;
    };
    QCOMPARE(search("BJ"), QStringList{QString::fromUtf8("北京站")});
    MSqlDataAgent otherProcess;
    QVERIFY(otherProcess.Open(inner()->ConnectionSpec(), MSqlDataAgent::OpenMode::MustExist));
    QVERIFY(otherProcess.UpdateField(beijing, "picname", QString::fromUtf8("上海站")));
    QCOMPARE(search("BJ"), QStringList());
    QCOMPARE(search("SH"), QStringList{QString::fromUtf8("上海站")});

    // Another HMI table written keeps the keys; a site word changes them.
    const QString stamp = inner()->SearchKeysStamp("picture");
    QVERIFY(!stamp.isEmpty());
    QVERIFY(MHmiAdmin::AddUser("op", "pw", 5));
    QCOMPARE(search("CS"), QStringList{QString::fromUtf8("长沙站")});
    QCOMPARE(inner()->SearchKeysStamp("picture"), stamp);
    QVERIFY(MHmiAdmin::SetPinyinWord(QString::fromUtf8("长沙"), "zhang sha"));
    QCOMPARE(search("CS"), QStringList());
    QCOMPARE(search("ZS"), QStringList{QString::fromUtf8("长沙站")});
    QVERIFY(inner()->SearchKeysStamp("picture") != stamp);
    QCOMPARE(unsetSearchKeys(inner()), QStringList());
}

void tst_DbInterface::failedLogInRefusesEveryPicture_data()
{
    QTest::addColumn<QStringList>("logIns"); // "user:password", in order
    QTest::addColumn<bool>("clearAtEnd");
    QTest::addColumn<bool>("refused");
    QTest::newRow("nobody logged in") << QStringList() << false << false;
    QTest::newRow("wrong password") << QStringList{"op:wrong"} << false << true;
    QTest::newRow("unknown user") << QStringList{"ghost:pw"} << false << true;
    QTest::newRow("empty password") << QStringList{"op:"} << false << true;
    QTest::newRow("good, then wrong") << QStringList{"op:pw", "op:wrong"} << false << true;
    QTest::newRow("wrong, then good") << QStringList{"op:wrong", "op:pw"} << false << false;
    QTest::newRow("wrong, then cleared") << QStringList{"op:wrong"} << true << false;
}

void tst_DbInterface::failedLogInRefusesEveryPicture()
{
    // Guards against a wrong password showing the operator every picture (the check failing open).
    QFETCH(QStringList, logIns);
    QFETCH(bool, clearAtEnd);
    QFETCH(bool, refused);
    QVERIFY(MHmiAdmin::AddUser("op", "pw", 5));
    QVERIFY(MHmiAdmin::GrantFunction("op", "MMI", "graph view"));
    QVERIFY(MHmiAdmin::AddResponsibility("op", QHostInfo::localHostName(), 0));
    for (const QString& logIn : logIns)
        MGraphPrivilege::LogIn(logIn.section(':', 0, 0), logIn.section(':', 1));
    if (clearAtEnd)
        MGraphPrivilege::Clear();
    QCOMPARE(MGraphPrivilege::IsRefused(), refused);
    // Code 0 in area 0 passes for every user that logged in, and without a user.
    QCOMPARE(MGraphPrivilege::CheckGraphPrivilege(0, 0), !refused);
    QCOMPARE(MGraphPrivilege::CheckGraphPrivilege(-1, 0), !refused);
}

void tst_DbInterface::findPictureApplicationCountsOccurrences()
{
    // Guards against the search pick opening the picture in the wrong application.
    SiteBuilder in(inner()), out(m_outer.get());
    in.picture(in.pictureType(in.application("FIRST"), "t", 1), "AB");
    in.picture(in.pictureType(in.application("HIDDEN"), "t", 1), "AB", 9);
    in.picture(in.pictureType(in.application("SECOND"), "t", 1), "AB");
    out.picture(out.pictureType(out.application("OUTSIDE"), "t", 1), "AB");
    QVERIFY(in.ok() && out.ok());
    auto db = makeInterface(false);
    QCOMPARE(db->FindPictureApplication("AB"), QString("FIRST"));
    QCOMPARE(db->FindPictureApplication("AB:0"), QString("FIRST"));
    QCOMPARE(db->FindPictureApplication("AB:1"), QString("HIDDEN"));
    QCOMPARE(db->FindPictureApplication("AB:3"), QString());
    QCOMPARE(db->FindPictureApplication("nosuch"), QString());

    QVERIFY(MHmiAdmin::AddUser("op", "pw", 5));
    QVERIFY(MHmiAdmin::GrantFunction("op", "MMI", "graph view"));
    MGraphPrivilege::LogIn("op", "pw");
    QCOMPARE(db->FindPictureApplication("AB:1"), QString("SECOND"));
    auto outerDb = makeInterface(true);
    QCOMPARE(outerDb->FindPictureApplication("AB:2"), QString("OUTSIDE"));
    QCOMPARE(outerDb->FindPictureApplication("AB:3"), QString());
}

void tst_DbInterface::privilegeCheckOrder()
{
    // Guards against access checks made before (or despite) the duty manager's refusal.
    QVERIFY(MGraphPrivilege::CheckGraphPrivilege(99, 99));
    SpyUser spy;
    MGraphPrivilege::SetCurrentUser(&spy);
    QVERIFY(!MGraphPrivilege::CheckGraphPrivilege(7, 12));
    QCOMPARE(spy.calls, QStringList{"get_name 31"});

    QVERIFY(MHmiAdmin::AddResponsibility("spy", "*", 12));
    spy.calls.clear();
    spy.allowedFunctions = {"graph view"};
    QVERIFY(MGraphPrivilege::CheckGraphPrivilege(7, 12));
    QCOMPARE(spy.calls, (QStringList{"get_name 31", "set_parameter MMI priv_level 7", "check_access MMI graph view"}));

    // Refused under its own name, allowed under the translated one.
    Translation translation;
    QCoreApplication::installTranslator(&translation);
    spy.calls.clear();
    spy.allowedFunctions = {QString::fromUtf8("画面浏览")};
    QVERIFY(MGraphPrivilege::CheckGraphPrivilege(-2, 12));
    QCOMPARE(spy.calls, (QStringList{"get_name 31", "set_parameter MMI priv_level -2", "check_access MMI graph view",
                                     QString::fromUtf8("check_access MMI 画面浏览")}));
    spy.allowedFunctions.clear();
    QVERIFY(!MGraphPrivilege::CheckGraphPrivilege(1, 0));
    QCoreApplication::removeTranslator(&translation);
    MGraphPrivilege::Clear();
    QVERIFY(!MGraphPrivilege::CurrentUser());
}

TALMER_TEST_MAIN(tst_DbInterface)
#include "tst_dbinterface.moc"
