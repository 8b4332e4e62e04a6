#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include "talmer_export.h"

class I_file_session;
class MAbstractDBInterface;

// Moves files between the workstation's deployment tree and the central file
// server, and pushes icons, templates and configuration files to the other
// workstations. A process-wide singleton; its session with the file server is
// taken once, when it is made. Transfer failures are results (negative) and
// lines on the HMI debug channel; nothing is shown to the user.
class TALMER_EXPORT MFileSynchronize
{
public:
    static MFileSynchronize* Instance();

    // Fetches a file of the deployment tree from the server (creating its
    // directory). The session's result; -1 without session or directory.
    int GetFile(const QString& localPath) const;
    // Stores a file on the server: under its mapped name when serverName is
    // null, else under serverName (in the picture's server directory for
    // picture files). Icons and templates are pushed to the workstations too.
    int SaveFile(const QString& localPath, const QString& serverName = QString()) const;
    // Fetches a configuration file when it is missing, or older than its record.
    int GetConfigFile(const QString& localPath);
    // Records, pushes (to nodeName, or all other workstations when empty) and
    // stores a configuration file; -2 when it does not exist.
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
    // Fetches every icon file that is missing or older than its record; a file
    // is tried at most three times per process.
    void SynIconFiles();

    // Server paths of local files of the deployment tree.
    static QString ServerPathForFetch(const QString& localPath);
    static QString ServerPathForStore(const QString& localPath);
    // Where the configuration file of a record (its "filepath" and name) lies.
    static QString ConfigFileLocalPath(const QString& filePath, const QString& fileName);
    // The remote path of a push: "/" and the local path from "deployment/" on.
    static QString RemotePushPath(const QString& localPath);
    // The workstations a push with that node name goes to.
    static QStringList PushTargets(const QString& nodeName);

protected:
    MFileSynchronize();
    virtual ~MFileSynchronize();

    // Pushes a file of the deployment tree to the workstation nodeName, or to
    // every other workstation when it is empty. The last put's result; 0 when
    // nothing was pushed.
    int SynFileActive(const QString& localPath, const QString& nodeName) const;

private:
    static int pushTo(const QString& localPath, const QStringList& nodes);

    static MFileSynchronize* m_pInstance;
    I_file_session* m_session;              // not owned: the client's
    MAbstractDBInterface* m_dbInterface;    // not owned: the process-wide interface
    QMap<QString, int> m_downloadFailures;  // icon file path -> failed downloads
};
