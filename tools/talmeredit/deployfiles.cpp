#include "deployfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "mdeploypaths.h"
#include "mfilesynchronize.h"
#include "safefile.h"

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("DeployFiles", text);
}

} // namespace

namespace DeployFiles {

bool CheckInsideTree(const QString& path, QString& error)
{
    if (!path.isEmpty() && MDeployPaths::IsInsideRoot(path))
        return true;
    error = tr("%1 is not a place in the deployment tree").arg(path);
    return false;
}

bool Write(const QString& path, const QByteArray& data, QString& error)
{
    if (data.isEmpty()) {
        error = tr("cannot encode %1: its text holds characters an XML file cannot store").arg(path);
        return false;
    }
    if (!CheckInsideTree(path, error))
        return false;
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        error = tr("cannot make the folder of %1").arg(path);
        return false;
    }
    QString reason;
    if (!SafeFile::WriteFile(path, data, &reason)) {
        error = tr("cannot write %1: %2").arg(path, reason);
        return false;
    }
    return true;
}

bool Upload(const QString& path, QString& error)
{
    const int result = MFileSynchronize::Instance()->SaveFile(path);
    if (result >= 0)
        return true;
    error = tr("the file server did not take %1 (result %2)").arg(path).arg(result);
    return false;
}

} // namespace DeployFiles
