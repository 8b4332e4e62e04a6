#include "mworkstationreportview.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QThread>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <atomic>

#include "mdbinterfaceholder.h"
#include "workstationreport.h"

namespace {

enum Column { NameColumn, StateColumn, CurrentColumn, StaleColumn, MissingColumn, ColumnCount };

const QColor kGood(20, 120, 40), kBehind(190, 100, 0), kGone(170, 30, 30);

QColor stateColour(const WorkstationScan::Result& result)
{
    if (result.state == WorkstationScan::Unreachable)
        return kGone;
    if (result.state == WorkstationScan::ListingFailed || result.count(WorkstationScan::Stale)
        || result.count(WorkstationScan::Missing))
        return kBehind;
    return kGood;
}

QString fileLine(const WorkstationScan::HeldFile& held)
{
    QString line = WorkstationScan::StateName(held.state) + ": " + held.file.path;
    if (held.state == WorkstationScan::Stale)
        line += QString(" (copy %1, record %2)")
                    .arg(held.modified.toLocalTime().toString(Qt::ISODate), held.file.recordTime);
    return line;
}

QTreeWidgetItem* workstationRow(const WorkstationScan::Result& result)
{
    auto* row = new QTreeWidgetItem;
    row->setText(NameColumn, result.workstation);
    row->setText(StateColumn, result.summary());
    row->setForeground(StateColumn, stateColour(result));
    if (result.state != WorkstationScan::Unreachable) {
        row->setText(CurrentColumn, QString::number(result.count(WorkstationScan::Current)));
        row->setText(StaleColumn, QString::number(result.count(WorkstationScan::Stale)));
        row->setText(MissingColumn, QString::number(result.count(WorkstationScan::Missing)));
    }
    QStringList tip;
    if (!result.error.isEmpty())
        tip << result.error;
    for (const WorkstationScan::HeldFile& held : result.files) {
        if (held.state == WorkstationScan::Current || result.state == WorkstationScan::Unreachable)
            continue;
        tip << fileLine(held);
        auto* child = new QTreeWidgetItem(row);
        child->setText(NameColumn, held.file.path);
        child->setText(StateColumn, WorkstationScan::StateName(held.state));
        child->setForeground(StateColumn, held.state == WorkstationScan::Unchecked ? QColor(Qt::gray) : kBehind);
        child->setToolTip(NameColumn, fileLine(held));
    }
    const QString tipText = tip.isEmpty() ? QString("every file is current") : tip.join('\n');
    for (int column = 0; column < ColumnCount; ++column)
        row->setToolTip(column, tipText);
    return row;
}

} // namespace

MWorkstationReportView::MWorkstationReportView(QWidget* parent)
    : QWidget(parent),
      m_refresh(new QAction(tr("Refresh"), this)),
      m_table(new QTreeWidget(this)),
      m_status(new QLabel(this))
{
    m_refresh->setObjectName("refreshAction");
    m_table->setObjectName("workstationTable");
    m_status->setObjectName("statusLabel");
    m_status->setWordWrap(true);
    m_table->setColumnCount(ColumnCount);
    m_table->setHeaderLabels({tr("Workstation"), tr("State"), tr("Current"), tr("Stale"), tr("Missing")});
    m_table->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->setRootIsDecorated(true);
    auto* refreshButton = new QToolButton(this);
    refreshButton->setObjectName("refreshButton");
    refreshButton->setDefaultAction(m_refresh);
    auto* top = new QHBoxLayout;
    top->addWidget(m_status, 1);
    top->addWidget(refreshButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_table);
    connect(m_refresh, &QAction::triggered, this, &MWorkstationReportView::Refresh);
    say(tr("Refresh to see which version each workstation holds."));
}

MWorkstationReportView::~MWorkstationReportView()
{
    if (!m_worker)
        return;
    // The scan holds its own report; it stops before its next listing.
    m_cancel->store(true);
    m_worker->wait();
    delete m_worker;
}

QSize MWorkstationReportView::sizeHint() const
{
    return QSize(440, 260);
}

void MWorkstationReportView::SetScope(const QString& application, const QString& picture)
{
    m_application = application;
    m_picture = application.isEmpty() ? QString() : picture;
}

void MWorkstationReportView::say(const QString& text)
{
    m_status->setText(text);
}

void MWorkstationReportView::Refresh()
{
    if (m_worker)
        return;
    auto report = std::make_shared<WorkstationReport>();
    QString error;
    if (report->Prepare(MDBInterfaceHolder::Instance()->GetInterface(), m_application, m_picture, error)
        != WorkstationFiles::Read) {
        say(tr("Cannot report: %1").arg(error));
        emit Refreshed();
        return;
    }
    m_report = report;
    m_cancel = std::make_shared<std::atomic<bool>>(false);
    auto cancel = m_cancel;
    m_worker = QThread::create([report, cancel] { report->Run(WorkstationScan::Limits(), cancel.get()); });
    connect(m_worker, &QThread::finished, this, &MWorkstationReportView::scanFinished);
    m_refresh->setEnabled(false);
    say(tr("Reading %1 workstations...").arg(report->Workstations().size()));
    m_worker->start();
}

void MWorkstationReportView::scanFinished()
{
    m_worker->wait();
    delete m_worker;
    m_worker = nullptr;
    m_refresh->setEnabled(true);
    showReport(*m_report);
    m_report.reset();
    emit Refreshed();
}

void MWorkstationReportView::showReport(const WorkstationReport& report)
{
    m_table->clear();
    int behind = 0;
    for (const WorkstationScan::Result& result : report.Results()) {
        m_table->addTopLevelItem(workstationRow(result));
        behind += result.summary() == WorkstationScan::StateName(WorkstationScan::Current) ? 0 : 1;
    }
    const QString scope = report.Picture().isEmpty()
        ? (report.Application().isEmpty() ? tr("the whole library") : report.Application())
        : report.Application() + " / " + report.Picture();
    if (report.Results().isEmpty())
        say(tr("%1: no other workstation in the node list").arg(scope));
    else
        say(tr("%1: %2 files, %3 of %4 workstations not current")
                .arg(scope, QString::number(report.Files().size()), QString::number(behind),
                     QString::number(report.Results().size())));
}
