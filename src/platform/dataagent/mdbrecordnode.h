#pragma once

#include "mdbrecordbase.h"

// A node (workstation group); "node1" holds every application.
class MDBRecordNode : public MDBRecordBase
{
public:
    MDBRecordNode() : MDBRecordBase(RecordNode) {}
    M_DBRECORD_CLONE(MDBRecordNode)
};
