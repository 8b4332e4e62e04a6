// talmerctl: the graph library from a shell.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <unistd.h>

#include "talmerversion.h"

namespace {

int printVersion(const QStringList& args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription("Prints the library's version and what it carries.");
    parser.addHelpOption();
    QCommandLineOption json("json", "Print as a JSON object.");
    parser.addOption(json);
    parser.process(args);

    QStringList images;
    for (QDirIterator it(":/icon", QDirIterator::Subdirectories); it.hasNext();)
        images << it.next();

    QTextStream out(stdout);
    if (parser.isSet(json)) {
        QJsonObject o{{"library", TalmerLibraryVersion()},
                      {"qt", qVersion()},
                      {"embeddedImages", int(images.size())}};
        out << QJsonDocument(o).toJson(QJsonDocument::Compact) << "\n";
    } else {
        out << "talmer " << TalmerLibraryVersion() << " (Qt " << qVersion() << ")\n"
            << "embedded images: " << images.size() << "\n";
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // A command-line program: draw off screen unless told otherwise, and give Qt
    // the private runtime directory it would otherwise complain about and make.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QDir::tempPath() + "/runtime-talmerctl-" + QString::number(getuid());
        if (QDir().mkpath(runtime)) {
            QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        }
    }
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName("talmerctl");
    QCoreApplication::setApplicationVersion(TalmerLibraryVersion());

    const QStringList args = app.arguments();
    const QString command = args.value(1);
    if (command.isEmpty() || command == "--help" || command == "-h") {
        QTextStream(stdout) << "usage: talmerctl COMMAND [options]\n\n"
                               "commands:\n"
                               "  version    the library's version and what it carries\n";
        return command.isEmpty() ? 2 : 0;
    }
    // Each command parses its own options; its name stays in the program name.
    QStringList subArgs = args.mid(1);
    subArgs[0] = args.at(0) + " " + command;

    if (command == "version")
        return printVersion(subArgs);

    QTextStream(stderr) << "talmerctl: unknown command '" << command << "' (see talmerctl --help)\n";
    return 2;
}
