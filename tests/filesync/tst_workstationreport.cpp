#include <QAction>
#include <QLabel>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTreeWidget>

#include "mdbinterfaceholder.h"
#include "mworkstationreportview.h"
#include "testmain.h"
#include "workstationreport.h"
#include "workstationsetup.h"

Q_DECLARE_METATYPE(WorkstationScan::FileState)

namespace {

// Short limits: the workstations are on loopback.
const WorkstationScan::Limits kLimits{800, 3000};

WorkstationScan::Result resultOf(const WorkstationReport& report, const QString& workstation)
{
    for (const WorkstationScan::Result& result : report.Results()) {
        if (result.workstation == workstation)
            return result;
    }
    return {};
}

QStringList pathsIn(const WorkstationScan::Result& result, WorkstationScan::FileState state)
{
    QStringList paths;
    for (const WorkstationScan::HeldFile& held : result.files) {
        if (held.state == state)
            paths << held.file.path;
    }
    return paths;
}

} // namespace

class tst_WorkstationReport : public QObject
{
    Q_OBJECT

private:
    WorkstationSetup m_setup;
    QByteArray m_preparedFor; // the test the site was last made for
    WorkstationReport prepared(const QString& application = {}, const QString& picture = {});

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void judgesEachCopy_data();
    void judgesEachCopy();
    void currentStaleAndUnreachable();
    void scopes_data();
    void scopes();
    void brokenListingIsNotTakenForMissingFiles_data();
    void brokenListingIsNotTakenForMissingFiles();
    void silentWorkstationIsUnreachable();
    void viewShowsOneRowPerWorkstation();
    void viewClosedDuringScan();
};

void tst_WorkstationReport::initTestCase()
{
    const QString why = TestSupport::FtpTestServer::unavailableReason();
    if (!why.isEmpty())
        QSKIP(qPrintable(why));
    QVERIFY(m_setup.startServers());
}

void tst_WorkstationReport::init()
{
    // The rules need no site; the rows of scopes only read theirs, so they share one.
    const QByteArray test = QTest::currentTestFunction();
    if (test == "judgesEachCopy" || (test == "scopes" && m_preparedFor == test))
        return;
    QVERIFY(m_setup.prepare());
    m_preparedFor = test;
}

void tst_WorkstationReport::cleanup()
{
    MDBInterfaceHolder::Instance()->Reset();
}

WorkstationReport tst_WorkstationReport::prepared(const QString& application, const QString& picture)
{
    WorkstationReport report;
    QString error;
    const WorkstationFiles::Outcome outcome =
        report.Prepare(MDBInterfaceHolder::Instance()->GetInterface(), application, picture, error);
    if (outcome != WorkstationFiles::Read)
        qWarning("prepare failed: %s", qPrintable(error));
    return report;
}

void tst_WorkstationReport::judgesEachCopy_data()
{
    QTest::addColumn<QString>("recordTime");
    QTest::addColumn<bool>("held");
    QTest::addColumn<bool>("isDirectory");
    QTest::addColumn<QDateTime>("modified");
    QTest::addColumn<WorkstationScan::FileState>("expected");
    const QString record = "2026-03-01T10:00:00";
    const QDateTime recordUtc = QDateTime::fromString(record, Qt::ISODate).toUTC();
    QTest::newRow("newer copy") << record << true << false << recordUtc.addSecs(60) << WorkstationScan::Current;
    QTest::newRow("same second") << record << true << false << recordUtc << WorkstationScan::Current;
    QTest::newRow("a second older") << record << true << false << recordUtc.addSecs(-1) << WorkstationScan::Stale;
    QTest::newRow("record time with a blank") << "2026-03-01 10:00:00" << true << false << recordUtc.addSecs(-1)
                                              << WorkstationScan::Stale;
    QTest::newRow("not there") << record << false << false << QDateTime() << WorkstationScan::Missing;
    QTest::newRow("a folder of that name") << record << true << true << recordUtc << WorkstationScan::Missing;
    QTest::newRow("unreadable record time") << "soon" << true << false << recordUtc << WorkstationScan::Current;
    QTest::newRow("unreadable record time, not there") << "" << false << false << QDateTime()
                                                       << WorkstationScan::Missing;
    QTest::newRow("server gives no time") << record << true << false << QDateTime() << WorkstationScan::Unchecked;
}

void tst_WorkstationReport::judgesEachCopy()
{
    // Guards against stale copies passing as current (time zones, the same second) or a folder taken for the file.
    QFETCH(QString, recordTime);
    QFETCH(bool, held);
    QFETCH(bool, isDirectory);
    QFETCH(QDateTime, modified);
    QFETCH(WorkstationScan::FileState, expected);
    const WorkstationFiles::File file{WorkstationFiles::Picture, "pic/A/P/2.brg", "/deployment/pic/A/P/2.brg",
                                      recordTime};
    const net_ftp::Entry entry{"2.brg", isDirectory, 9, modified};
    QCOMPARE(WorkstationScan::Judge(file, held ? &entry : nullptr), expected);
}

void tst_WorkstationReport::currentStaleAndUnreachable()
{
    // Guards against a stale or missing copy, or a silent workstation, being reported as current, and against a report that writes.
    const QStringList before = m_setup.serverState();
    const int received1 = int(m_setup.ws1().received().size()), received2 = int(m_setup.ws2().received().size());
    WorkstationReport report = prepared();
    QCOMPARE(report.Files().size(), WorkstationSetup::kLibraryFiles);
    QCOMPARE(report.Workstations(), (QStringList{"ws1", "ws2", "ws3"}));
    report.Run(kLimits);
    QCOMPARE(report.Results().size(), 3);

    const WorkstationScan::Result ws1 = resultOf(report, "ws1");
    QCOMPARE(ws1.state, WorkstationScan::Reached);
    QCOMPARE(ws1.count(WorkstationScan::Current), WorkstationSetup::kLibraryFiles);
    QCOMPARE(ws1.summary(), QString("current"));

    const WorkstationScan::Result ws2 = resultOf(report, "ws2");
    QCOMPARE(ws2.state, WorkstationScan::Reached);
    QCOMPARE(pathsIn(ws2, WorkstationScan::Stale), QStringList{WorkstationSetup::kStaleFile});
    QCOMPARE(pathsIn(ws2, WorkstationScan::Missing), QStringList{WorkstationSetup::kIconFile}); // its folder is not there
    QCOMPARE(ws2.count(WorkstationScan::Current), WorkstationSetup::kLibraryFiles - 2);
    QCOMPARE(ws2.summary(), QString("1 stale, 1 missing"));
    for (const WorkstationScan::HeldFile& held : ws2.files) {
        if (held.file.path == WorkstationSetup::kStaleFile)
            QCOMPARE(held.size, qint64(9)); // "v2 binary", as the listing says
    }

    const WorkstationScan::Result ws3 = resultOf(report, "ws3");
    QCOMPARE(ws3.state, WorkstationScan::Unreachable);
    QCOMPARE(ws3.summary(), QString("unreachable"));
    QVERIFY2(!ws3.error.isEmpty(), "an unreachable workstation says why");
    QCOMPARE(ws3.count(WorkstationScan::Unchecked), WorkstationSetup::kLibraryFiles);

    // Listings only: every file and folder as it was, nothing received.
    QCOMPARE(m_setup.serverState(), before);
    QCOMPARE(int(m_setup.ws1().received().size()), received1);
    QCOMPARE(int(m_setup.ws2().received().size()), received2);

    const QJsonObject json = report.ToJson();
    QCOMPARE(json["files"].toInt(), WorkstationSetup::kLibraryFiles);
    const QJsonArray workstations = json["workstations"].toArray();
    QCOMPARE(workstations.size(), 3);
    QCOMPARE(workstations.at(1)["stale"].toInt(), 1);
    QCOMPARE(workstations.at(1)["missing"].toInt(), 1);
    QCOMPARE(workstations.at(2)["state"].toString(), QString("unreachable"));
}

void tst_WorkstationReport::scopes_data()
{
    QTest::addColumn<QString>("application");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<int>("files");
    QTest::addColumn<int>("stale");
    QTest::newRow("whole library") << "" << "" << int(WorkstationFiles::Read) << WorkstationSetup::kLibraryFiles << 1;
    QTest::newRow("application") << "A" << "" << int(WorkstationFiles::Read) << WorkstationSetup::kApplicationFiles
                                 << 1;
    QTest::newRow("picture") << "A" << WorkstationSetup::kPicture << int(WorkstationFiles::Read)
                             << WorkstationSetup::kPictureFiles << 1;
    QTest::newRow("other picture") << "A" << QString::fromUtf8("朝阳站") << int(WorkstationFiles::Read) << 2 << 0;
    QTest::newRow("unknown application") << "B" << "" << int(WorkstationFiles::NoApplication) << 0 << 0;
    QTest::newRow("unknown picture") << "A" << "P9" << int(WorkstationFiles::NoPicture) << 0 << 0;
    QTest::newRow("application's name in other case") << "a" << "" << int(WorkstationFiles::NoApplication) << 0 << 0;
}

void tst_WorkstationReport::scopes()
{
    // Guards against a scope reporting files of other pictures, or an unknown name reported as an empty library.
    QFETCH(QString, application);
    QFETCH(QString, picture);
    QFETCH(int, outcome);
    QFETCH(int, files);
    QFETCH(int, stale);
    WorkstationReport report;
    QString error;
    QCOMPARE(int(report.Prepare(MDBInterfaceHolder::Instance()->GetInterface(), application, picture, error)),
             outcome);
    if (outcome != WorkstationFiles::Read) {
        QVERIFY2(error.contains(picture.isEmpty() ? application : picture), qPrintable(error));
        QVERIFY(report.Files().isEmpty() && report.Workstations().isEmpty());
        return;
    }
    QCOMPARE(report.Files().size(), files);
    for (const WorkstationFiles::File& file : report.Files()) {
        QCOMPARE(file.remotePath, "/deployment/" + file.path);
        if (!application.isEmpty())
            QVERIFY2(file.path.startsWith("pic/A/" + picture), qPrintable(file.path));
    }
    report.Prepare(report.Files(), {"ws2"});
    report.Run(kLimits);
    QCOMPARE(report.Results().first().count(WorkstationScan::Stale), stale);
}

void tst_WorkstationReport::brokenListingIsNotTakenForMissingFiles_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("listing refused") << "refuse MLSD";
    QTest::newRow("listing cut off after its first line") << "drop MLSD 70";
}

void tst_WorkstationReport::brokenListingIsNotTakenForMissingFiles()
{
    // Guards against a listing that failed or broke off midway being read as "these files are missing".
    QFETCH(QString, fault);
    WorkstationReport report = prepared("A", WorkstationSetup::kPicture);
    report.Prepare(report.Files(), {"ws1"});
    QVERIFY(m_setup.ws1().armFault(fault));
    report.Run(kLimits);
    QVERIFY2(!m_setup.ws1().faultPending(), "the fault did not meet the listing");
    const WorkstationScan::Result broken = report.Results().first();
    QCOMPARE(broken.state, WorkstationScan::ListingFailed);
    QVERIFY2(broken.error.startsWith("listing /deployment/pic/A/"), qPrintable(broken.error));
    QCOMPARE(broken.count(WorkstationScan::Unchecked), WorkstationSetup::kPictureFiles);
    QVERIFY(broken.summary().startsWith("listing failed"));
    report.Run(kLimits); // the workstation is fine again
    QCOMPARE(report.Results().first().summary(), QString("current"));
}

void tst_WorkstationReport::silentWorkstationIsUnreachable()
{
    // Guards against a report that hangs on a workstation that takes the connection but never answers.
    QTcpServer silent; // never accepts: the kernel completes the handshake, nobody greets
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    qputenv("TALMER_FTP_CONNECT_TO", QString("%1;ws4:21:127.0.0.1:%2").arg(m_setup.connectTo()).arg(silent.serverPort()).toUtf8());
    WorkstationReport report = prepared();
    report.Prepare(report.Files(), {"ws1", "ws4"});
    report.Run({300, 500});
    QCOMPARE(report.Results().at(0).summary(), QString("current"));
    QCOMPARE(report.Results().at(1).state, WorkstationScan::Unreachable);
}

void tst_WorkstationReport::viewShowsOneRowPerWorkstation()
{
    // Guards against the view showing another state than the report, or leaving Refresh disabled after a scan.
    const QStringList before = m_setup.serverState();
    MWorkstationReportView view;
    view.resize(560, 260);
    auto* table = view.findChild<QTreeWidget*>("workstationTable");
    QVERIFY(table);
    QSignalSpy refreshed(&view, &MWorkstationReportView::Refreshed);
    view.RefreshAction()->trigger();
    QVERIFY(refreshed.wait(30000));
    QVERIFY(!view.IsScanning());
    QVERIFY(view.RefreshAction()->isEnabled());
    QCOMPARE(table->topLevelItemCount(), 3);
    QStringList rows;
    for (int i = 0; i < table->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = table->topLevelItem(i);
        rows << row->text(0) + ": " + row->text(1) + " " + row->text(2) + "/" + row->text(3) + "/" + row->text(4);
    }
    QCOMPARE(rows, (QStringList{"ws1: current 8/0/0", "ws2: 1 stale, 1 missing 6/1/1", "ws3: unreachable //"}));
    const QTreeWidgetItem* ws2 = table->topLevelItem(1);
    QCOMPARE(ws2->childCount(), 2);
    QCOMPARE(ws2->child(0)->text(0), WorkstationSetup::kStaleFile);
    QCOMPARE(ws2->child(1)->text(1), QString("missing"));
    QVERIFY(ws2->toolTip(1).contains(WorkstationSetup::kIconFile));
    QVERIFY(!table->topLevelItem(2)->toolTip(0).isEmpty()); // why ws3 is unreachable
    QVERIFY(view.findChild<QLabel*>("statusLabel")->text().contains("2 of 3 workstations not current"));
    QCOMPARE(m_setup.serverState(), before);
    const QString shot = qEnvironmentVariable("TALMER_REPORT_SHOT");
    if (!shot.isEmpty()) {
        table->expandAll();
        QVERIFY(view.grab().save(shot));
    }

    // One picture: fewer files, the same verdicts; an unknown one says so and keeps the table.
    view.SetScope("A", WorkstationSetup::kPicture);
    view.Refresh();
    QVERIFY(refreshed.wait(30000));
    QCOMPARE(table->topLevelItem(1)->text(2), QString("3"));
    view.SetScope("A", "P9");
    view.Refresh();
    QCOMPARE(refreshed.size(), 3); // at once: nothing to scan
    QVERIFY(view.findChild<QLabel*>("statusLabel")->text().contains("P9"));
}

void tst_WorkstationReport::viewClosedDuringScan()
{
    // Guards against a crash or a hang when the view goes while its scan still waits on a silent workstation.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    qputenv("TALMER_FTP_CONNECT_TO", QString("ws1:21:127.0.0.1:%1;ws2:21:127.0.0.1:%1;ws3:21:127.0.0.1:%1")
                                         .arg(silent.serverPort())
                                         .toUtf8());
    auto view = std::make_unique<MWorkstationReportView>();
    view->Refresh();
    QVERIFY(view->IsScanning());
    QVERIFY(!view->RefreshAction()->isEnabled());
    view->Refresh(); // a second refresh while one runs is ignored
    view.reset();
    QCoreApplication::processEvents(); // a late "finished" must find nobody
}

TALMER_TEST_MAIN(tst_WorkstationReport)
#include "tst_workstationreport.moc"
