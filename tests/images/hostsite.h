#pragma once

#include <QString>
#include <QTemporaryDir>

// The sample site made by talmerctl (the program in TALMERCTL) in a temporary
// folder and loaded into this process's environment, as a host's --site does.
class HostSite
{
public:
    // Makes and loads the site; false with the reason when either fails.
    bool make(QString* reason);
    QString directory() const { return m_dir.path() + "/site"; }

private:
    QTemporaryDir m_dir;
};
