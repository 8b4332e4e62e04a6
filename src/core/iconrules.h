#pragma once

#include <QList>
#include <QString>

class MDBRecordBase;

// Rules every icon view and query shares.
namespace IconRules {

// The default icon of a type among its icons in database order: the last one
// flagged as default, else the first. False (uuid unchanged) without icons.
bool DefaultIconUuid(const QList<MDBRecordBase*>& icons, QString& uuid);

} // namespace IconRules
