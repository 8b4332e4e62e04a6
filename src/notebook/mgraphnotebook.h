#pragma once

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

#include "talmer_export.h"

// The workstation's options for graph handling, read from text files in the
// deployment tree's etc/mmi/: version increase, noted (white) and blacked
// graphs, status decisions, the daemon interval and the SVG options. It only
// stores and answers; the hosts decide what the answers mean.
//
// Option file: "key=value" lines for the key words inc_ver, svg_import,
// svg_dir, svg_export, svg_exdir, svg_exnode, svg_get, svg_server, svg_path,
// svg_timer, white_on, daemon_timer, black_on (recognised by the beginning of
// the line, in that order; the value runs from the first "=" to the next one),
// and "status,name,id" / "cr_decision,first,second,id" lines. List file: one
// graph per line, "application picture" or a single-digit id; a "!" anywhere
// makes it a blacked entry. "#" starts a comment line in both.
class TALMER_EXPORT MGraphNoteBook : public QObject
{
    Q_OBJECT

public:
    static MGraphNoteBook* Instance();

    // Read etc/mmi/{fileName} below TALMER_DEPLOY_DIR; always true (a missing
    // file or a line out of form is skipped).
    bool ReadImportOption(const QString& fileName);
    bool ReadWhite(const QString& fileName);

    bool IsNoted(int id) const;
    bool IsNoted(const QString& application, const QString& picture) const;
    bool IsBlacked(int id) const;
    bool IsBlacked(const QString& application, const QString& picture) const;
    // The decision stored for a status (or "first:second"); 0 when none.
    int GetStatusDecisionId(const QString& key) const;

    bool IsIncreaseVersion() const { return m_increaseVersion; }
    bool IsWhiteNoteEnabled() const { return m_whiteNoteEnabled; }
    bool IsBlackNoteEnabled() const { return m_blackNoteEnabled; }
    int GraphDaemonTime() const { return m_daemonTime; }
    bool IsSvgImport() const { return m_svgImport; }
    QString GetSvgDir() const { return m_svgDir; }
    bool IsSvgExport() const { return m_svgExport; }
    QString GetExportDir() const { return m_exportDir; }
    QStringList GetSvgNodes() const { return m_svgNodes; }
    bool IsSvgServer() const { return m_svgServerFetching; }
    QString GetSvgServer() const { return m_svgServer; }
    QString GetSvgServerPath() const { return m_svgServerPath; }
    int GetSvgServerTimer() const { return m_svgServerTimer; }

    // What the list file noted and blacked, and the stored status decisions.
    QStringList NotedKeys() const { return m_notedKeys; }
    QList<int> NotedIds() const { return m_notedIds; }
    QStringList BlackedKeys() const { return m_blackedKeys; }
    QList<int> BlackedIds() const { return m_blackedIds; }
    QMap<QString, int> StatusDecisions() const { return m_statusDecisions; }

    // The key a graph is noted under: the application lower-cased, "_", the picture.
    static QString GraphKey(const QString& application, const QString& picture);

protected:
    MGraphNoteBook();
    ~MGraphNoteBook() override;

private:
    void applyOption(const QString& line);
    void applyListEntry(QString line);
    static bool readLines(const QString& fileName, const std::function<void(const QString&)>& apply);

    static MGraphNoteBook* m_note;
    QStringList m_notedKeys;
    QList<int> m_notedIds;
    QMap<QString, int> m_statusDecisions;
    QStringList m_blackedKeys;
    QList<int> m_blackedIds;
    bool m_svgImport = false;
    QString m_svgDir;
    bool m_svgExport = false;
    QString m_exportDir;
    QStringList m_svgNodes;
    bool m_svgServerFetching = false;
    QString m_svgServer;
    QString m_svgServerPath;
    int m_svgServerTimer = 3;
    bool m_increaseVersion = false;
    bool m_whiteNoteEnabled = true;
    bool m_blackNoteEnabled = false;
    int m_daemonTime = 3;
};
