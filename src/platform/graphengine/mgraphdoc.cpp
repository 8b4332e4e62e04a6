#include "mgraphdoc.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QPainter>
#include <QSvgGenerator>

#include "graphbinaryformat.h"
#include "graphenginelog.h"
#include "graphfile.h"
#include "graphxmlformat.h"
#include "mdatamessagebus.h"
#include "mdrawobj.h"
#include "mdrawobjfactory.h"
#include "mequipmenttable.h"
#include "mgraph.h"
#include "miconobj.h"

namespace {

constexpr int kFormat = 1;
constexpr double kMaxDrawingSize = 100000.0;

} // namespace

MGraphDoc::MGraphDoc(MGraphStatusEnum status)
    : m_status(status), m_graph(new MGraph)
{
}

MGraphDoc::~MGraphDoc()
{
    delete m_graph;
}

void MGraphDoc::Clear()
{
    m_graph->Clear();
    m_name.clear();
    m_typeId = 0;
    m_typeName.clear();
    m_stations.clear();
    m_share = false;
    m_fillModel = false;
    m_size = QSizeF(1600, 900);
    m_background = QColor(Qt::black);
    m_dataDefines.clear();
}

void MGraphDoc::SetGraphType(QString& name, int& typeId)
{
    m_typeName = name;
    m_typeId = typeId;
}

void MGraphDoc::SetGraphStation(const QString& name, int index)
{
    m_stations.insert(index, name);
}

// ---- file forms --------------------------------------------------------------

GraphNode MGraphDoc::ToNode() const
{
    GraphNode node("graph");
    node.set("format", kFormat);
    node.set("name", m_name);
    node.set("typeId", m_typeId);
    node.set("typeName", m_typeName);
    node.set("share", m_share);
    node.set("fillModel", m_fillModel);
    node.set("width", m_size.width());
    node.set("height", m_size.height());
    node.set("background", m_background);
    for (auto it = m_stations.begin(); it != m_stations.end(); ++it) {
        GraphNode station("station");
        station.set("index", it.key());
        station.set("name", it.value());
        node.children.append(station);
    }
    node.children.append(m_graph->TemplatesToNode());
    GraphNode objects("objects");
    for (const MDrawObj* obj : m_graph->GetObjList())
        objects.children.append(obj->ToNode());
    node.children.append(objects);
    return node;
}

bool MGraphDoc::FromNode(const GraphNode& node)
{
    Clear();
    if (node.name != "graph" || GraphValue::integer(node.value("format"), kFormat) > kFormat)
        return false;
    m_name = GraphValue::text(node.value("name"));
    m_typeId = GraphValue::integer(node.value("typeId"));
    m_typeName = GraphValue::text(node.value("typeName"));
    m_share = GraphValue::flag(node.value("share"));
    m_fillModel = GraphValue::flag(node.value("fillModel"));
    m_size = QSizeF(qBound(1.0, GraphValue::number(node.value("width"), 1600), kMaxDrawingSize),
                    qBound(1.0, GraphValue::number(node.value("height"), 900), kMaxDrawingSize));
    m_background = GraphValue::color(node.value("background"), Qt::black);
    for (const GraphNode& child : node.children) {
        if (child.name == "station")
            m_stations.insert(GraphValue::integer(child.value("index")), GraphValue::text(child.value("name")));
        else if (child.name == "templates")
            m_graph->TemplatesFromNode(child);
    }
    if (const GraphNode* objects = node.child("objects")) {
        for (const GraphNode& child : objects->children)
            m_graph->AddObject(MDrawObjFactory::Instance()->CreateFromNode(child, m_graph));
    }
    return true;
}

namespace {

void warnRefused(const QString& path)
{
    qCWarning(lcGraphEngine).noquote() << "cannot read" << path << ": not a drawing of a format this engine knows";
}

} // namespace

bool MGraphDoc::adoptRead(const QString& path, bool read, const GraphNode& node)
{
    if (read && FromNode(node))
        return true;
    if (read)
        warnRefused(path);
    Clear();
    return false;
}

bool MGraphDoc::ReadXmlFile(const QString& path)
{
    GraphNode node;
    const bool read = GraphXmlFormat::ReadFile(path, "graph", node);
    return adoptRead(path, read, node);
}

bool MGraphDoc::WriteXmlFile(const QString& path) const
{
    return GraphXmlFormat::WriteFile(path, ToNode());
}

bool MGraphDoc::ReadDataFile(const QString& path)
{
    GraphNode node;
    const bool read = GraphBinaryFormat::ReadFile(path, node);
    return adoptRead(path, read, node);
}

bool MGraphDoc::WriteDataFile(const QString& path) const
{
    return GraphBinaryFormat::WriteFile(path, ToNode());
}

void MGraphDoc::UpdateDataDefine()
{
    m_dataDefines.clear();
    for (MDrawObj* obj : MGraph::WithMembers(m_graph->GetObjList())) {
        if (!obj->GetOid().isEmpty() || !obj->GetPath().isEmpty())
            m_dataDefines.append({obj->GetOid(), obj->GetPath()});
    }
}

bool MGraphDoc::WriteDynamicDataFile(const QString& path) const
{
    GraphNode node("dynamic");
    node.set("format", kFormat);
    node.set("graph", m_name);
    for (const EquipPathFromOID& binding : m_dataDefines) {
        GraphNode bind("bind");
        bind.set("oid", binding.oid);
        bind.set("path", binding.path);
        node.children.append(bind);
    }
    return GraphXmlFormat::WriteFile(path, node);
}

bool MGraphDoc::ReadDynamicDataFile(const QString& path)
{
    m_dataDefines.clear();
    GraphNode node;
    if (!GraphXmlFormat::ReadFile(path, "dynamic", node))
        return false;
    if (GraphValue::integer(node.value("format"), kFormat) > kFormat) {
        warnRefused(path);
        return false;
    }
    for (const GraphNode& bind : node.children) {
        if (bind.name == "bind")
            m_dataDefines.append({GraphValue::text(bind.value("oid")), GraphValue::text(bind.value("path"))});
    }
    return true;
}

void MGraphDoc::Render(QPainter* painter, bool withBackground) const
{
    if (withBackground)
        painter->fillRect(QRectF(QPointF(0, 0), m_size), m_background);
    for (const MDrawObj* obj : m_graph->GetObjList())
        obj->DrawShape(painter);
}

bool MGraphDoc::WriteSvgFile(const QString& path, bool withBackground) const
{
    // Rendered into memory first, so that the file is replaced only when whole.
    QByteArray svg;
    QBuffer buffer(&svg);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(m_size.toSize());
    generator.setViewBox(QRectF(QPointF(0, 0), m_size));
    generator.setTitle(m_name);
    generator.setDescription(m_typeName);
    QPainter painter;
    if (!painter.begin(&generator))
        return false;
    painter.setRenderHint(QPainter::Antialiasing);
    Render(&painter, withBackground);
    painter.end();
    return GraphFile::Write(path, svg);
}

// ---- texts and identifiers -----------------------------------------------------

void MGraphDoc::ReplaceString(QList<MDrawObj*>& objects, const QString& oldText, const QString& newText, int mode)
{
    if (oldText.isEmpty())
        return;
    int kinds = 0;
    if (mode == 1 || mode == 3)
        kinds |= MDrawObj::ShapeText;
    if (mode == 2 || mode == 3)
        kinds |= MDrawObj::IconText;
    if (mode == 3)
        kinds |= MDrawObj::BindingPath;
    const auto replace = [&](const QString& text) { return QString(text).replace(oldText, newText); };
    for (MDrawObj* obj : objects)
        obj->TransformTexts(kinds, replace);
}

void MGraphDoc::TranslateText()
{
    MDataMessageBus* bus = MDataMessageBus::Instance();
    if (bus->TranslateHandlerNum() == 0)
        return;
    const auto translate = [bus](const QString& text) { return text.isEmpty() ? text : bus->Translate(text); };
    for (MDrawObj* obj : m_graph->GetObjList())
        obj->TransformTexts(MDrawObj::ShapeText | MDrawObj::IconText, translate);
}

void MGraphDoc::RefreshOids(QList<MErrMsg>& errors, QList<EquipPathFromOID>& paths, int mode)
{
    for (MDrawObj* obj : MGraph::WithMembers(m_graph->GetObjList())) {
        if (obj->GetPath().isEmpty() || (mode == 1 && !obj->GetOid().isEmpty())
            || (mode == 2 && obj->GetType() != MDrawObj::ObjIcon))
            continue;
        QString oid;
        for (const EquipPathFromOID& known : std::as_const(paths)) {
            if (known.path == obj->GetPath())
                oid = known.oid;
        }
        if (oid.isEmpty()) {
            oid = MEquipmentTable::Lookup(obj->GetPath());
            if (oid.isEmpty()) {
                errors.append(MErrMsg(obj->GetPath(),
                                      QCoreApplication::translate("MGraphDoc", "no equipment at %1 in %2")
                                          .arg(obj->GetPath(), m_name),
                                      obj->GetId()));
                continue;
            }
            paths.append({oid, obj->GetPath()});
        }
        obj->SetOid(oid);
    }
}
