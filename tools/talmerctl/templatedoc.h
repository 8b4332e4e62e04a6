#pragma once

#include <QString>

#include <memory>

class MGraphDoc;

// A template (".xtp") as a drawing the canvas can edit: its members become the
// drawing's objects and its icon templates the drawing's, and back.
namespace TemplateDoc {

// The template at path as a drawing named after the file; an empty one when
// the file does not exist. Null (and error) when the file exists but does not
// read: editing it would overwrite what could still be mended.
std::unique_ptr<MGraphDoc> Load(const QString& path, QString& error);
// Writes the drawing's objects and icon templates as the template at path,
// whole or not at all (the folder is made when missing); false and error on
// failure, the old file then untouched.
bool Save(const MGraphDoc& doc, const QString& path, QString& error);

} // namespace TemplateDoc
