#include "micontemplate.h"

#include "graphenginelog.h"
#include "graphxmlformat.h"
#include "mdisplaypattern.h"
#include "miconobj.h"

namespace {

constexpr int kFormat = 1;
constexpr double kMaxIconSize = 10000.0;
constexpr int kMaxPatterns = 64;

} // namespace

MIconTemplate::MIconTemplate() = default;

MIconTemplate::MIconTemplate(const QUuid& uuid, MGraph* graph)
    : m_uuid(uuid), m_graph(graph)
{
}

MIconTemplate::~MIconTemplate()
{
    qDeleteAll(m_patterns);
}

MIconTemplate::MIconTemplate(const MIconTemplate& other)
    : m_name(other.m_name),
      m_uuid(other.m_uuid),
      m_catalogName(other.m_catalogName),
      m_catalogId(other.m_catalogId),
      m_shapeType(other.m_shapeType),
      m_defaultSize(other.m_defaultSize),
      m_graph(nullptr)
{
    for (const MDisplayPattern* pattern : other.m_patterns)
        m_patterns.append(new MDisplayPattern(*pattern));
}

void MIconTemplate::clear()
{
    qDeleteAll(m_patterns);
    m_patterns.clear();
    m_name.clear();
    m_uuid = QUuid();
    m_catalogName.clear();
    m_catalogId = 0;
    m_shapeType = 0;
    m_defaultSize = QSizeF(0, 0);
}

void MIconTemplate::AddPattern(MDisplayPattern* pattern)
{
    if (pattern)
        m_patterns.append(pattern);
}

MIconObj* MIconTemplate::NewObj(const QString& name) const
{
    auto* obj = new MIconObj(this);
    obj->SetPoints(QPolygonF{QPointF(0, 0), QPointF(m_defaultSize.width(), m_defaultSize.height())});
    obj->SetText(name);
    return obj;
}

bool MIconTemplate::ReadXmlFile(const QString& path)
{
    clear();
    GraphNode node;
    if (!GraphXmlFormat::ReadFile(path, "icontemplate", node))
        return false;
    if (FromNode(node))
        return true;
    qCWarning(lcGraphEngine).noquote() << "cannot read" << path << ": not an icon of a format this engine knows";
    return false;
}

bool MIconTemplate::WriteXmlFile(const QString& path) const
{
    return GraphXmlFormat::WriteFile(path, ToNode());
}

GraphNode MIconTemplate::ToNode() const
{
    GraphNode node("icontemplate");
    node.set("format", kFormat);
    node.set("name", m_name);
    node.set("uuid", m_uuid.toString());
    node.set("catalog", m_catalogName);
    node.set("catalogId", m_catalogId);
    node.set("shapeType", m_shapeType);
    node.set("width", m_defaultSize.width());
    node.set("height", m_defaultSize.height());
    for (const MDisplayPattern* pattern : m_patterns)
        node.children.append(pattern->ToNode());
    return node;
}

bool MIconTemplate::FromNode(const GraphNode& node)
{
    clear();
    if (node.name != "icontemplate" || GraphValue::integer(node.value("format"), kFormat) > kFormat)
        return false;
    m_name = GraphValue::text(node.value("name"));
    m_uuid = QUuid::fromString(GraphValue::text(node.value("uuid")));
    m_catalogName = GraphValue::text(node.value("catalog"));
    m_catalogId = GraphValue::integer(node.value("catalogId"));
    m_shapeType = GraphValue::integer(node.value("shapeType"));
    m_defaultSize = QSizeF(qBound(0.0, GraphValue::number(node.value("width")), kMaxIconSize),
                           qBound(0.0, GraphValue::number(node.value("height")), kMaxIconSize));
    for (const GraphNode& child : node.children) {
        if (child.name != "pattern" || m_patterns.size() >= kMaxPatterns)
            continue;
        auto* pattern = new MDisplayPattern;
        pattern->FromNode(child);
        m_patterns.append(pattern);
    }
    return true;
}
