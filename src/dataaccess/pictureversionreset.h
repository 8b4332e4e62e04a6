#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class MAbstractDBInterface;
class MDBRecordBase;

// Resets a picture's released versions to one, without widgets: version 1
// then holds what the latest version held, and the draft stays.
//
// The order keeps the latest version safe: its files are made current and
// uploaded as version 1 (the server's version 1 put back when an upload
// fails), version 1's record written, and only then are the records and
// files of versions 2 and up deleted. Only version files are deleted
// ("<number>.xrg|brg|fg|svg" with a number of 2 or more); other files of the
// picture's folder (the data files of "common") stay.
class PictureVersionReset
{
public:
    struct Outcome
    {
        bool ok = false;
        bool changed = false; // false: nothing to do, or nothing done
        QStringList errors;
    };

    // db is not owned; picture is copied.
    PictureVersionReset(MAbstractDBInterface* db, const QString& application, const MDBRecordBase& picture);
    ~PictureVersionReset();
    PictureVersionReset(const PictureVersionReset&) = delete;
    PictureVersionReset& operator=(const PictureVersionReset&) = delete;

    Outcome Reset() const;

    // The version a file name is of, when it is a version file ("3.brg" ->
    // 3); -1 for any other name.
    static int VersionOfFile(const QString& fileName);

private:
    void removeOldFiles(const QList<int>& kept) const;

    MAbstractDBInterface* m_db; // not owned
    QString m_application;
    std::unique_ptr<MDBRecordBase> m_picture; // owned copy
};
