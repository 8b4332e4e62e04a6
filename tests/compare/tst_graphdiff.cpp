// The structural comparison of two drawings: every kind of change on the
// sample substation, objects paired by identity and by place, containers.
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

#include "changetext.h"
#include "comparetesting.h"
#include "graphdiff.h"
#include "mhasrelation.h"
#include "testmain.h"

using namespace CompareTesting;

using Mutation = std::function<void(MGraphDoc&)>;
Q_DECLARE_METATYPE(Mutation)
enum Form { Memory, TextFile, BinaryFile };
Q_DECLARE_METATYPE(Form)

namespace {

// The drawing as another process would see it: written and read back.
std::unique_ptr<MGraphDoc> roundTrip(const MGraphDoc& doc, bool binary)
{
    QTemporaryDir dir;
    auto copy = std::make_unique<MGraphDoc>();
    const QString file = dir.filePath(binary ? "d.brg" : "d.xrg");
    const bool ok = binary ? doc.WriteDataFile(file) && copy->ReadDataFile(file)
                           : doc.WriteXmlFile(file) && copy->ReadXmlFile(file);
    if (!ok)
        copy.reset();
    return copy;
}

// A drawing of loose objects; ids 0 keep the graph from naming them.
std::unique_ptr<MGraphDoc> drawingOf(const QList<MDrawObj*>& objects)
{
    auto doc = std::make_unique<MGraphDoc>();
    for (MDrawObj* obj : objects)
        doc->GetGraph()->GetObjList().append(obj);
    return doc;
}

MDrawObj* line(double x, double y, int id = 0)
{
    auto* l = new MShapeObj(MDrawObj::ObjLine);
    l->SetPoints({QPointF(x, y), QPointF(x, y + 20)});
    l->SetId(id);
    return l;
}

MTextObj* label(const QString& text, double x, double y, int id = 0)
{
    auto* t = new MTextObj;
    t->SetText(text);
    t->SetPoints({QPointF(x, y), QPointF(x + 60, y + 20)});
    t->SetId(id);
    return t;
}

MHasRelation* group(const QList<MDrawObj*>& members, int id)
{
    auto* g = new MHasRelation(MDrawObj::ObjGroup);
    for (MDrawObj* m : members)
        g->AddMember(m);
    g->SetId(id);
    return g;
}

} // namespace

class tst_GraphDiff : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void changedSubstationListsExactlyItsChanges();
    void eachKindOfChange_data();
    void eachKindOfChange();
    void identityThatCannotBeTrusted();
    void objectsWithoutIdentityPairedByPlace_data();
    void objectsWithoutIdentityPairedByPlace();
    void pileOfLookAlikesStaysConsistent();
    void containerMembersFollowTheirContainer();
    void changeTextsAndJson();
};

void tst_GraphDiff::changedSubstationListsExactlyItsChanges()
{
    // Guards against a comparison that misses, invents or misnames a change once the drawings went through files.
    auto before = beijing();
    auto after = beijing();
    QVERIFY(before && after);
    changeBeijing(*after);
    for (bool binary : {false, true}) {
        auto stored = roundTrip(*after, binary);
        QVERIFY(stored);
        const GraphChangeList changes = GraphDiff::Compare(*before, *stored);
        QCOMPARE(briefs(changes), beijingChanges());
        // The rectangles say where each change is, on the side where it exists.
        const GraphChange& added = changes.at(5);
        QCOMPARE(added.newRect, kAddedBox);
        QVERIFY(!added.hasOld() && added.hasNew());
        const GraphChange& removed = changes.at(6);
        QCOMPARE(removed.oldRect, QRectF(1150, 438, 0, 32));
        QVERIFY(removed.hasOld() && !removed.hasNew());
        QCOMPARE(changes.at(1).oldRect.translated(30, 0), changes.at(1).newRect);
    }
}

void tst_GraphDiff::eachKindOfChange_data()
{
    QTest::addColumn<Mutation>("mutation");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<Form>("form"); // how the new edition reaches the comparison

    // Editions that draw and bind the same: nothing to report.
    const Mutation nothing = [](MGraphDoc&) {};
    QTest::newRow("same, text form") << nothing << QStringList() << TextFile;
    QTest::newRow("same, binary form") << nothing << QStringList() << BinaryFile;
    QTest::newRow("same objects in another order") << Mutation([](MGraphDoc& d) {
        QList<MDrawObj*>& objects = d.GetGraph()->GetObjList();
        std::reverse(objects.begin(), objects.end());
    }) << QStringList() << TextFile;
    QTest::newRow("moved and moved back") << Mutation([](MGraphDoc& d) {
        byId(d, 20)->SetPosition(13.7, 2.1, true);
        byId(d, 20)->SetPosition(-13.7, -2.1, true);
    }) << QStringList() << BinaryFile;


    const auto moveBy = [](int id, double dx, double dy) {
        return Mutation([=](MGraphDoc& d) { byId(d, id)->SetPosition(dx, dy, true); });
    };
    QTest::newRow("moved") << moveBy(15, 5, -7) << QStringList{"moved icon 15"} << Memory;
    QTest::newRow("stretched from its corner") << Mutation([](MGraphDoc& d) { byId(d, 15)->SetSize(60, 48, false); })
                                               << QStringList{"resized icon 15"} << Memory;
    QTest::newRow("stretched around its centre") << Mutation([](MGraphDoc& d) {
        MDrawObj* obj = byId(d, 15);
        const QPointF centre = obj->Position();
        obj->SetSize(60, 96, false);
        obj->SetPosition(centre.x(), centre.y(), false);
    }) << QStringList{"resized icon 15"} << Memory;
    QTest::newRow("stretched and moved") << Mutation([](MGraphDoc& d) {
        byId(d, 15)->SetSize(60, 48, false);
        byId(d, 15)->SetPosition(100, 100, true);
    }) << QStringList{"resized icon 15", "moved icon 15"} << Memory;
    QTest::newRow("reshaped within its bounds") << Mutation([](MGraphDoc& d) {
        byId(d, 9)->SetPoints({QPointF(800, 220), QPointF(800, 200)});
    }) << QStringList{"reshaped line 9"} << Memory;
    QTest::newRow("pen") << Mutation([](MGraphDoc& d) { byId(d, 9)->SetPenColor(Qt::yellow); })
                         << QStringList{"restyled line 9"} << Memory;
    QTest::newRow("width") << Mutation([](MGraphDoc& d) { byId(d, 9)->SetPenWidth(4); })
                           << QStringList{"restyled line 9"} << Memory;
    QTest::newRow("brush") << Mutation([](MGraphDoc& d) { byId(d, 9)->SetBrushColor(Qt::blue); })
                           << QStringList{"restyled line 9"} << Memory;
    QTest::newRow("font size") << Mutation([](MGraphDoc& d) { textById(d, 16)->SetFontSize(14); })
                               << QStringList{"restyled text 16"} << Memory;
    QTest::newRow("shown pattern") << Mutation([](MGraphDoc& d) { iconById(d, 7)->Symbol()->SetCurrentIndex(0); })
                                   << QStringList{"restyled icon 7"} << Memory;
    QTest::newRow("text") << Mutation([](MGraphDoc& d) { textById(d, 1)->SetText("x"); })
                          << QStringList{"text changed text 1"} << Memory;
    QTest::newRow("icon's station") << Mutation([](MGraphDoc& d) { iconById(d, 2)->SetStationName("y"); })
                                    << QStringList{"text changed icon 2"} << Memory;
    QTest::newRow("other template") << Mutation([](MGraphDoc& d) {
        iconById(d, 8)->SetTemplate(d.GetGraph()->FindTemplate(disconnector()));
    }) << QStringList{"template changed icon 8"} << Memory;
    QTest::newRow("template's content") << Mutation([](MGraphDoc& d) {
        d.GetGraph()->FindTemplate(QUuid::fromString(QStringLiteral("{cb720a3e-f746-59a1-9aba-9bbe796884df}")))
            ->SetDefaultSize(QSizeF(12, 60));
    }) << QStringList{"template changed icon 5", "template changed icon 27", "template changed icon 35",
                      "template changed icon 43"} << Memory;
    QTest::newRow("binding added") << Mutation([](MGraphDoc& d) { byId(d, 9)->SetOid("77"); })
                                   << QStringList{"binding added line 9"} << Memory;
    QTest::newRow("binding removed") << Mutation([](MGraphDoc& d) {
        byId(d, 5)->SetOid(QString());
        byId(d, 5)->SetPath(QString());
    }) << QStringList{"binding removed icon 5"} << Memory;
    QTest::newRow("identifier re-pointed") << Mutation([](MGraphDoc& d) { byId(d, 5)->SetOid("1"); })
                                           << QStringList{"binding re-pointed icon 5"} << Memory;
    QTest::newRow("added") << Mutation([](MGraphDoc& d) { d.GetGraph()->AddObject(line(10, 10)); })
                           << QStringList{"added line 49"} << Memory;
    QTest::newRow("removed") << Mutation([](MGraphDoc& d) { removeId(d, 1); }) << QStringList{"removed text 1"} << Memory;
    QTest::newRow("station") << Mutation([](MGraphDoc& d) { d.SetGraphStation("上海站", 2); })
                             << QStringList{"property: station 2 '' → '上海站'"} << Memory;
    QTest::newRow("own station") << Mutation([](MGraphDoc& d) { d.SetGraphStation("x", 1); })
                                 << QStringList{"property: station 1 '北京变电站' → 'x'"} << Memory;
    QTest::newRow("shared") << Mutation([](MGraphDoc& d) { d.SetShare(true); })
                            << QStringList{"property: shared no → yes"} << Memory;
    QTest::newRow("fill model") << Mutation([](MGraphDoc& d) { d.SetHasFillModel(true); })
                                << QStringList{"property: fill model no → yes"} << Memory;
    QTest::newRow("size") << Mutation([](MGraphDoc& d) { d.SetSize(QSizeF(1920, 1080)); })
                          << QStringList{"property: size 1600 × 900 → 1920 × 1080"} << Memory;
    QTest::newRow("background") << Mutation([](MGraphDoc& d) { d.SetBackground(Qt::white); })
                                << QStringList{"property: background #ff101420 → #ffffffff"} << Memory;
}

void tst_GraphDiff::eachKindOfChange()
{
    // Guards against a kind of change that goes unreported, one that drags in changes that were not made, and noise between equal editions.
    QFETCH(Mutation, mutation);
    QFETCH(QStringList, expected);
    QFETCH(Form, form);
    auto before = beijing();
    auto after = beijing();
    QVERIFY(before && after);
    mutation(*after);
    if (form != Memory) {
        after = roundTrip(*after, form == BinaryFile);
        QVERIFY(after);
    }
    QCOMPARE(briefs(GraphDiff::Compare(*before, *after)), expected);
}

void tst_GraphDiff::identityThatCannotBeTrusted()
{
    // Guards against pairing by an identifier that two objects share (a pasted copy) or that came back on another kind of object.
    auto before = drawingOf({label("a", 100, 100, 5), line(300, 300, 7)});
    auto after = drawingOf({label("a", 100, 100, 5), label("a", 400, 100, 5), label("b", 600, 600, 7)});
    QCOMPARE(briefs(GraphDiff::Compare(*before, *after)),
             (QStringList{"added text 5", "added text 7", "removed line 7"}));
    // The copy is the one that is new, whichever comes first in the list.
    const GraphChangeList changes = GraphDiff::Compare(*before, *after);
    QCOMPARE(changes.first().newRect.topLeft(), QPointF(400, 100));
    auto copyFirst = drawingOf({label("a", 400, 100, 5), label("a", 100, 100, 5)});
    auto original = drawingOf({label("a", 100, 100, 5)});
    const GraphChangeList copied = GraphDiff::Compare(*original, *copyFirst);
    QCOMPARE(briefs(copied), QStringList{"added text 5"});
    QCOMPARE(copied.first().newRect.topLeft(), QPointF(400, 100));
}

void tst_GraphDiff::objectsWithoutIdentityPairedByPlace_data()
{
    QTest::addColumn<QPointF>("shift");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("unchanged") << QPointF(0, 0) << QStringList();
    QTest::newRow("nudged") << QPointF(6, 0) << QStringList{"moved line 0"};
    QTest::newRow("within reach") << QPointF(0, 39) << QStringList{"moved line 0"};
    QTest::newRow("beyond reach") << QPointF(300, 0) << QStringList{"added line 0", "removed line 0"};
}

void tst_GraphDiff::objectsWithoutIdentityPairedByPlace()
{
    // Guards against lines without identifiers paired with a far one (a move invented) or not paired when nudged.
    QFETCH(QPointF, shift);
    QFETCH(QStringList, expected);
    auto before = drawingOf({line(100, 100), line(500, 100), line(900, 100)});
    auto after = drawingOf({line(100, 100), line(500 + shift.x(), 100 + shift.y()), line(900, 100)});
    QCOMPARE(briefs(GraphDiff::Compare(*before, *after)), expected);
    // The nearest of two candidates wins, whatever the list order.
    auto crowded = drawingOf({line(510, 100), line(502, 100)});
    auto single = drawingOf({line(500, 100)});
    const GraphChangeList changes = GraphDiff::Compare(*single, *crowded);
    QCOMPARE(briefs(changes), (QStringList{"added line 0", "moved line 0"}));
    QCOMPARE(changes.at(0).newRect.left(), 510.0);
}

void tst_GraphDiff::pileOfLookAlikesStaysConsistent()
{
    // Guards against a pile of look-alike objects (all in reach of each other) costing memory by the square of its size, or an object paired twice.
    constexpr int kPile = 3000;
    QList<MDrawObj*> old, restyled;
    for (int i = 0; i < kPile; ++i) {
        old << line(100 + i % 7, 100);
        restyled << line(100 + i % 7, 100);
        restyled.last()->SetPenColor(Qt::green);
    }
    const GraphChangeList changes = GraphDiff::Compare(*drawingOf(old), *drawingOf(restyled));
    QHash<GraphChange::Kind, int> counts;
    for (const GraphChange& change : changes)
        ++counts[change.kind];
    QCOMPARE(counts.keys().size(), counts.value(GraphChange::Restyled) == kPile ? 1 : 3);
    QCOMPARE(counts.value(GraphChange::Added), counts.value(GraphChange::Removed));
    QCOMPARE(counts.value(GraphChange::Restyled) + counts.value(GraphChange::Added), kPile);
    QVERIFY(counts.value(GraphChange::Restyled) >= 7); // each of the seven places paired at least once
}

void tst_GraphDiff::containerMembersFollowTheirContainer()
{
    // Guards against every member of a moved group reported as moved, and a member's own change going unseen.
    const auto bay = [](double x, const QString& name) {
        return group({line(x, 100), label(name, x + 10, 100)}, 3);
    };
    auto before = drawingOf({bay(100, "911")});
    auto moved = drawingOf({bay(400, "911")});
    QCOMPARE(briefs(GraphDiff::Compare(*before, *moved)), QStringList{"moved group 3"});
    auto renamed = drawingOf({bay(400, "912")});
    const GraphChangeList changes = GraphDiff::Compare(*before, *renamed);
    QCOMPARE(briefs(changes), (QStringList{"moved group 3", "text changed text 0 in 3"}));
    QCOMPARE(changes.at(1).text, QString("text #2 in group 3 '911' → '912'"));
    auto grown = drawingOf({group({line(100, 100), label("911", 110, 100), line(100, 200)}, 3)});
    QCOMPARE(briefs(GraphDiff::Compare(*before, *grown)), (QStringList{"resized group 3", "added line 0 in 3"}));
}

void tst_GraphDiff::changeTextsAndJson()
{
    // Guards against texts and JSON that do not say what changed, from what to what.
    auto before = beijing();
    auto after = beijing();
    QVERIFY(before && after);
    changeBeijing(*after);
    const GraphChangeList changes = GraphDiff::Compare(*before, *after);
    QStringList lines;
    for (const GraphChange& change : changes)
        lines << change.line();
    QCOMPARE(lines, (QStringList{
        "property: graph type station (2) → feeder (9)",
        "moved: text 6 from (820, 90) to (850, 90)",
        "binding re-pointed: icon 13 /北京变电站/110kV/1016刀闸 (34145501) → /北京变电站/110kV/1017刀闸 (555)",
        "text changed: text 28 '东城线' → '东城一线'",
        "template changed: icon 41 断路器 → 隔离开关",
        "added: rect 49 at (1300, 600) 100 × 60",
        "removed: line 46 was at (1150, 438) 0 × 32"}));
    const QJsonObject added = changes.at(5).toJson();
    QCOMPARE(added["kind"].toString(), QString("added"));
    QCOMPARE(added["id"].toInt(), 49);
    QCOMPARE(added["type"].toString(), QString("rect"));
    QVERIFY(added["old"].isNull());
    QCOMPARE(added["new"].toArray(), (QJsonArray{1300, 600, 100, 60}));
    const QJsonObject property = changes.at(0).toJson();
    QVERIFY(!property.contains("id"));
    QCOMPARE(property["kind"].toString(), QString("property"));
    QVERIFY(property["old"].isNull() && property["new"].isNull());
    // An object of one point still has a place.
    auto point = drawingOf({label("p", 0, 0, 2)});
    point->GetGraph()->GetObjList().first()->SetPoints({QPointF(5, 6)});
    const GraphChangeList gone = GraphDiff::Compare(*point, *drawingOf({}));
    QCOMPARE(gone.size(), 1);
    QCOMPARE(gone.first().toJson()["old"].toArray(), (QJsonArray{5, 6, 0, 0}));
    QVERIFY(gone.first().toJson()["new"].isNull());
}

TALMER_TEST_MAIN(tst_GraphDiff)
#include "tst_graphdiff.moc"
