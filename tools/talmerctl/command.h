#pragma once

#include <QCommandLineParser>
#include <QJsonValue>
#include <QString>
#include <QStringList>

#include <functional>

// One subcommand's command line and the tool's way of answering: a parser with
// --help (and --json where asked for), positional arguments checked by count,
// and exit statuses that scripts can rely on: 0 done, 1 failed, 2 misused. A
// failure is one line on standard error, "talmerctl: what went wrong".
class Command
{
public:
    enum Status { Done = 0, Failed = 1, Misused = 2 };

    // arguments[0] is the program and subcommand ("talmerctl site init").
    Command(const QStringList& arguments, const QString& description);

    void addArgument(const QString& name, const QString& help, const QString& syntax = QString());
    void addOption(const QCommandLineOption& option);
    void addJsonOption();

    // Called once a command line is in form, before the command runs; a
    // false answer fails the command with the error it gives.
    static void SetPrecondition(const std::function<bool(QString&)>& precondition);

    // False when the command must stop: after --help (status Done), a command
    // line out of form (status Misused) or a failed precondition (Failed).
    bool parse(int minArguments, int maxArguments);
    int status() const { return m_status; }

    QString argument(int index) const { return m_parser.positionalArguments().value(index); }
    // A positional argument that names something (an application, a picture,
    // a user), in composed form (NFC): names that look alike are one name.
    QString name(int index) const { return argument(index).normalized(QString::NormalizationForm_C); }
    int argumentCount() const { return int(m_parser.positionalArguments().size()); }
    bool isSet(const QString& option) const { return m_parser.isSet(option); }
    QString value(const QString& option) const { return m_parser.value(option); }
    QStringList values(const QString& option) const { return m_parser.values(option); }
    bool json() const { return m_hasJson && m_parser.isSet("json"); }
    // The option's value as a whole number from min to max (fallback when the
    // option is not given); false, reported as misuse, otherwise.
    bool intValue(const QString& option, int min, int max, int fallback, int& out);

    int misused(const QString& message);
    static int failed(const QString& message);
    // failed(), with the reason the library's log gives when it gives one:
    // "cannot open the HMI database X: wrong password".
    static int failedWithReason(const QString& message);
    static QString withReason(const QString& message);
    static void print(const QString& line);
    static void printJson(const QJsonValue& value);

private:
    QCommandLineParser m_parser;
    QStringList m_arguments;
    bool m_hasJson = false;
    int m_status = Done;
    static std::function<bool(QString&)> s_precondition;
};
