#include "iconrules.h"

#include "mdbrecordicon.h"

namespace IconRules {

bool DefaultIconUuid(const QList<MDBRecordBase*>& icons, QString& uuid)
{
    if (icons.isEmpty())
        return false;
    const MDBRecordIcon* chosen = static_cast<const MDBRecordIcon*>(icons.first());
    for (const MDBRecordBase* base : icons) {
        const auto* icon = static_cast<const MDBRecordIcon*>(base);
        if (icon->member1)
            chosen = icon; // the last flagged one wins
    }
    uuid = chosen->uuid;
    return true;
}

} // namespace IconRules
