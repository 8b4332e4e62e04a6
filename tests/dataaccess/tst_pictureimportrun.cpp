#include <QDirIterator>
#include <QFile>

#include "mdbrecords.h"
#include "pictureimportrun.h"
#include "testmain.h"
#include "versiontesting.h"

using VersionTesting::VersionSite;

namespace {

// Every file below a folder with its bytes.
QMap<QString, QByteArray> tree(const QString& root)
{
    QMap<QString, QByteArray> files;
    for (QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        const QString path = it.next();
        files[QDir(root).relativeFilePath(path)] = VersionSite::bytes(path);
    }
    return files;
}

MDBRecordApplication application(const VersionSite& s)
{
    MDBRecordApplication app;
    app.name = "A";
    app.oid = s.site.app;
    return app;
}

} // namespace

class tst_PictureImportRun : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void importChecksTheNameAndTheResult_data();
    void importChecksTheNameAndTheResult();
    void foldersGiveTheirLatestOrDraft_data();
    void foldersGiveTheirLatestOrDraft();
    void folderImportLeavesTheSourceAlone();
};

void tst_PictureImportRun::importChecksTheNameAndTheResult_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("status");
    const QByteArray valid = "valid";
    QTest::newRow("typed name imported") << "N" << valid << int(PictureImportRun::Status::Imported);
    QTest::newRow("folder's name imported") << "" << valid << int(PictureImportRun::Status::Imported);
    QTest::newRow("existing picture of this type") << "F" << valid << int(PictureImportRun::Status::Imported);
    QTest::newRow("name with a separator refused") << "a/b" << valid << int(PictureImportRun::Status::NameRefused);
    QTest::newRow("name of another type's picture") << "S" << valid << int(PictureImportRun::Status::NameTaken);
    QTest::newRow("unreadable drawing: import failed") << "N" << QByteArray("<graph><broken") << int(PictureImportRun::Status::Failed);
}

void tst_PictureImportRun::importChecksTheNameAndTheResult()
{
    // Guards against importing under a refused or taken name, and "import finished" for nothing imported.
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(int, status);
    VersionSite s;
    s.site.builder().picture(s.site.station, "S");
    s.picture("F", {0});
    const QString source = s.site.tree().base() + "/import/folder/drawing.xrg";
    QVERIFY(ImportTesting::writeStation(source, "imported", 9));
    if (content != "valid")
        QVERIFY(s.site.tree().writeFile("../import/folder/drawing.xrg", content));
    const QByteArray before = VersionSite::bytes(source);
    const PictureImportRun::Outcome out = PictureImportRun(s.db.get(), application(s), "feeder").Import(source, 0, name);
    QCOMPARE(int(out.status), status);
    QCOMPARE(out.picture, name.isEmpty() ? QString("folder") : name);
    QCOMPARE(VersionSite::bytes(source), before);
    const bool imported = out.status == PictureImportRun::Status::Imported;
    QCOMPARE(out.error.isEmpty(), imported);
    if (imported)
        QCOMPARE(VersionSite::stationOf(VersionSite::local(out.picture, 0, "xrg")), QString("imported"));
    else if (name == "N")
        QVERIFY(!QFileInfo::exists(MDeployPaths::PictureDir("A", "N")));
}

void tst_PictureImportRun::foldersGiveTheirLatestOrDraft_data()
{
    QTest::addColumn<bool>("latest");
    QTest::addColumn<QStringList>("drawings");
    QTest::newRow("drafts") << false << QStringList{"0.xrg", "X/0.xrg", "X/deep/Y/0.xrg"};
    QTest::newRow("latest versions") << true << QStringList{"0.xrg", "X/12.xrg", "X/deep/Y/0.xrg"};
}

void tst_PictureImportRun::foldersGiveTheirLatestOrDraft()
{
    // Guards against a folder walk that misses nested pictures or takes "9" over "12".
    QFETCH(bool, latest);
    QFETCH(QStringList, drawings);
    QTemporaryDir root;
    for (const char* file : {"0.xrg", "X/0.xrg", "X/9.xrg", "X/12.xrg", "X/notes.xrg", "X/deep/Y/0.xrg",
                             "X/deep/Y/0.brg", "Z/readme.txt"}) {
        QVERIFY(QDir().mkpath(QFileInfo(root.filePath(file)).absolutePath()));
        QFile f(root.filePath(file));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QStringList found;
    for (const PictureImportRun::Folder& folder : PictureImportRun::PictureFolders(root.path(), latest))
        found << QDir(root.path()).relativeFilePath(folder.drawing);
    QCOMPARE(found, drawings);
}

void tst_PictureImportRun::folderImportLeavesTheSourceAlone()
{
    // Guards against the latest-version import overwriting the chosen folder's drafts.
    VersionSite s;
    const QString root = s.site.tree().base() + "/export";
    QVERIFY(ImportTesting::writeStation(root + "/X/0.xrg", "draft", 9));
    QVERIFY(ImportTesting::writeStation(root + "/X/2.xrg", "released", 9));
    QVERIFY(ImportTesting::writeStation(root + "/Y/0.xrg", "only draft", 9));
    const auto before = tree(root);
    PictureImportRun run(s.db.get(), application(s), "feeder");
    for (const PictureImportRun::Folder& folder : PictureImportRun::PictureFolders(root, true))
        QCOMPARE(int(run.Import(folder.drawing, 0, {}).status), int(PictureImportRun::Status::Imported));
    QCOMPARE(tree(root), before);
    QCOMPARE(VersionSite::stationOf(VersionSite::local("X", 0, "xrg")), QString("released"));
    QCOMPARE(VersionSite::stationOf(VersionSite::local("Y", 0, "xrg")), QString("only draft"));
}

TALMER_TEST_MAIN(tst_PictureImportRun)
#include "tst_pictureimportrun.moc"
