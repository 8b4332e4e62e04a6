#pragma once

#include <QPointF>
#include <QString>

#include <memory>

class MGraphDoc;

// A template (".xtp") as a drawing the canvas can edit: its members become the
// drawing's objects and its icon templates the drawing's, and back. A drawing
// starts at (0, 0) while a template's members may lie left of or above its
// origin: such members are shifted into the drawing, and back when saved.
namespace TemplateDoc {

// The template at path as a drawing named after the file; an empty one when
// the file does not exist. Null (and error) when the file exists but does not
// read: editing it would overwrite what could still be mended. shift says how
// far the members were moved into the drawing.
std::unique_ptr<MGraphDoc> Load(const QString& path, QPointF& shift, QString& error);
// Writes the drawing's objects, moved back by shift, and its icon templates as the template at path,
// whole or not at all (the folder is made when missing); false and error on
// failure, the old file then untouched.
bool Save(const MGraphDoc& doc, const QPointF& shift, const QString& path, QString& error);

} // namespace TemplateDoc
