// talmerctl: the graph library from a shell.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QTextStream>

#include <unistd.h>

#include "checkcommand.h"
#include "command.h"
#include "databaseurl.h"
#include "diffcommand.h"
#include "filecommands.h"
#include "importcommand.h"
#include "librarycommands.h"
#include "librarylog.h"
#include "mergecommands.h"
#include "notebookcommand.h"
#include "reportcommand.h"
#include "siteenvironment.h"
#include "sitecommands.h"
#include "talmerversion.h"
#include "usercommands.h"

namespace {

int printVersion(const QStringList& arguments)
{
    Command command(arguments, "Prints the library's version and what it carries.");
    command.addJsonOption();
    if (!command.parse(0, 0))
        return command.status();
    int images = 0;
    for (QDirIterator it(":/icon", QDirIterator::Subdirectories); it.hasNext(); it.next())
        ++images;
    if (command.json()) {
        Command::printJson(QJsonObject{{"library", TalmerLibraryVersion()}, {"qt", qVersion()}, {"embeddedImages", images}});
    } else {
        Command::print(QString("talmer %1 (Qt %2)").arg(TalmerLibraryVersion(), qVersion()));
        Command::print(QString("embedded images: %1").arg(images));
    }
    return Command::Done;
}

struct Entry
{
    const char* name;
    const char* subcommand; // null: none
    int (*run)(const QStringList&);
    bool needsLibrary;
    const char* summary; // null: not listed
};

const Entry kCommands[] = {
    {"site", "init", SiteCommands::init, false, "create a site (--sample, --large, --db URL)"},
    {"site-build", nullptr, SiteCommands::build, false, nullptr},
    {"tree", nullptr, LibraryCommands::tree, true, "the applications, types, pictures and versions"},
    {"search", nullptr, LibraryCommands::search, true, "pictures by name or Pinyin initials"},
    {"latest", nullptr, LibraryCommands::latest, true, "the latest version of a picture (--fetch)"},
    {"version-at", nullptr, LibraryCommands::versionAt, true, "the version of a picture valid at a time"},
    {"info", nullptr, LibraryCommands::info, true, "a picture's privileges, area and versions"},
    {"import", nullptr, ImportCommand::run, true, "drawings into the library"},
    {"sync", nullptr, FileCommands::sync, true, "fetch outdated icon (icons) or configuration (config) files"},
    {"fetch", nullptr, FileCommands::fetch, true, "a file from the file server"},
    {"store", nullptr, FileCommands::store, true, "a file onto the file server"},
    {"user", "add", UserCommands::add, true, "add a user"},
    {"user", "passwd", UserCommands::passwd, true, "change a user's password"},
    {"notebook", "show", NoteBookCommand::show, true, "the workstation's graph options and lists"},
    {"export", nullptr, MergeCommands::exportLibrary, true, "an application's library records to a file"},
    {"merge", nullptr, MergeCommands::merge, true, "another site's export file into an application (--dry-run)"},
    {"diff", nullptr, DiffCommand::run, true, "what changed between two editions of a picture (--json, --png)"},
    {"check", nullptr, CheckCommand::run, true, "the site's consistency (--repair fixes what it safely can)"},
    {"report", "workstations", ReportCommand::workstations, true, "which version of each file the workstations hold"},
    {"version", nullptr, printVersion, false, "the library's version"},
};

void printUsage()
{
    QTextStream out(stdout);
    out << "usage: talmerctl [--site DIR] [--verbose] COMMAND [options]\n\n"
           "  --site DIR   work on the site in DIR (else on the environment: TALMER_DEPLOY_DIR, ...)\n"
           "  --verbose    show the library's log messages\n\n"
           "commands (each has --help):\n";
    for (const Entry& entry : kCommands) {
        if (!entry.summary)
            continue;
        const QString name = QString(entry.name) + (entry.subcommand ? QString(" ") + entry.subcommand : QString());
        out << "  " << name.leftJustified(21) << entry.summary << "\n";
    }
}

// Takes the tool's own options out of the arguments, wherever they stand.
bool takeGlobalOptions(QStringList& arguments, QString& site, bool& verbose)
{
    for (int i = 1; i < arguments.size();) {
        const QString argument = arguments.at(i);
        if (argument == "--verbose" || argument == "-v") {
            verbose = true;
            arguments.removeAt(i);
        } else if (argument.startsWith("--site=")) {
            site = argument.mid(7);
            arguments.removeAt(i);
        } else if (argument == "--site") {
            if (i + 1 >= arguments.size())
                return false;
            site = arguments.at(i + 1);
            arguments.remove(i, 2);
        } else {
            ++i;
        }
    }
    return true;
}

const Entry* findEntry(const QStringList& arguments, int& consumed)
{
    const QString name = arguments.value(1), subcommand = arguments.value(2);
    for (const Entry& entry : kCommands) {
        if (name != entry.name)
            continue;
        if (!entry.subcommand) {
            consumed = 1;
            return &entry;
        }
        if (subcommand == entry.subcommand) {
            consumed = 2;
            return &entry;
        }
    }
    return nullptr;
}

void prepareProcess()
{
    // A command-line program: draw off screen, and give Qt the private runtime
    // directory it would otherwise complain about.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QDir::tempPath() + "/runtime-talmerctl-" + QString::number(getuid());
        if (QDir().mkpath(runtime)) {
            QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    prepareProcess();
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName("talmerctl");
    QCoreApplication::setApplicationVersion(TalmerLibraryVersion());

    QStringList arguments = app.arguments();
    // A password given in a URL leaves the process's command line at once.
    DatabaseUrl::ScrubArguments(argc, argv);
    QString site;
    bool verbose = qEnvironmentVariableIsSet("TALMERCTL_VERBOSE");
    if (!takeGlobalOptions(arguments, site, verbose)) {
        QTextStream(stderr) << "talmerctl: --site needs a folder (see talmerctl --help)\n";
        return Command::Misused;
    }
    // The library logs for developers; a shell user gets one line per failure,
    // which says why when the library's messages tell.
    if (verbose)
        qputenv("TALMERCTL_VERBOSE", "1");
    else
        QLoggingCategory::setFilterRules("*.debug=false\n*.info=false");
    LibraryLog::Install(verbose);

    const QString name = arguments.value(1);
    if (name.isEmpty()) {
        QTextStream(stderr) << "talmerctl: missing command (see talmerctl --help)\n";
        return Command::Misused;
    }
    if (name == "--help" || name == "-h" || name == "help") {
        printUsage();
        return Command::Done;
    }
    int consumed = 0;
    const Entry* entry = findEntry(arguments, consumed);
    if (!entry) {
        const QString shown = arguments.mid(1, 2).join(' ');
        QTextStream(stderr) << "talmerctl: unknown command '" << shown << "' (see talmerctl --help)\n";
        return Command::Misused;
    }
    if (entry->needsLibrary) {
        Command::SetPrecondition([site](QString& error) {
            return (site.isEmpty() || SiteEnvironment::Load(site, error)) && SiteEnvironment::CheckLibrary(error);
        });
    }
    // Each command parses its own options; its name stays in the program name.
    QStringList commandArguments = arguments.mid(consumed);
    commandArguments[0] = "talmerctl " + arguments.mid(1, consumed).join(' ');
    return entry->run(commandArguments);
}
