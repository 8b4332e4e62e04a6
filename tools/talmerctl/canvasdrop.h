#pragma once

#include <QByteArray>
#include <QPointF>
#include <QString>

#include <functional>

class MGraphDoc;
class QMimeData;

// What a drop onto a drawing brings into it: an icon of the icon library
// ("iconDrag": uuid, icon type name, shape type) or the members of a template
// file ("templateDrag": template type name, template name). A drop either
// adds everything it brings or leaves the drawing untouched, and says why.
class CanvasDrop
{
public:
    static constexpr const char* kIconFormat = "iconDrag";
    static constexpr const char* kTemplateFormat = "templateDrag";

    // The folder (alias) of a template type given by its name; empty when the
    // type is unknown.
    using AliasLookup = std::function<QString(const QString& templateType)>;

    struct Result
    {
        bool added = false;
        int objects = 0;   // objects added to the drawing
        QString message;   // what was added, or why nothing was
    };

    // Whether data is in a format a drawing takes.
    static bool Accepts(const QMimeData* data);
    // Adds what data brings to doc, centred on at (drawing coordinates).
    // Refused: no drawing, a point outside it, another format, a garbled
    // payload, an icon or template the library does not hold, a name that
    // would lead out of the library's folders.
    static Result Drop(MGraphDoc* doc, const QMimeData* data, const QPointF& at, const AliasLookup& aliasOf);

    // The payloads as the palette and the template view write them; false
    // (outputs untouched) for anything else, trailing bytes included.
    static bool ReadIconPayload(const QByteArray& payload, QString& uuid, QString& type, int& shapeType);
    static bool ReadTemplatePayload(const QByteArray& payload, QString& type, QString& name);
    static QByteArray IconPayload(const QString& uuid, const QString& type, int shapeType);
    static QByteArray TemplatePayload(const QString& type, const QString& name);
    // The ".xtp" of template name in the folder alias of the deployment tree;
    // empty when either is not a plain name or the file would resolve (through
    // links) outside the template folder.
    static QString TemplateFile(const QString& alias, const QString& name);

private:
    static Result dropIcon(MGraphDoc* doc, const QByteArray& payload, const QPointF& at);
    static Result dropTemplate(MGraphDoc* doc, const QByteArray& payload, const QPointF& at,
                               const AliasLookup& aliasOf);
    static Result refused(const QString& why);
};
