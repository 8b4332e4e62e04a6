#include "mhasrelation.h"

#include <QPainter>

#include "graphenginelog.h"
#include "graphxmlformat.h"
#include "mdrawobjfactory.h"
#include "mgraph.h"

namespace {

constexpr int kFormat = 1;

} // namespace

MHasRelation::MHasRelation(int type)
    : MDrawObj(type)
{
}

MHasRelation::~MHasRelation()
{
    Clear();
}

MHasRelation::MHasRelation(const MHasRelation& other)
    : MDrawObj(other)
{
    if (other.m_templates)
        m_templates = new MGraph(*other.m_templates);
    for (const MDrawObj* member : other.m_members) {
        MDrawObj* copy = member->Clone();
        if (m_templates)
            m_templates->AdoptTemplatesOf(copy);
        m_members.append(copy);
    }
}

void MHasRelation::Clear()
{
    qDeleteAll(m_members);
    m_members.clear();
    delete m_templates;
    m_templates = nullptr;
}

MGraph* MHasRelation::TemplateStore()
{
    if (!m_templates)
        m_templates = new MGraph;
    return m_templates;
}

void MHasRelation::AddMember(MDrawObj* member)
{
    if (member)
        m_members.append(member);
}

bool MHasRelation::LoadFile(const QString& path)
{
    Clear();
    GraphNode node;
    if (!GraphXmlFormat::ReadFile(path, "template", node))
        return false;
    if (GraphValue::integer(node.value("format"), kFormat) > kFormat) {
        qCWarning(lcGraphEngine).noquote() << "cannot read" << path << ": a template of a newer format";
        return false;
    }
    m_templates = new MGraph;
    if (const GraphNode* templates = node.child("templates"))
        m_templates->TemplatesFromNode(*templates);
    if (const GraphNode* objects = node.child("objects")) {
        for (const GraphNode& child : objects->children)
            AddMember(MDrawObjFactory::Instance()->CreateFromNode(child, m_templates));
    }
    return true;
}

bool MHasRelation::SaveFile(const QString& path) const
{
    GraphNode node("template");
    node.set("format", kFormat);
    GraphNode templates("templates");
    if (m_templates)
        templates = m_templates->TemplatesToNode();
    node.children.append(templates);
    GraphNode objects("objects");
    for (const MDrawObj* member : m_members)
        objects.children.append(member->ToNode());
    node.children.append(objects);
    return GraphXmlFormat::WriteFile(path, node);
}

QRectF MHasRelation::BoundingRect() const
{
    QRectF r;
    for (const MDrawObj* member : m_members)
        r = r.isNull() ? member->BoundingRect() : r.united(member->BoundingRect());
    return r;
}

QPolygonF MHasRelation::GetPoints() const
{
    const QRectF r = BoundingRect();
    return QPolygonF{r.topLeft(), r.bottomRight()};
}

void MHasRelation::SetPoints(const QPolygonF& points)
{
    // Members follow the container from its old rectangle to the new one.
    const QRectF from = BoundingRect();
    const QRectF to = points.boundingRect();
    const double sx = from.width() > 0 ? to.width() / from.width() : 1.0;
    const double sy = from.height() > 0 ? to.height() / from.height() : 1.0;
    for (MDrawObj* member : m_members) {
        QPolygonF p = member->GetPoints();
        for (QPointF& q : p)
            q = to.topLeft() + QPointF((q.x() - from.left()) * sx, (q.y() - from.top()) * sy);
        member->SetPoints(p);
    }
}

void MHasRelation::DrawShape(QPainter* painter) const
{
    for (const MDrawObj* member : m_members)
        member->DrawShape(painter);
}

void MHasRelation::TransformTexts(int kinds, const std::function<QString(const QString&)>& f)
{
    MDrawObj::TransformTexts(kinds, f);
    for (MDrawObj* member : m_members)
        member->TransformTexts(kinds, f);
}

GraphNode MHasRelation::ToNode() const
{
    GraphNode node(MDrawObjFactory::TypeName(GetType()));
    if (GetId() != 0)
        node.set("id", GetId());
    if (!GetOid().isEmpty())
        node.set("oid", GetOid());
    if (!GetPath().isEmpty())
        node.set("path", GetPath());
    for (const MDrawObj* member : m_members)
        node.children.append(member->ToNode());
    return node;
}

void MHasRelation::FromNode(const GraphNode& node, MGraph* templates)
{
    Clear();
    SetId(GraphValue::integer(node.value("id")));
    SetOid(GraphValue::text(node.value("oid")));
    SetPath(GraphValue::text(node.value("path")));
    for (const GraphNode& child : node.children)
        AddMember(MDrawObjFactory::Instance()->CreateFromNode(child, templates));
}
