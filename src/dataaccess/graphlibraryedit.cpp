#include "graphlibraryedit.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <memory>

#include "librarynames.h"
#include "mabstractdbinterface.h"
#include "mdbaccesshelper.h"
#include "mdbrecords.h"
#include "mdeploypaths.h"
#include "mgraphdataaccess.h"
#include "mgraphdoc.h"
#include "mpictureimporter.h"
#include "picturefolders.h"
#include "recordlist.h"
#include "safefile.h"

namespace {

using Result = GraphLibraryEdit::Result;

// Everything UpdateRecord writes back for a picture: reading less would reset
// the privileges and the area to 0.
const QStringList kPictureAttributes{"picname", "in_priv_code", "out_priv_code", "AORNum"};

QString tr(const char* text)
{
    return QCoreApplication::translate("GraphLibraryEdit", text);
}

Result result(Result::Status status, const QString& message = {})
{
    return Result{status, message};
}

// The object path of the pictures of that name in the application whose
// identifier is id; empty for an identifier that is no number.
QString picturePath(const QString& id, const QString& name)
{
    static const QRegularExpression number("^[0-9]+$");
    if (!number.match(id).hasMatch())
        return {};
    return QString("/application,attr_oid=%1/pictureType/picture,picname=%2").arg(id, Library::Quoted(name));
}

bool sameRecord(const MDBRecordBase& a, const MDBRecordBase& b)
{
    return (!a.oid.isEmpty() && a.oid == b.oid) || (!a.outerOid.isEmpty() && a.outerOid == b.outerOid);
}

bool hasIdentifier(const MDBRecordBase& record)
{
    return !record.oid.isEmpty() || !record.outerOid.isEmpty();
}

} // namespace

GraphLibraryEdit::GraphLibraryEdit(MAbstractDBInterface* db) : m_db(db)
{
}

QString GraphLibraryEdit::PictureNameFrom(const QString& typed, const MDBRecordBase& node)
{
    QString name = typed;
    name.remove(' ');
    if (!name.isEmpty() && !node.outerOid.isEmpty())
        name.prepend("web");
    return name;
}

bool GraphLibraryEdit::PictureNameTaken(const MDBRecordBase& application, const QString& name) const
{
    RecordList pictures;
    PicturesNamed(application, name, pictures);
    return !pictures.isEmpty();
}

void GraphLibraryEdit::PicturesNamed(const MDBRecordBase& application, const QString& name, RecordList& out) const
{
    if (!m_db)
        return;
    QString path = picturePath(application.oid, name);
    const QString outer = picturePath(application.outerOid, name);
    if (!outer.isEmpty())
        path += ":" + outer;
    if (path.isEmpty())
        return;
    m_db->GetPicturesByPath(path, kPictureAttributes, out.out());
}

bool GraphLibraryEdit::ChildNameTaken(MDBRecordBase& parent, const QString& name) const
{
    RecordList children;
    if (m_db)
        m_db->GetChildren(&parent, children.out());
    for (const MDBRecordBase* child : children) {
        if (child->name == name && !(child->outerOid.isEmpty() && !parent.outerOid.isEmpty()))
            return true;
    }
    return false;
}

bool GraphLibraryEdit::EnsureOuterEntries(MDBRecordBase& node, MDBRecordBase& application, MDBRecordBase* type)
{
    if (node.outerOid.isEmpty())
        return true;
    if (application.outerOid.isEmpty())
        m_db->InsertRecord(&node, &application);
    if (type && type->outerOid.isEmpty() && !application.outerOid.isEmpty())
        m_db->InsertRecord(&application, type);
    return !application.outerOid.isEmpty() && (!type || !type->outerOid.isEmpty());
}

Result GraphLibraryEdit::AddApplication(MDBRecordBase& node, MDBRecordBase& application)
{
    if (application.name.isEmpty())
        return result(Result::Unchanged);
    if (ChildNameTaken(node, application.name))
        return result(Result::Taken);
    m_db->InsertRecord(&node, &application);
    if (!hasIdentifier(application))
        return result(Result::Failed, tr("the database did not record application %1").arg(application.name));
    return result(Result::Done);
}

Result GraphLibraryEdit::AddPictype(MDBRecordBase& node, MDBRecordBase& application, MDBRecordPicType& type)
{
    if (type.name.isEmpty())
        return result(Result::Unchanged);
    if (!EnsureOuterEntries(node, application, nullptr))
        return result(Result::Failed, tr("the outer network's database did not record application %1")
                                          .arg(application.name));
    if (ChildNameTaken(application, type.name))
        return result(Result::Taken);
    m_db->InsertRecord(&application, &type);
    if (!hasIdentifier(type))
        return result(Result::Failed, tr("the database did not record picture type %1").arg(type.name));
    return result(Result::Done);
}

void GraphLibraryEdit::deleteEverywhere(MDBRecordBase& parent, MDBRecordBase& child)
{
    // The interface deletes from the database the parent's outerOid points at;
    // a child kept in the HMI database is deleted there through a parent
    // without it.
    if (!child.outerOid.isEmpty() && !parent.outerOid.isEmpty())
        m_db->DeleteRecord(&parent, &child);
    if (!child.oid.isEmpty()) {
        std::unique_ptr<MDBRecordBase> hmiParent(parent.Clone());
        hmiParent->outerOid.clear();
        m_db->DeleteRecord(hmiParent.get(), &child);
    }
}

bool GraphLibraryEdit::stillListed(MDBRecordBase& parent, const MDBRecordBase& child) const
{
    RecordList children;
    m_db->GetChildren(&parent, children.out());
    for (const MDBRecordBase* each : children) {
        if (sameRecord(*each, child))
            return true;
    }
    return false;
}

Result GraphLibraryEdit::DeleteChild(MDBRecordBase& parent, MDBRecordBase& child)
{
    deleteEverywhere(parent, child);
    if (stillListed(parent, child))
        return result(Result::Failed, tr("the database did not delete %1").arg(child.name));
    return result(Result::Done);
}

Result GraphLibraryEdit::checkNewPicture(const MDBRecordBase& application, const QString& name) const
{
    if (name.isEmpty())
        return result(Result::Unchanged);
    const QString problem = MDbAccessHelper::NameProblem(name, MDbAccessHelper::PictureName);
    if (!problem.isEmpty() || !PictureFolders::IsSafeName(application.name))
        return result(Result::Refused, problem.isEmpty() ? tr("'%1' is no safe folder name").arg(application.name)
                                                         : problem);
    if (PictureNameTaken(application, name))
        return result(Result::Taken);
    return result(Result::Done);
}

Result GraphLibraryEdit::startNewPicture(const MDBRecordBase& application, const QString& name) const
{
    const Result checked = checkNewPicture(application, name);
    QString why;
    if (checked.ok() && !prepareFolder(application.name, name, &why))
        return result(Result::Failed, why);
    return checked;
}

bool GraphLibraryEdit::prepareFolder(const QString& application, const QString& name, QString* why) const
{
    // A folder of a name no record has is a stale copy: it is kept aside.
    if (!PictureFolders::MoveToHolding(application, name, why))
        return false;
    const QString folder = MDeployPaths::PictureDir(application, name);
    if (!MDeployPaths::IsInsideRoot(folder) || !QDir().mkpath(folder)) {
        if (why)
            *why = tr("cannot create the folder %1").arg(folder);
        return false;
    }
    return true;
}

Result GraphLibraryEdit::insertPicture(MDBRecordBase& node, MDBRecordBase& application, MDBRecordPicType& type,
                                       const QString& name)
{
    MDBRecordPicture picture;
    picture.name = name;
    if (EnsureOuterEntries(node, application, &type)) {
        m_db->InsertRecord(&type, &picture);
        if (hasIdentifier(picture))
            return result(Result::Done);
    }
    // Nothing announces the folder: it goes, and a stale one comes back.
    MGraphDataAccess::RemoveDir(MDeployPaths::PictureDir(application.name, name));
    PictureFolders::RestoreFromHolding(application.name, name);
    return result(Result::Failed, tr("the database did not record picture %1").arg(name));
}

Result GraphLibraryEdit::CreatePicture(MDBRecordBase& node, MDBRecordBase& application, MDBRecordPicType& type,
                                       const QString& name)
{
    const Result started = startNewPicture(application, name);
    return started.ok() ? insertPicture(node, application, type, name) : started;
}

Result GraphLibraryEdit::DeletePicture(const MDBRecordBase& application, MDBRecordBase& type,
                                       MDBRecordBase& picture)
{
    const QString& app = application.name;
    const QString& name = picture.name;
    if (!PictureFolders::IsSafeName(app) || !PictureFolders::IsSafeName(name))
        return result(Result::Refused, tr("'%1/%2' is no safe folder name").arg(app, name));
    RecordList named;
    PicturesNamed(application, name, named);
    bool othersRemain = false;
    for (const MDBRecordBase* each : named)
        othersRemain = othersRemain || !sameRecord(*each, picture);
    // The files belong to every record of the name: they stay while one does.
    QString why;
    if (!othersRemain && !PictureFolders::MoveToHolding(app, name, &why))
        return result(Result::Failed, why);
    deleteEverywhere(type, picture);
    if (stillListed(type, picture)) {
        if (!othersRemain)
            PictureFolders::RestoreFromHolding(app, name);
        return result(Result::Failed, tr("the database did not delete picture %1").arg(name));
    }
    if (!othersRemain)
        PictureFolders::RemoveFromServer(app, name);
    return result(Result::Done);
}

bool GraphLibraryEdit::renameRecords(const MDBRecordBase& application, const QString& from, const QString& to,
                                     int expected)
{
    RecordList pictures;
    PicturesNamed(application, from, pictures);
    for (MDBRecordBase* picture : pictures) {
        picture->name = to;
        m_db->UpdateRecord(picture);
    }
    RecordList renamed;
    PicturesNamed(application, to, renamed);
    return pictures.size() == expected && renamed.size() == expected && !PictureNameTaken(application, from);
}

Result GraphLibraryEdit::RenamePicture(const MDBRecordBase& application, const QString& oldName,
                                       const QString& newName)
{
    if (newName.isEmpty() || newName == oldName)
        return result(Result::Unchanged);
    const QString problem = MDbAccessHelper::NameProblem(newName, MDbAccessHelper::PictureName);
    if (!problem.isEmpty())
        return result(Result::Refused, problem);
    if (!PictureFolders::IsSafeName(application.name) || !PictureFolders::IsSafeName(oldName))
        return result(Result::Refused, tr("'%1/%2' is no safe folder name").arg(application.name, oldName));
    if (PictureNameTaken(application, newName))
        return result(Result::Taken);
    RecordList pictures;
    PicturesNamed(application, oldName, pictures);
    if (pictures.isEmpty())
        return result(Result::Failed, tr("picture %1 is not in the library").arg(oldName));
    QString why;
    if (!PictureFolders::Rename(application.name, oldName, newName, &why))
        return result(Result::Failed, why);
    if (!renameRecords(application, oldName, newName, pictures.size())) {
        // Put back what was renamed: records first, then the folder.
        renameRecords(application, newName, oldName, pictures.size());
        PictureFolders::Rename(application.name, newName, oldName, nullptr);
        return result(Result::Failed, tr("the database did not rename picture %1").arg(oldName));
    }
    PictureFolders::RenameOnServer(application.name, oldName, newName);
    return result(Result::Done);
}

Result GraphLibraryEdit::CheckPasteSource(const QString& source, int typeCode, MGraphDoc& doc)
{
    const QFileInfo file(source);
    if (source.isEmpty() || !file.isFile() || !file.isReadable())
        return result(Result::Failed, tr("no opened picture to paste: %1 is missing").arg(source));
    if (typeCode == 2 && !doc.ReadXmlFile(source))
        return result(Result::Failed, tr("cannot read the drawing %1").arg(source));
    return result(Result::Done);
}

Result GraphLibraryEdit::PastePicture(MDBRecordBase& node, MDBRecordBase& application, MDBRecordPicType& type,
                                      const QString& name, const QString& source, MGraphDoc* stationDoc,
                                      const QString& station)
{
    const Result started = startNewPicture(application, name);
    if (!started.ok())
        return started;
    QString why;
    const QString draft = MDeployPaths::VersionFile(application.name, name, 0, "xrg");
    bool written = false;
    if (stationDoc && station != stationDoc->GetGraphStation(1)) {
        MPictureImporter::RenameStation(*stationDoc, station);
        written = stationDoc->WriteXmlFile(draft);
    } else {
        written = SafeFile::CopyFile(source, draft, &why);
    }
    if (!written) {
        MGraphDataAccess::RemoveDir(MDeployPaths::PictureDir(application.name, name));
        PictureFolders::RestoreFromHolding(application.name, name);
        return result(Result::Failed, tr("cannot write the draft %1 %2").arg(draft, why));
    }
    return insertPicture(node, application, type, name);
}
