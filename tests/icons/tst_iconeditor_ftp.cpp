#include <QHostInfo>
#include <QTest>

#include <memory>

#include "ftptestserver.h"
#include "icontesting.h"
#include "mdeploypaths.h"
#include "mhmiadmin.h"
#include "miconboxeditor.h"
#include "miconvieweditor.h"
#include "testmain.h"
#include "testsite.h"

using TestSupport::FtpTestServer;
using TestSupport::TestSite;

// The icon editor against real FTP servers: the file server and two other
// workstations. One case: the process keeps its first file session.
class tst_IconEditorFtp : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_servers;
    std::unique_ptr<FtpTestServer> m_server;
    std::unique_ptr<FtpTestServer> m_ws[2];

private Q_SLOTS:
    void initTestCase();
    void registeredIconsAreUploadedAndPushed();
};

void tst_IconEditorFtp::initTestCase()
{
    m_server = std::make_unique<FtpTestServer>(m_servers.filePath("fileserver"));
    QVERIFY(QDir().mkpath(m_servers.filePath("fileserver/base")));
    TALMER_START_FTP(*m_server);
    for (int i = 0; i < 2; ++i) {
        m_ws[i] = std::make_unique<FtpTestServer>(m_servers.filePath(QString("ws%1").arg(i + 2)));
        TALMER_START_FTP(*m_ws[i]);
    }
}

void tst_IconEditorFtp::registeredIconsAreUploadedAndPushed()
{
    // Guards against a new icon stored under an empty server name: never uploaded, never pushed.
    TestSite site(TestSite::FileServer::None);
    const QString breaker = site.builder().iconType("breaker", 2);
    QVERIFY(site.builder().ok());
    qputenv("TALMER_FILE_SERVER", m_server->url("/base").toUtf8());
    qputenv("TALMER_FTP_CONNECT_TO", QString("ws2:21:127.0.0.1:%1;ws3:21:127.0.0.1:%2")
                                         .arg(m_ws[0]->port())
                                         .arg(m_ws[1]->port())
                                         .toUtf8());
    QVERIFY(MHmiAdmin::AddNode("ws2"));
    QVERIFY(MHmiAdmin::AddNode("ws3"));
    const QString uuid = "{00000001-0000-4000-8000-000000000000}";
    QVERIFY(IconTesting::writeIcon(MDeployPaths::IconFile("breaker", uuid), "N", uuid, "breaker"));
    const QByteArray content = TestSupport::readFile(MDeployPaths::IconFile("breaker", uuid));

    MIconViewEditor view;
    view.RegisterIcon("breaker", "N", uuid);
    const QString relative = "icon/breaker/" + uuid + ".xco";
    QCOMPARE(TestSupport::readFile(m_server->root() + "/base/" + relative), content);
    QCOMPARE(TestSupport::readFile(m_ws[0]->root() + "/deployment/" + relative), content);
    QCOMPARE(TestSupport::readFile(m_ws[1]->root() + "/deployment/" + relative), content);
}

TALMER_TEST_MAIN(tst_IconEditorFtp)
#include "tst_iconeditor_ftp.moc"
