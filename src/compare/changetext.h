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

bool Near(double a, double b);
bool Near(const QPointF& a, const QPointF& b);
bool Near(const QSizeF& a, const QSizeF& b);

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

// Appends "name old → new" to parts when the values differ.
void Compare(QStringList& parts, const QString& name, const QColor& before, const QColor& after);
void Compare(QStringList& parts, const QString& name, double before, double after);

} // namespace ChangeText
