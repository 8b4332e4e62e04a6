#pragma once

#include <memory>
#include <string>
#include <vector>

class I_file_session;

// The file server client's process-wide manager. TALMER_FILE_SERVER names the
// server: an ftp://[user[:password]@]host[:port]/base URL, or a directory (a
// mounted share). Unset or empty: there is no session.
class file_svrconn_manager
{
public:
    static file_svrconn_manager* instance();

    // The session for the server configured now, made on first use and kept
    // while the configuration names the same server; null when none is set.
    // Sessions handed out stay valid for the life of the process.
    I_file_session* get_file_session();

private:
    file_svrconn_manager() = default;
    std::vector<std::unique_ptr<I_file_session>> m_sessions; // the current one last
    std::string m_server; // what the current session was made for
};
