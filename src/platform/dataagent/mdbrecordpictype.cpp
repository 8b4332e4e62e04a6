#include "mdbrecordpictype.h"

#include <QDomElement>

void MDBRecordPicType::WriteXml(QDomElement* element) const
{
    MDBRecordBase::WriteXml(element);
    if (element)
        element->setAttribute("picTypeCode", uint(picTypeCode));
}

void MDBRecordPicType::ReadXml(QDomElement* element)
{
    MDBRecordBase::ReadXml(element);
    bool ok = false;
    const uint code = element ? element->attribute("picTypeCode").toUInt(&ok) : 0;
    if (ok)
        picTypeCode = quint8(code);
}
