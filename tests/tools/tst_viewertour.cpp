// The online viewer run as an operator runs it: its scripted tour on a sample
// site, with the note book's lists changed between runs, and the log-ins it
// must refuse.
#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include "deploytree.h"
#include "testmain.h"
#include "toolrun.h"

namespace {

QStringList linesStarting(const QStringList& log, const QString& start)
{
    QStringList found;
    for (const QString& line : log) {
        if (line.startsWith(start))
            found << line;
    }
    return found;
}

const QStringList kSteps{"login-dialog", "logged-in",    "library-unfolded", "search-list",
                         "version-opened", "icons-browsed", "icon-tip",         "login-refused",
                         "operator-menu", "logged-out-box", "logged-out"};

} // namespace

class tst_ViewerTour : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_site;
    QString m_operatorPassword;

    // The viewer's run; log holds its standard output, a line each.
    struct Run
    {
        int status = -1;
        QStringList log;
        QString err;
    };
    Run viewer(const QStringList& arguments, const QByteArray& input) const
    {
        const TestSupport::ToolRun run = TestSupport::runProgram(
            qEnvironmentVariable("TALMERVIEW"), QStringList{"--site", m_site} + arguments, m_dir.path(), input);
        return {run.status, run.out.split('\n', Qt::SkipEmptyParts), run.err};
    }
    bool writeOption(const QString& name, const QByteArray& content) const
    {
        QFile file(m_site + "/deployment/etc/mmi/" + name);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
    }

private slots:
    void initTestCase()
    {
        for (const QByteArray& name : TestSupport::DeployTree::configurationVariables())
            qunsetenv(name.constData());
        QVERIFY(QFileInfo(qEnvironmentVariable("TALMERVIEW")).isExecutable());
        QVERIFY(m_dir.isValid());
        m_site = m_dir.filePath("site");
        const TestSupport::ToolRun made =
            TestSupport::runTalmerctl({"site", "init", m_site, "--sample", "--json"}, m_dir.path());
        QVERIFY2(made.status == 0, qPrintable(made.err));
        for (const QJsonValue& user : made.json()["users"].toArray()) {
            if (user["name"].toString() == "operator")
                m_operatorPassword = user["password"].toString();
        }
        QVERIFY(!m_operatorPassword.isEmpty());
    }

    void tourMarksTheOpenedPicture_data()
    {
        QTest::addColumn<QByteArray>("options");
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QString>("marks");

        const QByteArray bothOn = "white_on=1\nblack_on=1\n";
        QTest::newRow("noted") << bothOn << QByteArray("SCADA 北京变电站\n!DMS 开发区线\n") << "marks noted";
        QTest::newRow("noted and blacked, still opened")
            << bothOn << QByteArray("SCADA 北京变电站\n!SCADA 北京变电站\n") << "marks noted blacked";
        QTest::newRow("another application's picture of that name is not this one")
            << bothOn << QByteArray("DMS 北京变电站\n!PAS 北京变电站\n") << "marks";
        QTest::newRow("both lists switched off")
            << QByteArray("white_on=0\nblack_on=0\n") << QByteArray("SCADA 北京变电站\n!SCADA 北京变电站\n") << "marks";
    }

    // Guards against a tour that skips a step, opens the wrong picture or shows marks the note book does not hold.
    void tourMarksTheOpenedPicture()
    {
        QFETCH(QByteArray, options);
        QFETCH(QByteArray, list);
        QFETCH(QString, marks);
        QVERIFY(writeOption("graph_options.txt", options));
        QVERIFY(writeOption("graph_white.txt", list));
        QTemporaryDir shots;
        const Run run = viewer({"--user", "operator", "--tour", shots.path()}, m_operatorPassword.toUtf8() + "\n");
        QVERIFY2(run.status == 0, qPrintable(run.err + run.log.join('\n')));

        QCOMPARE(linesStarting(run.log, "marks"), QStringList{marks});
        QCOMPARE(linesStarting(run.log, "signal GraphSelected"), QStringList{"signal GraphSelected SCADA 北京变电站 2 0"});
        const QStringList icons = linesStarting(run.log, "signal IconSelected ");
        QCOMPARE(icons.size(), 1);
        QCOMPARE(icons.first().split(' ').size(), 6); // type, name, uuid, shape
        QVERIFY(linesStarting(run.log, "matches ").value(0).contains("北京变电站"));
        QCOMPARE(linesStarting(run.log, "user "), QStringList({"user operator", "user operator", "user "}));
        // After the log-out the library shows no picture, and says so.
        QCOMPARE(linesStarting(run.log, "box logged-out: ").size(), 1);
        QVERIFY(linesStarting(run.log, "box ").size() == 1);
        QCOMPARE(linesStarting(run.log, "refused ").size(), 1);
        QVERIFY(linesStarting(run.log, "refused ").first().size() > QString("refused ").size());
        QVERIFY(linesStarting(run.log, "failed").isEmpty());

        const QStringList files = QDir(shots.path()).entryList({"*.png"}, QDir::Files, QDir::Name);
        QCOMPARE(files.size(), kSteps.size());
        for (int i = 0; i < kSteps.size(); ++i) {
            QCOMPARE(files.at(i), QString("%1-%2.png").arg(i + 1, 2, 10, QChar('0')).arg(kSteps.at(i)));
            const QImage picture(shots.filePath(files.at(i)));
            QVERIFY2(picture.width() >= 1000 && picture.height() >= 600, qPrintable(files.at(i)));
        }
        QCOMPARE(linesStarting(run.log, "pictures "), QStringList{"pictures 11"});
    }

    void refusedLogInOpensNothing_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("why");
        QTest::addColumn<int>("pictures");

        QTest::newRow("tour, wrong password") << QStringList{"--user", "operator"} << QByteArray("not-it\n")
                                              << "step logged-in failed: Log-in refused for operator." << 1;
        QTest::newRow("tour, unknown operator") << QStringList{"--user", "nobody"} << QByteArray("not-it\n")
                                                << "step logged-in failed: Log-in refused for nobody." << 1;
        QTest::newRow("tour, no password") << QStringList{"--user", "operator"} << QByteArray() << "no password given" << 0;
        QTest::newRow("tour without a user") << QStringList{} << QByteArray("not-it\n") << "--tour needs --user" << 0;
    }

    // Guards against a refused log-in that still opens the library or reports success.
    void refusedLogInOpensNothing()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(QString, why);
        QFETCH(int, pictures);
        QTemporaryDir shots;
        const Run run = viewer(arguments + QStringList{"--tour", shots.path()}, input);
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(why), qPrintable(run.err));
        QVERIFY(linesStarting(run.log, "signal").isEmpty());
        QVERIFY(linesStarting(run.log, "marks").isEmpty());
        QCOMPARE(QDir(shots.path()).entryList({"*.png"}, QDir::Files).size(), pictures);
    }

    // Guards against the plain viewer showing a window after its --user log-in was refused.
    void refusedStartWritesNoScreenshot()
    {
        QTemporaryDir shots;
        const QString screenshot = shots.filePath("viewer.png");
        const Run refused = viewer({"--user", "operator", "--screenshot", screenshot}, "not-it\n");
        QCOMPARE(refused.status, 1);
        QVERIFY2(refused.err.contains("Log-in refused for operator."), qPrintable(refused.err));
        QVERIFY(!QFileInfo::exists(screenshot));
        const Run accepted =
            viewer({"--user", "operator", "--screenshot", screenshot}, m_operatorPassword.toUtf8() + "\n");
        QVERIFY2(accepted.status == 0, qPrintable(accepted.err));
        QVERIFY(!QImage(screenshot).isNull());
    }
};

TALMER_TEST_MAIN(tst_ViewerTour)
#include "tst_viewertour.moc"
