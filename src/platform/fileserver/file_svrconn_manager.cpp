#include "file_svrconn_manager.h"

#include <QString>

#include "directoryfilesession.h"
#include "ftpfilesession.h"

file_svrconn_manager* file_svrconn_manager::instance()
{
    static file_svrconn_manager* manager = new file_svrconn_manager; // never freed
    return manager;
}

I_file_session* file_svrconn_manager::get_file_session()
{
    const QString server = qEnvironmentVariable("TALMER_FILE_SERVER");
    if (server.isEmpty())
        return nullptr;
    if (m_sessions.empty() || m_server != server.toStdString()) {
        if (server.startsWith("ftp://"))
            m_sessions.push_back(std::make_unique<FtpFileSession>(server));
        else
            m_sessions.push_back(std::make_unique<DirectoryFileSession>(server));
        m_server = server.toStdString();
    }
    return m_sessions.back().get();
}
