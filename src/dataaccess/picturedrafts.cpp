#include "picturedrafts.h"

#include <QFileInfo>

#include "librarynames.h"
#include "mabstractdbinterface.h"
#include "mappdict.h"
#include "mdbrecords.h"
#include "mdeploypaths.h"
#include "mfilesynchronize.h"
#include "mmidebug.h"
#include "pictureeditions.h"
#include "pictureversionfiles.h"
#include "recordlist.h"
#include "recordtime.h"
#include "versionpublisher.h"

namespace {

const QStringList kDraftFiles{"xrg", "brg", "fg"};
// Its pictures carry one data file per application beside their drawings.
const QString kCommonApplication = QStringLiteral("common");

QString fileTime(const QString& path)
{
    return QFileInfo(path).lastModified().toString(Qt::ISODate);
}

// Uploads path to its own place; an empty text on success, else why not.
QString upload(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return QString("%1 is missing").arg(path);
    const int result = MFileSynchronize::Instance()->SaveFile(path, QString());
    return result < 0 ? PictureVersionFiles::UploadReason(result) : QString();
}

// The dynamic data of a version that has no ".fg": written from its drawing.
bool stageDynamicData(const PictureEditions& editions, int version, VersionPublisher& files, QString* error)
{
    QString why;
    if (editions.MakeCurrent(version, "fg", &why))
        return files.StageCopy(editions.File(version, "fg"), "fg", error);
    return files.StageDynamicData(editions.File(version, "xrg"), error);
}

} // namespace

PictureDrafts::PictureDrafts(MAbstractDBInterface* db, const QString& application, const MDBRecordBase& picture)
    : m_db(db), m_application(application), m_picture(picture.Clone())
{
}

PictureDrafts::~PictureDrafts() = default;

QStringList PictureDrafts::uploadDraftFiles(QList<MErrMsg>* messages) const
{
    QStringList files;
    for (const QString& extension : kDraftFiles)
        files << MDeployPaths::VersionFile(m_application, m_picture->name, 0, extension);
    if (m_application == kCommonApplication) {
        for (const QString& application : MAppDict::Instance()->GetRealNameAppList(false)) {
            const QString data = MDeployPaths::CommonDataFile(m_picture->name, application);
            if (QFileInfo::exists(data))
                files << data;
        }
    }
    QStringList lines;
    for (const QString& file : files) {
        const QString why = upload(file);
        if (why.isEmpty())
            continue;
        lines << QString("%1 did not reach the file server: %2").arg(file, why);
        if (messages)
            messages->append(MErrMsg(file, why));
    }
    return lines;
}

QList<MErrMsg> PictureDrafts::SaveDraft() const
{
    QList<MErrMsg> messages;
    QString error;
    PictureEditions editions(m_db, m_application, *m_picture);
    if (!editions.Read(&error) || !editions.Draft()) {
        messages << MErrMsg(m_picture->name, error.isEmpty() ? "the picture has no draft record" : error);
        return messages;
    }
    uploadDraftFiles(&messages);
    if (!messages.isEmpty())
        return messages; // the record still announces the draft the server has
    MDBRecordEdition draft(*editions.Draft());
    draft.modifyTime = fileTime(editions.File(0, "xrg"));
    if (!editions.Update(draft, &error))
        messages << MErrMsg(m_picture->name, error);
    return messages;
}

QStringList PictureDrafts::CheckInDraft() const
{
    QString error;
    PictureEditions editions(m_db, m_application, *m_picture);
    if (!editions.Read(&error) || !editions.Draft())
        return {error.isEmpty() ? QString("picture %1 has no draft record").arg(m_picture->name) : error};
    m_db->RefreshRecordTime(editions.Draft());
    const QString draft = editions.File(0, "xrg");
    // Uploading an older draft would undo another workstation's saved work.
    if (RecordTime::IsFileStale(draft, editions.Draft()->modifyTime)) {
        const QString line = QString("check-in of %1 refused: the draft here is missing or older than the library's")
                                 .arg(draft);
        mmi_debug(line + " \n");
        return {line};
    }
    return uploadDraftFiles(nullptr);
}

QStringList PictureDrafts::SaveAsDraft(int version) const
{
    QString error;
    PictureEditions editions(m_db, m_application, *m_picture);
    if (!editions.Read(&error))
        return {error};
    if (!editions.Find(version) || version <= 0 || !editions.Draft())
        return {QString("picture %1 has no version %2 or no draft").arg(m_picture->name).arg(version)};
    for (const char* extension : {"xrg", "brg"}) {
        if (!editions.MakeCurrent(version, extension, &error))
            return {error};
    }
    // The server's draft is put back from this workstation's copy on failure:
    // an older copy would undo another workstation's draft.
    for (const QString& extension : kDraftFiles) {
        if (!editions.MakeCurrent(0, extension, &error) && QFileInfo::exists(editions.File(0, extension)))
            return {error};
    }
    VersionPublisher files(m_application, m_picture->name, 0);
    if (!files.StageCopy(editions.File(version, "xrg"), "xrg", &error)
        || !files.StageCopy(editions.File(version, "brg"), "brg", &error)
        || !stageDynamicData(editions, version, files, &error))
        return {error};
    QStringList lines;
    if (!files.Upload(&lines))
        return lines;
    MDBRecordEdition draft(*editions.Draft());
    draft.modifyTime = fileTime(files.StagedPath("xrg"));
    if (!editions.Update(draft, &error)) {
        lines << error;
        files.RollBack(&lines);
        return lines;
    }
    files.Commit(&lines);
    return lines;
}

int PictureDrafts::LatestVersion(MAbstractDBInterface* db, const QString& application, const QString& picture)
{
    int latest = -100;
    QString time;
    MDBRecordNode* nodeOut = nullptr;
    db->GetNode(nodeOut, Library::kNode);
    std::unique_ptr<MDBRecordNode> node(nodeOut);
    if (!node)
        return latest;
    RecordList applications, types, pictures, editions;
    db->GetChildren(node.get(), applications.out());
    for (MDBRecordBase* app : applications) {
        if (app->name == application)
            db->GetChildren(app, types.out());
    }
    for (MDBRecordBase* type : types)
        db->GetChildren(type, pictures.out());
    for (MDBRecordBase* pic : pictures) {
        if (pic->name == picture)
            db->GetChildren(pic, editions.out());
    }
    for (const MDBRecordBase* r : editions) {
        const auto* e = static_cast<const MDBRecordEdition*>(r);
        if (e->version > latest) {
            latest = e->version;
            time = e->modifyTime;
        }
    }
    if (latest < 0)
        return latest;
    const QString drawing = MDeployPaths::VersionFile(application, picture, latest, "xrg");
    if (!RecordTime::IsFileStale(drawing, time))
        return latest;
    const bool existed = QFileInfo::exists(drawing);
    MFileSynchronize* sync = MFileSynchronize::Instance();
    if (sync->GetFile(drawing) < 0)
        return existed ? latest : -1;
    sync->GetFile(MDeployPaths::VersionFile(application, picture, latest, "brg"));
    sync->GetFile(MDeployPaths::VersionFile(application, picture, latest, "fg"));
    return latest;
}
