#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

#include "mdbrecordapplication.h"
#include "mergepicture.h"

class MAbstractDBInterface;
class MDBRecordBase;

// Exchanging one application's graph library records with another site: the
// export file, the local pictures, the comparison of a file's picture with the
// local one of the same name, what a merge would write, and the merge itself.
// The merge dialog and "talmerctl export/merge" are both views of this class.
//
// Versions are paired by number. A file version missing locally is inserted,
// one whose modification time is later than the local one's (whole seconds)
// updates it, one that is earlier is "local is newer". A merge of one picture
// is all or nothing: when any write fails, what it inserted is removed again
// and what it updated gets its old values back.
class LibraryMerge
{
public:
    // 0 same as local, 1 only in the file, 2 different versions, 3 merged.
    enum State { Same = 0, FileOnly = 1, Different = 2, Merged = 3 };

    struct Plan
    {
        bool newType = false;    // the picture type is created
        bool newPicture = false; // the picture is created
        QList<int> inserts;      // version numbers written as new records
        QList<int> updates;      // local versions that take the file's values
        QList<int> localNewer;   // local versions later than the file's, or not in it
        bool writes() const { return newType || newPicture || !inserts.isEmpty() || !updates.isEmpty(); }
        // "insert 2, 3; update 1; local is newer: 4" for a status line.
        QString Describe() const;
    };

    enum class Outcome { Merged, LocalNewer, NothingToDo, Failed };

    // progress(done, total, picture name) while a long operation walks pictures.
    using Progress = std::function<void(int, int, const QString&)>;

    // Works on a copy of the application record (the caller's may go away).
    LibraryMerge(MAbstractDBInterface* db, const MDBRecordApplication& application);
    ~LibraryMerge();

    const MDBRecordApplication& Application() const { return *m_application; }

    // Reads the application's picture types, pictures and versions. The first
    // picture of a name is kept (the outer network lists some twice).
    bool LoadLocal(const Progress& progress = {});
    const std::vector<MergePicture>& LocalPictures() const { return m_local; }
    const MergePicture* LocalPicture(const QString& name) const;

    // Writes the export file of the application as it is in the database, in
    // UTF-8, through a temporary file: on failure the old file stays as it was
    // and error says why.
    bool Export(const QString& path, QString* error, const Progress& progress = {});

    static State Compare(const MergePicture& file, const MergePicture* local);
    Plan PlanFor(const MergePicture& file) const;

    // Merges the file's picture into the library; message is the status text
    // for the user ("merge successfully!", "local is newer!", "merge failed!")
    // and detail, on failure, what went wrong. The local picture is read again
    // afterwards.
    Outcome Merge(const MergePicture& file, QString* message = nullptr, QString* detail = nullptr);

    // Names in the order every list of pictures shows them (Pinyin).
    static QStringList SortedNames(const std::vector<MergePicture>& pictures);

private:
    class Writer;

    MDBRecordBase* localType(const QString& name) const;
    bool readPicture(MDBRecordBase* picture, const QString& typeName, quint8 typeCode);
    // After a failed merge: the local picture as the database holds it again
    // (picture null: it did not exist before and is forgotten).
    void restore(const QString& name, MDBRecordBase* picture, const QString& typeName, quint8 typeCode);

    MAbstractDBInterface* m_db; // not owned: the process-wide interface
    std::unique_ptr<MDBRecordApplication> m_application;
    std::vector<std::unique_ptr<MDBRecordBase>> m_types; // the application's picture types
    std::vector<MergePicture> m_local;
};
