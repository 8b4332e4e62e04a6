#include "mdbrecordpicture.h"

#include <QDomElement>

namespace {

void readInt(const QDomElement& element, const QString& attribute, int& field)
{
    bool ok = false;
    const int value = element.attribute(attribute).toInt(&ok);
    if (ok)
        field = value;
}

} // namespace

void MDBRecordPicture::WriteXml(QDomElement* element) const
{
    MDBRecordBase::WriteXml(element);
    if (!element)
        return;
    element->setAttribute("inPrivCode", inPrivCode);
    element->setAttribute("outPrivCode", outPrivCode);
    element->setAttribute("aorNum", aorNum);
}

void MDBRecordPicture::ReadXml(QDomElement* element)
{
    MDBRecordBase::ReadXml(element);
    if (!element)
        return;
    readInt(*element, "inPrivCode", inPrivCode);
    readInt(*element, "outPrivCode", outPrivCode);
    readInt(*element, "aorNum", aorNum);
}
