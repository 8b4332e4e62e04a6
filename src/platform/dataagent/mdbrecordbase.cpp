#include "mdbrecordbase.h"

#include <QDomElement>

MDBRecordBase::MDBRecordBase(RecordType recordType)
    : type(recordType)
{
}

MDBRecordBase::~MDBRecordBase() = default;

void MDBRecordBase::WriteXml(QDomElement* element) const
{
    if (!element)
        return;
    element->setAttribute("oid", oid);
    element->setAttribute("name", name);
    element->setAttribute("type", int(type));
    element->setAttribute("outerOid", outerOid);
}

void MDBRecordBase::ReadXml(QDomElement* element)
{
    if (!element)
        return;
    if (element->hasAttribute("oid"))
        oid = element->attribute("oid");
    if (element->hasAttribute("name"))
        name = element->attribute("name");
    if (element->hasAttribute("outerOid"))
        outerOid = element->attribute("outerOid");
}
