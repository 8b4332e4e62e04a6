#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

#include "mappinfo.h"

namespace DataAgent {
class SqlConnection;
}

// What the services read on every call, held in memory.
struct HmiSnapshot
{
    QList<MAppInfo> applications;          // in dictionary order
    QStringList nodes;                     // workstation names
    QList<QPair<QString, int>> pictureTypes; // name, code, in name order
    QHash<QString, QString> translations;  // context + '\n' + text -> translation
    QHash<QString, QString> pinyinWords;   // word -> syllables ("xia men")
    struct Duty { QString host; qlonglong area; };
    QHash<QString, QList<Duty>> duties;    // user -> responsibilities
};

// The HMI service tables of the configured HMI database (the one the data
// agent uses: TALMER_HMI_DB, else $TALMER_DEPLOY_DIR/var/hmi.sqlite). Reads are
// served from a snapshot that is reloaded when the configuration names another
// database or when any process has changed the tables (seen within a second).
class HmiStore
{
public:
    static HmiStore& instance();

    // The current data; empty when no database can be used.
    const HmiSnapshot& snapshot();
    // Counts reloads, so that caches built on the snapshot know when to go.
    quint64 revision() const { return m_revision; }

    // The open connection, or null; for reads the snapshot does not hold.
    DataAgent::SqlConnection* connection();
    // Runs change in one transaction, marks the tables changed and reloads.
    bool write(const std::function<bool(DataAgent::SqlConnection&)>& change);

private:
    HmiStore();
    ~HmiStore();
    bool ensureOpen();
    void reloadIfChanged();
    qlonglong storedGeneration();
    void load();

    std::unique_ptr<DataAgent::SqlConnection> m_connection;
    HmiSnapshot m_snapshot;
    qlonglong m_generation = -1;
    quint64 m_revision = 0;
    QElapsedTimer m_sinceCheck;
};
