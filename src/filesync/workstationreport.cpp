#include "workstationreport.h"

#include <QJsonArray>

#include <algorithm>
#include <thread>
#include <vector>

#include "workstationpush.h"

namespace {

// Workstations scanned at once: enough that a few silent ones do not hold the
// report up for long, few enough not to flood a site's network.
constexpr int kParallelScans = 8;

QJsonObject fileJson(const WorkstationScan::HeldFile& held)
{
    QJsonObject object{{"path", held.file.path},
                       {"kind", WorkstationFiles::KindName(held.file.kind)},
                       {"state", WorkstationScan::StateName(held.state)},
                       {"recordTime", held.file.recordTime}};
    if (held.size >= 0)
        object["size"] = held.size;
    if (held.modified.isValid())
        object["modified"] = held.modified.toString(Qt::ISODate);
    return object;
}

QJsonObject workstationJson(const WorkstationScan::Result& result)
{
    QJsonArray files;
    for (const WorkstationScan::HeldFile& held : result.files)
        files.append(fileJson(held));
    QJsonObject object{{"name", result.workstation},
                       {"state", WorkstationScan::StateName(result.state)},
                       {"summary", result.summary()},
                       {"files", files}};
    for (auto state : {WorkstationScan::Current, WorkstationScan::Stale, WorkstationScan::Missing,
                       WorkstationScan::Unchecked})
        object[WorkstationScan::StateName(state)] = result.count(state);
    if (!result.error.isEmpty())
        object["error"] = result.error;
    return object;
}

} // namespace

WorkstationFiles::Outcome WorkstationReport::Prepare(MAbstractDBInterface* db, const QString& application,
                                                     const QString& picture, QString& error)
{
    QList<WorkstationFiles::File> files;
    const WorkstationFiles::Outcome outcome = WorkstationFiles::List(db, application, picture, files, error);
    if (outcome != WorkstationFiles::Read)
        return outcome;
    m_application = application;
    m_picture = picture;
    QStringList workstations = WorkstationPush::Targets(QString());
    // The push's order and once each: a name given twice is one workstation.
    workstations.sort();
    workstations.removeDuplicates();
    Prepare(files, workstations);
    return outcome;
}

void WorkstationReport::Prepare(const QList<WorkstationFiles::File>& files, const QStringList& workstations)
{
    m_files = files;
    m_workstations = workstations;
    m_results.clear();
}

void WorkstationReport::Run(const WorkstationScan::Limits& limits, const std::atomic<bool>* cancel)
{
    std::vector<WorkstationScan::Result> results(size_t(m_workstations.size()));
    for (int first = 0; first < m_workstations.size(); first += kParallelScans) {
        std::vector<std::thread> scans;
        const int last = std::min(int(m_workstations.size()), first + kParallelScans);
        for (int i = first; i < last; ++i) {
            scans.emplace_back([this, i, &results, &limits, cancel] {
                results[size_t(i)] = WorkstationScan::Scan(m_workstations.at(i), m_files, limits, cancel);
            });
        }
        for (std::thread& scan : scans)
            scan.join();
    }
    m_results = QList<WorkstationScan::Result>(results.begin(), results.end());
}

QJsonObject WorkstationReport::ToJson() const
{
    QJsonArray workstations;
    for (const WorkstationScan::Result& result : m_results)
        workstations.append(workstationJson(result));
    QJsonObject scope;
    if (!m_application.isEmpty())
        scope["application"] = m_application;
    if (!m_picture.isEmpty())
        scope["picture"] = m_picture;
    return QJsonObject{{"scope", scope}, {"files", int(m_files.size())}, {"workstations", workstations}};
}
