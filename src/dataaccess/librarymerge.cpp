#include "librarymerge.h"

#include <QDomDocument>
#include <QMap>
#include <QXmlStreamWriter>

#include <algorithm>

#include "librarynames.h"
#include "mabstractdbinterface.h"
#include "mpinyinsort.h"
#include "recordlist.h"
#include "recordtime.h"
#include "safefile.h"

namespace {

const char* const kContext = "MGraphMergeDialog";

QString joined(const QList<int>& numbers)
{
    QStringList texts;
    for (int n : numbers)
        texts << QString::number(n);
    return texts.join(", ");
}

// The document with each element's attributes in name order: the DOM keeps
// them in hash order, and an export of the same library should be the same
// bytes each time (sites compare and keep them).
void writeElement(QXmlStreamWriter& xml, const QDomElement& element)
{
    xml.writeStartElement(element.tagName());
    const QDomNamedNodeMap attributes = element.attributes();
    QMap<QString, QString> sorted;
    for (int i = 0; i < attributes.count(); ++i)
        sorted.insert(attributes.item(i).nodeName(), attributes.item(i).nodeValue());
    for (auto it = sorted.cbegin(); it != sorted.cend(); ++it)
        xml.writeAttribute(it.key(), it.value());
    for (QDomElement child = element.firstChildElement(); !child.isNull(); child = child.nextSiblingElement())
        writeElement(xml, child);
    xml.writeEndElement();
}

QByteArray serialised(const QDomElement& root)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartDocument(); // version="1.0" encoding="UTF-8"
    writeElement(xml, root);
    xml.writeEndDocument();
    return bytes;
}

bool isStored(const MDBRecordBase& record)
{
    return !record.oid.isEmpty() || !record.outerOid.isEmpty();
}

template <class Record>
std::unique_ptr<Record> freshCopy(const Record& record)
{
    std::unique_ptr<Record> copy(record.Clone());
    copy->oid.clear();
    copy->outerOid.clear();
    return copy;
}

} // namespace

// The writes of one merge, undone in reverse order when the merge fails.
class LibraryMerge::Writer
{
public:
    explicit Writer(MAbstractDBInterface* db) : m_db(db) {}

    // Inserts child below parent and keeps it; false when it did not get stored.
    bool Insert(MDBRecordBase* parent, std::unique_ptr<MDBRecordBase> child, MDBRecordBase** stored = nullptr)
    {
        m_db->InsertRecord(parent, child.get());
        if (!isStored(*child))
            return false;
        if (stored)
            *stored = child.get();
        m_inserted.push_back({parent, std::move(child)});
        return true;
    }
    // Gives the local record the file's values, keeping the local identifiers.
    void Update(const MDBRecordEdition& local, const MDBRecordEdition& file)
    {
        std::unique_ptr<MDBRecordEdition> values(file.Clone());
        values->oid = local.oid;
        values->outerOid = local.outerOid;
        m_updated.emplace_back(local.Clone());
        m_db->UpdateRecord(values.get());
    }
    void Rollback()
    {
        for (auto it = m_updated.rbegin(); it != m_updated.rend(); ++it)
            m_db->UpdateRecord(it->get());
        for (auto it = m_inserted.rbegin(); it != m_inserted.rend(); ++it)
            m_db->DeleteRecord(it->first, it->second.get());
        m_updated.clear();
        m_inserted.clear();
    }

private:
    MAbstractDBInterface* m_db; // not owned
    std::vector<std::pair<MDBRecordBase*, std::unique_ptr<MDBRecordBase>>> m_inserted; // parent not owned
    std::vector<std::unique_ptr<MDBRecordEdition>> m_updated;                         // the old values
};

QString LibraryMerge::Plan::Describe() const
{
    QStringList parts;
    if (newType)
        parts << Library::Tr(kContext, "new picture type");
    if (newPicture)
        parts << Library::Tr(kContext, "new picture");
    if (!inserts.isEmpty())
        parts << Library::Tr(kContext, "insert versions %1").arg(joined(inserts));
    if (!updates.isEmpty())
        parts << Library::Tr(kContext, "update versions %1").arg(joined(updates));
    if (!localNewer.isEmpty())
        parts << Library::Tr(kContext, "local is newer: %1").arg(joined(localNewer));
    return parts.isEmpty() ? Library::Tr(kContext, "nothing to write") : parts.join("; ");
}

LibraryMerge::LibraryMerge(MAbstractDBInterface* db, const MDBRecordApplication& application)
    : m_db(db)
    , m_application(application.Clone())
{
}

LibraryMerge::~LibraryMerge() = default;

bool LibraryMerge::LoadLocal(const Progress& progress)
{
    m_types.clear();
    m_local.clear();
    if (!m_db || (m_application->oid.isEmpty() && m_application->outerOid.isEmpty()))
        return false;
    RecordList types;
    m_db->GetChildren(m_application.get(), types.out());
    for (MDBRecordBase* type : types.records()) {
        RecordList pictures;
        m_db->GetChildren(type, pictures.out());
        for (int i = 0; i < pictures.size(); ++i) {
            MDBRecordBase* picture = pictures.at(i);
            if (progress)
                progress(i + 1, pictures.size(), picture->name);
            if (!LocalPicture(picture->name))
                readPicture(picture, type->name, static_cast<MDBRecordPicType*>(type)->picTypeCode);
        }
    }
    for (MDBRecordBase* type : types.records())
        m_types.emplace_back(types.Take(type));
    return true;
}

bool LibraryMerge::readPicture(MDBRecordBase* picture, const QString& typeName, quint8 typeCode)
{
    MergePicture item;
    item.typeName = typeName;
    item.typeCode = typeCode;
    item.picture.reset(static_cast<MDBRecordPicture*>(picture->Clone()));
    RecordList editions;
    m_db->GetChildren(picture, editions.out());
    for (MDBRecordBase* edition : editions.records()) {
        editions.Take(edition);
        item.AddEdition(std::unique_ptr<MDBRecordEdition>(static_cast<MDBRecordEdition*>(edition)));
    }
    for (auto& known : m_local) {
        if (known.name() == item.name()) {
            known = std::move(item);
            return true;
        }
    }
    m_local.push_back(std::move(item));
    return true;
}

const MergePicture* LibraryMerge::LocalPicture(const QString& name) const
{
    for (const MergePicture& picture : m_local) {
        if (picture.name() == name)
            return &picture;
    }
    return nullptr;
}

MDBRecordBase* LibraryMerge::localType(const QString& name) const
{
    for (const auto& type : m_types) {
        if (type->name == name)
            return type.get();
    }
    return nullptr;
}

bool LibraryMerge::Export(const QString& path, QString* error, const Progress& progress)
{
    QDomDocument document;
    QDomElement root = document.createElement("mmiexport");
    document.appendChild(root);
    RecordList types;
    m_db->GetChildren(m_application.get(), types.out());
    for (MDBRecordBase* type : types.records()) {
        QDomElement typeElement = document.createElement("picType");
        type->WriteXml(&typeElement);
        root.appendChild(typeElement);
        RecordList pictures;
        m_db->GetChildren(type, pictures.out());
        for (int i = 0; i < pictures.size(); ++i) {
            if (progress)
                progress(i + 1, pictures.size(), pictures.at(i)->name);
            QDomElement pictureElement = document.createElement("picture");
            pictures.at(i)->WriteXml(&pictureElement);
            typeElement.appendChild(pictureElement);
            RecordList editions;
            m_db->GetChildren(pictures.at(i), editions.out());
            for (MDBRecordBase* edition : editions.records()) {
                QDomElement editionElement = document.createElement("edition");
                edition->WriteXml(&editionElement);
                pictureElement.appendChild(editionElement);
            }
        }
    }
    return SafeFile::WriteFile(path, serialised(root), error);
}

LibraryMerge::State LibraryMerge::Compare(const MergePicture& file, const MergePicture* local)
{
    if (!local)
        return FileOnly;
    if (file.Versions() != local->Versions())
        return Different;
    for (const auto& edition : file.editions) {
        const MDBRecordEdition* mine = local->Edition(edition->version);
        if (RecordTime::Iso(mine->modifyTime) != RecordTime::Iso(edition->modifyTime)
            || RecordTime::Iso(mine->versionTime) != RecordTime::Iso(edition->versionTime))
            return Different;
    }
    return Same;
}

LibraryMerge::Plan LibraryMerge::PlanFor(const MergePicture& file) const
{
    Plan plan;
    const MergePicture* local = LocalPicture(file.name());
    if (!local) {
        plan.newType = !localType(file.typeName);
        plan.newPicture = true;
        plan.inserts = file.Versions();
        return plan;
    }
    for (const auto& edition : file.editions) {
        const MDBRecordEdition* mine = local->Edition(edition->version);
        if (!mine)
            plan.inserts << edition->version;
        else if (RecordTime::IsEarlier(mine->modifyTime, edition->modifyTime))
            plan.updates << edition->version;
        else if (RecordTime::IsEarlier(edition->modifyTime, mine->modifyTime))
            plan.localNewer << edition->version;
    }
    for (const auto& edition : local->editions) {
        if (!file.Edition(edition->version))
            plan.localNewer << edition->version;
    }
    return plan;
}

LibraryMerge::Outcome LibraryMerge::Merge(const MergePicture& file, QString* message, QString* detail)
{
    const Plan plan = PlanFor(file);
    const auto say = [&](const char* text, const QString& why = {}) {
        if (message)
            *message = Library::Tr(kContext, text);
        if (detail)
            *detail = why;
    };
    if (!file.picture || !plan.writes()) {
        say(plan.localNewer.isEmpty() ? "merged already!" : "local is newer!");
        return plan.localNewer.isEmpty() ? Outcome::NothingToDo : Outcome::LocalNewer;
    }
    // The local picture as it was, to read again after a failed merge.
    std::unique_ptr<MDBRecordBase> before;
    if (!plan.newPicture)
        before.reset(LocalPicture(file.name())->picture->Clone());
    Writer writer(m_db);
    QString failure;
    MDBRecordBase* type = localType(file.typeName);
    if (plan.newType) {
        auto created = std::make_unique<MDBRecordPicType>();
        created->name = file.typeName;
        created->picTypeCode = file.typeCode;
        if (!writer.Insert(m_application.get(), std::move(created), &type))
            failure = QString("the picture type '%1' could not be created").arg(file.typeName);
    }
    MDBRecordBase* picture = nullptr;
    if (failure.isEmpty() && plan.newPicture && !writer.Insert(type, freshCopy(*file.picture), &picture))
        failure = QString("the picture '%1' could not be created").arg(file.name());
    if (!plan.newPicture)
        picture = before.get();
    for (int version : plan.inserts) {
        if (failure.isEmpty() && !writer.Insert(picture, freshCopy(*file.Edition(version))))
            failure = QString("version %1 of '%2' could not be written").arg(version).arg(file.name());
    }
    if (failure.isEmpty()) {
        for (int version : plan.updates)
            writer.Update(*LocalPicture(file.name())->Edition(version), *file.Edition(version));
    }
    if (failure.isEmpty() && picture) {
        // What the database holds now decides, not what the writes promised.
        readPicture(picture, file.typeName, file.typeCode);
        const Plan left = PlanFor(file);
        if (!left.inserts.isEmpty() || !left.updates.isEmpty())
            failure = QString("the library does not hold what was written for '%1'").arg(file.name());
    }
    if (failure.isEmpty()) {
        if (plan.newType)
            m_types.emplace_back(type->Clone());
        say(plan.localNewer.isEmpty() ? "merge successfully!" : "local is newer!");
        return Outcome::Merged;
    }
    writer.Rollback();
    restore(file.name(), plan.newPicture ? nullptr : before.get(), file.typeName, file.typeCode);
    say("merge failed!", failure);
    return Outcome::Failed;
}

void LibraryMerge::restore(const QString& name, MDBRecordBase* picture, const QString& typeName,
                           quint8 typeCode)
{
    if (picture) {
        readPicture(picture, typeName, typeCode);
        return;
    }
    m_local.erase(std::remove_if(m_local.begin(), m_local.end(),
                                 [&](const MergePicture& p) { return p.name() == name; }),
                  m_local.end());
}

QStringList LibraryMerge::SortedNames(const std::vector<MergePicture>& pictures)
{
    QStringList names;
    for (const MergePicture& picture : pictures)
        names << picture.name();
    MPinYinSort::Instance()->SortByPY(names, true);
    return names;
}
