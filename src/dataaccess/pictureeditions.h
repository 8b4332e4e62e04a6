#pragma once

#include <QList>
#include <QString>

#include <memory>

#include "recordlist.h"

class MAbstractDBInterface;
class MDBRecordBase;
class MDBRecordEdition;

// The version records of one picture, read afresh from the library, and the
// steps every version command takes with them: make a version's local files
// current, write a record and check that the library really took it.
class PictureEditions
{
public:
    // picture is copied; db is not owned.
    PictureEditions(MAbstractDBInterface* db, const QString& application, const MDBRecordBase& picture);
    ~PictureEditions();
    PictureEditions(const PictureEditions&) = delete;
    PictureEditions& operator=(const PictureEditions&) = delete;

    // Lists the records (the library makes a missing draft). False when the
    // library could not be read: no records, or one without identifier.
    bool Read(QString* error);

    QString Application() const { return m_application; }
    QString PictureName() const;
    MDBRecordBase* Picture() const { return m_picture.get(); }
    const RecordList& Records() const { return m_records; }
    // The draft's record (the last one of version 0), or null.
    MDBRecordEdition* Draft() const;
    // The first record of that version, or null.
    MDBRecordEdition* Find(int version) const;
    // The highest version above 0; 0 when the picture has none.
    int Latest() const;
    // Every record's version, ascending (repeats kept): what changes when
    // someone else releases or resets meanwhile.
    QList<int> Versions() const;
    int CountOf(int version) const;

    QString File(int version, const QString& extension) const;
    // Fetches the version's file when it is stale against its record; false
    // when it stays stale (missing, or older than the record).
    bool MakeCurrent(int version, const QString& extension, QString* error) const;

    // Inserts a new record below the picture; false unless the library gave it
    // an identifier.
    bool Insert(MDBRecordEdition& edition, QString* error) const;
    // Writes the record; false unless the library reads back its new time.
    bool Update(MDBRecordEdition& edition, QString* error) const;
    // Deletes the record; false when it is still listed afterwards.
    bool Delete(MDBRecordEdition& edition, QString* error) const;

    static bool HasIdentifier(const MDBRecordBase& record);

private:
    MAbstractDBInterface* m_db; // not owned
    QString m_application;
    std::unique_ptr<MDBRecordBase> m_picture; // owned copy
    RecordList m_records;
};
