#pragma once

#include <QString>

class MAbstractDBInterface;
class MDBRecordBase;
class MDBRecordPicType;
class MGraphDoc;
class RecordList;

// The editor's changes to the graph library, without dialogs: adding and
// deleting applications and picture types, creating, deleting, renaming and
// pasting pictures. Each works on records the caller holds (the node, the
// application, the picture type, the picture) and keeps the picture folders
// of the deployment tree and the file server in step.
//
// A command completes or leaves the library as it was, and says which: the
// database interface reports nothing, so every write is checked by reading
// back; files are put in place before the record that announces them, and
// moved back when the record cannot be written.
class GraphLibraryEdit
{
public:
    struct Result
    {
        enum Status {
            Done,      // the library changed as asked
            Unchanged, // nothing to do (an empty or unchanged name)
            Refused,   // the name breaks the name rule or is no safe folder name
            Taken,     // the name is in use
            Failed     // a write failed; message says which, nothing changed unless it says so
        };
        Status status = Done;
        QString message;
        bool ok() const { return status == Done; }
    };

    explicit GraphLibraryEdit(MAbstractDBInterface* db);

    // The name a picture gets from what was typed: blanks removed, "web" in
    // front on a workstation of the outer network (the node has an outerOid).
    static QString PictureNameFrom(const QString& typed, const MDBRecordBase& node);

    // True when a picture of that name is recorded in the application, in the
    // HMI database or (when the application has one) the outer one.
    bool PictureNameTaken(const MDBRecordBase& application, const QString& name) const;
    // The picture records of that name in the application, with every
    // attribute a write-back needs (privileges and area included).
    void PicturesNamed(const MDBRecordBase& application, const QString& name, RecordList& out) const;
    // True when parent has a child of that name in the database that counts:
    // one that lacks an outerOid while the parent has one does not (it is
    // added again, to the outer network's database).
    bool ChildNameTaken(MDBRecordBase& parent, const QString& name) const;

    // Inserts application (and type, when given) into the outer network's
    // database when the node is there and they are not. False when an insert
    // left no identifier.
    bool EnsureOuterEntries(MDBRecordBase& node, MDBRecordBase& application, MDBRecordBase* type);

    // Adds the application (its name set) under the node.
    Result AddApplication(MDBRecordBase& node, MDBRecordBase& application);
    // Adds the picture type (name and code set) under the application.
    Result AddPictype(MDBRecordBase& node, MDBRecordBase& application, MDBRecordPicType& type);
    // Deletes an application under the node or a picture type under its
    // application, from each database that holds it. No file is touched.
    Result DeleteChild(MDBRecordBase& parent, MDBRecordBase& child);

    // Creates the picture under the type and its folder (a stale folder of
    // that name is first put in the holding place).
    Result CreatePicture(MDBRecordBase& node, MDBRecordBase& application, MDBRecordPicType& type,
                         const QString& name);
    // Deletes the picture record; when no other record of its name remains in
    // the application, its folder goes to the holding place and is removed
    // from the file server.
    Result DeletePicture(const MDBRecordBase& application, MDBRecordBase& type, MDBRecordBase& picture);
    // Renames every picture record of oldName in the application, the folder
    // (a leftover of the new name goes to the holding place first) and the
    // server folder, keeping privileges and area.
    Result RenamePicture(const MDBRecordBase& application, const QString& oldName, const QString& newName);

    // Checks the file a paste copies from: it must exist and be readable;
    // for a target type of code 2 it is read into doc (a station drawing is
    // renamed from it).
    static Result CheckPasteSource(const QString& source, int typeCode, MGraphDoc& doc);
    // Creates picture name under the type with source as its draft. When
    // stationDoc is given and station differs from its station name, the
    // draft is that drawing renamed to station.
    Result PastePicture(MDBRecordBase& node, MDBRecordBase& application, MDBRecordPicType& type,
                        const QString& name, const QString& source, MGraphDoc* stationDoc, const QString& station);

private:
    Result checkNewPicture(const MDBRecordBase& application, const QString& name) const;
    // The checks of a new picture's name, then its folder made.
    Result startNewPicture(const MDBRecordBase& application, const QString& name) const;
    // Makes the folder of a new picture, a stale one put aside; false on failure.
    bool prepareFolder(const QString& application, const QString& name, QString* why) const;
    // Inserts picture name under the type, undoing the folder on failure.
    Result insertPicture(MDBRecordBase& node, MDBRecordBase& application, MDBRecordPicType& type,
                         const QString& name);
    void deleteEverywhere(MDBRecordBase& parent, MDBRecordBase& child);
    bool stillListed(MDBRecordBase& parent, const MDBRecordBase& child) const;
    bool renameRecords(const MDBRecordBase& application, const QString& from, const QString& to, int expected);

    MAbstractDBInterface* m_db; // not owned: the process-wide interface
};
