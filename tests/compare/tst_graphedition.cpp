// Editions of a picture read from the deployment tree for a comparison.
#include <QtTest>

#include "comparetesting.h"
#include "deploytree.h"
#include "graphdiff.h"
#include "graphedition.h"
#include "mdeploypaths.h"
#include "testmain.h"

using namespace CompareTesting;
using TestSupport::DeployTree;

namespace {

const QString kApp = QStringLiteral("SCADA");
const QString kPic = QString::fromUtf8("北京变电站");

QString versionFile(int version, const QString& extension)
{
    return QString("pic/%1/%2/%3.%4").arg(kApp, kPic).arg(version).arg(extension);
}

QByteArray sampleBytes()
{
    QFile f(beijingSample());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class tst_GraphEdition : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsBinaryFormFirstElseText_data();
    void readsBinaryFormFirstElseText();
    void refusesWhatIsNoEdition_data();
    void refusesWhatIsNoEdition();
    void listsTheVersionsHeld();
    void versionsOnTheCommandLine_data();
    void versionsOnTheCommandLine();
};

void tst_GraphEdition::readsBinaryFormFirstElseText_data()
{
    QTest::addColumn<QByteArray>("binary"); // "": no such file
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("name");      // the name of the drawing read
    QTest::newRow("both forms") << QByteArray("B") << QByteArray("T") << "binary";
    QTest::newRow("text form only") << QByteArray() << QByteArray("T") << "text";
    QTest::newRow("binary form only") << QByteArray("B") << QByteArray() << "binary";
    QTest::newRow("damaged binary form") << QByteArray("TBRG garbage") << QByteArray("T") << "text";
}

void tst_GraphEdition::readsBinaryFormFirstElseText()
{
    // Guards against reading an edition otherwise than the hosts open it (a stale text form over the binary one).
    QFETCH(QByteArray, binary);
    QFETCH(QByteArray, text);
    QFETCH(QString, name);
    DeployTree tree;
    QVERIFY(tree.isValid());
    auto doc = beijing();
    QVERIFY(doc);
    if (binary == "B") {
        doc->SetName("binary");
        QVERIFY(QDir().mkpath(QFileInfo(tree.path(versionFile(2, "brg"))).path()));
        QVERIFY(doc->WriteDataFile(tree.path(versionFile(2, "brg"))));
    } else if (!binary.isEmpty()) {
        QVERIFY(tree.writeFile(versionFile(2, "brg"), binary));
    }
    if (!text.isEmpty()) {
        doc->SetName("text");
        QVERIFY(QDir().mkpath(QFileInfo(tree.path(versionFile(2, "xrg"))).path()));
        QVERIFY(doc->WriteXmlFile(tree.path(versionFile(2, "xrg"))));
    }
    MGraphDoc read;
    QString error;
    QVERIFY2(GraphEdition::Load(kApp, kPic, 2, read, error), qPrintable(error));
    QCOMPARE(read.GetName(), name);
    QCOMPARE(read.GetGraph()->GetObjList().size(), 48);
}

void tst_GraphEdition::refusesWhatIsNoEdition_data()
{
    QTest::addColumn<QString>("app");
    QTest::addColumn<QString>("pic");
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("error");
    QTest::newRow("readable draft") << kApp << kPic << 0 << QString();
    QTest::newRow("unknown picture") << kApp << "nowhere" << 1 << "no picture SCADA/nowhere in the deployment tree";
    QTest::newRow("unknown application") << "DMS" << kPic << 1 << "no picture DMS/北京变电站 in the deployment tree";
    QTest::newRow("missing version") << kApp << kPic << 7 << "SCADA/北京变电站 has no version 7";
    QTest::newRow("negative version") << kApp << kPic << -1 << "SCADA/北京变电站 has no version -1";
    QTest::newRow("damaged drawing") << kApp << kPic << 3 << "the version 3 of SCADA/北京变电站 does not read as a drawing";
    QTest::newRow("empty file") << kApp << kPic << 4 << "the version 4 of SCADA/北京变电站 does not read as a drawing";
    QTest::newRow("folder named like the file") << kApp << kPic << 5
                                                << "the version 5 of SCADA/北京变电站 does not read as a drawing";
    QTest::newRow("picture name leaving its folder") << kApp << "../SCADA/北京变电站" << 0
                                                     << "'SCADA/../SCADA/北京变电站' is not a picture name";
    QTest::newRow("application name leaving the store") << ".." << "pic" << 0 << "'../pic' is not a picture name";
    QTest::newRow("empty name") << kApp << "" << 0 << "'SCADA/' is not a picture name";
}

void tst_GraphEdition::refusesWhatIsNoEdition()
{
    // Guards against an unreadable or misnamed edition taken for an empty drawing (which would list every object as removed).
    QFETCH(QString, app);
    QFETCH(QString, pic);
    QFETCH(int, version);
    QFETCH(QString, error);
    DeployTree tree;
    QVERIFY(tree.writeFile(versionFile(0, "xrg"), sampleBytes()));
    QVERIFY(tree.writeFile(versionFile(3, "xrg"), "<graph format=\"1\"><objects><rect"));
    QVERIFY(tree.writeFile(versionFile(3, "brg"), "TBRG\x00\x01"));
    QVERIFY(tree.writeFile(versionFile(4, "brg"), QByteArray()));
    QVERIFY(QDir().mkpath(tree.path(versionFile(5, "brg"))));
    QVERIFY(tree.writeFile("pic/pic/0.xrg", sampleBytes())); // what "../pic" would reach
    MGraphDoc doc;
    doc.SetName("left over");
    QString why;
    const bool loaded = GraphEdition::Load(app, pic, version, doc, why);
    QCOMPARE(loaded, error.isEmpty());
    QCOMPARE(why, error);
    QCOMPARE(doc.GetGraph()->GetObjList().isEmpty(), !loaded);
    if (!loaded)
        QCOMPARE(doc.GetName(), QString());
}

void tst_GraphEdition::listsTheVersionsHeld()
{
    // Guards against offering versions the tree does not hold, or hiding one held in only one form.
    DeployTree tree;
    for (const QString& file : {versionFile(0, "xrg"), versionFile(0, "brg"), versionFile(2, "brg"),
                                versionFile(10, "xrg"), versionFile(3, "fg"), versionFile(4, "svg")})
        QVERIFY(tree.writeFile(file, "x"));
    QVERIFY(tree.writeFile(QString("pic/%1/%2/x.xrg").arg(kApp, kPic), "x"));
    QVERIFY(tree.writeFile(QString("pic/%1/%2/1.xrg.bak").arg(kApp, kPic), "x"));
    QList<int> versions;
    QString error;
    QVERIFY(GraphEdition::Versions(kApp, kPic, versions, error));
    QCOMPARE(versions, (QList<int>{0, 2, 10}));
    QVERIFY(!GraphEdition::Versions(kApp, "other", versions, error));
    QVERIFY(versions.isEmpty());
    QCOMPARE(error, QString("no picture SCADA/other in the deployment tree"));
}

void tst_GraphEdition::versionsOnTheCommandLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("version"); // -1: refused
    QTest::newRow("draft") << "draft" << 0;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("number") << "12" << 12;
    QTest::newRow("negative") << "-1" << -1;
    QTest::newRow("word") << "latest" << -1;
    QTest::newRow("trailing text") << "3a" << -1;
    QTest::newRow("too long") << "99999999999" << -1;
    QTest::newRow("empty") << "" << -1;
}

void tst_GraphEdition::versionsOnTheCommandLine()
{
    // Guards against a version argument read as a number it does not say (toInt's 0 for text).
    QFETCH(QString, text);
    QFETCH(int, version);
    int parsed = -7;
    QCOMPARE(GraphEdition::ParseVersion(text, parsed), version >= 0);
    if (version >= 0)
        QCOMPARE(parsed, version);
}

TALMER_TEST_MAIN(tst_GraphEdition)
#include "tst_graphedition.moc"
