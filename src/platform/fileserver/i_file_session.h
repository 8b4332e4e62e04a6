#pragma once

#include <string>
#include <vector>

// A session with the central file server. Server paths are relative to the
// server's base ("pic/A/P/0.xrg"), with forward slashes, in UTF-8. Every
// operation returns 0 or more on success and a negative number on failure; a
// wait limit is the longest time (ms) a transfer may go without progress.
//
// Downloads replace the local file only when complete, and uploads the server
// file likewise, so a failed or interrupted transfer leaves both sides as they
// were.
class I_file_session
{
public:
    virtual ~I_file_session() = default;

    virtual int DownloadFile(const char* serverPath, const char* localPath, int flag, int waitMs) = 0;
    virtual int UploadFile(const char* serverPath, const char* localPath, int flag, int waitMs) = 0;
    virtual int ListServerFiles(std::vector<std::string>& names, const char* serverDirectory, int waitMs) = 0;
    virtual int ListServerDirectories(std::vector<std::string>& names, const char* serverDirectory, int waitMs) = 0;
    virtual int RemoveServerFile(const char* serverPath) = 0;
    virtual int RenameServerFile(const char* fromPath, const char* toPath) = 0;
    // Removes a directory with everything below it.
    virtual int RemoveServerDirectory(const char* serverPath) = 0;
};
