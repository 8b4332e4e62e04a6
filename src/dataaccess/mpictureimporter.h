#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class MDataAgent;
class MDataAgentTransaction;
class MDBRecordBase;
class MDBRecordPicType;
class MGraphDoc;
class MVarenDBInterface;

// Brings drawings into the graph library as picture versions: the picture
// record when needed, the drawing's files in the deployment tree, the edition
// records and the files on the file server. Modes: 0 replaces the draft, 1
// releases a new version, 2 overwrites the latest version; other values write
// the next version's files without a record.
//
// An import completes or leaves no record: it claims its picture name and
// version inside a database transaction (two imports of one picture at once
// get different versions, the loser retrying with the next one), writes the
// files locally and uploads them, and only then commits the record. When any
// step fails the local files are put back, nothing is recorded and
// LastResult() says why, one line per file that did not reach the server.
class MPictureImporter
{
public:
    // What the last import of the process did (the fixed import operations
    // of the database interface return -1 whatever happened).
    struct Result
    {
        bool ok = false;
        QString picture;
        int version = -1;     // the version written; -1 when none
        QStringList errors;   // why it failed, one line each; empty when ok
        QStringList warnings; // it stands, but old versions' files were left behind
    };

    // agent is the database the import looks things up in (the outer one when
    // there is one); outer says which it is.
    MPictureImporter(MVarenDBInterface* db, MDataAgent* agent, bool outer);
    ~MPictureImporter();

    void ImportFile(const QString& application, const QString& typeName, const QString& source, int mode,
                    const QString& pictureName, int keep);
    void ImportDoc(const QString& application, const QString& typeName, MGraphDoc* doc, int mode,
                   const QString& pictureName);
    void ImportByType(const QString& application, int typeNumber, const QString& source, int mode, int keep);

    static Result LastResult();

    // The name a station drawing gets: at most 19 bytes in the local 8-bit
    // encoding, never cutting a character in two.
    static QString StationName(const QString& pictureName);
    // The picture name a source file gives: its folder's name when it is an
    // existing file, else its last component.
    static QString PictureNameOf(const QString& source);
    // Makes a station drawing name another station: its station name (cut to
    // the 19 bytes a drawing holds, as StationName does), the texts and data
    // paths that named the old station, the station symbols and the jump
    // buttons to it. The fill model is dropped: it belonged to the old station.
    static void RenameStation(MGraphDoc& doc, const QString& stationName);

private:
    struct Request
    {
        QString application;
        QString typeName;
        QString name;
        int mode = 1;
        int keep = 0; // released versions to keep; 0: no retention
    };
    struct Target;

    bool findPictureType(const QString& application, const QString& typeName, MDBRecordPicType& type, int& number);
    QString typeHolding(const QString& application, const QString& name);
    QString libraryState(const QString& application, const QString& name);
    bool claim(const Request& request, MDBRecordPicType& type, std::unique_ptr<Target>& target,
               std::unique_ptr<MDataAgentTransaction>& transaction);
    bool claimOnce(const Request& request, MDBRecordPicType& type, Target& target);
    bool claimVersion(const Request& request, Target& target);
    bool store(const Request& request, MDBRecordPicType& type, MGraphDoc& doc, const QString& copySource);
    void recordTimes(const Target& target, int mode);
    QString idOf(const MDBRecordBase* record) const;
    bool fail(const QString& line);

    MVarenDBInterface* m_db; // not owned
    MDataAgent* m_agent;     // not owned
    bool m_outer;
};
