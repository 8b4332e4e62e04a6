#pragma once

#include <QList>
#include <QString>

#include <memory>

class MAbstractDBInterface;
class MDBRecordBase;

// Brings drawings the engineer chose into one picture type, without widgets:
// the editor's file and folder imports ask the questions, this checks the
// name, imports and says whether the picture is really there afterwards.
//
// The engineer's files are never written: each drawing is imported from a
// private copy (the import may retype or rename the drawing it reads), and
// a folder imported "latest version" imports the folder's highest released
// file directly instead of copying it over the folder's draft.
class PictureImportRun
{
public:
    enum class Status { Imported, NameRefused, NameTaken, Failed };

    struct Outcome
    {
        Status status = Status::Failed;
        QString picture; // the name imported under
        QString error;   // why not, for the user; empty when imported
    };

    // A picture folder and the drawing it gives.
    struct Folder
    {
        QString directory;
        QString drawing;
    };

    // application is copied (its identifier finds the pictures of other
    // types); db is not owned.
    PictureImportRun(MAbstractDBInterface* db, const MDBRecordBase& application, const QString& typeName);
    ~PictureImportRun();
    PictureImportRun(const PictureImportRun&) = delete;
    PictureImportRun& operator=(const PictureImportRun&) = delete;

    // Whether a picture may be imported under name: NameRefused (the name
    // rule's reason in error), NameTaken (another type has it) or Imported.
    Outcome Check(const QString& name) const;
    // Imports source (mode 0: as the draft, 1: as a new version) under name,
    // or under its folder's name when name is empty.
    Outcome Import(const QString& source, int mode, const QString& name) const;

    // The picture folders in and below root, in a fixed order, with the file
    // each imports: in latest mode its highest released "<n>.xrg", else (and
    // otherwise) its "0.xrg". Folders with neither are left out.
    static QList<Folder> PictureFolders(const QString& root, bool latest);

private:
    bool pictureIn(const QString& name, QString* typeName) const;

    MAbstractDBInterface* m_db; // not owned
    std::unique_ptr<MDBRecordBase> m_application; // owned copy
    QString m_typeName;
};
