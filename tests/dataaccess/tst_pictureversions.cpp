#include <QFile>

#include "mhmiadmin.h"
#include "picturedrafts.h"
#include "pictureversionreset.h"
#include "recordtime.h"
#include "testmain.h"
#include "versiontesting.h"

using VersionTesting::VersionSite;
using VersionTesting::snapshot;

namespace {


// Makes a server file a folder, which refuses exactly that upload.
bool refuseUpload(const QString& serverFile)
{
    QFile::remove(serverFile);
    return QDir().mkpath(serverFile);
}

bool age(const QString& path, int seconds)
{
    QFile f(path);
    return f.open(QIODevice::ReadWrite)
        && f.setFileTime(QDateTime::currentDateTime().addSecs(-seconds), QFileDevice::FileModificationTime);
}

} // namespace

class tst_PictureVersions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void saveDraftUploadsBeforeTheRecord_data();
    void saveDraftUploadsBeforeTheRecord();
    void saveDraftOfCommonCarriesDataFiles();
    void saveAsDraftCarriesTheFg_data();
    void saveAsDraftCarriesTheFg();
    void checkInRefusesAnOlderDraft_data();
    void checkInRefusesAnOlderDraft();
    void latestVersionFetchesStaleFiles_data();
    void latestVersionFetchesStaleFiles();
    void resetKeepsTheLatestAsVersionOne_data();
    void resetKeepsTheLatestAsVersionOne();
    void failedResetChangesNothing_data();
    void failedResetChangesNothing();
};

void tst_PictureVersions::saveDraftUploadsBeforeTheRecord_data()
{
    QTest::addColumn<QString>("refused");
    QTest::newRow("every file uploaded") << QString();
    QTest::newRow("0.xrg refused") << "0.xrg";
    QTest::newRow("0.fg refused") << "0.fg";
}

void tst_PictureVersions::saveDraftUploadsBeforeTheRecord()
{
    // Guards against a draft record that announces files the server never got.
    QFETCH(QString, refused);
    VersionSite s;
    const MDBRecordPicture pic = s.picture("P", {0});
    QVERIFY(s.writeVersion("P", 0, "saved", false));
    if (!refused.isEmpty())
        QVERIFY(refuseUpload(s.site.server("pic/A/P/" + refused)));
    const QList<MErrMsg> messages = PictureDrafts(s.db.get(), "A", pic).SaveDraft();
    if (refused.isEmpty()) {
        QVERIFY(messages.isEmpty());
        QCOMPARE(VersionSite::stationOf(s.server("P", 0, "xrg")), QString("saved"));
        QCOMPARE(RecordTime::Iso(s.timeOf(pic, 0)),
                 QFileInfo(VersionSite::local("P", 0, "xrg")).lastModified().toString(Qt::ISODate));
    } else {
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages.first().object.endsWith(refused));
        QCOMPARE(s.timeOf(pic, 0), VersionTesting::kOldTime);
    }
}

void tst_PictureVersions::saveDraftOfCommonCarriesDataFiles()
{
    // Guards against the per-application data files of "common" pictures staying on one workstation.
    VersionSite s;
    QVERIFY(MHmiAdmin::AddApplication("A", "a", true));
    QVERIFY(MHmiAdmin::AddApplication("B", "b", true));
    const QString common = s.site.builder().application("common");
    MDBRecordPicture pic;
    pic.name = "P";
    pic.oid = s.site.builder().picture(s.site.builder().pictureType(common, "shared", 9), "P");
    s.site.builder().edition(pic.oid, 0, VersionTesting::kOldTime);
    for (const char* file : {"pic/common/P/0.xrg", "pic/common/P/0.brg", "pic/common/P/0.fg", "pic/common/P/A.db",
                             "pic/common/P/B.db"})
        QVERIFY(s.site.tree().writeFile(file, file));
    QVERIFY(PictureDrafts(s.db.get(), "common", pic).SaveDraft().isEmpty());
    QCOMPARE(VersionSite::filesIn(s.site.server("pic/common/P")),
             (QStringList{"0.brg", "0.fg", "0.xrg", "A.db", "B.db"}));
}

void tst_PictureVersions::saveAsDraftCarriesTheFg_data()
{
    QTest::addColumn<bool>("versionHasFg");
    QTest::addColumn<QString>("refused");
    QTest::newRow("the version's .fg copied") << true << QString();
    QTest::newRow("a missing .fg written from the drawing") << false << QString();
    QTest::newRow("0.fg refused: draft unchanged") << true << "0.fg";
}

void tst_PictureVersions::saveAsDraftCarriesTheFg()
{
    // Guards against a draft made from a version with the old draft's data bindings, or only on this workstation.
    QFETCH(bool, versionHasFg);
    QFETCH(QString, refused);
    VersionSite s;
    const MDBRecordPicture pic = s.picture("P", {0, 1, 2});
    if (!versionHasFg) {
        QVERIFY(QFile::remove(VersionSite::local("P", 1, "fg")));
        QVERIFY(QFile::remove(s.server("P", 1, "fg")));
    }
    if (!refused.isEmpty())
        QVERIFY(refuseUpload(s.site.server("pic/A/P/" + refused)));
    const auto localBefore = snapshot(MDeployPaths::PictureDir("A", "P"));
    const auto serverBefore = snapshot(s.site.server("pic/A/P"));
    const QStringList errors = PictureDrafts(s.db.get(), "A", pic).SaveAsDraft(1);
    if (!refused.isEmpty()) {
        QVERIFY(!errors.isEmpty());
        QCOMPARE(snapshot(MDeployPaths::PictureDir("A", "P")), localBefore);
        QCOMPARE(snapshot(s.site.server("pic/A/P")), serverBefore);
        QCOMPARE(s.timeOf(pic, 0), VersionTesting::kOldTime);
        return;
    }
    QVERIFY2(errors.isEmpty(), qPrintable(errors.join("\n")));
    QCOMPARE(VersionSite::stationOf(VersionSite::local("P", 0, "xrg")), QString("v1"));
    QCOMPARE(VersionSite::bytes(s.server("P", 0, "xrg")), VersionSite::bytes(VersionSite::local("P", 1, "xrg")));
    QCOMPARE(VersionSite::bytes(s.server("P", 0, "brg")), VersionSite::bytes(VersionSite::local("P", 1, "brg")));
    QVERIFY(QFileInfo(VersionSite::local("P", 0, "fg")).size() > 0);
    QCOMPARE(VersionSite::bytes(s.server("P", 0, "fg")), VersionSite::bytes(VersionSite::local("P", 0, "fg")));
    if (versionHasFg)
        QCOMPARE(VersionSite::bytes(VersionSite::local("P", 0, "fg")), VersionSite::bytes(VersionSite::local("P", 1, "fg")));
    QVERIFY(!RecordTime::IsFileStale(VersionSite::local("P", 0, "xrg"), s.timeOf(pic, 0)));
    QVERIFY(s.timeOf(pic, 0) != VersionTesting::kOldTime);
}

void tst_PictureVersions::checkInRefusesAnOlderDraft_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("uploaded");
    QTest::newRow("current draft uploaded") << "current" << true;
    QTest::newRow("older than the record: refused") << "stale" << false;
    QTest::newRow("missing: refused") << "missing" << false;
    QTest::newRow("0.brg refused: said so") << "brg refused" << false;
}

void tst_PictureVersions::checkInRefusesAnOlderDraft()
{
    // Guards against a check-in that overwrites another workstation's newer draft, or fails silently.
    QFETCH(QString, state);
    QFETCH(bool, uploaded);
    VersionSite s;
    const MDBRecordPicture pic = s.picture("P", {0, 1}, RecordTime::Now());
    QVERIFY(s.writeVersion("P", 0, "mine", false));
    if (state == "stale")
        QVERIFY(age(VersionSite::local("P", 0, "xrg"), 3600));
    if (state == "missing")
        QVERIFY(QFile::remove(VersionSite::local("P", 0, "xrg")));
    if (state == "brg refused")
        QVERIFY(refuseUpload(s.server("P", 0, "brg")));
    const QStringList errors = PictureDrafts(s.db.get(), "A", pic).CheckInDraft();
    QCOMPARE(errors.isEmpty(), uploaded);
    QCOMPARE(VersionSite::stationOf(s.server("P", 0, "xrg")), QString(uploaded || state == "brg refused" ? "mine" : "v0"));
    if (state == "brg refused")
        QVERIFY(errors.join("\n").contains("0.brg"));
}

void tst_PictureVersions::latestVersionFetchesStaleFiles_data()
{
    QTest::addColumn<QString>("application");
    QTest::addColumn<QString>("local");
    QTest::addColumn<bool>("onServer");
    QTest::addColumn<int>("result");
    QTest::newRow("unknown application") << "X" << "current" << true << -100;
    QTest::newRow("unknown picture") << "A" << "other" << true << -100;
    QTest::newRow("current file, nothing fetched") << "A" << "current" << false << 2;
    QTest::newRow("missing file fetched") << "A" << "missing" << true << 2;
    QTest::newRow("missing file the server lacks") << "A" << "missing" << false << -1;
    QTest::newRow("stale file the server lacks: kept") << "A" << "stale" << false << 2;
}

void tst_PictureVersions::latestVersionFetchesStaleFiles()
{
    // Guards against the editor opening a version this workstation does not have.
    QFETCH(QString, application);
    QFETCH(QString, local);
    QFETCH(bool, onServer);
    QFETCH(int, result);
    VersionSite s;
    s.picture("P", {0, 1, 2}, RecordTime::Now());
    if (local == "missing")
        for (const char* extension : {"xrg", "brg", "fg"})
            QVERIFY(QFile::remove(VersionSite::local("P", 2, extension)));
    if (local == "stale")
        QVERIFY(age(VersionSite::local("P", 2, "xrg"), 3600));
    if (!onServer)
        QVERIFY(QDir(s.site.server("pic/A/P")).removeRecursively());
    const QString picture = local == "other" ? "Q" : "P";
    QCOMPARE(PictureDrafts::LatestVersion(s.db.get(), application, picture), result);
    if (result == 2)
        QCOMPARE(VersionSite::stationOf(VersionSite::local("P", 2, "xrg")), QString("v2"));
    if (local == "missing" && onServer)
        QVERIFY(QFileInfo::exists(VersionSite::local("P", 2, "brg")));
}

void tst_PictureVersions::resetKeepsTheLatestAsVersionOne_data()
{
    QTest::addColumn<QList<int>>("versions");
    QTest::addColumn<QList<int>>("after");
    QTest::addColumn<QString>("versionOne");
    QTest::newRow("0,1,2,3 -> 0,1 holding 3") << QList<int>{0, 1, 2, 3} << QList<int>{0, 1} << "v3";
    QTest::newRow("0,2,3 -> 0,1 holding 3") << QList<int>{0, 2, 3} << QList<int>{0, 1} << "v3";
    QTest::newRow("0,1: nothing to do") << QList<int>{0, 1} << QList<int>{0, 1} << "v1";
}

void tst_PictureVersions::resetKeepsTheLatestAsVersionOne()
{
    // Guards against a reset that loses the latest version, leaves old files, or deletes data files.
    QFETCH(QList<int>, versions);
    QFETCH(QList<int>, after);
    QFETCH(QString, versionOne);
    VersionSite s;
    const MDBRecordPicture pic = s.picture("P", versions);
    const int latest = versions.last();
    QVERIFY(s.site.tree().writeFile(QString("pic/A/P/%1.svg").arg(latest), "<svg/>"));
    QVERIFY(QFile::copy(VersionSite::local("P", latest, "svg"), s.server("P", latest, "svg")));
    QVERIFY(s.site.tree().writeFile("pic/A/P/B.db", "data"));
    QVERIFY(QFile::copy(s.site.tree().path("pic/A/P/B.db"), s.site.server("pic/A/P/B.db")));
    const QByteArray latestDrawing = VersionSite::bytes(VersionSite::local("P", latest, "xrg"));
    const PictureVersionReset::Outcome out = PictureVersionReset(s.db.get(), "A", pic).Reset();
    QVERIFY2(out.ok, qPrintable(out.errors.join("\n")));
    QCOMPARE(VersionSite::versionsOf(pic), after);
    QCOMPARE(VersionSite::stationOf(VersionSite::local("P", 1, "xrg")), versionOne);
    QCOMPARE(VersionSite::stationOf(s.server("P", 1, "xrg")), versionOne);
    QCOMPARE(VersionSite::bytes(VersionSite::local("P", 0, "xrg")), VersionSite::bytes(s.server("P", 0, "xrg")));
    if (after == versions)
        return;
    QCOMPARE(VersionSite::bytes(s.server("P", 1, "xrg")), latestDrawing);
    QCOMPARE(VersionSite::bytes(s.server("P", 1, "svg")), QByteArray("<svg/>"));
    const QStringList kept{"0.brg", "0.fg", "0.xrg", "1.brg", "1.fg", "1.svg", "1.xrg", "B.db"};
    QCOMPARE(VersionSite::localFiles("P"), kept);
    QCOMPARE(s.serverFiles("P"), kept);
}

void tst_PictureVersions::failedResetChangesNothing_data()
{
    QTest::addColumn<QList<int>>("versions");
    QTest::addColumn<QString>("refused");
    QTest::newRow("0,1,2,3, 1.fg refused after two uploads") << QList<int>{0, 1, 2, 3} << "1.fg";
    QTest::newRow("0,2,3, 1.brg refused") << QList<int>{0, 2, 3} << "1.brg";
    QTest::newRow("0,1,2,3, latest missing everywhere") << QList<int>{0, 1, 2, 3} << QString();
}

void tst_PictureVersions::failedResetChangesNothing()
{
    // Guards against a failed reset that loses the latest version or half-replaces version 1.
    QFETCH(QList<int>, versions);
    QFETCH(QString, refused);
    VersionSite s;
    const MDBRecordPicture pic = s.picture("P", versions);
    if (refused.isEmpty()) {
        QVERIFY(QFile::remove(VersionSite::local("P", 3, "xrg")));
        QVERIFY(QFile::remove(s.server("P", 3, "xrg")));
    } else {
        QVERIFY(refuseUpload(s.site.server("pic/A/P/" + refused)));
    }
    const auto localBefore = snapshot(MDeployPaths::PictureDir("A", "P"));
    const auto serverBefore = snapshot(s.site.server("pic/A/P"));
    const PictureVersionReset::Outcome out = PictureVersionReset(s.db.get(), "A", pic).Reset();
    QVERIFY(!out.ok);
    QVERIFY(!out.changed);
    QVERIFY(!out.errors.isEmpty());
    QCOMPARE(VersionSite::versionsOf(pic), versions);
    QCOMPARE(snapshot(MDeployPaths::PictureDir("A", "P")), localBefore);
    QCOMPARE(snapshot(s.site.server("pic/A/P")), serverBefore);
}

TALMER_TEST_MAIN(tst_PictureVersions)
#include "tst_pictureversions.moc"
