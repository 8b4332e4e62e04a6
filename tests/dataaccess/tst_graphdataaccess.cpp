#include <QSpinBox>
#include <memory>

#include "brelmmidataagent.h"
#include "deploytree.h"
#include "dialogdriver.h"
#include "mdbinterfaceholder.h"
#include "mdeploypaths.h"
#include "mdisplaypattern.h"
#include "mgraphdataaccess.h"
#include "micontemplate.h"
#include "mshapeobj.h"
#include "sitebuilder.h"
#include "testdatabase.h"
#include "testmain.h"
#include "testsite.h"

using TestSupport::DeployTree;
using TestSupport::DialogDriver;
using SiteGen::SiteBuilder;

namespace {

// An access of the test's own, on the database interface of the moment.
class TestAccess : public MGraphDataAccess
{
public:
    TestAccess() = default;
    ~TestAccess() = default;
};

bool write(const QString& path, const QByteArray& data = "x", const QDateTime& modified = {})
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size() || !f.flush())
        return false;
    return !modified.isValid() || f.setFileTime(modified, QFileDevice::FileModificationTime);
}

QDateTime at(const QString& hhmm)
{
    return QDateTime(QDate(2026, 3, 1), QTime::fromString(hhmm, hhmm.size() > 5 ? "hh:mm:ss" : "hh:mm"));
}

QString iso(const QString& hhmm)
{
    return at(hhmm).toString(Qt::ISODate);
}

} // namespace

class tst_GraphDataAccess : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestSupport::TestSite> m_testSite;
    DeployTree* m_tree = nullptr;   // of m_testSite
    SiteBuilder* m_site = nullptr;  // of m_testSite
    std::unique_ptr<TestAccess> m_access;
    QString m_app, m_station, m_feeder;
    QString server(const QString& relative) const { return m_testSite->server(relative); }

private Q_SLOTS:
    void init();
    void cleanup();

    void picturesAreFoundByNameAcrossTypes();
    void areaNumbersAtTheirLimits_data();
    void areaNumbersAtTheirLimits();
    void latestVersions();
    void listings();
    void addPicture();
    void batchPrivileges();
    void iconAndTemplateLookups();
    void versionsByTime();
    void versionsByTimeAtBoundariesAndGaps_data();
    void versionsByTimeAtBoundariesAndGaps();
    void defaultIconOfTypesSharingACatalogId_data();
    void defaultIconOfTypesSharingACatalogId();
    void graphVersionFetching();
    void cleaningTheGraphStore();
    void cleaningRefusesUnsafeRoots_data();
    void cleaningRefusesUnsafeRoots();
    void removeDirStaysInTheStore();
    void removeDirInsideTheDeploymentTree_data();
    void removeDirInsideTheDeploymentTree();
    void cleaningShowsWhatGoesBeforeAsking();
};

void tst_GraphDataAccess::init()
{
    m_testSite = std::make_unique<TestSupport::TestSite>();
    m_tree = &m_testSite->tree();
    m_site = &m_testSite->builder();
    m_app = m_testSite->app;
    m_station = m_testSite->station;
    m_feeder = m_testSite->feeder;
    m_access = std::make_unique<TestAccess>();
}

void tst_GraphDataAccess::cleanup()
{
    m_access.reset();
    m_testSite.reset();
}

void tst_GraphDataAccess::picturesAreFoundByNameAcrossTypes()
{
    // Guards against answers from the wrong one of two pictures of a name, and writes that touch more than asked.
    QVERIFY(TestSupport::TestDatabase::allowDuplicatePictureNames(BrelMmiDataAgent::ConfiguredDatabase()));
    const QString first = m_site->picture(m_station, "P", 1, 3, 2); // as an older program could leave them
    const QString second = m_site->picture(m_feeder, "P", 4, 6, 5);
    QVERIFY(m_site->ok());
    int in = -9, out = -9;
    unsigned long area = 99;
    QVERIFY(m_access->GetGraphInfo("A", "P", in, area, out));
    QCOMPARE(in, 1);
    QCOMPARE(area, 2ul);
    QCOMPARE(out, 3);
    QVERIFY(m_access->SetGraphInfo("A", "P", -1, 7, -1));
    QVERIFY(m_access->GetGraphInfo("A", "P", in, area, out));
    QCOMPARE(in, 1);
    QCOMPARE(area, 7ul);
    QCOMPARE(out, 3);
    QVERIFY(m_access->SetGraphInfo("A", "P", 0, 8, 9));
    QVERIFY(m_access->GetGraphInfo("A", "P", in, area, out));
    QCOMPARE(in, 0);
    QCOMPARE(out, 9);
    in = out = -9;
    area = 99;
    QVERIFY(!m_access->GetGraphInfo("A", "none", in, area, out));
    QVERIFY(!m_access->GetGraphInfo("B", "P", in, area, out));
    QVERIFY(!m_access->SetGraphInfo("B", "P", 1, 1, 1));
    QCOMPARE(in, -9);
    QCOMPARE(area, 99ul);
    // The second picture of the name was never touched.
    MDataSet set;
    BrelMmiDataAgent::Instance()->QueryData(second, {"in_priv_code", "AORNum"}, set);
    QCOMPARE(set.GetFieldValue("in_priv_code", 0).toInt(), 4);
    QCOMPARE(set.GetFieldValue("AORNum", 0).toInt(), 5);
    Q_UNUSED(first);
}

void tst_GraphDataAccess::areaNumbersAtTheirLimits_data()
{
    QTest::addColumn<qulonglong>("area");
    QTest::newRow("zero") << qulonglong(0);
    QTest::newRow("one") << qulonglong(1);
    QTest::newRow("largest signed") << qulonglong(2147483647);
    QTest::newRow("one above the largest signed") << qulonglong(2147483648);
    QTest::newRow("largest unsigned") << qulonglong(4294967295);
}

void tst_GraphDataAccess::areaNumbersAtTheirLimits()
{
    // Guards against area numbers above the signed range coming back changed (a host compares them).
    QFETCH(qulonglong, area);
    m_site->picture(m_station, "P");
    QVERIFY(m_site->ok());
    QVERIFY(m_access->SetGraphInfo("A", "P", -1, static_cast<unsigned long>(area), -1));
    int in = 0, out = 0;
    unsigned long read = 12345;
    QVERIFY(m_access->GetGraphInfo("A", "P", in, read, out));
    QCOMPARE(qulonglong(read), area);
}

void tst_GraphDataAccess::latestVersions()
{
    // Guards against the viewer opening an older version than the newest, or a wrong time.
    const QString p = m_site->picture(m_station, "P", 0, 4);
    m_site->edition(p, 0, iso("09:00"));
    m_site->edition(p, 2, iso("11:00"));
    m_site->edition(p, 1, iso("10:00"));
    const QString draftOnly = m_site->picture(m_feeder, "D");
    m_site->edition(draftOnly, 0, iso("09:00"));
    m_site->picture(m_feeder, "E"); // no edition records at all
    QVERIFY(m_site->ok());
    QCOMPARE(m_access->GetGraphLatestVersion("A", "P"), 2);
    QCOMPARE(m_access->GetGraphLatestVersion("A", "D"), 0);
    // A picture without versions gains its draft when listed, so it answers 0.
    QCOMPARE(m_access->GetGraphLatestVersion("A", "E"), 0);
    QCOMPARE(m_access->GetGraphLatestVersion("A", "none"), -1);
    QCOMPARE(m_access->GetGraphLatestVersion("B", "P"), -1);
    int version = 5, out = 5;
    QString time = "kept";
    QVERIFY(m_access->GetGraphInfo4Web("A", "P", version, out, time));
    QCOMPARE(version, 2);
    QCOMPARE(out, 4);
    QCOMPARE(time, iso("11:00"));
    QVERIFY(!m_access->GetGraphInfo4Web("A", "none", version, out, time));
    QCOMPARE(version, -1);
    QCOMPARE(out, -1);
}

void tst_GraphDataAccess::listings()
{
    // Guards against lists that mix applications, drop types, or lose the caller's entries.
    m_site->picture(m_station, "S1");
    m_site->picture(m_feeder, "F1");
    m_site->picture(m_feeder, "F2");
    const QString other = m_site->application("B");
    QVERIFY(m_site->ok());
    QStringList names{"kept"}, ids{"kept"};
    m_access->GeGraphApplications(names, ids);
    QCOMPARE(names, (QStringList{"kept", "A", "B"}));
    QCOMPARE(ids, (QStringList{"kept", m_app, other}));
    QCOMPARE(m_access->GetGraphTypes("A", false), (QStringList{"station", "feeder"}));
    QCOMPARE(m_access->GetGraphTypes(m_app, true), (QStringList{"station", "feeder"}));
    QCOMPARE(m_access->GetGraphTypes("none", false), QStringList());
    QCOMPARE(m_access->GetPictures("A", ""), (QStringList{"S1", "F1", "F2"}));
    QCOMPARE(m_access->GetPictures("A", "feeder"), (QStringList{"F1", "F2"}));
    QCOMPARE(m_access->GetPictures("A", "nosuch"), QStringList());
    QCOMPARE(m_access->GetPictures("none", ""), QStringList());
}

void tst_GraphDataAccess::addPicture()
{
    // Guards against pictures with unusable names, or added where no application or type is.
    DialogDriver dialogs;
    dialogs.pressButton(QMessageBox::Ok, "may not contain /");
    QVERIFY(!m_access->AddPicture("A", "station", "a/b"));
    DIALOGS_DONE(dialogs);
    QVERIFY(!m_access->AddPicture("none", "station", "P"));
    QVERIFY(!m_access->AddPicture("A", "nosuch", "P"));
    QVERIFY(m_access->AddPicture("A", "feeder", QString::fromUtf8("新 线")));
    QCOMPARE(m_access->GetPictures("A", "feeder"), QStringList{QString::fromUtf8("新 线")});
    QCOMPARE(m_access->GetPictures("A", "station"), QStringList());
}

void tst_GraphDataAccess::batchPrivileges()
{
    // Guards against batch privileges reaching other types, or changing anything when cancelled.
    const QString s = m_site->picture(m_station, "S", 1, 1);
    const QString f = m_site->picture(m_feeder, "F", 1, 1);
    QVERIFY(m_site->ok());
    const auto answer = [](int inner, int web) {
        return [inner, web](QWidget* w) -> QString {
            w->findChild<QSpinBox*>("innerPrivilege")->setValue(inner);
            w->findChild<QSpinBox*>("webPrivilege")->setValue(web);
            static_cast<QDialog*>(w)->accept();
            return {};
        };
    };
    DialogDriver dialogs;
    dialogs.answerDialog("MBatchSetDialog", answer(5, 6))
        .answerDialog("MBatchSetDialog", answer(7, 8))
        .answerDialog("MBatchSetDialog", [](QWidget* w) -> QString {
            static_cast<QDialog*>(w)->reject();
            return {};
        });
    m_access->SetGraphPropety("A", "feeder");
    int in = 0, out = 0;
    unsigned long area = 0;
    m_access->GetGraphInfo("A", "F", in, area, out);
    QCOMPARE(in, 5);
    QCOMPARE(out, 6);
    m_access->GetGraphInfo("A", "S", in, area, out);
    QCOMPARE(in, 1);
    m_access->SetGraphPropety("A", "");
    m_access->GetGraphInfo("A", "S", in, area, out);
    QCOMPARE(in, 7);
    QCOMPARE(out, 8);
    m_access->SetGraphPropety("A", "");
    m_access->GetGraphInfo("A", "F", in, area, out);
    QCOMPARE(in, 7);
    DIALOGS_DONE(dialogs);
    Q_UNUSED(s);
    Q_UNUSED(f);
}

void tst_GraphDataAccess::iconAndTemplateLookups()
{
    // Guards against the wrong default icon, and the catalog id losing to a type named like a number.
    const QString byNumber = m_site->iconType("3", 7);
    const QString breaker = m_site->iconType("breaker", 3);
    const QString empty = m_site->iconType("empty", 9);
    const QString plain = m_site->iconType("plain", 4);
    m_site->icon(byNumber, "n1", "{n1}", iso("09:00"), true);
    m_site->icon(breaker, "b1", "{b1}", iso("09:00"), false);
    m_site->icon(breaker, "b2", "{b2}", iso("09:00"), true);
    m_site->icon(breaker, "b3", "{b3}", iso("09:00"), true);
    m_site->icon(plain, "p1", "{p1}", iso("09:00"));
    m_site->icon(plain, "p2", "{p2}", iso("09:00"));
    m_site->templateType("style_template", "style");
    QVERIFY(m_site->ok());
    Q_UNUSED(empty);
    QString uuid = "untouched";
    int third = 42;
    QVERIFY(m_access->GetDefaultIcon("3", uuid, third));
    QCOMPARE(uuid, QString("{b3}"));
    QVERIFY(m_access->GetDefaultIcon("plain", uuid, third));
    QCOMPARE(uuid, QString("{p1}"));
    uuid = "untouched";
    QVERIFY(!m_access->GetDefaultIcon("empty", uuid, third));
    QVERIFY(!m_access->GetDefaultIcon("nosuch", uuid, third));
    QCOMPARE(uuid, QString("untouched"));
    QCOMPARE(third, 42);

    QCOMPARE(m_access->GetIconName("{b2}"), QString("b2"));
    QCOMPARE(m_access->GetIconName("{zz}"), QString());
    QCOMPARE(m_access->GetTemplateAlias("style_template"), QString("style"));
    QCOMPARE(m_access->GetTemplateAlias("nosuch"), QString());

    MIconTemplate icon(QUuid("{b2}"), nullptr);
    icon.SetDefaultSize(QSizeF(40, 30));
    auto* pattern = new MDisplayPattern;
    auto* rect = new MShapeObj(MDrawObj::ObjRect);
    rect->SetPoints({QPointF(5, 5), QPointF(35, 25)});
    rect->SetBrushColor(Qt::red);
    pattern->AddShape(rect);
    icon.AddPattern(pattern);
    QVERIFY(QDir().mkpath(MDeployPaths::Root() + "/icon/breaker"));
    QVERIFY(icon.WriteXmlFile(MDeployPaths::IconFile("breaker", "{b2}")));
    QPixmap image;
    m_access->GetIconImage("{b2}", image);
    QCOMPARE(image.size(), QSize(41, 30));
    QPixmap untouched(3, 3);
    m_access->GetIconImage("{zz}", untouched);
    QCOMPARE(untouched.size(), QSize(3, 3));
}

void tst_GraphDataAccess::versionsByTime()
{
    // Guards against viewers showing another version than was valid at a moment.
    const QString byModify = m_site->picture(m_station, "M");
    m_site->edition(byModify, 1, iso("10:00"));
    m_site->edition(byModify, 2, iso("11:00"));
    m_site->edition(byModify, 3, iso("12:00"));
    const QString byRelease = m_site->picture(m_station, "R");
    m_site->edition(byRelease, 1, iso("10:00"), iso("10:00"));
    m_site->edition(byRelease, 2, iso("11:00"), iso("11:00"));
    m_site->edition(byRelease, 3, iso("12:00"), iso("12:00"));
    const QString firstDecides = m_site->picture(m_station, "F");
    m_site->edition(firstDecides, 1, iso("10:00"), iso("10:00"));
    m_site->edition(firstDecides, 2, iso("11:00"));
    QVERIFY(m_site->ok());
    QCOMPARE(m_access->GetVersionByTime("A", "M", at("11:30")), 2);
    QCOMPARE(m_access->GetVersionByTime("A", "M", at("09:00")), -100);
    QCOMPARE(m_access->GetVersionByTime("A", "none", at("11:30")), -100);
    QCOMPARE(m_access->GraphVersionByTime("A", "M", at("11:30"), false), 3);
    QCOMPARE(m_access->GraphVersionByTime("A", "M", at("09:00"), false), 1);
    QCOMPARE(m_access->GraphVersionByTime("A", "M", at("13:00"), false), 3);
    QCOMPARE(m_access->GraphVersionByTime("A", "R", at("11:30"), false), 2);
    QCOMPARE(m_access->GraphVersionByTime("A", "R", at("09:00"), false), 0);
    QCOMPARE(m_access->GraphVersionByTime("A", "F", at("13:00"), false), 1);
    QCOMPARE(m_access->GraphVersionByTime("A", "none", at("13:00"), false), -100);
}

void tst_GraphDataAccess::versionsByTimeAtBoundariesAndGaps_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("moment");
    QTest::addColumn<int>("byModification"); // GetVersionByTime
    QTest::addColumn<int>("valid");          // GraphVersionByTime
    // M: versions 1 2 3 changed at 10, 11, 12; R: the same, released then;
    // G and GR: versions 1 3 7 likewise.
    QTest::newRow("at a change") << "M" << "11:00" << 1 << 2;
    QTest::newRow("a second after a change") << "M" << "11:00:01" << 2 << 3;
    QTest::newRow("at the first change") << "M" << "10:00" << -100 << 1;
    QTest::newRow("a second before the first") << "M" << "09:59:59" << -100 << 1;
    QTest::newRow("at a release: not yet valid") << "R" << "11:00" << 1 << 1;
    QTest::newRow("a second after a release") << "R" << "11:00:01" << 2 << 2;
    QTest::newRow("at the first release") << "R" << "10:00" << -100 << 0;
    QTest::newRow("at the last release") << "R" << "12:00" << 2 << 2;
    QTest::newRow("gap: after 1") << "G" << "10:30" << 1 << 3;
    QTest::newRow("gap: after 3") << "G" << "11:30" << 3 << 7;
    QTest::newRow("gap: after the last") << "G" << "12:30" << 7 << 7;
    QTest::newRow("gap: at a release") << "GR" << "12:00" << 3 << 3;
    QTest::newRow("gap: after a release") << "GR" << "12:00:01" << 7 << 7;
    QTest::newRow("gap: between releases") << "GR" << "10:30" << 1 << 1;
}

void tst_GraphDataAccess::versionsByTimeAtBoundariesAndGaps()
{
    // Guards against a release counted as valid at its own moment, and missing version numbers miscounted.
    QFETCH(QString, picture);
    QFETCH(QString, moment);
    QFETCH(int, byModification);
    QFETCH(int, valid);
    const QList<int> versions = picture.startsWith('G') ? QList<int>{1, 3, 7} : QList<int>{1, 2, 3};
    const bool released = picture.endsWith('R');
    const QString p = m_site->picture(m_station, picture);
    for (int i = 0; i < versions.size(); ++i) {
        const QString time = iso(QString("%1:00").arg(10 + i));
        m_site->edition(p, versions.at(i), time, released ? time : QString());
    }
    QVERIFY(m_site->ok());
    QCOMPARE(m_access->GetVersionByTime("A", picture, at(moment)), byModification);
    QCOMPARE(m_access->GraphVersionByTime("A", picture, at(moment), false), valid);
}

void tst_GraphDataAccess::defaultIconOfTypesSharingACatalogId_data()
{
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QString>("expected"); // empty: none chosen
    // "first" and "second" share catalog id 5, "plain" and "bare" share 6 and flag
    // nothing, "solo" (id 7) has no icons.
    QTest::newRow("shared id: the last flagged over both") << "5" << "{s2}";
    QTest::newRow("by name: only its own") << "first" << "{f2}";
    QTest::newRow("by name: the other") << "second" << "{s2}";
    QTest::newRow("shared id, none flagged: first of the first") << "6" << "{p1}";
    QTest::newRow("by name, none flagged: its own first") << "bare" << "{b1}";
    QTest::newRow("id without icons") << "7" << "";
    QTest::newRow("unknown id") << "8" << "";
    QTest::newRow("negative id") << "-5" << "";
}

void tst_GraphDataAccess::defaultIconOfTypesSharingACatalogId()
{
    // Guards against the default icon taken from one type only when several share a catalog id.
    QFETCH(QString, asked);
    QFETCH(QString, expected);
    const QString first = m_site->iconType("first", 5);
    const QString second = m_site->iconType("second", 5);
    const QString plain = m_site->iconType("plain", 6);
    const QString bare = m_site->iconType("bare", 6);
    m_site->iconType("solo", 7);
    m_site->icon(first, "f1", "{f1}", iso("09:00"), false);
    m_site->icon(first, "f2", "{f2}", iso("09:00"), true);
    m_site->icon(second, "s1", "{s1}", iso("09:00"), false);
    m_site->icon(second, "s2", "{s2}", iso("09:00"), true);
    m_site->icon(second, "s3", "{s3}", iso("09:00"), false);
    m_site->icon(plain, "p1", "{p1}", iso("09:00"));
    m_site->icon(bare, "b1", "{b1}", iso("09:00"));
    QVERIFY(m_site->ok());
    QString uuid = "untouched";
    int third = 0;
    QCOMPARE(m_access->GetDefaultIcon(asked, uuid, third), !expected.isEmpty());
    QCOMPARE(uuid, expected.isEmpty() ? QString("untouched") : expected);
}

void tst_GraphDataAccess::graphVersionFetching()
{
    // Guards against viewers left without a version's files, or fetching what is already current.
    const QString p = m_site->picture(m_station, "P");
    m_site->edition(p, 1, iso("10:00"), iso("10:00"));
    m_site->edition(p, 2, iso("11:00"), iso("11:00"));
    QVERIFY(m_site->ok());
    QVERIFY(write(server("pic/A/P/2.brg"), "server brg"));
    QVERIFY(write(server("pic/A/P/2.fg"), "server fg"));
    QCOMPARE(m_access->GraphVersionByTime("A", "P", at("12:00"), true), 2);
    QVERIFY(QFile::exists(MDeployPaths::VersionFile("A", "P", 2, "brg")));
    QVERIFY(QFile::exists(MDeployPaths::VersionFile("A", "P", 2, "fg")));
    // Version 1: not on the server, not here.
    QCOMPARE(m_access->GraphVersionByTime("A", "P", at("10:30"), true), -1);
    // Beside a local drawing, a missing viewer file is not fetched (and not failed).
    QVERIFY(write(MDeployPaths::VersionFile("A", "P", 1, "xrg")));
    QCOMPARE(m_access->GraphVersionByTime("A", "P", at("10:30"), true), 1);
    QVERIFY(!QFile::exists(MDeployPaths::VersionFile("A", "P", 1, "brg")));
    // A current local viewer file is kept; a stale one is replaced.
    QVERIFY(write(MDeployPaths::VersionFile("A", "P", 2, "brg"), "local", at("11:30")));
    QCOMPARE(m_access->GraphVersionByTime("A", "P", at("12:00"), true), 2);
    QFile brg(MDeployPaths::VersionFile("A", "P", 2, "brg"));
    QVERIFY(brg.open(QIODevice::ReadOnly));
    QCOMPARE(brg.readAll(), QByteArray("local"));
}

void tst_GraphDataAccess::cleaningTheGraphStore()
{
    // Guards against the cleaning removing known pictures, or leaving what the library no longer has.
    m_site->picture(m_station, "P");
    m_site->picture(m_feeder, "Q");
    QVERIFY(m_site->ok());
    const QString store = MDeployPaths::GraphStore();
    for (const QString f : {"A/P/0.xrg", "A/Q/1.xrg", "A/p/0.xrg", "A/Old/0.xrg", "A/stray.txt", "Gone/X/0.xrg",
                            "temporary/Del/0.xrg", "stray.txt"}) {
        QVERIFY(write(store + "/" + f));
        QVERIFY(write(server("pic/" + f)));
    }
    DialogDriver dialogs;
    dialogs.pressButton(QMessageBox::Cancel, "Please back up graph files firstly!");
    m_access->CleanGraphFiles();
    QVERIFY(QFile::exists(store + "/Gone/X/0.xrg"));
    dialogs.pressButton(QMessageBox::Yes, "back up")
        .pressButton(QMessageBox::Yes, "clear file at local machine?")
        .pressButton(QMessageBox::Yes, "clear file at file server?");
    m_access->CleanGraphFiles();
    DIALOGS_DONE(dialogs);
    QStringList local = QDir(store).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    QCOMPARE(local, QStringList{"A"});
    local = QDir(store + "/A").entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    QCOMPARE(local, (QStringList{"P", "Q"}));
    QStringList remote = QDir(server("pic")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    QCOMPARE(remote, (QStringList{"A", "stray.txt"})); // only directories are cleaned on the server
    remote = QDir(server("pic/A")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    QCOMPARE(remote, (QStringList{"P", "Q", "stray.txt"}));
}

void tst_GraphDataAccess::cleaningRefusesUnsafeRoots_data()
{
    QTest::addColumn<QByteArray>("root");
    QTest::newRow("unset") << QByteArray();
    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("relative") << QByteArray("deployment");
    QTest::newRow("file-system root") << QByteArray("/");
    QTest::newRow("root with slashes") << QByteArray("//.");
}

void tst_GraphDataAccess::cleaningRefusesUnsafeRoots()
{
    // Guards against a misconfigured workstation deleting everything below the wrong directory.
    QFETCH(QByteArray, root);
    const QString store = MDeployPaths::GraphStore();
    QVERIFY(write(store + "/Gone/X/0.xrg"));
    const QString victim = m_tree->base() + "/victim/keep.txt";
    QVERIFY(write(victim));
    if (root.isNull())
        qunsetenv("TALMER_DEPLOY_DIR");
    else
        qputenv("TALMER_DEPLOY_DIR", root);
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(m_tree->base());
    DialogDriver dialogs;
    dialogs.pressButton(QMessageBox::Ok, "cannot be cleaned");
    m_access->CleanGraphFiles();
    MGraphDataAccess::RemoveDir(m_tree->base() + "/victim");
    MGraphDataAccess::RemoveDir("victim");
    QDir::setCurrent(cwd);
    DIALOGS_DONE(dialogs);
    QVERIFY(QFile::exists(victim));
    QVERIFY(QFile::exists(store + "/Gone/X/0.xrg"));
}

void tst_GraphDataAccess::removeDirStaysInTheStore()
{
    // Guards against deleting through symbolic links, or climbing out of the deployment tree.
    const QString store = MDeployPaths::GraphStore();
    const QString outside = m_tree->base() + "/outside";
    QVERIFY(write(outside + "/precious.txt"));
    QVERIFY(write(store + "/A/P/0.xrg"));
    QVERIFY(QFile::link(outside, store + "/A/P/link"));
    QVERIFY(QFile::link(outside, store + "/linked"));
    QVERIFY(QFile::link(outside, store + "/A/Q")); // a picture directory that is a link
    MGraphDataAccess::RemoveDir(store + "/A/P");
    QVERIFY(!QFileInfo::exists(store + "/A/P"));
    QVERIFY(QFile::exists(outside + "/precious.txt"));
    MGraphDataAccess::RemoveDir(store + "/linked");
    QVERIFY(!QFileInfo(store + "/linked").isSymLink());
    MGraphDataAccess::RemoveDir(store + "/A/Q/..");          // the link's target's parent, not "A"
    MGraphDataAccess::RemoveDir(store + "/../..");
    MGraphDataAccess::RemoveDir(store + "/A/Q/sub");          // inside the link's target
    QVERIFY(QFile::exists(outside + "/precious.txt"));
    QVERIFY(QFileInfo::exists(store));
    // The cleaning unlinks a link of an unknown name and leaves one of a known name.
    QVERIFY(QFile::link(outside, store + "/A/linkedPicture"));
    DialogDriver dialogs;
    dialogs.pressButton(QMessageBox::Yes).pressButton(QMessageBox::Yes).pressButton(QMessageBox::Cancel);
    m_access->CleanGraphFiles();
    DIALOGS_DONE(dialogs);
    QVERIFY(!QFileInfo(store + "/A/linkedPicture").isSymLink());
    QVERIFY(QFile::exists(outside + "/precious.txt"));
}

void tst_GraphDataAccess::removeDirInsideTheDeploymentTree_data()
{
    QTest::addColumn<QString>("target"); // below the deployment root
    QTest::addColumn<bool>("removed");
    QTest::newRow("picture folder") << "pic/A/P" << true;
    QTest::newRow("icon folder") << "icon/breaker" << true;
    QTest::newRow("option folder") << "etc/mmi" << true;
    QTest::newRow("the graph store") << "pic" << true;
    QTest::newRow("a file") << "etc/mmi/colors.ini" << true;
    QTest::newRow("link out of the tree: unlinked") << "curve" << true;
    QTest::newRow("the root") << "" << false;
    QTest::newRow("the root, by ..") << "pic/.." << false;
    QTest::newRow("the root, by a trailing dot") << "pic/A/P/../../." << false;
    QTest::newRow("out of the tree, by ..") << "../outside" << false;
    QTest::newRow("inside a link's target") << "curve/sub" << false;
}

void tst_GraphDataAccess::removeDirInsideTheDeploymentTree()
{
    // Guards against RemoveDir ignoring folders of the tree outside pic/, or reaching beyond the tree.
    QFETCH(QString, target);
    QFETCH(bool, removed);
    const QString root = MDeployPaths::Root();
    const QString outside = m_tree->base() + "/outside";
    for (const QString f : {"pic/A/P/0.xrg", "icon/breaker/{u}.xco", "etc/mmi/colors.ini"})
        QVERIFY(m_tree->writeFile(f, "x"));
    QVERIFY(write(outside + "/sub/precious.txt"));
    QVERIFY(QFile::link(outside, root + "/curve"));
    const QString path = target.isEmpty() ? root : root + "/" + target;
    const bool existed = QFileInfo(path).exists() || QFileInfo(path).isSymLink();
    QVERIFY(existed);
    if (!removed)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("RemoveDir refused"));
    MGraphDataAccess::RemoveDir(path);
    QCOMPARE(!QFileInfo(path).exists() && !QFileInfo(path).isSymLink(), removed);
    QVERIFY(QFile::exists(outside + "/sub/precious.txt"));
    QVERIFY(QFileInfo::exists(root));
}

void tst_GraphDataAccess::cleaningShowsWhatGoesBeforeAsking()
{
    // Guards against a user asked to confirm a removal without being shown what it removes.
    const QString store = MDeployPaths::GraphStore();
    for (int i = 0; i < 25; ++i)
        QVERIFY(write(store + QString("/A/S%1/0.xrg").arg(i)));
    QVERIFY(write(store + "/Gone/0.xrg"));
    DialogDriver dialogs;
    dialogs.pressButton(QMessageBox::Yes, "back up")
        .pressButton(QMessageBox::Cancel, "clear file at local machine?")
        .pressButton(QMessageBox::Cancel, "clear file at file server?");
    m_access->CleanGraphFiles();
    DIALOGS_DONE(dialogs);
    const QString local = dialogs.seen().at(1).text;
    QVERIFY2(local.contains("To be removed:") && local.contains("... and 6 more"), qPrintable(local));
    const QStringList listed = local.split('\n').filter(QRegularExpression("^(A/S\\d+|Gone)$"));
    QCOMPARE(listed.size(), 20);
    QVERIFY2(dialogs.seen().at(2).text.contains("Nothing to remove."), qPrintable(dialogs.seen().at(2).text));
    QVERIFY(QFile::exists(store + "/A/S24/0.xrg"));
    QVERIFY(QFile::exists(store + "/Gone/0.xrg"));
}

TALMER_TEST_MAIN(tst_GraphDataAccess)
#include "tst_graphdataaccess.moc"
