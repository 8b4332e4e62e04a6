#pragma once

#include <QColor>
#include <QHash>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <QTransform>
#include <QUuid>

#include <vector>

class MDrawObj;
class MIconTemplate;

// What a comparison looks at in one drawing object, taken out once so that
// matching and comparing never go back to the engine's virtual calls.
// Geometry is given in the other edition's frame when a placement is applied
// (members of a container that was moved or stretched).
struct ObjectFacts
{
    const MDrawObj* object = nullptr; // not owned
    int index = 0;                    // in its list
    int id = 0;
    int type = 0;
    QRectF rect;     // in the frame of comparison
    QRectF drawn;    // as the object stands in its own edition
    QPolygonF points; // in the frame of comparison
    QColor pen;
    QColor brush;
    double penWidth = 0;
    double fontSize = 0;
    QString text;
    QString station;
    int customType = 0;
    int pattern = 0;
    QUuid templateUuid;
    QString templateName;
    size_t templatePrint = 0; // a fingerprint of the template's content
    QString oid;
    QString path;
    int memberCount = 0;
    size_t contentKey = 0;    // everything but the geometry
    size_t fullKey = 0;       // everything

    bool sameContent(const ObjectFacts& other) const;
    bool sameGeometry(const ObjectFacts& other) const;
    bool hasBinding() const { return !oid.isEmpty() || !path.isEmpty(); }
    // Text, binding or template: what makes an object recognisable wherever it stands.
    bool isDistinctive() const { return !text.isEmpty() || hasBinding() || !templateUuid.isNull(); }
};

// Fingerprints of icon templates, computed once per template.
class TemplatePrints
{
public:
    size_t Of(const MIconTemplate* iconTemplate);

private:
    QHash<const MIconTemplate*, size_t> m_prints;
};

// The facts of each object of a list, its geometry mapped by placement.
std::vector<ObjectFacts> FactsOf(const QList<MDrawObj*>& objects, const QTransform& placement, TemplatePrints& prints);
