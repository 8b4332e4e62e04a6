#include "toolrun.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace TestSupport {

QJsonValue ToolRun::json() const
{
    const QJsonDocument doc = QJsonDocument::fromJson(out.toUtf8());
    return doc.isArray() ? QJsonValue(doc.array()) : QJsonValue(doc.object());
}

ToolRun runProgram(const QString& program, const QStringList& arguments, const QString& workingDirectory,
                   const QByteArray& input)
{
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    ToolRun result;
    if (!process.waitForFinished(120000))
        process.kill();
    else if (process.exitStatus() == QProcess::NormalExit)
        result.status = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

ToolRun runTalmerctl(const QStringList& arguments, const QString& workingDirectory, const QByteArray& input)
{
    return runProgram(qEnvironmentVariable("TALMERCTL"), arguments, workingDirectory, input);
}

} // namespace TestSupport
