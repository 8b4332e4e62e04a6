#pragma once

#include "mdbrecordbase.h"

// An application of the graph library.
class MDBRecordApplication : public MDBRecordBase
{
public:
    MDBRecordApplication() : MDBRecordBase(RecordApplication) {}
    M_DBRECORD_CLONE(MDBRecordApplication)

    QString alias; // "alias"
};
