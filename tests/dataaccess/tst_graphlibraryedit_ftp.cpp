#include <QtTest>

#include <memory>

#include "brelmmidataagent.h"
#include "deploytree.h"
#include "ftptestserver.h"
#include "graphlibraryedit.h"
#include "mabstractdbinterface.h"
#include "mdbinterfaceholder.h"
#include "mdbrecords.h"
#include "recordlist.h"
#include "sitebuilder.h"
#include "testmain.h"

using TestSupport::DeployTree;
using TestSupport::FtpTestServer;

class tst_GraphLibraryEditFtp : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private Q_SLOTS:
    void renameAndDeleteOverFtp();
};

void tst_GraphLibraryEditFtp::renameAndDeleteOverFtp()
{
    // Guards against picture renames and deletions that reach a mounted share but not a real FTP file server.
    FtpTestServer server(m_dir.filePath("server"));
    TALMER_START_FTP(server);
    DeployTree tree;
    qputenv("TALMER_FILE_SERVER", server.url().toUtf8());
    MDBInterfaceHolder::Instance()->Reset();
    SiteGen::SiteBuilder site(BrelMmiDataAgent::Instance());
    const QString app = QString::fromUtf8("应用");
    const QString type = site.pictureType(site.application(app), "feeder", 9);
    site.picture(type, QString::fromUtf8("城东 线"));
    site.picture(type, "Gone");
    QVERIFY2(site.ok(), qPrintable(site.errors()));
    const QString serverApp = server.root() + "/pic/" + app + "/";
    for (const QString& picture : {QString::fromUtf8("城东 线"), QString("Gone")}) {
        QVERIFY(QDir().mkpath(serverApp + picture));
        QFile file(serverApp + picture + "/0.xrg");
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("draft") == 5);
        QVERIFY(tree.writeFile("pic/" + app + "/" + picture + "/0.xrg", "draft"));
    }

    MAbstractDBInterface* db = MDBInterfaceHolder::Instance()->GetInterface();
    MDBRecordNode* node = nullptr;
    db->GetNode(node, "node1");
    std::unique_ptr<MDBRecordNode> nodeOwner(node);
    QVERIFY(node);
    RecordList apps, types, pictures;
    db->GetChildren(node, apps.out());
    QCOMPARE(apps.size(), 1);
    db->GetChildren(apps.at(0), types.out());
    QCOMPARE(types.size(), 1);

    GraphLibraryEdit edit(db);
    const auto renamed = edit.RenamePicture(*apps.at(0), QString::fromUtf8("城东 线"), QString::fromUtf8("城西线"));
    QVERIFY2(renamed.ok(), qPrintable(renamed.message));
    QVERIFY(QFile::exists(serverApp + QString::fromUtf8("城西线/0.xrg")));
    QVERIFY(!QFile::exists(serverApp + QString::fromUtf8("城东 线")));
    QCOMPARE(tree.readFile("pic/" + app + QString::fromUtf8("/城西线/0.xrg")), QByteArray("draft"));

    db->GetChildren(types.at(0), pictures.out());
    MDBRecordBase* gone = pictures.at(0)->name == "Gone" ? pictures.at(0) : pictures.at(1);
    const auto deleted = edit.DeletePicture(*apps.at(0), *types.at(0), *gone);
    QVERIFY2(deleted.ok(), qPrintable(deleted.message));
    QVERIFY(!QFileInfo::exists(serverApp + "Gone"));
    QCOMPARE(tree.readFile("pic/temporary/Gone/0.xrg"), QByteArray("draft"));
    BrelMmiDataAgent::Instance()->Close();
}

TALMER_TEST_MAIN(tst_GraphLibraryEditFtp)
#include "tst_graphlibraryedit_ftp.moc"
