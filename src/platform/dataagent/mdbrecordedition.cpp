#include "mdbrecordedition.h"

#include <QDomElement>

void MDBRecordEdition::WriteXml(QDomElement* element) const
{
    MDBRecordBase::WriteXml(element);
    if (!element)
        return;
    element->setAttribute("modifyTime", modifyTime);
    element->setAttribute("version", version);
    element->setAttribute("nodeName", nodeName);
    element->setAttribute("versionTime", versionTime);
}

void MDBRecordEdition::ReadXml(QDomElement* element)
{
    MDBRecordBase::ReadXml(element);
    if (!element)
        return;
    if (element->hasAttribute("modifyTime"))
        modifyTime = element->attribute("modifyTime");
    bool ok = false;
    const int v = element->attribute("version").toInt(&ok);
    if (ok)
        version = v;
    if (element->hasAttribute("nodeName"))
        nodeName = element->attribute("nodeName");
    if (element->hasAttribute("versionTime"))
        versionTime = element->attribute("versionTime");
}
