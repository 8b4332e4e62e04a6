#include "filecommands.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QMap>

#include "command.h"
#include "file_svrconn_manager.h"
#include "mabstractdbinterface.h"
#include "mdbinterfaceholder.h"
#include "mdbrecords.h"
#include "mdeploypaths.h"
#include "mfilesynchronize.h"
#include "recordlist.h"

namespace FileCommands {

namespace {

// The files a synchronisation looks after, each with its modification time
// (invalid when missing).
using FileStates = QMap<QString, QDateTime>;

FileStates iconFiles()
{
    MAbstractDBInterface* db = MDBInterfaceHolder::Instance()->GetInterface();
    FileStates states;
    RecordList types;
    db->GetIconTypes(types.out());
    for (MDBRecordBase* type : types) {
        RecordList icons;
        db->GetChildren(type, icons.out());
        for (const MDBRecordBase* icon : icons) {
            const QString file = MDeployPaths::IconFile(type->name, static_cast<const MDBRecordIcon*>(icon)->uuid);
            states[file] = QFileInfo(file).lastModified();
        }
    }
    return states;
}

FileStates configFiles()
{
    FileStates states;
    RecordList records;
    MDBInterfaceHolder::Instance()->GetInterface()->GetConfigFiles(records.out());
    for (const MDBRecordBase* base : records) {
        const auto* record = static_cast<const MDBRecordConfigFile*>(base);
        const QString file = MFileSynchronize::ConfigFileLocalPath(record->filePath, record->name);
        states[file] = QFileInfo(file).lastModified();
    }
    return states;
}

int reportSync(const Command& command, const FileStates& before)
{
    QStringList fetched, missing;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        const QFileInfo now(it.key());
        if (!now.exists())
            missing << it.key();
        else if (now.lastModified() != it.value())
            fetched << it.key();
    }
    if (command.json()) {
        Command::printJson(QJsonObject{{"files", int(before.size())},
                                       {"fetched", QJsonArray::fromStringList(fetched)},
                                       {"missing", QJsonArray::fromStringList(missing)}});
    } else {
        for (const QString& file : fetched)
            Command::print("fetched " + file);
        Command::print(QString("%1 files: %2 fetched, %3 up to date, %4 missing")
                           .arg(before.size())
                           .arg(fetched.size())
                           .arg(before.size() - fetched.size() - missing.size())
                           .arg(missing.size()));
    }
    if (!missing.isEmpty())
        return Command::failed(QString("%1 files could not be fetched from the file server").arg(missing.size()));
    return Command::Done;
}

bool requireFileServer()
{
    if (file_svrconn_manager::instance()->get_file_session())
        return true;
    Command::failed("no file server: set TALMER_FILE_SERVER");
    return false;
}

// The file of the deployment tree a command names (relative to the root, or
// absolute inside it), once its command line is in form and a server is set;
// false with the status to exit with otherwise.
bool fileArgument(Command& command, QString& file, int& status)
{
    command.addArgument("PATH", "A file of the deployment tree, relative to its root (pic/SCADA/北京变电站/1.xrg) "
                                "or absolute.");
    if (!command.parse(1, 1)) {
        status = command.status();
        return false;
    }
    status = Command::Failed;
    const QString root = QDir::cleanPath(MDeployPaths::Root());
    const QString path = command.argument(0);
    file = QDir::cleanPath(QDir::isAbsolutePath(path) ? path : root + "/" + path);
    if (!file.startsWith(root + "/")) {
        Command::failed(path + " is not in the deployment tree " + root);
        return false;
    }
    return requireFileServer();
}

} // namespace

int sync(const QStringList& arguments)
{
    Command command(arguments, "Fetches the icon files (icons) or configuration files (config) that are missing\n"
                               "or older than their records.");
    command.addArgument("WHAT", "icons or config.");
    command.addJsonOption();
    if (!command.parse(1, 1))
        return command.status();
    const QString what = command.argument(0);
    if (what != "icons" && what != "config")
        return command.misused("sync takes icons or config, not '" + what + "'");
    if (!requireFileServer())
        return Command::Failed;
    const FileStates before = what == "icons" ? iconFiles() : configFiles();
    MFileSynchronize* synchronize = MFileSynchronize::Instance();
    if (what == "icons") {
        synchronize->SynIconFiles();
    } else {
        // The bulk pass leaves missing files alone; they are fetched one by one.
        synchronize->SynConfigFiles();
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            if (!QFileInfo::exists(it.key()))
                synchronize->GetConfigFile(it.key());
        }
    }
    return reportSync(command, before);
}

int fetch(const QStringList& arguments)
{
    Command command(arguments, "Fetches a file of the deployment tree from the file server.");
    QString file;
    int status = Command::Done;
    if (!fileArgument(command, file, status))
        return status;
    if (MFileSynchronize::Instance()->GetFile(file) < 0)
        return Command::failedWithReason("cannot fetch " + MFileSynchronize::ServerPathForFetch(file)
                                         + " from the file server");
    Command::print("fetched " + file);
    return Command::Done;
}

int store(const QStringList& arguments)
{
    Command command(arguments, "Stores a file of the deployment tree on the file server; icons and templates\n"
                               "also go to the other workstations.");
    QString file;
    int status = Command::Done;
    if (!fileArgument(command, file, status))
        return status;
    if (!QFileInfo(file).isFile() || !QFileInfo(file).isReadable())
        return Command::failed("cannot read " + file);
    MFileSynchronize* synchronize = MFileSynchronize::Instance();
    if (synchronize->SaveFile(file) < 0)
        return Command::failedWithReason("cannot store " + file + " on the file server");
    Command::print("stored " + file + " as " + MFileSynchronize::ServerPathForStore(file));
    // The server has the file, but a workstation that did not get it must be named.
    const QList<MFileSynchronize::PushFailure> failures = synchronize->LastPushFailures();
    for (const MFileSynchronize::PushFailure& failure : failures)
        Command::failed(QString("push of %1 to %2 failed (%3): %4")
                            .arg(file, failure.node)
                            .arg(failure.result)
                            .arg(failure.reason));
    return failures.isEmpty() ? Command::Done : Command::Failed;
}

} // namespace FileCommands
