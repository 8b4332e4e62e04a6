#include "pictureeditions.h"

#include <QFileInfo>
#include <algorithm>

#include "mabstractdbinterface.h"
#include "mdbrecords.h"
#include "mdeploypaths.h"
#include "mfilesynchronize.h"
#include "recordtime.h"

PictureEditions::PictureEditions(MAbstractDBInterface* db, const QString& application, const MDBRecordBase& picture)
    : m_db(db), m_application(application), m_picture(picture.Clone())
{
}

PictureEditions::~PictureEditions() = default;

QString PictureEditions::PictureName() const
{
    return m_picture->name;
}

bool PictureEditions::HasIdentifier(const MDBRecordBase& record)
{
    return !record.oid.isEmpty() || !record.outerOid.isEmpty();
}

bool PictureEditions::Read(QString* error)
{
    m_records.Clear();
    m_db->GetChildren(m_picture.get(), m_records.out());
    const bool readable = !m_records.isEmpty()
        && std::all_of(m_records.begin(), m_records.end(), [](const MDBRecordBase* r) {
               return r->type == MDBRecordBase::RecordEdition && HasIdentifier(*r);
           });
    if (!readable)
        *error = QString("the versions of picture %1 could not be read from the library").arg(PictureName());
    return readable;
}

MDBRecordEdition* PictureEditions::Draft() const
{
    MDBRecordEdition* draft = nullptr;
    for (MDBRecordBase* r : m_records) {
        auto* e = static_cast<MDBRecordEdition*>(r);
        if (e->version == 0)
            draft = e;
    }
    return draft;
}

MDBRecordEdition* PictureEditions::Find(int version) const
{
    for (MDBRecordBase* r : m_records) {
        auto* e = static_cast<MDBRecordEdition*>(r);
        if (e->version == version)
            return e;
    }
    return nullptr;
}

int PictureEditions::Latest() const
{
    int latest = 0;
    for (const MDBRecordBase* r : m_records)
        latest = qMax(latest, static_cast<const MDBRecordEdition*>(r)->version);
    return latest;
}

QList<int> PictureEditions::Versions() const
{
    QList<int> versions;
    for (const MDBRecordBase* r : m_records)
        versions << static_cast<const MDBRecordEdition*>(r)->version;
    std::sort(versions.begin(), versions.end());
    return versions;
}

int PictureEditions::CountOf(int version) const
{
    return int(Versions().count(version));
}

QString PictureEditions::File(int version, const QString& extension) const
{
    return MDeployPaths::VersionFile(m_application, PictureName(), version, extension);
}

bool PictureEditions::MakeCurrent(int version, const QString& extension, QString* error) const
{
    const MDBRecordEdition* record = Find(version);
    const QString path = File(version, extension);
    const QString time = record ? record->modifyTime : QString();
    if (!RecordTime::IsFileStale(path, time))
        return true;
    // A failed fetch leaves the local file as it was (written aside, renamed on success).
    const int result = MFileSynchronize::Instance()->GetFile(path);
    if (result >= 0 && !RecordTime::IsFileStale(path, time))
        return true;
    *error = QFileInfo::exists(path) ? QString("%1 is older than the library's version %2 and could not be fetched")
                                           .arg(path)
                                           .arg(version)
                                     : QString("%1 is missing and could not be fetched").arg(path);
    return false;
}

bool PictureEditions::Insert(MDBRecordEdition& edition, QString* error) const
{
    m_db->InsertRecord(m_picture.get(), &edition);
    if (HasIdentifier(edition))
        return true;
    *error = QString("the library did not take version %1 of picture %2").arg(edition.version).arg(PictureName());
    return false;
}

bool PictureEditions::Update(MDBRecordEdition& edition, QString* error) const
{
    m_db->UpdateRecord(&edition);
    MDBRecordEdition check(edition);
    check.modifyTime.clear();
    m_db->RefreshRecordTime(&check);
    if (RecordTime::Iso(check.modifyTime) == RecordTime::Iso(edition.modifyTime))
        return true;
    *error = QString("the library did not take the change of version %1 of picture %2")
                 .arg(edition.version)
                 .arg(PictureName());
    return false;
}

bool PictureEditions::Delete(MDBRecordEdition& edition, QString* error) const
{
    m_db->DeleteRecord(m_picture.get(), &edition);
    RecordList after;
    m_db->GetChildren(m_picture.get(), after.out());
    const bool gone = std::none_of(after.begin(), after.end(), [&](const MDBRecordBase* r) {
        return r->oid == edition.oid && r->outerOid == edition.outerOid;
    });
    if (!gone)
        *error = QString("the library kept version %1 of picture %2").arg(edition.version).arg(PictureName());
    return gone;
}
