#pragma once

#include <QStringList>

// The system-management agent: what the HMI knows about its workstations.
class BrelSysmanDataAgent
{
public:
    // The names of all workstations (nodes) of the system, used as host names.
    QStringList GetNodeList() const;
};
