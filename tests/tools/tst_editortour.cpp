// The editor host's scripted tour, run as a program on a fresh sample site:
// the steps it reports, the signals the views sent, and what it left on disk
// and on the site's file server.
#include <algorithm>

#include <QtTest>

#include "deploytree.h"
#include "ftptestserver.h"
#include "mgraph.h"
#include "mgraphdoc.h"
#include "mhasrelation.h"
#include "miconobj.h"
#include "micontemplate.h"
#include "mtextobj.h"
#include "testmain.h"
#include "toolrun.h"

namespace {

using Run = TestSupport::ToolRun;

// The tours run offscreen (the tests' own platform), within four minutes.
Run runProgram(const QString& program, const QStringList& arguments, const QString& directory)
{
    return TestSupport::runProgram(program, arguments, directory, QByteArray(), 240000);
}

// What objects (and the members of groups among them) show: texts, and the uuids of icons.
struct Contents
{
    QStringList texts;
    QSet<QUuid> icons;
};

Contents contentsOf(const QList<MDrawObj*>& objects)
{
    Contents contents;
    for (const MDrawObj* object : MGraph::WithMembers(objects)) {
        if (object->GetType() == MDrawObj::ObjText)
            contents.texts << static_cast<const MTextObj*>(object)->GetText();
        const auto* icon = object->GetType() == MDrawObj::ObjIcon ? static_cast<const MIconObj*>(object) : nullptr;
        if (icon && icon->GetTemplate())
            contents.icons.insert(icon->GetTemplate()->GetUuid());
    }
    return contents;
}

} // namespace

class tst_EditorTour : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_site;

    Run tour(const QStringList& extra, const QString& shots) const
    {
        return runProgram(qEnvironmentVariable("TALMEREDIT"), QStringList{"--site", m_site, "--tour", shots} + extra,
                          m_dir.path());
    }

    // The first line of the log matching pattern, its captures; empty when none.
    static QStringList logged(const QStringList& log, const QString& pattern)
    {
        const QRegularExpression expression("^" + pattern + "$");
        for (const QString& line : log) {
            const QRegularExpressionMatch match = expression.match(line);
            if (match.hasMatch())
                return match.capturedTexts();
        }
        return {};
    }

private Q_SLOTS:
    void initTestCase()
    {
        for (const QByteArray& name : TestSupport::DeployTree::configurationVariables())
            qunsetenv(name.constData());
        QVERIFY(QFileInfo(qEnvironmentVariable("TALMEREDIT")).isExecutable());
        const Run made =
            runProgram(qEnvironmentVariable("TALMERCTL"), {"site", "init", "site", "--sample"}, m_dir.path());
        QVERIFY2(made.status == 0, qPrintable(made.err));
        m_site = m_dir.filePath("site");
    }

    // Guards against a tour that reports success while a step, a signal, a release, a drop or a picture is missing.
    void tourReleasesDropsAndSaves()
    {
        // The drawings as they were: the released one is the opened one and a label.
        const QString pictureDir = m_site + QString::fromUtf8("/deployment/pic/SCADA/北京变电站/");
        QMap<int, int> objectsBefore;
        for (const QFileInfo& file : QDir(pictureDir).entryInfoList({"*.xrg"})) {
            MGraphDoc doc;
            QVERIFY(doc.ReadXmlFile(file.filePath()));
            objectsBefore[file.baseName().toInt()] = int(doc.GetGraph()->GetObjList().size());
        }
        QVERIFY(!objectsBefore.isEmpty());
        const QString shots = m_dir.filePath("shots");
        const Run run = tour({}, shots);
        QVERIFY2(run.status == 0, qPrintable(run.out + run.err));
        const QStringList log =
            QString::fromUtf8(TestSupport::readFile(shots + "/tour.log")).split('\n', Qt::SkipEmptyParts);
        const QStringList steps{"library", "search", "version", "label", "draft", "picture-menu", "release",
                                "palette", "icon-tip", "icon-drop", "templates", "template-drop", "save",
                                "compare", "workstations"};
        for (int i = 0; i < steps.size(); ++i)
            QVERIFY2(log.contains(QString("step %1 %2 ok").arg(i + 1, 2, 10, QChar('0')).arg(steps[i])),
                     qPrintable(steps[i]));

        // The version opened, then the one released.
        const QStringList opened =
            logged(log, QString::fromUtf8("signal GraphSelected SCADA 北京变电站 (\\d+) \\d+"));
        QVERIFY2(!opened.isEmpty(), qPrintable(log.join('\n')));
        QVERIFY(objectsBefore.contains(opened[1].toInt()));
        const QStringList released =
            logged(log, QString::fromUtf8("signal GraphReleased SCADA 北京变电站 (\\d+)"));
        QVERIFY2(!released.isEmpty(), qPrintable(log.join('\n')));
        const int version = released[1].toInt();
        QCOMPARE(version, objectsBefore.lastKey() + 1);
        const QString relative = QString::fromUtf8("pic/SCADA/北京变电站/%1.xrg").arg(version);
        QVERIFY(QFileInfo(m_site + "/deployment/" + relative).size() > 0);
        const QByteArray local = TestSupport::readFile(m_site + "/deployment/" + relative);
        // The released version is on the file server.
        QCOMPARE(TestSupport::readFile(m_site + "/server/" + relative), local);
        MGraphDoc releasedDoc;
        QVERIFY(releasedDoc.ReadXmlFile(m_site + "/deployment/" + relative));
        QCOMPARE(int(releasedDoc.GetGraph()->GetObjList().size()), objectsBefore[opened[1].toInt()] + 1);
        // The box asking for a new number, then the one saying it went well.
        QVERIFY(!logged(log, "boxes QMessageBox: increase version index\\?; "
                             "QMessageBox: picture has released successfully")
                     .isEmpty());
        QVERIFY(!logged(log, "menu QMenu: .*release picture.*").isEmpty());

        // The icon chosen in the palette and the template dragged, both in the saved draft.
        const QStringList icon = logged(log, "signal IconSelected (\\S+) (.+) (\\S+) (\\d+)");
        QVERIFY(!icon.isEmpty());
        QVERIFY(!logged(log, "payload iconDrag from the view's drag: \\d+ bytes").isEmpty());
        QVERIFY(!logged(log, "payload templateDrag from the view's drag: \\d+ bytes").isEmpty());
        const QStringList placed = logged(log, "drop added template (.+) of (\\S+) placed \\(\\d+ objects\\)");
        QVERIFY(!placed.isEmpty());
        MGraphDoc draft;
        QVERIFY(draft.ReadXmlFile(pictureDir + "0.xrg"));
        const Contents saved = contentsOf(draft.GetGraph()->GetObjList());
        QVERIFY(saved.icons.contains(QUuid::fromString(icon[3])));
        MHasRelation bay(MDrawObj::ObjTemplate);
        QVERIFY(bay.LoadFile(m_site + QString("/deployment/template/style/%1.xtp").arg(placed[1])));
        QList<MDrawObj*> members;
        for (int i = 0; i < bay.Size(); ++i)
            members << bay.At(i);
        QVERIFY(!members.isEmpty());
        const Contents dropped = contentsOf(members);
        QVERIFY(!dropped.texts.isEmpty());
        for (const QString& text : dropped.texts)
            QVERIFY2(saved.texts.contains(text), qPrintable(text));
        QVERIFY(saved.icons.contains(dropped.icons));

        // One picture per step, each a real image, and every file the tour names exists.
        const QStringList pictures = QDir(shots).entryList({"*.png"}, QDir::Files, QDir::Name);
        QCOMPARE(pictures.size(), 18);
        for (const QString& name : pictures) {
            const QImage image(shots + "/" + name);
            QVERIFY2(!image.isNull() && image.width() >= 800, qPrintable(name));
        }
        QVERIFY(pictures.contains("06-picture-menu.png"));
        QVERIFY(pictures.contains("11-icon-tip.png"));
        QVERIFY(pictures.contains("17-compare.png"));
        // The comparison of the saved draft with the released version found the drops.
        QVERIFY(std::any_of(log.cbegin(), log.cend(), [](const QString& line) {
            return line.startsWith("compare ") && !line.startsWith("compare 0 ");
        }));
        const QStringList written = run.out.section("files written:\n", 1).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(written.size(), pictures.size() + 4); // the log and the draft's three files
        for (const QString& file : written)
            QVERIFY2(QFileInfo(file).isFile(), qPrintable(file));
    }

    // Guards against a failing step ending the tour with success, or without saying which step failed.
    void failedStepIsReported()
    {
        const Run run = tour({"--select", QString::fromUtf8("没有这张图")}, m_dir.filePath("failed"));
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains("step 01 library"), qPrintable(run.err));
        QVERIFY(TestSupport::readFile(m_dir.filePath("failed/tour.log")).contains("step 01 library FAILED"));
    }
};

TALMER_TEST_MAIN(tst_EditorTour)
#include "tst_editortour.moc"
