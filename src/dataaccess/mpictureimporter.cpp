#include "mpictureimporter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <memory>

#include "mdataagent.h"
#include "mdbrecords.h"
#include "mdeploypaths.h"
#include "mfilesynchronize.h"
#include "mgraph.h"
#include "mgraphdoc.h"
#include "miconobj.h"
#include "mpictureimportservice.h"
#include "mvarendbinterface.h"
#include "librarynames.h"
#include "recordlist.h"
#include "recordtime.h"

namespace {

constexpr int kStationType = 2;
constexpr int kMaxStationBytes = 19;

QString withExtension(const QString& xrg, const QString& extension)
{
    return xrg.left(xrg.size() - 3) + extension;
}

// The database interface's imports, carried out here (they need uploads).
class ImportService : public MPictureImportService
{
public:
    void ImportFile(const Context& context, const QString& application, const QString& typeName,
                    const QString& source, int mode, const QString& pictureName, int keep) override
    {
        MPictureImporter(context.db, context.agent, context.outer)
            .ImportFile(application, typeName, source, mode, pictureName, keep);
    }
    void ImportDoc(const Context& context, const QString& application, const QString& typeName, MGraphDoc* doc,
                   int mode, const QString& pictureName) override
    {
        MPictureImporter(context.db, context.agent, context.outer)
            .ImportDoc(application, typeName, doc, mode, pictureName);
    }
    void ImportByType(const Context& context, const QString& application, int typeNumber, const QString& source,
                      int mode, int keep) override
    {
        MPictureImporter(context.db, context.agent, context.outer)
            .ImportByType(application, typeNumber, source, mode, keep);
    }
};

// Registered when the library is loaded; lives until the process ends.
const bool s_registered = [] {
    static ImportService service;
    MPictureImportService::Register(&service);
    return true;
}();

} // namespace

MPictureImporter::MPictureImporter(MVarenDBInterface* db, MDataAgent* agent, bool outer)
    : m_db(db), m_agent(agent), m_outer(outer)
{
}

QString MPictureImporter::PictureNameOf(const QString& source)
{
    const QFileInfo file(source);
    return file.isFile() ? file.absoluteDir().dirName() : file.fileName();
}

QString MPictureImporter::StationName(const QString& pictureName)
{
    // The drawing has 19 bytes for a station name; cut whole characters.
    QString name = pictureName;
    while (name.toLocal8Bit().size() > kMaxStationBytes)
        name.chop(name.size() >= 2 && name.at(name.size() - 1).isLowSurrogate() ? 2 : 1);
    return name;
}

bool MPictureImporter::findPictureType(const QString& application, const QString& typeName, MDBRecordPicType& type,
                                       int& number)
{
    MDataSet set;
    m_agent->QueryData(Library::ApplicationPath(application) + "/pictureType,name=" + Library::Quoted(typeName), {"name", "type"},
                       set);
    if (set.DataNum() == 0)
        return false;
    (m_outer ? type.outerOid : type.oid) = set.DataAt(0).GetId().toString();
    type.name = typeName;
    number = set.GetFieldValue("type", 0).toInt();
    type.picTypeCode = quint8(number);
    return true;
}

void MPictureImporter::findPicture(const QString& application, const QString& pictureName, MDBRecordPicType& type,
                                   RecordList& pictures, Target& target)
{
    target.directory = MDeployPaths::PictureDir(application, pictureName).replace('\\', '/');
    m_db->GetChildren(&type, pictures.out());
    for (MDBRecordBase* pic : pictures) {
        if (!target.picture && pic->name == pictureName)
            target.picture = static_cast<MDBRecordPicture*>(pic);
    }
}

std::unique_ptr<MDBRecordPicture> MPictureImporter::chooseVersion(MDBRecordPicType& type, const QString& pictureName,
                                                                  int mode, RecordList& editions, Target& target)
{
    std::unique_ptr<MDBRecordPicture> created;
    if (!target.picture) {
        created = std::make_unique<MDBRecordPicture>();
        created->name = pictureName;
        m_db->InsertRecord(&type, created.get());
        target.picture = created.get();
        target.isNew = true;
    }
    m_db->GetChildren(target.picture, editions.out());
    for (MDBRecordBase* e : editions)
        target.latest = qMax(target.latest, static_cast<MDBRecordEdition*>(e)->version);
    target.version = (target.isNew || mode == 0) ? 0 : (mode == 2 ? target.latest : target.latest + 1);
    QDir().mkpath(target.directory);
    target.file = target.directory + "/" + QString::number(target.version) + ".xrg";
    return created;
}

void MPictureImporter::writeForms(MGraphDoc& doc, const Target& target)
{
    doc.WriteDataFile(withExtension(target.file, "brg"));
    doc.UpdateDataDefine();
    doc.WriteDynamicDataFile(withExtension(target.file, "fg"));
}

void MPictureImporter::recordEditions(const RecordList& editions, const Target& target, int mode, int& keep)
{
    if (!target.isNew && mode == 1) {
        MDBRecordEdition edition;
        edition.version = target.version;
        edition.modifyTime = RecordTime::Now();
        m_db->InsertRecord(target.picture, &edition);
        --keep;
        return;
    }
    const QString written = QFileInfo(target.file).lastModified().toString(Qt::ISODate);
    for (MDBRecordBase* base : editions) {
        auto* e = static_cast<MDBRecordEdition*>(base);
        if (((target.isNew || mode == 0) && e->version == 0) || (mode == 2 && e->version == target.latest)) {
            e->modifyTime = written;
            m_db->UpdateRecord(e);
        }
    }
}

void MPictureImporter::keepNewest(const QString& application, const QString& pictureName,
                                  const RecordList& editions, const Target& target, int keep)
{
    if (keep <= 1 || editions.size() <= keep + 1)
        return;
    const QString serverDir = "pic/" + application + "/" + pictureName;
    MFileSynchronize* sync = MFileSynchronize::Instance();
    const QStringList files = sync->ListServerDir(serverDir, true);
    if (files.size() <= 3)
        return;
    QList<int> released;
    for (MDBRecordBase* base : editions) {
        const int v = static_cast<MDBRecordEdition*>(base)->version;
        if (v > 0)
            released << v;
    }
    std::sort(released.begin(), released.end());
    while (released.size() > keep)
        released.removeFirst();
    QStringList kept{"0"};
    for (int v : std::as_const(released))
        kept << QString::number(v);
    for (const QString& file : files) {
        if (!kept.contains(file.section('.', 0, -2)))
            sync->RemoveFile(serverDir + "/" + file, true);
    }
    for (MDBRecordBase* base : editions) {
        const int v = static_cast<MDBRecordEdition*>(base)->version;
        if (v > 0 && !released.contains(v))
            m_db->DeleteRecord(target.picture, base);
    }
}

void MPictureImporter::renameStation(MGraphDoc& doc, const QString& pictureName)
{
    const QString station = StationName(pictureName);
    const QString old = doc.GetGraphStation(1);
    doc.SetGraphStation(station, 1);
    doc.ReplaceString(doc.GetGraph()->GetObjList(), old, station, 3);
    for (MDrawObj* obj : MGraph::WithMembers(doc.GetGraph()->GetObjList())) {
        if (obj->GetType() != MDrawObj::ObjIcon)
            continue;
        auto* icon = static_cast<MIconObj*>(obj);
        if (icon->GetCustomType() == 2 && !old.isEmpty())
            icon->SetText(icon->GetText().replace("'" + old + "'", "'" + station + "'"));
        else if (icon->GetCustomType() == 1)
            icon->SetStationName(station);
    }
    doc.SetHasFillModel(false);
}

void MPictureImporter::store(const Target& target)
{
    MFileSynchronize* sync = MFileSynchronize::Instance();
    for (const QString& extension : {QStringLiteral("xrg"), QStringLiteral("brg"), QStringLiteral("fg")})
        sync->SaveFile(withExtension(target.file, extension), QString());
}

void MPictureImporter::ImportFile(const QString& application, const QString& typeName, const QString& source,
                                  int mode, const QString& pictureName, int keep)
{
    MDBRecordPicType type;
    int typeNumber = 0;
    if (!findPictureType(application, typeName, type, typeNumber))
        return;
    const QString name = pictureName.isEmpty() ? PictureNameOf(source) : pictureName;
    if (name.isEmpty())
        return;
    RecordList pictures, editions;
    Target target;
    findPicture(application, name, type, pictures, target);

    MGraphDoc doc(GraphStatusEdit);
    doc.ReadXmlFile(source);
    if (doc.GetGraphTypeID() != typeNumber) {
        QString typeText = typeName;
        doc.SetGraphType(typeText, typeNumber);
        doc.WriteXmlFile(source);
    }
    const std::unique_ptr<MDBRecordPicture> created = chooseVersion(type, name, mode, editions, target);
    if (QFileInfo(source).absoluteFilePath() != QFileInfo(target.file).absoluteFilePath()) {
        QFile::remove(target.file);
        QFile::copy(source, target.file);
    }
    const QString sourceFolder = QFileInfo(source).absoluteDir().dirName();
    if (doc.GetGraphTypeID() == kStationType && typeNumber == kStationType
        && (pictureName.isEmpty() || sourceFolder != pictureName)) {
        renameStation(doc, name);
        doc.WriteXmlFile(target.file);
    }
    writeForms(doc, target);
    recordEditions(editions, target, mode, keep);
    keepNewest(application, name, editions, target, keep);
    store(target);
}

void MPictureImporter::ImportDoc(const QString& application, const QString& typeName, MGraphDoc* doc, int mode,
                                 const QString& pictureName)
{
    MDBRecordPicType type;
    int typeNumber = 0;
    if (!doc || pictureName.isEmpty() || !findPictureType(application, typeName, type, typeNumber))
        return;
    RecordList pictures, editions;
    Target target;
    findPicture(application, pictureName, type, pictures, target);
    const std::unique_ptr<MDBRecordPicture> created = chooseVersion(type, pictureName, mode, editions, target);
    if (doc->GetGraphTypeID() != typeNumber) {
        QString typeText = typeName;
        doc->SetGraphType(typeText, typeNumber);
    }
    doc->WriteXmlFile(target.file);
    writeForms(*doc, target);
    int keep = 0;
    recordEditions(editions, target, mode, keep);
    store(target);
}

void MPictureImporter::ImportByType(const QString& application, int typeNumber, const QString& source, int mode,
                                    int keep)
{
    const QString name = PictureNameOf(source);
    MDataSet apps;
    m_agent->QueryData(Library::ApplicationPath(application), {"name"}, apps);
    if (apps.DataNum() == 0)
        return;
    MDBRecordApplication app;
    (m_outer ? app.outerOid : app.oid) = apps.DataAt(0).GetId().toString();
    app.name = application;

    // The type of an existing picture of that name, else the environment's name
    // for the type number.
    QString typeName;
    RecordList types;
    m_db->GetChildren(&app, types.out());
    for (MDBRecordBase* type : types) {
        RecordList pictures;
        m_db->GetChildren(type, pictures.out());
        for (MDBRecordBase* pic : pictures) {
            if (typeName.isEmpty() && pic->name == name)
                typeName = type->name;
        }
    }
    if (typeName.isEmpty()) {
        MDataSet definitions;
        m_agent->QueryData("/envPicTypeDef,id=" + QString::number(typeNumber), {"name", "alias"}, definitions);
        for (int i = 0; i < definitions.DataNum() && typeName.isEmpty(); ++i) {
            if (definitions.GetFieldValue("alias", i).toString() == "vk2800")
                typeName = definitions.GetFieldValue("name", i).toString();
        }
        if (typeName.isEmpty() && definitions.DataNum() > 0)
            typeName = definitions.GetFieldValue("name", 0).toString();
    }
    if (typeName.isEmpty()) {
        std::printf("===pic (%s) type(%d)'s name is empty!\n", name.toLocal8Bit().constData(), typeNumber);
        std::fflush(stdout);
        return;
    }
    MDataSet existing;
    m_agent->QueryData(Library::ApplicationPath(application) + "/pictureType,name=" + Library::Quoted(typeName), {"name"}, existing);
    if (existing.DataNum() == 0) {
        const QVariant id = m_agent->InsertData(apps.DataAt(0).GetId(), "pictureType");
        m_agent->UpdateField(id, "name", typeName);
        m_agent->UpdateField(id, "type", QString::number(typeNumber));
    }
    ImportFile(application, typeName, source, mode, QString(), keep);
}
