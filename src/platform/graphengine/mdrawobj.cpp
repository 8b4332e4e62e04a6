#include "mdrawobj.h"

#include <QPainter>

#include "mdrawobjfactory.h"

MDrawObj::MDrawObj(int type)
    : m_type(type)
{
}

MDrawObj::~MDrawObj() = default;

void MDrawObj::SetPoints(const QPolygonF& points)
{
    m_points = points;
}

QRectF MDrawObj::BoundingRect() const
{
    return GetPoints().boundingRect();
}

void MDrawObj::SetSize(double w, double h, bool keepAspect)
{
    const QRectF r = BoundingRect();
    double sx = r.width() > 0 ? w / r.width() : 1.0;
    double sy = r.height() > 0 ? h / r.height() : 1.0;
    if (keepAspect)
        sx = sy = qMin(sx, sy);
    QPolygonF points = GetPoints();
    for (QPointF& p : points)
        p = r.topLeft() + QPointF((p.x() - r.left()) * sx, (p.y() - r.top()) * sy);
    SetPoints(points);
}

void MDrawObj::SetPosition(double x, double y, bool relative)
{
    const QPointF shift = relative ? QPointF(x, y) : QPointF(x, y) - Position();
    SetPoints(GetPoints().translated(shift));
}

void MDrawObj::Draw(QPainter* painter) const
{
    painter->save();
    painter->translate(-Position());
    DrawShape(painter);
    painter->restore();
}

void MDrawObj::setupPen(QPainter* painter) const
{
    painter->setPen(QPen(m_pen, m_penWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter->setBrush(m_brush.alpha() > 0 ? QBrush(m_brush) : QBrush(Qt::NoBrush));
}

void MDrawObj::TransformTexts(int kinds, const std::function<QString(const QString&)>& f)
{
    if ((kinds & BindingPath) && !m_path.isEmpty())
        m_path = f(m_path);
}

GraphNode MDrawObj::ToNode() const
{
    GraphNode node(MDrawObjFactory::TypeName(m_type));
    if (m_id != 0)
        node.set("id", m_id);
    node.set("points", QVariant::fromValue(GetPoints()));
    node.set("pen", m_pen);
    node.set("penWidth", m_penWidth);
    if (m_brush.alpha() > 0)
        node.set("brush", m_brush);
    if (!m_oid.isEmpty())
        node.set("oid", m_oid);
    if (!m_path.isEmpty())
        node.set("path", m_path);
    return node;
}

void MDrawObj::FromNode(const GraphNode& node, MGraph*)
{
    m_id = GraphValue::integer(node.value("id"));
    m_points = GraphValue::polygon(node.value("points"));
    m_pen = GraphValue::color(node.value("pen"), Qt::black);
    m_penWidth = qBound(0.0, GraphValue::number(node.value("penWidth"), 1.0), 1000.0);
    m_brush = GraphValue::color(node.value("brush"), Qt::transparent);
    m_oid = GraphValue::text(node.value("oid"));
    m_path = GraphValue::text(node.value("path"));
}
