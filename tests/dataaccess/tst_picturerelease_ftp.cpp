#include <QFile>
#include <memory>

#include "brelmmidataagent.h"
#include "deploytree.h"
#include "ftptestserver.h"
#include "importtesting.h"
#include "mdbrecords.h"
#include "mdeploypaths.h"
#include "mgraphdoc.h"
#include "mvarendbinterface.h"
#include "picturedrafts.h"
#include "picturerelease.h"
#include "sitebuilder.h"
#include "testmain.h"

using TestSupport::DeployTree;
using TestSupport::FtpTestServer;

namespace {

bool writeDraft(const QString& station)
{
    MGraphDoc doc;
    ImportTesting::buildStation(doc, station, 9);
    const QString directory = MDeployPaths::PictureDir("A", "P");
    return QDir().mkpath(directory) && doc.WriteXmlFile(directory + "/0.xrg") && doc.WriteDataFile(directory + "/0.brg");
}

} // namespace

class tst_PictureReleaseFtp : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<FtpTestServer> m_server;
    std::unique_ptr<DeployTree> m_tree;
    std::unique_ptr<SiteGen::SiteBuilder> m_site;
    MDBRecordPicture m_picture;

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void releaseSeenByAnotherWorkstation();
    void serverStoppedReleasesNothing();
};

void tst_PictureReleaseFtp::initTestCase()
{
    m_server = std::make_unique<FtpTestServer>(m_dir.filePath("server"));
    TALMER_START_FTP(*m_server);
    m_tree = std::make_unique<DeployTree>();
    // The file session is taken once per process, with this server.
    qputenv("TALMER_FILE_SERVER", m_server->url().toUtf8());
    m_site = std::make_unique<SiteGen::SiteBuilder>(BrelMmiDataAgent::Instance());
    m_picture.name = "P";
    m_picture.oid = m_site->picture(m_site->pictureType(m_site->application("A"), "feeder", 9), "P");
    m_site->edition(m_picture.oid, 0, "2026-01-01T10:00:00");
    QVERIFY(m_site->ok());
}

void tst_PictureReleaseFtp::cleanupTestCase()
{
    m_site.reset();
    BrelMmiDataAgent::Instance()->Close();
    m_tree.reset();
}

void tst_PictureReleaseFtp::releaseSeenByAnotherWorkstation()
{
    // Guards against a release that reaches the library but not, over a real FTP server, the other workstations.
    MVarenDBInterface db;
    QVERIFY(writeDraft("first"));
    const PictureRelease::Outcome out = PictureRelease(&db, "A", m_picture).Release(true);
    QVERIFY2(out.ok, qPrintable(out.errors.join("\n")));
    QCOMPARE(out.version, 1);
    QFile released(MDeployPaths::VersionFile("A", "P", 1, "brg"));
    QVERIFY(released.open(QIODevice::ReadOnly));
    const QByteArray binary = released.readAll();

    DeployTree other; // another workstation: its own deployment tree, the same library and server
    qputenv("TALMER_HMI_DB", QFile::encodeName(m_tree->path("var/hmi.sqlite")));
    QVERIFY(!QFileInfo::exists(MDeployPaths::VersionFile("A", "P", 1, "xrg")));
    QCOMPARE(PictureDrafts::LatestVersion(&db, "A", "P"), 1);
    MGraphDoc doc;
    QVERIFY(doc.ReadXmlFile(MDeployPaths::VersionFile("A", "P", 1, "xrg")));
    QCOMPARE(doc.GetGraphStation(1), QString("first"));
    QFile fetched(MDeployPaths::VersionFile("A", "P", 1, "brg"));
    QVERIFY(fetched.open(QIODevice::ReadOnly));
    QCOMPARE(fetched.readAll(), binary);
}

void tst_PictureReleaseFtp::serverStoppedReleasesNothing()
{
    // Guards against a release recorded while the file server is down.
    MVarenDBInterface db;
    QVERIFY(writeDraft("second"));
    m_server->stop();
    const PictureRelease::Outcome out = PictureRelease(&db, "A", m_picture).Release(true);
    QVERIFY(!out.ok);
    QVERIFY(!out.errors.isEmpty());
    MDataSet set;
    BrelMmiDataAgent::Instance()->QueryChild(m_picture.oid, "history_edition", {"version"}, set);
    QCOMPARE(set.DataNum(), 2); // the draft and version 1
    QVERIFY(!QFileInfo::exists(MDeployPaths::VersionFile("A", "P", 2, "xrg")));
    QVERIFY(QDir(MDeployPaths::PictureDir("A", "P")).entryList({"~*"}, QDir::Files).isEmpty());
    QVERIFY(QFileInfo::exists(m_server->root() + "/pic/A/P/1.xrg"));
    QVERIFY(!QFileInfo::exists(m_server->root() + "/pic/A/P/2.xrg"));
}

TALMER_TEST_MAIN(tst_PictureReleaseFtp)
#include "tst_picturerelease_ftp.moc"
