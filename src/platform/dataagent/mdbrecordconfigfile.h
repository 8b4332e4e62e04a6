#pragma once

#include "mdbrecordbase.h"

// A synchronised configuration file ("synFile"); its name is the file name.
class MDBRecordConfigFile : public MDBRecordBase
{
public:
    MDBRecordConfigFile() : MDBRecordBase(RecordConfigFile) {}
    M_DBRECORD_CLONE(MDBRecordConfigFile)

    QString releaseTime; // "releaseTime", as text
    QString filePath; // "filepath": the directory from "deployment" on, at most 63 characters when longer than 64
};
