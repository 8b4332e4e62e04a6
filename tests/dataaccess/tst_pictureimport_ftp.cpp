#include <QFile>
#include <memory>

#include "brelmmidataagent.h"
#include "deploytree.h"
#include "ftptestserver.h"
#include "importtesting.h"
#include "mvarendbinterface.h"
#include "sitebuilder.h"
#include "testmain.h"

using TestSupport::DeployTree;
using TestSupport::FtpTestServer;
using SiteGen::SiteBuilder;

class tst_PictureImportFtp : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<FtpTestServer> m_server;

private Q_SLOTS:
    void importEndToEndOverFtp();
};

void tst_PictureImportFtp::importEndToEndOverFtp()
{
    // Guards against an import that works on a mounted share but not against a real FTP file server.
    m_server = std::make_unique<FtpTestServer>(m_dir.filePath("server"));
    TALMER_START_FTP(*m_server);
    DeployTree tree;
    qputenv("TALMER_FILE_SERVER", m_server->url().toUtf8());
    SiteBuilder site(BrelMmiDataAgent::Instance());
    const QString type = site.pictureType(site.application(QString::fromUtf8("应用")), "feeder", 9);
    const QString pic = site.picture(type, QString::fromUtf8("城东 线"));
    const QString serverDir = m_server->root() + QString::fromUtf8("/pic/应用/城东 线/");
    QDir().mkpath(serverDir);
    for (int v = 0; v <= 4; ++v) {
        site.edition(pic, v, "2026-01-01T10:00:00");
        QFile f(serverDir + QString("%1.xrg").arg(v));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QVERIFY(site.ok());
    QVERIFY(ImportTesting::writeStation(tree.base() + "/import/x/drawing.xrg", "X", 9));

    MVarenDBInterface db;
    db.ImportPictureFile(QString::fromUtf8("应用"), "feeder", tree.base() + "/import/x/drawing.xrg", 1,
                         QString::fromUtf8("城东 线"), 3);
    QStringList files = QDir(serverDir).entryList(QDir::Files);
    files.sort();
    QCOMPARE(files, (QStringList{"0.xrg", "3.xrg", "4.xrg", "5.brg", "5.fg", "5.xrg"}));
    MDataSet set;
    BrelMmiDataAgent::Instance()->QueryChild(pic, "history_edition", {"version"}, set);
    QCOMPARE(set.DataNum(), 4); // 0, 3, 4 and the new 5
    BrelMmiDataAgent::Instance()->Close();
}

TALMER_TEST_MAIN(tst_PictureImportFtp)
#include "tst_pictureimport_ftp.moc"
