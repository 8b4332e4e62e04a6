#pragma once

#include <QJsonObject>
#include <QList>
#include <QRectF>
#include <QString>

// One difference between two editions of a drawing. Object changes name the
// object by its identifier and type (its container's identifier when it is a
// member of a group or template); document changes have no object (id 0,
// type 0) and no rectangles. oldRect / newRect are the object's bounding
// rectangles in drawing coordinates, on the sides where it exists (hasOld,
// hasNew: a point-sized object has a null rectangle that still counts).
struct GraphChange
{
    enum Kind {
        Property,         // a document property: graph type, stations, share flag, size, ...
        Added,
        Removed,
        Moved,
        Resized,
        Reshaped,         // same bounding rectangle, other points
        Restyled,         // pen, brush, width, font size, shown pattern
        TextChanged,      // a text object's text, an icon's text or station
        TemplateChanged,  // an icon uses another template, or its template was changed
        BindingAdded,
        BindingRemoved,
        BindingRepointed, // the identifier or the equipment path of a binding
    };
    // Which colour the overlay gives a change.
    enum Group { GroupAdded, GroupRemoved, GroupChanged };

    Kind kind = Property;
    int objectId = 0;
    int objectType = 0;
    int containerId = 0; // 0: a top-level object
    QString text;        // short, for people: "text 6 from (820, 90) to (850, 90)"
    QString detail;      // the same without the object: "from (820, 90) to (850, 90)"
    QRectF oldRect;
    QRectF newRect;

    Group group() const;
    bool hasOld() const { return kind != Property && kind != Added; }
    bool hasNew() const { return kind != Property && kind != Removed; }
    // "added", "text changed", ...: stable names for scripts.
    static QString KindName(Kind kind);
    // "text changed: text 1 '…' → '…'": one line of the plain list.
    QString line() const { return KindName(kind) + ": " + text; }
    QJsonObject toJson() const;
};

using GraphChangeList = QList<GraphChange>;
