#include "mpictureimporter.h"

#include <QDateTime>
#include <QFileInfo>
#include <cstdio>

#include "librarynames.h"
#include "mdataagent.h"
#include "mdataagenttransaction.h"
#include "mdbaccesshelper.h"
#include "mdbrecords.h"
#include "mdeploypaths.h"
#include "mgraph.h"
#include "mgraphdoc.h"
#include "miconobj.h"
#include "mpictureimportservice.h"
#include "mvarendbinterface.h"
#include "pictureretention.h"
#include "pictureversionfiles.h"
#include "recordlist.h"
#include "recordtime.h"

namespace {

constexpr int kStationType = 2;
constexpr int kMaxStationBytes = 19;
// Each retry follows another import that took the name or version first.
constexpr int kClaimAttempts = 8;

MPictureImporter::Result s_lastResult;

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

// The picture and version an import claimed, with the records it read.
struct MPictureImporter::Target
{
    RecordList pictures; // of the picture type
    RecordList editions; // of the picture, before the import
    std::unique_ptr<MDBRecordPicture> created;
    std::unique_ptr<MDBRecordEdition> released;
    MDBRecordPicture* picture = nullptr; // in pictures, or created
    bool isNew = false;
    int latest = 0;
    int version = 0;
    QString file; // the version's ".xrg"
};

MPictureImporter::MPictureImporter(MVarenDBInterface* db, MDataAgent* agent, bool outer)
    : m_db(db), m_agent(agent), m_outer(outer)
{
}

MPictureImporter::~MPictureImporter() = default;

MPictureImporter::Result MPictureImporter::LastResult()
{
    return s_lastResult;
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

bool MPictureImporter::fail(const QString& line)
{
    s_lastResult.ok = false;
    s_lastResult.errors << line;
    return false;
}

QString MPictureImporter::idOf(const MDBRecordBase* record) const
{
    return m_outer ? record->outerOid : record->oid;
}

bool MPictureImporter::findPictureType(const QString& application, const QString& typeName, MDBRecordPicType& type,
                                       int& number)
{
    MDataSet set;
    m_agent->QueryData(Library::ApplicationPath(application) + "/pictureType,name=" + Library::Quoted(typeName),
                       {"name", "type"}, set);
    if (set.DataNum() == 0)
        return fail(QString("no picture type '%1' in application '%2'").arg(typeName, application));
    (m_outer ? type.outerOid : type.oid) = set.DataAt(0).GetId().toString();
    type.name = typeName;
    number = set.GetFieldValue("type", 0).toInt();
    type.picTypeCode = quint8(number);
    return true;
}

// The picture type of the application that holds a picture of that name;
// empty when none does. Picture folders are per application, so the name is
// taken for every type of it.
QString MPictureImporter::typeHolding(const QString& application, const QString& name)
{
    MDataSet pictures;
    m_agent->QueryData(Library::ApplicationPath(application) + "/pictureType/picture,picname=" + Library::Quoted(name),
                       {"picname"}, pictures);
    for (int i = 0; i < pictures.DataNum(); ++i) {
        MDataSet type;
        m_agent->QueryChild(pictures.DataAt(i).GetId(), "MemberOfpictureType", {"name"}, type);
        if (type.DataNum() > 0)
            return type.GetFieldValue("name", 0).toString();
    }
    return {};
}

// What a competing import changes: the pictures of that name and their latest versions.
QString MPictureImporter::libraryState(const QString& application, const QString& name)
{
    MDataSet pictures;
    m_agent->QueryData(Library::ApplicationPath(application) + "/pictureType/picture,picname=" + Library::Quoted(name),
                       {"picname"}, pictures);
    QStringList state;
    for (int i = 0; i < pictures.DataNum(); ++i) {
        MDataSet editions;
        m_agent->QueryChild(pictures.DataAt(i).GetId(), "history_edition", {"version"}, editions);
        int latest = -1;
        for (int e = 0; e < editions.DataNum(); ++e)
            latest = qMax(latest, editions.GetFieldValue("version", e).toInt());
        state << pictures.DataAt(i).GetId().toString() + ":" + QString::number(latest);
    }
    return state.join(',');
}

bool MPictureImporter::claimVersion(const Request& request, Target& target)
{
    if (!target.isNew && request.mode == 1) {
        target.released = std::make_unique<MDBRecordEdition>();
        target.released->version = target.version;
        target.released->modifyTime = RecordTime::Now();
        m_db->InsertRecord(target.picture, target.released.get());
        return !idOf(target.released.get()).isEmpty();
    }
    // The edition to be rewritten is written now: a concurrent import of the
    // same version waits for this one, and a database that refuses writes
    // shows it before any file is touched.
    for (const MDBRecordBase* edition : target.editions) {
        const int v = static_cast<const MDBRecordEdition*>(edition)->version;
        const bool rewritten = ((target.isNew || request.mode == 0) && v == 0) || (request.mode == 2 && v == target.latest);
        if (rewritten && !m_agent->UpdateField(idOf(edition), "modifytime", RecordTime::Now()))
            return false;
    }
    return true;
}

bool MPictureImporter::claimOnce(const Request& request, MDBRecordPicType& type, Target& target)
{
    m_db->GetChildren(&type, target.pictures.out());
    for (MDBRecordBase* pic : target.pictures) {
        if (!target.picture && pic->name == request.name)
            target.picture = static_cast<MDBRecordPicture*>(pic);
    }
    if (!target.picture) {
        target.created = std::make_unique<MDBRecordPicture>();
        target.created->name = request.name;
        m_db->InsertRecord(&type, target.created.get());
        if (idOf(target.created.get()).isEmpty())
            return false;
        target.picture = target.created.get();
        target.isNew = true;
    }
    // A picture without editions gets its draft here.
    m_db->GetChildren(target.picture, target.editions.out());
    for (const MDBRecordBase* e : target.editions) {
        if (idOf(e).isEmpty())
            return false;
        target.latest = qMax(target.latest, static_cast<const MDBRecordEdition*>(e)->version);
    }
    const int mode = request.mode;
    target.version = (target.isNew || mode == 0) ? 0 : (mode == 2 ? target.latest : target.latest + 1);
    target.file = MDeployPaths::PictureDir(request.application, request.name).replace('\\', '/') + "/"
        + QString::number(target.version) + ".xrg";
    return claimVersion(request, target);
}

bool MPictureImporter::claim(const Request& request, MDBRecordPicType& type, std::unique_ptr<Target>& target,
                             std::unique_ptr<MDataAgentTransaction>& transaction)
{
    for (int attempt = 0; attempt < kClaimAttempts; ++attempt) {
        transaction = std::make_unique<MDataAgentTransaction>(m_agent);
        if (!transaction->IsActive())
            return fail("the database refused the write: it cannot be changed (read-only or unreachable)");
        const QString owner = typeHolding(request.application, request.name);
        if (!owner.isEmpty() && owner != request.typeName)
            return fail(QString("picture name '%1' is taken by picture type '%2' of application '%3'")
                            .arg(request.name, owner, request.application));
        const QString before = libraryState(request.application, request.name);
        target = std::make_unique<Target>();
        if (claimOnce(request, type, *target))
            return true;
        transaction->Rollback();
        // Unchanged: the database refused for its own reasons. Changed: another
        // import took the name or the version first; try again after it.
        if (libraryState(request.application, request.name) == before)
            return fail(QString("the database refused the write of picture '%1' (read-only or failing)").arg(request.name));
    }
    return fail(QString("other imports of picture '%1' kept taking the next version; gave up after %2 attempts")
                    .arg(request.name)
                    .arg(kClaimAttempts));
}

void MPictureImporter::recordTimes(const Target& target, int mode)
{
    const QString written = QFileInfo(target.file).lastModified().toString(Qt::ISODate);
    for (MDBRecordBase* base : target.editions) {
        auto* e = static_cast<MDBRecordEdition*>(base);
        if (((target.isNew || mode == 0) && e->version == 0) || (mode == 2 && e->version == target.latest)) {
            e->modifyTime = written;
            m_db->UpdateRecord(e);
        }
    }
}

// Claims the picture and version, writes and uploads the files, and records
// the version last. copySource: the file to copy as the drawing, or empty to
// write doc.
bool MPictureImporter::store(const Request& request, MDBRecordPicType& type, MGraphDoc& doc, const QString& copySource)
{
    std::unique_ptr<Target> target;
    std::unique_ptr<MDataAgentTransaction> transaction;
    if (!claim(request, type, target, transaction))
        return false;
    const bool releasing = !target->isNew && request.mode == 1;
    PictureRetention retention(request.application, request.name);
    if (request.keep > 0)
        retention.Plan(target->editions, releasing ? request.keep - 1 : request.keep); // the new one counts
    PictureVersionFiles files(target->file);
    QString error;
    if (!files.Prepare(&error) || !files.WriteDrawing(doc, copySource, &error) || !files.WriteForms(doc, &error))
        return fail(error);
    const QStringList lost = files.Upload();
    if (!lost.isEmpty()) {
        s_lastResult.errors << lost;
        return false;
    }
    recordTimes(*target, request.mode);
    retention.RetireRecords(*m_db, target->picture, target->editions);
    if (!transaction->Commit())
        return fail(QString("the database refused to record version %1 of picture '%2'").arg(target->version).arg(request.name));
    files.Keep();
    s_lastResult.warnings = retention.RemoveFiles();
    s_lastResult.version = target->version;
    s_lastResult.ok = true;
    return true;
}

void MPictureImporter::RenameStation(MGraphDoc& doc, const QString& stationName)
{
    const QString station = StationName(stationName);
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

void MPictureImporter::ImportFile(const QString& application, const QString& typeName, const QString& source,
                                  int mode, const QString& pictureName, int keep)
{
    const QString name = pictureName.isEmpty() ? PictureNameOf(source) : pictureName;
    s_lastResult = Result{false, name, -1, {}, {}};
    MDBRecordPicType type;
    int typeNumber = 0;
    if (!findPictureType(application, typeName, type, typeNumber))
        return;
    const QString problem = MDbAccessHelper::NameProblem(name, MDbAccessHelper::PictureName);
    if (!problem.isEmpty()) {
        fail(QString("'%1' cannot name a picture: %2").arg(name, problem));
        return;
    }
    // The source is only read; what changes is written to the version's file.
    MGraphDoc doc(GraphStatusEdit);
    if (!QFileInfo(source).isFile() || !doc.ReadXmlFile(source)) {
        fail("cannot read the drawing " + source);
        return;
    }
    bool changed = false;
    if (doc.GetGraphTypeID() != typeNumber) {
        QString typeText = typeName;
        doc.SetGraphType(typeText, typeNumber);
        changed = true;
    }
    const QString sourceFolder = QFileInfo(source).absoluteDir().dirName();
    if (doc.GetGraphTypeID() == kStationType && typeNumber == kStationType
        && (pictureName.isEmpty() || sourceFolder != pictureName)) {
        RenameStation(doc, name);
        changed = true;
    }
    store({application, typeName, name, mode, keep}, type, doc, changed ? QString() : source);
}

void MPictureImporter::ImportDoc(const QString& application, const QString& typeName, MGraphDoc* doc, int mode,
                                 const QString& pictureName)
{
    s_lastResult = Result{false, pictureName, -1, {}, {}};
    MDBRecordPicType type;
    int typeNumber = 0;
    if (!doc || pictureName.isEmpty()) {
        fail("no drawing or no picture name to import");
        return;
    }
    if (!findPictureType(application, typeName, type, typeNumber))
        return;
    if (doc->GetGraphTypeID() != typeNumber) {
        QString typeText = typeName;
        doc->SetGraphType(typeText, typeNumber);
    }
    store({application, typeName, pictureName, mode, 0}, type, *doc, QString());
}

void MPictureImporter::ImportByType(const QString& application, int typeNumber, const QString& source, int mode,
                                    int keep)
{
    const QString name = PictureNameOf(source);
    s_lastResult = Result{false, name, -1, {}, {}};
    MDataSet apps;
    m_agent->QueryData(Library::ApplicationPath(application), {"name"}, apps);
    if (apps.DataNum() == 0) {
        fail(QString("no application '%1'").arg(application));
        return;
    }
    QString typeName = typeHolding(application, name);
    if (typeName.isEmpty()) {
        // The environment's name for the type number.
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
        fail(QString("picture type %1 has no name").arg(typeNumber));
        return;
    }
    MDataSet existing;
    m_agent->QueryData(Library::ApplicationPath(application) + "/pictureType,name=" + Library::Quoted(typeName),
                       {"name"}, existing);
    if (existing.DataNum() == 0) {
        MDataAgentTransaction transaction(m_agent);
        const QVariant id = m_agent->InsertData(apps.DataAt(0).GetId(), "pictureType");
        m_agent->UpdateField(id, "name", typeName);
        m_agent->UpdateField(id, "type", QString::number(typeNumber));
        if (!transaction.Commit()) {
            fail(QString("the database refused to add picture type '%1'").arg(typeName));
            return;
        }
    }
    ImportFile(application, typeName, source, mode, QString(), keep);
}
