#include "mvarendbinterface.h"

#include <QDateTime>
#include <QHostInfo>
#include <QThread>

#include "brelmmidataagent.h"
#include "mdataagenttransaction.h"
#include "mdbrecords.h"
#include "mgraphprivilege.h"
#include "mpictureimportservice.h"
#include "objectpath.h"
#include "picturesearchkeys.h"
#include "privilegememo.h"
#include "quilladataagent.h"
#include "librarynames.h"
#include "recordreader.h"
#include "recordtime.h"
#include "softcheck.h"

namespace {

constexpr int kMaxUpdateWait = 2000000;
constexpr int kPollCost = 1000; // what one 1 ms poll counts against the wait limit

// The environment's IS_IN_OUTER_NET as a base-10 number; unset or not a number is 0.
int outerNetFlag()
{
    bool ok = false;
    const int value = qEnvironmentVariable("IS_IN_OUTER_NET").toInt(&ok, 10);
    return ok ? value : 0;
}


// Splits "hmi path:outer path" at the first colon outside quoted text.
QStringList splitPaths(const QString& text)
{
    bool inQuotes = false;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) == '\'')
            inQuotes = !inQuotes;
        else if (text.at(i) == ':' && !inQuotes)
            return {text.left(i), text.mid(i + 1)};
    }
    return {text};
}

// Picture name and occurrence of a search pick "name" or "name:n".
QPair<QString, int> nameAndOccurrence(const QString& key)
{
    const int colon = key.lastIndexOf(':');
    bool ok = false;
    const int n = colon >= 0 ? key.mid(colon + 1).toInt(&ok, 10) : 0;
    if (colon >= 0 && ok && n >= 0)
        return {key.left(colon), n};
    return {key, 0};
}

const QStringList kPictureSearchAttributes{"AORNum", "in_priv_code", "picname"};

} // namespace

MVarenDBInterface::MVarenDBInterface()
    : m_outerAgent(nullptr)
{
    if (outerNetFlag() != 0) {
        auto* outer = new QuillaDataAgent("mmi", "outmmidb", false);
        if (outer->Connect("outmmidb"))
            m_outerAgent = outer;
        else
            delete outer;
    }
    m_mmiAgent = BrelMmiDataAgent::Instance();
    m_agent = m_mmiAgent;
    bool ok = false;
    m_updateWait = m_mmiAgent->QueryGlobalDefineByName("UpdateDBWait").value.toInt(&ok, 10);
    if (!ok)
        m_updateWait = 0;
    m_updateWait = qMin(m_updateWait, kMaxUpdateWait);
}

MVarenDBInterface::~MVarenDBInterface()
{
    // The outer agent is ours (we made it); the HMI agent is the platform's.
    delete m_outerAgent;
}

MVarenDBInterface::Target MVarenDBInterface::targetOf(const MDBRecordBase* record) const
{
    if (m_outerAgent && !record->outerOid.isEmpty())
        return {m_outerAgent, record->outerOid, true};
    return {m_agent, record->oid, false};
}

void MVarenDBInterface::readChildren(MDataAgent* agent, const QString& parentId, const QString& relation,
                                     const QStringList& attributes, MDBRecordBase::RecordType type, bool outer,
                                     QList<MDBRecordBase*>& out)
{
    MDataSet set;
    agent->QueryChild(parentId, relation, attributes, set);
    RecordReader::Read(set, type, outer ? RecordReader::OuterDatabase : RecordReader::HmiDatabase, out);
}

void MVarenDBInterface::mergeOuterByName(QList<MDBRecordBase*>& out, int firstHmiRecord,
                                         QList<MDBRecordBase*>& outer)
{
    // Only the records this call read from the HMI database take part, not
    // outer records appended meanwhile.
    const int hmiEnd = int(out.size());
    for (MDBRecordBase* record : outer) {
        MDBRecordBase* same = nullptr;
        for (int i = firstHmiRecord; i < hmiEnd && !same; ++i) {
            if (out.at(i)->name == record->name)
                same = out.at(i);
        }
        if (same) {
            same->outerOid = record->outerOid;
            delete record;
        } else {
            out.append(record);
        }
    }
    outer.clear();
}

// ---- reading ---------------------------------------------------------------

void MVarenDBInterface::GetNode(MDBRecordNode*& node, const QString& nodeName)
{
    const QString path = "/node,name=" + Library::Quoted(nodeName);
    MDataSet set;
    m_agent->QueryData(path, {"name"}, set);
    if (set.DataNum() == 0)
        return;
    node = new MDBRecordNode;
    node->oid = set.DataAt(0).GetId().toString();
    node->name = nodeName;
    if (m_outerAgent) {
        m_outerAgent->QueryData(path, {"name"}, set);
        if (set.DataNum() > 0)
            node->outerOid = set.DataAt(0).GetId().toString();
    }
}

void MVarenDBInterface::GetIconTypes(QList<MDBRecordBase*>& out)
{
    MDataSet set;
    m_agent->QueryData("/mdl_icon_catalog", {"editType", "member1", "catId", "shapeType", "name"}, set);
    RecordReader::Read(set, MDBRecordBase::RecordIconType, RecordReader::HmiDatabase, out);
}

void MVarenDBInterface::GetTemplateTypes(QList<MDBRecordBase*>& out)
{
    MDataSet set;
    m_agent->QueryData("/template_type", set);
    RecordReader::Read(set, MDBRecordBase::RecordTemptype, RecordReader::HmiDatabase, out);
}

void MVarenDBInterface::GetChildren(MDBRecordBase* parent, QList<MDBRecordBase*>& out)
{
    if (!parent)
        return;
    struct Children
    {
        QString relation;
        MDBRecordBase::RecordType type;
        QStringList attributes;
        bool mergeByName;
    };
    Children c;
    switch (parent->type) {
    case MDBRecordBase::RecordNode:
        c = {"Containsapplication", MDBRecordBase::RecordApplication, {"alias", "name"}, true};
        break;
    case MDBRecordBase::RecordApplication:
        c = {"ContainspictureType", MDBRecordBase::RecordPicType, {"type", "name"}, true};
        break;
    case MDBRecordBase::RecordPicType:
        c = {"Containspicture", MDBRecordBase::RecordPicture,
             {"out_priv_code", "AORNum", "in_priv_code", "picname"}, false};
        break;
    case MDBRecordBase::RecordPicture:
        listEditions(parent, out);
        return;
    case MDBRecordBase::RecordIconType:
        readChildren(m_agent, parent->oid, "Contains_icon", {"makeTime", "member2", "member1", "uuid", "name"},
                     MDBRecordBase::RecordIcon, false, out);
        return;
    case MDBRecordBase::RecordTemptype:
        readChildren(m_agent, parent->oid, "DContains_template", {"alias"}, MDBRecordBase::RecordTemplate, false,
                     out);
        return;
    default:
        return;
    }
    const int firstHmiRecord = int(out.size());
    readChildren(m_agent, parent->oid, c.relation, c.attributes, c.type, false, out);
    if (!m_outerAgent || parent->outerOid.isEmpty())
        return;
    QList<MDBRecordBase*> outer;
    readChildren(m_outerAgent, parent->outerOid, c.relation, c.attributes, c.type, true, outer);
    if (c.mergeByName) {
        mergeOuterByName(out, firstHmiRecord, outer);
    } else {
        out.append(outer); // pictures of both databases are listed, each with its own identifier
    }
}

void MVarenDBInterface::listEditions(MDBRecordBase* picture, QList<MDBRecordBase*>& out)
{
    const QStringList attributes{"versiontime", "node_name", "version", "modifytime"};
    const bool fromOuter = picture->oid.isEmpty() && m_outerAgent;
    const int before = int(out.size());
    if (fromOuter)
        readChildren(m_outerAgent, picture->outerOid, "history_edition", attributes, MDBRecordBase::RecordEdition,
                     true, out);
    else
        readChildren(m_agent, picture->oid, "history_edition", attributes, MDBRecordBase::RecordEdition, false,
                     out);
    if (out.size() > before || (picture->oid.isEmpty() && picture->outerOid.isEmpty()))
        return;
    // A picture always lists its draft: one without any version gets it now.
    auto* draft = new MDBRecordEdition;
    draft->version = 0;
    draft->modifyTime = RecordTime::Now();
    InsertRecord(picture, draft);
    out.append(draft);
}

bool MVarenDBInterface::FindPictureType(const QString& picName, const QString& appOid, MDBRecordPicType* out)
{
    if (!out || appOid.isEmpty())
        return false;
    MDataSet types;
    m_agent->QueryChild(appOid, "ContainspictureType", {"name", "type"}, types);
    for (int t = 0; t < types.DataNum(); ++t) {
        MDataSet pictures;
        m_agent->QueryChild(types.DataAt(t).GetId(), "Containspicture", {"picname"}, pictures);
        for (int p = 0; p < pictures.DataNum(); ++p) {
            if (pictures.GetFieldValue("picname", p).toString() != picName)
                continue;
            out->name = types.GetFieldValue("name", t).toString();
            out->picTypeCode = quint8(types.GetFieldValue("type", t).toUInt());
            return true;
        }
    }
    return false;
}

QString MVarenDBInterface::GetGlobalDefine(const QString& name)
{
    return m_mmiAgent->QueryGlobalDefineByName(name).value;
}

int MVarenDBInterface::TreeMove(const QString& parent, const QString& object)
{
    return m_agent->TreeMove(parent, object);
}

// ---- writing ---------------------------------------------------------------

void MVarenDBInterface::confirmInsert(MDataAgent* agent, const QVariant& id, const QString& attribute,
                                      const QString& expected, bool isTime)
{
    if (m_updateWait <= 0 || !id.isValid())
        return;
    // Another database server may show a write late: poll until it does.
    for (int counter = 0; counter < m_updateWait; counter += kPollCost) {
        MDataSet set;
        agent->QueryData(id.toString(), {attribute}, set);
        if (set.DataNum() > 0) {
            const QString stored = set.GetFieldValue(attribute, 0).toString();
            if ((isTime ? RecordReader::IsoTime(stored) : stored) == expected)
                return;
        }
        QThread::msleep(1);
    }
}

QVariant MVarenDBInterface::insertChild(const Target& parent, const QString& objectClass, MDBRecordBase* child)
{
    const QVariant id = parent.agent->InsertData(parent.id, objectClass);
    (parent.outer ? child->outerOid : child->oid) = id.isValid() ? id.toString() : QString();
    return id;
}

void MVarenDBInterface::InsertRecord(MDBRecordBase* parent, MDBRecordBase* child)
{
    if (!parent || !child)
        return;
    const Target target = targetOf(parent);
    // A record and its fields go in together: a crash in between must not
    // leave a picture without a name or an edition without a version.
    MDataAgentTransaction transaction(target.agent);
    switch (parent->type) {
    case MDBRecordBase::RecordNode:
    case MDBRecordBase::RecordApplication: {
        const bool childIsApplication = parent->type == MDBRecordBase::RecordNode;
        if (child->type != (childIsApplication ? MDBRecordBase::RecordApplication : MDBRecordBase::RecordPicType))
            break;
        const QVariant id = insertChild(target, childIsApplication ? "application" : "pictureType", child);
        bool written = target.agent->UpdateField(id, "name", child->name);
        if (!childIsApplication)
            written = target.agent->UpdateField(
                id, "type", QString::number(static_cast<MDBRecordPicType*>(child)->picTypeCode));
        if (written)
            confirmInsert(target.agent, id, "name", child->name, false);
        break;
    }
    case MDBRecordBase::RecordPicType: {
        if (child->type != MDBRecordBase::RecordPicture)
            break;
        const QVariant id = insertChild(target, "picture", child);
        UpdateRecord(child);
        confirmInsert(target.agent, id, "picname", child->name, false);
        break;
    }
    case MDBRecordBase::RecordPicture: {
        if (child->type != MDBRecordBase::RecordEdition)
            break;
        const QVariant id = insertChild(target, "edition", child);
        UpdateRecord(child);
        confirmInsert(target.agent, id, "modifytime", static_cast<MDBRecordEdition*>(child)->modifyTime, true);
        break;
    }
    case MDBRecordBase::RecordIconType:
        insertIcon(parent, child);
        break;
    case MDBRecordBase::RecordTemptype:
        insertTemplate(parent, child);
        break;
    default:
        return;
    }
    if (!transaction.Commit())
        (target.outer ? child->outerOid : child->oid).clear();
}

void MVarenDBInterface::insertIcon(MDBRecordBase* parent, MDBRecordBase* child)
{
    if (child->type != MDBRecordBase::RecordIcon)
        return;
    auto* icon = static_cast<MDBRecordIcon*>(child);
    const QVariant id = insertChild({m_agent, parent->oid, false}, "mdl_icon", icon);
    m_agent->UpdateField(id, "name", icon->name);
    m_agent->UpdateField(id, "uuid", icon->uuid);
    if (m_agent->UpdateField(id, "makeTime", icon->makeTime))
        confirmInsert(m_agent, id, "makeTime", icon->makeTime, false);
}

void MVarenDBInterface::insertTemplate(MDBRecordBase* parent, MDBRecordBase* child)
{
    if (child->type != MDBRecordBase::RecordTemplate)
        return;
    const QVariant id = insertChild({m_agent, parent->oid, false}, "template_graph", child);
    m_agent->UpdateField(id, "name", child->name);
    m_agent->UpdateField(id, "alias", child->name);
}

void MVarenDBInterface::UpdateRecord(MDBRecordBase* record)
{
    if (!record)
        return;
    if (record->type == MDBRecordBase::RecordPicture) {
        const auto* picture = static_cast<const MDBRecordPicture*>(record);
        const Target t = targetOf(record);
        t.agent->UpdateField(t.id, "picname", picture->name);
        t.agent->UpdateField(t.id, "in_priv_code", QString::number(picture->inPrivCode));
        t.agent->UpdateField(t.id, "out_priv_code", QString::number(picture->outPrivCode));
        t.agent->UpdateField(t.id, "AORNum", QString::number(uint(picture->aorNum)));
    } else if (record->type == MDBRecordBase::RecordEdition) {
        const auto* edition = static_cast<const MDBRecordEdition*>(record);
        const Target t = targetOf(record);
        t.agent->UpdateField(t.id, "modifytime", edition->modifyTime);
        t.agent->UpdateField(t.id, "version", QString::number(edition->version));
        t.agent->UpdateField(t.id, "node_name", QHostInfo::localHostName());
        if (!edition->versionTime.isEmpty())
            t.agent->UpdateField(t.id, "versiontime", RecordReader::IsoTime(edition->versionTime));
        confirmInsert(t.agent, t.id, "modifytime", edition->modifyTime, true);
    } else if (record->type == MDBRecordBase::RecordIcon) {
        const auto* icon = static_cast<const MDBRecordIcon*>(record);
        m_agent->UpdateField(icon->oid, "name", icon->name);
        m_agent->UpdateField(icon->oid, "member1", QString::number(int(icon->member1)));
        m_agent->UpdateField(icon->oid, "member2", QString::number(int(icon->member2)));
        m_agent->UpdateField(icon->oid, "makeTime", icon->makeTime);
    }
}

void MVarenDBInterface::RefreshRecordTime(MDBRecordBase* record)
{
    if (!record)
        return;
    QString attribute;
    QString* field = nullptr;
    if (record->type == MDBRecordBase::RecordEdition) {
        attribute = "modifytime";
        field = &static_cast<MDBRecordEdition*>(record)->modifyTime;
    } else if (record->type == MDBRecordBase::RecordIcon) {
        attribute = "makeTime";
        field = &static_cast<MDBRecordIcon*>(record)->makeTime;
    } else {
        return;
    }
    // Icons live in the HMI database only.
    const Target t = record->type == MDBRecordBase::RecordIcon ? Target{m_agent, record->oid, false}
                                                               : targetOf(record);
    MDataSet set;
    t.agent->QueryData(t.id, {attribute}, set);
    if (set.DataNum() > 0)
        *field = set.GetFieldValue(attribute, 0).toString();
}

void MVarenDBInterface::DeleteRecord(MDBRecordBase* parent, MDBRecordBase* child)
{
    if (!parent || !child)
        return;
    QString objectClass;
    switch (parent->type) {
    case MDBRecordBase::RecordNode: objectClass = "application"; break;
    case MDBRecordBase::RecordApplication: objectClass = "pictureType"; break;
    case MDBRecordBase::RecordPicType: objectClass = "picture"; break;
    case MDBRecordBase::RecordPicture: objectClass = "edition"; break;
    case MDBRecordBase::RecordIconType: objectClass = "icon_mdl"; break;
    case MDBRecordBase::RecordTemptype: objectClass = "template"; break;
    default: return;
    }
    if (m_outerAgent && !parent->outerOid.isEmpty())
        m_outerAgent->DeleteData(objectClass, {child->outerOid});
    else
        m_agent->DeleteData(objectClass, {child->oid});
}

// ---- configuration files ---------------------------------------------------

void MVarenDBInterface::GetConfigFiles(QList<MDBRecordBase*>& out)
{
    MDataSet set;
    m_agent->QueryData("/synFile", set);
    RecordReader::Read(set, MDBRecordBase::RecordConfigFile, RecordReader::HmiDatabase, out);
}

void MVarenDBInterface::UpdateConfigFile(const QString& path, QString& releaseTime, bool write)
{
    const int slash = path.lastIndexOf('/');
    const QString fileName = path.mid(slash + 1);
    MDataSet set;
    m_agent->QueryData("/synFile,filename=" + Library::Quoted(fileName), {"releaseTime", "filepath", "filename"}, set);
    if (!write) {
        if (set.DataNum() > 0)
            releaseTime = set.GetFieldValue("releaseTime", 0).toString();
        return;
    }
    QVariant id;
    if (set.DataNum() == 0) {
        id = m_agent->InsertData("synFile");
        m_agent->UpdateField(id, "filename", fileName);
    } else {
        id = set.DataAt(0).GetId();
    }
    const QString directory = slash >= 0 ? path.left(slash) : path;
    const int deployment = directory.indexOf("deployment");
    QString stored = deployment >= 0 ? directory.mid(deployment) : directory;
    if (stored.size() > 64)
        stored = stored.left(63);
    m_agent->UpdateField(id, "filepath", stored);
    m_agent->UpdateField(id, "releaseTime", releaseTime);
}

// ---- pictures by path and search -------------------------------------------

void MVarenDBInterface::queryPictures(MDataAgent* agent, const QString& path, const QStringList& attributes,
                                      bool outer, QList<MDBRecordBase*>& out)
{
    // Only a path to pictures gives picture records ("/pictureType" holds
    // "/picture" too, but its objects are no pictures).
    const DataAgent::ObjectPath parsed = DataAgent::ObjectPath::parse(path);
    if (parsed.steps().isEmpty() || parsed.steps().last().className != "picture")
        return;
    MDataSet set;
    agent->QueryData(path, attributes, set);
    RecordReader::Read(set, MDBRecordBase::RecordPicture,
                           outer ? RecordReader::OuterDatabase : RecordReader::HmiDatabase, out);
}

void MVarenDBInterface::GetPicturesByPath(const QString& path, const QStringList& attributes,
                                          QList<MDBRecordBase*>& out)
{
    const QStringList paths = splitPaths(path);
    const bool two = paths.size() == 2;
    if (m_outerAgent) {
        // One path that names an object of the HMI database by its identifier
        // means nothing in the outer one; a path by names means the same in both.
        const QString outerPath = two ? paths.at(1) : (path.contains("attr_oid") ? QString() : path);
        if (!outerPath.isEmpty())
            queryPictures(m_outerAgent, outerPath, attributes, true, out);
    }
    const QString hmiPath = two ? paths.at(0) : path;
    if (!hmiPath.isEmpty())
        queryPictures(m_agent, hmiPath, attributes, false, out);
}

void MVarenDBInterface::SearchPictures(QStringList& out, const QString& key)
{
    PrivilegeMemo privileges;
    for (MDataAgent* agent : {m_agent, m_outerAgent}) {
        if (!agent)
            continue;
        MDataSet set;
        // The database finds the matches by their stored keys; reading every
        // picture is the way of an agent or a database that cannot.
        const bool found = PictureSearchKeys::Find(agent, key, kPictureSearchAttributes, set);
        if (!found)
            agent->QueryData("/picture", kPictureSearchAttributes, set);
        const int nameField = set.DataType().FieldIndex("picname");
        const int privField = set.DataType().FieldIndex("in_priv_code");
        const int areaField = set.DataType().FieldIndex("AORNum");
        for (int i = 0; i < set.DataNum(); ++i) {
            const QString name = set.GetFieldValueByIndex(nameField, i).toString();
            if (!found && !PictureSearchKeys::Matches(name, key))
                continue;
            if (privileges.Allows(set.GetFieldValueByIndex(privField, i).toInt(),
                                  set.GetFieldValueByIndex(areaField, i).toInt()))
                out << name;
        }
    }
}

bool MVarenDBInterface::walkPictures(const MDataSet& pictures, const QString& name, int& skip,
                                     QVariant& taken)
{
    for (int i = 0; i < pictures.DataNum(); ++i) {
        if (pictures.GetFieldValue("picname", i).toString() != name
            || !MGraphPrivilege::CheckGraphPrivilege(pictures.GetFieldValue("in_priv_code", i).toInt(),
                                                     pictures.GetFieldValue("AORNum", i).toInt()))
            continue;
        if (skip == 0) {
            taken = pictures.DataAt(i).GetId();
            return true;
        }
        --skip;
    }
    return false;
}

QString MVarenDBInterface::applicationOf(MDataAgent* agent, const QVariant& picture)
{
    MDataSet types;
    agent->QueryChild(picture, "MemberOfpictureType", {"name"}, types);
    if (types.DataNum() != 1)
        return {};
    MDataSet applications;
    agent->QueryChild(types.DataAt(0).GetId(), "MemberOfapplication", {"name"}, applications);
    return applications.DataNum() == 1 ? applications.GetFieldValue("name", 0).toString() : QString();
}

QString MVarenDBInterface::FindPictureApplication(const QString& key)
{
    const auto [name, occurrence] = nameAndOccurrence(key);
    int skip = occurrence;
    MDataSet pictures;
    m_agent->QueryData("/picture", kPictureSearchAttributes, pictures);
    for (const QString& attribute : kPictureSearchAttributes) {
        if (pictures.DataType().FieldIndex(attribute) < 0)
            return {};
    }
    QVariant taken;
    if (walkPictures(pictures, name, skip, taken))
        return applicationOf(m_agent, taken);
    if (!m_outerAgent)
        return {};
    m_outerAgent->QueryData("/picture", kPictureSearchAttributes, pictures);
    if (walkPictures(pictures, name, skip, taken))
        return applicationOf(m_outerAgent, taken);
    return {};
}

// ---- imports ---------------------------------------------------------------

// The imports look things up in the outer database when there is one, and give
// -1 whatever happened: callers learn the outcome from the library and the files.
MPictureImportService* MVarenDBInterface::importService(MPictureImportService::Context& context)
{
    context = {this, m_outerAgent ? m_outerAgent : m_agent, m_outerAgent != nullptr};
    MPictureImportService* service = MPictureImportService::Registered();
    T_SOFT_CHECK(service);
    return service;
}

int MVarenDBInterface::ImportPictureByType(const QString& application, int typeNumber, const QString& source,
                                           int mode, int keep)
{
    MPictureImportService::Context context;
    if (MPictureImportService* service = importService(context))
        service->ImportByType(context, application, typeNumber, source, mode, keep);
    return -1;
}

int MVarenDBInterface::ImportPictureFile(const QString& application, const QString& typeName, const QString& source,
                                         int mode, const QString& pictureName, int keep)
{
    MPictureImportService::Context context;
    if (MPictureImportService* service = importService(context))
        service->ImportFile(context, application, typeName, source, mode, pictureName, keep);
    return -1;
}

int MVarenDBInterface::ImportPictureDoc(const QString& application, const QString& typeName, MGraphDoc* doc,
                                        int mode, const QString& pictureName)
{
    MPictureImportService::Context context;
    if (MPictureImportService* service = importService(context))
        service->ImportDoc(context, application, typeName, doc, mode, pictureName);
    return -1;
}
