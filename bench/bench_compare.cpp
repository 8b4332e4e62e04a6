// The comparison of two editions of a large drawing (20,000 objects), against
// a baseline of the same run: one pass over both object lists taking each
// object's rectangle, the least any comparison must do.
// Run: bench_compare
#include <QGuiApplication>
#include <QRandomGenerator>

#include "benchharness.h"
#include "graphdiff.h"
#include "mgraph.h"
#include "mgraphdoc.h"
#include "miconobj.h"
#include "micontemplate.h"
#include "mshapeobj.h"
#include "mtextobj.h"

namespace {

constexpr int kObjects = 20000;

MIconTemplate* breakerTemplate()
{
    auto* t = new MIconTemplate(QUuid::fromString(QStringLiteral("{ddba31f8-e3d7-551f-abd7-9f36d6a6bcd8}")), nullptr);
    t->SetName("breaker");
    t->SetDefaultSize(QSizeF(20, 30));
    return t;
}

// A drawing of kObjects: lines, rectangles, texts and bound icons on a grid.
// withIds false leaves every identifier 0, so that pairing goes by content
// and place.
void fill(MGraphDoc& doc, bool withIds)
{
    MGraph* graph = doc.GetGraph();
    MIconTemplate* breaker = graph->AddIconTemplate(breakerTemplate());
    doc.SetSize(QSizeF(20000, 12000));
    for (int i = 0; i < kObjects; ++i) {
        const QPointF at(40.0 * (i % 500), 60.0 * (i / 500));
        MDrawObj* obj = nullptr;
        switch (i % 4) {
        case 0:
            obj = new MShapeObj(MDrawObj::ObjLine);
            obj->SetPoints({at, at + QPointF(0, 20)});
            break;
        case 1:
            obj = new MShapeObj(MDrawObj::ObjRect);
            obj->SetPoints({at, at + QPointF(30, 20)});
            break;
        case 2: {
            auto* text = new MTextObj;
            text->SetText(QString("label %1").arg(i));
            text->SetPoints({at, at + QPointF(36, 16)});
            obj = text;
            break;
        }
        default: {
            MIconObj* icon = breaker->NewObj(QString());
            icon->SetPosition(at.x() + 10, at.y() + 15, false);
            icon->SetOid(QString::number(100000 + i));
            icon->SetPath(QString("/station/bay %1/breaker").arg(i));
            obj = icon;
        }
        }
        if (withIds)
            graph->AddObject(obj);
        else
            graph->GetObjList().append(obj);
    }
}

// About 1% of the objects each moved, retexted, re-pointed, removed; 1% added.
void change(MGraphDoc& doc)
{
    QList<MDrawObj*>& objects = doc.GetGraph()->GetObjList();
    QRandomGenerator random(7);
    for (int n = 0; n < kObjects / 100; ++n) {
        MDrawObj* obj = objects.at(int(random.bounded(objects.size())));
        obj->SetPosition(5, 3, true);
        if (obj->GetType() == MDrawObj::ObjText)
            static_cast<MTextObj*>(obj)->SetText("changed");
        if (!obj->GetOid().isEmpty())
            obj->SetOid("1");
        delete objects.takeAt(int(random.bounded(objects.size())));
        auto* added = new MShapeObj(MDrawObj::ObjEllipse);
        added->SetPoints({QPointF(n * 7.0, 12500), QPointF(n * 7.0 + 5, 12505)});
        objects.append(added);
    }
}

double baseline(const MGraphDoc& a, const MGraphDoc& b)
{
    double sum = 0;
    return Bench::medianMicros([&] {
        for (const MGraphDoc* doc : {&a, &b}) {
            for (const MDrawObj* obj : doc->GetGraph()->GetObjList())
                sum += obj->BoundingRect().width();
        }
    }, 20) + (sum < 0 ? 1 : 0);
}

void measure(Bench::Table& table, bool withIds)
{
    MGraphDoc before, after;
    fill(before, withIds);
    fill(after, withIds);
    change(after);
    int changes = 0;
    const double diff = Bench::medianMicros([&] { changes = int(GraphDiff::Compare(before, after).size()); }, 10);
    const double pass = baseline(before, after);
    const QString name = QString("diff of 20,000 objects%1 (%2 changes)")
                             .arg(withIds ? "" : " without identifiers")
                             .arg(changes);
    table.limit(name, diff, "one pass over both lists", pass, 200000);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    Bench::Table table;
    measure(table, true);
    measure(table, false);
    table.print();
    return 0;
}
