#pragma once

#include <QString>

class QDomElement;

// A library object as the system moves it in and out of the object database.
// Records are heap objects; whoever receives a list of them owns them.
//
// XML form (database export and import): a record writes its fields as
// attributes of the element it is given, named like the fields:
//   every record      oid, name, type (the RecordType number), outerOid
//   MDBRecordPicType  picTypeCode
//   MDBRecordPicture  inPrivCode, outPrivCode, aorNum
//   MDBRecordEdition  modifyTime, version, nodeName, versionTime
// Numbers are decimal. Reading takes the attributes present and leaves the
// fields of missing ones as they are; "type" is never read back (the class
// fixes it). The other record classes write and read the common fields only.
class MDBRecordBase
{
public:
    enum RecordType {
        RecordNone = 0, // no record (an empty holder)
        RecordNode = 1,
        RecordApplication = 2,
        RecordPicType = 3,
        RecordPicture = 4,
        RecordEdition = 5,
        RecordIconType = 6,
        RecordIcon = 7,
        RecordTemplate = 8,
        RecordTemptype = 9,
        RecordConfigFile = 10 // configuration file records are never dispatched on
    };

    explicit MDBRecordBase(RecordType recordType);
    virtual ~MDBRecordBase();

    virtual void WriteXml(QDomElement* element) const;
    virtual void ReadXml(QDomElement* element);
    // A copy of the same class with the same fields; the caller owns it.
    virtual MDBRecordBase* Clone() const = 0;

    QString oid;
    QString name;
    RecordType type;
    QString outerOid;

protected:
    MDBRecordBase(const MDBRecordBase&) = default;
    MDBRecordBase& operator=(const MDBRecordBase&) = default;
};

// The record classes' Clone, written once.
#define M_DBRECORD_CLONE(Class) \
    Class* Clone() const override { return new Class(*this); }
