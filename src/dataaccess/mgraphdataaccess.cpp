#include "mgraphdataaccess.h"

#include <QDir>
#include <QFileInfo>
#include <memory>

#include "graphstorecleaner.h"
#include "iconrules.h"
#include "librarynames.h"
#include "mabstractdbinterface.h"
#include "mbatchsetdialog.h"
#include "mdataagent.h"
#include "mdbaccesshelper.h"
#include "mdbinterfaceholder.h"
#include "mdbrecords.h"
#include "mdeploypaths.h"
#include "mfilesynchronize.h"
#include "miconfileservice.h"
#include "recordlist.h"
#include "recordtime.h"
#include "softcheck.h"

MGraphDataAccess* MGraphDataAccess::m_pInstance = nullptr;

MGraphDataAccess::MGraphDataAccess()
    : m_dbInterface(MDBInterfaceHolder::Instance()->GetInterface())
{
}

MGraphDataAccess::~MGraphDataAccess() = default;

MGraphDataAccess* MGraphDataAccess::Instance()
{
    if (!m_pInstance)
        m_pInstance = new MGraphDataAccess;
    return m_pInstance;
}

MDBRecordApplication* MGraphDataAccess::findApplication(const QString& application,
                                                        std::unique_ptr<MDBRecordNode>& node,
                                                        RecordList& applications) const
{
    MDBRecordNode* found = nullptr;
    m_dbInterface->GetNode(found, Library::kNode);
    node.reset(found);
    if (!node)
        return nullptr;
    m_dbInterface->GetChildren(node.get(), applications.out());
    for (MDBRecordBase* app : applications) {
        if (app->name == application)
            return static_cast<MDBRecordApplication*>(app);
    }
    return nullptr;
}

bool MGraphDataAccess::walkPictures(const QString& application, const QString& pictureType,
                                    const std::function<bool(MDBRecordPicture*)>& visit) const
{
    std::unique_ptr<MDBRecordNode> node;
    RecordList applications;
    MDBRecordApplication* app = findApplication(application, node, applications);
    if (!app)
        return false;
    RecordList types;
    m_dbInterface->GetChildren(app, types.out());
    for (MDBRecordBase* type : types) {
        if (!pictureType.isEmpty() && type->name != pictureType)
            continue;
        RecordList pictures;
        m_dbInterface->GetChildren(type, pictures.out());
        for (MDBRecordBase* pic : pictures) {
            if (visit(static_cast<MDBRecordPicture*>(pic)))
                return true;
        }
    }
    return true;
}

bool MGraphDataAccess::forEachPicture(const QString& application, const QString& picture,
                                      const std::function<bool(MDBRecordPicture*)>& visit) const
{
    return walkPictures(application, QString(),
                        [&](MDBRecordPicture* pic) { return pic->name == picture && visit(pic); });
}

bool MGraphDataAccess::PictureEditions(const QString& application, const QString& picture,
                                       RecordList& editions) const
{
    RecordList pictures;
    m_dbInterface->GetPicturesByPath("/application,name=" + MDataAgent::QuoteText(application)
                                         + "/pictureType/picture,picname=" + MDataAgent::QuoteText(picture),
                                     {"picname"}, pictures.out());
    if (pictures.isEmpty())
        return false;
    m_dbInterface->GetChildren(pictures.at(0), editions.out());
    return true;
}

// ---- pictures ------------------------------------------------------------------------

bool MGraphDataAccess::GetGraphInfo(const QString& application, const QString& picture, int& inPrivilege,
                                    unsigned long& aorNum, int& outPrivilege) const
{
    bool found = false;
    forEachPicture(application, picture, [&](MDBRecordPicture* pic) {
        inPrivilege = pic->inPrivCode;
        aorNum = static_cast<unsigned long>(static_cast<unsigned int>(pic->aorNum));
        outPrivilege = pic->outPrivCode;
        return found = true;
    });
    return found;
}

bool MGraphDataAccess::SetGraphInfo(const QString& application, const QString& picture, int inPrivilege,
                                    unsigned long aorNum, int outPrivilege) const
{
    bool written = false;
    forEachPicture(application, picture, [&](MDBRecordPicture* pic) {
        if (inPrivilege >= 0)
            pic->inPrivCode = inPrivilege;
        pic->aorNum = int(aorNum);
        if (outPrivilege >= 0)
            pic->outPrivCode = outPrivilege;
        m_dbInterface->UpdateRecord(pic);
        return written = true;
    });
    return written;
}

int MGraphDataAccess::GetGraphLatestVersion(const QString& application, const QString& picture) const
{
    int latest = -1;
    forEachPicture(application, picture, [&](MDBRecordPicture* pic) {
        RecordList editions;
        m_dbInterface->GetChildren(pic, editions.out());
        for (MDBRecordBase* e : editions)
            latest = qMax(latest, static_cast<MDBRecordEdition*>(e)->version);
        return !editions.isEmpty(); // a picture without versions lets the search go on
    });
    return latest;
}

bool MGraphDataAccess::GetGraphInfo4Web(const QString& application, const QString& picture, int& version,
                                        int& outPrivilege, QString& modifyTime) const
{
    version = -1;
    outPrivilege = -1;
    bool found = false;
    forEachPicture(application, picture, [&](MDBRecordPicture* pic) {
        outPrivilege = pic->outPrivCode;
        RecordList editions;
        m_dbInterface->GetChildren(pic, editions.out());
        for (MDBRecordBase* base : editions) {
            const auto* e = static_cast<MDBRecordEdition*>(base);
            if (e->version > version) {
                version = e->version;
                modifyTime = e->modifyTime;
                found = true;
            }
        }
        return !editions.isEmpty();
    });
    return found;
}

void MGraphDataAccess::GeGraphApplications(QStringList& names, QStringList& identifiers) const
{
    std::unique_ptr<MDBRecordNode> node;
    RecordList applications;
    findApplication(QString(), node, applications);
    for (MDBRecordBase* app : applications) {
        names << app->name;
        identifiers << app->oid;
    }
}

QStringList MGraphDataAccess::GetGraphTypes(const QString& application, bool byIdentifier) const
{
    QStringList names;
    RecordList types;
    if (byIdentifier) {
        MDBRecordApplication app;
        app.oid = application;
        m_dbInterface->GetChildren(&app, types.out());
    } else {
        std::unique_ptr<MDBRecordNode> node;
        RecordList applications;
        if (MDBRecordApplication* app = findApplication(application, node, applications))
            m_dbInterface->GetChildren(app, types.out());
    }
    for (MDBRecordBase* type : types)
        names << type->name;
    return names;
}

QStringList MGraphDataAccess::GetPictures(const QString& application, const QString& pictureType) const
{
    QStringList names;
    walkPictures(application, pictureType, [&](MDBRecordPicture* pic) {
        names << pic->name;
        return false;
    });
    return names;
}

bool MGraphDataAccess::AddPicture(const QString& application, const QString& pictureType,
                                  const QString& picture) const
{
    if (!MDbAccessHelper::Instance()->CheckName(picture, MDbAccessHelper::PictureName, true, nullptr))
        return false;
    std::unique_ptr<MDBRecordNode> node;
    RecordList applications;
    MDBRecordApplication* app = findApplication(application, node, applications);
    if (!app)
        return false;
    // On the outer network the picture goes where its parents are: make them
    // exist there first.
    if (!node->outerOid.isEmpty() && app->outerOid.isEmpty())
        m_dbInterface->InsertRecord(node.get(), app);
    RecordList types;
    m_dbInterface->GetChildren(app, types.out());
    MDBRecordBase* type = nullptr;
    for (MDBRecordBase* t : types) {
        if (!type && t->name == pictureType)
            type = t;
    }
    if (!type)
        return false; // a picture needs its type; none is made up
    if (!app->outerOid.isEmpty() && type->outerOid.isEmpty())
        m_dbInterface->InsertRecord(app, type);
    MDBRecordPicture record;
    record.name = picture;
    m_dbInterface->InsertRecord(type, &record);
    return true;
}

void MGraphDataAccess::SetGraphPropety(const QString& application, const QString& pictureType)
{
    MBatchSetDialog dialog;
    if (dialog.exec() != QDialog::Accepted)
        return;
    int inner = 0, web = 0;
    dialog.GetValues(inner, web);
    walkPictures(application, pictureType, [&](MDBRecordPicture* pic) {
        pic->inPrivCode = inner;
        pic->outPrivCode = web;
        m_dbInterface->UpdateRecord(pic);
        return false;
    });
}

// ---- icons and templates --------------------------------------------------------

QString MGraphDataAccess::GetTemplateAlias(const QString& templateType) const
{
    RecordList types;
    m_dbInterface->GetTemplateTypes(types.out());
    for (MDBRecordBase* type : types) {
        if (type->name == templateType)
            return static_cast<MDBRecordTemptype*>(type)->alias;
    }
    return {};
}

QString MGraphDataAccess::GetIconName(const QString& uuid) const
{
    RecordList types;
    m_dbInterface->GetIconTypes(types.out());
    for (MDBRecordBase* type : types) {
        RecordList icons;
        m_dbInterface->GetChildren(type, icons.out());
        for (MDBRecordBase* icon : icons) {
            if (static_cast<MDBRecordIcon*>(icon)->uuid == uuid)
                return icon->name;
        }
    }
    return {};
}

void MGraphDataAccess::GetIconImage(const QString& uuid, QPixmap& image)
{
    RecordList types;
    m_dbInterface->GetIconTypes(types.out());
    for (MDBRecordBase* type : types) {
        RecordList icons;
        m_dbInterface->GetChildren(type, icons.out());
        for (MDBRecordBase* icon : icons) {
            if (static_cast<MDBRecordIcon*>(icon)->uuid == uuid) {
                image = MIconFileService::Instance()->IconPixmap(type->name, uuid);
                return;
            }
        }
    }
}

bool MGraphDataAccess::GetDefaultIcon(const QString& iconType, QString& uuid, int&)
{
    bool isNumber = false;
    const uint catId = iconType.toUInt(&isNumber, 10);
    RecordList types, icons;
    m_dbInterface->GetIconTypes(types.out());
    for (MDBRecordBase* base : types) {
        const auto* type = static_cast<MDBRecordIconType*>(base);
        if (isNumber ? type->catId == catId : type->name == iconType)
            m_dbInterface->GetChildren(base, icons.out());
    }
    return IconRules::DefaultIconUuid(icons.records(), uuid);
}

// ---- versions by time -----------------------------------------------------------

int MGraphDataAccess::GetVersionByTime(const QString& application, const QString& picture,
                                       const QDateTime& moment) const
{
    int result = -100;
    qint64 closest = -1;
    const qint64 at = moment.toSecsSinceEpoch();
    forEachPicture(application, picture, [&](MDBRecordPicture* pic) {
        RecordList editions;
        m_dbInterface->GetChildren(pic, editions.out());
        for (MDBRecordBase* base : editions) {
            const auto* e = static_cast<MDBRecordEdition*>(base);
            const std::optional<qint64> modified = RecordTime::Seconds(e->modifyTime);
            if (!modified)
                continue;
            const qint64 before = at - *modified;
            if (before > 0 && (closest < 0 || before < closest)) {
                closest = before;
                result = e->version;
            }
        }
        return true; // the first picture of that name decides
    });
    return result;
}

int MGraphDataAccess::GraphVersionByTime(const QString& application, const QString& picture,
                                         const QDateTime& moment, bool fetch)
{
    RecordList editions;
    if (!PictureEditions(application, picture, editions))
        return -100;
    const qint64 at = moment.toSecsSinceEpoch();
    const bool byRelease = !editions.isEmpty() && !static_cast<MDBRecordEdition*>(editions.at(0))->versionTime.isEmpty();
    int best = 0, highest = 0;
    QString bestTime;
    QList<int> versions;
    for (MDBRecordBase* base : editions) {
        const auto* e = static_cast<MDBRecordEdition*>(base);
        const std::optional<qint64> time = RecordTime::Seconds(byRelease ? e->versionTime : e->modifyTime);
        if (time && *time < at && e->version > best) {
            best = e->version;
            bestTime = e->modifyTime;
        }
        if (!byRelease) {
            versions << e->version;
            highest = qMax(highest, e->version);
        }
    }
    if (!byRelease) {
        // Judged by modification: the version after the last one changed before
        // the moment is the one that was valid then.
        for (int v = best + 1; v <= highest; ++v) {
            if (versions.contains(v)) {
                best = v;
                break;
            }
        }
        for (MDBRecordBase* base : editions) {
            const auto* e = static_cast<MDBRecordEdition*>(base);
            if (e->version == best)
                bestTime = e->modifyTime;
        }
    }
    if (!fetch)
        return best;
    int result = best;
    const QString brg = MDeployPaths::VersionFile(application, picture, best, "brg");
    const QString fg = MDeployPaths::VersionFile(application, picture, best, "fg");
    const bool existsLocally = QFileInfo::exists(brg) || QFileInfo::exists(MDeployPaths::VersionFile(application, picture, best, "xrg"));
    MFileSynchronize* sync = MFileSynchronize::Instance();
    const bool brgStale = QFileInfo::exists(brg) && RecordTime::IsFileStale(brg, bestTime);
    if (!existsLocally || brgStale) {
        if (sync->GetFile(brg) < 0) {
            if (!existsLocally)
                result = -1;
        } else {
            sync->GetFile(fg);
        }
    }
    if (RecordTime::IsFileStale(fg, bestTime))
        sync->GetFile(fg);
    return result;
}

// ---- cleaning -------------------------------------------------------------------

void MGraphDataAccess::RemoveDir(const QString& directory)
{
    const QString path = MDeployPaths::DeployTreeEntry(directory);
    if (path.isEmpty()) {
        qCWarning(lcTalmer).noquote() << "RemoveDir refused" << directory
                                      << ": not a folder inside the deployment tree (TALMER_DEPLOY_DIR)";
        return;
    }
    const QFileInfo self(path);
    if (self.isSymLink() || !self.isDir()) {
        QFile::remove(path); // a link goes, not what it points to
        return;
    }
    QDir dir(path);
    const QFileInfoList entries = dir.entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (auto it = entries.crbegin(); it != entries.crend(); ++it) {
        if (it->isDir() && !it->isSymLink())
            RemoveDir(it->filePath());
        else
            QFile::remove(it->filePath());
    }
    dir.rmdir(path);
}

void MGraphDataAccess::CleanGraphFiles()
{
    GraphStoreCleaner(m_dbInterface).Run();
}
