#include <memory>

#include "deploytree.h"
#include "mgraphnotebook.h"
#include "testmain.h"

using TestSupport::DeployTree;

namespace {

// A note book of the test's own: the singleton keeps what it read.
class FreshNoteBook : public MGraphNoteBook
{
public:
    FreshNoteBook() = default;
    ~FreshNoteBook() override = default;
};

} // namespace

class tst_GraphNoteBook : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DeployTree> m_tree;
    bool options(const QByteArray& text) { return m_tree->writeFile("etc/mmi/options.txt", text); }

private Q_SLOTS:
    void init() { m_tree = std::make_unique<DeployTree>(); }
    void cleanup() { m_tree.reset(); }

    void defaultsBeforeAnyRead();
    void switchesAndTexts_data();
    void switchesAndTexts();
    void statusDecisions();
    void laterLinesWinAndOthersKeepTheirValues();
    void notedAndBlackedGraphs();
    void hostileFilesDoNoHarm();
};

void tst_GraphNoteBook::defaultsBeforeAnyRead()
{
    // Guards against hosts acting on options nobody set.
    FreshNoteBook note;
    QVERIFY(note.IsWhiteNoteEnabled());
    QVERIFY(!note.IsBlackNoteEnabled());
    QVERIFY(!note.IsIncreaseVersion());
    QCOMPARE(note.GraphDaemonTime(), 3);
    QCOMPARE(note.GetSvgServerTimer(), 3);
    QVERIFY(!note.IsSvgImport() && !note.IsSvgExport() && !note.IsSvgServer());
    QVERIFY(note.GetSvgDir().isNull() && note.GetExportDir().isNull() && note.GetSvgServer().isNull());
    QVERIFY(note.GetSvgNodes().isEmpty());
    QCOMPARE(note.GetStatusDecisionId("Open"), 0);
    QVERIFY(!note.IsNoted(1) && !note.IsBlacked("a", "b"));
    QVERIFY(MGraphNoteBook::Instance() == MGraphNoteBook::Instance());
}

void tst_GraphNoteBook::switchesAndTexts_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("expected");
    QTest::newRow("inc_ver=1") << QByteArray("inc_ver=1") << "increase" << "1";
    QTest::newRow("inc_ver=yes") << QByteArray("inc_ver=yes") << "increase" << "0";
    QTest::newRow("commented") << QByteArray("#inc_ver=1") << "increase" << "0";
    QTest::newRow("second = ends the value") << QByteArray("inc_ver=1=0") << "increase" << "1";
    QTest::newRow("no trimming") << QByteArray("svg_dir= x ") << "svgDir" << " x ";
    QTest::newRow("svg_timer") << QByteArray("svg_timer=5") << "svgTimer" << "5";
    QTest::newRow("prefix test") << QByteArray("svg_dir2=x") << "svgDir" << "x";
    QTest::newRow("export nodes") << QByteArray("svg_exnode=a,,b") << "nodes" << "a|b";
    QTest::newRow("export dir") << QByteArray("svg_exdir=/var/svg") << "exportDir" << "/var/svg";
    QTest::newRow("server") << QByteArray("svg_server=ftp.example") << "server" << "ftp.example";
    QTest::newRow("server path") << QByteArray("svg_path=/svg") << "serverPath" << "/svg";
    QTest::newRow("fetching") << QByteArray("svg_get=2") << "fetching" << "1";
    QTest::newRow("import") << QByteArray("svg_import=1") << "import" << "1";
    QTest::newRow("export") << QByteArray("svg_export=1") << "export" << "1";
    QTest::newRow("white off") << QByteArray("white_on=0") << "white" << "0";
    QTest::newRow("black on") << QByteArray("black_on=1") << "black" << "1";
    QTest::newRow("daemon") << QByteArray("daemon_timer=12") << "daemon" << "12";
    QTest::newRow("keys are case-sensitive") << QByteArray("INC_VER=1") << "increase" << "0";
    QTest::newRow("windows line end") << QByteArray("svg_dir=c:\\svg\r") << "svgDir" << "c:\\svg";
}

void tst_GraphNoteBook::switchesAndTexts()
{
    // Guards against options read from the wrong part of a line, or by the wrong key word.
    QFETCH(QByteArray, line);
    QFETCH(QString, field);
    QFETCH(QString, expected);
    QVERIFY(options(line + "\n"));
    FreshNoteBook note;
    QVERIFY(note.ReadImportOption("options.txt"));
    const QMap<QString, QString> values{
        {"increase", QString::number(note.IsIncreaseVersion())},
        {"svgTimer", QString::number(note.GetSvgServerTimer())},
        {"svgDir", note.GetSvgDir()},
        {"nodes", note.GetSvgNodes().join('|')},
        {"exportDir", note.GetExportDir()},
        {"server", note.GetSvgServer()},
        {"serverPath", note.GetSvgServerPath()},
        {"fetching", QString::number(note.IsSvgServer())},
        {"import", QString::number(note.IsSvgImport())},
        {"export", QString::number(note.IsSvgExport())},
        {"white", QString::number(note.IsWhiteNoteEnabled())},
        {"black", QString::number(note.IsBlackNoteEnabled())},
        {"daemon", QString::number(note.GraphDaemonTime())},
    };
    QCOMPARE(values.value(field), expected);
}

void tst_GraphNoteBook::statusDecisions()
{
    // Guards against status decisions under the wrong key, or surviving a new read.
    QVERIFY(options("status,Open,7\ncr_decision,A,B,9\nstatus,Open\nstatus,Close,x\ncr_decision,C,D\n"));
    FreshNoteBook note;
    note.ReadImportOption("options.txt");
    QCOMPARE(note.GetStatusDecisionId("Open"), 7);
    QCOMPARE(note.GetStatusDecisionId("A:B"), 9);
    QCOMPARE(note.GetStatusDecisionId("Close"), 0);
    QCOMPARE(note.GetStatusDecisionId("C:D"), 0);
    QCOMPARE(note.GetStatusDecisionId("A"), 0);
    note.ReadImportOption("");
    QCOMPARE(note.GetStatusDecisionId("Open"), 0);
}

void tst_GraphNoteBook::laterLinesWinAndOthersKeepTheirValues()
{
    // Guards against a second file wiping options it does not mention, or an early line winning.
    QVERIFY(options("inc_ver=1\nsvg_timer=7\nsvg_timer=8\nstatus,S,1\nstatus,S,2\n"));
    FreshNoteBook note;
    note.ReadImportOption("options.txt");
    QCOMPARE(note.GetSvgServerTimer(), 8);
    QCOMPARE(note.GetStatusDecisionId("S"), 2);
    QVERIFY(m_tree->writeFile("etc/mmi/more.txt", "daemon_timer=9\n"));
    note.ReadImportOption("more.txt");
    QVERIFY(note.IsIncreaseVersion());
    QCOMPARE(note.GetSvgServerTimer(), 8);
    QCOMPARE(note.GraphDaemonTime(), 9);
    QCOMPARE(note.GetStatusDecisionId("S"), 0);
    note.ReadImportOption("missing.txt");
    QVERIFY(note.IsIncreaseVersion());
}

void tst_GraphNoteBook::notedAndBlackedGraphs()
{
    // Guards against graphs noted or blacked under the wrong key or id, and lists growing on re-reads.
    QVERIFY(m_tree->writeFile("etc/mmi/white.txt",
                              "Sub1 Main\n!Sub1 Main\n!5\n17\n# Sub2 Other\n\nSub2\nSub3 Two Extra\n!!Sub4 X!\n"));
    FreshNoteBook note;
    QVERIFY(note.ReadWhite("white.txt"));
    QVERIFY(note.IsNoted("SUB1", "Main"));
    QVERIFY(!note.IsNoted("sub1", "MAIN"));
    QVERIFY(note.IsBlacked("sub1", "Main"));
    QVERIFY(note.IsBlacked(5));
    QVERIFY(note.IsNoted(1));
    QVERIFY(!note.IsNoted(17));
    QVERIFY(!note.IsNoted("sub2", "Other"));
    QVERIFY(note.IsNoted("sub3", "Two"));
    QVERIFY(note.IsBlacked("sub4", "X"));
    QCOMPARE(MGraphNoteBook::GraphKey("Sub1", "Main"), QString("sub1_Main"));
    // Read again: noted entries once, blacked ones twice (the list only grows).
    QVERIFY(m_tree->writeFile("etc/mmi/white.txt", "!Sub1 Main\n"));
    note.ReadWhite("white.txt");
    QVERIFY(!note.IsNoted("sub1", "Main"));
    QVERIFY(!note.IsNoted(1));
    QVERIFY(note.IsBlacked("sub1", "Main"));
    QVERIFY(note.IsBlacked(5));
}

void tst_GraphNoteBook::hostileFilesDoNoHarm()
{
    // Guards against a huge line or a binary file taking memory or planting options.
    QByteArray huge = "svg_dir=" + QByteArray(10 * 1024 * 1024, 'x') + "\ninc_ver=1\n";
    QVERIFY(options(huge));
    FreshNoteBook note;
    note.ReadImportOption("options.txt");
    QVERIFY(note.GetSvgDir().isNull()); // the oversized line is skipped whole
    QVERIFY(note.IsIncreaseVersion()); // the next line is read
    QByteArray binary;
    for (int i = 0; i < 70000; ++i)
        binary.append(char(i * 7919 % 256));
    QVERIFY(options(binary));
    QVERIFY(m_tree->writeFile("etc/mmi/white.txt", binary));
    FreshNoteBook other;
    QVERIFY(other.ReadImportOption("options.txt"));
    QVERIFY(other.ReadWhite("white.txt"));
    QVERIFY(m_tree->writeFile("etc/mmi/last.txt", "inc_ver=1"));
    other.ReadImportOption("last.txt");
    QVERIFY(other.IsIncreaseVersion()); // a last line without its line end counts
}

TALMER_TEST_MAIN(tst_GraphNoteBook)
#include "tst_graphnotebook.moc"
