#include "templatedoc.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cmath>

#include "mgraph.h"
#include "mgraphdoc.h"
#include "mhasrelation.h"
#include "micontemplate.h"

namespace {

// Room around the members, so that the canvas does not crop them and a new
// template has space to draw in.
constexpr double kMargin = 40;
const QSizeF kSmallest(400, 300);

// Copies the icon templates of from into to, then clones of objects, each
// moved by shift and made to use to's templates; add puts a clone in its place.
template<typename Add>
void copyContent(const MGraph* from, const QList<MDrawObj*>& objects, const QPointF& shift, MGraph& to, Add add)
{
    for (int i = 0; from && i < from->IconTemplateNum(); ++i)
        to.AddIconTemplate(new MIconTemplate(*from->IconTemplateAt(i)));
    for (const MDrawObj* obj : objects) {
        MDrawObj* copy = obj->Clone();
        if (!shift.isNull())
            copy->SetPosition(shift.x(), shift.y(), true);
        to.AdoptTemplatesOf(copy);
        add(copy);
    }
}

QRectF boundsOf(const QList<MDrawObj*>& objects)
{
    QRectF united;
    for (const MDrawObj* obj : objects)
        united = united.united(obj->BoundingRect());
    return united;
}

// Whole units, so that shifting there and back gives the same coordinates.
double shiftFor(double low)
{
    return low < 0 ? std::ceil(-low) + kMargin : 0;
}

} // namespace

namespace TemplateDoc {

std::unique_ptr<MGraphDoc> Load(const QString& path, QPointF& shift, QString& error)
{
    MHasRelation container(MDrawObj::ObjTemplate);
    if (QFileInfo::exists(path) && !container.LoadFile(path)) {
        error = QCoreApplication::translate("TemplateDoc", "%1 is not a template this editor can read").arg(path);
        return nullptr;
    }
    auto doc = std::make_unique<MGraphDoc>();
    doc->SetName(QFileInfo(path).completeBaseName());
    QList<MDrawObj*> members;
    for (int i = 0; i < container.Size(); ++i)
        members << container.At(i);
    const QRectF bounds = boundsOf(members);
    shift = QPointF(shiftFor(bounds.left()), shiftFor(bounds.top()));
    MGraph* graph = doc->GetGraph();
    copyContent(container.Templates(), members, shift, *graph, [graph](MDrawObj* obj) { graph->AddObject(obj); });
    const QRectF shown = bounds.translated(shift);
    doc->SetSize(QSizeF(qMax(kSmallest.width(), shown.right() + kMargin),
                        qMax(kSmallest.height(), shown.bottom() + kMargin)));
    return doc;
}

bool Save(const MGraphDoc& doc, const QPointF& shift, const QString& path, QString& error)
{
    MHasRelation container(MDrawObj::ObjTemplate);
    const MGraph* graph = doc.GetGraph();
    copyContent(graph, graph->GetObjList(), -shift, *container.TemplateStore(),
                [&container](MDrawObj* obj) { container.AddMember(obj); });
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        error = QCoreApplication::translate("TemplateDoc", "cannot make the folder of %1").arg(path);
        return false;
    }
    if (!container.SaveFile(path)) {
        error = QCoreApplication::translate("TemplateDoc", "cannot write %1").arg(path);
        return false;
    }
    return true;
}

} // namespace TemplateDoc
