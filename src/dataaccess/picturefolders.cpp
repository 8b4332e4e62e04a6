#include "picturefolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "mdeploypaths.h"
#include "mfilesynchronize.h"
#include "mgraphdataaccess.h"

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("PictureFolders", text);
}

// A folder, a file or a link (dangling ones too) of that path.
bool present(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

bool setWhy(QString* why, const QString& text)
{
    if (why)
        *why = text;
    return false;
}

// Moves from to to, both inside the graph store; to must not exist.
bool move(const QString& from, const QString& to, QString* why)
{
    const QString parent = QFileInfo(to).path();
    if (!MDeployPaths::IsInsideGraphStore(from) || !MDeployPaths::IsInsideRoot(to))
        return setWhy(why, tr("%1 or %2 is not inside the graph store").arg(from, to));
    if (!QDir().mkpath(parent))
        return setWhy(why, tr("cannot create the folder %1").arg(parent));
    // Checked again now that the folder exists: a link in it cannot lead out.
    if (!MDeployPaths::IsInsideGraphStore(to))
        return setWhy(why, tr("%1 is not inside the graph store").arg(to));
    if (!QDir().rename(from, to))
        return setWhy(why, tr("cannot move %1 to %2").arg(from, to));
    return true;
}

// Empties the holding place of picture; false when something stays.
bool clearHolding(const QString& picture, QString* why)
{
    const QString holding = MDeployPaths::HoldingDir(picture);
    if (present(holding))
        MGraphDataAccess::RemoveDir(holding);
    if (present(holding))
        return setWhy(why, tr("cannot empty the holding place %1").arg(holding));
    return true;
}

QString serverDir(const QString& application, const QString& picture)
{
    return "pic/" + application + "/" + picture;
}

} // namespace

namespace PictureFolders {

bool IsSafeName(const QString& name)
{
    if (name.isEmpty() || name == "." || name == ".." || name.contains('/') || name.contains('\\'))
        return false;
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

bool MoveToHolding(const QString& application, const QString& picture, QString* why)
{
    if (!IsSafeName(application) || !IsSafeName(picture))
        return setWhy(why, tr("'%1/%2' is not a safe folder name").arg(application, picture));
    const QString folder = MDeployPaths::PictureDir(application, picture);
    if (!present(folder))
        return true;
    return clearHolding(picture, why) && move(folder, MDeployPaths::HoldingDir(picture), why);
}

bool RestoreFromHolding(const QString& application, const QString& picture)
{
    if (!IsSafeName(application) || !IsSafeName(picture))
        return false;
    const QString folder = MDeployPaths::PictureDir(application, picture);
    const QString holding = MDeployPaths::HoldingDir(picture);
    return present(holding) && !present(folder) && move(holding, folder, nullptr);
}

bool Rename(const QString& application, const QString& oldName, const QString& newName, QString* why)
{
    for (const QString& name : {application, oldName, newName}) {
        if (!IsSafeName(name))
            return setWhy(why, tr("'%1' is not a safe folder name").arg(name));
    }
    const QString from = MDeployPaths::PictureDir(application, oldName);
    const QString to = MDeployPaths::PictureDir(application, newName);
    const bool leftover = present(to);
    if (leftover && !MoveToHolding(application, newName, why))
        return false;
    if (!present(from) || move(from, to, why))
        return true;
    if (leftover)
        RestoreFromHolding(application, newName);
    return false;
}

void RemoveFromServer(const QString& application, const QString& picture)
{
    if (IsSafeName(application) && IsSafeName(picture))
        MFileSynchronize::Instance()->RemoveFile(serverDir(application, picture), false);
}

void RenameOnServer(const QString& application, const QString& oldName, const QString& newName)
{
    if (IsSafeName(application) && IsSafeName(oldName) && IsSafeName(newName))
        MFileSynchronize::Instance()->RenameFile("/" + serverDir(application, oldName),
                                                 "/" + serverDir(application, newName));
}

} // namespace PictureFolders
