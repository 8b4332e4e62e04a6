#include "pictureimportrun.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryDir>

#include "mabstractdbinterface.h"
#include "mdbaccesshelper.h"
#include "mdbrecords.h"
#include "mpictureimporter.h"
#include "safefile.h"

namespace {

// The highest "<n>.xrg" of a folder with n above 0; empty when none.
QString highestRelease(const QDir& directory)
{
    int highest = 0;
    for (const QString& name : directory.entryList({"*.xrg"}, QDir::Files)) {
        bool number = false;
        const int version = name.chopped(4).toInt(&number);
        if (number && version > highest)
            highest = version;
    }
    return highest > 0 ? directory.filePath(QString("%1.xrg").arg(highest)) : QString();
}

} // namespace

PictureImportRun::PictureImportRun(MAbstractDBInterface* db, const MDBRecordBase& application,
                                   const QString& typeName)
    : m_db(db), m_application(application.Clone()), m_typeName(typeName)
{
}

PictureImportRun::~PictureImportRun() = default;

bool PictureImportRun::pictureIn(const QString& name, QString* typeName) const
{
    MDBRecordPicType type;
    if (!m_db->FindPictureType(name, m_application->oid, &type))
        return false;
    *typeName = type.name;
    return true;
}

PictureImportRun::Outcome PictureImportRun::Check(const QString& name) const
{
    Outcome out;
    out.picture = name;
    out.status = Status::Imported;
    out.error = MDbAccessHelper::NameProblem(name, MDbAccessHelper::PictureName);
    QString owner;
    if (!out.error.isEmpty())
        out.status = Status::NameRefused;
    else if (pictureIn(name, &owner) && owner != m_typeName) {
        out.status = Status::NameTaken;
        out.error = QString("picture %1 belongs to picture type %2").arg(name, owner);
    }
    return out;
}

PictureImportRun::Outcome PictureImportRun::Import(const QString& source, int mode, const QString& name) const
{
    const QFileInfo file(source);
    Outcome out = Check(name.isEmpty() ? file.absoluteDir().dirName() : name);
    if (out.status != Status::Imported)
        return out;
    out.status = Status::Failed;
    QString owner;
    // The copy keeps the folder's name: the import renames a station drawing
    // whose folder differs from its new name.
    QTemporaryDir staging;
    const QString copy = staging.path() + "/" + file.absoluteDir().dirName() + "/" + file.fileName();
    QString why;
    if (!staging.isValid() || !QDir().mkpath(QFileInfo(copy).absolutePath()) || !SafeFile::CopyFile(source, copy, &why)) {
        out.error = QString("cannot read %1: %2").arg(source, why.isEmpty() ? staging.errorString() : why);
        return out;
    }
    m_db->ImportPictureFile(m_application->name, m_typeName, copy, mode, name, -1);
    const MPictureImporter::Result result = MPictureImporter::LastResult();
    if (!result.ok || !pictureIn(out.picture, &owner) || owner != m_typeName) {
        out.error = result.errors.isEmpty() ? QString("picture %1 is not in the library").arg(out.picture)
                                            : result.errors.join("\n");
        return out;
    }
    out.status = Status::Imported;
    return out;
}

QList<PictureImportRun::Folder> PictureImportRun::PictureFolders(const QString& root, bool latest)
{
    QStringList directories{QDir(root).absolutePath()};
    for (QDirIterator it(root, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories); it.hasNext();)
        directories << it.next();
    std::sort(directories.begin() + 1, directories.end());
    QList<Folder> folders;
    for (const QString& path : directories) {
        const QDir directory(path);
        QString drawing = latest ? highestRelease(directory) : QString();
        if (drawing.isEmpty() && QFileInfo(directory.filePath("0.xrg")).isFile())
            drawing = directory.filePath("0.xrg");
        if (!drawing.isEmpty())
            folders << Folder{path, drawing};
    }
    return folders;
}
