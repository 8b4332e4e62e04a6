#include <QFile>
#include <memory>
#include <unistd.h>

#include "brelmmidataagent.h"
#include "deploytree.h"
#include "importtesting.h"
#include "mdbinterfaceholder.h"
#include "mdbrecords.h"
#include "mdeploypaths.h"
#include "mgraph.h"
#include "mgraphdoc.h"
#include "mpictureimporter.h"
#include "miconobj.h"
#include "mtextobj.h"
#include "mvarendbinterface.h"
#include "sitebuilder.h"
#include "testmain.h"
#include "testsite.h"

using TestSupport::DeployTree;
using SiteGen::SiteBuilder;

namespace {

QStringList versionsOf(const QString& picture)
{
    MDataSet set;
    BrelMmiDataAgent::Instance()->QueryChild(picture, "history_edition", {"version"}, set);
    QStringList versions;
    for (int i = 0; i < set.DataNum(); ++i)
        versions << set.GetFieldValue("version", i).toString();
    versions.sort();
    return versions;
}

QString modifyTimeOf(const QString& picture, int version)
{
    MDataSet set;
    BrelMmiDataAgent::Instance()->QueryChild(picture, "history_edition", {"version", "modifytime"}, set);
    for (int i = 0; i < set.DataNum(); ++i) {
        if (set.GetFieldValue("version", i).toInt() == version)
            return set.GetFieldValue("modifytime", i).toString();
    }
    return {};
}

QByteArray contentOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QString pictureId(const QString& name)
{
    MDataSet set;
    BrelMmiDataAgent::Instance()->QueryData("/picture,picname=" + MDataAgent::QuoteText(name), {"picname"}, set);
    return set.DataNum() ? set.DataAt(0).GetId().toString() : QString();
}

// What the process writes to its standard output while it lives.
class StdoutCapture
{
public:
    StdoutCapture() : m_file(QDir::temp().filePath("talmer-stdout-XXXXXX"))
    {
        m_file.open();
        std::fflush(stdout);
        m_saved = dup(STDOUT_FILENO);
        dup2(m_file.handle(), STDOUT_FILENO);
    }
    ~StdoutCapture() { restore(); }
    QByteArray text()
    {
        restore();
        QFile f(m_file.fileName());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stdout);
        dup2(m_saved, STDOUT_FILENO);
        close(m_saved);
        m_saved = -1;
    }
    QTemporaryFile m_file;
    int m_saved = -1;
};

} // namespace

class tst_PictureImport : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestSupport::TestSite> m_testSite;
    DeployTree* m_tree = nullptr;   // of m_testSite
    SiteBuilder* m_site = nullptr;  // of m_testSite
    std::unique_ptr<MVarenDBInterface> m_db;
    QString m_app, m_station, m_feeder;
    QString source(const QString& relative) const { return m_tree->base() + "/import/" + relative; }
    QString server(const QString& relative) const { return m_testSite->server(relative); }
    QString local(const QString& picture, int version, const char* extension) const
    {
        return MDeployPaths::VersionFile("A", picture, version, extension);
    }
    // An existing picture with versions 0 .. last, the files of the first
    // onServer of them on the server.
    QString existingPicture(const QString& name, int last, int onServer = -1, const QString& type = {});

private Q_SLOTS:
    void init();
    void cleanup();

    void newPicturesStartAsTheDraft();
    void modesIntoAnExistingPicture_data();
    void modesIntoAnExistingPicture();
    void theGraphTypeFollowsThePictureType();
    void unreadableSourcesAreLeftAlone();
    void aNameTakenByAnotherTypeIsRefused();
    void failedWritesLeaveNoRecord_data();
    void failedWritesLeaveNoRecord();
    void stationsAreRenamedToTheirPicture();
    void retentionKeepsTheNewestVersions_data();
    void retentionKeepsTheNewestVersions();
    void importByTypeNumber();
    void importADocument();
    void nothingHappensWithoutApplicationOrType();
};

void tst_PictureImport::init()
{
    m_testSite = std::make_unique<TestSupport::TestSite>();
    m_tree = &m_testSite->tree();
    m_site = &m_testSite->builder();
    m_app = m_testSite->app;
    m_station = m_testSite->station;
    m_feeder = m_testSite->feeder;
    m_db = std::make_unique<MVarenDBInterface>();
}

void tst_PictureImport::cleanup()
{
    m_db.reset();
    m_testSite.reset();
}

QString tst_PictureImport::existingPicture(const QString& name, int last, int onServer, const QString& type)
{
    const QString pic = m_site->picture(type.isEmpty() ? m_feeder : type, name);
    for (int v = 0; v <= last; ++v) {
        m_site->edition(pic, v, QString("2026-01-0%1T10:00:00").arg(v + 1));
        for (const char* ext : {"xrg", "brg", "fg"}) {
            if (onServer >= 0 && v >= onServer)
                continue;
            QFile f(server(QString("pic/A/%1/%2.%3").arg(name).arg(v).arg(ext)));
            QDir().mkpath(QFileInfo(f).absolutePath());
            f.open(QIODevice::WriteOnly);
            f.write("old");
        }
    }
    return pic;
}

void tst_PictureImport::newPicturesStartAsTheDraft()
{
    // Guards against a first import becoming a release, or its draft keeping no time.
    for (int mode : {0, 1, 2, 5}) {
        const QString name = QString("N%1").arg(mode);
        QVERIFY(ImportTesting::writeStation(source(name + "/drawing.xrg"), "X", 9));
        QCOMPARE(m_db->ImportPictureFile("A", "feeder", source(name + "/drawing.xrg"), mode, "", 0), -1);
        const QString pic = pictureId(name);
        QVERIFY2(!pic.isEmpty(), qPrintable(name));
        QCOMPARE(versionsOf(pic), QStringList{"0"});
        for (const char* ext : {"xrg", "brg", "fg"}) {
            QVERIFY(QFile::exists(local(name, 0, ext)));
            QVERIFY(QFile::exists(server(QString("pic/A/%1/0.%2").arg(name, ext))));
        }
        QCOMPARE(modifyTimeOf(pic, 0), QFileInfo(local(name, 0, "xrg")).lastModified().toString(Qt::ISODate));
    }
}

void tst_PictureImport::modesIntoAnExistingPicture_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("written");
    QTest::addColumn<QStringList>("versions");
    QTest::newRow("release") << 1 << 3 << QStringList{"0", "1", "2", "3"};
    QTest::newRow("overwrite latest") << 2 << 2 << QStringList{"0", "1", "2"};
    QTest::newRow("replace draft") << 0 << 0 << QStringList{"0", "1", "2"};
    QTest::newRow("other") << 7 << 3 << QStringList{"0", "1", "2"};
}

void tst_PictureImport::modesIntoAnExistingPicture()
{
    // Guards against an import writing another version than its mode asks, or recording it wrongly.
    QFETCH(int, mode);
    QFETCH(int, written);
    QFETCH(QStringList, versions);
    const QString pic = existingPicture("P", 2);
    QVERIFY(ImportTesting::writeStation(source("P/drawing.xrg"), "X", 9));
    m_db->ImportPictureFile("A", "feeder", source("P/drawing.xrg"), mode, "P", 0);
    QCOMPARE(versionsOf(pic), versions);
    for (const char* ext : {"xrg", "brg", "fg"}) {
        QVERIFY(QFile::exists(local("P", written, ext)));
        QFile stored(server(QString("pic/A/P/%1.%2").arg(written).arg(ext)));
        QVERIFY(stored.open(QIODevice::ReadOnly));
        QVERIFY(stored.readAll() != "old");
    }
    if (mode == 2 || mode == 0)
        QCOMPARE(modifyTimeOf(pic, written), QFileInfo(local("P", written, "xrg")).lastModified().toString(Qt::ISODate));
    if (mode == 1)
        QVERIFY(!modifyTimeOf(pic, 3).isEmpty());
    const MPictureImporter::Result result = MPictureImporter::LastResult();
    QVERIFY2(result.ok, qPrintable(result.errors.join('\n')));
    QCOMPARE(result.version, written);
    QCOMPARE(result.picture, QString("P"));
}

void tst_PictureImport::theGraphTypeFollowsThePictureType()
{
    // Guards against a drawing keeping the type of the library it came from.
    QVERIFY(ImportTesting::writeStation(source("F/drawing.xrg"), "X", 5));
    m_db->ImportPictureFile("A", "feeder", source("F/drawing.xrg"), 0, "F", 0);
    MGraphDoc imported;
    QVERIFY(imported.ReadXmlFile(local("F", 0, "xrg")));
    QCOMPARE(imported.GetGraphTypeID(), 9);
    QCOMPARE(imported.GetGraphTypeName(), QString("feeder"));
    MGraphDoc original;
    QVERIFY(original.ReadXmlFile(source("F/drawing.xrg")));
    QCOMPARE(original.GetGraphTypeID(), 5); // the source is never written
    MGraphDoc binary;
    QVERIFY(binary.ReadDataFile(local("F", 0, "brg")));
    QCOMPARE(binary.GetGraphTypeID(), 9);
}

void tst_PictureImport::stationsAreRenamedToTheirPicture()
{
    // Guards against a station drawing copied under a new name still naming its old station.
    const QString longName = "NewStationWithA25CharName";
    QCOMPARE(longName.size(), 25);
    QVERIFY(ImportTesting::writeStation(source("Old/drawing.xrg"), "OldStation"));
    m_db->ImportPictureFile("A", "station", source("Old/drawing.xrg"), 0, longName, 0);
    MGraphDoc doc;
    QVERIFY(doc.ReadXmlFile(local(longName, 0, "xrg")));
    const QString station = longName.left(19);
    QCOMPARE(doc.GetGraphStation(1), station);
    QVERIFY(!doc.HasFillModel());
    const QList<MDrawObj*>& objects = doc.GetGraph()->GetObjList();
    QCOMPARE(static_cast<MTextObj*>(objects.at(0))->GetText(), station + " one-line diagram");
    QCOMPARE(static_cast<MIconObj*>(objects.at(1))->GetStationName(), station);
    QCOMPARE(static_cast<MIconObj*>(objects.at(2))->GetText(), "goto '" + station + "' and 'other'");
    QCOMPARE(objects.at(3)->GetPath(), "/" + station + "/10kV/911");
    MGraphDoc binary;
    QVERIFY(binary.ReadDataFile(local(longName, 0, "brg")));
    QCOMPARE(binary.GetGraphStation(1), station);

    // A Chinese name is cut to 19 bytes of its 8-bit form, never within a character.
    const QString chinese = QString::fromUtf8("北京城东一百一十千伏变电站");
    QVERIFY(ImportTesting::writeStation(source("Old2/drawing.xrg"), "OldStation"));
    m_db->ImportPictureFile("A", "station", source("Old2/drawing.xrg"), 0, chinese, 0);
    QVERIFY(doc.ReadXmlFile(local(chinese, 0, "xrg")));
    QVERIFY(doc.GetGraphStation(1).toLocal8Bit().size() <= 19);
    QVERIFY(chinese.startsWith(doc.GetGraphStation(1)));
    QVERIFY(doc.GetGraphStation(1).size() >= 6);

    // Imported from a folder of its own name: nothing is renamed.
    QVERIFY(ImportTesting::writeStation(source("Same/drawing.xrg"), "OldStation"));
    m_db->ImportPictureFile("A", "station", source("Same/drawing.xrg"), 0, "Same", 0);
    QVERIFY(doc.ReadXmlFile(local("Same", 0, "xrg")));
    QCOMPARE(doc.GetGraphStation(1), QString("OldStation"));
    QVERIFY(doc.HasFillModel());
}

void tst_PictureImport::unreadableSourcesAreLeftAlone()
{
    // Guards against an empty drawing written over a source that does not read, and imported.
    const QString pic = existingPicture("U", 1);
    QDir().mkpath(source("U"));
    QFile junk(source("U/drawing.xrg"));
    QVERIFY(junk.open(QIODevice::WriteOnly) && junk.write("not a drawing") > 0);
    junk.close();
    for (int mode : {0, 1}) {
        m_db->ImportPictureFile("A", "feeder", source("U/drawing.xrg"), mode, "U", 0);
        QCOMPARE(contentOf(source("U/drawing.xrg")), QByteArray("not a drawing"));
        QCOMPARE(versionsOf(pic), (QStringList{"0", "1"}));
        QVERIFY(!QFileInfo::exists(local("U", 0, "xrg")));
        QVERIFY(!QFileInfo::exists(local("U", 2, "xrg")));
        QCOMPARE(contentOf(server("pic/A/U/0.xrg")), QByteArray("old"));
        const MPictureImporter::Result result = MPictureImporter::LastResult();
        QVERIFY(!result.ok);
        QCOMPARE(result.errors, QStringList{"cannot read the drawing " + source("U/drawing.xrg")});
    }
}

void tst_PictureImport::aNameTakenByAnotherTypeIsRefused()
{
    // Guards against an import overwriting the files of another type's picture that shares the folder.
    const QString other = existingPicture("Taken", 0, -1, m_station);
    QVERIFY(m_tree->writeFile("pic/A/Taken/0.xrg", "station draft"));
    QVERIFY(ImportTesting::writeStation(source("Taken/drawing.xrg"), "X", 9));
    for (int mode : {0, 1, 2}) {
        m_db->ImportPictureFile("A", "feeder", source("Taken/drawing.xrg"), mode, "Taken", 0);
        QCOMPARE(contentOf(local("Taken", 0, "xrg")), QByteArray("station draft"));
        QCOMPARE(contentOf(server("pic/A/Taken/0.xrg")), QByteArray("old"));
        QVERIFY(!QFileInfo::exists(local("Taken", 1, "xrg")));
        QCOMPARE(versionsOf(other), QStringList{"0"});
        MDataSet set;
        BrelMmiDataAgent::Instance()->QueryChild(m_feeder, "Containspicture", {"picname"}, set);
        QCOMPARE(set.DataNum(), 0);
        QCOMPARE(MPictureImporter::LastResult().errors,
                 QStringList{"picture name 'Taken' is taken by picture type 'station' of application 'A'"});
    }
}

void tst_PictureImport::failedWritesLeaveNoRecord_data()
{
    QTest::addColumn<QString>("picture"); // "P" exists with versions 0 to 2, others are new
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("blockedLocal");  // a file in place of this local folder
    QTest::addColumn<QString>("blockedServer"); // a folder in place of this server file
    QTest::addColumn<QString>("error");
    QTest::newRow("release, binary form refused by the server")
        << "P" << 1 << "" << "pic/A/P/3.brg" << "3.brg did not reach the file server: the server cannot write";
    QTest::newRow("draft, dynamic data refused by the server")
        << "P" << 0 << "" << "pic/A/P/0.fg" << "0.fg did not reach the file server: the server cannot write";
    QTest::newRow("latest, drawing refused by the server")
        << "P" << 2 << "" << "pic/A/P/2.xrg" << "2.xrg did not reach the file server: the server cannot write";
    QTest::newRow("new picture refused by the server")
        << "N" << 1 << "" << "pic/A/N/0.xrg" << "0.xrg did not reach the file server: the server cannot write";
    QTest::newRow("local picture folder cannot be made")
        << "L" << 1 << "pic/A/L" << "" << "cannot create the picture folder";
}

void tst_PictureImport::failedWritesLeaveNoRecord()
{
    // Guards against a version announced to other workstations whose files never reached the server.
    QFETCH(QString, picture);
    QFETCH(int, mode);
    QFETCH(QString, blockedLocal);
    QFETCH(QString, blockedServer);
    QFETCH(QString, error);
    const QString pic = existingPicture("P", 2);
    for (int v = 0; v <= 2; ++v)
        QVERIFY(m_tree->writeFile(QString("pic/A/P/%1.xrg").arg(v), "local " + QByteArray::number(v)));
    if (!blockedLocal.isEmpty())
        QVERIFY(m_tree->writeFile(blockedLocal, "in the way"));
    if (!blockedServer.isEmpty()) {
        QFile::remove(server(blockedServer));
        QVERIFY(QDir().mkpath(server(blockedServer)));
    }
    QVERIFY(ImportTesting::writeStation(source(picture + "/drawing.xrg"), "X", 9));
    m_db->ImportPictureFile("A", "feeder", source(picture + "/drawing.xrg"), mode, picture, 0);

    const MPictureImporter::Result result = MPictureImporter::LastResult();
    QVERIFY(!result.ok);
    QVERIFY2(!result.errors.isEmpty() && result.errors.first().contains(error), qPrintable(result.errors.join('\n')));
    QCOMPARE(versionsOf(pic), (QStringList{"0", "1", "2"}));
    QCOMPARE(modifyTimeOf(pic, 0), QString("2026-01-01T10:00:00"));
    QCOMPARE(modifyTimeOf(pic, 2), QString("2026-01-03T10:00:00"));
    QVERIFY(!QFileInfo::exists(local("P", 3, "xrg")));
    for (int v = 0; v <= 2; ++v)
        QCOMPARE(contentOf(local("P", v, "xrg")), "local " + QByteArray::number(v)); // put back
    if (picture != "P") {
        QVERIFY(pictureId(picture).isEmpty());
        QVERIFY(!QFileInfo::exists(local(picture, 0, "brg")));
    }
}

void tst_PictureImport::retentionKeepsTheNewestVersions_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("keep");
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QStringList>("serverFiles"); // base names of the .xrg files left
    QTest::addColumn<int>("last");                // the picture's versions: 0 .. last
    QTest::addColumn<int>("onServer");            // versions with files on the server: 0 .. onServer - 1
    const QStringList all{"0", "1", "2", "3", "4", "5"};
    QTest::newRow("mode 0, keep 2") << 0 << 2 << QStringList{"0", "4", "5"} << QStringList{"0", "4", "5"} << 5 << 6;
    QTest::newRow("mode 1, keep 3") << 1 << 3 << QStringList{"0", "4", "5", "6"} << QStringList{"0", "4", "5", "6"}
                                    << 5 << 6;
    QTest::newRow("keep 1 keeps all") << 0 << 1 << all << all << 5 << 6;
    // The new version counts against the keep count only when it is released.
    QTest::newRow("mode 2, keep 3") << 2 << 3 << QStringList{"0", "3", "4", "5"} << QStringList{"0", "3", "4", "5"}
                                    << 5 << 6;
    QTest::newRow("mode 0, keep 3") << 0 << 3 << QStringList{"0", "3", "4", "5"} << QStringList{"0", "3", "4", "5"}
                                    << 5 << 6;
    QTest::newRow("mode 1, keep 2 keeps all") << 1 << 2 << (all + QStringList{"6"}) << (all + QStringList{"6"}) << 5
                                              << 6;
    QTest::newRow("other mode, keep 2, not lowered")
        << 7 << 2 << QStringList{"0", "4", "5"} << QStringList{"0", "4", "5", "6"} << 5 << 6;
    // Editions: exactly keep + 1 is not too many; one more is.
    QTest::newRow("editions keep + 1") << 0 << 2 << QStringList{"0", "1", "2"} << QStringList{"0", "1", "2"} << 2 << 3;
    QTest::newRow("editions keep + 2") << 0 << 2 << QStringList{"0", "2", "3"} << QStringList{"0", "2", "3"} << 3 << 4;
    // Server files: 3 (one version's) are too few to look at; 6 are not.
    QTest::newRow("3 server files") << 0 << 2 << all << QStringList{"0"} << 5 << 1;
    QTest::newRow("6 server files") << 0 << 2 << QStringList{"0", "4", "5"} << QStringList{"0"} << 5 << 2;
}

void tst_PictureImport::retentionKeepsTheNewestVersions()
{
    // Guards against the retention dropping new versions, or old ones surviving on the server or in the library.
    QFETCH(int, mode);
    QFETCH(int, keep);
    QFETCH(QStringList, records);
    QFETCH(QStringList, serverFiles);
    QFETCH(int, last);
    QFETCH(int, onServer);
    const QString pic = existingPicture("R", last, onServer);
    for (int v = 0; v <= last; ++v)
        QVERIFY(m_tree->writeFile(QString("pic/A/R/%1.xrg").arg(v), "local"));
    QVERIFY(ImportTesting::writeStation(source("R/drawing.xrg"), "X", 9));
    m_db->ImportPictureFile("A", "feeder", source("R/drawing.xrg"), mode, "R", keep);
    QVERIFY(MPictureImporter::LastResult().ok);
    QCOMPARE(versionsOf(pic), records);
    QStringList left;
    for (const QString& f : QDir(server("pic/A/R")).entryList({"*.xrg"}, QDir::Files))
        left << f.section('.', 0, 0);
    left.sort();
    // The new version's files are uploaded whatever the retention does.
    const QString written = QString::number(mode == 0 ? 0 : (mode == 2 ? last : last + 1));
    if (!serverFiles.contains(written))
        serverFiles << written;
    serverFiles.sort();
    QCOMPARE(left, serverFiles);
    // Locally too, only the versions the library still names (and a written unrecorded one) are left.
    QStringList localLeft;
    for (const QString& f : QDir(MDeployPaths::PictureDir("A", "R")).entryList({"*.xrg"}, QDir::Files))
        localLeft << f.section('.', 0, 0);
    localLeft.sort();
    QStringList expectedLocal = records;
    if (!expectedLocal.contains(written))
        expectedLocal << written;
    expectedLocal.sort();
    QCOMPARE(localLeft, expectedLocal);
}

void tst_PictureImport::importByTypeNumber()
{
    // Guards against pictures filed under the wrong type when imported by the type's number.
    SiteBuilder env(BrelMmiDataAgent::Instance());
    env.pictureTypeDefinition(12, "transformer", "other");
    env.pictureTypeDefinition(12, "transformer station", "vk2800");
    env.pictureTypeDefinition(13, "bay", "");
    m_site->picture(m_station, "Known");
    QVERIFY(env.ok() && m_site->ok());
    QVERIFY(ImportTesting::writeStation(source("Known/drawing.xrg"), "Known"));
    QCOMPARE(m_db->ImportPictureByType("A", 99, source("Known/drawing.xrg"), 0, 0), -1);
    QVERIFY(QFile::exists(local("Known", 0, "xrg"))); // found under its own type

    QVERIFY(ImportTesting::writeStation(source("T12/drawing.xrg"), "X"));
    m_db->ImportPictureByType("A", 12, source("T12/drawing.xrg"), 0, 0);
    QVERIFY(ImportTesting::writeStation(source("T13/drawing.xrg"), "X"));
    m_db->ImportPictureByType("A", 13, source("T13/drawing.xrg"), 0, 0);
    MDataSet set;
    BrelMmiDataAgent::Instance()->QueryData("/application,name='A'/pictureType,name='transformer station'/picture",
                                            {"picname"}, set);
    QCOMPARE(set.DataNum(), 1);
    BrelMmiDataAgent::Instance()->QueryData("/application,name='A'/pictureType,name='bay'", {"type"}, set);
    QCOMPARE(set.GetFieldValue("type", 0).toInt(), 13);

    QVERIFY(ImportTesting::writeStation(source("T77/drawing.xrg"), "X"));
    StdoutCapture out;
    m_db->ImportPictureByType("A", 77, source("T77/drawing.xrg"), 0, 0);
    QCOMPARE(out.text(), QByteArray("===pic (T77) type(77)'s name is empty!\n"));
    QVERIFY(!QFile::exists(local("T77", 0, "xrg")));
    QCOMPARE(m_db->ImportPictureByType("none", 12, source("T12/drawing.xrg"), 0, 0), -1);
}

void tst_PictureImport::importADocument()
{
    // Guards against documents handed over by a host being stored differently from files.
    const QString pic = existingPicture("D", 1);
    MGraphDoc doc;
    ImportTesting::buildStation(doc, "Elsewhere", 4);
    QCOMPARE(m_db->ImportPictureDoc("A", "feeder", &doc, 1, "D"), -1);
    QCOMPARE(versionsOf(pic), (QStringList{"0", "1", "2"}));
    MGraphDoc written;
    QVERIFY(written.ReadXmlFile(local("D", 2, "xrg")));
    QCOMPARE(written.GetGraphTypeID(), 9);
    QCOMPARE(written.GetGraphStation(1), QString("Elsewhere")); // documents are not renamed
    QVERIFY(QFile::exists(server("pic/A/D/2.brg")));
    m_db->ImportPictureDoc("A", "station", &doc, 0, "Fresh");
    QCOMPARE(versionsOf(pictureId("Fresh")), QStringList{"0"});
    m_db->ImportPictureDoc("A", "station", nullptr, 0, "Nothing");
    QVERIFY(pictureId("Nothing").isEmpty());
}

void tst_PictureImport::nothingHappensWithoutApplicationOrType()
{
    // Guards against imports writing files for pictures the library cannot hold.
    QVERIFY(ImportTesting::writeStation(source("Z/drawing.xrg"), "X"));
    m_db->ImportPictureFile("none", "feeder", source("Z/drawing.xrg"), 0, "Z", 0);
    m_db->ImportPictureFile("A", "nosuch", source("Z/drawing.xrg"), 0, "Z", 0);
    m_db->ImportPictureFile("A", "feeder", "", 0, "", 0);
    QVERIFY(!QFileInfo::exists(MDeployPaths::PictureDir("A", "Z")));
    QVERIFY(pictureId("Z").isEmpty());
    QVERIFY(QDir(server("")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TALMER_TEST_MAIN(tst_PictureImport)
#include "tst_pictureimport.moc"
