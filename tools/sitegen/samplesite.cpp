#include "samplesite.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHostInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QUuid>

#include "brelmmidataagent.h"
#include "mabstractdbinterface.h"
#include "mdbinterfaceholder.h"
#include "mdbrecords.h"
#include "mdeploypaths.h"
#include "mdrawobj.h"
#include "mfilesynchronize.h"
#include "mgraph.h"
#include "mgraphdataaccess.h"
#include "mgraphdoc.h"
#include "mhmiadmin.h"
#include "micontemplate.h"
#include "mtextobj.h"
#include "recordlist.h"
#include "safefile.h"
#include "sitebuilder.h"

namespace SiteGen {

namespace {

const QString kSamples = QStringLiteral(":/graphengine/samples/");

struct PictureType
{
    const char* name;
    int code;
};
const PictureType kPictureTypes[] = {{"station", 2}, {"feeder", 9}, {"overview", 8}};

struct Application
{
    const char* name;
    const char* description;
};
const Application kApplications[] = {{"SCADA", "数据采集与监控"}, {"DMS", "配电管理"}, {"PAS", "高级应用"}};

struct Picture
{
    const char* application;
    const char* type;
    const char* name;
    const char* sample;
    int inPrivCode; // the operator has level 1
    int area;       // the operator answers for area 1
};
const Picture kPictures[] = {
    {"SCADA", "station", "北京变电站", "pic/beijing_station.xrg", 1, 1},
    {"SCADA", "station", "长沙变电站", "pic/beijing_station.xrg", 1, 2},
    {"SCADA", "station", "Riverside 110kV", "pic/beijing_station.xrg", 3, 1},
    {"SCADA", "feeder", "城东线", "pic/chengdong_feeder.xrg", 1, 1},
    {"SCADA", "feeder", "城西线", "pic/chengdong_feeder.xrg", 1, 1},
    {"SCADA", "feeder", "Line 12", "pic/chengdong_feeder.xrg", 1, 2},
    {"SCADA", "overview", "全网总览", "pic/overview.xrg", 0, 0},
    {"DMS", "feeder", "城东线", "pic/chengdong_feeder.xrg", 1, 1},
    {"DMS", "feeder", "开发区线", "pic/chengdong_feeder.xrg", 2, 1},
    {"DMS", "overview", "配网总览", "pic/overview.xrg", 0, 0},
    {"PAS", "overview", "全网总览", "pic/overview.xrg", 0, 0},
};

// The four categories: 0 device, 1 sensor point, 2 background, 3 equipment device.
int categoryOf(const QString& catalog)
{
    if (catalog == "protection")
        return 1;
    if (catalog == "frame")
        return 2;
    if (catalog == "station" || catalog == "busbar" || catalog == "line")
        return 3;
    return 0;
}

QString isoTime(const QDateTime& time)
{
    return time.toString(Qt::ISODate);
}

bool writeFile(const QString& path, const QByteArray& content)
{
    return QDir().mkpath(QFileInfo(path).absolutePath()) && SafeFile::WriteFile(path, content);
}

QByteArray sampleContent(const QString& relative)
{
    QFile file(kSamples + relative);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString randomPassword()
{
    // No look-alike characters: the password is read off a terminal.
    const QString alphabet = QStringLiteral("abcdefghjkmnpqrstuvwxyzABCDEFGHJKMNPQRSTUVWXYZ23456789");
    QString password;
    for (int i = 0; i < 14; ++i)
        password += alphabet.at(QRandomGenerator::system()->bounded(int(alphabet.size())));
    return password;
}

} // namespace

bool SampleSite::fail(const QString& message)
{
    if (m_error.isEmpty())
        m_error = message;
    return false;
}

bool SampleSite::build()
{
    QTemporaryDir work;
    if (!work.isValid())
        return fail("cannot make a scratch folder: " + work.errorString());
    m_work = work.path();

    SiteBuilder site(BrelMmiDataAgent::Instance());
    // Inserts are confirmed at once; the editor shows every tree command.
    site.globalDefine("UpdateDBWait", "0");
    site.globalDefine("TreeActions", "0");
    site.globalDefine("local_icon", "0");
    for (const PictureType& type : kPictureTypes)
        site.pictureTypeDefinition(type.code, type.name, "vk2800");
    for (const Application& application : kApplications) {
        const QString app = site.application(application.name, application.description);
        for (const PictureType& type : kPictureTypes) {
            if (QString(application.name) != "PAS" || type.code == 8)
                site.pictureType(app, type.name, type.code);
        }
    }
    if (!site.ok())
        return fail("cannot write the library: " + site.errors());
    return addDictionary() && addPictures() && addIcons() && addTemplates() && addUsers() && addOptionFiles();
}

bool SampleSite::addDictionary()
{
    bool ok = MHmiAdmin::AddNode(QHostInfo::localHostName());
    for (const Application& application : kApplications)
        ok = ok && MHmiAdmin::AddApplication(application.name, QString::fromUtf8(application.description), true);
    for (const PictureType& type : kPictureTypes)
        ok = ok && MHmiAdmin::AddPictureType(type.name, type.code);
    ok = ok && MHmiAdmin::SetTranslation("数据采集与监控", "Supervisory control")
         && MHmiAdmin::SetTranslation("配电管理", "Distribution management")
         && MHmiAdmin::SetTranslation("高级应用", "Network analysis")
         && MHmiAdmin::SetTranslation("graph view", "图形浏览", "MGraphPrivilege")
         // 长 reads "zhang" alone; in the city's name it is "chang".
         && MHmiAdmin::SetPinyinWord("长沙", "chang sha");
    return ok || fail("cannot write the HMI dictionary");
}

bool SampleSite::addPictures()
{
    QStringList equipmentDone;
    for (const Picture& p : kPictures) {
        const QString application = p.application;
        const QString name = QString::fromUtf8(p.name);
        if (!addPicture(application, p.type, name, p.sample) || !datePictureVersions(application, name))
            return false;
        if (!MGraphDataAccess::Instance()->SetGraphInfo(application, name, p.inPrivCode, p.area, p.inPrivCode))
            return fail("cannot set the privileges of " + name);
        if (!equipmentDone.contains(p.sample) && !addEquipment(p.sample))
            return false;
        equipmentDone << p.sample;
    }
    return true;
}

// A draft and two released versions, each drawing marked with its revision.
bool SampleSite::addPicture(const QString& application, const QString& type, const QString& name,
                            const QString& sample)
{
    MAbstractDBInterface* db = MDBInterfaceHolder::Instance()->GetInterface();
    const QString folder = m_work + "/" + QFileInfo(sample).completeBaseName();
    QDir().mkpath(folder);
    const int modes[] = {0, 1, 1};
    for (int revision = 0; revision < 3; ++revision) {
        MGraphDoc doc;
        if (!doc.ReadXmlFile(kSamples + sample))
            return fail("cannot read the sample drawing " + sample);
        auto* mark = new MTextObj;
        mark->SetText(QString("修订 %1").arg(revision));
        mark->SetPoints({QPointF(10, 10), QPointF(120, 30)});
        doc.GetGraph()->AddObject(mark);
        const QString file = QString("%1/%2.xrg").arg(folder).arg(revision);
        if (!doc.WriteXmlFile(file))
            return fail("cannot write " + file);
        db->ImportPictureFile(application, type, file, modes[revision], name, 0);
    }
    if (MGraphDataAccess::Instance()->GetGraphLatestVersion(application, name) != 2)
        return fail(QString("the import of %1/%2 did not make versions 1 and 2").arg(application, name));
    return true;
}

// Spreads the versions over the past month so that questions by time have
// different answers: version 1 a month ago, version 2 ten days ago, the draft
// yesterday.
bool SampleSite::datePictureVersions(const QString& application, const QString& picture)
{
    RecordList editions;
    if (!MGraphDataAccess::Instance()->PictureEditions(application, picture, editions))
        return fail("cannot find the picture " + picture);
    MAbstractDBInterface* db = MDBInterfaceHolder::Instance()->GetInterface();
    const QDateTime now = QDateTime::currentDateTime();
    const int daysAgo[] = {1, 30, 10};
    for (MDBRecordBase* base : editions) {
        auto* edition = static_cast<MDBRecordEdition*>(base);
        if (edition->version < 0 || edition->version > 2)
            continue;
        edition->modifyTime = isoTime(now.addDays(-daysAgo[edition->version]));
        db->UpdateRecord(edition);
    }
    return true;
}

bool SampleSite::addEquipment(const QString& sample)
{
    MGraphDoc doc;
    if (!doc.ReadXmlFile(kSamples + sample))
        return fail("cannot read the sample drawing " + sample);
    for (const MDrawObj* obj : MGraph::WithMembers(doc.GetGraph()->GetObjList())) {
        if (!obj->GetPath().isEmpty() && !obj->GetOid().isEmpty() && !MHmiAdmin::SetEquipment(obj->GetPath(), obj->GetOid()))
            return fail("cannot write the equipment table");
    }
    return true;
}

bool SampleSite::addIcons()
{
    QFile manifestFile(kSamples + "manifest.json");
    if (!manifestFile.open(QIODevice::ReadOnly))
        return fail("the engine carries no sample manifest");
    const QJsonArray icons = QJsonDocument::fromJson(manifestFile.readAll()).object().value("icons").toArray();
    SiteBuilder site(BrelMmiDataAgent::Instance());
    MFileSynchronize* sync = MFileSynchronize::Instance();
    const QString made = isoTime(QDateTime::currentDateTime().addDays(-1));
    // The samples have no background; a frame made from the station icon is one.
    QJsonArray all = icons;
    for (const QJsonValue& value : icons) {
        if (value["catalog"].toString() == "station") {
            QJsonObject frame = value.toObject();
            frame["catalog"] = "frame";
            frame["catId"] = 40;
            frame["name"] = "背景框";
            frame["uuid"] = QUuid::createUuidV5(QUuid(), QStringLiteral("frame")).toString();
            all.append(frame);
        }
    }
    for (const QJsonValue& value : std::as_const(all)) {
        const QString catalog = value["catalog"].toString();
        const QString uuid = value["uuid"].toString();
        const QString type =
            site.iconType(catalog, value["catId"].toInt(), value["shapeType"].toInt(), categoryOf(catalog));
        const bool common = catalog == "breaker" || catalog == "disconnector";
        site.icon(type, value["name"].toString(), uuid, made, true, common);

        MIconTemplate icon;
        const QString local = MDeployPaths::IconFile(catalog, uuid);
        QDir().mkpath(QFileInfo(local).absolutePath());
        if (!icon.ReadXmlFile(kSamples + value["file"].toString()))
            return fail("cannot read the sample icon " + value["file"].toString());
        icon.SetName(value["name"].toString());
        icon.SetUuid(QUuid(uuid));
        icon.SetCatalogName(catalog);
        icon.SetCatalogId(value["catId"].toInt());
        if (!icon.WriteXmlFile(local))
            return fail("cannot write " + local);
        if (sync->SaveFile(local) < 0)
            return fail("cannot store " + local + " on the file server");
    }
    return site.ok() || fail("cannot write the icon library: " + site.errors());
}

bool SampleSite::addTemplates()
{
    SiteBuilder site(BrelMmiDataAgent::Instance());
    const QString type = site.templateType("style_template", "style");
    for (const QString& name : {QStringLiteral("出线间隔"), QStringLiteral("标题栏")}) {
        site.templateItem(type, name);
        const QString local = MDeployPaths::TemplateFile("style", name);
        if (!writeFile(local, sampleContent("template/style/" + name + ".xtp")))
            return fail("cannot write " + local);
        if (MFileSynchronize::Instance()->SaveFile(local) < 0)
            return fail("cannot store " + local + " on the file server");
    }
    return site.ok() || fail("cannot write the template library: " + site.errors());
}

bool SampleSite::addUsers()
{
    struct User
    {
        const char* name;
        int level;
        int area; // 0: every area
    };
    for (const User& user : {User{"admin", 9, 0}, User{"operator", 1, 1}}) {
        const QString password = randomPassword();
        if (!MHmiAdmin::AddUser(user.name, password, user.level)
            || !MHmiAdmin::GrantFunction(user.name, "MMI", "graph view")
            || !MHmiAdmin::AddResponsibility(user.name, "*", user.area))
            return fail(QString("cannot add the user %1").arg(user.name));
        m_users << qMakePair(QString(user.name), password);
    }
    return true;
}

bool SampleSite::addOptionFiles()
{
    const QString options = MDeployPaths::OptionDir() + "/" + OptionFileName();
    const QString lists = MDeployPaths::OptionDir() + "/" + ListFileName();
    const bool written = writeFile(options, "# graph handling of this workstation\n"
                                            "inc_ver=1\n"
                                            "white_on=1\n"
                                            "black_on=1\n"
                                            "daemon_timer=5\n"
                                            "svg_export=1\n"
                                            "svg_exdir=/var/tmp/svg\n"
                                            "status,open,1\n"
                                            "cr_decision,open,closed,2\n")
                         && writeFile(lists, "# graphs that are noted; \"!\" blacks one\n"
                                             "SCADA 北京变电站\n"
                                             "DMS 城东线\n"
                                             "3\n"
                                             "!DMS 开发区线\n");
    if (!written)
        return fail("cannot write the option files");
    MFileSynchronize* sync = MFileSynchronize::Instance();
    if (sync->SaveConfigFile(options, QString()) < 0 || sync->SaveConfigFile(lists, QString()) < 0)
        return fail("cannot store the option files on the file server");
    return true;
}

} // namespace SiteGen
