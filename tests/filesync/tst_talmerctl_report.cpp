#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include "testmain.h"
#include "workstationsetup.h"

// talmerctl report workstations, run as an administrator runs it.
class tst_TalmerCtlReport : public QObject
{
    Q_OBJECT

private:
    WorkstationSetup m_setup;
    struct Run
    {
        int exitCode = -1;
        QString out, err;
    };
    Run talmerctl(const QStringList& arguments);

private Q_SLOTS:
    void initTestCase();
    void init();
    void tableNamesEachWorkstationsState();
    void jsonForScripts_data();
    void jsonForScripts();
    void misuse_data();
    void misuse();
};

void tst_TalmerCtlReport::initTestCase()
{
    QVERIFY(QFileInfo(qEnvironmentVariable("TALMERCTL")).isExecutable());
    const QString why = TestSupport::FtpTestServer::unavailableReason();
    if (!why.isEmpty())
        QSKIP(qPrintable(why));
    QVERIFY(m_setup.startServers());
}

void tst_TalmerCtlReport::init()
{
    QVERIFY(m_setup.prepare());
    m_setup.release();
}

tst_TalmerCtlReport::Run tst_TalmerCtlReport::talmerctl(const QStringList& arguments)
{
    QProcess process;
    process.start(qEnvironmentVariable("TALMERCTL"), QStringList{"report", "workstations"} + arguments);
    Run run;
    if (!process.waitForFinished(120000))
        return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

void tst_TalmerCtlReport::tableNamesEachWorkstationsState()
{
    // Guards against a report with stale or unreachable workstations failing, or its table hiding which file is stale.
    const QStringList before = m_setup.serverState();
    const Run run = talmerctl({});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.value(0), QString("8 files of the whole library on 3 workstations"));
    auto row = [&](const QString& workstation) {
        const QStringList found = lines.filter(QRegularExpression("^" + workstation + "\\s"));
        return found.size() == 1 ? found.first().simplified() : QString("%1 rows").arg(found.size());
    };
    QCOMPARE(row("ws1"), QString("ws1 current 8 0 0"));
    QCOMPARE(row("ws2"), QString("ws2 1 stale, 1 missing 6 1 1"));
    QCOMPARE(row("ws3"), QString("ws3 unreachable - - -"));
    QVERIFY2(lines.filter(QRegularExpression("^\\s+stale\\s+" + QRegularExpression::escape(WorkstationSetup::kStaleFile)
                                             + "\\s+copy 2026-02-28T10:00:00, record 2026-03-01T10:00:00$"))
                     .size() == 1,
             qPrintable(run.out));
    QCOMPARE(lines.filter(QRegularExpression("^\\s+missing\\s+" + QRegularExpression::escape(WorkstationSetup::kIconFile) + "$")).size(), 1);
    QCOMPARE(m_setup.serverState(), before);
}

void tst_TalmerCtlReport::jsonForScripts_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("files");
    QTest::addColumn<QStringList>("states"); // ws1, ws2, ws3
    QTest::addColumn<int>("staleOnWs2");
    QTest::newRow("whole library") << QStringList{"--json"} << 8
                                   << QStringList{"reached", "reached", "unreachable"} << 1;
    QTest::newRow("one picture") << QStringList{"A", WorkstationSetup::kPicture, "--json"} << 4
                                 << QStringList{"reached", "reached", "unreachable"} << 1;
    QTest::newRow("another picture") << QStringList{"--json", "A", QString::fromUtf8("朝阳站")} << 2
                                     << QStringList{"reached", "reached", "unreachable"} << 0;
}

void tst_TalmerCtlReport::jsonForScripts()
{
    // Guards against JSON that disagrees with the table, or one that is not JSON at all.
    QFETCH(QStringList, arguments);
    QFETCH(int, files);
    QFETCH(QStringList, states);
    QFETCH(int, staleOnWs2);
    const Run run = talmerctl(arguments);
    QCOMPARE(run.exitCode, 0);
    QJsonParseError error;
    const QJsonObject report = QJsonDocument::fromJson(run.out.toUtf8(), &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(report["files"].toInt(), files);
    const QJsonArray workstations = report["workstations"].toArray();
    QStringList names, seen;
    for (const QJsonValue& ws : workstations) {
        names << ws["name"].toString();
        seen << ws["state"].toString();
        if (ws["state"].toString() == "reached")
            QCOMPARE(ws["files"].toArray().size(), files);
    }
    QCOMPARE(names, (QStringList{"ws1", "ws2", "ws3"}));
    QCOMPARE(seen, states);
    QCOMPARE(workstations.at(0)["current"].toInt(), files);
    QCOMPARE(workstations.at(1)["stale"].toInt(), staleOnWs2);
    QVERIFY(!workstations.at(2)["error"].toString().isEmpty());
    for (const QJsonValue& file : workstations.at(1)["files"].toArray()) {
        if (file["state"].toString() == "stale") {
            QCOMPARE(file["path"].toString(), WorkstationSetup::kStaleFile);
            QCOMPARE(file["recordTime"].toString(), QString("2026-03-01T10:00:00"));
            QCOMPARE(file["size"].toInt(), 9);
        }
    }
}

void tst_TalmerCtlReport::misuse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::newRow("help") << QStringList{"--help"} << 0 << "";
    QTest::newRow("unknown picture") << QStringList{"A", "P9"} << 2 << "no picture 'P9' in application 'A'";
    QTest::newRow("unknown application") << QStringList{"B", "--json"} << 2 << "no application 'B'";
    QTest::newRow("one argument too many") << QStringList{"A", "P", "x"} << 2 << "unexpected argument 'x'";
    QTest::newRow("unknown option") << QStringList{"--force"} << 2 << "force";
    QTest::newRow("wait out of range") << QStringList{"--wait", "5"} << 2 << "--wait";
}

void tst_TalmerCtlReport::misuse()
{
    // Guards against a misspelt picture being reported as "nothing stale" with exit status 0.
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    const Run run = talmerctl(arguments);
    QCOMPARE(run.exitCode, exitCode);
    if (exitCode == 0) {
        QVERIFY(run.out.contains("0 when the report was made"));
        return;
    }
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY2(run.out.isEmpty(), qPrintable(run.out));
}

TALMER_TEST_MAIN(tst_TalmerCtlReport)
#include "tst_talmerctl_report.moc"
