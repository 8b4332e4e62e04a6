#pragma once

#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <memory>

#include "brelmmidataagent.h"
#include "deploytree.h"
#include "mdbinterfaceholder.h"
#include "sitebuilder.h"

namespace TestSupport {

// A small site for one test: its own deployment tree and HMI database, an empty
// directory file server (TALMER_FILE_SERVER), a fresh database
// interface, and application "A" with the picture types "station" (code 2) and
// "feeder" (code 9). Everything is closed and removed when the object goes.
// Header-only: it uses the database interface of the layer the test links.
class TestSite
{
public:
    enum class FileServer { None, Directory };

    explicit TestSite(FileServer server = FileServer::Directory)
    {
        if (server == FileServer::Directory) {
            // The file session is made once per process, so the server's folder
            // stays the same for every site of the process; it starts empty.
            static QTemporaryDir serverBase;
            m_server = serverBase.path() + "/server";
            QDir(m_server).removeRecursively();
            QDir().mkpath(m_server);
            qputenv("TALMER_FILE_SERVER", m_server.toUtf8());
        }
        MDBInterfaceHolder::Instance()->Reset();
        m_site = std::make_unique<SiteGen::SiteBuilder>(BrelMmiDataAgent::Instance());
        app = m_site->application("A");
        station = m_site->pictureType(app, "station", 2);
        feeder = m_site->pictureType(app, "feeder", 9);
    }
    ~TestSite()
    {
        m_site.reset();
        MDBInterfaceHolder::Instance()->Reset();
        BrelMmiDataAgent::Instance()->Close();
    }
    TestSite(const TestSite&) = delete;
    TestSite& operator=(const TestSite&) = delete;

    DeployTree& tree() { return m_tree; }
    SiteGen::SiteBuilder& builder() { return *m_site; }
    // A path below the directory file server's base (empty without one).
    QString server(const QString& relative) const { return m_server.isEmpty() ? QString() : m_server + "/" + relative; }

    // Identifiers of the records every such site has.
    QString app, station, feeder;

private:
    DeployTree m_tree; // first in, last out: the site lives in it
    QString m_server;
    std::unique_ptr<SiteGen::SiteBuilder> m_site;
};

} // namespace TestSupport
