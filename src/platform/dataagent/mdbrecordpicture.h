#pragma once

#include "mdbrecordbase.h"

// A picture (one-line diagram) of a picture type.
class MDBRecordPicture : public MDBRecordBase
{
public:
    MDBRecordPicture() : MDBRecordBase(RecordPicture) {}
    M_DBRECORD_CLONE(MDBRecordPicture)


    int inPrivCode = 0;  // "in_priv_code": privilege needed inside the station network
    int outPrivCode = 0; // "out_priv_code": privilege needed from the outer network
    int aorNum = 0;      // "AORNum": area of responsibility
};
