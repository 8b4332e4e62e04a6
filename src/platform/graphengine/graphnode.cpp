#include "graphnode.h"

#include <QColor>
#include <QLocale>
#include <QPolygonF>
#include <QStringList>

QVariant GraphNode::value(const QString& key) const
{
    for (const auto& [k, v] : values) {
        if (k == key)
            return v;
    }
    return {};
}

bool GraphNode::has(const QString& key) const
{
    for (const auto& entry : values) {
        if (entry.first == key)
            return true;
    }
    return false;
}

const GraphNode* GraphNode::child(const QString& childName) const
{
    for (const GraphNode& c : children) {
        if (c.name == childName)
            return &c;
    }
    return nullptr;
}

namespace GraphValue {

QString text(const QVariant& v)
{
    return v.typeId() == QMetaType::QString ? v.toString() : (v.isValid() ? encode(v) : QString());
}

double number(const QVariant& v, double fallback)
{
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok && qIsFinite(d) ? d : fallback;
}

int integer(const QVariant& v, int fallback)
{
    bool ok = false;
    const int i = v.toInt(&ok);
    return ok ? i : fallback;
}

bool flag(const QVariant& v)
{
    if (v.typeId() == QMetaType::QString)
        return v.toString() == "1" || v.toString() == "true";
    return v.toBool();
}

QPolygonF polygon(const QVariant& v)
{
    if (v.canConvert<QPolygonF>() && v.typeId() != QMetaType::QString) {
        const QPolygonF points = v.value<QPolygonF>();
        for (const QPointF& p : points) {
            if (!qIsFinite(p.x()) || !qIsFinite(p.y()))
                return {}; // as for the text form: a damaged point list is no point list
        }
        return points;
    }
    QPolygonF points;
    const QStringList pairs = v.toString().split(' ', Qt::SkipEmptyParts);
    if (pairs.size() > GraphLimits::kMaxPoints)
        return points;
    for (const QString& pair : pairs) {
        const int comma = pair.indexOf(',');
        bool okX = false, okY = false;
        const double x = pair.left(comma).toDouble(&okX);
        const double y = pair.mid(comma + 1).toDouble(&okY);
        if (comma < 0 || !okX || !okY || !qIsFinite(x) || !qIsFinite(y))
            return {}; // a damaged point list is no point list
        points << QPointF(x, y);
    }
    return points;
}

QColor color(const QVariant& v, const QColor& fallback)
{
    const QColor c = v.typeId() == QMetaType::QColor ? v.value<QColor>() : QColor::fromString(v.toString());
    return c.isValid() ? c : fallback;
}

QString encode(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Double:
        return QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::Bool:
        return v.toBool() ? "1" : "0";
    case QMetaType::QColor:
        return v.value<QColor>().name(QColor::HexArgb);
    default:
        break;
    }
    if (v.typeId() == qMetaTypeId<QPolygonF>()) {
        QStringList pairs;
        for (const QPointF& p : v.value<QPolygonF>())
            pairs << QString::number(p.x(), 'g', QLocale::FloatingPointShortest) + ","
                    + QString::number(p.y(), 'g', QLocale::FloatingPointShortest);
        return pairs.join(' ');
    }
    return v.toString();
}

} // namespace GraphValue
