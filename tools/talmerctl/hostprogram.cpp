#include "hostprogram.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include "siteenvironment.h"

namespace HostProgram {

void AddSiteOptions(QCommandLineParser& parser, const QString& description)
{
    parser.setApplicationDescription(description);
    parser.addHelpOption();
    parser.addOption({"site", "The site folder (else the environment).", "DIR"});
}

bool OpenSite(const QCommandLineParser& parser)
{
    QString error;
    if ((parser.isSet("site") && !SiteEnvironment::Load(parser.value("site"), error))
        || !SiteEnvironment::CheckLibrary(error)) {
        Fail(error);
        return false;
    }
    return true;
}

int Fail(const QString& message)
{
    QTextStream(stderr) << QCoreApplication::applicationName() << ": " << message << Qt::endl;
    return 1;
}

} // namespace HostProgram
