#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QString>
#include <QStringList>

namespace TestSupport {

// What a run of a program printed and how it ended.
struct ToolRun
{
    int status = -1; // the exit code; -1 when it crashed or ran over its time
    QString out;
    QString err;
    // Standard output read as a JSON array or object.
    QJsonValue json() const;
};

// Runs the program in workingDirectory with input on its standard input,
// waiting at most timeoutMs (then it is killed).
ToolRun runProgram(const QString& program, const QStringList& arguments, const QString& workingDirectory,
                   const QByteArray& input = QByteArray(), int timeoutMs = 120000);
// The same for the command-line tool the test was given in TALMERCTL.
ToolRun runTalmerctl(const QStringList& arguments, const QString& workingDirectory,
                     const QByteArray& input = QByteArray());
// Makes the sample site (talmerctl site init --sample) in parent/name; its
// folder, or empty when that failed. The configuration variables of this
// process are cleared first, so that the tool works only on sites given to it.
QString makeSampleSite(const QString& parent, const QString& name = QStringLiteral("site"));

} // namespace TestSupport
