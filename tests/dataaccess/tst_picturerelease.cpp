#include <QFile>

#include "mdisplaypattern.h"
#include "mgraph.h"
#include "miconobj.h"
#include "micontemplate.h"
#include "mshapeobj.h"
#include "picturerelease.h"
#include "recordtime.h"
#include "testmain.h"
#include "versiontesting.h"

using VersionTesting::VersionSite;
using VersionTesting::snapshot;

namespace {


// A drawing using one icon of catalog "breakers", named templateName.
bool writeIconDrawing(const QString& path, const QUuid& uuid, const QString& templateName)
{
    MGraphDoc doc;
    auto* t = new MIconTemplate(uuid, nullptr);
    t->SetName(templateName);
    t->SetCatalogName("breakers");
    t->SetDefaultSize(QSizeF(10, 10));
    auto* pattern = new MDisplayPattern;
    auto* box = new MShapeObj(MDrawObj::ObjRect);
    box->SetPoints({QPointF(0, 0), QPointF(10, 10)});
    pattern->AddShape(box);
    t->AddPattern(pattern);
    MIconTemplate* own = doc.GetGraph()->AddIconTemplate(t);
    doc.GetGraph()->AddObject(own->NewObj("breaker"));
    QDir().mkpath(QFileInfo(path).absolutePath());
    return doc.WriteXmlFile(path);
}

QString templateNameIn(const QString& path)
{
    MGraphDoc doc;
    if (!doc.ReadXmlFile(path) || doc.GetGraph()->IconTemplateNum() != 1)
        return "<none>";
    return doc.GetGraph()->IconTemplateAt(0)->GetName();
}

} // namespace

class tst_PictureRelease : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void releasesNumberAndPublish_data();
    void releasesNumberAndPublish();
    void failedUploadChangesNothing_data();
    void failedUploadChangesNothing();
    void draftIsMadeCurrentFirst_data();
    void draftIsMadeCurrentFirst();
    void refreshTemplates_data();
    void refreshTemplates();
    void linkedFolderIsNotWrittenThrough();
};

void tst_PictureRelease::releasesNumberAndPublish_data()
{
    QTest::addColumn<QList<int>>("versions");
    QTest::addColumn<bool>("increase");
    QTest::addColumn<int>("released");
    QTest::addColumn<QList<int>>("after");
    QTest::newRow("first release, no question") << QList<int>{0} << false << 1 << QList<int>{0, 1};
    QTest::newRow("first release even when asked to increase") << QList<int>{0} << true << 1 << QList<int>{0, 1};
    QTest::newRow("next version") << QList<int>{0, 1} << true << 2 << QList<int>{0, 1, 2};
    QTest::newRow("overwrite the latest") << QList<int>{0, 1, 2} << false << 2 << QList<int>{0, 1, 2};
}

void tst_PictureRelease::releasesNumberAndPublish()
{
    // Guards against a release that numbers wrongly, or leaves a file or record out.
    QFETCH(QList<int>, versions);
    QFETCH(bool, increase);
    QFETCH(int, released);
    QFETCH(QList<int>, after);
    VersionSite s;
    const MDBRecordPicture pic = s.picture("P", versions);
    const PictureRelease::Outcome out = PictureRelease(s.db.get(), "A", pic).Release(increase);
    QVERIFY2(out.ok, qPrintable(out.errors.join("\n")));
    QCOMPARE(out.version, released);
    QCOMPARE(VersionSite::versionsOf(pic), after);
    for (const char* extension : {"xrg", "brg", "fg", "svg"}) {
        QVERIFY2(QFileInfo::exists(s.server("P", released, extension)), qPrintable(extension));
        QCOMPARE(VersionSite::bytes(s.server("P", released, extension)), VersionSite::bytes(VersionSite::local("P", released, extension)));
    }
    QCOMPARE(VersionSite::stationOf(VersionSite::local("P", released, "xrg")), QString("v0")); // the draft's drawing
    QVERIFY(s.timeOf(pic, released) != VersionTesting::kOldTime);
    QVERIFY(!s.timeOf(pic, released, "versiontime").isEmpty());
    QVERIFY(VersionSite::localFiles("P").filter("~").isEmpty());
    QVERIFY(s.serverFiles("P").filter("~").isEmpty());
    QCOMPARE(VersionSite::stationOf(VersionSite::local("P", 0, "xrg")), QString("v0"));
}

void tst_PictureRelease::failedUploadChangesNothing_data()
{
    QTest::addColumn<QList<int>>("versions");
    QTest::addColumn<bool>("increase");
    QTest::addColumn<QString>("refused");
    QTest::newRow("first release, .xrg refused") << QList<int>{0} << false << "1.xrg";
    QTest::newRow("new version, .brg refused") << QList<int>{0, 1} << true << "2.brg";
    QTest::newRow("new version, .fg refused last") << QList<int>{0, 1} << true << "2.fg";
    QTest::newRow("overwrite, .svg refused after two uploads") << QList<int>{0, 1} << false << "1.svg";
}

void tst_PictureRelease::failedUploadChangesNothing()
{
    // Guards against a failed upload that still records a version, or leaves new files on either side.
    QFETCH(QList<int>, versions);
    QFETCH(bool, increase);
    QFETCH(QString, refused);
    VersionSite s;
    const MDBRecordPicture pic = s.picture("P", versions);
    QVERIFY(QDir().mkpath(s.site.server("pic/A/P/" + refused))); // a folder of that name refuses exactly that upload
    const auto serverBefore = snapshot(s.site.server("pic/A/P"));
    const auto localBefore = snapshot(MDeployPaths::PictureDir("A", "P"));
    const QString timeBefore = s.timeOf(pic, versions.last());
    const PictureRelease::Outcome out = PictureRelease(s.db.get(), "A", pic).Release(increase);
    QVERIFY(!out.ok);
    QVERIFY2(out.errors.join("\n").contains(refused), qPrintable(out.errors.join("\n")));
    QCOMPARE(VersionSite::versionsOf(pic), versions);
    QCOMPARE(s.timeOf(pic, versions.last()), timeBefore);
    QCOMPARE(snapshot(s.site.server("pic/A/P")), serverBefore);
    QCOMPARE(snapshot(MDeployPaths::PictureDir("A", "P")), localBefore);
}

void tst_PictureRelease::draftIsMadeCurrentFirst_data()
{
    QTest::addColumn<bool>("localStale");
    QTest::addColumn<bool>("localMissing");
    QTest::addColumn<bool>("onServer");
    QTest::addColumn<bool>("released");
    QTest::newRow("stale draft fetched, then released") << true << false << true << true;
    QTest::newRow("missing draft fetched, then released") << false << true << true << true;
    QTest::newRow("stale draft the server cannot give: refused") << true << false << false << false;
    QTest::newRow("missing draft the server cannot give: refused") << false << true << false << false;
}

void tst_PictureRelease::draftIsMadeCurrentFirst()
{
    // Guards against releasing a draft that another workstation replaced, or an empty one.
    QFETCH(bool, localStale);
    QFETCH(bool, localMissing);
    QFETCH(bool, onServer);
    QFETCH(bool, released);
    VersionSite s;
    const MDBRecordPicture pic = s.picture("P", {0, 1});
    // The library's draft is newer: another workstation saved "fresh".
    BrelMmiDataAgent::Instance()->UpdateField(s.editions["P0"], "modifytime", RecordTime::Now());
    QVERIFY(s.writeVersion("P", 0, "fresh", true));
    QVERIFY(s.writeVersion("P", 0, "old", false));
    if (!onServer)
        QVERIFY(QFile::remove(s.server("P", 0, "xrg")));
    if (localMissing)
        QVERIFY(QFile::remove(VersionSite::local("P", 0, "xrg")));
    if (localStale) {
        QFile f(VersionSite::local("P", 0, "xrg"));
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    }
    const QByteArray localBefore = VersionSite::bytes(VersionSite::local("P", 0, "xrg"));
    const PictureRelease::Outcome out = PictureRelease(s.db.get(), "A", pic).Release(true);
    QCOMPARE(out.ok, released);
    if (released) {
        QCOMPARE(VersionSite::stationOf(s.server("P", 2, "xrg")), QString("fresh"));
        QCOMPARE(VersionSite::versionsOf(pic), (QList<int>{0, 1, 2}));
    } else {
        QCOMPARE(VersionSite::versionsOf(pic), (QList<int>{0, 1}));
        QVERIFY(!QFileInfo::exists(s.server("P", 2, "xrg")));
        QCOMPARE(VersionSite::bytes(VersionSite::local("P", 0, "xrg")), localBefore);
    }
}

void tst_PictureRelease::refreshTemplates_data()
{
    QTest::addColumn<QString>("localIcon");
    QTest::addColumn<bool>("corrupt");
    QTest::addColumn<QString>("templateName");
    QTest::newRow("local_icon 0: the library's icon") << "0" << false << "library";
    QTest::newRow("local_icon 1: the drawing's own icon") << "1" << false << "drawing";
    QTest::newRow("local_icon unset: the drawing's own icon") << "" << false << "drawing";
    QTest::newRow("unreadable drawing: nothing written") << "0" << true << "<none>";
}

void tst_PictureRelease::refreshTemplates()
{
    // Guards against icons not refreshed from the library, and an unreadable drawing written back empty.
    QFETCH(QString, localIcon);
    QFETCH(bool, corrupt);
    QFETCH(QString, templateName);
    VersionSite s;
    if (!localIcon.isEmpty())
        QVERIFY(s.site.builder().globalDefine("local_icon", localIcon));
    const QUuid uuid = QUuid::createUuid();
    QVERIFY(writeIconDrawing(s.site.tree().path("library.xrg"), uuid, "library"));
    {
        // The icon library's file of the same icon, under its new name.
        MGraphDoc doc;
        QVERIFY(doc.ReadXmlFile(s.site.tree().path("library.xrg")));
        QVERIFY(QDir().mkpath(s.site.tree().path("icon/breakers")));
        QVERIFY(doc.GetGraph()->IconTemplateAt(0)->WriteXmlFile(s.site.tree().path("icon/breakers/" + uuid.toString() + ".xco")));
    }
    const QString source = s.site.tree().path("pic/A/P/3.xrg");
    QVERIFY(writeIconDrawing(source, uuid, "drawing"));
    if (corrupt)
        QVERIFY(s.site.tree().writeFile("pic/A/P/3.xrg", "<graph format=\"1\"><objects><broken"));
    const QByteArray before = VersionSite::bytes(source);
    QString error;
    const QString target = s.site.tree().path("pic/A/P/3");
    QCOMPARE(PictureRelease::RefreshTemplates(s.db.get(), source, target, &error), !corrupt);
    QCOMPARE(templateNameIn(source), templateName);
    if (corrupt) {
        QCOMPARE(VersionSite::bytes(source), before);
        QVERIFY(!QFileInfo::exists(target + ".brg"));
        QVERIFY(!QFileInfo::exists(target + ".svg"));
        QVERIFY(error.contains("3.xrg"));
    } else {
        QVERIFY(QFileInfo(target + ".brg").size() > 0);
        QVERIFY(QFileInfo(target + ".svg").size() > 0);
    }
}

void tst_PictureRelease::linkedFolderIsNotWrittenThrough()
{
    // Guards against a release writing through a link out of the deployment tree.
    VersionSite s;
    const QString outside = s.site.tree().base() + "/outside";
    QVERIFY(QDir().mkpath(outside));
    QVERIFY(ImportTesting::writeStation(outside + "/0.xrg", "outside", 9));
    QVERIFY(QDir().mkpath(MDeployPaths::GraphStore() + "/A"));
    QVERIFY(QFile::link(outside, MDeployPaths::PictureDir("A", "L")));
    MDBRecordPicture pic;
    pic.name = "L";
    pic.oid = s.site.builder().picture(s.site.feeder, "L");
    s.site.builder().edition(pic.oid, 0, VersionTesting::kOldTime);
    const auto before = snapshot(outside);
    const PictureRelease::Outcome out = PictureRelease(s.db.get(), "A", pic).Release(true);
    QVERIFY(!out.ok);
    QVERIFY2(out.errors.join("\n").contains("inside the graph store"), qPrintable(out.errors.join("\n")));
    QCOMPARE(snapshot(outside), before);
    QCOMPARE(VersionSite::versionsOf(pic), QList<int>{0});
}

TALMER_TEST_MAIN(tst_PictureRelease)
#include "tst_picturerelease.moc"
