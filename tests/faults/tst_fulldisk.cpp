// Every write path of the project on a full disk: the write fails, says so,
// and leaves the old file byte for byte and no temporary file behind.
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "deploytree.h"
#include "file_svrconn_manager.h"
#include "filesizelimit.h"
#include "ftptestserver.h"
#include "i_file_session.h"
#include "mdrawobj.h"
#include "mgraphdoc.h"
#include "mhasrelation.h"
#include "micontemplate.h"
#include "testdatabase.h"
#include "testmain.h"

namespace {

const QString kSamples = ":/graphengine/samples/";
const QByteArray kOld = "the old content, kept on a full disk\n";

// Writes path in the form its suffix names, from a sample drawing, icon or template.
bool writeAs(const QString& path, const QString& drawing)
{
    if (path.endsWith(".xco")) {
        MIconTemplate icon;
        return icon.ReadXmlFile(kSamples + "icon/breaker/{ddba31f8-e3d7-551f-abd7-9f36d6a6bcd8}.xco")
               && icon.WriteXmlFile(path);
    }
    if (path.endsWith(".xtp")) {
        MHasRelation container(MDrawObj::ObjTemplate);
        const QString sample = kSamples + QString::fromUtf8("template/style/标题栏.xtp");
        return container.LoadFile(sample) && container.SaveFile(path);
    }
    MGraphDoc doc;
    if (!drawing.isEmpty() && !doc.ReadXmlFile(kSamples + "pic/" + drawing))
        return false;
    doc.UpdateDataDefine();
    if (path.endsWith(".brg"))
        return doc.WriteDataFile(path);
    if (path.endsWith(".fg"))
        return doc.WriteDynamicDataFile(path);
    if (path.endsWith(".svg"))
        return doc.WriteSvgFile(path, true);
    return doc.WriteXmlFile(path);
}

// A transfer of the configured file server, as the synchronisation runs it.
bool transfer(bool upload, const QString& serverPath, const QString& local, QString& error)
{
    I_file_session* session = file_svrconn_manager::instance()->get_file_session();
    const QByteArray server = serverPath.toUtf8(), file = local.toUtf8();
    const int result = !session ? -1
                       : upload ? session->UploadFile(server.constData(), file.constData(), 0, 10000)
                                : session->DownloadFile(server.constData(), file.constData(), 0, 10000);
    error = QString("file server result %1").arg(result);
    return result >= 0;
}

// Where a disk fills up for a file of size bytes: half way, and at its last
// byte (which a buffered writer meets only when it flushes at the end).
QList<qint64> limits(qint64 size)
{
    return {size / 2, size - 1};
}

} // namespace

class tst_FullDisk : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    TestSupport::TestDatabase m_db;

    QString path(const QString& relative) const { return m_dir.filePath(relative); }
    // A fresh folder holding only file, with kOld in it.
    QString oldFile(const QString& folder, const QString& file)
    {
        QDir(path(folder)).removeRecursively();
        QDir().mkpath(path(folder));
        const QString target = path(folder + "/" + file);
        return Faults::writePlain(target, kOld) ? target : QString();
    }
    // A transfer under the limit fails, keeps the old local or server file, and leaves nothing else.
    void verifyTransferFails(bool upload, const QString& serverPath, const QString& local, const QString& kept)
    {
        const qint64 size = QFileInfo(upload ? local : path("server/" + serverPath)).size();
        for (const qint64 limit : limits(size)) {
            const Faults::LimitedRun run = Faults::runLimited(limit, [&](QString& error) {
                return transfer(upload, serverPath, local, error);
            });
            QVERIFY2(run.finished, qPrintable(run.error));
            QVERIFY2(!run.succeeded, qPrintable(QString("a transfer was reported as done, limit %1").arg(limit)));
            QCOMPARE(Faults::contents(kept), kOld);
            QCOMPARE(Faults::entries(QFileInfo(kept).absolutePath()), QStringList{QFileInfo(kept).fileName()});
        }
    }

private slots:
    void graphSavesFailAndKeepTheOldFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("drawing");
        // Small files sit whole in a buffered writer until it flushes at the end.
        for (const QString drawing : {"beijing_station.xrg", "overview.xrg"}) {
            for (const QString type : {"xrg", "brg", "fg", "svg"})
                QTest::addRow("%s as .%s", qPrintable(drawing), qPrintable(type)) << "1." + type << drawing;
        }
        QTest::newRow("an empty drawing as .svg") << "1.svg" << QString();
        QTest::newRow("icon file .xco") << "{u}.xco" << QString();
        QTest::newRow("template .xtp") << "t.xtp" << QString();
    }
    void graphSavesFailAndKeepTheOldFile()
    {
        // Guards against a save onto a full disk emptying the drawing it replaces and reporting success.
        QFETCH(QString, file);
        QFETCH(QString, drawing);
        const QString whole = path("whole/" + file);
        QVERIFY(QDir().mkpath(path("whole")) && writeAs(whole, drawing));
        const qint64 size = QFileInfo(whole).size();
        QVERIFY2(size > 2, qPrintable(QString::number(size)));
        const QString target = oldFile("pic", file);
        for (const qint64 limit : limits(size)) {
            const Faults::LimitedRun run =
                Faults::runLimited(limit, [&](QString&) { return writeAs(target, drawing); });
            QVERIFY2(run.finished, qPrintable(run.error));
            QVERIFY2(!run.succeeded, qPrintable(QString("a save was reported as done, limit %1").arg(limit)));
            QCOMPARE(Faults::contents(target), kOld);
            QCOMPARE(Faults::entries(path("pic")), QStringList{file});
        }
        // With room enough the same save goes through.
        const Faults::LimitedRun roomy = Faults::runLimited(size, [&](QString&) { return writeAs(target, drawing); });
        QVERIFY2(roomy.finished && roomy.succeeded, qPrintable(roomy.error));
        QCOMPARE(Faults::contents(target), Faults::contents(whole));
    }

    void directoryServerTransfersFail()
    {
        // Guards against store emptying the server copy, or fetch leaving half files, on a full disk.
        qputenv("TALMER_FILE_SERVER", path("server").toUtf8());
        const QByteArray drawing(10000, 'd');
        const QString local = oldFile("local", "1.xrg");
        QVERIFY(QDir().mkpath(path("upload")) && Faults::writePlain(path("upload/new.xrg"), drawing));
        const QString server = oldFile("server/pic/A", "1.xrg");
        verifyTransferFails(true, "pic/A/1.xrg", path("upload/new.xrg"), server);
        QVERIFY(QDir().mkpath(path("server/pic/B")) && Faults::writePlain(path("server/pic/B/1.xrg"), drawing));
        verifyTransferFails(false, "pic/B/1.xrg", local, local);
    }

    void ftpDownloadFails()
    {
        // Guards against a download onto a full disk committing a truncated drawing.
        QVERIFY(QDir().mkpath(path("ftp/pic")));
        TestSupport::FtpTestServer ftp(path("ftp"));
        TALMER_START_FTP(ftp);
        qputenv("TALMER_FILE_SERVER", ftp.url().toUtf8());
        QVERIFY(Faults::writePlain(path("ftp/pic/1.xrg"), QByteArray(10000, 'f')));
        const QString local = oldFile("ftplocal", "1.xrg");
        for (const qint64 limit : limits(10000)) {
            const Faults::LimitedRun run = Faults::runLimited(limit, [&](QString& error) {
                return transfer(false, "pic/1.xrg", local, error);
            });
            QVERIFY2(run.finished, qPrintable(run.error));
            QVERIFY2(!run.succeeded, qPrintable(QString("a download was reported as done, limit %1").arg(limit)));
            QCOMPARE(Faults::contents(local), kOld);
            QCOMPARE(Faults::entries(path("ftplocal")), QStringList{"1.xrg"});
        }
    }

    void siteInitFails_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<bool>("postgresOnly");
        // On PostgreSQL the library lives in the server, so site.env is the first file to hit the limit.
        // Room for the init's lock file (process, program and host name), not for site.env.
        QTest::newRow("site.env of an empty site") << QStringList() << qint64(160) << true;
        QTest::newRow("drawings and icons of the sample site") << QStringList{"--sample"} << qint64(1024) << false;
    }
    void siteInitFails()
    {
        // Guards against site init on a full disk writing an empty site.env (or half a site) and exiting 0.
        QFETCH(QStringList, options);
        QFETCH(qint64, limit);
        QFETCH(bool, postgresOnly);
        if (postgresOnly && !TestSupport::TestDatabase::isPostgres())
            QSKIP("on SQLite the library outgrows the limit before site.env is written");
        for (const QByteArray& name : TestSupport::DeployTree::configurationVariables())
            qunsetenv(name.constData());
        QStringList arguments{"site", "init", "site"};
        arguments << options;
        if (TestSupport::TestDatabase::isPostgres()) {
            const QString database = m_db.create(QString());
            if (database.isEmpty() && m_db.packageMissing())
                QSKIP(qPrintable(m_db.failure()));
            QVERIFY2(!database.isEmpty(), qPrintable(m_db.failure()));
            arguments << "--db" << database;
        }
        QTemporaryDir work;
        QProcess talmerctl;
        talmerctl.setWorkingDirectory(work.path());
        Faults::limitProcess(talmerctl, limit);
        talmerctl.start(qEnvironmentVariable("TALMERCTL"), arguments);
        QVERIFY2(talmerctl.waitForFinished(120000), qPrintable(talmerctl.errorString()));
        const QString err = QString::fromUtf8(talmerctl.readAllStandardError());
        QCOMPARE(talmerctl.exitStatus(), QProcess::NormalExit);
        QVERIFY2(talmerctl.exitCode() == 1, qPrintable(err));
        QVERIFY2(err.startsWith("talmerctl: ") && err.count('\n') == 1, qPrintable(err));
        if (postgresOnly)
            QVERIFY2(err.contains("site.env") && err.contains("too large", Qt::CaseInsensitive), qPrintable(err));
        QCOMPARE(Faults::entries(work.path()), QStringList());
    }
};

TALMER_TEST_MAIN(tst_FullDisk)
#include "tst_fulldisk.moc"
