#pragma once

#include <QByteArray>
#include <QString>

// The small rules the template view shares between its list, its preview and
// the host: where a template's file lies and what a dragged template carries.
namespace TemplateFiles {

// The drag format a drawing window accepts templates in.
inline constexpr const char* kDragFormat = "templateDrag";

// The ".xtp" file of template name of the type whose folder is alias; empty
// when either would not make a plain name below the template folder (a name
// recorded before the name rule could otherwise lead a write out of the tree).
QString FilePath(const QString& alias, const QString& name);

// The "templateDrag" payload: the type's record name, then the template's name,
// as a default (big-endian) QDataStream writes them.
QByteArray DragPayload(const QString& typeName, const QString& templateName);
// Reads a payload back; false (outputs untouched) for anything else.
bool ReadDragPayload(const QByteArray& payload, QString& typeName, QString& templateName);

} // namespace TemplateFiles
