#pragma once

#include <QList>
#include <QString>

#include "mdbrecordbase.h"

class MDataSet;

// Turns a result set into records: one new record of the given type per object,
// the object's identifier into oid (or outerOid for the outer database), and
// each attribute of the set that the class mirrors into its field. Attributes
// the set does not hold, or holds as never written, leave their fields as the
// constructor set them.
class RecordReader
{
public:
    enum Source { HmiDatabase, OuterDatabase };

    // Appends one record per object of set to out; the caller owns them.
    static void Read(const MDataSet& set, MDBRecordBase::RecordType type, Source source,
                     QList<MDBRecordBase*>& out);
    // A new, empty record of the type; null for RecordNone and unknown types.
    static MDBRecordBase* Create(MDBRecordBase::RecordType type);
    // A stored time in ISO form: every blank becomes "T".
    static QString IsoTime(const QString& stored);
    // A release time as records hold it: ISO form, or empty when it is not a
    // date-time later than the epoch.
    static QString ReleaseTime(const QString& stored);
};
