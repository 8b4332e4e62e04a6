#include "diffcommand.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonObject>

#include "command.h"
#include "comparerenderer.h"
#include "graphdiff.h"
#include "graphedition.h"
#include "mgraphdoc.h"
#include "safefile.h"

namespace DiffCommand {

namespace {

int trouble(const QString& message)
{
    Command::failed(message);
    return Trouble;
}

bool writeOverlay(const QString& file, const MGraphDoc& after, const GraphChangeList& changes, QString& error)
{
    const QImage image = CompareRenderer::Overlay(after, changes, CompareRenderer::DefaultSize()).image;
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
        error = "cannot encode the picture";
        return false;
    }
    return SafeFile::WriteFile(file, png, &error);
}

QJsonObject json(const Command& command, int from, int to, const GraphChangeList& changes)
{
    QJsonArray list;
    for (const GraphChange& change : changes)
        list.append(change.toJson());
    return QJsonObject{{"application", command.name(0)}, {"picture", command.name(1)}, {"from", from}, {"to", to},
                       {"identical", changes.isEmpty()}, {"changes", list}};
}

} // namespace

int run(const QStringList& arguments)
{
    Command command(arguments, "Lists what changed between two editions of a picture (V: a version number or "
                               "\"draft\"). Exit status: 0 the same, 1 different, 2 trouble.");
    command.addArgument("application", "the picture's application");
    command.addArgument("picture", "the picture");
    command.addArgument("v1", "the older edition", "V1");
    command.addArgument("v2", "the newer edition", "V2");
    command.addJsonOption();
    command.addOption(QCommandLineOption("png", "writes the overlay of the changes as a PNG picture to FILE", "FILE"));
    if (!command.parse(4, 4))
        return command.status() == Command::Done ? Same : Trouble;
    int from = 0, to = 0;
    if (!GraphEdition::ParseVersion(command.argument(2), from)
        || !GraphEdition::ParseVersion(command.argument(3), to)) {
        command.misused("a version is a number or \"draft\"");
        return Trouble;
    }
    MGraphDoc before, after;
    QString error;
    if (!GraphEdition::Load(command.name(0), command.name(1), from, before, error)
        || !GraphEdition::Load(command.name(0), command.name(1), to, after, error))
        return trouble(error);
    const GraphChangeList changes = GraphDiff::Compare(before, after);
    if (command.isSet("png") && !writeOverlay(command.value("png"), after, changes, error))
        return trouble("cannot write " + command.value("png") + ": " + error);
    if (command.json()) {
        Command::printJson(json(command, from, to, changes));
    } else {
        for (const GraphChange& change : changes)
            Command::print(change.line());
    }
    return changes.isEmpty() ? Same : Different;
}

} // namespace DiffCommand
