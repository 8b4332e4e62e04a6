#pragma once

#include "mdbrecordbase.h"

// A picture type of an application.
class MDBRecordPicType : public MDBRecordBase
{
public:
    MDBRecordPicType() : MDBRecordBase(RecordPicType) {}
    M_DBRECORD_CLONE(MDBRecordPicType)


    quint8 picTypeCode = 0; // "type", truncated to 8 bits (2 station, 9 feeder, ...)
};
