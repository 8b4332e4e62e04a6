#include "notebookcommand.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

#include "command.h"
#include "mdeploypaths.h"
#include "mgraphnotebook.h"

namespace NoteBookCommand {

namespace {

QJsonArray idsJson(const QList<int>& ids)
{
    QJsonArray array;
    for (int id : ids)
        array.append(id);
    return array;
}

QJsonObject notebookJson(const MGraphNoteBook& book)
{
    QJsonObject decisions;
    const QMap<QString, int> stored = book.StatusDecisions();
    for (auto it = stored.cbegin(); it != stored.cend(); ++it)
        decisions[it.key()] = it.value();
    return QJsonObject{
        {"increaseVersion", book.IsIncreaseVersion()},
        {"whiteNote", book.IsWhiteNoteEnabled()},
        {"blackNote", book.IsBlackNoteEnabled()},
        {"daemonSeconds", book.GraphDaemonTime()},
        {"svgImport", book.IsSvgImport()},
        {"svgDir", book.GetSvgDir()},
        {"svgExport", book.IsSvgExport()},
        {"svgExportDir", book.GetExportDir()},
        {"svgNodes", QJsonArray::fromStringList(book.GetSvgNodes())},
        {"svgServerFetching", book.IsSvgServer()},
        {"svgServer", book.GetSvgServer()},
        {"svgServerPath", book.GetSvgServerPath()},
        {"svgServerTimer", book.GetSvgServerTimer()},
        {"statusDecisions", decisions},
        {"notedGraphs", QJsonArray::fromStringList(book.NotedKeys())},
        {"notedIds", idsJson(book.NotedIds())},
        {"blackedGraphs", QJsonArray::fromStringList(book.BlackedKeys())},
        {"blackedIds", idsJson(book.BlackedIds())},
    };
}

QString text(const QJsonValue& value)
{
    if (value.isBool())
        return value.toBool() ? "yes" : "no";
    if (value.isArray()) {
        QStringList items;
        for (const QJsonValue& item : value.toArray())
            items << item.toVariant().toString();
        return items.join(", ");
    }
    if (value.isObject()) {
        QStringList items;
        const QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it)
            items << it.key() + " -> " + it.value().toVariant().toString();
        return items.join(", ");
    }
    return value.toVariant().toString();
}

} // namespace

int show(const QStringList& arguments)
{
    Command command(arguments, "Shows the graph options and the noted and blacked graphs of this workstation,\n"
                               "read from the option files in the deployment tree's etc/mmi/.");
    command.addOption(QCommandLineOption("options", "The option file (default graph_options.txt).", "FILE",
                                         "graph_options.txt"));
    command.addOption(QCommandLineOption("lists", "The list file (default graph_white.txt).", "FILE",
                                         "graph_white.txt"));
    command.addJsonOption();
    if (!command.parse(0, 0))
        return command.status();
    QStringList absent;
    for (const QString& file : {command.value("options"), command.value("lists")}) {
        if (file.contains('/') || !QFileInfo(MDeployPaths::OptionDir() + "/" + file).isFile())
            absent << file;
    }
    if (!absent.isEmpty())
        return Command::failed("no option file " + absent.join(" or ") + " in " + MDeployPaths::OptionDir());
    MGraphNoteBook* book = MGraphNoteBook::Instance();
    book->ReadImportOption(command.value("options"));
    book->ReadWhite(command.value("lists"));
    const QJsonObject shown = notebookJson(*book);
    if (command.json()) {
        Command::printJson(shown);
        return Command::Done;
    }
    for (auto it = shown.begin(); it != shown.end(); ++it)
        Command::print(QString("%1 %2").arg(it.key() + ":", -18).arg(text(it.value())));
    return Command::Done;
}

} // namespace NoteBookCommand
