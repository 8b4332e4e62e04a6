#pragma once

#include <QWidget>

#include <atomic>
#include <memory>

#include "talmer_export.h"

class QAction;
class QLabel;
class QThread;
class QTreeWidget;
class WorkstationReport;

// Which version of the library's files each workstation holds, for a host: a
// table with a row per workstation of the node list (name, state - "current",
// "n stale", "n missing", "unreachable" - and counts), the files that are not
// current one level below it and in the row's tip, and a Refresh action.
//
// Refresh() reads the library on the caller's thread and lists the
// workstations' FTP servers on a thread of its own, so the window stays live;
// Refreshed() says when the table shows the result. Nothing on a workstation
// is changed. Destroying the view during a scan stops the scan and waits for
// it (at most one listing's wait limit).
class TALMER_EXPORT MWorkstationReportView : public QWidget
{
    Q_OBJECT

public:
    explicit MWorkstationReportView(QWidget* parent = nullptr);
    ~MWorkstationReportView() override;

    // What the next Refresh() reports: the whole library (both empty), an
    // application's pictures, or one picture of it.
    void SetScope(const QString& application, const QString& picture = QString());
    QAction* RefreshAction() const { return m_refresh; }
    // Room for the names, the states and the three counts.
    QSize sizeHint() const override;
    bool IsScanning() const { return m_worker != nullptr; }

public Q_SLOTS:
    // Starts a scan; does nothing while one runs.
    void Refresh();

Q_SIGNALS:
    // A scan ended (or could not start): the table and the status line show it.
    void Refreshed();

private:
    void scanFinished();
    void showReport(const WorkstationReport& report);
    void say(const QString& text);

    QString m_application, m_picture;
    QAction* m_refresh;    // owned by the view
    QTreeWidget* m_table;  // owned by the view
    QLabel* m_status;      // owned by the view
    QThread* m_worker = nullptr;                  // owned; the running scan, null when idle
    std::shared_ptr<WorkstationReport> m_report; // shared with the running scan
    std::shared_ptr<std::atomic<bool>> m_cancel;  // shared with the running scan
};
