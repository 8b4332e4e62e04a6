#include "graphdiff.h"

#include "changetext.h"
#include "mgraph.h"
#include "mgraphdoc.h"
#include "objectdiff.h"

namespace {

void property(GraphChangeList& out, const QString& name, const QString& before, const QString& after)
{
    if (before == after)
        return;
    GraphChange change;
    change.kind = GraphChange::Property;
    change.text = change.detail = QString("%1 %2 → %3").arg(name, before, after);
    out.append(change);
}

QString typeText(const MGraphDoc& doc)
{
    return QString("%1 (%2)").arg(doc.GetGraphTypeName()).arg(doc.GetGraphTypeID());
}

QString flagText(bool flag)
{
    return flag ? "yes" : "no";
}

// Stations are asked for by index (0 the host's, 1 the drawing's own, then
// those it refers to); drawings name a handful, far below this bound.
constexpr int kStationIndexes = 64;

} // namespace

GraphChangeList GraphDiff::Compare(const MGraphDoc& before, const MGraphDoc& after)
{
    GraphChangeList out;
    properties(before, after, out);
    ObjectDiff(out).Lists(before.GetGraph()->GetObjList(), after.GetGraph()->GetObjList(), QTransform());
    return out;
}

void GraphDiff::properties(const MGraphDoc& before, const MGraphDoc& after, GraphChangeList& out)
{
    property(out, ChangeText::Tr("name"), ChangeText::Quoted(before.GetName()), ChangeText::Quoted(after.GetName()));
    property(out, ChangeText::Tr("graph type"), typeText(before), typeText(after));
    stations(before, after, out);
    property(out, ChangeText::Tr("shared"), flagText(before.IsShare()), flagText(after.IsShare()));
    property(out, ChangeText::Tr("fill model"), flagText(before.HasFillModel()), flagText(after.HasFillModel()));
    property(out, ChangeText::Tr("size"), ChangeText::Size(before.GetSize()), ChangeText::Size(after.GetSize()));
    property(out, ChangeText::Tr("background"), ChangeText::Color(before.GetBackground()),
             ChangeText::Color(after.GetBackground()));
}

void GraphDiff::stations(const MGraphDoc& before, const MGraphDoc& after, GraphChangeList& out)
{
    for (int index = 0; index < kStationIndexes; ++index) {
        const QString name = ChangeText::Tr("station %1").arg(index);
        property(out, name, ChangeText::Quoted(before.GetGraphStation(index)),
                 ChangeText::Quoted(after.GetGraphStation(index)));
    }
}
