#include "mdisplaypattern.h"

#include "mdrawobj.h"
#include "mdrawobjfactory.h"

MDisplayPattern::MDisplayPattern(const QString& name)
    : m_name(name)
{
}

MDisplayPattern::~MDisplayPattern()
{
    qDeleteAll(m_shapes);
}

MDisplayPattern::MDisplayPattern(const MDisplayPattern& other)
    : m_name(other.m_name)
{
    for (const MDrawObj* shape : other.m_shapes)
        m_shapes.append(shape->Clone());
}

void MDisplayPattern::AddShape(MDrawObj* shape)
{
    if (shape)
        m_shapes.append(shape);
}

void MDisplayPattern::DrawShapes(QPainter* painter) const
{
    for (const MDrawObj* shape : m_shapes)
        shape->DrawShape(painter);
}

GraphNode MDisplayPattern::ToNode() const
{
    GraphNode node("pattern");
    node.set("name", m_name);
    for (const MDrawObj* shape : m_shapes)
        node.children.append(shape->ToNode());
    return node;
}

void MDisplayPattern::FromNode(const GraphNode& node)
{
    m_name = GraphValue::text(node.value("name"));
    for (const GraphNode& child : node.children) {
        // Icons are made of plain figures and texts; nested icons could loop.
        MDrawObj* shape = MDrawObjFactory::Instance()->CreateFromNode(child, nullptr);
        if (shape && shape->GetType() != MDrawObj::ObjIcon && shape->MemberCount() == 0)
            m_shapes.append(shape);
        else
            delete shape;
    }
}
