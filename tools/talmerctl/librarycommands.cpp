#include "librarycommands.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>

#include <memory>

#include "command.h"
#include "mabstractdbinterface.h"
#include "mdbinterfaceholder.h"
#include "mdbrecords.h"
#include "mdeploypaths.h"
#include "mfilesynchronize.h"
#include "mgraphdataaccess.h"
#include "mgraphprivilege.h"
#include "passwordreader.h"
#include "recordlist.h"

namespace LibraryCommands {

namespace {

MAbstractDBInterface* database()
{
    return MDBInterfaceHolder::Instance()->GetInterface();
}

// The child of that name; null when there is none. children keeps it.
MDBRecordBase* childNamed(MDBRecordBase* parent, const QString& name, RecordList& children)
{
    database()->GetChildren(parent, children.out());
    for (MDBRecordBase* child : children) {
        if (child->name == name)
            return child;
    }
    return nullptr;
}

QString versionLabel(int version)
{
    return version == 0 ? QStringLiteral("0 (draft)") : QString::number(version);
}

QJsonArray editionsJson(const RecordList& editions)
{
    QJsonArray list;
    for (const MDBRecordBase* base : editions) {
        const auto* edition = static_cast<const MDBRecordEdition*>(base);
        list.append(QJsonObject{{"version", edition->version},
                                {"modifyTime", edition->modifyTime},
                                {"versionTime", edition->versionTime},
                                {"node", edition->nodeName}});
    }
    return list;
}

void printEditions(const RecordList& editions)
{
    for (const MDBRecordBase* base : editions) {
        const auto* edition = static_cast<const MDBRecordEdition*>(base);
        Command::print(QString("%1  %2  %3").arg(versionLabel(edition->version), -10).arg(edition->modifyTime, edition->nodeName));
    }
}

// Prints names (or name and detail) as lines, or as a JSON array of objects.
void printList(const Command& command, const QList<QJsonObject>& items, const QString& detail = QString())
{
    if (command.json()) {
        QJsonArray array;
        for (const QJsonObject& item : items)
            array.append(item);
        Command::printJson(array);
        return;
    }
    for (const QJsonObject& item : items) {
        const QString extra = detail.isEmpty() ? QString() : "  " + item[detail].toVariant().toString();
        Command::print(item["name"].toString() + extra);
    }
}

int treeLevel(const Command& command)
{
    std::unique_ptr<MDBRecordNode> node;
    MDBRecordNode* found = nullptr;
    database()->GetNode(found, "node1");
    node.reset(found);
    if (!node)
        return Command::failed("the library has no node \"node1\"");
    RecordList applications, types, pictures, editions;
    MDBRecordBase* parent = node.get();
    const QString kinds[] = {"application", "picture type", "picture"};
    RecordList* levels[] = {&applications, &types, &pictures};
    for (int level = 0; level < command.argumentCount(); ++level) {
        parent = childNamed(parent, command.name(level), *levels[level]);
        if (!parent)
            return Command::failed(QString("no %1 '%2'").arg(kinds[level], command.name(level)));
    }
    RecordList children;
    database()->GetChildren(parent, children.out());
    QList<QJsonObject> items;
    for (const MDBRecordBase* child : children) {
        QJsonObject item{{"name", child->name}};
        if (child->type == MDBRecordBase::RecordApplication)
            item["alias"] = static_cast<const MDBRecordApplication*>(child)->alias;
        else if (child->type == MDBRecordBase::RecordPicType)
            item["code"] = static_cast<const MDBRecordPicType*>(child)->picTypeCode;
        items << item;
    }
    if (command.argumentCount() == 3) {
        if (command.json())
            Command::printJson(editionsJson(children));
        else
            printEditions(children);
        return Command::Done;
    }
    const QString detail[] = {"alias", "code", QString()};
    printList(command, items, detail[command.argumentCount()]);
    return Command::Done;
}

QString noPicture(const QString& application, const QString& picture)
{
    return QString("no picture '%1' in application '%2'").arg(picture, application);
}

// Fetches a version's files from the file server; the ones that failed in failed.
void fetchVersion(const QString& application, const QString& picture, int version, QStringList& fetched,
                  QStringList& failed)
{
    for (const QString& extension : {QStringLiteral("xrg"), QStringLiteral("brg"), QStringLiteral("fg")}) {
        const QString file = MDeployPaths::VersionFile(application, picture, version, extension);
        (MFileSynchronize::Instance()->GetFile(file) < 0 ? failed : fetched) << file;
    }
}

int printVersion(const Command& command, int version, const QStringList& fetched)
{
    if (command.json()) {
        Command::printJson(QJsonObject{{"version", version}, {"fetched", QJsonArray::fromStringList(fetched)}});
        return Command::Done;
    }
    Command::print(QString::number(version));
    for (const QString& file : fetched)
        Command::print("fetched " + file);
    return Command::Done;
}

// Accepts ISO 8601 and the usual "date time" forms, in local time.
QDateTime parseMoment(const QString& text)
{
    QDateTime moment = QDateTime::fromString(text, Qt::ISODate);
    for (const char* format : {"yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd HH:mm", "yyyy-MM-dd"}) {
        if (!moment.isValid())
            moment = QDateTime::fromString(text, format);
    }
    return moment;
}

void addPictureArguments(Command& command)
{
    command.addArgument("APP", "The application.");
    command.addArgument("PICTURE", "The picture, in any picture type of the application.");
}

} // namespace

int tree(const QStringList& arguments)
{
    Command command(arguments, "Lists the applications of the library, the picture types of an application,\n"
                               "the pictures of a type, or the versions of a picture.");
    command.addArgument("APP", "An application: list its picture types.", "[APP");
    command.addArgument("TYPE", "A picture type: list its pictures.", "[TYPE");
    command.addArgument("PICTURE", "A picture: list its versions.", "[PICTURE]]]");
    command.addJsonOption();
    if (!command.parse(0, 3))
        return command.status();
    return treeLevel(command);
}

int search(const QStringList& arguments)
{
    Command command(arguments, "Lists the pictures whose name or Pinyin initials begin with KEY (upper case does\n"
                               "not matter). With --user only those the user may see; the password is read\n"
                               "from the terminal or standard input.");
    command.addArgument("KEY", "The beginning of a name, or Pinyin initials (\"BJ\" finds 北京变电站).");
    command.addOption(QCommandLineOption("user", "Search as USER.", "USER"));
    command.addJsonOption();
    if (!command.parse(1, 1))
        return command.status();
    if (command.isSet("user")) {
        const QString user = command.value("user");
        QString password;
        if (!PasswordReader::Read("password of " + user + ": ", false, password))
            return Command::failed("no password given for " + user);
        MGraphPrivilege::LogIn(user, password);
        if (!MGraphPrivilege::CurrentUser())
            return Command::failed("cannot log in as " + user + ": unknown user or wrong password");
    }
    QStringList found;
    database()->SearchPictures(found, command.name(0).toUpper());
    if (command.json())
        Command::printJson(QJsonArray::fromStringList(found));
    else
        for (const QString& name : found)
            Command::print(name);
    return Command::Done;
}

int latest(const QStringList& arguments)
{
    Command command(arguments, "Prints the latest version of a picture; --fetch also fetches its files from\n"
                               "the file server into the deployment tree.");
    addPictureArguments(command);
    command.addOption(QCommandLineOption("fetch", "Fetch the version's files from the file server."));
    command.addJsonOption();
    if (!command.parse(2, 2))
        return command.status();
    const int version = MGraphDataAccess::Instance()->GetGraphLatestVersion(command.name(0), command.name(1));
    if (version < 0)
        return Command::failed(noPicture(command.name(0), command.name(1)));
    QStringList fetched, failed;
    if (command.isSet("fetch"))
        fetchVersion(command.name(0), command.name(1), version, fetched, failed);
    if (!failed.isEmpty())
        return Command::failed(QString("cannot fetch %1 from the file server").arg(failed.join(", ")));
    return printVersion(command, version, fetched);
}

int versionAt(const QStringList& arguments)
{
    Command command(arguments, "Prints the version of a picture that was valid at a moment; --fetch also\n"
                               "fetches its viewer files when the local ones are missing or older.");
    addPictureArguments(command);
    command.addArgument("TIME", "The moment: 2026-11-20T08:00:00, \"2026-11-20 08:00\" or 2026-11-20 (local time).");
    command.addOption(QCommandLineOption("fetch", "Fetch the version's viewer files from the file server."));
    command.addJsonOption();
    if (!command.parse(3, 3))
        return command.status();
    const QDateTime moment = parseMoment(command.argument(2));
    if (!moment.isValid())
        return command.misused("'" + command.argument(2) + "' is not a date and time");
    const bool fetch = command.isSet("fetch");
    const int version = MGraphDataAccess::Instance()->GraphVersionByTime(command.name(0), command.name(1),
                                                                         moment, fetch);
    if (version == -100)
        return Command::failed(noPicture(command.name(0), command.name(1)));
    if (version < 0)
        return Command::failed("cannot fetch the version's files from the file server");
    return printVersion(command, version, {});
}

int info(const QStringList& arguments)
{
    Command command(arguments, "Prints a picture's privilege codes, area and versions.");
    addPictureArguments(command);
    command.addJsonOption();
    if (!command.parse(2, 2))
        return command.status();
    int inPrivilege = 0, outPrivilege = 0;
    unsigned long area = 0;
    RecordList editions;
    if (!MGraphDataAccess::Instance()->GetGraphInfo(command.name(0), command.name(1), inPrivilege, area,
                                                    outPrivilege)
        || !MGraphDataAccess::Instance()->PictureEditions(command.name(0), command.name(1), editions))
        return Command::failed(noPicture(command.name(0), command.name(1)));
    if (command.json()) {
        Command::printJson(QJsonObject{{"application", command.name(0)},
                                       {"picture", command.name(1)},
                                       {"inPrivCode", inPrivilege},
                                       {"outPrivCode", outPrivilege},
                                       {"area", qint64(area)},
                                       {"versions", editionsJson(editions)}});
        return Command::Done;
    }
    Command::print(QString("picture       %1 (%2)").arg(command.name(1), command.name(0)));
    Command::print(QString("privileges    in %1, out %2").arg(inPrivilege).arg(outPrivilege));
    Command::print(QString("area          %1").arg(area));
    Command::print("versions:");
    printEditions(editions);
    return Command::Done;
}

} // namespace LibraryCommands
