#include "importcommand.h"

#include <QCollator>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTextStream>

#include <algorithm>
#include <unistd.h>

#include "command.h"
#include "mdbinterfaceholder.h"
#include "mabstractdbinterface.h"
#include "mgraphdataaccess.h"
#include "mpictureimporter.h"

namespace ImportCommand {

namespace {

struct Outcome
{
    QString file;
    QString picture;
    int version = -1;
    QStringList errors;   // empty when imported
    QStringList warnings; // imported, with something left over
};

// A drawing named after its picture ("北京站.xrg") or a version file of a
// graph store ("北京站/3.xrg").
QString pictureNameFor(const QString& file)
{
    static const QRegularExpression number("^\\d+$");
    const QFileInfo info(file);
    return number.match(info.completeBaseName()).hasMatch() ? info.absoluteDir().dirName() : info.completeBaseName();
}

QStringList drawingsIn(const QString& directory)
{
    QStringList files;
    for (QDirIterator it(directory, {"*.xrg"}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        files << it.next();
    QCollator order;
    order.setNumericMode(true);
    std::sort(files.begin(), files.end(), order);
    return files;
}

void showProgress(int done, int total, const QString& picture)
{
    constexpr int kWidth = 30;
    const int filled = total ? done * kWidth / total : kWidth;
    QTextStream(stderr) << "\r[" << QString(filled, '#') << QString(kWidth - filled, '.') << "] " << done << "/"
                        << total << "  " << picture.left(30).leftJustified(30) << Qt::flush;
}

// Imports one drawing; the importer says how it went.
Outcome importOne(const QString& application, const QString& type, const QString& file, const QString& name,
                  int mode, int keep)
{
    const QString picture = name.isEmpty() ? pictureNameFor(file) : name;
    MDBInterfaceHolder::Instance()->GetInterface()->ImportPictureFile(application, type, file, mode, picture, keep);
    const MPictureImporter::Result result = MPictureImporter::LastResult();
    QStringList errors = result.errors;
    // The engine logs why a drawing does not read (which limit it passed, or that it is none).
    for (QString& line : errors) {
        if (line.startsWith("cannot read the drawing"))
            line = Command::withReason(line);
    }
    if (!result.ok && errors.isEmpty())
        errors << "the import of " + file + " did not reach the library";
    return {file, picture, result.ok ? result.version : -1, errors, result.warnings};
}

QString applicationProblem(const QString& application, const QString& type)
{
    QStringList names, identifiers;
    MGraphDataAccess::Instance()->GeGraphApplications(names, identifiers);
    if (!names.contains(application))
        return QString("no application '%1'").arg(application);
    if (!MGraphDataAccess::Instance()->GetGraphTypes(application, false).contains(type))
        return QString("no picture type '%1' in application '%2'").arg(type, application);
    return {};
}

int report(const Command& command, const QList<Outcome>& outcomes)
{
    int failures = 0;
    QJsonArray list;
    for (const Outcome& o : outcomes) {
        failures += !o.errors.isEmpty();
        list.append(QJsonObject{{"file", o.file}, {"picture", o.picture}, {"version", o.version},
                                {"error", o.errors.join("; ")}, {"warnings", QJsonArray::fromStringList(o.warnings)}});
        if (command.json())
            continue;
        if (o.errors.isEmpty())
            Command::print(QString("%1: %2").arg(o.picture, o.version == 0 ? QString("the draft") : QString("version %1").arg(o.version)));
        for (const QString& line : o.errors + o.warnings)
            QTextStream(stderr) << "talmerctl: " << line << "\n";
    }
    if (command.json())
        Command::printJson(list);
    else if (outcomes.size() > 1)
        Command::print(QString("imported %1 of %2 drawings").arg(outcomes.size() - failures).arg(outcomes.size()));
    return failures ? Command::Failed : Command::Done;
}

} // namespace

int run(const QStringList& arguments)
{
    Command command(arguments, "Imports a drawing (.xrg), or every drawing below a folder, into picture type\n"
                               "TYPE of application APP. A drawing names its picture (\"北京站.xrg\"), or its\n"
                               "folder does when the file is a version (\"北京站/3.xrg\"). The source files\n"
                               "stay as they are.");
    command.addArgument("APP", "The application.");
    command.addArgument("TYPE", "The picture type.");
    command.addArgument("SOURCE", "A drawing, or a folder of drawings.", "FILE|DIR");
    command.addOption(QCommandLineOption("mode", "0 replaces the draft, 1 releases a new version (the default), "
                                                 "2 overwrites the latest version. A new picture gets a draft.", "N"));
    command.addOption(QCommandLineOption("keep", "Keep only the N newest released versions: older ones leave the "
                                                 "library, the file server and this workstation (default: all; N is "
                                                 "at least 2, with --mode 1 at least 3, the new version included).",
                                         "N"));
    command.addOption(QCommandLineOption("name", "The picture's name, for a single drawing.", "NAME"));
    command.addJsonOption();
    int mode = 1, keep = 0;
    if (!command.parse(3, 3) || !command.intValue("mode", 0, 2, 1, mode) || !command.intValue("keep", 0, 1000000, 0, keep))
        return command.status();
    // The retention keeps everything below these; refuse rather than ignore.
    const int fewestKept = mode == 1 ? 3 : 2;
    if (keep > 0 && keep < fewestKept)
        return command.misused(QString("--keep %1 cannot be honoured: keep at least %2 versions with --mode %3")
                                   .arg(keep)
                                   .arg(fewestKept)
                                   .arg(mode));
    const QFileInfo source(command.argument(2));
    if (!source.exists())
        return Command::failed("cannot read " + command.argument(2) + ": no such file or folder");
    if (source.isDir() && command.isSet("name"))
        return command.misused("--name is for a single drawing");
    const QString problem = applicationProblem(command.argument(0), command.argument(1));
    if (!problem.isEmpty())
        return Command::failed(problem);
    const QStringList files = source.isDir() ? drawingsIn(source.absoluteFilePath()) : QStringList{source.absoluteFilePath()};
    if (files.isEmpty())
        return Command::failed("no drawings (.xrg) below " + command.argument(2));

    const bool progress = source.isDir() && isatty(STDERR_FILENO);
    QList<Outcome> outcomes;
    for (const QString& file : files) {
        if (progress)
            showProgress(int(outcomes.size()), int(files.size()), pictureNameFor(file));
        outcomes << importOne(command.argument(0), command.argument(1), file, command.value("name"), mode, keep);
    }
    if (progress) {
        showProgress(int(files.size()), int(files.size()), QString());
        QTextStream(stderr) << "\n";
    }
    return report(command, outcomes);
}

} // namespace ImportCommand
