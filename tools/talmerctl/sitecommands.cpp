#include "sitecommands.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

#include "brelmmidataagent.h"
#include "command.h"
#include "databaseurl.h"
#include "largesite.h"
#include "librarystate.h"
#include "mdeploypaths.h"
#include "mfilesynchronize.h"
#include "partialfolders.h"
#include "safefile.h"
#include "samplesite.h"
#include "siteenvironment.h"
#include "sitebuilder.h"

namespace SiteCommands {

namespace {

const QCommandLineOption kSample("sample", "Fill the site with the sample library.");
const QCommandLineOption kLarge("large", "Fill the site with the large library of the benchmarks.");

QStringList kindArguments(const Command& command)
{
    if (command.isSet("sample"))
        return {"--sample"};
    if (command.isSet("large"))
        return {"--large"};
    return {};
}

// What a folder holds that stops a site from being made there; empty when
// nothing does.
QString obstacle(const QString& target, const QString& shown)
{
    const QFileInfo info(target);
    if (!info.exists())
        return QFileInfo(info.absolutePath()).isDir() ? QString() : "the folder " + info.absolutePath() + " does not exist";
    if (!info.isDir())
        return shown + " exists and is not a folder";
    if (SiteEnvironment::IsSite(target))
        return shown + " is already a site";
    if (!QDir(target).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
        return shown + " exists and is not a site";
    return {};
}

void printResult(const Command& command, const QString& target, QMap<QString, QString> environment,
                 const QJsonObject& built, const QStringList& removed)
{
    // A password in the database URL is never shown.
    environment["TALMER_HMI_DB"] = DatabaseUrl::Masked(environment["TALMER_HMI_DB"]);
    const QJsonArray users = built["users"].toArray();
    if (command.json()) {
        QJsonObject env;
        for (auto it = environment.cbegin(); it != environment.cend(); ++it)
            env[it.key()] = it.value();
        Command::printJson(QJsonObject{{"site", target},
                                       {"environment", env},
                                       {"users", users},
                                       {"removedLeftovers", QJsonArray::fromStringList(removed)}});
        return;
    }
    for (const QString& folder : removed)
        Command::print("removed " + folder + ", left by an interrupted site init");
    Command::print("created the site " + target);
    if (!users.isEmpty()) {
        Command::print("users (their passwords are shown only now):");
        for (const QJsonValue& user : users)
            Command::print(QString("  %1  %2").arg(user["name"].toString(), -10).arg(user["password"].toString()));
    }
    Command::print("environment of the site's hosts (also in " + QDir(target).filePath(SiteEnvironment::FileName()) + "):");
    for (auto it = environment.cbegin(); it != environment.cend(); ++it)
        Command::print(QString("export %1=%2").arg(it.key(), SiteEnvironment::ShellQuoted(it.value())));
}

// Runs the child that fills the site; its one-line error goes straight to our
// standard error.
bool runBuilder(const Command& command, const QMap<QString, QString>& environment, QJsonObject& built)
{
    QProcessEnvironment childEnvironment = QProcessEnvironment::systemEnvironment();
    for (auto it = environment.cbegin(); it != environment.cend(); ++it)
        childEnvironment.insert(it.key(), it.value());
    QProcess child;
    child.setProcessEnvironment(childEnvironment);
    // The builder must not outlive an init that was killed: it would go on
    // filling a library and a folder that nobody moves into place.
    const pid_t parent = getpid();
    child.setChildProcessModifier([parent] {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent)
            _exit(1);
    });
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), QStringList{"site-build"} + kindArguments(command));
    if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit) {
        Command::failed("building the site failed: " + (child.exitStatus() == QProcess::CrashExit
                                                            ? QString("the builder was killed")
                                                            : child.errorString()));
        return false;
    }
    if (child.exitCode() != 0)
        return false;
    built = QJsonDocument::fromJson(child.readAllStandardOutput()).object();
    return true;
}

bool fillLarge(MSqlDataAgent& agent, QString& error)
{
    error = SiteGen::generateLargeSite(agent).error;
    QFile sample(":/graphengine/samples/icon/breaker/{ddba31f8-e3d7-551f-abd7-9f36d6a6bcd8}.xco");
    if (error.isEmpty() && !sample.open(QIODevice::ReadOnly))
        error = "the engine carries no sample icon";
    if (!error.isEmpty())
        return false;
    const QByteArray content = sample.readAll();
    for (const QString& relative : SiteGen::largeSiteIconFiles()) {
        const QString path = MDeployPaths::Root() + "/" + relative;
        QDir().mkpath(QFileInfo(path).absolutePath());
        // Complete on disk before it is stored: the upload reads it by name.
        QString why;
        if (!SafeFile::WriteFile(path, content, &why))
            error = "cannot write " + path + ": " + why;
        else if (MFileSynchronize::Instance()->SaveFile(path) < 0)
            error = "cannot store " + path + " on the file server";
        if (!error.isEmpty())
            return false;
    }
    return true;
}

bool fillPlain(MSqlDataAgent& agent, QString& error)
{
    SiteGen::SiteBuilder site(&agent);
    site.node("node1");
    site.globalDefine("UpdateDBWait", "0");
    error = site.errors();
    return site.ok();
}

// True when the library may be filled: it is empty, or a build of it was
// interrupted (then it is emptied first).
bool takeLibrary(MSqlDataAgent& agent, const QString& shown, QString& error)
{
    switch (SiteGen::LibraryState::Of(agent)) {
    case SiteGen::LibraryState::Empty:
        return true;
    case SiteGen::LibraryState::Building:
        if (SiteGen::LibraryState::Clear(agent, error))
            return true;
        error = "cannot replace the half-built library in the HMI database " + shown + ": " + error;
        return false;
    default:
        error = "the HMI database " + shown + " already holds a library";
        return false;
    }
}

} // namespace

int init(const QStringList& arguments)
{
    Command command(arguments, "Creates a site: an HMI database, a deployment tree and a directory file server.\n"
                               "Without --sample or --large the library holds only the node \"node1\".");
    command.addArgument("DIR", "The folder of the new site: a new or an empty one.");
    command.addOption(kSample);
    command.addOption(kLarge);
    command.addOption(QCommandLineOption("db", "Use the PostgreSQL database at URL (postgresql://user@host/name); "
                                               "it must hold no library yet.", "URL"));
    command.addJsonOption();
    if (!command.parse(1, 1))
        return command.status();
    if (command.isSet("sample") && command.isSet("large"))
        return command.misused("--sample and --large exclude each other");
    const QString database = command.value("db");
    if (command.isSet("db") && !database.startsWith("postgresql://"))
        return command.misused("--db takes a postgresql:// URL");

    const QString target = QDir::cleanPath(QFileInfo(command.argument(0)).absoluteFilePath());
    const QString why = obstacle(target, command.argument(0));
    if (!why.isEmpty())
        return Command::failed(why);
    QStringList removed, stuck;
    PartialFolders::RemoveStale(target, removed, stuck);
    if (!stuck.isEmpty())
        return Command::failed("cannot remove " + stuck.first() + ", left by an interrupted site init");
    const QFileInfo info(target);
    QTemporaryDir partial(PartialFolders::Template(target));
    if (!partial.isValid())
        return Command::failed("cannot make a folder in " + info.absolutePath() + ": " + partial.errorString());
    const std::unique_ptr<QLockFile> lock = PartialFolders::Lock(partial.path());
    if (!lock)
        return Command::failed("cannot lock " + partial.path());

    QJsonObject built;
    if (!runBuilder(command, SiteEnvironment::For(partial.path(), database), built))
        return Command::Failed;
    QString error;
    // The hosts find the password where libpq finds it, when it is there.
    const QString stored = DatabaseUrl::PasswordSuppliedElsewhere(database) ? DatabaseUrl::WithoutPassword(database)
                                                                            : database;
    const QMap<QString, QString> environment = SiteEnvironment::For(target, stored);
    if (!SiteEnvironment::Write(QDir(partial.path()).filePath(SiteEnvironment::FileName()), environment, error))
        return Command::failed(error);
    if (info.exists() && !QDir().rmdir(target))
        return Command::failed("cannot replace the empty folder " + command.argument(0));
    if (!QDir().rename(partial.path(), target))
        return Command::failed("cannot move the new site to " + target);
    partial.setAutoRemove(false);
    // The lock moved with the folder; the site does not keep it.
    QFile::remove(QDir(target).filePath(PartialFolders::LockName()));
    // The scratch folder was private; the site is as open as any new folder.
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                      | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    printResult(command, target, environment, built, removed);
    return Command::Done;
}

int build(const QStringList& arguments)
{
    Command command(arguments, "Fills the configured empty library (used by site init).");
    command.addOption(kSample);
    command.addOption(kLarge);
    if (!command.parse(0, 0))
        return command.status();
    if (!QDir().mkpath(qEnvironmentVariable("TALMER_DEPLOY_DIR"))
        || !QDir().mkpath(qEnvironmentVariable("TALMER_FILE_SERVER")))
        return Command::failed("cannot make the site's folders");
    const QString database = BrelMmiDataAgent::ConfiguredDatabase();
    // The agent never creates a database it is pointed at; a new site makes its own.
    MSqlDataAgent creator;
    if (!creator.Open(database, MSqlDataAgent::OpenMode::CreateIfMissing))
        return Command::failedWithReason("cannot create the HMI database " + SiteEnvironment::DatabaseName(database));
    creator.Close();
    BrelMmiDataAgent* agent = BrelMmiDataAgent::Instance();
    if (!agent->Connect(database))
        return Command::failedWithReason("cannot open the HMI database " + SiteEnvironment::DatabaseName(database));
    QString error;
    if (!takeLibrary(*agent, SiteEnvironment::DatabaseName(database), error) || !SiteGen::LibraryState::MarkBuilding(*agent))
        return Command::failed(error.isEmpty() ? "cannot write to the HMI database" : error);

    QJsonArray users;
    if (command.isSet("sample")) {
        SiteGen::SampleSite site;
        if (!site.build())
            return Command::failed(site.error());
        for (const auto& user : site.users())
            users.append(QJsonObject{{"name", user.first}, {"password", user.second}});
    } else if (command.isSet("large") ? !fillLarge(*agent, error) : !fillPlain(*agent, error)) {
        return Command::failed(error);
    }
    // Last: only a library carrying this mark is whole.
    if (!SiteGen::LibraryState::MarkComplete(*agent))
        return Command::failedWithReason("cannot mark the library complete");
    Command::printJson(QJsonObject{{"users", users}});
    return Command::Done;
}

} // namespace SiteCommands
