#include "objectdiff.h"

#include <QHash>

#include "changetext.h"
#include "mdrawobj.h"
#include "objectmatcher.h"

namespace {

QList<MDrawObj*> membersOf(const MDrawObj* obj)
{
    QList<MDrawObj*> members;
    for (int i = 0; i < obj->MemberCount(); ++i)
        members << obj->MemberAt(i);
    return members;
}

// Maps the old rectangle onto the new one, as a container takes its members along.
QTransform stretch(const QRectF& from, const QRectF& to)
{
    const double sx = from.width() > 0 ? to.width() / from.width() : 1.0;
    const double sy = from.height() > 0 ? to.height() / from.height() : 1.0;
    return QTransform::fromTranslate(-from.left(), -from.top()) * QTransform::fromScale(sx, sy)
        * QTransform::fromTranslate(to.left(), to.top());
}

// How many old objects have an equal one in the new list.
int unchangedCount(const std::vector<ObjectFacts>& before, const std::vector<ObjectFacts>& after)
{
    QHash<size_t, int> available;
    for (const ObjectFacts& f : after)
        ++available[f.fullKey];
    int count = 0;
    for (const ObjectFacts& f : before) {
        auto it = available.find(f.fullKey);
        if (it != available.end() && *it > 0) {
            --*it;
            ++count;
        }
    }
    return count;
}

bool isContainer(const ObjectFacts& f)
{
    return f.type == MDrawObj::ObjGroup || f.type == MDrawObj::ObjTemplate;
}

} // namespace

void ObjectDiff::Lists(const QList<MDrawObj*>& before, const QList<MDrawObj*>& after, const QTransform& placement,
                       const ObjectFacts* container)
{
    const ObjectFacts* outer = m_container;
    m_container = container;
    const std::vector<ObjectFacts> o = FactsOf(before, placement, m_oldPrints);
    const std::vector<ObjectFacts> n = FactsOf(after, QTransform(), m_newPrints);
    const ObjectMatcher matcher(o, n);
    for (const ObjectFacts& f : n) {
        const int old = matcher.OldOf()[size_t(f.index)];
        if (old < 0)
            add(GraphChange::Added, nullptr, &f, ChangeText::Tr("at %1").arg(ChangeText::Rect(f.drawn)));
        else
            pairChanges(o[size_t(old)], f, placement);
    }
    for (const ObjectFacts& f : o) {
        if (matcher.NewOf()[size_t(f.index)] < 0)
            add(GraphChange::Removed, &f, nullptr, ChangeText::Tr("was at %1").arg(ChangeText::Rect(f.drawn)));
    }
    m_container = outer;
}

void ObjectDiff::pairChanges(const ObjectFacts& o, const ObjectFacts& n, const QTransform& placement)
{
    geometry(o, n);
    style(o, n);
    texts(o, n);
    iconTemplate(o, n);
    binding(o, n);
    if (isContainer(o) && isContainer(n))
        members(o, n, placement);
}

void ObjectDiff::geometry(const ObjectFacts& o, const ObjectFacts& n)
{
    const bool resized = !ChangeText::Near(o.rect.size(), n.rect.size());
    const bool cornerStayed = ChangeText::Near(o.rect.topLeft(), n.rect.topLeft());
    const bool centreStayed = ChangeText::Near(o.rect.center(), n.rect.center());
    if (resized)
        add(GraphChange::Resized, &o, &n,
            ChangeText::Tr("from %1 to %2").arg(ChangeText::Size(o.drawn.size()), ChangeText::Size(n.drawn.size())));
    // Stretching keeps one of them; only a move shifts both.
    if (!cornerStayed && !centreStayed)
        add(GraphChange::Moved, &o, &n,
            ChangeText::Tr("from %1 to %2")
                .arg(ChangeText::Point(o.drawn.topLeft()), ChangeText::Point(n.drawn.topLeft())));
    if (!resized && cornerStayed && !o.sameGeometry(n))
        add(GraphChange::Reshaped, &o, &n,
            ChangeText::Tr("%1 points, now %2").arg(o.points.size()).arg(n.points.size()));
}

void ObjectDiff::style(const ObjectFacts& o, const ObjectFacts& n)
{
    QStringList parts;
    ChangeText::Compare(parts, QT_TRANSLATE_NOOP("GraphDiff", "pen"), o.pen, n.pen);
    ChangeText::Compare(parts, QT_TRANSLATE_NOOP("GraphDiff", "brush"), o.brush, n.brush);
    ChangeText::Compare(parts, QT_TRANSLATE_NOOP("GraphDiff", "width"), o.penWidth, n.penWidth);
    ChangeText::Compare(parts, QT_TRANSLATE_NOOP("GraphDiff", "font size"), o.fontSize, n.fontSize);
    ChangeText::Compare(parts, QT_TRANSLATE_NOOP("GraphDiff", "pattern"), double(o.pattern), double(n.pattern));
    ChangeText::Compare(parts, QT_TRANSLATE_NOOP("GraphDiff", "custom type"), double(o.customType),
                        double(n.customType));
    if (!parts.isEmpty())
        add(GraphChange::Restyled, &o, &n, parts.join("; "));
}

void ObjectDiff::texts(const ObjectFacts& o, const ObjectFacts& n)
{
    QStringList parts;
    if (o.text != n.text)
        parts << ChangeText::Tr("%1 → %2").arg(ChangeText::Quoted(o.text), ChangeText::Quoted(n.text));
    if (o.station != n.station)
        parts << ChangeText::Tr("station %1 → %2").arg(ChangeText::Quoted(o.station), ChangeText::Quoted(n.station));
    if (!parts.isEmpty())
        add(GraphChange::TextChanged, &o, &n, parts.join("; "));
}

void ObjectDiff::iconTemplate(const ObjectFacts& o, const ObjectFacts& n)
{
    if (o.templateUuid != n.templateUuid)
        add(GraphChange::TemplateChanged, &o, &n,
            ChangeText::Tr("%1 → %2").arg(ChangeText::TemplateName(o.templateName, o.templateUuid),
                              ChangeText::TemplateName(n.templateName, n.templateUuid)));
    else if (o.templatePrint != n.templatePrint)
        add(GraphChange::TemplateChanged, &o, &n,
            ChangeText::Tr("template %1 was changed").arg(ChangeText::TemplateName(n.templateName, n.templateUuid)));
}

void ObjectDiff::binding(const ObjectFacts& o, const ObjectFacts& n)
{
    if (o.oid == n.oid && o.path == n.path)
        return;
    if (!o.hasBinding())
        add(GraphChange::BindingAdded, &o, &n, ChangeText::Tr("bound to %1").arg(ChangeText::Binding(n.oid, n.path)));
    else if (!n.hasBinding())
        add(GraphChange::BindingRemoved, &o, &n,
            ChangeText::Tr("was bound to %1").arg(ChangeText::Binding(o.oid, o.path)));
    else
        add(GraphChange::BindingRepointed, &o, &n,
            ChangeText::Tr("%1 → %2").arg(ChangeText::Binding(o.oid, o.path), ChangeText::Binding(n.oid, n.path)));
}

void ObjectDiff::members(const ObjectFacts& o, const ObjectFacts& n, const QTransform& placement)
{
    // Where the members' old coordinates land in the new edition depends on
    // why the container's rectangle changed: the container was moved, or
    // stretched (its members follow), or a member moved, came or went (the
    // others stay). The reading under which most members are unchanged wins,
    // the first one on a tie.
    const QList<MDrawObj*> before = membersOf(o.object), after = membersOf(n.object);
    const QPointF shift = n.rect.topLeft() - o.rect.topLeft();
    const QTransform readings[] = {placement * QTransform::fromTranslate(shift.x(), shift.y()),
                                   placement * stretch(o.rect, n.rect), placement};
    const std::vector<ObjectFacts> newFacts = FactsOf(after, QTransform(), m_newPrints);
    const QTransform* best = nullptr;
    int bestCount = -1;
    for (const QTransform& reading : readings) {
        const int count = unchangedCount(FactsOf(before, reading, m_oldPrints), newFacts);
        if (count > bestCount) {
            best = &reading;
            bestCount = count;
        }
    }
    Lists(before, after, *best, &n);
}

void ObjectDiff::add(GraphChange::Kind kind, const ObjectFacts* o, const ObjectFacts* n, const QString& what)
{
    const ObjectFacts& f = n ? *n : *o;
    GraphChange change;
    change.kind = kind;
    change.objectId = f.id;
    change.objectType = f.type;
    change.containerId = m_container ? m_container->id : 0;
    change.detail = what;
    change.text = ChangeText::Object(f, m_container) + " " + what;
    if (o)
        change.oldRect = o->drawn;
    if (n)
        change.newRect = n->drawn;
    m_out.append(change);
}
