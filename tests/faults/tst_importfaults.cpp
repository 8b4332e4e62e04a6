#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QSqlQuery>
#include <QUrl>

#include <memory>
#include <vector>

#include "brelmmidataagent.h"
#include "deploytree.h"
#include "ftptestserver.h"
#include "importtesting.h"
#include "mgraphdoc.h"
#include "sitebuilder.h"
#include "testdatabase.h"
#include "testmain.h"

using TestSupport::DeployTree;
using TestSupport::FtpTestServer;
using TestSupport::TestDatabase;

namespace {

constexpr int kProcessWaitMs = 120000;

struct Run
{
    int status = -1;
    QString out;
    QString err;
    // The version of the first drawing of an import run with --json; -1 when none.
    int version() const
    {
        return QJsonDocument::fromJson(out.toUtf8()).array().at(0).toObject().value("version").toInt(-1);
    }
};

std::unique_ptr<QProcess> startTalmerctl(const QStringList& arguments)
{
    auto process = std::make_unique<QProcess>();
    process->start(qEnvironmentVariable("TALMERCTL"), arguments);
    return process;
}

Run finish(QProcess& process)
{
    Run run;
    if (process.waitForFinished(kProcessWaitMs) && process.exitStatus() == QProcess::NormalExit)
        run.status = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

Run talmerctl(const QStringList& arguments)
{
    return finish(*startTalmerctl(arguments));
}

// The station name a drawing carries: the tests mark each drawing with its own.
QString markOf(const QString& file)
{
    MGraphDoc doc;
    return doc.ReadXmlFile(file) ? doc.GetGraphStation(1) : QString("<unreadable>");
}

QByteArray contentOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class tst_ImportFaults : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DeployTree> m_tree;
    std::unique_ptr<TestDatabase> m_db;
    QString m_server; // the file server's root folder

    QString drawing(const QString& name, const QString& mark);
    QString local(const QString& picture, int version, const QString& extension) const
    {
        return m_tree->path(QString("pic/A/%1/%2.%3").arg(picture).arg(version).arg(extension));
    }
    QString onServer(const QString& picture, int version, const QString& extension) const
    {
        return m_server + QString("/pic/A/%1/%2.%3").arg(picture).arg(version).arg(extension);
    }
    QList<int> versionsOf(const QString& picture);
    QStringList inconsistencies();

private Q_SLOTS:
    void init();
    void cleanup();

    void concurrentImportsOfOnePicture_data();
    void concurrentImportsOfOnePicture();
    void killedFolderImportsLeaveNoHalfRecords();
    void failedUploadsLeaveNoRecord_data();
    void failedUploadsLeaveNoRecord();
    void readOnlyDatabaseIsFoundBeforeAnyFile();
};

void tst_ImportFaults::init()
{
    QVERIFY(QFileInfo(qEnvironmentVariable("TALMERCTL")).isExecutable());
    m_tree = std::make_unique<DeployTree>();
    m_db = std::make_unique<TestDatabase>();
    TALMER_USE_TEST_DATABASE(*m_db, *m_tree);
    m_server = m_tree->base() + "/server";
    QVERIFY(QDir().mkpath(m_server));
    qputenv("TALMER_FILE_SERVER", m_server.toUtf8());
    SiteGen::SiteBuilder site(BrelMmiDataAgent::Instance());
    site.pictureType(site.application("A"), "feeder", 9);
    QVERIFY2(site.ok(), qPrintable(site.errors()));
}

void tst_ImportFaults::cleanup()
{
    BrelMmiDataAgent::Instance()->Close();
    m_db.reset();
    m_tree.reset();
}

QString tst_ImportFaults::drawing(const QString& name, const QString& mark)
{
    const QString path = m_tree->base() + "/drawings/" + name;
    return ImportTesting::writeStation(path, mark, 9) ? path : QString();
}

QList<int> tst_ImportFaults::versionsOf(const QString& picture)
{
    MDataSet pictures, editions;
    BrelMmiDataAgent::Instance()->QueryData("/picture,picname=" + MDataAgent::QuoteText(picture), {"picname"}, pictures);
    QList<int> versions;
    for (int p = 0; p < pictures.DataNum(); ++p) {
        BrelMmiDataAgent::Instance()->QueryChild(pictures.DataAt(p).GetId(), "history_edition", {"version"}, editions);
        for (int e = 0; e < editions.DataNum(); ++e)
            versions << editions.GetFieldValue("version", e).toInt();
    }
    std::sort(versions.begin(), versions.end());
    return versions;
}

// What a site check finds wrong: records without their fields, duplicate names
// or versions, and versions whose files are missing locally or on the server,
// or differ between the two.
QStringList tst_ImportFaults::inconsistencies()
{
    BrelMmiDataAgent* agent = BrelMmiDataAgent::Instance();
    QStringList problems;
    MDataSet pictures;
    agent->QueryData("/picture", {"picname"}, pictures);
    QSet<QString> names;
    for (int p = 0; p < pictures.DataNum(); ++p) {
        const QString id = pictures.DataAt(p).GetId().toString();
        const QString name = pictures.GetFieldValue("picname", p).toString();
        if (name.isEmpty()) {
            problems << "picture " + id + " has no name";
            continue;
        }
        if (names.contains(name))
            problems << "two pictures are named " + name;
        names.insert(name);
        MDataSet editions;
        agent->QueryChild(id, "history_edition", {"version"}, editions);
        QSet<int> versions;
        for (int e = 0; e < editions.DataNum(); ++e) {
            if (editions.GetFieldValue("version", e).IsNull()) {
                problems << "an edition of " + name + " has no version";
                continue;
            }
            const int v = editions.GetFieldValue("version", e).toInt();
            if (versions.contains(v))
                problems << QString("%1 has version %2 twice").arg(name).arg(v);
            versions.insert(v);
            for (const char* extension : {"xrg", "brg", "fg"}) {
                const QByteArray here = contentOf(local(name, v, extension));
                const QByteArray there = contentOf(onServer(name, v, extension));
                if (here.isEmpty() || there.isEmpty())
                    problems << QString("version %1 of %2 has no .%3 %4").arg(v).arg(name, extension,
                                                                            here.isEmpty() ? "locally" : "on the server");
                else if (here != there)
                    problems << QString("version %1 of %2: the .%3 differs on the server").arg(v).arg(name, extension);
            }
        }
    }
    return problems;
}

void tst_ImportFaults::concurrentImportsOfOnePicture_data()
{
    QTest::addColumn<bool>("existing");
    QTest::newRow("existing picture") << true;
    QTest::newRow("new picture") << false;
}

void tst_ImportFaults::concurrentImportsOfOnePicture()
{
    // Guards against imports at the same moment sharing a version or a new name, every one reporting success.
    QFETCH(bool, existing);
    constexpr int kImports = 6;
    QList<int> expected;
    if (existing) {
        QCOMPARE(talmerctl({"import", "A", "feeder", drawing("first/P.xrg", "S0"), "--mode", "0"}).status, 0);
        expected << 0;
    }
    std::vector<std::unique_ptr<QProcess>> processes;
    for (int i = 1; i <= kImports; ++i) {
        const QString file = drawing(QString("d%1/P.xrg").arg(i), QString("S%1").arg(i));
        processes.push_back(startTalmerctl({"import", "A", "feeder", file, "--name", "P", "--json"}));
    }
    int successes = 0;
    for (int i = 1; i <= kImports; ++i) {
        const Run run = finish(*processes.at(i - 1));
        if (run.status != 0) {
            // A loser may fail, but must say why.
            QVERIFY2(run.status == 1 && run.err.startsWith("talmerctl: "), qPrintable(run.err));
            continue;
        }
        ++successes;
        const int version = run.version();
        QVERIFY2(!expected.contains(version), qPrintable(QString("version %1 given twice").arg(version)));
        expected << version;
        const QString mark = QString("S%1").arg(i);
        QCOMPARE(markOf(local("P", version, "xrg")), mark);
        QCOMPARE(markOf(onServer("P", version, "xrg")), mark);
    }
    QVERIFY(successes > 0);
    std::sort(expected.begin(), expected.end());
    QCOMPARE(versionsOf("P"), expected);
    const QStringList problems = inconsistencies();
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
}

void tst_ImportFaults::killedFolderImportsLeaveNoHalfRecords()
{
    // Guards against kill -9 during an import leaving a half record, or a record whose files never arrived.
    FtpTestServer server(m_tree->base() + "/ftp", 40000); // slow uploads: kills land in them too
    TALMER_START_FTP(server);
    qputenv("TALMER_FILE_SERVER", server.url().toUtf8());
    m_server = server.root();
    constexpr int kDrawings = 6;
    constexpr int kTries = 10;
    for (int i = 1; i <= kDrawings; ++i)
        QVERIFY(!drawing(QString("folder/F%1.xrg").arg(i), QString("F%1").arg(i)).isEmpty());
    // A first import, whole, tells how long one takes: the kills land anywhere within that.
    const QString folder = m_tree->base() + "/drawings/folder";
    QElapsedTimer clock;
    clock.start();
    const Run first = talmerctl({"import", "A", "feeder", folder});
    QVERIFY2(first.status == 0, qPrintable(first.err));
    const int wholeMs = int(qMin<qint64>(clock.elapsed(), 20000));
    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    int killed = 0;
    for (int attempt = 0; attempt < kTries; ++attempt) {
        const int delayMs = random.bounded(wholeMs / 10 + 1, wholeMs + 2);
        std::unique_ptr<QProcess> import = startTalmerctl({"import", "A", "feeder", folder});
        if (!import->waitForFinished(delayMs)) {
            import->kill();
            ++killed;
        }
        finish(*import);
        const QStringList problems = inconsistencies();
        QVERIFY2(problems.isEmpty(), qPrintable(QString("seed %1, try %2 killed after %3 ms:\n%4")
                                                     .arg(seed).arg(attempt).arg(delayMs).arg(problems.join('\n'))));
    }
    qInfo("%d of %d imports killed (seed %u)", killed, kTries, seed);
    // What the kills left behind does not stand in the way of the next import.
    const Run last = talmerctl({"import", "A", "feeder", folder});
    QVERIFY2(last.status == 0, qPrintable(last.err));
    for (int i = 1; i <= kDrawings; ++i)
        QVERIFY(!versionsOf(QString("F%1").arg(i)).isEmpty());
    const QStringList problems = inconsistencies();
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
    // The site's own check agrees: nothing half made is left for it to find.
    const Run check = talmerctl({"check"});
    QVERIFY2(check.status == 0, qPrintable(check.out + check.err));
}

void tst_ImportFaults::failedUploadsLeaveNoRecord_data()
{
    QTest::addColumn<bool>("ftp");         // else the directory server, with a folder in the way
    QTest::addColumn<QString>("login");    // the FTP server's user and password ("" anonymous, "-" stopped)
    QTest::addColumn<QString>("picture");  // "P" exists with its draft
    QTest::addColumn<QStringList>("lost");
    QTest::addColumn<QString>("reason");
    QTest::newRow("directory server, folder in place of the binary form")
        << false << "" << "P" << QStringList{"P/1.brg"} << "the server cannot write the file there";
    QTest::newRow("stopped FTP server, new picture")
        << true << "-" << "N" << QStringList{"N/0.xrg", "N/0.brg", "N/0.fg"} << "the server refused the connection";
    QTest::newRow("stopped FTP server, new version")
        << true << "-" << "P" << QStringList{"P/1.xrg", "P/1.brg", "P/1.fg"} << "the server refused the connection";
    QTest::newRow("FTP server, wrong password") << true << "talmer:wrong" << "P"
                                                << QStringList{"P/1.xrg", "P/1.brg", "P/1.fg"}
                                                << "the server refused the log-in (wrong user or password)";
}

void tst_ImportFaults::failedUploadsLeaveNoRecord()
{
    // Guards against a version recorded, and reported imported, when its files did not reach the file server.
    QFETCH(bool, ftp);
    QFETCH(QString, login);
    QFETCH(QString, picture);
    QFETCH(QStringList, lost);
    QFETCH(QString, reason);
    QCOMPARE(talmerctl({"import", "A", "feeder", drawing("P/0.xrg", "P0"), "--mode", "0"}).status, 0);
    FtpTestServer server(m_tree->base() + "/ftp");
    if (ftp) {
        server.setUser("talmer", "right");
        TALMER_START_FTP(server);
        const QString url = server.url();
        qputenv("TALMER_FILE_SERVER", login.size() > 1 ? QString(url).replace("ftp://", "ftp://" + login + "@").toUtf8()
                                                         : url.toUtf8());
        if (login == "-")
            server.stop();
    } else {
        QVERIFY(QDir().mkpath(m_server + "/pic/A/" + lost.first()));
    }
    const QList<int> before = versionsOf(picture);
    const Run run = talmerctl({"import", "A", "feeder", drawing(picture + "/1.xrg", "new"), "--mode", "1"});
    QCOMPARE(run.status, 1);
    const QStringList lines = run.err.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), lost.size());
    for (int i = 0; i < lost.size(); ++i) {
        QVERIFY2(lines.at(i).contains("/pic/A/" + lost.at(i) + " did not reach the file server: " + reason),
                 qPrintable(lines.at(i)));
    }
    QCOMPARE(versionsOf(picture), before);
    QCOMPARE(markOf(local("P", 0, "xrg")), QString("P0"));
    qputenv("TALMER_FILE_SERVER", m_server.toUtf8());
    const QStringList problems = inconsistencies();
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
}

void tst_ImportFaults::readOnlyDatabaseIsFoundBeforeAnyFile()
{
    // Guards against files written and uploaded for a version the database then refuses to record.
    QCOMPARE(talmerctl({"import", "A", "feeder", drawing("P/0.xrg", "P0"), "--mode", "0"}).status, 0);
    const QString spec = qEnvironmentVariable("TALMER_HMI_DB");
    BrelMmiDataAgent::Instance()->Close();
    if (TestDatabase::isPostgres()) {
        {
            QSqlDatabase raw = TestDatabase::openRaw(spec, "raw");
            QSqlQuery query(raw);
            QVERIFY(query.exec(QString("ALTER DATABASE \"%1\" SET default_transaction_read_only = on")
                                   .arg(QUrl(spec).path().mid(1))));
        }
        QSqlDatabase::removeDatabase("raw");
    } else {
        QVERIFY(QFile::setPermissions(spec, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        if (QFileInfo(spec).isWritable())
            QSKIP("every file is writable for this user (root): the server variant covers it");
    }
    for (const char* mode : {"0", "1", "2"}) {
        const Run run = talmerctl({"import", "A", "feeder", drawing("P/new.xrg", "new"), "--name", "P", "--mode", mode});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains("the database refused the write"), qPrintable(run.err));
        QCOMPARE(markOf(local("P", 0, "xrg")), QString("P0"));
        QCOMPARE(markOf(onServer("P", 0, "xrg")), QString("P0"));
        QVERIFY(!QFileInfo::exists(local("P", 1, "xrg")));
        QVERIFY(!QFileInfo::exists(onServer("P", 1, "brg")));
    }
    QCOMPARE(versionsOf("P"), QList<int>{0});
}

TALMER_TEST_MAIN(tst_ImportFaults)
#include "tst_importfaults.moc"
