#pragma once

#include <QList>
#include <QSizeF>
#include <QString>
#include <QUuid>

#include "graphnode.h"

class MDisplayPattern;
class MGraph;
class MIconObj;

// An icon of the icon library: its identity (name, uuid, catalog name and id),
// its shape type (0 a box, 1 a line), its default size and its display
// patterns. Stored alone as an ".xco" file, and embedded in the drawings that
// use it.
//
// ".xco": <icontemplate format="1" name uuid catalog catalogId shapeType width height>
//           <pattern name> figures (see MDrawObj) </pattern> ...
//         </icontemplate>
class MIconTemplate
{
public:
    // An empty template: null uuid, no graph, no patterns, size 0 x 0.
    MIconTemplate();
    MIconTemplate(const QUuid& uuid, MGraph* graph);
    ~MIconTemplate();
    MIconTemplate(const MIconTemplate& other);
    MIconTemplate& operator=(const MIconTemplate&) = delete;

    // Loads the file; an unreadable or damaged one leaves an empty template
    // (and false).
    bool ReadXmlFile(const QString& path);
    bool WriteXmlFile(const QString& path) const;

    QString GetName() const { return m_name; }
    void SetName(const QString& name) { m_name = name; }
    QUuid GetUuid() const { return m_uuid; }
    void SetUuid(const QUuid& uuid) { m_uuid = uuid; }
    QString GetCatalogName() const { return m_catalogName; }
    void SetCatalogName(const QString& name) { m_catalogName = name; }
    int GetCatalogId() const { return m_catalogId; }
    void SetCatalogId(int id) { m_catalogId = id; }
    int GetIconShapeType() const { return m_shapeType; }
    void SetIconShapeType(int shapeType) { m_shapeType = shapeType; }
    bool IsLineShape() const { return m_shapeType == 1; }
    QSizeF GetDefaultSize() const { return m_defaultSize; }
    void SetDefaultSize(const QSizeF& size) { m_defaultSize = size; }
    MGraph* GetGraph() const { return m_graph; }
    void SetGraph(MGraph* graph) { m_graph = graph; }

    int PatternNum() const { return int(m_patterns.size()); }
    MDisplayPattern* PatternAt(int i) const { return m_patterns.value(i); }
    // Takes ownership.
    void AddPattern(MDisplayPattern* pattern);

    // A new icon object of this template, spanning its default size, showing
    // the first pattern; the caller owns it. name becomes its text.
    MIconObj* NewObj(const QString& name) const;

    GraphNode ToNode() const;
    bool FromNode(const GraphNode& node);

private:
    void clear();

    QString m_name;
    QUuid m_uuid;
    QString m_catalogName;
    int m_catalogId = 0;
    int m_shapeType = 0;
    QSizeF m_defaultSize = QSizeF(0, 0);
    QList<MDisplayPattern*> m_patterns; // owned
    MGraph* m_graph = nullptr;          // not owned
};
