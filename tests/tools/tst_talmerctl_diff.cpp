// talmerctl diff, run as a user runs it on the sample site: the list, its
// JSON, the overlay picture, and diff(1)'s exit statuses.
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "deploytree.h"
#include "mgraph.h"
#include "mgraphdoc.h"
#include "mtextobj.h"
#include "testmain.h"
#include "toolrun.h"

namespace {

using Run = TestSupport::ToolRun;

const QString kPic = QString::fromUtf8("北京变电站");

} // namespace

class tst_TalmerCtlDiff : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_site;

    Run diff(const QStringList& arguments) const
    {
        return TestSupport::runTalmerctl(QStringList{"--site", m_site, "diff"} + arguments, m_dir.path());
    }
    QString versionFile(int version, const QString& extension) const
    {
        return QString("%1/deployment/pic/SCADA/%2/%3.%4").arg(m_site, kPic).arg(version).arg(extension);
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_site = TestSupport::makeSampleSite(m_dir.path());
        QVERIFY(!m_site.isEmpty());
        // Version 3: version 2 with its title moved and one label gone.
        MGraphDoc doc;
        QVERIFY(doc.ReadDataFile(versionFile(2, "brg")));
        for (MDrawObj* obj : doc.GetGraph()->GetObjList()) {
            if (obj->GetId() == 1)
                obj->SetPosition(0, 40, true);
        }
        QList<MDrawObj*>& objects = doc.GetGraph()->GetObjList();
        delete objects.takeAt(3); // text 4, "返回总览"
        QVERIFY(doc.WriteXmlFile(versionFile(3, "xrg")));
        // Version 4 does not read.
        QFile damaged(versionFile(4, "xrg"));
        QVERIFY(damaged.open(QIODevice::WriteOnly) && damaged.write("<graph format=\"1\"><objects>") > 0);
    }

    void listsChangesOnePerLine()
    {
        // Guards against a list that misses the site's real change between released versions, or reports equal ones as different.
        Run r = diff({"SCADA", kPic, "1", "2"});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.out, QString("text changed: text 49 '修订 1' → '修订 2'\n"));
        QCOMPARE(r.err, QString());
        r = diff({"SCADA", kPic, "2", "3"});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.out, QString("moved: text 1 from (500, 20) to (500, 60)\n"
                                "removed: text 4 was at (1380, 62) 240 × 20\n"));
        r = diff({"SCADA", kPic, "2", "2"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QString());
        r = diff({"SCADA", kPic, "draft", "0"});
        QCOMPARE(r.status, 0);
        r = diff({"SCADA", kPic, "draft", "1"});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.out, QString("text changed: text 49 '修订 0' → '修订 1'\n"));
    }

    void jsonAndPicture()
    {
        // Guards against JSON that scripts cannot rely on, and an overlay picture that is missing or blank.
        const QString png = m_dir.filePath("overlay.png");
        const Run r = diff({"SCADA", kPic, "2", "3", "--json", "--png", png});
        QCOMPARE(r.status, 1);
        const QJsonObject json = r.json().toObject();
        QCOMPARE(json["application"].toString(), QString("SCADA"));
        QCOMPARE(json["picture"].toString(), kPic);
        QCOMPARE(json["from"].toInt(), 2);
        QCOMPARE(json["to"].toInt(), 3);
        QCOMPARE(json["identical"].toBool(), false);
        const QJsonArray changes = json["changes"].toArray();
        QCOMPARE(changes.size(), 2);
        QCOMPARE(changes[0]["kind"].toString(), QString("moved"));
        QCOMPARE(changes[0]["id"].toInt(), 1);
        QCOMPARE(changes[0]["type"].toString(), QString("text"));
        QCOMPARE(changes[0]["old"].toArray(), (QJsonArray{500, 20, 600, 40}));
        QCOMPARE(changes[0]["new"].toArray(), (QJsonArray{500, 60, 600, 40}));
        QCOMPARE(changes[1]["kind"].toString(), QString("removed"));
        QVERIFY(changes[1]["new"].isNull());
        const QImage image(png);
        QCOMPARE(image.size(), QSize(1600, 900));
        // The removed label's place is red, the moved title's orange.
        const QRgb removed = image.pixel(1500, 72), moved = image.pixel(800, 80);
        QVERIFY2(qRed(removed) > 2 * qGreen(removed), qPrintable(QColor(removed).name()));
        QVERIFY2(qRed(moved) > qGreen(moved) && qGreen(moved) > 2 * qBlue(moved), qPrintable(QColor(moved).name()));

        const Run same = diff({"SCADA", kPic, "1", "1", "--json"});
        QCOMPARE(same.status, 0);
        QCOMPARE(same.json().toObject()["identical"].toBool(), true);
        QCOMPARE(same.json().toObject()["changes"].toArray().size(), 0);
    }

    void troubleIsStatusTwo_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error");
        QTest::newRow("unknown picture") << QStringList{"SCADA", "nothing", "1", "2"}
                                         << "talmerctl: no picture SCADA/nothing in the deployment tree\n";
        QTest::newRow("missing version") << QStringList{"SCADA", kPic, "1", "9"}
                                         << "talmerctl: SCADA/北京变电站 has no version 9\n";
        QTest::newRow("unreadable drawing") << QStringList{"SCADA", kPic, "4", "2"}
                                            << "talmerctl: the version 4 of SCADA/北京变电站 does not read as a drawing\n";
        QTest::newRow("name leaving the tree") << QStringList{"SCADA", "../SCADA/" + kPic, "1", "2"}
                                               << "talmerctl: 'SCADA/../SCADA/北京变电站' is not a picture name\n";
        QTest::newRow("version not a number") << QStringList{"SCADA", kPic, "latest", "2"}
                                              << "talmerctl: a version is a number or \"draft\" (see talmerctl diff --help)\n";
        QTest::newRow("too few arguments") << QStringList{"SCADA", kPic, "1"} << QString();
        QTest::newRow("picture not writable") << QStringList{"SCADA", kPic, "1", "2", "--png", "/nonexistent/dir/x.png"}
                                              << QString();
    }

    void troubleIsStatusTwo()
    {
        // Guards against trouble reported as "different" (status 1), which a script would take for an answer.
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        const Run r = diff(arguments);
        QCOMPARE(r.status, 2);
        QCOMPARE(r.out, QString());
        if (!error.isEmpty())
            QCOMPARE(r.err, error);
        else
            QVERIFY(r.err.startsWith("talmerctl: "));
    }

    void noSiteIsTrouble()
    {
        // Guards against a missing library answered with status 1 ("different").
        const Run r = TestSupport::runTalmerctl({"--site", m_dir.filePath("none"), "diff", "A", "B", "1", "2"},
                                                m_dir.path());
        QCOMPARE(r.status, 2);
    }
};

TALMER_TEST_MAIN(tst_TalmerCtlDiff)
#include "tst_talmerctl_diff.moc"
