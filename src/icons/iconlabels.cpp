#include "iconlabels.h"

#include <QCoreApplication>

#include "mdbrecordicontype.h"
#include "mmitr.h"

namespace IconLabels {

QString DisplayName(const QString& name)
{
    const QString translated = mmi_tr(name, QString());
    return translated.isEmpty() ? name : translated;
}

QString DefaultMarker()
{
    static const QString marker = "(" + QCoreApplication::translate("MIconListOnline", "default") + ")";
    return marker;
}

QStringList CategoryNames()
{
    return {QCoreApplication::translate("MIconCategories", "device"),
            QCoreApplication::translate("MIconCategories", "sensor point"),
            QCoreApplication::translate("MIconCategories", "background"),
            QCoreApplication::translate("MIconCategories", "equipment device")};
}

bool IsShownType(const MDBRecordIconType& type)
{
    return !type.member1 && type.editType >= 0 && type.editType <= 3;
}

} // namespace IconLabels
