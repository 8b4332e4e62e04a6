#include "graphstorecleaner.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>

#include <memory>

#include "librarynames.h"
#include "mabstractdbinterface.h"
#include "mdbrecords.h"
#include "mdeploypaths.h"
#include "mfilesynchronize.h"
#include "mgraphdataaccess.h"
#include "recordlist.h"
#include "softcheck.h"

namespace {

constexpr int kSummaryLines = 20;
constexpr int kFootprintLimit = 100000; // entries looked at below one folder

const QDir::Filters kEntries = QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot;

QString tr(const char* text)
{
    return Library::Tr("MGraphDataAccess", text);
}

bool ask(const QString& question, const QStringList& plan)
{
    const QString list = plan.isEmpty() ? tr("Nothing to remove.")
                                        : tr("To be removed:") + "\n" + GraphStoreCleaner::Summary(plan);
    return QMessageBox::question(nullptr, tr("alarm"), question + "\n\n" + list,
                                 QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Cancel)
        == QMessageBox::Yes;
}

void tellKept(const QStringList& kept)
{
    if (!kept.isEmpty())
        QMessageBox::information(nullptr, tr("alarm"),
                                 tr("Not removed, because they changed or the library knows them now:") + "\n"
                                     + GraphStoreCleaner::Summary(kept));
}

// The pictures of every picture type of the application.
QStringList pictureNames(MAbstractDBInterface* db, MDBRecordBase* application)
{
    QStringList names;
    RecordList types;
    db->GetChildren(application, types.out());
    for (MDBRecordBase* type : types) {
        RecordList pictures;
        db->GetChildren(type, pictures.out());
        for (MDBRecordBase* picture : pictures)
            names << picture->name;
    }
    return names;
}

// The applications below the node; false when the node cannot be read.
bool readApplications(MAbstractDBInterface* db, RecordList& applications)
{
    MDBRecordNode* found = nullptr;
    db->GetNode(found, Library::kNode);
    const std::unique_ptr<MDBRecordNode> node(found);
    if (!node)
        return false;
    db->GetChildren(node.get(), applications.out());
    return true;
}

} // namespace

QString GraphStoreCleaner::Summary(const QStringList& plan)
{
    QStringList lines = plan.mid(0, kSummaryLines);
    if (plan.size() > kSummaryLines)
        lines << tr("... and %1 more").arg(plan.size() - kSummaryLines);
    return lines.join('\n');
}

QString GraphStoreCleaner::storePath(const QString& relative)
{
    return MDeployPaths::GraphStore() + "/" + relative;
}

bool GraphStoreCleaner::ReadLibrary(QString& why)
{
    m_pictures.clear();
    m_readAt = QDateTime::currentMSecsSinceEpoch();
    RecordList applications;
    if (!readApplications(m_db, applications)) {
        why = tr("the library cannot be read (it has no node \"%1\"); check the HMI database (TALMER_HMI_DB).")
                  .arg(Library::kNode);
        return false;
    }
    if (applications.isEmpty()) {
        why = tr("the library holds no application; it may be a new or a wrong database (TALMER_HMI_DB).");
        return false;
    }
    for (MDBRecordBase* app : applications)
        m_pictures[app->name] << pictureNames(m_db, app);
    return true;
}

std::optional<bool> GraphStoreCleaner::knownNow(const QString& application, const QString& picture) const
{
    RecordList applications;
    if (!readApplications(m_db, applications) || applications.isEmpty())
        return std::nullopt;
    for (MDBRecordBase* app : applications) {
        if (app->name == application)
            return picture.isEmpty() || pictureNames(m_db, app).contains(picture);
    }
    return false;
}

GraphStoreCleaner::Footprint GraphStoreCleaner::footprint(const QString& path)
{
    Footprint f;
    const QFileInfo self(path);
    if (!self.exists() && !self.isSymLink())
        return f;
    f.newest = self.lastModified().toMSecsSinceEpoch();
    f.entries = 1;
    if (!self.isDir() || self.isSymLink())
        return f;
    QDirIterator it(path, kEntries | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext() && f.entries < kFootprintLimit) {
        it.next();
        f.newest = qMax(f.newest, it.fileInfo().lastModified().toMSecsSinceEpoch());
        ++f.entries;
    }
    return f;
}

QStringList GraphStoreCleaner::PlanLocal()
{
    QStringList plan;
    m_planned.clear();
    const QFileInfoList entries = QDir(MDeployPaths::GraphStore()).entryInfoList(kEntries, QDir::Unsorted);
    for (auto it = entries.crbegin(); it != entries.crend(); ++it) {
        const QString name = it->fileName();
        if (!m_pictures.contains(name)) {
            plan << name;
            continue;
        }
        if (it->isSymLink() || !it->isDir())
            continue; // a link named like an application is left alone
        const QStringList& known = m_pictures[name];
        for (const QFileInfo& child : QDir(it->filePath()).entryInfoList(kEntries, QDir::Unsorted)) {
            if (!known.contains(child.fileName()))
                plan << name + "/" + child.fileName();
        }
    }
    for (const QString& relative : plan)
        m_planned.insert(relative, footprint(storePath(relative)));
    return plan;
}

QStringList GraphStoreCleaner::PlanServer()
{
    QStringList plan;
    MFileSynchronize* sync = MFileSynchronize::Instance();
    for (const QString& application : sync->ListServerDir("pic", false)) {
        if (!m_pictures.contains(application)) {
            plan << application;
            continue;
        }
        for (const QString& directory : sync->ListServerDir("pic/" + application, false)) {
            if (!m_pictures[application].contains(directory))
                plan << application + "/" + directory;
        }
    }
    m_plannedOnServer.clear();
    for (const QString& relative : plan)
        m_plannedOnServer.insert(relative, serverListing(relative));
    return plan;
}

QStringList GraphStoreCleaner::serverListing(const QString& relative)
{
    MFileSynchronize* sync = MFileSynchronize::Instance();
    return sync->ListServerDir("pic/" + relative, true) + QStringList{"/"} + sync->ListServerDir("pic/" + relative, false);
}

QString GraphStoreCleaner::reasonToKeep(const QString& relative, bool local) const
{
    const Footprint now = footprint(storePath(relative));
    if (local && !(now == m_planned.value(relative)))
        return "changed since it was listed";
    // The server tells no times; an upload under way shows as another listing.
    if (!local && serverListing(relative) != m_plannedOnServer.value(relative))
        return "changed on the file server since it was listed";
    if (now.newest >= m_readAt)
        return "changed after the library was read";
    const std::optional<bool> known = knownNow(relative.section('/', 0, 0), relative.section('/', 1));
    if (!known)
        return "the library cannot be read any more";
    return *known ? "the library knows it now" : QString();
}

QStringList GraphStoreCleaner::CleanLocal(const QStringList& plan, QProgressDialog& progress)
{
    QStringList kept;
    progress.setMaximum(int(plan.size()));
    for (int i = 0; i < plan.size() && !progress.wasCanceled(); ++i) {
        const QString path = storePath(plan.at(i));
        const QString why = reasonToKeep(plan.at(i), true);
        if (!why.isEmpty()) {
            qCWarning(lcTalmer).noquote() << "cleaning keeps" << path << ":" << why;
            kept << plan.at(i) + ": " + why;
        } else {
            const QFileInfo entry(path);
            if (entry.isDir() && !entry.isSymLink())
                MGraphDataAccess::RemoveDir(path);
            else if (!MDeployPaths::GraphStoreEntry(path).isEmpty())
                QFile::remove(MDeployPaths::GraphStoreEntry(path));
            progress.setLabelText(path + "  " + tr("removed"));
        }
        progress.setValue(i);
    }
    return kept;
}

QStringList GraphStoreCleaner::CleanServer(const QStringList& plan, QProgressDialog& progress)
{
    QStringList kept;
    MFileSynchronize* sync = MFileSynchronize::Instance();
    progress.setMaximum(int(plan.size()));
    for (int i = 0; i < plan.size() && !progress.wasCanceled(); ++i) {
        const QString why = reasonToKeep(plan.at(i), false);
        if (!why.isEmpty()) {
            qCWarning(lcTalmer).noquote() << "cleaning keeps pic/" + plan.at(i) << "on the file server:" << why;
            kept << plan.at(i) + ": " + why;
        } else {
            sync->RemoveFile("pic/" + plan.at(i), false);
            progress.setLabelText(plan.at(i) + "  " + tr("removed"));
        }
        progress.setValue(i);
    }
    return kept;
}

void GraphStoreCleaner::Run()
{
    if (MDeployPaths::SafeRoot().isEmpty()) {
        QMessageBox::warning(nullptr, tr("alarm"),
                             tr("The graph store cannot be cleaned: TALMER_DEPLOY_DIR is not set to an absolute "
                                "directory other than the file-system root."));
        return;
    }
    if (QMessageBox::critical(nullptr, tr("alarm"), tr("Please back up graph files firstly! \n Are you sure to continue?"),
                              QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Cancel)
        == QMessageBox::Cancel)
        return;
    QProgressDialog progress(tr("clearing graph..."), tr("Abort Clear"), 0, 100);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.show();
    progress.setLabelText("analyzing and preparing");
    progress.setValue(0);
    QString why;
    if (!ReadLibrary(why)) {
        progress.close();
        QMessageBox::warning(nullptr, tr("alarm"), tr("The graph store is not cleaned: %1").arg(why));
        return;
    }
    const QStringList local = PlanLocal();
    if (ask(tr("clear file at local machine?"), local))
        tellKept(CleanLocal(local, progress));
    const QStringList server = PlanServer();
    if (ask(tr("clear file at file server?"), server))
        tellKept(CleanServer(server, progress));
    progress.close();
}
