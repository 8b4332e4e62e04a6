#include "miconobj.h"

#include <QPainter>

#include "mdisplaypattern.h"
#include "mgraph.h"
#include "micontemplate.h"

MIconObj::MIconObj(const MIconTemplate* iconTemplate)
    : MDrawObj(ObjIcon), m_template(iconTemplate), m_symbol(iconTemplate)
{
}

MIconObj::MIconObj(const MIconObj& other)
    : MDrawObj(other),
      m_template(other.m_template),
      m_symbol(other.m_template),
      m_customType(other.m_customType),
      m_text(other.m_text),
      m_station(other.m_station)
{
    m_symbol.SetCurrentIndex(other.m_symbol.CurrentIndex());
}

void MIconObj::SetTemplate(const MIconTemplate* iconTemplate)
{
    m_template = iconTemplate;
    m_symbol.SetTemplate(iconTemplate);
}

void MIconObj::SetStationName(const QString& name)
{
    m_station = name;
    if (m_customType == 1)
        m_text = name;
}

bool MIconObj::IsLineType() const
{
    return m_template && m_template->IsLineShape();
}

void MIconObj::DrawShape(QPainter* painter) const
{
    const QRectF r = BoundingRect();
    const MDisplayPattern* pattern = m_symbol.CurrentPattern();
    const QSizeF size = m_template ? m_template->GetDefaultSize() : QSizeF();
    painter->save();
    if (!pattern || size.width() <= 0 || size.height() <= 0) {
        // An icon whose template is missing: a dashed box where it stands.
        painter->setPen(QPen(Qt::gray, 1, Qt::DashLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(r);
    } else {
        painter->translate(r.topLeft());
        painter->scale(r.width() / size.width(), r.height() / size.height());
        pattern->DrawShapes(painter);
    }
    painter->restore();
}

void MIconObj::TransformTexts(int kinds, const std::function<QString(const QString&)>& f)
{
    MDrawObj::TransformTexts(kinds, f);
    if (kinds & IconText) {
        m_text = f(m_text);
        m_station = f(m_station);
    }
}

GraphNode MIconObj::ToNode() const
{
    GraphNode node = MDrawObj::ToNode();
    node.set("template", m_template ? m_template->GetUuid().toString() : QString());
    node.set("pattern", m_symbol.CurrentIndex());
    if (m_customType != 0)
        node.set("customType", m_customType);
    if (!m_text.isEmpty())
        node.set("text", m_text);
    if (!m_station.isEmpty())
        node.set("station", m_station);
    return node;
}

void MIconObj::FromNode(const GraphNode& node, MGraph* templates)
{
    MDrawObj::FromNode(node, templates);
    const QUuid uuid = QUuid::fromString(GraphValue::text(node.value("template")));
    SetTemplate(templates && !uuid.isNull() ? templates->FindTemplate(uuid) : nullptr);
    m_symbol.SetCurrentIndex(GraphValue::integer(node.value("pattern")));
    m_customType = GraphValue::integer(node.value("customType"));
    m_text = GraphValue::text(node.value("text"));
    m_station = GraphValue::text(node.value("station"));
}
