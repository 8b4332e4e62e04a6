#pragma once

#include <QList>
#include <QString>

class MAbstractDBInterface;
class MDBRecordBase;

// The files a workstation should hold for a part of the library, read from the
// library's records: per picture the binary drawing and its data of the latest
// version and of the draft (the forms every workstation opens), and for the
// whole library also the icon files and the registered configuration files.
// Each comes with the record time its copy must not be older than, and the
// path a push puts it at on a workstation.
class WorkstationFiles
{
public:
    enum Kind { Picture, Icon, Config };

    struct File
    {
        Kind kind = Picture;
        QString path;       // below the deployment root: "pic/A/P/3.brg"
        QString remotePath; // on a workstation: "/deployment/pic/A/P/3.brg"; empty when it has no place there
        QString recordTime; // as the record holds it
    };

    enum Outcome { Read, NoLibrary, NoApplication, NoPicture };

    // Reads the files of the whole library (application empty), of one
    // application, or of one picture of it. On any outcome but Read, out is
    // untouched and error says why; a library that cannot be read is never
    // taken for an empty one.
    static Outcome List(MAbstractDBInterface* db, const QString& application, const QString& picture,
                        QList<File>& out, QString& error);

    static QString KindName(Kind kind);

private:
    static void addPicture(MAbstractDBInterface* db, const QString& application, MDBRecordBase* picture,
                           QList<File>& out);
    static void addIcons(MAbstractDBInterface* db, QList<File>& out);
    static void addConfigFiles(MAbstractDBInterface* db, QList<File>& out);
    static File file(Kind kind, const QString& localPath, const QString& recordTime);
};
