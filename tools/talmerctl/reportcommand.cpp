#include "reportcommand.h"

#include "command.h"
#include "mdbinterfaceholder.h"
#include "workstationreport.h"

namespace ReportCommand {

namespace {

constexpr int kNameWidth = 16;
constexpr int kSummaryWidth = 26;

QString scopeText(const WorkstationReport& report)
{
    if (!report.Picture().isEmpty())
        return QString("picture %1 of %2").arg(report.Picture(), report.Application());
    if (!report.Application().isEmpty())
        return "application " + report.Application();
    return QStringLiteral("the whole library");
}

QString count(const WorkstationScan::Result& result, WorkstationScan::FileState state)
{
    return result.state == WorkstationScan::Unreachable ? QStringLiteral("-") : QString::number(result.count(state));
}

QString copyText(const WorkstationScan::HeldFile& held)
{
    const QString copy = held.modified.isValid() ? held.modified.toLocalTime().toString(Qt::ISODate) : QString("-");
    return QString("copy %1, record %2").arg(copy, held.file.recordTime.isEmpty() ? "-" : held.file.recordTime);
}

// A row per workstation; below it the files that are not current, and why a
// workstation could not be read.
void printTable(const WorkstationReport& report)
{
    Command::print(QString("%1 files of %2 on %3 workstations")
                       .arg(QString::number(report.Files().size()), scopeText(report),
                            QString::number(report.Results().size())));
    if (report.Results().isEmpty()) {
        Command::print("no other workstation in the node list");
        return;
    }
    Command::print(QString("WORKSTATION").leftJustified(kNameWidth) + " " + QString("STATE").leftJustified(kSummaryWidth)
                   + " current  stale  missing");
    for (const WorkstationScan::Result& result : report.Results()) {
        // Names and paths are put together, never passed through arg() twice.
        Command::print(result.workstation.leftJustified(kNameWidth) + " " + result.summary().leftJustified(kSummaryWidth)
                       + " " + count(result, WorkstationScan::Current).leftJustified(7) + "  "
                       + count(result, WorkstationScan::Stale).leftJustified(5) + "  "
                       + count(result, WorkstationScan::Missing));
        if (!result.error.isEmpty())
            Command::print("    " + result.error);
        if (result.state == WorkstationScan::Unreachable)
            continue;
        for (const WorkstationScan::HeldFile& held : result.files) {
            if (held.state == WorkstationScan::Current)
                continue;
            const QString detail = held.state == WorkstationScan::Stale ? "  " + copyText(held) : QString();
            Command::print("    " + WorkstationScan::StateName(held.state).leftJustified(9) + " " + held.file.path + detail);
        }
    }
}

} // namespace

int workstations(const QStringList& arguments)
{
    Command command(arguments,
                    "Reports which version of the library's files each workstation holds: for every\n"
                    "workstation of the node list (but this one), the picture files (latest version and\n"
                    "draft: .brg and .fg), and without APP also the icon and configuration files, each\n"
                    "current, stale (older than its record), missing, or unchecked. Read from the\n"
                    "workstations' FTP servers by listings only; nothing is changed there. A workstation\n"
                    "that does not answer within a short time is reported unreachable.\n\n"
                    "Exit status: 0 when the report was made, even if it shows stale, missing or\n"
                    "unreachable workstations; 1 when the library cannot be read; 2 on a wrong command\n"
                    "line or an unknown application or picture.");
    command.addArgument("APP", "Only the pictures of this application.", "[APP");
    command.addArgument("PICTURE", "Only this picture of APP.", "[PICTURE]]");
    command.addOption(QCommandLineOption("wait", "How long a workstation may take to answer (ms, default 1500).", "MS"));
    command.addJsonOption();
    if (!command.parse(0, 2))
        return command.status();
    WorkstationScan::Limits limits;
    if (!command.intValue("wait", 100, 60000, limits.connectMs, limits.connectMs))
        return command.status();
    WorkstationReport report;
    QString error;
    const WorkstationFiles::Outcome outcome =
        report.Prepare(MDBInterfaceHolder::Instance()->GetInterface(), command.name(0), command.name(1), error);
    if (outcome == WorkstationFiles::NoApplication || outcome == WorkstationFiles::NoPicture)
        return command.misused(error);
    if (outcome != WorkstationFiles::Read)
        return Command::failedWithReason(error);
    report.Run(limits);
    if (command.json())
        Command::printJson(report.ToJson());
    else
        printTable(report);
    return Command::Done;
}

} // namespace ReportCommand
