#include "mgraphtreeviewonline.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>

#include "editionrules.h"
#include "librarynames.h"
#include "librarywalk.h"
#include "mabstractdbinterface.h"
#include "mdbinterfaceholder.h"
#include "mdbrecords.h"
#include "mdeploypaths.h"
#include "mfilesynchronize.h"
#include "mgraphitemonline.h"
#include "privilegememo.h"
#include "recordlist.h"
#include "recordtime.h"
#include "treerules.h"

namespace {

// A file more than this much newer than the binary form means the binary is out of date.
constexpr qint64 kBinaryLagSecs = 10;

// The viewer files of one edition in the deployment tree; empty paths
// without a safe deployment root, so that nothing is fetched or written then.
struct EditionFiles
{
    EditionFiles(const QString& app, const QString& pic, int version)
    {
        if (MDeployPaths::SafeRoot().isEmpty())
            return;
        brg = MDeployPaths::VersionFile(app, pic, version, "brg");
        xrg = MDeployPaths::VersionFile(app, pic, version, "xrg");
        fg = MDeployPaths::VersionFile(app, pic, version, "fg");
    }
    bool usable() const { return !brg.isEmpty(); }

    QString brg, xrg, fg;
};

int fetch(const QString& path)
{
    return MFileSynchronize::Instance()->GetFile(path);
}

// Fetches the .brg and then the .fg; the .brg's result.
int fetchBinary(const EditionFiles& files)
{
    const int result = fetch(files.brg);
    if (result >= 0)
        fetch(files.fg);
    return result;
}

bool binaryLagsBehindText(const EditionFiles& files)
{
    const QFileInfo brg(files.brg), xrg(files.xrg);
    return xrg.exists()
        && brg.lastModified().toSecsSinceEpoch() + kBinaryLagSecs < xrg.lastModified().toSecsSinceEpoch();
}

} // namespace

MGraphTreeViewOnline::MGraphTreeViewOnline(QWidget* parent)
    : QTreeWidget(parent),
      m_dbInterface(MDBInterfaceHolder::Instance()->GetInterface()),
      m_nodeRecord(nullptr),
      m_currentApplication(nullptr),
      m_currentPictureType(nullptr),
      m_currentPicture(nullptr),
      m_showAllAction(new QAction(tr("show all edition"), this)),
      m_showAllEditions(false)
{
    setRootIsDecorated(false);
    setHeaderLabel(tr("pictures"));
    connect(this, &QTreeWidget::itemClicked, this, &MGraphTreeViewOnline::ItemClicked);
    m_appDisplayNames = TreeRules::ApplicationDisplayNames();
    InitTree();
    m_showAllAction->setCheckable(true);
    connect(m_showAllAction, &QAction::triggered, this, &MGraphTreeViewOnline::ShowAllEdition);
    // The privilege user is left as it is: a tree built after a log-in (or
    // after a refused one) must not open the library to everybody.
}

MGraphTreeViewOnline::~MGraphTreeViewOnline()
{
    clear(); // the items and their records go before the node record
    delete m_nodeRecord;
}

void MGraphTreeViewOnline::InitTree()
{
    if (!m_dbInterface)
        return;
    m_dbInterface->GetNode(m_nodeRecord, Library::kNode);
    if (!m_nodeRecord)
        return;
    QList<MDBRecordBase*> applications;
    m_dbInterface->GetChildren(m_nodeRecord, applications);
    TreeRules::AddApplications<MGraphItemOnline>(this, applications, m_appDisplayNames);
}

QString MGraphTreeViewOnline::RealAppName(const QString& text) const
{
    return TreeRules::ApplicationName(m_appDisplayNames, text);
}

MGraphItemOnline* MGraphTreeViewOnline::applicationItem(const QString& app) const
{
    return TreeRules::TopLevelItem<MGraphItemOnline>(this, app);
}

MGraphItemOnline* MGraphTreeViewOnline::childNamed(QTreeWidgetItem* parent, const QString& name)
{
    return TreeRules::ChildNamed<MGraphItemOnline>(parent, name);
}

// ---- filling ---------------------------------------------------------------------

void MGraphTreeViewOnline::RefreshItem(MGraphItemOnline* item)
{
    if (!item->Record() || item->Holds(MDBRecordBase::RecordEdition) || item->IsLoaded() || !m_dbInterface)
        return;
    QList<MDBRecordBase*> records;
    m_dbInterface->GetChildren(item->Record(), records);
    switch (item->Record()->type) {
    case MDBRecordBase::RecordApplication:
        for (MDBRecordBase* record : std::as_const(records))
            new MGraphItemOnline(item, record);
        item->SetLoaded();
        break;
    case MDBRecordBase::RecordPicType:
        fillPictures(item, records);
        break;
    case MDBRecordBase::RecordPicture:
        fillEditions(item, records);
        break;
    default:
        qDeleteAll(records);
    }
}

void MGraphTreeViewOnline::fillPictures(MGraphItemOnline* typeItem, QList<MDBRecordBase*>& records)
{
    if (m_currentPicture && m_currentPicture->parent() == typeItem)
        m_currentPicture = nullptr;
    qDeleteAll(typeItem->takeChildren());
    const bool any = !records.isEmpty();
    PrivilegeMemo privileges;
    QList<QTreeWidgetItem*> shown; // added in one go: one by one costs a model update each
    for (MDBRecordBase* record : TreeRules::PicturesInPinyinOrder(records, TreeRules::Keep::First)) {
        const auto* picture = static_cast<MDBRecordPicture*>(record);
        if (privileges.Allows(picture->inPrivCode, picture->aorNum))
            shown << new MGraphItemOnline(record);
        else
            delete record;
    }
    typeItem->addChildren(shown);
    if (any && shown.isEmpty())
        QMessageBox::information(nullptr, tr("information"), tr("you dont have privilege to view any of this graphes."),
                                 QMessageBox::Ok);
}

void MGraphTreeViewOnline::fillEditions(MGraphItemOnline* pictureItem, QList<MDBRecordBase*>& records)
{
    qDeleteAll(pictureItem->takeChildren());
    const TreeRules::EditionLabels labels{tr("history verstion"), tr("draft"), tr("latest version")};
    TreeRules::AddEditions<MGraphItemOnline>(pictureItem, records, m_showAllEditions, labels,
                                             [](MGraphItemOnline* parent) { return new MGraphItemOnline(parent, nullptr); });
}

// ---- clicks ------------------------------------------------------------------------

void MGraphTreeViewOnline::expand(MGraphItemOnline*& current, MGraphItemOnline* item)
{
    if (current)
        current->setExpanded(false);
    current = item;
    RefreshItem(item);
    item->setExpanded(true);
}

void MGraphTreeViewOnline::ItemClicked(QTreeWidgetItem* treeItem, int)
{
    auto* item = dynamic_cast<MGraphItemOnline*>(treeItem);
    if (!item || !item->Record())
        return;
    switch (item->Record()->type) {
    case MDBRecordBase::RecordApplication:
        if (item != m_currentApplication) {
            expand(m_currentApplication, item);
            m_currentPictureType = m_currentPicture = nullptr;
        }
        break;
    case MDBRecordBase::RecordPicType:
        if (item != m_currentPictureType) {
            expand(m_currentPictureType, item);
            m_currentPicture = nullptr;
        }
        break;
    case MDBRecordBase::RecordPicture:
        ExpandPicture(item, true);
        break;
    case MDBRecordBase::RecordEdition:
        OpenEdition(item);
        break;
    default:
        break;
    }
}

void MGraphTreeViewOnline::ExpandPicture(MGraphItemOnline* item, bool open)
{
    expand(m_currentPicture, item);
    if (!open)
        return;
    // Decide what to open before opening: the host may rebuild the tree from
    // its GraphSelected slot.
    MGraphItemOnline* chosen = nullptr;
    if (item->childCount() == 1) {
        chosen = dynamic_cast<MGraphItemOnline*>(item->child(0));
    } else {
        for (int i = 0; i < item->childCount() && !chosen; ++i) {
            auto* child = dynamic_cast<MGraphItemOnline*>(item->child(i));
            if (child && child->Holds(MDBRecordBase::RecordEdition)
                && static_cast<MDBRecordEdition*>(child->Record())->version != 0)
                chosen = child;
        }
    }
    if (chosen && chosen->Holds(MDBRecordBase::RecordEdition))
        OpenEdition(chosen);
}

void MGraphTreeViewOnline::OpenEdition(MGraphItemOnline* item)
{
    // The picture is the parent, or the grandparent under the history folder.
    auto* picture = dynamic_cast<MGraphItemOnline*>(item->parent());
    if (picture && !picture->Record())
        picture = dynamic_cast<MGraphItemOnline*>(picture->parent());
    auto* application = picture && picture->parent() && picture->parent()->parent()
        ? dynamic_cast<MGraphItemOnline*>(picture->parent()->parent())
        : nullptr;
    if (!picture || !picture->Holds(MDBRecordBase::RecordPicture) || !application
        || !application->Holds(MDBRecordBase::RecordApplication))
        return;
    const auto* edition = static_cast<const MDBRecordEdition*>(item->Record());
    const QString app = application->Record()->name, pic = picture->Record()->name, label = picture->text(0);
    const int version = edition->version;
    const EditionFiles files(app, pic, version);
    const bool hadBinary = files.usable() && QFileInfo::exists(files.brg);
    int fetched = 0;
    if (files.usable() && RecordTime::IsFileStale(files.brg, edition->modifyTime))
        fetched = fetchBinary(files);
    else if (files.usable() && binaryLagsBehindText(files))
        fetchBinary(files);
    // Current before the signal; after it, no item is touched again.
    setCurrentItem(item);
    if (!hadBinary && !QFileInfo::exists(files.xrg) && fetched < 0 && version != 0) {
        QMessageBox::information(this, QString(), label + tr(" : graph file not existed!"), QMessageBox::Ok);
        return;
    }
    emit GraphSelected(app, pic, version);
}

void MGraphTreeViewOnline::ShowAllEdition(bool show)
{
    m_showAllEditions = show;
}

QList<QAction*> MGraphTreeViewOnline::MenuActions(QTreeWidgetItem* treeItem) const
{
    auto* item = dynamic_cast<MGraphItemOnline*>(treeItem);
    if (item && item->Holds(MDBRecordBase::RecordPicType))
        return {m_showAllAction};
    return {};
}

void MGraphTreeViewOnline::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu;
    menu.addActions(MenuActions(itemAt(viewport()->mapFromGlobal(event->globalPos()))));
    menu.exec(event->globalPos());
}

// ---- selections and queries ----------------------------------------------------

void MGraphTreeViewOnline::SelectGraph(const QString& picname, int appIndex)
{
    if (picname.isEmpty() || !m_dbInterface)
        return;
    const QString key = appIndex > 0 ? QString("%1:%2").arg(picname).arg(appIndex) : picname;
    SelectGraphItem(m_dbInterface->FindPictureApplication(key), picname, -1, true);
}

void MGraphTreeViewOnline::SelectGraphItem(const QString& app, const QString& pic, int, bool open)
{
    if (app.isEmpty() || pic.isEmpty() || !isVisible() || !m_dbInterface)
        return;
    MGraphItemOnline* appItem = applicationItem(app);
    if (!appItem)
        return;
    ItemClicked(appItem, 0);
    forEachPictureNamed(appItem, pic, [&](MDBRecordBase* type, MDBRecordBase*) {
        MGraphItemOnline* typeItem = childNamed(appItem, type->name);
        if (!typeItem)
            return false;
        ItemClicked(typeItem, 0);
        MGraphItemOnline* pictureItem = childNamed(typeItem, pic);
        if (!pictureItem)
            return false;
        scrollToItem(pictureItem, QAbstractItemView::PositionAtTop);
        ExpandPicture(pictureItem, open);
        return open; // after opening, the host may have rebuilt the tree
    });
}

void MGraphTreeViewOnline::forEachPictureNamed(MGraphItemOnline* appItem, const QString& pic,
                                               const std::function<bool(MDBRecordBase*, MDBRecordBase*)>& visit) const
{
    LibraryWalk::ForEachPictureNamed(m_dbInterface, appItem->Record(), pic, visit);
}

MGraphTreeViewOnline::Edition MGraphTreeViewOnline::findEdition(const QString& app, const QString& pic,
                                                                int version) const
{
    Edition found;
    MGraphItemOnline* appItem = applicationItem(app);
    if (!appItem || pic.isEmpty() || !m_dbInterface)
        return found;
    forEachPictureNamed(appItem, pic, [&](MDBRecordBase*, MDBRecordBase* picture) {
        RecordList editions;
        m_dbInterface->GetChildren(picture, editions.out());
        for (MDBRecordBase* base : editions) {
            const auto* e = static_cast<MDBRecordEdition*>(base);
            const bool wanted = version < 0 ? e->version > found.version : e->version == version;
            if (wanted && (version < 0 || found.version == -100))
                found = {e->version, e->modifyTime};
        }
        return false;
    });
    return found;
}

int MGraphTreeViewOnline::GetLatestVersion(const QString& app, const QString& pic)
{
    const Edition latest = findEdition(app, pic, -1);
    if (latest.version < 0)
        return latest.version;
    const EditionFiles files(app, pic, latest.version);
    if (!files.usable())
        return -1;
    if (RecordTime::IsFileStale(files.brg, latest.modifyTime))
        fetchBinary(files);
    if (RecordTime::IsFileStale(files.fg, latest.modifyTime))
        fetch(files.fg);
    // A stale copy still on disk can be shown: -1 only when no form is left.
    return QFileInfo::exists(files.brg) || QFileInfo::exists(files.xrg) ? latest.version : -1;
}

bool MGraphTreeViewOnline::GetLatestFile(const QString& app, const QString& pic, int version)
{
    const Edition edition = findEdition(app, pic, version);
    if (edition.version == -100 || edition.version != version)
        return false;
    const EditionFiles files(app, pic, version);
    if (!files.usable())
        return false;
    if (!RecordTime::IsFileStale(files.brg, edition.modifyTime)) {
        if (RecordTime::IsFileStale(files.fg, edition.modifyTime))
            fetch(files.fg);
        return true;
    }
    const bool hadBinary = QFileInfo::exists(files.brg);
    if (fetchBinary(files) >= 0)
        return true;
    return hadBinary || QFileInfo::exists(files.xrg);
}

bool MGraphTreeViewOnline::GraphType(const QString& picture, const QString& application, QString& type,
                                     int& typeValue)
{
    MGraphItemOnline* appItem = applicationItem(application);
    return m_dbInterface && appItem && LibraryWalk::PictureType(m_dbInterface, appItem->Record(), picture, type, typeValue);
}
