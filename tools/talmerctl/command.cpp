#include "command.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include "librarylog.h"

std::function<bool(QString&)> Command::s_precondition;

void Command::SetPrecondition(const std::function<bool(QString&)>& precondition)
{
    s_precondition = precondition;
}

Command::Command(const QStringList& arguments, const QString& description) : m_arguments(arguments)
{
    m_parser.setApplicationDescription(description);
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    m_parser.addHelpOption();
}

void Command::addArgument(const QString& name, const QString& help, const QString& syntax)
{
    m_parser.addPositionalArgument(name, help, syntax);
}

void Command::addOption(const QCommandLineOption& option)
{
    m_parser.addOption(option);
}

void Command::addJsonOption()
{
    m_parser.addOption(QCommandLineOption("json", "Print the result as JSON."));
    m_hasJson = true;
}

bool Command::parse(int minArguments, int maxArguments)
{
    if (!m_parser.parse(m_arguments)) {
        QString error = m_parser.errorText();
        if (error.endsWith('.'))
            error.chop(1);
        misused(error);
        return false;
    }
    if (m_parser.isSet("help")) {
        // The parser names the program only; the subcommand belongs in the usage line.
        QString help = m_parser.helpText();
        const int options = help.indexOf(" [options]");
        if (help.startsWith("Usage: ") && options > 0)
            help = "Usage: " + m_arguments.value(0) + help.mid(options);
        QTextStream(stdout) << help;
        m_status = Done;
        return false;
    }
    // An empty value would quietly mean "not given" further on.
    for (const QString& option : m_parser.optionNames()) {
        if (m_parser.values(option).contains(QString())) {
            misused("--" + option + " needs a value that is not empty");
            return false;
        }
    }
    const int count = argumentCount();
    if (count < minArguments) {
        misused("missing arguments");
        return false;
    }
    if (maxArguments >= 0 && count > maxArguments) {
        misused("unexpected argument '" + argument(maxArguments) + "'");
        return false;
    }
    QString error;
    if (s_precondition && !s_precondition(error)) {
        m_status = failed(error);
        return false;
    }
    return true;
}

bool Command::intValue(const QString& option, int min, int max, int fallback, int& out)
{
    if (!isSet(option)) {
        out = fallback;
        return true;
    }
    bool isNumber = false;
    out = value(option).toInt(&isNumber);
    if (isNumber && out >= min && out <= max)
        return true;
    misused(QString("--%1 takes a number from %2 to %3, not '%4'").arg(option).arg(min).arg(max).arg(value(option)));
    return false;
}

int Command::misused(const QString& message)
{
    QTextStream(stderr) << "talmerctl: " << message << " (see " << m_arguments.value(0) << " --help)\n";
    m_status = Misused;
    return Misused;
}

int Command::failed(const QString& message)
{
    QTextStream(stderr) << "talmerctl: " << message << "\n";
    return Failed;
}

QString Command::withReason(const QString& message)
{
    const QString reason = LibraryLog::Reason();
    return reason.isEmpty() ? message : message + ": " + reason;
}

int Command::failedWithReason(const QString& message)
{
    return failed(withReason(message));
}

void Command::print(const QString& line)
{
    QTextStream(stdout) << line << "\n";
}

void Command::printJson(const QJsonValue& value)
{
    const QJsonDocument document = value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject());
    QTextStream(stdout) << document.toJson(QJsonDocument::Indented);
}
