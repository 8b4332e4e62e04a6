#pragma once

#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

class MAbstractDBInterface;
class QProgressDialog;

// Removes from the graph store, locally and on the file server, the application
// and picture folders the library no longer knows, asking the user first.
//
// Deleting by absence is only as good as the library read: it refuses to clean
// when the library cannot be read or holds no application (a wrong or new
// database would make every folder look stale), shows what it will remove
// before asking, and checks each folder again just before removing it: one the
// library knows by then, or one changed since the library was read (an import
// under way writes its files before its record), is kept.
class GraphStoreCleaner
{
public:
    explicit GraphStoreCleaner(MAbstractDBInterface* db) : m_db(db) {}

    // The whole dialogue: back-up warning, progress, the two questions.
    void Run();

    // Reads the library; false with the reason when it cannot be trusted.
    bool ReadLibrary(QString& why);
    // What would go, as paths below the graph store ("Gone", "A/Old").
    QStringList PlanLocal();
    QStringList PlanServer();
    // Removes the planned entries that pass the last check; returns those kept,
    // each as "entry: reason".
    QStringList CleanLocal(const QStringList& plan, QProgressDialog& progress);
    QStringList CleanServer(const QStringList& plan, QProgressDialog& progress);

    // The first lines of a plan and how many more there are.
    static QString Summary(const QStringList& plan);

private:
    struct Footprint
    {
        qint64 newest = -1; // latest modification below and of the entry, ms since the epoch
        int entries = 0;
        bool operator==(const Footprint& o) const { return newest == o.newest && entries == o.entries; }
    };

    // Whether the library knows the application (picture empty) or the
    // picture in it right now; nothing when it cannot be read.
    std::optional<bool> knownNow(const QString& application, const QString& picture) const;
    // Why an entry must stay (empty: it may go).
    QString reasonToKeep(const QString& relative, bool local) const;
    static Footprint footprint(const QString& path);
    // What the file server lists in a folder of the store: its files and folders.
    static QStringList serverListing(const QString& relative);
    static QString storePath(const QString& relative);

    MAbstractDBInterface* m_db; // not owned: the process-wide interface
    QMap<QString, QStringList> m_pictures; // application -> its picture names, as read
    qint64 m_readAt = -1;                  // when the library was read, ms since the epoch
    QHash<QString, Footprint> m_planned;   // local entry -> its state when planned
    QHash<QString, QStringList> m_plannedOnServer; // server entry -> its listing when planned
};
