#pragma once

#include <QList>
#include <QVariant>

#include "mdbrecordbase.h"

// The fields each record class mirrors, in one table for every reader and
// writer of records: the object database's attribute, the XML form's attribute
// (none when the XML form leaves the field out) and how the value is read.
// The identifiers (oid, outerOid) and the type are not in the table.
struct MDBRecordField
{
    enum Kind {
        Text,
        Number,      // decimal; a text that is not a number leaves the field as it is
        Flag,
        Time,        // a stored time, kept in ISO form with "T"
        ReleaseTime, // the same, or empty when it is not a time after the epoch
    };

    const char* attribute; // in the object database
    const char* xmlName;   // in the XML form; null when not written there
    Kind kind;
    QVariant (*get)(const MDBRecordBase& record);
    void (*set)(MDBRecordBase& record, const QVariant& value);
};

// The fields of a record class, name first; empty for RecordNone.
const QList<MDBRecordField>& MDBRecordFields(MDBRecordBase::RecordType type);
// A new, empty record of the type (the caller owns it); null for RecordNone.
MDBRecordBase* MDBNewRecord(MDBRecordBase::RecordType type);
