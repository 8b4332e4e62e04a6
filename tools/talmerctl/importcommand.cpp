#include "importcommand.h"

#include <QCollator>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <unistd.h>

#include "command.h"
#include "mdbaccesshelper.h"
#include "mdbinterfaceholder.h"
#include "mabstractdbinterface.h"
#include "mgraphdataaccess.h"
#include "mgraphdoc.h"

namespace ImportCommand {

namespace {

struct Outcome
{
    QString file;
    QString picture;
    int version = -1;
    QString error; // empty when imported
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

// Imports one drawing through a copy: the importer may rewrite its source.
Outcome importOne(const QString& application, const QString& type, const QString& file, const QString& name,
                  int mode, int keep, const QString& scratch)
{
    Outcome outcome{file, name.isEmpty() ? pictureNameFor(file) : name, -1, QString()};
    const QString problem = MDbAccessHelper::NameProblem(outcome.picture, MDbAccessHelper::PictureName);
    MGraphDoc doc;
    if (!problem.isEmpty()) {
        outcome.error = QString("'%1' cannot name a picture: %2").arg(outcome.picture, problem);
        return outcome;
    }
    if (!QFileInfo(file).isReadable() || !doc.ReadXmlFile(file)) {
        outcome.error = "cannot read the drawing " + file;
        return outcome;
    }
    // The folder's name matters to the importer (station names), so it is kept.
    const QString copy = QString("%1/%2/%3").arg(scratch, QFileInfo(file).absoluteDir().dirName(), QFileInfo(file).fileName());
    QDir().mkpath(QFileInfo(copy).absolutePath());
    QFile::remove(copy);
    if (!QFile::copy(file, copy)) {
        outcome.error = "cannot copy " + file;
        return outcome;
    }
    MGraphDataAccess* access = MGraphDataAccess::Instance();
    const int before = access->GetGraphLatestVersion(application, outcome.picture);
    MDBInterfaceHolder::Instance()->GetInterface()->ImportPictureFile(application, type, copy, mode, outcome.picture, keep);
    const int after = access->GetGraphLatestVersion(application, outcome.picture);
    const bool released = before >= 0 && mode == 1;
    if (after < 0 || (released && after != before + 1))
        outcome.error = "the import of " + file + " did not reach the library";
    else
        outcome.version = (before < 0 || mode == 0) ? 0 : after;
    return outcome;
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
        failures += !o.error.isEmpty();
        list.append(QJsonObject{{"file", o.file}, {"picture", o.picture}, {"version", o.version}, {"error", o.error}});
        if (command.json())
            continue;
        if (o.error.isEmpty())
            Command::print(QString("%1: %2").arg(o.picture, o.version == 0 ? QString("the draft") : QString("version %1").arg(o.version)));
        else
            QTextStream(stderr) << "talmerctl: " << o.error << "\n";
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
    command.addOption(QCommandLineOption("keep", "Keep only the N newest released versions, N at least 3 "
                                                 "(default 0: all); older versions leave the file server and "
                                                 "the library.", "N"));
    command.addOption(QCommandLineOption("name", "The picture's name, for a single drawing.", "NAME"));
    command.addJsonOption();
    int mode = 1, keep = 0;
    if (!command.parse(3, 3) || !command.intValue("mode", 0, 2, 1, mode) || !command.intValue("keep", 0, 1000000, 0, keep))
        return command.status();
    // Below 3 the library's retention keeps everything: refuse what it would not honour.
    if (keep == 1 || keep == 2)
        return command.misused("--keep takes 0 (keep all) or a number from 3 up, not " + QString::number(keep));
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
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return Command::failed("cannot make a scratch folder: " + scratch.errorString());

    const bool progress = source.isDir() && isatty(STDERR_FILENO);
    QList<Outcome> outcomes;
    for (const QString& file : files) {
        if (progress)
            showProgress(int(outcomes.size()), int(files.size()), pictureNameFor(file));
        outcomes << importOne(command.argument(0), command.argument(1), file, command.value("name"), mode, keep,
                              scratch.path());
    }
    if (progress) {
        showProgress(int(files.size()), int(files.size()), QString());
        QTextStream(stderr) << "\n";
    }
    return report(command, outcomes);
}

} // namespace ImportCommand
