#pragma once

#include "mdbrecordbase.h"

// A version of a picture: 0 is the draft, released versions count from 1.
class MDBRecordEdition : public MDBRecordBase
{
public:
    MDBRecordEdition() : MDBRecordBase(RecordEdition) {}
    M_DBRECORD_CLONE(MDBRecordEdition)


    QString modifyTime;  // "modifytime", ISO date-time with "T"
    int version = 0;     // "version"
    QString nodeName;    // "node_name": the host that made the version
    QString versionTime; // "versiontime": release time, empty when unknown
};
