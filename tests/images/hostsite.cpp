#include "hostsite.h"

#include <QProcess>

#include "siteenvironment.h"

bool HostSite::make(QString* reason)
{
    const QString program = qEnvironmentVariable("TALMERCTL");
    if (!m_dir.isValid() || program.isEmpty()) {
        *reason = "no temporary folder, or TALMERCTL is not set";
        return false;
    }
    QProcess init;
    init.setProcessChannelMode(QProcess::MergedChannels);
    init.start(program, {"site", "init", directory(), "--sample"});
    if (!init.waitForFinished(120000) || init.exitStatus() != QProcess::NormalExit || init.exitCode() != 0) {
        *reason = "talmerctl site init failed: " + QString::fromUtf8(init.readAll());
        return false;
    }
    QString error;
    if (!SiteEnvironment::Load(directory(), error) || !SiteEnvironment::CheckLibrary(error)) {
        *reason = "the sample site does not load: " + error;
        return false;
    }
    return true;
}
