#include "graphchange.h"

#include <QJsonArray>

#include "mdrawobjfactory.h"

namespace {

QJsonValue rectJson(bool exists, const QRectF& r)
{
    if (!exists)
        return QJsonValue::Null;
    return QJsonArray{r.x(), r.y(), r.width(), r.height()};
}

} // namespace

GraphChange::Group GraphChange::group() const
{
    switch (kind) {
    case Added:
        return GroupAdded;
    case Removed:
        return GroupRemoved;
    default:
        return GroupChanged;
    }
}

QString GraphChange::KindName(Kind kind)
{
    static const char* const names[] = {"property",         "added",           "removed",        "moved",
                                        "resized",          "reshaped",        "restyled",       "text changed",
                                        "template changed", "binding added",   "binding removed", "binding re-pointed"};
    return QString::fromLatin1(names[kind]);
}

QJsonObject GraphChange::toJson() const
{
    QJsonObject json{{"kind", KindName(kind)}, {"text", text}, {"old", rectJson(hasOld(), oldRect)},
                     {"new", rectJson(hasNew(), newRect)}};
    if (kind != Property) {
        json["id"] = objectId;
        json["type"] = MDrawObjFactory::TypeName(objectType);
        if (containerId != 0)
            json["container"] = containerId;
    }
    return json;
}
