#pragma once

#include <QString>

#include "ftpconnection.h"
#include "i_file_session.h"

// The file server over FTP: ftp://[user[:password]@]host[:port]/base. One
// connection serves every call. Listings come from MLSD; the temporary files
// of uploads in progress are never listed.
class FtpFileSession : public I_file_session
{
public:
    explicit FtpFileSession(const QString& serverUrl);

    int DownloadFile(const char* serverPath, const char* localPath, int flag, int waitMs) override;
    int UploadFile(const char* serverPath, const char* localPath, int flag, int waitMs) override;
    int ListServerFiles(std::vector<std::string>& names, const char* serverDirectory, int waitMs) override;
    int ListServerDirectories(std::vector<std::string>& names, const char* serverDirectory, int waitMs) override;
    int RemoveServerFile(const char* serverPath) override;
    int RenameServerFile(const char* fromPath, const char* toPath) override;
    int RemoveServerDirectory(const char* serverPath) override;

private:
    QString absolute(const char* serverPath) const;
    int list(std::vector<std::string>& names, const char* serverDirectory, int waitMs, bool directories);

    FtpCore::FtpConnection m_ftp;
    QString m_base; // the server's base directory, "/" or "/base/"
};
