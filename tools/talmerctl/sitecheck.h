#pragma once

#include <QList>
#include <QString>
#include <QVariant>

class I_file_session;
class MSqlDataAgent;

// One thing a site check found, and what became of it.
struct CheckFinding
{
    // What can be done about it without guessing.
    enum Fix { NoFix, Upload, Fetch, RemoveRecord, RemoveLocal, RemoveFolder, RemoveUnrecorded };

    CheckFinding(const QString& kind, const QString& subject, const QString& detail, Fix fix = NoFix,
                 const QString& target = QString(), const QVariant& record = QVariant())
        : kind(kind), subject(subject), detail(detail), fix(fix), target(target), record(record)
    {
    }

    QString kind;    // "database", "duplicate", "incomplete-record", "missing-file", ...
    QString subject; // what it is about: "SCADA/北京变电站 version 2", a path
    QString detail;  // what is wrong
    Fix fix = NoFix;
    QString target;  // what the fix works on: a path, or a record's class
    QVariant record; // the record a RemoveRecord fix removes
    QString serverPath; // the server copy a RemoveUnrecorded fix removes too; empty when none
    bool repaired = false;
    QString repairError; // why a repair failed
};

// The consistency check of a site, the way file systems and databases offer
// one: database integrity; every picture version's files present locally and
// on the file server, and alike; no duplicate versions or picture names; no
// record without its fields; no leftovers of interrupted writes (temporary
// files, partial site folders). With repair, what can be fixed without
// guessing is fixed as it is found.
class SiteCheck
{
public:
    explicit SiteCheck(bool repair);

    void run();

    const QList<CheckFinding>& findings() const { return m_findings; }
    int pictures() const { return m_pictures; }
    int versions() const { return m_versions; }
    int files() const { return m_files; }

    // A leftover of an interrupted write is stale once untouched this long;
    // younger ones may belong to a write in progress and are left alone.
    static constexpr qint64 kStaleSeconds = 600;
    // True when name is one of the temporary names this system's writers use:
    // ".NAME.part-HEX" (file server transfers) and "NAME.EXT.XXXXXX" (safe
    // local writes).
    static bool IsTemporaryName(const QString& name);

private:
    struct Edition
    {
        QVariant id;
        int version = -1;
        QString modifyTime;
    };
    struct Picture
    {
        QVariant id;
        QString application;
        QString name;
        int latest = 0;
        QList<Edition> editions;
    };

    void checkDatabase();
    void checkLibrary();
    void checkApplication(const QVariant& application, const QString& name);
    void checkPicture(Picture& picture);
    QList<Edition> readEditions(const QString& subject, const QVariant& picture);
    bool removeIfEmpty(const Picture& picture, const QStringList& serverFiles);
    void checkUnrecordedFiles(const Picture& picture, const QString& serverDirectory, const QStringList& serverFiles);
    void checkVersionFiles(const Picture& picture, const Edition& edition, const QStringList& serverFiles);
    void checkFile(const Picture& picture, const Edition& edition, const QString& local, bool onServer);
    bool isCurrent(const Picture& picture, const Edition& edition, const QString& local) const;
    QStringList serverFiles(const QString& serverDirectory) const;
    bool sameContent(const QString& local, const QString& serverPath);
    void checkTemporaries(const QString& root, bool onServer);
    void checkPartialFolders();

    void report(CheckFinding finding);
    void repair(CheckFinding& finding);

    bool m_repair;
    MSqlDataAgent* m_agent;    // not owned: the process-wide agent
    I_file_session* m_session; // not owned: the file server client's; null without server
    bool m_serverListed = false;
    QList<CheckFinding> m_findings;
    int m_pictures = 0;
    int m_versions = 0;
    int m_files = 0;
};
