#pragma once

#include <QList>
#include <QString>

#include "graphnode.h"

class MDrawObj;
class QPainter;

// One look of an icon (open, closed, tripped ...): figures in the icon
// template's coordinates, from (0, 0) to its default size.
class MDisplayPattern
{
public:
    explicit MDisplayPattern(const QString& name = QString());
    ~MDisplayPattern();
    MDisplayPattern(const MDisplayPattern& other);
    MDisplayPattern& operator=(const MDisplayPattern&) = delete;

    QString GetName() const { return m_name; }
    // Takes ownership.
    void AddShape(MDrawObj* shape);
    int ShapeNum() const { return int(m_shapes.size()); }
    MDrawObj* ShapeAt(int i) const { return m_shapes.value(i); }

    void DrawShapes(QPainter* painter) const;

    GraphNode ToNode() const;
    void FromNode(const GraphNode& node);

private:
    QString m_name;
    QList<MDrawObj*> m_shapes; // owned
};
