#pragma once

#include <QList>
#include <QTransform>

#include "graphchange.h"
#include "objectfacts.h"

class MDrawObj;

// The changes between two editions of a list of drawing objects, appended to
// a change list: the objects of the new edition in their order (changed or
// added, a container followed by the changes of its members), then those
// removed, in the old edition's order.
class ObjectDiff
{
public:
    explicit ObjectDiff(GraphChangeList& out) : m_out(out) {}

    // placement maps the old edition's coordinates into the new one's (the
    // identity for a drawing's own objects; a container's move and stretch
    // for its members, so that members that went along count as unchanged).
    void Lists(const QList<MDrawObj*>& before, const QList<MDrawObj*>& after, const QTransform& placement,
               const ObjectFacts* container = nullptr);

private:
    void pairChanges(const ObjectFacts& o, const ObjectFacts& n, const QTransform& placement);
    void geometry(const ObjectFacts& o, const ObjectFacts& n);
    void style(const ObjectFacts& o, const ObjectFacts& n);
    void texts(const ObjectFacts& o, const ObjectFacts& n);
    void iconTemplate(const ObjectFacts& o, const ObjectFacts& n);
    void binding(const ObjectFacts& o, const ObjectFacts& n);
    void members(const ObjectFacts& o, const ObjectFacts& n, const QTransform& placement);
    void add(GraphChange::Kind kind, const ObjectFacts* o, const ObjectFacts* n, const QString& what);

    GraphChangeList& m_out;
    TemplatePrints m_oldPrints;
    TemplatePrints m_newPrints;
    const ObjectFacts* m_container = nullptr; // of the lists being compared; null at the top
};
