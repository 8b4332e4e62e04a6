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
// waiting at most two minutes.
ToolRun runProgram(const QString& program, const QStringList& arguments, const QString& workingDirectory,
                   const QByteArray& input = QByteArray());
// The same for the command-line tool the test was given in TALMERCTL.
ToolRun runTalmerctl(const QStringList& arguments, const QString& workingDirectory,
                     const QByteArray& input = QByteArray());

} // namespace TestSupport
