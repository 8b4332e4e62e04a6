#pragma once

#include <QString>

#include <memory>

class MDataAgent;
class MDBRecordPicType;
class MDBRecordPicture;
class MGraphDoc;
class MVarenDBInterface;
class RecordList;

// Brings drawings into the graph library as picture versions: the picture
// record when needed, the drawing's files in the deployment tree, the edition
// records and the files on the file server. Modes: 0 replaces the draft, 1
// releases a new version, 2 overwrites the latest version; other values write
// the next version's files without a record.
class MPictureImporter
{
public:
    // agent is the database the import looks things up in (the outer one when
    // there is one); outer says which it is.
    MPictureImporter(MVarenDBInterface* db, MDataAgent* agent, bool outer);

    void ImportFile(const QString& application, const QString& typeName, const QString& source, int mode,
                    const QString& pictureName, int keep);
    void ImportDoc(const QString& application, const QString& typeName, MGraphDoc* doc, int mode,
                   const QString& pictureName);
    void ImportByType(const QString& application, int typeNumber, const QString& source, int mode, int keep);

    // The name a station drawing gets: at most 19 bytes in the local 8-bit
    // encoding, never cutting a character in two.
    static QString StationName(const QString& pictureName);
    // The picture name a source file gives: its folder's name when it is an
    // existing file, else its last component.
    static QString PictureNameOf(const QString& source);

private:
    struct Target
    {
        MDBRecordPicture* picture = nullptr; // held by the caller's list, or owned by the importer
        bool isNew = false;
        int latest = 0;
        int version = 0;
        QString directory;
        QString file; // the version's ".xrg"
    };

    // Steps shared by both imports: the picture type, the picture (made when
    // missing; the caller keeps what is returned), the version to write.
    bool findPictureType(const QString& application, const QString& typeName, MDBRecordPicType& type, int& number);
    void findPicture(const QString& application, const QString& pictureName, MDBRecordPicType& type,
                     RecordList& pictures, Target& target);
    std::unique_ptr<MDBRecordPicture> chooseVersion(MDBRecordPicType& type, const QString& pictureName, int mode,
                                                    RecordList& editions, Target& target);
    void writeForms(MGraphDoc& doc, const Target& target);
    void recordEditions(const RecordList& editions, const Target& target, int mode, int& keep);
    void keepNewest(const QString& application, const QString& pictureName, const RecordList& editions,
                    const Target& target, int keep);
    void renameStation(MGraphDoc& doc, const QString& pictureName);
    static void store(const Target& target);

    MVarenDBInterface* m_db; // not owned
    MDataAgent* m_agent;     // not owned
    bool m_outer;
};
