// File synchronisation: SynIconFiles over 3,000 up-to-date icons, and fetching
// 500 small files through one FTP session against curl fetching the same files
// in one process. Run: bench_filesync (needs python3-pyftpdlib and curl).
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include "benchharness.h"
#include "brelmmidataagent.h"
#include "ftptestserver.h"
#include "mfilesynchronize.h"
#include "sitebuilder.h"

namespace {

class Sync : public MFileSynchronize
{
public:
    Sync() = default;
};

void writeFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(path.left(path.lastIndexOf('/')));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(data);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("TALMER_TEST_SCRIPTS", TALMER_SCRIPTS_DIR);
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    const QString deploy = dir.filePath("deployment");
    qputenv("TALMER_DEPLOY_DIR", deploy.toUtf8());
    qunsetenv("TALMER_HMI_DB");

    // 30 icon types of 100 icons, every local file newer than its record.
    SiteGen::SiteBuilder site(BrelMmiDataAgent::Instance());
    BrelMmiDataAgent::Instance()->BeginTransaction();
    for (int t = 0; t < 30; ++t) {
        const QString type = site.iconType(QString("type%1").arg(t), t);
        for (int i = 0; i < 100; ++i) {
            const QString uuid = QString("{%1-%2}").arg(t).arg(i);
            site.icon(type, QString("icon%1").arg(i), uuid, "2020-01-01T00:00:00");
            writeFile(QString("%1/icon/type%2/%3.xco").arg(deploy).arg(t).arg(uuid), "<icontemplate/>");
        }
    }
    BrelMmiDataAgent::Instance()->CommitTransaction();

    const QString why = TestSupport::FtpTestServer::unavailableReason();
    if (!why.isEmpty()) {
        out << "no FTP server: " << why << Qt::endl;
        return 1;
    }
    TestSupport::FtpTestServer server(dir.filePath("server"));
    server.start();
    qputenv("TALMER_FILE_SERVER", server.url("/base").toUtf8());
    Sync sync;

    const double syncMicros = Bench::medianMicros([&] { sync.SynIconFiles(); }, 10);
    const double statMicros = Bench::medianMicros([&] {
        int n = 0;
        for (int t = 0; t < 30; ++t)
            for (int i = 0; i < 100; ++i)
                n += QFileInfo(QString("%1/icon/type%2/{%3-%4}.xco").arg(deploy).arg(t).arg(t).arg(i))
                         .lastModified()
                         .isValid();
        return n;
    }, 10);
    Bench::report("SynIconFiles, 3,000 up-to-date icons (baseline: stat)", syncMicros, statMicros, 5.0);
    Bench::reportAbsolute("SynIconFiles, 3,000 up-to-date icons", syncMicros, 1000000);

    // 500 small files on the server, fetched by us and by curl.
    QStringList curlConfig;
    for (int i = 0; i < 500; ++i) {
        writeFile(QString("%1/base/pic/A/P%2/0.xrg").arg(server.root()).arg(i), QByteArray(2000, 'x'));
        curlConfig << QString("url = \"%1/pic/A/P%2/0.xrg\"\noutput = \"%3/curl/%2.xrg\"")
                          .arg(server.url("/base"))
                          .arg(i)
                          .arg(dir.path());
    }
    writeFile(dir.filePath("curl.cfg"), curlConfig.join('\n').toUtf8());
    QDir().mkpath(dir.filePath("curl"));
    QElapsedTimer timer;
    timer.start();
    int failed = 0;
    for (int i = 0; i < 500; ++i)
        failed += sync.GetFile(QString("%1/pic/A/P%2/0.xrg").arg(deploy).arg(i)) < 0;
    const double oursSecs = timer.nsecsElapsed() / 1e9;
    timer.restart();
    QProcess curl;
    curl.start("curl", {"-s", "-S", "-K", dir.filePath("curl.cfg")});
    curl.waitForFinished(300000);
    const double curlSecs = timer.nsecsElapsed() / 1e9;
    out << QString("%1  %2 files/s  curl %3 files/s  ratio %4  (%5 failed)")
               .arg("GetFile x 500 over FTP, one session", -58)
               .arg(500 / oursSecs, 0, 'f', 0)
               .arg(500 / curlSecs, 0, 'f', 0)
               .arg((500 / oursSecs) / (500 / curlSecs), 0, 'f', 2)
               .arg(failed)
        << Qt::endl;
    return failed == 0 && curl.exitCode() == 0 ? 0 : 1;
}
