#include "objectfacts.h"

#include "changetext.h"
#include "graphbinaryformat.h"
#include "mdrawobj.h"
#include "miconobj.h"
#include "micontemplate.h"
#include "mtextobj.h"

namespace {

using ChangeText::Near;

bool nearPoints(const QPolygonF& a, const QPolygonF& b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        if (!Near(a[i], b[i]))
            return false;
    }
    return true;
}

size_t hashPoints(const QPolygonF& points, size_t seed)
{
    for (const QPointF& p : points)
        seed = qHashMulti(seed, p.x(), p.y());
    return seed;
}

void takeKindFacts(const MDrawObj* obj, ObjectFacts& f, TemplatePrints& prints)
{
    if (obj->GetType() == MDrawObj::ObjText) {
        const auto* text = static_cast<const MTextObj*>(obj);
        f.text = text->GetText();
        f.fontSize = text->GetFontSize();
    } else if (obj->GetType() == MDrawObj::ObjIcon) {
        const auto* icon = static_cast<const MIconObj*>(obj);
        f.text = icon->GetText();
        f.station = icon->GetStationName();
        f.customType = icon->GetCustomType();
        f.pattern = icon->Symbol()->CurrentIndex();
        if (const MIconTemplate* t = icon->GetTemplate()) {
            f.templateUuid = t->GetUuid();
            f.templateName = t->GetName();
            f.templatePrint = prints.Of(t);
        }
    }
}

} // namespace

bool ObjectFacts::sameContent(const ObjectFacts& o) const
{
    return type == o.type && pen == o.pen && brush == o.brush && Near(penWidth, o.penWidth)
        && Near(fontSize, o.fontSize) && text == o.text && station == o.station && customType == o.customType
        && pattern == o.pattern && templateUuid == o.templateUuid && templatePrint == o.templatePrint && oid == o.oid
        && path == o.path && memberCount == o.memberCount;
}

bool ObjectFacts::sameGeometry(const ObjectFacts& o) const
{
    return Near(rect.x(), o.rect.x()) && Near(rect.y(), o.rect.y()) && Near(rect.width(), o.rect.width())
        && Near(rect.height(), o.rect.height()) && nearPoints(points, o.points);
}

size_t TemplatePrints::Of(const MIconTemplate* iconTemplate)
{
    auto it = m_prints.constFind(iconTemplate);
    if (it != m_prints.constEnd())
        return *it;
    const size_t print = qHash(GraphBinaryFormat::Write(iconTemplate->ToNode()));
    m_prints.insert(iconTemplate, print);
    return print;
}

std::vector<ObjectFacts> FactsOf(const QList<MDrawObj*>& objects, const QTransform& placement, TemplatePrints& prints)
{
    std::vector<ObjectFacts> all;
    all.reserve(size_t(objects.size()));
    const bool moved = !placement.isIdentity();
    for (int i = 0; i < objects.size(); ++i) {
        const MDrawObj* obj = objects.at(i);
        ObjectFacts f;
        f.object = obj;
        f.index = i;
        f.id = obj->GetId();
        f.type = obj->GetType();
        f.memberCount = obj->MemberCount();
        // A container's points are its members' bounds: its members speak for it.
        if (f.memberCount == 0)
            f.points = moved ? placement.map(obj->GetPoints()) : obj->GetPoints();
        f.drawn = obj->BoundingRect();
        f.rect = moved ? placement.mapRect(f.drawn) : f.drawn;
        f.pen = obj->GetPenColor();
        f.brush = obj->GetBrushColor();
        f.penWidth = obj->GetPenWidth();
        f.oid = obj->GetOid();
        f.path = obj->GetPath();
        takeKindFacts(obj, f, prints);
        f.contentKey = qHashMulti(0, f.type, f.pen.rgba(), f.brush.rgba(), f.penWidth, f.fontSize, f.text, f.station,
                                  f.customType, f.pattern, f.templateUuid, f.templatePrint, f.oid, f.path, f.memberCount);
        f.fullKey = hashPoints(f.points,
                               qHashMulti(f.contentKey, f.rect.x(), f.rect.y(), f.rect.width(), f.rect.height()));
        all.push_back(std::move(f));
    }
    return all;
}
