#include <QStringDecoder>
#include <QStringEncoder>
#include <memory>

#include "brelmmidataagent.h"
#include "mergefilereader.h"
#include "mergetesting.h"
#include "msqldataagent.h"
#include "mvarendbinterface.h"
#include "recordlist.h"
#include "sitebuilder.h"
#include "testdatabase.h"
#include "testmain.h"
#include "testsite.h"

using namespace MergeTesting;

namespace {

const QString kBeijing = QString::fromUtf8("北京变电站");

QByteArray exportXml(const QString& body, const QByteArray& encoding = "UTF-8")
{
    return "<?xml version=\"1.0\" encoding=\"" + encoding + "\"?>\n<mmiexport>" + body.toUtf8() + "</mmiexport>\n";
}

// A picture of type "station" with versions given as "version=time[=release time]".
QString pictureXml(const QString& name, const QStringList& versions, const QString& type = "station",
                   int code = 2)
{
    QString editions;
    for (const QString& v : versions) {
        const QStringList parts = v.split('=');
        editions += QString("<edition version=\"%1\" modifyTime=\"%2\" versionTime=\"%3\" nodeName=\"ws9\"/>")
                        .arg(parts.value(0), parts.value(1), parts.value(2));
    }
    return QString("<picType name=\"%1\" picTypeCode=\"%2\"><picture name=\"%3\">%4</picture></picType>")
        .arg(type)
        .arg(code)
        .arg(name, editions);
}

QString t(int minute)
{
    return QString("2026-03-01T08:%1:00").arg(minute, 2, 10, QChar('0'));
}

} // namespace

class tst_LibraryMerge : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestSupport::TestSite> m_site;
    QString m_beijing; // picture of type "station" with versions 0, 1, 2

    MAbstractDBInterface* db() { return MDBInterfaceHolder::Instance()->GetInterface(); }
    MDBRecordApplication app() { return Application(m_site->app); }
    QString file(const QString& name) { return m_site->tree().base() + "/" + name; }
    bool writeFile(const QString& name, const QByteArray& data)
    {
        QFile f(file(name));
        return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
    }
    MergeFileReader::Result readBack(const QByteArray& xml)
    {
        return MergeFileReader::Parse(xml);
    }

private Q_SLOTS:
    void init()
    {
        m_site = std::make_unique<TestSupport::TestSite>();
        SiteGen::SiteBuilder& b = m_site->builder();
        m_beijing = b.picture(m_site->station, kBeijing);
        b.edition(m_beijing, 0, t(10));
        b.edition(m_beijing, 1, t(1), t(1));
        b.edition(m_beijing, 2, t(5), t(5));
        b.edition(b.picture(m_site->feeder, QString::fromUtf8("城东线")), 0, t(3));
        QVERIFY2(b.ok(), qPrintable(b.errors()));
    }
    void cleanup() { m_site.reset(); }

    void roundTripWithChineseNames()
    {
        // Guards against an export that does not read back as the same library (lost characters, lost versions).
        LibraryMerge merge(db(), app());
        QString error;
        QVERIFY2(merge.Export(file("a.xml"), &error), qPrintable(error));
        QFile f(file("a.xml"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
        QVERIFY(bytes.contains(kBeijing.toUtf8()));
        const MergeFileReader::Result read = MergeFileReader::ReadFile(file("a.xml"));
        QVERIFY2(read.ok, qPrintable(read.error));
        QVERIFY2(read.warnings.isEmpty(), qPrintable(read.warnings.join("; ")));
        QVERIFY(merge.LoadLocal());
        QCOMPARE(int(read.pictures.size()), 2);
        for (const MergePicture& picture : read.pictures) {
            QVERIFY(picture.picture->oid.isEmpty() && picture.editions.front()->oid.isEmpty());
            QCOMPARE(LibraryMerge::Compare(picture, merge.LocalPicture(picture.name())), LibraryMerge::Same);
        }
        QCOMPARE(read.pictures.front().Versions(), (QList<int>{0, 1, 2}));
        QCOMPARE(read.pictures.front().typeCode, quint8(2));
    }

    void failedExportKeepsTheOldFile()
    {
        // Guards against an export reported as finished after the old file was truncated.
        QVERIFY(writeFile("old.xml", "old content"));
        QDir().mkpath(file("old.xml.d"));
        LibraryMerge merge(db(), app());
        QString error;
        // A folder cannot be written as a file: the export must fail and say so.
        QVERIFY(!merge.Export(file("old.xml.d"), &error));
        QVERIFY(!error.isEmpty());
        QFile f(file("old.xml"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("old content"));
    }

    void gb18030FileReads()
    {
        // Guards against decoding an older station's GB18030 export as UTF-8 (garbage names).
        QStringEncoder encoder("GB18030");
        QVERIFY(encoder.isValid());
        const QString body = pictureXml(kBeijing, {"0=" + t(10)}, QString::fromUtf8("厂站图"));
        QByteArray xml = "<?xml version=\"1.0\" encoding=\"GB18030\"?>\n<mmiexport>";
        xml += QByteArray(encoder.encode(body)) + "</mmiexport>";
        QVERIFY(!xml.contains(kBeijing.toUtf8()));
        const MergeFileReader::Result read = readBack(xml);
        QVERIFY2(read.ok, qPrintable(read.error));
        QCOMPARE(read.pictures.size(), size_t(1));
        QCOMPARE(read.pictures.front().name(), kBeijing);
        QCOMPARE(read.pictures.front().typeName, QString::fromUtf8("厂站图"));
    }

    void hostileFiles_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QStringList>("pictures"); // with their versions: "name:0,1"
        const QString good = pictureXml("P", {"0=" + t(1), "1=" + t(2)});
        QTest::newRow("a good file") << exportXml(good) << true << QStringList{"P:0,1"};
        QTest::newRow("wrong root") << QByteArray("<other>" + good.toUtf8() + "</other>") << false << QStringList();
        QTest::newRow("a drawing") << QByteArray("<?xml version=\"1.0\"?><graph><layer><rect x=\"1\"/></layer></graph>")
                                   << false << QStringList();
        QTest::newRow("not xml") << QByteArray("\x89PNG\r\n\x1a\n garbage") << false << QStringList();
        QTest::newRow("empty") << QByteArray() << false << QStringList();
        QTest::newRow("truncated") << exportXml(good).left(60) << false << QStringList();
        QTest::newRow("entity expansion")
            << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE m [<!ENTITY a \"aaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]>"
                          "<mmiexport><picType name=\"&b;\" picTypeCode=\"2\"/></mmiexport>")
            << false << QStringList();
        QString deep = good;
        for (int i = 0; i < 5000; ++i)
            deep = "<edition>" + deep + "</edition>";
        QTest::newRow("deep nesting") << exportXml(deep) << false << QStringList();
        QTest::newRow("unknown element")
            << exportXml("<picType name=\"s\" picTypeCode=\"2\"><script/></picType>") << false << QStringList();
        QTest::newRow("parent folder name")
            << exportXml(pictureXml("../x", {"0=" + t(1)}) + good) << true << QStringList{"P:0,1"};
        QTest::newRow("slash in a name") << exportXml(pictureXml("a/b", {"0=" + t(1)})) << true << QStringList();
        QTest::newRow("missing picture name")
            << exportXml("<picType name=\"s\" picTypeCode=\"2\"><picture/></picType>") << true << QStringList();
        QTest::newRow("garbage type code")
            << exportXml(pictureXml("P", {"0=" + t(1)}, "station", 0).replace("picTypeCode=\"0\"", "picTypeCode=\"x\""))
            << true << QStringList();
        QTest::newRow("garbage version number")
            << exportXml(pictureXml("P", {"x=" + t(1), "1=" + t(2)})) << true << QStringList{"P:1"};
        QTest::newRow("missing version number")
            << exportXml(pictureXml("P", {"=" + t(1), "2=" + t(2)})) << true << QStringList{"P:2"};
        QTest::newRow("negative version") << exportXml(pictureXml("P", {"-1=" + t(1)})) << true << QStringList{"P:"};
        QTest::newRow("garbage time") << exportXml(pictureXml("P", {"0=yesterday", "1=" + t(2)})) << true
                                      << QStringList{"P:1"};
        QTest::newRow("a version twice") << exportXml(pictureXml("P", {"1=" + t(1), "1=" + t(2)})) << true
                                         << QStringList{"P:1"};
        QTest::newRow("a picture twice") << exportXml(good + pictureXml("P", {"5=" + t(1)})) << true
                                         << QStringList{"P:0,1"};
    }

    void hostileFiles()
    {
        // Guards against any XML being taken for an export: unsafe names, unreadable versions, bombs.
        QFETCH(QByteArray, xml);
        QFETCH(bool, accepted);
        QFETCH(QStringList, pictures);
        const MergeFileReader::Result read = readBack(xml);
        QCOMPARE(read.ok, accepted);
        QCOMPARE(read.error.isEmpty(), accepted);
        QStringList seen;
        for (const MergePicture& p : read.pictures) {
            QStringList versions;
            for (int v : p.Versions())
                versions << QString::number(v);
            seen << p.name() + ":" + versions.join(",");
        }
        QCOMPARE(seen, pictures);
    }

    void largeFiles()
    {
        // Guards against reading a file of any size into memory, and against refusing a large real library.
        QString body = "<picType name=\"station\" picTypeCode=\"2\">";
        for (int i = 0; i < 3000; ++i)
            body += QString("<picture name=\"P%1\"><edition version=\"0\" modifyTime=\"%2\"/></picture>").arg(i).arg(t(1));
        body += "</picType>";
        QVERIFY(writeFile("big.xml", exportXml(body)));
        const MergeFileReader::Result read = MergeFileReader::ReadFile(file("big.xml"));
        QVERIFY2(read.ok, qPrintable(read.error));
        QCOMPARE(read.pictures.size(), size_t(3000));
        const qint64 size = QFileInfo(file("big.xml")).size();
        const MergeFileReader::Result refused = MergeFileReader::ReadFile(file("big.xml"), size - 1);
        QVERIFY(!refused.ok);
        QVERIFY(refused.pictures.empty());
        QVERIFY(refused.error.contains("larger"));
    }

    void statesAndPlans_data()
    {
        QTest::addColumn<QStringList>("fileVersions");
        QTest::addColumn<int>("state");
        QTest::addColumn<QList<int>>("inserts");
        QTest::addColumn<QList<int>>("updates");
        QTest::addColumn<QList<int>>("localNewer");
        // Local: 0 at 08:10, 1 at 08:01, 2 at 08:05.
        using L = QList<int>;
        const QString v1 = "1=" + t(1) + "=" + t(1), v2 = "2=" + t(5) + "=" + t(5);
        QTest::newRow("same") << QStringList{"0=" + t(10), v1, v2} << 0 << L{} << L{} << L{};
        QTest::newRow("same, blank instead of T") << QStringList{"0=2026-03-01 08:10:00", v1, v2} << 0 << L{} << L{}
                                                  << L{};
        QTest::newRow("release time differs") << QStringList{"0=" + t(10), v1, "2=" + t(5)} << 2 << L{} << L{}
                                              << L{};
        QTest::newRow("[0,2,3] against [0,1,2], 2 later")
            << QStringList{"0=" + t(10), "2=" + t(7), "3=" + t(8)} << 2 << L{3} << L{2} << L{1};
        QTest::newRow("one more version") << QStringList{"0=" + t(10), "1=" + t(1), "2=" + t(5), "3=" + t(9)} << 2
                                          << L{3} << L{} << L{};
        QTest::newRow("local one more") << QStringList{"0=" + t(10), "1=" + t(1)} << 2 << L{} << L{} << L{2};
        QTest::newRow("local draft later") << QStringList{"0=" + t(2), "1=" + t(1), "2=" + t(5)} << 2 << L{} << L{}
                                           << L{0};
    }

    void statesAndPlans()
    {
        // Guards against pairing versions by list position instead of by number.
        QFETCH(QStringList, fileVersions);
        QFETCH(int, state);
        const MergeFileReader::Result read = readBack(exportXml(pictureXml(kBeijing, fileVersions)));
        QVERIFY(read.ok && read.pictures.size() == 1);
        LibraryMerge merge(db(), app());
        QVERIFY(merge.LoadLocal());
        const MergePicture& picture = read.pictures.front();
        QCOMPARE(int(LibraryMerge::Compare(picture, merge.LocalPicture(kBeijing))), state);
        const LibraryMerge::Plan plan = merge.PlanFor(picture);
        QTEST(plan.inserts, "inserts");
        QTEST(plan.updates, "updates");
        QTEST(plan.localNewer, "localNewer");
        QVERIFY(!plan.newPicture && !plan.newType);
    }

    void mergingTwiceWritesOnce()
    {
        // Guards against a second merge of the same item inserting its versions again.
        const MergeFileReader::Result read =
            readBack(exportXml(pictureXml(kBeijing, {"0=" + t(10), "2=" + t(7), "3=" + t(8)})));
        LibraryMerge merge(db(), app());
        QVERIFY(merge.LoadLocal());
        QString message;
        QCOMPARE(merge.Merge(read.pictures.front(), &message), LibraryMerge::Outcome::Merged);
        QCOMPARE(message, QString("local is newer!")); // version 1 is not in the file
        const QMap<int, QString> after = Library(app()).value(kBeijing);
        QCOMPARE(after.keys(), (QList<int>{0, 1, 2, 3}));
        QCOMPARE(after.value(2), t(7));
        QCOMPARE(after.value(1), t(1));
        QCOMPARE(merge.LocalPicture(kBeijing)->Versions(), (QList<int>{0, 1, 2, 3}));
        QVERIFY(!merge.PlanFor(read.pictures.front()).writes());
        FailingInterface counting(db(), 100);
        LibraryMerge again(&counting, app());
        QVERIFY(again.LoadLocal());
        QCOMPARE(again.Merge(read.pictures.front(), &message), LibraryMerge::Outcome::LocalNewer);
        QCOMPARE(counting.inserts, 0);
        QCOMPARE(Library(app()).value(kBeijing), after);
    }

    void newPictureOfANewType()
    {
        // Guards against a merged picture whose type is missing locally getting lost or the wrong type code.
        const MergeFileReader::Result read =
            readBack(exportXml(pictureXml(QString::fromUtf8("总览"), {"0=" + t(1), "1=" + t(2)}, "overview", 44)));
        LibraryMerge merge(db(), app());
        QVERIFY(merge.LoadLocal());
        QCOMPARE(LibraryMerge::Compare(read.pictures.front(), nullptr), LibraryMerge::FileOnly);
        const LibraryMerge::Plan plan = merge.PlanFor(read.pictures.front());
        QVERIFY(plan.newType && plan.newPicture);
        QString message;
        QCOMPARE(merge.Merge(read.pictures.front(), &message), LibraryMerge::Outcome::Merged);
        QCOMPARE(message, QString("merge successfully!"));
        RecordList types;
        MDBRecordApplication a = app();
        db()->GetChildren(&a, types.out());
        const auto it = std::find_if(types.begin(), types.end(), [](MDBRecordBase* r) { return r->name == "overview"; });
        QVERIFY(it != types.end());
        QCOMPARE(static_cast<MDBRecordPicType*>(*it)->picTypeCode, quint8(44));
        QCOMPARE(Library(app()).value(QString::fromUtf8("总览")).keys(), (QList<int>{0, 1}));
    }

    void interruptedMergeLeavesNothing_data()
    {
        QTest::addColumn<bool>("newPicture");
        QTest::addColumn<int>("insertsAllowed");
        QTest::newRow("new type fails") << true << 0;
        QTest::newRow("new picture fails") << true << 1;
        QTest::newRow("its first version fails") << true << 2;
        QTest::newRow("its last version fails") << true << 3;
        QTest::newRow("existing picture, first insert fails") << false << 0;
        QTest::newRow("existing picture, second insert fails") << false << 1;
    }

    void interruptedMergeLeavesNothing()
    {
        // Guards against a half-applied merge: versions, pictures or types left after a failed insert.
        QFETCH(bool, newPicture);
        QFETCH(int, insertsAllowed);
        const QString xml = newPicture ? pictureXml("N", {"0=" + t(1), "1=" + t(2)}, "overview", 44)
                                       : pictureXml(kBeijing, {"0=" + t(10), "2=" + t(9), "3=" + t(8), "4=" + t(9)});
        const MergeFileReader::Result read = readBack(exportXml(xml));
        const auto before = Library(app());
        FailingInterface failing(db(), insertsAllowed);
        LibraryMerge merge(&failing, app());
        QVERIFY(merge.LoadLocal());
        const LibraryMerge::State state = LibraryMerge::Compare(read.pictures.front(), merge.LocalPicture(read.pictures.front().name()));
        QString message, detail;
        QCOMPARE(merge.Merge(read.pictures.front(), &message, &detail), LibraryMerge::Outcome::Failed);
        QCOMPARE(message, QString("merge failed!"));
        QVERIFY(!detail.isEmpty());
        QCOMPARE(Library(app()), before); // version 2's update is undone too
        QCOMPARE(LibraryMerge::Compare(read.pictures.front(), merge.LocalPicture(read.pictures.front().name())), state);
        RecordList types;
        MDBRecordApplication a = app();
        db()->GetChildren(&a, types.out());
        QCOMPARE(types.size(), 2);
    }

    void foreignIdentifiersTouchNothing()
    {
        // Guards against a file's identifiers from another site writing into unrelated objects (outer network too).
        TestSupport::TestDatabase outerDb;
        const QString outerSpec = outerDb.create(m_site->tree().path("var/outer.sqlite"));
        QVERIFY2(!outerSpec.isEmpty(), qPrintable(outerDb.failure()));
        MSqlDataAgent outer;
        QVERIFY(outer.Open(outerSpec, MSqlDataAgent::OpenMode::CreateIfMissing));
        SiteGen::SiteBuilder outerSite(&outer);
        const QString outerApp = outerSite.application("A");
        const QString outerType = outerSite.pictureType(outerApp, "station", 2);
        const QString unrelatedOuter = outerSite.edition(outerSite.picture(outerType, "unrelated"), 1, t(1));
        const QString unrelatedHmi = m_site->builder().edition(m_site->builder().picture(m_site->feeder, "other"), 1, t(1));
        QVERIFY(outerSite.ok() && m_site->builder().ok());
        qputenv("IS_IN_OUTER_NET", "1");
        qputenv("TALMER_OUTER_DB", outerSpec.toUtf8());
        MVarenDBInterface both;
        QVERIFY(both.HasOuterAgent());
        // Versions 2 (an update) and 3 (an insert) carry identifiers of unrelated objects here.
        const QString xml = QString("<picType name=\"station\" picTypeCode=\"2\" oid=\"%1\" outerOid=\"%2\">"
                                    "<picture name=\"%3\" oid=\"%1\" outerOid=\"%2\">"
                                    "<edition version=\"2\" modifyTime=\"%4\" oid=\"%1\" outerOid=\"%2\"/>"
                                    "<edition version=\"3\" modifyTime=\"%4\" oid=\"%1\" outerOid=\"%2\"/>"
                                    "</picture></picType>")
                                .arg(unrelatedHmi, unrelatedOuter, kBeijing, t(30));
        const MergeFileReader::Result read = readBack(exportXml(xml));
        QVERIFY(read.ok);
        MDBRecordApplication a = app();
        a.outerOid = outerApp;
        LibraryMerge merge(&both, a);
        QVERIFY(merge.LoadLocal());
        QCOMPARE(merge.PlanFor(read.pictures.front()).updates, QList<int>{2});
        QCOMPARE(merge.Merge(read.pictures.front()), LibraryMerge::Outcome::Merged);
        const auto timeOf = [](MDataAgent* agent, const QString& id) {
            MDataSet set;
            agent->QueryData(id, {"modifytime", "version"}, set);
            return set.DataNum() ? set.GetFieldValue("modifytime", 0).toString() + "/" +
                    set.GetFieldValue("version", 0).toString() : QString("gone");
        };
        QCOMPARE(timeOf(BrelMmiDataAgent::Instance(), unrelatedHmi), t(1) + "/1");
        QCOMPARE(timeOf(&outer, unrelatedOuter), t(1) + "/1");
        const QMap<int, QString> versions = Library(app()).value(kBeijing);
        QCOMPARE(versions.value(2), t(30));
        QCOMPARE(versions.value(3), t(30));
    }
};

TALMER_TEST_MAIN(tst_LibraryMerge)
#include "tst_librarymerge.moc"
