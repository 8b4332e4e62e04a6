#pragma once

#include <QList>
#include <QStringList>

#include "mappinfo.h"

class BrelSysmanDataAgent;

// The HMI's application dictionary: the applications a site has configured.
class MAppDict
{
public:
    static MAppDict* Instance();

    // Every configured application with its display text, in dictionary order.
    QList<MAppInfo> GetAppList() const;
    // The names of the applications that may be added to the graph library;
    // realOnly keeps only the real ones. The platform's second argument selects
    // a dictionary part; this site has one, numbered 0, and other parts are empty.
    QStringList GetAppNameList(bool realOnly, int part) const;
    // The names of the real applications (each with a per-application data
    // file), in dictionary order or, with sorted, in Pinyin order.
    QStringList GetRealNameAppList(bool sorted) const;
    // The system-management agent; null when no HMI database is configured.
    BrelSysmanDataAgent* GetAgent() const;

protected:
    MAppDict();
    ~MAppDict();

private:
    static MAppDict* m_pInstance;
    BrelSysmanDataAgent* m_agent; // owned, never freed (as the singleton)
};
