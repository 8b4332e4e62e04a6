#pragma once

#include "mdbrecordbase.h"

// A template; its name is stored as both "name" and "alias" and read from "alias".
class MDBRecordTemplate : public MDBRecordBase
{
public:
    MDBRecordTemplate() : MDBRecordBase(RecordTemplate) {}
    M_DBRECORD_CLONE(MDBRecordTemplate)
};
