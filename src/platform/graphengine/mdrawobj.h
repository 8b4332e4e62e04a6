#pragma once

#include <QColor>
#include <QPolygonF>
#include <QRectF>
#include <QString>

#include <functional>

#include "graphnode.h"

class MGraph;
class QPainter;

// A drawing object. Its geometry is a list of points in drawing coordinates;
// it draws itself with a painter whose origin is its centre (Draw), or in
// drawing coordinates (DrawShape). Objects may carry a dynamic-data binding: the
// identifier (oid) of the equipment they show and the equipment's path, from
// which the identifier can be found again.
class MDrawObj
{
public:
    // The engine's object types; 51 (icons) and 64 (template containers) are
    // the numbers the platform fixes.
    enum ObjType {
        ObjLine = 1,
        ObjRect = 2,
        ObjEllipse = 3,
        ObjPolygon = 4,
        ObjText = 5,
        ObjIcon = 51,
        ObjGroup = 63,
        ObjTemplate = 64
    };

    explicit MDrawObj(int type);
    virtual ~MDrawObj();
    MDrawObj(const MDrawObj&) = default;
    MDrawObj& operator=(const MDrawObj&) = delete;
    // A copy of the same type; the caller owns it.
    virtual MDrawObj* Clone() const = 0;

    int GetType() const { return m_type; }
    int GetId() const { return m_id; }
    void SetId(int id) { m_id = id; }

    virtual QPolygonF GetPoints() const { return m_points; }
    virtual void SetPoints(const QPolygonF& points);
    virtual QRectF BoundingRect() const;
    // The centre of the bounding rectangle.
    QPointF Position() const { return BoundingRect().center(); }
    // Line-shaped objects are placed by size and position rather than by points.
    virtual bool IsLineType() const { return false; }
    // The first placement operation: stretches the object to w x h around its
    // top-left corner (keepAspect: by the smaller factor in both directions).
    void SetSize(double w, double h, bool keepAspect);
    // The second: moves the centre to (x, y), or by (x, y) when relative.
    void SetPosition(double x, double y, bool relative);

    QColor GetPenColor() const { return m_pen; }
    void SetPenColor(const QColor& c) { m_pen = c; }
    double GetPenWidth() const { return m_penWidth; }
    void SetPenWidth(double w) { m_penWidth = w; }
    QColor GetBrushColor() const { return m_brush; }
    void SetBrushColor(const QColor& c) { m_brush = c; }

    QString GetOid() const { return m_oid; }
    void SetOid(const QString& oid) { m_oid = oid; }
    QString GetPath() const { return m_path; }
    void SetPath(const QString& path) { m_path = path; }

    // Draws with the painter's origin at the object's centre.
    void Draw(QPainter* painter) const;
    // Draws in drawing coordinates.
    virtual void DrawShape(QPainter* painter) const = 0;

    // The texts the object shows, for replacing and translating: f is applied
    // to each. Which texts take part: see MGraphDoc::ReplaceString.
    enum TextKind { ShapeText = 1, IconText = 2, BindingPath = 4 };
    virtual void TransformTexts(int kinds, const std::function<QString(const QString&)>& f);

    // The node of the file forms (see graphnode.h); templates resolves the icon
    // templates of icon objects.
    virtual GraphNode ToNode() const;
    virtual void FromNode(const GraphNode& node, MGraph* templates);

    // The objects inside a container; none for other objects.
    virtual int MemberCount() const { return 0; }
    virtual MDrawObj* MemberAt(int) const { return nullptr; }

protected:
    void setupPen(QPainter* painter) const;

    QPolygonF m_points;

private:
    int m_type;
    int m_id = 0;
    QColor m_pen = QColor(Qt::black);
    double m_penWidth = 1.0;
    QColor m_brush = QColor(Qt::transparent);
    QString m_oid;
    QString m_path;
};
