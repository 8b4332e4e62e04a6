#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <memory>

#include "talmer_export.h"

class I_file_session;
class MAbstractDBInterface;
class WorkstationPush;

// Moves files between the workstation's deployment tree and the central file
// server, and pushes icons, templates and configuration files to the other
// workstations. A process-wide singleton; its session with the file server is
// taken once, when it is made. Transfer failures are results (negative) and
// lines on the HMI debug channel; nothing is shown to the user.
//
// Only files of the deployment tree are moved: without TALMER_DEPLOY_DIR, and
// for a path whose real place (links followed, ".." resolved) is outside the
// tree, nothing is read, written or created and the call fails (-1).
class TALMER_EXPORT MFileSynchronize
{
public:
    // A workstation that did not get a pushed file: its name, the put's
    // result (negative) and the reason.
    struct PushFailure
    {
        QString node;
        int result = 0;
        QString reason;
    };

    static MFileSynchronize* Instance();

    // Fetches a file of the deployment tree from the server (creating its
    // directory). The session's result; -1 without session, outside the tree
    // or without directory.
    int GetFile(const QString& localPath) const;
    // Stores a file on the server: under its mapped name when serverName is
    // null, else under serverName (in the picture's server directory for
    // picture files). Icons and templates stored under their mapped name are
    // then pushed to the other workstations; a push that fails does not change
    // the result (the server has the file): LastPushFailures() lists it.
    int SaveFile(const QString& localPath, const QString& serverName = QString()) const;
    // Fetches a configuration file when it is missing, or older than its record
    // (RecordTime::IsFileStale says what an unreadable record time means).
    int GetConfigFile(const QString& localPath);
    // Stores, then records and pushes (to nodeName, or all other workstations
    // when empty) a configuration file; -2 when it does not exist. A failed
    // upload records and pushes nothing.
    int SaveConfigFile(const QString& localPath, const QString& nodeName);
    // Removes a server file or directory; always 1.
    int RemoveFile(const QString& serverPath, bool isFile);
    // Renames a server directory or file ("/pic/A/old" to "/pic/A/new"); always 0.
    int RenameFile(const QString& from, const QString& to);
    // The files (or subdirectories) of a server directory, never "." or "..".
    QStringList ListServerDir(const QString& serverDirectory, bool isFile);

    // Lets the user pick a configuration file and workstations, and pushes it.
    void SaveConfigFile();
    void SynConfigFiles();
    // Fetches every icon file that is missing or older than its record
    // (RecordTime::IsFileStale); a file is tried at most three times per
    // process.
    void SynIconFiles();

    // The workstations the last push (of SaveFile, SaveConfigFile or
    // SynFileActive) did not reach; empty when every one got the file.
    QList<PushFailure> LastPushFailures() const;

    // Server paths of local files of the deployment tree: their place below
    // TALMER_DEPLOY_DIR when that is under pic/, icon/, template/ or curve/;
    // empty otherwise (also for paths outside the tree).
    static QString ServerPathForFetch(const QString& localPath);
    static QString ServerPathForStore(const QString& localPath);
    // Where the configuration file of a record (its "filepath" and name) lies.
    static QString ConfigFileLocalPath(const QString& filePath, const QString& fileName);
    // The remote path of a push: "/deployment/" and the file's place below the
    // root; empty for a path outside the tree.
    static QString RemotePushPath(const QString& localPath);
    // The workstations a push with that node name goes to.
    static QStringList PushTargets(const QString& nodeName);

protected:
    MFileSynchronize();
    virtual ~MFileSynchronize();

    // Pushes a file of the deployment tree to the workstation nodeName, or to
    // every other workstation when it is empty. 0 when every put worked or
    // nothing was pushed, else the first failed put's result; each failure is
    // in LastPushFailures().
    int SynFileActive(const QString& localPath, const QString& nodeName) const;

private:
    static MFileSynchronize* m_pInstance;
    std::unique_ptr<WorkstationPush> m_push; // owned: pushes and their failures
    I_file_session* m_session;              // not owned: the client's
    MAbstractDBInterface* m_dbInterface;    // not owned: the process-wide interface
    QMap<QString, int> m_downloadFailures;  // icon file path -> failed downloads
};
