// talmerctl check, run as a user runs it: a sample site that checks clean, then
// one planted fault at a time, found, repaired where that needs no guessing,
// and the site clean again afterwards.
#include <QCryptographicHash>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/time.h>
#include <ctime>

#include "deploytree.h"
#include "mdataset.h"
#include "msqldataagent.h"
#include "testdatabase.h"
#include "testmain.h"

namespace {

enum Fault {
    ServerCopyMissing,
    LocalCopyMissing,
    CopiesDiffer,
    StaleLocalDraft,
    TransferLeftover,
    SafeWriteLeftover,
    YoungLeftover,
    PartialFolder,
    NamelessPicture,
    VersionlessEdition,
    VersionWithoutFiles,
    PictureWithoutFiles,
    DuplicateVersion,
    DuplicateName,
    UnrecordedFiles,
    YoungUnrecordedFile,
};

struct Run
{
    int status = -1;
    QJsonObject json;
    QString err;
};

QByteArray digest(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256) : QByteArray();
}

// Makes a file or folder look untouched for seconds.
bool age(const QString& path, qint64 seconds)
{
    const time_t then = time(nullptr) - time_t(seconds);
    const timeval times[2] = {{then, 0}, {then, 0}};
    return utimes(QFile::encodeName(path).constData(), times) == 0;
}

bool writeOld(const QString& path, const QByteArray& content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return false;
    file.close();
    return age(path, 3600);
}

} // namespace

class tst_TalmerCheck : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_site;
    QString m_spec; // the site's database
    TestSupport::TestDatabase m_db;
    MSqlDataAgent m_agent;
    QVariantList m_planted; // records a test planted and removes again
    bool m_refused = false;

    Run check(const QStringList& extra = {}) const
    {
        QProcess process;
        process.start(qEnvironmentVariable("TALMERCTL"), QStringList{"--site", m_site, "check", "--json"} + extra);
        Run result;
        if (process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit)
            result.status = process.exitCode();
        result.json = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }
    QString deployed(const QString& relative) const { return m_site + "/deployment/" + relative; }
    QString served(const QString& relative) const { return m_site + "/server/" + relative; }
    QVariant objectAt(const QString& path)
    {
        MDataSet set;
        m_agent.QueryData(path, QStringList(), set);
        return set.DataNum() == 1 ? set.DataAt(0).GetId() : QVariant();
    }
    QVariant pictureId(const QString& application, const QString& picture)
    {
        return objectAt(QString("/node/application,name='%1'/pictureType/picture,picname='%2'").arg(application, picture));
    }
    // A record below parent with the given fields; invalid when the schema refused it.
    QVariant plantRecord(const QVariant& parent, const QString& objectClass, const QMap<QString, QString>& fields)
    {
        const QVariant id = m_agent.InsertData(parent, objectClass);
        for (auto it = fields.cbegin(); id.isValid() && it != fields.cend(); ++it) {
            if (!m_agent.UpdateField(id, it.key(), it.value())) {
                m_agent.DeleteData(objectClass, {id});
                return {};
            }
        }
        if (id.isValid())
            m_planted << id;
        return id;
    }
    // Sets m_refused when the database refused the fault (a constraint prevents it).
    void plant(Fault fault);

private slots:
    void initTestCase()
    {
        for (const QByteArray& name : TestSupport::DeployTree::configurationVariables())
            qunsetenv(name.constData());
        QStringList init{"site", "init", m_dir.filePath("site"), "--sample"};
        if (TestSupport::TestDatabase::isPostgres()) {
            m_spec = m_db.create(QString());
            if (m_spec.isEmpty() && m_db.packageMissing())
                QSKIP(qPrintable(m_db.failure()));
            QVERIFY2(!m_spec.isEmpty(), qPrintable(m_db.failure()));
            init << "--db" << m_spec;
        }
        QProcess made;
        made.start(qEnvironmentVariable("TALMERCTL"), init);
        QVERIFY(made.waitForFinished(120000));
        QVERIFY2(made.exitCode() == 0, made.readAllStandardError().constData());
        m_site = m_dir.filePath("site");
        if (m_spec.isEmpty())
            m_spec = m_site + "/hmi.sqlite";
        QVERIFY(m_agent.Open(m_spec, MSqlDataAgent::OpenMode::MustExist));
    }

    void cleanSiteChecksClean()
    {
        // Guards against a check that finds fault with a sound site, or counts nothing.
        const Run r = check();
        QCOMPARE(r.status, 0);
        QVERIFY2(r.json["clean"].toBool(), QJsonDocument(r.json).toJson().constData());
        QCOMPARE(r.json["problems"].toArray().size(), 0);
        QVERIFY(r.json["pictures"].toInt() >= 9);
        QCOMPARE(r.json["versions"].toInt(), 3 * r.json["pictures"].toInt());
        QCOMPARE(r.json["files"].toInt(), 3 * r.json["versions"].toInt());
    }

    void plantedFaultIsFoundAndRepaired_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("subject"); // a part of the finding's subject
        QTest::addColumn<bool>("repairable");
        QTest::newRow("server copy missing") << int(ServerCopyMissing) << "missing-file" << "北京变电站 version 1 (1.xrg)" << true;
        QTest::newRow("local copy missing") << int(LocalCopyMissing) << "missing-file" << "城东线 version 2 (2.brg)" << true;
        QTest::newRow("copies differ") << int(CopiesDiffer) << "differing-file" << "长沙变电站 version 1 (1.fg)" << false;
        QTest::newRow("stale local draft, server copy missing") << int(StaleLocalDraft) << "missing-file"
                                                                << "北京变电站 version 0 (0.xrg)" << false;
        QTest::newRow("upload leftover") << int(TransferLeftover) << "temporary-file" << ".1.xrg.part-3fa9" << true;
        QTest::newRow("safe-write leftover") << int(SafeWriteLeftover) << "temporary-file" << "site.env.aB3xQ9" << true;
        QTest::newRow("young leftover: not a fault") << int(YoungLeftover) << QString() << QString() << false;
        QTest::newRow("partial site folder") << int(PartialFolder) << "partial-folder" << ".site.partial-Zx81Qa" << true;
        QTest::newRow("picture without name") << int(NamelessPicture) << "incomplete-record" << "SCADA/station" << true;
        QTest::newRow("edition without version") << int(VersionlessEdition) << "incomplete-record" << "SCADA/北京变电站, edition" << true;
        QTest::newRow("version without files") << int(VersionWithoutFiles) << "incomplete-record" << "SCADA/北京变电站 version 7" << true;
        QTest::newRow("picture without files") << int(PictureWithoutFiles) << "incomplete-record" << "SCADA/幽灵站" << true;
        QTest::newRow("duplicate version") << int(DuplicateVersion) << "duplicate" << "DMS/城东线 version 1" << false;
        QTest::newRow("unrecorded version files") << int(UnrecordedFiles) << "unrecorded-file" << "SCADA/北京变电站/5.xrg" << true;
        QTest::newRow("young unrecorded file: an import running") << int(YoungUnrecordedFile) << QString() << QString() << false;
        QTest::newRow("duplicate name in other type") << int(DuplicateName) << "duplicate" << "SCADA/北京变电站" << false;
    }

    void plantedFaultIsFoundAndRepaired()
    {
        // Guards against a fault the check misses, a repair that guesses, and
        // a repair reported done that left the fault in place.
        QFETCH(int, fault);
        QFETCH(QString, kind);
        QFETCH(QString, subject);
        QFETCH(bool, repairable);
        m_planted.clear();
        m_refused = false;
        plant(Fault(fault));
        if (QTest::currentTestFailed())
            return;
        if (m_refused)
            QSKIP("the schema refuses this fault: nothing to find");

        const Run found = check();
        const QJsonArray problems = found.json["problems"].toArray();
        if (kind.isEmpty()) {
            QCOMPARE(found.status, 0);
            QCOMPARE(problems.size(), 0);
            undo(Fault(fault));
            return;
        }
        QCOMPARE(found.status, 1);
        QVERIFY2(problems.size() == 1, QJsonDocument(problems).toJson().constData());
        const QJsonObject problem = problems.at(0).toObject();
        QCOMPARE(problem["kind"].toString(), kind);
        QVERIFY2(problem["subject"].toString().contains(subject), qPrintable(problem["subject"].toString()));
        QCOMPARE(problem["repairable"].toBool(), repairable);
        QCOMPARE(problem["repaired"].toBool(), false);

        const Run repaired = check({"--repair"});
        QCOMPARE(repaired.status, repairable ? 0 : 1);
        QCOMPARE(repaired.json["problems"].toArray().at(0)["repaired"].toBool(), repairable);
        if (!repairable)
            undo(Fault(fault));
        const Run after = check();
        QVERIFY2(after.status == 0, QJsonDocument(after.json).toJson().constData());
        if (Fault(fault) == UnrecordedFiles)
            QVERIFY(!QFileInfo::exists(served("pic/SCADA/北京变电站/5.xrg")));
    }

    void checkedFilesAreTheRepairedOnes()
    {
        // Guards against a repair that uploads or fetches some other content.
        const QString local = deployed("pic/PAS/全网总览/2.xrg");
        const QByteArray original = digest(local);
        QVERIFY(QFile::remove(served("pic/PAS/全网总览/2.xrg")));
        QCOMPARE(check({"--repair"}).status, 0);
        QCOMPARE(digest(served("pic/PAS/全网总览/2.xrg")), original);
        QVERIFY(QFile::remove(local));
        QCOMPARE(check({"--repair"}).status, 0);
        QCOMPARE(digest(local), original);
    }

    void commandLineIsRefused()
    {
        // Guards against misuse read as a clean site.
        QProcess process;
        process.start(qEnvironmentVariable("TALMERCTL"), {"--site", m_site, "check", "extra"});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 2);
    }

private:
    void undo(Fault fault);
};

void tst_TalmerCheck::plant(Fault fault)
{
    switch (fault) {
    case ServerCopyMissing:
        QVERIFY(QFile::remove(served("pic/SCADA/北京变电站/1.xrg")));
        break;
    case LocalCopyMissing:
        QVERIFY(QFile::remove(deployed("pic/SCADA/城东线/2.brg")));
        break;
    case CopiesDiffer: {
        QFile file(served("pic/SCADA/长沙变电站/1.fg"));
        QVERIFY(file.open(QIODevice::Append) && file.write("x") == 1);
        break;
    }
    case StaleLocalDraft: {
        // The draft was saved elsewhere after this copy: uploading it would
        // put an old drawing in place of the newer one.
        const QString local = deployed("pic/SCADA/北京变电站/0.xrg");
        QVERIFY(age(local, 5 * 86400));
        QVERIFY(QFile::rename(served("pic/SCADA/北京变电站/0.xrg"), m_dir.filePath("draft-aside.xrg")));
        break;
    }
    case TransferLeftover:
        QVERIFY(writeOld(served("pic/SCADA/北京变电站/.1.xrg.part-3fa9"), "half"));
        break;
    case SafeWriteLeftover:
        QVERIFY(writeOld(m_site + "/site.env.aB3xQ9", "half"));
        break;
    case YoungLeftover:
        QVERIFY(QFile(deployed("pic/SCADA/北京变电站/.2.xrg.part-77")).open(QIODevice::WriteOnly));
        break;
    case PartialFolder:
        QVERIFY(QDir().mkpath(m_dir.filePath(".site.partial-Zx81Qa/deployment")));
        QVERIFY(writeOld(m_dir.filePath(".site.partial-Zx81Qa/hmi.sqlite"), "half"));
        QVERIFY(age(m_dir.filePath(".site.partial-Zx81Qa"), 86400));
        break;
    case UnrecordedFiles:
        QVERIFY(writeOld(deployed("pic/SCADA/北京变电站/5.xrg"), "drawn, never announced"));
        QVERIFY(QFile::copy(deployed("pic/SCADA/北京变电站/5.xrg"), served("pic/SCADA/北京变电站/5.xrg")));
        break;
    case YoungUnrecordedFile:
        QVERIFY(QFile(deployed("pic/SCADA/北京变电站/6.xrg")).open(QIODevice::WriteOnly));
        break;
    case NamelessPicture:
        QVERIFY(plantRecord(objectAt("/node/application,name='SCADA'/pictureType,name='station'"), "picture", {}).isValid());
        break;
    case VersionlessEdition:
        QVERIFY(plantRecord(pictureId("SCADA", "北京变电站"), "edition", {{"modifytime", "2026-01-01T00:00:00"}}).isValid());
        break;
    case VersionWithoutFiles:
        QVERIFY(plantRecord(pictureId("SCADA", "北京变电站"), "edition", {{"version", "7"}}).isValid());
        break;
    case PictureWithoutFiles: {
        const QVariant picture = plantRecord(objectAt("/node/application,name='SCADA'/pictureType,name='station'"),
                                             "picture", {{"picname", "幽灵站"}});
        QVERIFY(picture.isValid());
        QVERIFY(plantRecord(picture, "edition", {{"version", "0"}}).isValid());
        break;
    }
    case DuplicateVersion:
        m_refused = !plantRecord(pictureId("DMS", "城东线"), "edition", {{"version", "1"}}).isValid();
        break;
    case DuplicateName:
        m_refused = !plantRecord(objectAt("/node/application,name='SCADA'/pictureType,name='feeder'"), "picture",
                                 {{"picname", "北京变电站"}})
                         .isValid();
        break;
    }
}

void tst_TalmerCheck::undo(Fault fault)
{
    switch (fault) {
    case CopiesDiffer:
        QVERIFY(QFile::remove(served("pic/SCADA/长沙变电站/1.fg")));
        QVERIFY(QFile::copy(deployed("pic/SCADA/长沙变电站/1.fg"), served("pic/SCADA/长沙变电站/1.fg")));
        break;
    case StaleLocalDraft:
        QVERIFY(QFile::rename(m_dir.filePath("draft-aside.xrg"), served("pic/SCADA/北京变电站/0.xrg")));
        QVERIFY(QFile::remove(deployed("pic/SCADA/北京变电站/0.xrg")));
        QVERIFY(QFile::copy(served("pic/SCADA/北京变电站/0.xrg"), deployed("pic/SCADA/北京变电站/0.xrg")));
        break;
    case YoungLeftover:
        QVERIFY(QFile::remove(deployed("pic/SCADA/北京变电站/.2.xrg.part-77")));
        break;
    case YoungUnrecordedFile:
        QVERIFY(QFile::remove(deployed("pic/SCADA/北京变电站/6.xrg")));
        break;
    case DuplicateVersion:
    case DuplicateName:
        for (const QVariant& id : std::as_const(m_planted))
            QVERIFY(m_agent.DeleteData(fault == DuplicateVersion ? "edition" : "picture", {id}));
        break;
    default:
        QFAIL("every fault that is left in place needs its undo");
    }
}

TALMER_TEST_MAIN(tst_TalmerCheck)
#include "tst_talmercheck.moc"
