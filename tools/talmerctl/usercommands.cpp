#include "usercommands.h"

#include "command.h"
#include "mhmiadmin.h"
#include "passwordreader.h"

namespace UserCommands {

namespace {

bool readPassword(const QString& user, QString& password)
{
    if (PasswordReader::Read("new password of " + user + ": ", true, password))
        return true;
    Command::failed("no password given for " + user + ", or the two entries differ");
    return false;
}

} // namespace

int add(const QStringList& arguments)
{
    Command command(arguments, "Adds a user; the password is read from the terminal or standard input.");
    command.addArgument("NAME", "The user's name.");
    command.addOption(QCommandLineOption("level", "The user's privilege level: pictures with a privilege code "
                                                  "up to N are shown (required).", "N"));
    command.addOption(QCommandLineOption("function", "Grant the function (of application MMI), e.g. \"graph view\"; "
                                                     "may be repeated.", "FUNCTION"));
    command.addOption(QCommandLineOption("area", "Make the user responsible for the area at every workstation "
                                                 "(0: all areas); may be repeated.", "N"));
    int level = 0;
    if (!command.parse(1, 1) || !command.intValue("level", 0, 1000, -1, level))
        return command.status();
    if (level < 0)
        return command.misused("--level is required");
    QList<int> areas;
    for (const QString& text : command.values("area")) {
        bool isNumber = false;
        areas << text.toInt(&isNumber);
        if (!isNumber || areas.last() < 0)
            return command.misused("--area takes a number, not '" + text + "'");
    }
    const QString user = command.name(0);
    if (MHmiAdmin::Users().contains(user))
        return Command::failed("the user " + user + " exists already");
    QString password;
    if (!readPassword(user, password))
        return Command::Failed;
    if (!MHmiAdmin::AddUser(user, password, level))
        return Command::failed("cannot add the user " + user);
    for (const QString& function : command.values("function")) {
        if (!MHmiAdmin::GrantFunction(user, "MMI", function))
            return Command::failed("cannot grant " + function + " to " + user);
    }
    for (int area : std::as_const(areas)) {
        if (!MHmiAdmin::AddResponsibility(user, "*", area))
            return Command::failed(QString("cannot make %1 responsible for area %2").arg(user).arg(area));
    }
    Command::print("added the user " + user);
    return Command::Done;
}

int passwd(const QStringList& arguments)
{
    Command command(arguments, "Sets a user's password, read from the terminal or standard input.");
    command.addArgument("NAME", "The user's name.");
    if (!command.parse(1, 1))
        return command.status();
    const QString user = command.name(0);
    if (!MHmiAdmin::Users().contains(user))
        return Command::failed("no user " + user);
    QString password;
    if (!readPassword(user, password))
        return Command::Failed;
    if (!MHmiAdmin::SetPassword(user, password))
        return Command::failed("cannot set the password of " + user);
    Command::print("changed the password of " + user);
    return Command::Done;
}

} // namespace UserCommands
