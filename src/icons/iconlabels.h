#pragma once

#include <QString>
#include <QStringList>

class MDBRecordIconType;

// What the icon editor and the icon palette show alike.
namespace IconLabels {

// The translated name when the table has one, else the name itself.
QString DisplayName(const QString& name);
// " (default)" without the blank: appended to a type's default icon.
QString DefaultMarker();
// The four categories of icon types, in editType order.
QStringList CategoryNames();
// Whether an icon type is listed: not hidden, and of a known category.
bool IsShownType(const MDBRecordIconType& type);

// Icon types of this catalog id hold plug-in libraries, not icon files.
constexpr unsigned kPluginCatalogId = 72;

} // namespace IconLabels
