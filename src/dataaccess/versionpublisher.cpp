#include "versionpublisher.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>

#include "mdeploypaths.h"
#include "mfilesynchronize.h"
#include "mgraphdoc.h"
#include "mmidebug.h"
#include "pictureversionfiles.h"
#include "safefile.h"

VersionPublisher::VersionPublisher(const QString& application, const QString& picture, int version)
    : m_application(application),
      m_picture(picture),
      m_directory(MDeployPaths::PictureDir(application, picture)),
      m_version(version)
{
}

VersionPublisher::~VersionPublisher()
{
    for (const QString& extension : m_staged)
        QFile::remove(StagedPath(extension));
}

QString VersionPublisher::FinalPath(const QString& extension) const
{
    return MDeployPaths::VersionFile(m_application, m_picture, m_version, extension);
}

// "~3.xrg": no version number a listing could take it for, and in the
// picture's folder, which the upload's server path is taken from.
QString VersionPublisher::StagedPath(const QString& extension) const
{
    return QString("%1/~%2.%3").arg(m_directory).arg(m_version).arg(extension);
}

void VersionPublisher::Staged(const QString& extension)
{
    if (!m_staged.contains(extension))
        m_staged << extension;
}

bool VersionPublisher::IsInside(QString* error) const
{
    for (const char* extension : {"xrg", "brg", "fg", "svg"}) {
        for (const QString& path : {FinalPath(extension), StagedPath(extension)}) {
            if (!MDeployPaths::IsInsideGraphStore(path) || QFileInfo(path).isSymLink()) {
                *error = QString("refusing to write %1: it does not lie inside the graph store").arg(path);
                return false;
            }
        }
    }
    return true;
}

bool VersionPublisher::StageCopy(const QString& source, const QString& extension, QString* error)
{
    if (!IsInside(error))
        return false;
    QString why;
    if (!SafeFile::CopyFile(source, StagedPath(extension), &why)) {
        *error = QString("cannot copy %1: %2").arg(source, why);
        return false;
    }
    Staged(extension);
    return true;
}

bool VersionPublisher::StageDynamicData(const QString& drawing, QString* error)
{
    if (!IsInside(error))
        return false;
    MGraphDoc doc;
    if (!doc.ReadXmlFile(drawing)) {
        *error = QString("cannot read the drawing %1").arg(drawing);
        return false;
    }
    doc.UpdateDataDefine();
    if (!doc.WriteDynamicDataFile(StagedPath("fg"))) {
        *error = QString("cannot write %1").arg(StagedPath("fg"));
        return false;
    }
    Staged("fg");
    return true;
}

QString VersionPublisher::serverPath(const QString& extension) const
{
    return QString("pic/%1/%2/%3.%4").arg(m_application, m_picture).arg(m_version).arg(extension);
}

bool VersionPublisher::Upload(QStringList* errors)
{
    MFileSynchronize* sync = MFileSynchronize::Instance();
    m_uploaded.clear();
    QString outside;
    if (!IsInside(&outside)) {
        *errors << outside;
        return false;
    }
    for (const QString& extension : m_staged) {
        const int result = sync->SaveFile(StagedPath(extension), QString("%1.%2").arg(m_version).arg(extension));
        if (result < 0) {
            *errors << QString("%1 did not reach the file server: %2")
                           .arg(FinalPath(extension), PictureVersionFiles::UploadReason(result));
            RollBack(errors);
            return false;
        }
        m_uploaded << extension;
    }
    return true;
}

void VersionPublisher::RollBack(QStringList* errors)
{
    putBack(m_uploaded, errors);
    m_uploaded.clear();
}

void VersionPublisher::putBack(const QStringList& uploaded, QStringList* errors)
{
    MFileSynchronize* sync = MFileSynchronize::Instance();
    for (const QString& extension : uploaded) {
        const QString own = FinalPath(extension);
        bool back = false;
        if (QFileInfo::exists(own))
            back = sync->SaveFile(own, QString()) >= 0;
        else
            back = sync->RemoveFile(serverPath(extension), true) == 1;
        if (!back) {
            mmi_debug(QString("could not put back %1 on the file server \n").arg(serverPath(extension)));
            if (errors)
                *errors << QString("the file server's %1 could not be put back").arg(serverPath(extension));
        }
    }
}

bool VersionPublisher::Commit(QStringList* errors, const QStringList& removed)
{
    QString outside;
    if (!IsInside(&outside)) {
        *errors << outside;
        return false;
    }
    bool ok = true;
    for (const QString& extension : m_staged) {
        // rename() replaces the target in one step; the staged file was written
        // completely (SafeFile or the engine's complete-or-nothing writes).
        if (std::rename(QFile::encodeName(StagedPath(extension)).constData(),
                        QFile::encodeName(FinalPath(extension)).constData())
            != 0) {
            *errors << QString("cannot replace %1 on this workstation").arg(FinalPath(extension));
            ok = false;
        }
    }
    m_staged.clear();
    for (const QString& extension : removed) {
        if (QFileInfo::exists(FinalPath(extension)) && !QFile::remove(FinalPath(extension))) {
            *errors << QString("cannot remove %1").arg(FinalPath(extension));
            ok = false;
        }
        MFileSynchronize::Instance()->RemoveFile(serverPath(extension), true);
    }
    return ok;
}
