#pragma once

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QUuid>

struct ObjectFacts;

// How changes read: short, stable texts that the list, the command line and
// its JSON share, and the tolerance below which numbers count as equal.
namespace ChangeText {

// Inline: called for every pair of objects.
inline bool Near(double a, double b)
{
    return qAbs(a - b) <= 1e-6;
}
inline bool Near(const QPointF& a, const QPointF& b)
{
    return Near(a.x(), b.x()) && Near(a.y(), b.y());
}
inline bool Near(const QSizeF& a, const QSizeF& b)
{
    return Near(a.width(), b.width()) && Near(a.height(), b.height());
}

// A text of the comparison, in the user's language.
QString Tr(const char* text);

QString Number(double value);
QString Point(const QPointF& p);          // "(820, 90)"
QString Size(const QSizeF& s);            // "20 × 30"
QString Rect(const QRectF& r);            // "(820, 90) 20 × 30"
QString Color(const QColor& c);           // "#ffe8e8e8"
QString Quoted(const QString& text);      // "'text'"
QString Binding(const QString& oid, const QString& path); // "/a/b (123)"
QString TemplateName(const QString& name, const QUuid& uuid);
// "text 6", "icon #2 in group 12" (a member without identifier, by place).
QString Object(const ObjectFacts& f, const ObjectFacts* container);

// Appends "name old → new" to parts when the values differ (name translated
// only then: this runs for every pair of objects).
void Compare(QStringList& parts, const char* name, const QColor& before, const QColor& after);
void Compare(QStringList& parts, const char* name, double before, double after);

} // namespace ChangeText
