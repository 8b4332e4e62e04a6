#include "mtextobj.h"

#include <QPainter>

MTextObj::MTextObj()
    : MDrawObj(ObjText)
{
}

void MTextObj::DrawShape(QPainter* painter) const
{
    painter->save();
    QFont font = painter->font();
    font.setPointSizeF(m_fontSize);
    painter->setFont(font);
    painter->setPen(GetPenColor());
    const QRectF r = BoundingRect();
    if (r.width() > 0 && r.height() > 0)
        painter->drawText(r, Qt::AlignCenter, m_text);
    else
        painter->drawText(r.center(), m_text);
    painter->restore();
}

void MTextObj::TransformTexts(int kinds, const std::function<QString(const QString&)>& f)
{
    MDrawObj::TransformTexts(kinds, f);
    if (kinds & ShapeText)
        m_text = f(m_text);
}

GraphNode MTextObj::ToNode() const
{
    GraphNode node = MDrawObj::ToNode();
    node.set("text", m_text);
    node.set("fontSize", m_fontSize);
    return node;
}

void MTextObj::FromNode(const GraphNode& node, MGraph* templates)
{
    MDrawObj::FromNode(node, templates);
    m_text = GraphValue::text(node.value("text"));
    m_fontSize = qBound(1.0, GraphValue::number(node.value("fontSize"), 12.0), 500.0);
}
