#include "mergecommands.h"

#include <QJsonArray>
#include <QJsonObject>

#include <memory>

#include "command.h"
#include "librarymerge.h"
#include "mabstractdbinterface.h"
#include "mdbinterfaceholder.h"
#include "mdbrecords.h"
#include "mergefilereader.h"
#include "recordlist.h"

namespace MergeCommands {

namespace {

MAbstractDBInterface* database()
{
    return MDBInterfaceHolder::Instance()->GetInterface();
}

// The application of that name below "node1"; false when there is none.
bool findApplication(const QString& name, MDBRecordApplication& out)
{
    MDBRecordNode* found = nullptr;
    database()->GetNode(found, "node1");
    const std::unique_ptr<MDBRecordNode> node(found);
    if (!node)
        return false;
    RecordList applications;
    database()->GetChildren(node.get(), applications.out());
    for (const MDBRecordBase* app : applications) {
        if (app->name == name) {
            out = *static_cast<const MDBRecordApplication*>(app);
            return true;
        }
    }
    return false;
}

QJsonArray numbers(const QList<int>& list)
{
    QJsonArray array;
    for (int n : list)
        array.append(n);
    return array;
}

const char* stateName(LibraryMerge::State state)
{
    switch (state) {
    case LibraryMerge::Same: return "same";
    case LibraryMerge::FileOnly: return "only in the file";
    case LibraryMerge::Different: return "different";
    case LibraryMerge::Merged: return "merged";
    }
    return "";
}

const char* outcomeName(LibraryMerge::Outcome outcome)
{
    switch (outcome) {
    case LibraryMerge::Outcome::Merged: return "merged";
    case LibraryMerge::Outcome::LocalNewer: return "local is newer";
    case LibraryMerge::Outcome::NothingToDo: return "nothing to do";
    case LibraryMerge::Outcome::Failed: return "failed";
    }
    return "";
}

// One picture of the file: its plan, and when merged how it went.
QJsonObject mergeOne(LibraryMerge& merge, const MergePicture& picture, bool dryRun, bool& failed)
{
    const LibraryMerge::State state = LibraryMerge::Compare(picture, merge.LocalPicture(picture.name()));
    const LibraryMerge::Plan plan = merge.PlanFor(picture);
    QJsonObject item{{"picture", picture.name()},
                     {"type", picture.typeName},
                     {"state", stateName(state)},
                     {"newType", plan.newType},
                     {"newPicture", plan.newPicture},
                     {"insert", numbers(plan.inserts)},
                     {"update", numbers(plan.updates)},
                     {"localNewer", numbers(plan.localNewer)},
                     {"plan", plan.Describe()}};
    if (dryRun || state == LibraryMerge::Same)
        return item;
    QString message, detail;
    const LibraryMerge::Outcome outcome = merge.Merge(picture, &message, &detail);
    item["outcome"] = outcomeName(outcome);
    if (outcome == LibraryMerge::Outcome::Failed) {
        item["error"] = detail;
        failed = true;
    }
    return item;
}

void printItem(const QJsonObject& item)
{
    QString line = QString("%1 (%2): %3").arg(item["picture"].toString(), item["state"].toString(),
                                              item["plan"].toString());
    if (item.contains("outcome"))
        line += " -> " + item["outcome"].toString();
    Command::print(line);
    if (item.contains("error"))
        Command::failed(item["picture"].toString() + ": " + item["error"].toString());
}

} // namespace

int exportLibrary(const QStringList& arguments)
{
    Command command(arguments, "Writes the graph library records of application APP (picture types, pictures,\n"
                               "versions) to FILE, for \"talmerctl merge\" or the editor's merge dialog on another\n"
                               "site. The drawings travel through the file server, not in this file. An existing\n"
                               "FILE is replaced only when the whole export was written.");
    command.addArgument("APP", "The application.");
    command.addArgument("FILE", "The export file (XML, UTF-8).");
    if (!command.parse(2, 2))
        return command.status();
    MDBRecordApplication app;
    if (!findApplication(command.name(0), app))
        return Command::failed(QString("no application '%1'").arg(command.name(0)));
    LibraryMerge merge(database(), app);
    QString error;
    if (!merge.Export(command.argument(1), &error))
        return Command::failed(QString("cannot write %1: %2").arg(command.argument(1), error));
    return Command::Done;
}

int merge(const QStringList& arguments)
{
    Command command(arguments, "Merges the pictures of another site's export FILE into application APP: a\n"
                               "picture missing here is added (with its picture type when that is missing too),\n"
                               "versions are paired by number: a missing one is added, a later one replaces\n"
                               "the local one, an earlier one is left (\"local is newer\"). Each picture is\n"
                               "merged whole or not at all.");
    command.addArgument("APP", "The application.");
    command.addArgument("FILE", "The export file.");
    command.addOption(QCommandLineOption("dry-run", "Print what would be written, per picture, and change nothing."));
    command.addJsonOption();
    if (!command.parse(2, 2))
        return command.status();
    MDBRecordApplication app;
    if (!findApplication(command.name(0), app))
        return Command::failed(QString("no application '%1'").arg(command.name(0)));
    const MergeFileReader::Result read = MergeFileReader::ReadFile(command.argument(1));
    if (!read.ok)
        return Command::failed(read.error);
    for (const QString& warning : read.warnings)
        Command::failed(command.argument(1) + ": " + warning);
    LibraryMerge merge(database(), app);
    if (!merge.LoadLocal())
        return Command::failed(QString("cannot read application '%1'").arg(command.name(0)));
    bool failed = false;
    QJsonArray items;
    for (const QString& name : LibraryMerge::SortedNames(read.pictures)) {
        for (const MergePicture& picture : read.pictures) {
            if (picture.name() == name)
                items.append(mergeOne(merge, picture, command.isSet("dry-run"), failed));
        }
    }
    if (command.json()) {
        Command::printJson(items);
    } else {
        for (const QJsonValue& item : items)
            printItem(item.toObject());
    }
    return failed ? Command::Failed : Command::Done;
}

} // namespace MergeCommands
