#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

// The engine's files, whatever their form, hold a tree of these: an element
// name, named values and child nodes. The drawing model turns itself into such
// a tree and back (MGraphDoc, MIconTemplate, MHasRelation); GraphXmlFormat and
// GraphBinaryFormat encode trees as text and as binary, with the same limits
// against hostile files.
//
// Values are QString, double, int, bool, QPolygonF or QColor.
struct GraphNode
{
    QString name;
    QList<QPair<QString, QVariant>> values;
    QList<GraphNode> children;

    GraphNode() = default;
    explicit GraphNode(const QString& nodeName) : name(nodeName) {}

    void set(const QString& key, const QVariant& value) { values.append({key, value}); }
    QVariant value(const QString& key) const;
    bool has(const QString& key) const;
    const GraphNode* child(const QString& childName) const;
};

// Limits every reader enforces, so that no file can take unbounded memory or time.
namespace GraphLimits {
constexpr qint64 kMaxFileBytes = 256 * 1024 * 1024;
constexpr int kMaxDepth = 32;
constexpr int kMaxNodes = 2000000;
constexpr int kMaxValues = 64;         // per node
constexpr int kMaxPoints = 100000;     // per polygon
constexpr int kMaxTextBytes = 8 << 20; // per value: a polygon of kMaxPoints as text fits
}

// Conversions of node values that may come typed (binary form) or as text
// (XML form); every model reads its values through these.
namespace GraphValue {
QString text(const QVariant& v);
double number(const QVariant& v, double fallback = 0);
int integer(const QVariant& v, int fallback = 0);
bool flag(const QVariant& v);
QPolygonF polygon(const QVariant& v);
QColor color(const QVariant& v, const QColor& fallback);
// The text form of a value, as the XML form writes it.
QString encode(const QVariant& v);
}
