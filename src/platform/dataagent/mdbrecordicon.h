#pragma once

#include "mdbrecordbase.h"

// An icon of the icon library; its file is icon/{type}/{uuid}.xco.
class MDBRecordIcon : public MDBRecordBase
{
public:
    MDBRecordIcon() : MDBRecordBase(RecordIcon) {}
    M_DBRECORD_CLONE(MDBRecordIcon)

    QString uuid; // "uuid"
    bool member1 = false; // "member1"
    QString makeTime; // "makeTime", kept as stored
    bool member2 = false; // "member2"
};
