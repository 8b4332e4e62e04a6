#include "checkcommand.h"

#include <QJsonArray>
#include <QJsonObject>

#include "command.h"
#include "sitecheck.h"

namespace CheckCommand {

namespace {

QString state(const CheckFinding& finding, bool repairing)
{
    if (finding.repaired)
        return "repaired";
    if (finding.fix == CheckFinding::NoFix)
        return "not repairable";
    return repairing ? "not repaired: " + finding.repairError : "repairable";
}

QJsonObject findingJson(const CheckFinding& finding, bool repairing)
{
    return QJsonObject{{"kind", finding.kind},
                       {"subject", finding.subject},
                       {"detail", finding.detail},
                       {"repairable", finding.fix != CheckFinding::NoFix},
                       {"repaired", finding.repaired},
                       {"state", state(finding, repairing)}};
}

int left(const SiteCheck& check)
{
    int count = 0;
    for (const CheckFinding& finding : check.findings())
        count += finding.repaired ? 0 : 1;
    return count;
}

void printText(const SiteCheck& check, bool repairing)
{
    for (const CheckFinding& finding : check.findings())
        Command::print(QString("%1: %2: %3 [%4]").arg(finding.kind, finding.subject, finding.detail,
                                                       state(finding, repairing)));
    const int problems = int(check.findings().size());
    Command::print(QString("checked %1 pictures, %2 versions, %3 files: %4 problems, %5 repaired, %6 left")
                       .arg(check.pictures())
                       .arg(check.versions())
                       .arg(check.files())
                       .arg(problems)
                       .arg(problems - left(check))
                       .arg(left(check)));
}

void printJson(const SiteCheck& check, bool repairing)
{
    QJsonArray findings;
    for (const CheckFinding& finding : check.findings())
        findings.append(findingJson(finding, repairing));
    Command::printJson(QJsonObject{{"pictures", check.pictures()},
                                   {"versions", check.versions()},
                                   {"files", check.files()},
                                   {"problems", findings},
                                   {"left", left(check)},
                                   {"clean", left(check) == 0}});
}

} // namespace

int run(const QStringList& arguments)
{
    Command command(arguments,
                    "Checks the site's consistency: the database's integrity; every picture version's files\n"
                    "present locally and on the file server, and alike; no duplicate versions or picture\n"
                    "names; no record without its fields; no version file that no record announces; no\n"
                    "temporary files or partial site folders left by interrupted writes (once untouched for\n"
                    "ten minutes). Exit status: 0 nothing found (or everything repaired), 1 problems found\n"
                    "or left, 2 a command line out of form.");
    command.addOption(QCommandLineOption(
        "repair", "Fix what can be fixed without guessing: upload a version's file missing on the file server "
                  "from a current local copy, fetch one missing locally, remove records that have no files "
                  "anywhere, remove stale temporary files, partial folders and unannounced version files. "
                  "The rest is listed."));
    command.addJsonOption();
    if (!command.parse(0, 0))
        return command.status();
    const bool repairing = command.isSet("repair");
    SiteCheck check(repairing);
    check.run();
    if (command.json())
        printJson(check, repairing);
    else
        printText(check, repairing);
    return left(check) == 0 ? Command::Done : Command::Failed;
}

} // namespace CheckCommand
