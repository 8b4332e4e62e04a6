#pragma once

#include "mdbrecordbase.h"

// An icon type (catalogue) of the icon library.
class MDBRecordIconType : public MDBRecordBase
{
public:
    MDBRecordIconType() : MDBRecordBase(RecordIconType) {}
    M_DBRECORD_CLONE(MDBRecordIconType)

    uint shapeType = 0; // "shapeType"
    uint catId = 0; // "catId": the catalogue identifier
    bool member1 = false; // "member1"
    int editType = 0; // "editType"
};
