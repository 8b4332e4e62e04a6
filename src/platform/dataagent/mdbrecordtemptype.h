#pragma once

#include "mdbrecordbase.h"

// A template type of the template library.
class MDBRecordTemptype : public MDBRecordBase
{
public:
    MDBRecordTemptype() : MDBRecordBase(RecordTemptype) {}
    M_DBRECORD_CLONE(MDBRecordTemptype)

    QString alias; // "alias": the folder name of its templates
};
