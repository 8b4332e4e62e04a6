#include "workstationpush.h"

#include <QFileInfo>
#include <QHostInfo>

#include <map>
#include <memory>

#include "brelsysmandataagent.h"
#include "mappdict.h"
#include "mdeploypaths.h"
#include "mmidebug.h"
#include "mnodesselectdialog.h"
#include "net_ftp.h"

namespace {

constexpr int kTransferWaitMs = 10000;
constexpr int kLoginWaitMs = 1000;
// A file that is not below the deployment root is never pushed: its place on
// the workstation would be a guess, and a link could hand out any file.
constexpr int kNotInTree = -3;

} // namespace

QStringList WorkstationPush::Targets(const QString& nodeName)
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

QString WorkstationPush::RemotePath(const QString& localPath)
{
    const QString relative = MDeployPaths::RelativePath(localPath);
    return relative.isEmpty() ? QString() : "/deployment/" + relative;
}

int WorkstationPush::pushTo(const QString& localPath, const QStringList& nodes)
{
    m_failures.clear();
    const QString remote = MDeployPaths::IsInsideRoot(localPath) ? RemotePath(localPath) : QString();
    // One client per workstation, in name order; a name given twice gets the file once.
    std::map<QString, std::unique_ptr<net_ftp>> clients;
    for (const QString& node : nodes) {
        auto client = std::make_unique<net_ftp>();
        if (!remote.isEmpty())
            client->login(node, QString(), QString(), kLoginWaitMs);
        clients[node] = std::move(client);
    }
    for (auto& [node, client] : clients) {
        const int result = remote.isEmpty() ? kNotInTree : client->put(localPath, remote, kTransferWaitMs);
        if (result < 0) {
            const QString reason = remote.isEmpty() ? QStringLiteral("not a file of the deployment tree")
                                                    : client->lastError();
            m_failures.append({node, result, reason});
            mmi_debug(QString("push to %1 failed %2 \n").arg(node).arg(result));
        }
        client.reset();
    }
    return m_failures.isEmpty() ? 0 : m_failures.first().result;
}

int WorkstationPush::PushFile(const QString& localPath, const QString& nodeName)
{
    m_failures.clear();
    if (!MAppDict::Instance()->GetAgent())
        return 0;
    return pushTo(localPath, Targets(nodeName));
}

void WorkstationPush::PushChosenFile()
{
    m_failures.clear();
    MNodesSelectDialog dialog(Targets(QString()), nullptr);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString file = dialog.SelectedFile();
    if (!QFileInfo::exists(file))
        return;
    pushTo(file, dialog.SelectedNodes());
}
