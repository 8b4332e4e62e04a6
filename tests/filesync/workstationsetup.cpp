#include "workstationsetup.h"

#include <QDirIterator>
#include <QTcpServer>

#include "brelmmidataagent.h"
#include "mhmiadmin.h"

using TestSupport::FtpTestServer;

const QString WorkstationSetup::kPicture = QString::fromUtf8("北京变电站");
const QString WorkstationSetup::kStaleFile = QString::fromUtf8("pic/A/北京变电站/2.brg");
const QString WorkstationSetup::kIconFile = QStringLiteral("icon/breaker/{u1}.xco");

namespace {

const QString kVersion2Time = QStringLiteral("2026-03-01T10:00:00");
const QString kDraftTime = QStringLiteral("2026-03-02T10:00:00");
const QString kOtherTime = QStringLiteral("2026-02-10T09:00:00");
const QString kIconTime = QStringLiteral("2026-02-01T08:00:00");
const QString kConfigTime = QStringLiteral("2026-02-05T08:00:00");

QDateTime at(const QString& recordTime, qint64 offsetSecs)
{
    return QDateTime::fromString(recordTime, Qt::ISODate).addSecs(offsetSecs);
}

// A loopback port that nothing listens on: taken, then given back at once.
int freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost) ? probe.serverPort() : 0;
}

} // namespace

bool WorkstationSetup::startServers()
{
    m_ws1 = std::make_unique<FtpTestServer>(m_dir.filePath("ws1"));
    m_ws2 = std::make_unique<FtpTestServer>(m_dir.filePath("ws2"));
    m_deadPort = freePort();
    return m_ws1->start() && m_ws2->start() && m_deadPort > 0;
}

QString WorkstationSetup::connectTo() const
{
    return QString("ws1:21:127.0.0.1:%1;ws2:21:127.0.0.1:%2;ws3:21:127.0.0.1:%3")
        .arg(m_ws1->port())
        .arg(m_ws2->port())
        .arg(m_deadPort);
}

bool WorkstationSetup::prepare()
{
    m_site.reset();
    m_site = std::make_unique<TestSupport::TestSite>();
    qputenv("TALMER_FTP_CONNECT_TO", connectTo().toUtf8());
    SiteGen::SiteBuilder& site = m_site->builder();
    const QString beijing = site.picture(m_site->station, kPicture);
    site.edition(beijing, 1, "2026-01-05T10:00:00");
    site.edition(beijing, 2, kVersion2Time);
    site.edition(beijing, 0, kDraftTime);
    site.edition(site.picture(m_site->feeder, QString::fromUtf8("朝阳站")), 1, kOtherTime);
    site.icon(site.iconType("breaker", 3), "breaker", "{u1}", kIconTime);
    site.configFile("alarm.ini", "D:/x/deployment/etc/mmi", kConfigTime);
    for (const QString node : {"ws1", "WS2", "ws3", "ws2"}) { // WS2 and ws2: one workstation
        if (!MHmiAdmin::AddNode(node))
            return false;
    }
    for (FtpTestServer* ws : {m_ws1.get(), m_ws2.get()})
        QDir(ws->root() + "/deployment").removeRecursively();
    return site.ok() && writeCopies(m_ws1->root(), false) && writeCopies(m_ws2->root(), true);
}

bool WorkstationSetup::writeCopies(const QString& root, bool stale) const
{
    const QString picture = root + "/deployment/pic/A/" + kPicture + "/";
    const QString other = root + QString::fromUtf8("/deployment/pic/A/朝阳站/");
    bool ok = true;
    // Fetched an hour after each record, as a workstation does; ws2 still has
    // the 2.brg of a day before version 2 was made.
    ok &= TestSupport::writeFile(picture + "2.brg", "v2 binary", at(kVersion2Time, stale ? -86400 : 3600));
    ok &= TestSupport::writeFile(picture + "2.fg", "v2 data", at(kVersion2Time, 3600));
    ok &= TestSupport::writeFile(picture + "1.brg", "v1 binary", at("2026-01-05T10:00:00", 3600));
    ok &= TestSupport::writeFile(picture + "0.brg", "draft binary", at(kDraftTime, 3600));
    ok &= TestSupport::writeFile(picture + "0.fg", "draft data", at(kDraftTime, 3600));
    ok &= TestSupport::writeFile(other + "1.brg", "binary", at(kOtherTime, 3600));
    ok &= TestSupport::writeFile(other + "1.fg", "data", at(kOtherTime, 0)); // the same second counts as current
    ok &= TestSupport::writeFile(root + "/deployment/etc/mmi/alarm.ini", "alarms", at(kConfigTime, 3600));
    if (!stale)
        ok &= TestSupport::writeFile(root + "/deployment/" + kIconFile, "icon", at(kIconTime, 3600));
    return ok;
}

void WorkstationSetup::release()
{
    BrelMmiDataAgent::Instance()->Close();
}

QStringList WorkstationSetup::serverState() const
{
    QStringList state;
    for (const FtpTestServer* ws : {m_ws1.get(), m_ws2.get()}) {
        QDirIterator it(ws->root(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            state << QString("%1 %2 %3")
                         .arg(info.filePath())
                         .arg(info.isDir() ? -1 : info.size())
                         .arg(info.lastModified().toMSecsSinceEpoch());
        }
    }
    state.sort();
    return state;
}
