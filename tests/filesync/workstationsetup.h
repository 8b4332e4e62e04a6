#pragma once

#include <QDateTime>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

#include "ftptestserver.h"
#include "testsite.h"

// A small library and three workstations for the report tests: "ws1" holds
// every file current, "ws2" an older 2.brg of 北京变电站 and no icon folder at
// all, and "ws3" is a port nothing listens on. The library: application A with
// 北京变电站 (versions 1 and 2 and a draft) and 朝阳站 (version 1), one icon and
// one configuration file - eight files a workstation should hold.
class WorkstationSetup
{
public:
    static constexpr int kLibraryFiles = 8;
    static constexpr int kApplicationFiles = 6;
    static constexpr int kPictureFiles = 4;
    static const QString kPicture; // 北京变电站
    static const QString kStaleFile; // pic/A/北京变电站/2.brg
    static const QString kIconFile;  // icon/breaker/{u1}.xco

    // Starts ws1 and ws2 (or skips the test without pyftpdlib: see TALMER_START_FTP).
    bool startServers();
    // A fresh site and fresh copies on the workstations; false when a write failed.
    bool prepare();
    // Closes the site's database, so that another process may use it.
    void release();

    TestSupport::FtpTestServer& ws1() { return *m_ws1; }
    TestSupport::FtpTestServer& ws2() { return *m_ws2; }
    TestSupport::TestSite& site() { return *m_site; }
    // "path size mtime" of every file and folder below the servers' roots.
    QStringList serverState() const;
    // ws1..ws3 in TALMER_FTP_CONNECT_TO form.
    QString connectTo() const;

private:
    bool writeCopies(const QString& root, bool stale) const;

    QTemporaryDir m_dir;
    std::unique_ptr<TestSupport::FtpTestServer> m_ws1, m_ws2;
    std::unique_ptr<TestSupport::TestSite> m_site;
    int m_deadPort = 0;
};
