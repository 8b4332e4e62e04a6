#include "mfilesynchronize.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHostInfo>
#include <QRegularExpression>
#include <cstdio>
#include <limits>
#include <memory>

#include "brelsysmandataagent.h"
#include "file_svrconn_manager.h"
#include "i_file_session.h"
#include "mabstractdbinterface.h"
#include "mappdict.h"
#include "mdbinterfaceholder.h"
#include "mdbrecords.h"
#include "mdeploypaths.h"
#include "mmidebug.h"
#include "mnodesselectdialog.h"
#include "net_ftp.h"
#include "recordtime.h"

MFileSynchronize* MFileSynchronize::m_pInstance = nullptr;

namespace {

constexpr int kTransferFlag = 1;
constexpr int kTransferWaitMs = 10000;
constexpr int kLoginWaitMs = 1000;
constexpr int kMaxIconAttempts = 3;
const QString kConfigDirectory = QStringLiteral("mmiconfig/");

// The "/"-separated pieces of path from index first on; the count of "/" decides
// where that is, so doubled or trailing slashes shift the result.
QString lastPieces(const QString& path, int fromEnd)
{
    const int slashes = int(path.count('/'));
    return path.split('/').mid(qMax(0, slashes - fromEnd)).join('/');
}

// Names travel to the file server as UTF-8, so Chinese names survive.
QByteArray wire(const QString& text)
{
    return text.toUtf8();
}

void sessionMissing()
{
    mmi_debug(" file session is NULL \n");
}

} // namespace

MFileSynchronize::MFileSynchronize()
    : m_session(file_svrconn_manager::instance()->get_file_session()),
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
    if (localPath.contains("/pic/"))
        return lastPieces(localPath, 3);
    if (localPath.contains("/icon/") || localPath.contains("/template/"))
        return lastPieces(localPath, 2);
    if (localPath.contains("/curve/"))
        return lastPieces(localPath, 1);
    return {};
}

QString MFileSynchronize::ServerPathForStore(const QString& localPath)
{
    const int curve = localPath.indexOf("/curve/");
    if (!localPath.contains("/pic/") && !localPath.contains("/icon/") && !localPath.contains("/template/")
        && curve >= 0)
        return localPath.mid(curve + 1);
    return ServerPathForFetch(localPath);
}

QString MFileSynchronize::RemotePushPath(const QString& localPath)
{
    const int deployment = localPath.indexOf("deployment/");
    return "/" + (deployment >= 0 ? localPath.mid(deployment) : localPath);
}

// ---- single files ----------------------------------------------------------------

int MFileSynchronize::GetFile(const QString& localPath) const
{
    if (!m_session) {
        sessionMissing();
        return -1;
    }
    const QString serverPath = ServerPathForFetch(localPath);
    const QString directory = localPath.left(localPath.lastIndexOf('/'));
    if (!QFileInfo(directory).isDir() && !QDir().mkpath(directory))
        return -1;
    const int result =
        m_session->DownloadFile(wire(serverPath).constData(), wire(localPath).constData(), kTransferFlag, kTransferWaitMs);
    if (result < 0)
        mmi_debug(QString("get file failed %1 \n").arg(result));
    return result;
}

int MFileSynchronize::SaveFile(const QString& localPath, const QString& serverName) const
{
    if (!m_session) {
        sessionMissing();
        return -1;
    }
    QString serverPath;
    if (!serverName.isNull()) {
        serverPath = localPath.contains("/pic/") ? lastPieces(localPath, 3).section('/', 0, 2) + "/" + serverName
                                                 : serverName;
    } else {
        serverPath = ServerPathForStore(localPath);
        if (localPath.contains("/icon/") || localPath.contains("/template/"))
            SynFileActive(localPath, QString());
    }
    const int result =
        m_session->UploadFile(wire(serverPath).constData(), wire(localPath).constData(), kTransferFlag, kTransferWaitMs);
    if (result < 0)
        mmi_debug(QString("save file failed %1 \n").arg(result));
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
    const QString directory = path.left(path.lastIndexOf('/'));
    if (!QFileInfo(directory).isDir() && !QDir().mkpath(directory))
        return 0;
    const QString serverPath = kConfigDirectory + path.mid(path.lastIndexOf('/') + 1);
    if (existed) {
        QString releaseTime;
        m_dbInterface->UpdateConfigFile(path, releaseTime, false);
        if (releaseTime.isEmpty())
            return -1;
        if (!RecordTime::IsFileStale(path, releaseTime))
            return 0;
    }
    if (!m_session) {
        if (!existed)
            sessionMissing();
        return -1;
    }
    return m_session->DownloadFile(wire(serverPath).constData(), wire(path).constData(), kTransferFlag, kTransferWaitMs);
}

int MFileSynchronize::SaveConfigFile(const QString& localPath, const QString& nodeName)
{
    if (!m_session) {
        sessionMissing();
        return -1;
    }
    const QString path = QString(localPath).replace('\\', '/');
    if (!QFileInfo::exists(path))
        return -2;
    QString releaseTime = QFileInfo(path).lastModified().toString(Qt::ISODate);
    m_dbInterface->UpdateConfigFile(path, releaseTime, true);
    SynFileActive(path, nodeName);
    const QString serverPath = kConfigDirectory + path.mid(path.lastIndexOf('/') + 1);
    const int result =
        m_session->UploadFile(wire(serverPath).constData(), wire(path).constData(), kTransferFlag, kTransferWaitMs);
    if (result < 0)
        mmi_debug(QString("save file failed %1 \n").arg(result));
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
    QList<MDBRecordBase*> records;
    m_dbInterface->GetConfigFiles(records);
    for (const MDBRecordBase* base : std::as_const(records)) {
        const auto* record = static_cast<const MDBRecordConfigFile*>(base);
        const QString local = ConfigFileLocalPath(record->filePath, record->name);
        // Missing files are left to GetConfigFile, which fetches on first use;
        // a file whose record time cannot be read is fetched every time here,
        // so that a site can always push its configuration out again.
        const bool unreadable = !RecordTime::Seconds(record->releaseTime);
        if (QFileInfo::exists(local) && (unreadable || RecordTime::IsFileStale(local, record->releaseTime)))
            m_session->DownloadFile(wire(kConfigDirectory + record->name).constData(), wire(local).constData(),
                                    kTransferFlag, kTransferWaitMs);
    }
    qDeleteAll(records);
}

// ---- icons --------------------------------------------------------------------------

void MFileSynchronize::SynIconFiles()
{
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

QStringList MFileSynchronize::PushTargets(const QString& nodeName)
{
    if (!nodeName.isEmpty())
        return {nodeName};
    BrelSysmanDataAgent* agent = MAppDict::Instance()->GetAgent();
    if (!agent)
        return {};
    const QString local = QHostInfo::localHostName().toLower();
    QStringList targets;
    for (const QString& node : agent->GetNodeList()) {
        if (node.toLower() != local)
            targets << node.toLower();
    }
    return targets;
}

int MFileSynchronize::pushTo(const QString& localPath, const QStringList& nodes)
{
    // One client per workstation, in name order; a name given twice gets the file once.
    std::map<QString, std::unique_ptr<net_ftp>> clients;
    for (const QString& node : nodes) {
        auto client = std::make_unique<net_ftp>();
        client->login(node, QString(), QString(), kLoginWaitMs);
        clients[node] = std::move(client);
    }
    const QString remote = RemotePushPath(localPath);
    int result = 0;
    for (auto& [node, client] : clients) {
        result = client->put(localPath, remote, kTransferWaitMs);
        client.reset();
    }
    return result;
}

int MFileSynchronize::SynFileActive(const QString& localPath, const QString& nodeName) const
{
    if (!MAppDict::Instance()->GetAgent())
        return 0;
    return pushTo(localPath, PushTargets(nodeName));
}

void MFileSynchronize::SaveConfigFile()
{
    MNodesSelectDialog dialog(PushTargets(QString()), nullptr);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString file = dialog.SelectedFile();
    if (!QFileInfo::exists(file))
        return;
    pushTo(file, dialog.SelectedNodes());
}
