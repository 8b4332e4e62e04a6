#include "toolrun.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include "deploytree.h"

namespace TestSupport {

QJsonValue ToolRun::json() const
{
    const QJsonDocument doc = QJsonDocument::fromJson(out.toUtf8());
    return doc.isArray() ? QJsonValue(doc.array()) : QJsonValue(doc.object());
}

ToolRun runProgram(const QString& program, const QStringList& arguments, const QString& workingDirectory,
                   const QByteArray& input, int timeoutMs)
{
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    ToolRun result;
    if (!process.waitForFinished(timeoutMs))
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

QString makeSampleSite(const QString& parent, const QString& name)
{
    for (const QByteArray& variable : DeployTree::configurationVariables())
        qunsetenv(variable.constData());
    const ToolRun made = runTalmerctl({"site", "init", name, "--sample"}, parent);
    if (made.status != 0) {
        qWarning("talmerctl site init failed: %s", qPrintable(made.err));
        return QString();
    }
    return parent + "/" + name;
}

} // namespace TestSupport
