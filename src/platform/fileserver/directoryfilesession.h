#pragma once

#include <QString>

#include "i_file_session.h"

// The file server as a directory (a mounted share). Paths that would leave the
// directory (".." components, absolute paths) are refused. Copies are made to a
// temporary file beside the target and renamed into place.
class DirectoryFileSession : public I_file_session
{
public:
    static constexpr int kNotFound = -1;
    static constexpr int kCannotWrite = -2;
    static constexpr int kBadPath = -3;

    explicit DirectoryFileSession(const QString& root);

    int DownloadFile(const char* serverPath, const char* localPath, int flag, int waitMs) override;
    int UploadFile(const char* serverPath, const char* localPath, int flag, int waitMs) override;
    int ListServerFiles(std::vector<std::string>& names, const char* serverDirectory, int waitMs) override;
    int ListServerDirectories(std::vector<std::string>& names, const char* serverDirectory, int waitMs) override;
    int RemoveServerFile(const char* serverPath) override;
    int RenameServerFile(const char* fromPath, const char* toPath) override;
    int RemoveServerDirectory(const char* serverPath) override;

    // Copies from to a temporary file beside to, then renames it over to.
    static int CopyFile(const QString& from, const QString& to);

private:
    // The file below the root; empty when the path would leave it.
    QString resolve(const char* serverPath) const;
    int list(std::vector<std::string>& names, const char* serverDirectory, bool directories) const;
    // Whether the folder holding path, with every link on the way resolved,
    // is the root or below it.
    bool insideRoot(const QString& path) const;

    QString m_root;
};
