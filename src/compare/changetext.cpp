#include "changetext.h"

#include <QCoreApplication>

#include "mdrawobjfactory.h"
#include "objectfacts.h"

namespace ChangeText {

namespace {

QString changed(const char* name, const QString& before, const QString& after)
{
    return QString("%1 %2 → %3").arg(Tr(name), before, after);
}

} // namespace

QString Tr(const char* text)
{
    return QCoreApplication::translate("GraphDiff", text);
}

QString Number(double value)
{
    return QString::number(Near(value, 0) ? 0.0 : value, 'g', 10);
}

QString Point(const QPointF& p)
{
    return QString("(%1, %2)").arg(Number(p.x()), Number(p.y()));
}

QString Size(const QSizeF& s)
{
    return QString("%1 × %2").arg(Number(s.width()), Number(s.height()));
}

QString Rect(const QRectF& r)
{
    return Point(r.topLeft()) + " " + Size(r.size());
}

QString Color(const QColor& c)
{
    return c.name(QColor::HexArgb);
}

QString Quoted(const QString& text)
{
    return "'" + text + "'";
}

QString Binding(const QString& oid, const QString& path)
{
    if (path.isEmpty())
        return QString("(%1)").arg(oid);
    return oid.isEmpty() ? path : QString("%1 (%2)").arg(path, oid);
}

QString TemplateName(const QString& name, const QUuid& uuid)
{
    if (uuid.isNull())
        return "(none)";
    return name.isEmpty() ? uuid.toString() : name;
}

QString Object(const ObjectFacts& f, const ObjectFacts* container)
{
    QString type = MDrawObjFactory::TypeName(f.type);
    if (type.isEmpty())
        type = QString("object of type %1").arg(f.type);
    QString name = f.id != 0 ? QString("%1 %2").arg(type).arg(f.id) : QString("%1 #%2").arg(type).arg(f.index + 1);
    if (container)
        name += " in " + Object(*container, nullptr);
    return name;
}

void Compare(QStringList& parts, const char* name, const QColor& before, const QColor& after)
{
    if (before != after)
        parts << changed(name, Color(before), Color(after));
}

void Compare(QStringList& parts, const char* name, double before, double after)
{
    if (!Near(before, after))
        parts << changed(name, Number(before), Number(after));
}

} // namespace ChangeText
