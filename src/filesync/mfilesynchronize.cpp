#include "mfilesynchronize.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstdio>

#include "file_svrconn_manager.h"
#include "i_file_session.h"
#include "mabstractdbinterface.h"
#include "mdbinterfaceholder.h"
#include "mdbrecords.h"
#include "mdeploypaths.h"
#include "mmidebug.h"
#include "recordtime.h"
#include "workstationpush.h"

MFileSynchronize* MFileSynchronize::m_pInstance = nullptr;

namespace {

constexpr int kTransferFlag = 1;
constexpr int kTransferWaitMs = 10000;
constexpr int kMaxIconAttempts = 3;
const QString kConfigDirectory = QStringLiteral("mmiconfig/");

// Names travel to the file server as UTF-8, so Chinese names survive.
QByteArray wire(const QString& text)
{
    return text.toUtf8();
}

void sessionMissing()
{
    mmi_debug(" file session is NULL \n");
}

// Without a deployment root nothing is fetched or written: the paths callers
// build would start at the file-system root.
bool hasRoot()
{
    if (!MDeployPaths::SafeRoot().isEmpty())
        return true;
    mmi_debug(" no deployment root: TALMER_DEPLOY_DIR is not set \n");
    return false;
}

// The one gate of every local file this class reads or writes: where path
// really lies, or empty (with a line on the debug channel) when there is no
// deployment root or that place is outside it.
QString treeFile(const QString& path)
{
    if (!hasRoot())
        return {};
    const QString target = MDeployPaths::ResolvedTarget(path);
    if (target.isEmpty())
        mmi_debug(QString("refused %1: outside the deployment tree \n").arg(path));
    return target;
}

bool makeParent(const QString& file)
{
    const QString directory = file.left(file.lastIndexOf('/'));
    return QFileInfo(directory).isDir() || QDir().mkpath(directory);
}

// The server path of a configuration file's name; empty for a name that is
// not a plain file name.
QString configServerPath(const QString& name)
{
    if (name.isEmpty() || name == "." || name == ".." || name.contains('/') || name.contains('\\'))
        return {};
    return kConfigDirectory + name;
}

} // namespace

MFileSynchronize::MFileSynchronize()
    : m_push(std::make_unique<WorkstationPush>()),
      m_session(file_svrconn_manager::instance()->get_file_session()),
      m_dbInterface(MDBInterfaceHolder::Instance()->GetInterface())
{
    if (!m_session)
        mmi_debug(" file session initialte failed \n");
}

MFileSynchronize::~MFileSynchronize() = default;

MFileSynchronize* MFileSynchronize::Instance()
{
    if (!m_pInstance)
        m_pInstance = new MFileSynchronize;
    return m_pInstance;
}

// ---- path mapping --------------------------------------------------------------

QString MFileSynchronize::ServerPathForFetch(const QString& localPath)
{
    // The place below the root, never a search of the whole path: a root that
    // itself holds "/pic/" must not move icons into the picture store.
    const QString relative = MDeployPaths::RelativePath(localPath);
    for (const char* folder : {"pic/", "icon/", "template/", "curve/"}) {
        if (relative.startsWith(QLatin1String(folder)))
            return relative;
    }
    return {};
}

QString MFileSynchronize::ServerPathForStore(const QString& localPath)
{
    // A file is fetched from where it was stored.
    return ServerPathForFetch(localPath);
}

QString MFileSynchronize::RemotePushPath(const QString& localPath)
{
    return WorkstationPush::RemotePath(localPath);
}

QStringList MFileSynchronize::PushTargets(const QString& nodeName)
{
    return WorkstationPush::Targets(nodeName);
}

// ---- single files ----------------------------------------------------------------

int MFileSynchronize::GetFile(const QString& localPath) const
{
    if (!m_session) {
        sessionMissing();
        return -1;
    }
    const QString target = treeFile(localPath);
    if (target.isEmpty() || !makeParent(target))
        return -1;
    const QString serverPath = ServerPathForFetch(localPath);
    const int result =
        m_session->DownloadFile(wire(serverPath).constData(), wire(target).constData(), kTransferFlag, kTransferWaitMs);
    if (result < 0)
        mmi_debug(QString("get file failed %1 \n").arg(result));
    return result;
}

int MFileSynchronize::SaveFile(const QString& localPath, const QString& serverName) const
{
    m_push->ClearFailures();
    if (!m_session) {
        sessionMissing();
        return -1;
    }
    const QString source = treeFile(localPath);
    if (source.isEmpty())
        return -1;
    const QString relative = MDeployPaths::RelativePath(localPath);
    QString serverPath;
    if (!serverName.isNull())
        serverPath = relative.startsWith("pic/") ? relative.section('/', 0, 2) + "/" + serverName : serverName;
    else
        serverPath = ServerPathForStore(localPath);
    const int result =
        m_session->UploadFile(wire(serverPath).constData(), wire(source).constData(), kTransferFlag, kTransferWaitMs);
    if (result < 0) {
        mmi_debug(QString("save file failed %1 \n").arg(result));
        return result;
    }
    // Workstations get what the server has, never a file the server refused.
    if (serverName.isNull() && (relative.startsWith("icon/") || relative.startsWith("template/")))
        SynFileActive(localPath, QString());
    return result;
}

int MFileSynchronize::RemoveFile(const QString& serverPath, bool isFile)
{
    if (!m_session)
        return 1;
    if (isFile)
        m_session->RemoveServerFile(wire(serverPath).constData());
    else
        m_session->RemoveServerDirectory(wire(serverPath).constData());
    return 1;
}

int MFileSynchronize::RenameFile(const QString& from, const QString& to)
{
    // Other workstations find a renamed picture on the server under its new name
    // only if it is renamed there too; a leftover of the new name is moved to the
    // holding place first, as it is locally.
    if (!m_session)
        return 0;
    const QString source = QString(from).remove(QRegularExpression("^/+"));
    const QString target = QString(to).remove(QRegularExpression("^/+"));
    if (source.isEmpty() || target.isEmpty() || source == target)
        return 0;
    if (m_session->RenameServerFile(wire(source).constData(), wire(target).constData()) >= 0)
        return 0;
    const QString holding = "pic/temporary/" + target.section('/', -1);
    m_session->RemoveServerDirectory(wire(holding).constData());
    if (m_session->RenameServerFile(wire(target).constData(), wire(holding).constData()) < 0
        || m_session->RenameServerFile(wire(source).constData(), wire(target).constData()) < 0)
        mmi_debug(QString("rename file failed %1 \n").arg(source));
    return 0;
}

QStringList MFileSynchronize::ListServerDir(const QString& serverDirectory, bool isFile)
{
    if (!m_session) {
        std::fputs("file session is NULL \n", stdout);
        std::fflush(stdout);
        return {};
    }
    std::vector<std::string> names;
    if (isFile)
        m_session->ListServerFiles(names, wire(serverDirectory).constData(), kTransferWaitMs);
    else
        m_session->ListServerDirectories(names, wire(serverDirectory).constData(), kTransferWaitMs);
    QStringList entries;
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        if (*it != "." && *it != "..")
            entries << QString::fromStdString(*it);
    }
    return entries;
}

// ---- configuration files --------------------------------------------------------

int MFileSynchronize::GetConfigFile(const QString& localPath)
{
    const bool existed = QFileInfo::exists(localPath);
    const QString path = QString(localPath).replace('\\', '/');
    const QString target = treeFile(path);
    const QString serverPath = configServerPath(path.mid(path.lastIndexOf('/') + 1));
    if (target.isEmpty() || serverPath.isEmpty())
        return -1;
    if (!makeParent(target))
        return 0;
    if (existed) {
        QString releaseTime;
        m_dbInterface->UpdateConfigFile(path, releaseTime, false);
        if (releaseTime.isEmpty())
            return -1;
        if (!RecordTime::IsFileStale(target, releaseTime))
            return 0;
    }
    if (!m_session) {
        if (!existed)
            sessionMissing();
        return -1;
    }
    return m_session->DownloadFile(wire(serverPath).constData(), wire(target).constData(), kTransferFlag,
                                   kTransferWaitMs);
}

int MFileSynchronize::SaveConfigFile(const QString& localPath, const QString& nodeName)
{
    m_push->ClearFailures();
    if (!m_session) {
        sessionMissing();
        return -1;
    }
    const QString path = QString(localPath).replace('\\', '/');
    if (!QFileInfo::exists(path))
        return -2;
    const QString source = treeFile(path);
    const QString serverPath = configServerPath(path.mid(path.lastIndexOf('/') + 1));
    if (source.isEmpty() || serverPath.isEmpty())
        return -1;
    // The file goes up before the record that announces it.
    const int result =
        m_session->UploadFile(wire(serverPath).constData(), wire(source).constData(), kTransferFlag, kTransferWaitMs);
    if (result < 0) {
        mmi_debug(QString("save file failed %1 \n").arg(result));
        return result;
    }
    QString releaseTime = QFileInfo(source).lastModified().toString(Qt::ISODate);
    m_dbInterface->UpdateConfigFile(path, releaseTime, true);
    SynFileActive(path, nodeName);
    return result;
}

QString MFileSynchronize::ConfigFileLocalPath(const QString& filePath, const QString& fileName)
{
    QString directory = filePath;
    const int deployment = directory.indexOf("deployment");
    if (deployment >= 0)
        directory = directory.mid(deployment).remove("deployment");
    return MDeployPaths::Root() + directory + "/" + fileName;
}

void MFileSynchronize::SynConfigFiles()
{
    if (!m_session) {
        sessionMissing();
        return;
    }
    if (!hasRoot())
        return;
    QList<MDBRecordBase*> records;
    m_dbInterface->GetConfigFiles(records);
    for (const MDBRecordBase* base : std::as_const(records)) {
        const auto* record = static_cast<const MDBRecordConfigFile*>(base);
        const QString target = treeFile(ConfigFileLocalPath(record->filePath, record->name));
        const QString serverPath = configServerPath(record->name);
        // Missing files are left to GetConfigFile, which fetches on first use;
        // a file whose record time cannot be read is fetched every time here,
        // so that a site can always push its configuration out again.
        const bool unreadable = !RecordTime::Seconds(record->releaseTime);
        if (!target.isEmpty() && !serverPath.isEmpty() && QFileInfo::exists(target)
            && (unreadable || RecordTime::IsFileStale(target, record->releaseTime)))
            m_session->DownloadFile(wire(serverPath).constData(), wire(target).constData(), kTransferFlag,
                                    kTransferWaitMs);
    }
    qDeleteAll(records);
}

// ---- icons --------------------------------------------------------------------------

void MFileSynchronize::SynIconFiles()
{
    if (!hasRoot())
        return;
    QList<MDBRecordBase*> types;
    m_dbInterface->GetIconTypes(types);
    for (MDBRecordBase* type : std::as_const(types)) {
        QList<MDBRecordBase*> icons;
        m_dbInterface->GetChildren(type, icons);
        for (const MDBRecordBase* base : std::as_const(icons)) {
            const auto* icon = static_cast<const MDBRecordIcon*>(base);
            const QString local = MDeployPaths::IconFile(type->name, icon->uuid);
            if (!RecordTime::IsFileStale(local, icon->makeTime))
                continue;
            if (m_downloadFailures.value(local) >= kMaxIconAttempts)
                continue;
            if (GetFile(local) < 0)
                m_downloadFailures[local] += 1;
        }
        qDeleteAll(icons);
    }
    qDeleteAll(types);
}

// ---- pushes to workstations ----------------------------------------------------------

int MFileSynchronize::SynFileActive(const QString& localPath, const QString& nodeName) const
{
    return m_push->PushFile(localPath, nodeName);
}

void MFileSynchronize::SaveConfigFile()
{
    m_push->PushChosenFile();
}

QList<MFileSynchronize::PushFailure> MFileSynchronize::LastPushFailures() const
{
    return m_push->Failures();
}
