#include "workstationfiles.h"

#include <memory>

#include "editionrules.h"
#include "mabstractdbinterface.h"
#include "mdbrecords.h"
#include "mdeploypaths.h"
#include "mfilesynchronize.h"
#include "recordlist.h"
#include "workstationpush.h"

namespace {

// The forms a viewer opens and fetches together; the .xrg is the editor's and
// lies only on the workstations where somebody edited the picture.
const char* const kPictureForms[] = {"brg", "fg"};

MDBRecordBase* childNamed(const RecordList& children, const QString& name)
{
    for (MDBRecordBase* child : children) {
        if (child->name == name)
            return child;
    }
    return nullptr;
}

} // namespace

QString WorkstationFiles::KindName(Kind kind)
{
    switch (kind) {
    case Picture:
        return QStringLiteral("picture");
    case Icon:
        return QStringLiteral("icon");
    case Config:
        return QStringLiteral("configuration");
    }
    return QString();
}

WorkstationFiles::File WorkstationFiles::file(Kind kind, const QString& localPath, const QString& recordTime)
{
    const QString relative = MDeployPaths::RelativePath(localPath);
    return {kind, relative.isEmpty() ? localPath : relative, WorkstationPush::RemotePath(localPath), recordTime};
}

WorkstationFiles::Outcome WorkstationFiles::List(MAbstractDBInterface* db, const QString& application,
                                                 const QString& picture, QList<File>& out, QString& error)
{
    if (!db || MDeployPaths::SafeRoot().isEmpty()) {
        error = QStringLiteral("no deployment tree: TALMER_DEPLOY_DIR is not set or not usable");
        return NoLibrary;
    }
    MDBRecordNode* found = nullptr;
    db->GetNode(found, "node1");
    std::unique_ptr<MDBRecordNode> node(found);
    if (!node) {
        error = QStringLiteral("cannot read the library: no node \"node1\"");
        return NoLibrary;
    }
    RecordList applications;
    db->GetChildren(node.get(), applications.out());
    QList<File> files;
    bool pictureFound = false;
    for (MDBRecordBase* app : applications) {
        if (!application.isEmpty() && app->name != application)
            continue;
        RecordList types;
        db->GetChildren(app, types.out());
        for (MDBRecordBase* type : types) {
            RecordList pictures;
            db->GetChildren(type, pictures.out());
            for (MDBRecordBase* pic : pictures) {
                // A name given twice in one application: its first picture, as every look-up does.
                if (picture.isEmpty() || (pic->name == picture && !pictureFound)) {
                    pictureFound = true;
                    addPicture(db, app->name, pic, files);
                }
            }
        }
        if (!application.isEmpty())
            break;
    }
    if (!application.isEmpty() && !childNamed(applications, application)) {
        error = QString("no application '%1'").arg(application);
        return NoApplication;
    }
    if (!picture.isEmpty() && !pictureFound) {
        error = QString("no picture '%1' in application '%2'").arg(picture, application);
        return NoPicture;
    }
    if (application.isEmpty()) {
        addIcons(db, files);
        addConfigFiles(db, files);
    }
    out += files;
    return Read;
}

void WorkstationFiles::addPicture(MAbstractDBInterface* db, const QString& application, MDBRecordBase* picture,
                                  QList<File>& out)
{
    RecordList editions;
    db->GetChildren(picture, editions.out());
    const EditionRules::Editions sorted = EditionRules::Classify(editions.records());
    for (const MDBRecordEdition* edition : {sorted.latest, sorted.draft}) {
        if (!edition)
            continue;
        for (const char* form : kPictureForms) {
            out << file(Picture, MDeployPaths::VersionFile(application, picture->name, edition->version, form),
                        edition->modifyTime);
        }
    }
}

void WorkstationFiles::addIcons(MAbstractDBInterface* db, QList<File>& out)
{
    RecordList types;
    db->GetIconTypes(types.out());
    for (MDBRecordBase* type : types) {
        RecordList icons;
        db->GetChildren(type, icons.out());
        for (MDBRecordBase* base : icons) {
            const auto* icon = static_cast<const MDBRecordIcon*>(base);
            out << file(Icon, MDeployPaths::IconFile(type->name, icon->uuid), icon->makeTime);
        }
    }
}

void WorkstationFiles::addConfigFiles(MAbstractDBInterface* db, QList<File>& out)
{
    RecordList records;
    db->GetConfigFiles(records.out());
    for (MDBRecordBase* base : records) {
        const auto* record = static_cast<const MDBRecordConfigFile*>(base);
        out << file(Config, MFileSynchronize::ConfigFileLocalPath(record->filePath, record->name),
                    record->releaseTime);
    }
}
