#include "mdbrecordbase.h"

#include <QDomElement>

#include "mdbrecordfields.h"

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
    for (const MDBRecordField& field : MDBRecordFields(type)) {
        if (field.xmlName)
            element->setAttribute(field.xmlName, field.get(*this).toString());
    }
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
    for (const MDBRecordField& field : MDBRecordFields(type)) {
        if (!field.xmlName || !element->hasAttribute(field.xmlName))
            continue;
        const QString text = element->attribute(field.xmlName);
        if (field.kind != MDBRecordField::Number) {
            field.set(*this, text);
            continue;
        }
        bool ok = false;
        const qlonglong number = text.toLongLong(&ok);
        if (ok)
            field.set(*this, number);
    }
}
