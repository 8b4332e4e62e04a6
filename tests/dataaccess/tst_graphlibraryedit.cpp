#include <QtTest>

#include <memory>

#include "graphlibraryedit.h"
#include "mabstractdbinterface.h"
#include "mdbinterfaceholder.h"
#include "mdbrecords.h"
#include "mdeploypaths.h"
#include "mgraphdoc.h"
#include "msqldataagent.h"
#include "picturefolders.h"
#include "recordlist.h"
#include "brelmmidataagent.h"
#include "testdatabase.h"
#include "testmain.h"
#include "testsite.h"

using Result = GraphLibraryEdit::Result;
using SiteGen::SiteBuilder;

class tst_GraphLibraryEdit : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestSupport::TestSite> m_site;
    std::unique_ptr<MSqlDataAgent> m_outer; // the outer network's database, when a test has one
    std::unique_ptr<MDBRecordNode> m_node;
    RecordList m_apps, m_types;

    MAbstractDBInterface* db() { return MDBInterfaceHolder::Instance()->GetInterface(); }
    SiteBuilder& site() { return m_site->builder(); }
    // Reads node1, application "A" and its picture types afresh.
    void readLibrary();
    MDBRecordBase* app() { return m_apps.at(0); }
    MDBRecordPicType* type(const QString& name);
    // Opens an outer network database and makes the interface use it.
    void useOuterDatabase();

    bool writeLocal(const QString& relative, const QByteArray& data = "x")
    {
        return m_site->tree().writeFile(relative, data);
    }
    bool writeServer(const QString& relative)
    {
        QDir().mkpath(QFileInfo(m_site->server(relative)).path());
        QFile file(m_site->server(relative));
        return file.open(QIODevice::WriteOnly) && file.write("s") == 1;
    }
    bool local(const QString& relative) { return QFileInfo::exists(m_site->tree().path(relative)); }
    bool server(const QString& relative) { return QFileInfo::exists(m_site->server(relative)); }
    QStringList pictureNames();

private Q_SLOTS:
    void init();
    void cleanup();

    void safeFolderNames_data();
    void safeFolderNames();
    void createPicture();
    void renameMovesRecordsFoldersAndServer_data();
    void renameMovesRecordsFoldersAndServer();
    void renameKeepsPrivilegesAndArea();
    void refusedRenameChangesNothing_data();
    void refusedRenameChangesNothing();
    void renameRenamesEveryRecordOfTheName();
    void deleteKeepsFilesOfADuplicateName();
    void unsafeNamesAreRefusedBeforeAnyPath();
    void outerNetwork();
    void pasteSourcesThatCannotBeRead_data();
    void pasteSourcesThatCannotBeRead();
};

void tst_GraphLibraryEdit::init()
{
    m_site = std::make_unique<TestSupport::TestSite>();
    readLibrary();
}

void tst_GraphLibraryEdit::cleanup()
{
    m_apps.Clear();
    m_types.Clear();
    m_node.reset();
    m_site.reset();
    m_outer.reset();
}

void tst_GraphLibraryEdit::readLibrary()
{
    m_apps.Clear();
    m_types.Clear();
    MDBRecordNode* node = nullptr;
    db()->GetNode(node, "node1");
    m_node.reset(node);
    QVERIFY(m_node);
    db()->GetChildren(m_node.get(), m_apps.out());
    QVERIFY(!m_apps.isEmpty() && app()->name == "A");
    db()->GetChildren(app(), m_types.out());
}

MDBRecordPicType* tst_GraphLibraryEdit::type(const QString& name)
{
    for (MDBRecordBase* each : m_types) {
        if (each->name == name)
            return static_cast<MDBRecordPicType*>(each);
    }
    return nullptr;
}

void tst_GraphLibraryEdit::useOuterDatabase()
{
    const QString outer = m_site->tree().path("var/outer.sqlite");
    m_outer = std::make_unique<MSqlDataAgent>();
    QVERIFY(m_outer->Open(outer, MSqlDataAgent::OpenMode::CreateIfMissing));
    qputenv("IS_IN_OUTER_NET", "1");
    qputenv("TALMER_OUTER_DB", outer.toUtf8());
    MDBInterfaceHolder::Instance()->Reset();
}

QStringList tst_GraphLibraryEdit::pictureNames()
{
    QStringList names;
    for (MDBRecordBase* each : m_types) {
        RecordList pictures;
        db()->GetChildren(each, pictures.out());
        for (const MDBRecordBase* picture : pictures)
            names << picture->name;
    }
    names.sort();
    return names;
}

void tst_GraphLibraryEdit::safeFolderNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("safe");
    QTest::newRow("plain") << "P1" << true;
    QTest::newRow("chinese") << QString::fromUtf8("北京站") << true;
    QTest::newRow("dots inside") << "a..b" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("dot") << "." << false;
    QTest::newRow("dot dot") << ".." << false;
    QTest::newRow("up and out") << "../x" << false;
    QTest::newRow("slash") << "a/b" << false;
    QTest::newRow("backslash") << "a\\b" << false;
    QTest::newRow("newline") << "a\nb" << false;
}

void tst_GraphLibraryEdit::safeFolderNames()
{
    // Guards against a name from a database leading a folder move out of its place.
    QFETCH(QString, name);
    QFETCH(bool, safe);
    QCOMPARE(PictureFolders::IsSafeName(name), safe);
}

void tst_GraphLibraryEdit::createPicture()
{
    // Guards against a picture created twice, without its folder, or over a stale folder's files.
    GraphLibraryEdit edit(db());
    QVERIFY(writeLocal("pic/A/P/0.xrg", "stale"));
    QVERIFY(edit.CreatePicture(*m_node, *app(), *type("station"), "P").ok());
    QVERIFY(QFileInfo(MDeployPaths::PictureDir("A", "P")).isDir());
    QVERIFY(!local("pic/A/P/0.xrg"));
    QCOMPARE(m_site->tree().readFile("pic/temporary/P/0.xrg"), QByteArray("stale"));
    QCOMPARE(edit.CreatePicture(*m_node, *app(), *type("feeder"), "P").status, Result::Taken);
    QCOMPARE(edit.CreatePicture(*m_node, *app(), *type("feeder"), "").status, Result::Unchanged);
    QCOMPARE(edit.CreatePicture(*m_node, *app(), *type("feeder"), "x/y").status, Result::Refused);
    QCOMPARE(pictureNames(), QStringList{"P"});
}

void tst_GraphLibraryEdit::renameMovesRecordsFoldersAndServer_data()
{
    QTest::addColumn<bool>("fetched");
    QTest::addColumn<bool>("leftover");
    QTest::newRow("fetched folder") << true << false;
    QTest::newRow("leftover of the new name") << true << true;
    QTest::newRow("folder never fetched") << false << false;
    QTest::newRow("never fetched, leftover there") << false << true;
}

void tst_GraphLibraryEdit::renameMovesRecordsFoldersAndServer()
{
    // Guards against a rename that leaves the record pointing at a name with no files.
    QFETCH(bool, fetched);
    QFETCH(bool, leftover);
    site().picture(m_site->station, "Old");
    if (fetched)
        QVERIFY(writeLocal("pic/A/Old/0.xrg", "old draft"));
    if (leftover)
        QVERIFY(writeLocal("pic/A/New/0.xrg", "leftover"));
    QVERIFY(writeServer("pic/A/Old/1.brg"));

    GraphLibraryEdit edit(db());
    const Result renamed = edit.RenamePicture(*app(), "Old", "New");
    QVERIFY2(renamed.ok(), qPrintable(renamed.message));
    QCOMPARE(pictureNames(), QStringList{"New"});
    QCOMPARE(local("pic/A/New/0.xrg"), fetched); // a leftover is put aside, never kept as the picture's
    if (fetched)
        QCOMPARE(m_site->tree().readFile("pic/A/New/0.xrg"), QByteArray("old draft"));
    if (leftover)
        QCOMPARE(m_site->tree().readFile("pic/temporary/New/0.xrg"), QByteArray("leftover"));
    QVERIFY(!local("pic/A/Old"));
    QVERIFY(server("pic/A/New/1.brg"));
    QVERIFY(!server("pic/A/Old"));
}

void tst_GraphLibraryEdit::renameKeepsPrivilegesAndArea()
{
    // Guards against a rename writing back privilege codes and area it never read: visible to everyone.
    site().picture(m_site->station, "Guarded", 5, 7, 3);
    GraphLibraryEdit edit(db());
    QVERIFY(edit.RenamePicture(*app(), "Guarded", "Renamed").ok());
    RecordList pictures;
    edit.PicturesNamed(*app(), "Renamed", pictures);
    QCOMPARE(pictures.size(), 1);
    const auto* picture = static_cast<const MDBRecordPicture*>(pictures.at(0));
    QCOMPARE(picture->inPrivCode, 5);
    QCOMPARE(picture->outPrivCode, 7);
    QCOMPARE(picture->aorNum, 3);
}

void tst_GraphLibraryEdit::refusedRenameChangesNothing_data()
{
    QTest::addColumn<QString>("newName");
    QTest::addColumn<int>("status");
    QTest::newRow("up and out") << "../x" << int(Result::Refused);
    QTest::newRow("into a subfolder") << "a/b" << int(Result::Refused);
    QTest::newRow("blank at the end") << "x " << int(Result::Refused);
    QTest::newRow("taken") << "Other" << int(Result::Taken);
    QTest::newRow("empty") << "" << int(Result::Unchanged);
    QTest::newRow("same name") << "Old" << int(Result::Unchanged);
}

void tst_GraphLibraryEdit::refusedRenameChangesNothing()
{
    // Guards against a refused name moving the picture's folder out of place or renaming anything.
    QFETCH(QString, newName);
    QFETCH(int, status);
    site().picture(m_site->station, "Old");
    site().picture(m_site->feeder, "Other");
    QVERIFY(writeLocal("pic/A/Old/0.xrg"));
    QVERIFY(writeLocal("pic/A/Other/0.xrg"));
    QVERIFY(writeServer("pic/A/Old/0.xrg"));
    GraphLibraryEdit edit(db());
    QCOMPARE(int(edit.RenamePicture(*app(), "Old", newName).status), status);
    QCOMPARE(pictureNames(), (QStringList{"Old", "Other"}));
    QVERIFY(local("pic/A/Old/0.xrg") && local("pic/A/Other/0.xrg") && server("pic/A/Old/0.xrg"));
    QCOMPARE(QDir(m_site->tree().path("pic/A")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             (QStringList{"Old", "Other"}));
    QVERIFY(!local("pic/x") && !local("pic/temporary"));
}

void tst_GraphLibraryEdit::renameRenamesEveryRecordOfTheName()
{
    // Guards against a rename that leaves a second record of the old name without its folder.
    QVERIFY(TestSupport::TestDatabase::allowDuplicatePictureNames(BrelMmiDataAgent::ConfiguredDatabase()));
    site().picture(m_site->station, "Twice", 1);
    site().picture(m_site->feeder, "Twice", 2);
    GraphLibraryEdit edit(db());
    QVERIFY(edit.RenamePicture(*app(), "Twice", "Once").ok());
    QCOMPARE(pictureNames(), (QStringList{"Once", "Once"}));
}

void tst_GraphLibraryEdit::deleteKeepsFilesOfADuplicateName()
{
    // Guards against deleting one of two records of a name taking the files the other still shows.
    QVERIFY(TestSupport::TestDatabase::allowDuplicatePictureNames(BrelMmiDataAgent::ConfiguredDatabase()));
    site().picture(m_site->station, "Twice");
    site().picture(m_site->feeder, "Twice");
    QVERIFY(writeLocal("pic/A/Twice/0.xrg"));
    QVERIFY(writeServer("pic/A/Twice/0.xrg"));
    GraphLibraryEdit edit(db());
    RecordList pictures;
    db()->GetChildren(type("station"), pictures.out());
    QVERIFY(edit.DeletePicture(*app(), *type("station"), *pictures.at(0)).ok());
    QCOMPARE(pictureNames(), QStringList{"Twice"});
    QVERIFY(local("pic/A/Twice/0.xrg") && server("pic/A/Twice/0.xrg"));
}

void tst_GraphLibraryEdit::unsafeNamesAreRefusedBeforeAnyPath()
{
    // Guards against a database name like ".." making the delete empty or move folders outside the store.
    site().picture(m_site->station, "..");
    readLibrary();
    QVERIFY(writeLocal("pic/A/0.xrg", "inside the application folder"));
    QVERIFY(writeLocal("pic/keep.txt", "beside the application folder"));
    GraphLibraryEdit edit(db());
    RecordList pictures;
    db()->GetChildren(type("station"), pictures.out());
    QCOMPARE(edit.DeletePicture(*app(), *type("station"), *pictures.at(0)).status, Result::Refused);
    QCOMPARE(edit.RenamePicture(*app(), "..", "Fine").status, Result::Refused);
    QVERIFY(local("pic/A/0.xrg") && local("pic/keep.txt"));
    QCOMPARE(pictureNames(), QStringList{".."});
    QVERIFY(!PictureFolders::MoveToHolding("A", "..", nullptr));
    QVERIFY(local("pic/A/0.xrg"));
}

void tst_GraphLibraryEdit::outerNetwork()
{
    // Guards against names checked in one database only, and against deleting the copy the outer database still lists.
    useOuterDatabase();
    SiteBuilder out(m_outer.get());
    const QString outApp = out.application("A");
    const QString outType = out.pictureType(outApp, "station", 2);
    out.picture(outType, "OuterOnly");
    out.picture(outType, "Both");
    site().picture(m_site->station, "Both");
    QVERIFY2(out.ok(), qPrintable(out.errors()));
    readLibrary();
    QVERIFY(!m_node->outerOid.isEmpty() && app()->outerOid == outApp);
    QCOMPARE(GraphLibraryEdit::PictureNameFrom("x y", *m_node), QString("webxy"));

    GraphLibraryEdit edit(db());
    QVERIFY(edit.PictureNameTaken(*app(), "OuterOnly"));
    QCOMPARE(edit.CreatePicture(*m_node, *app(), *type("station"), "OuterOnly").status, Result::Taken);
    // A new picture of a type the outer database lacks brings the type along.
    QVERIFY(edit.CreatePicture(*m_node, *app(), *type("feeder"), "webNew").ok());
    QVERIFY(!type("feeder")->outerOid.isEmpty());

    QVERIFY(writeLocal("pic/A/Both/0.xrg"));
    QVERIFY(writeServer("pic/A/Both/0.xrg"));
    RecordList both;
    edit.PicturesNamed(*app(), "Both", both);
    QCOMPARE(both.size(), 2);
    MDBRecordBase* inner = both.at(0)->outerOid.isEmpty() ? both.at(0) : both.at(1);
    QVERIFY(inner->outerOid.isEmpty());
    const Result deleted = edit.DeletePicture(*app(), *type("station"), *inner);
    QVERIFY2(deleted.ok(), qPrintable(deleted.message));
    RecordList left;
    edit.PicturesNamed(*app(), "Both", left);
    QCOMPARE(left.size(), 1);
    QVERIFY(!left.at(0)->outerOid.isEmpty());
    QVERIFY(local("pic/A/Both/0.xrg") && server("pic/A/Both/0.xrg"));
    // The last record of the name takes the files with it.
    QVERIFY(edit.DeletePicture(*app(), *type("station"), *left.at(0)).ok());
    QVERIFY(!edit.PictureNameTaken(*app(), "Both"));
    QVERIFY(!local("pic/A/Both") && !server("pic/A/Both"));
}

void tst_GraphLibraryEdit::pasteSourcesThatCannotBeRead_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("typeCode");
    QTest::newRow("nothing opened") << "" << QByteArray() << 9;
    QTest::newRow("source missing") << "pic/A/Gone/0.xrg" << QByteArray() << 9;
    QTest::newRow("source is a folder") << "pic/A/Dir" << QByteArray() << 2;
    QTest::newRow("station drawing unreadable") << "pic/A/Bad/0.xrg" << QByteArray("<not a drawing") << 2;
}

void tst_GraphLibraryEdit::pasteSourcesThatCannotBeRead()
{
    // Guards against a paste inserting a picture with no draft behind it.
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(int, typeCode);
    if (!content.isEmpty())
        QVERIFY(writeLocal(file, content));
    if (file.endsWith("Dir"))
        QVERIFY(QDir().mkpath(m_site->tree().path(file)));
    MGraphDoc doc(GraphStatusEdit);
    const QString source = file.isEmpty() ? QString() : m_site->tree().path(file);
    QCOMPARE(GraphLibraryEdit::CheckPasteSource(source, typeCode, doc).status, Result::Failed);
}

TALMER_TEST_MAIN(tst_GraphLibraryEdit)
#include "tst_graphlibraryedit.moc"
