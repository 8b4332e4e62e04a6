#include "mgraphtreevieweditor.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDataStream>
#include <QDrag>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>


#include "librarynames.h"
#include "librarywalk.h"
#include "mabstractdbinterface.h"
#include "mdbinterfaceholder.h"
#include "mdbrecords.h"
#include "mdeploypaths.h"
#include "mfilesynchronize.h"
#include "mgraphtreeitem.h"
#include "recordtime.h"
#include "treerules.h"

using Command = MGraphTreeViewEditor::Command;

namespace {

struct ActionRow
{
    const char* text;
    void (MGraphTreeViewEditor::*slot)();
};

// Created in this order; ShowAllEdition (checkable) is connected apart.
const ActionRow kActionRows[MGraphTreeViewEditor::kCommandCount] = {
    {QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "delete Application"), &MGraphTreeViewEditor::DeleteApplication},
    {QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "add Application"), &MGraphTreeViewEditor::AddApplication},
    {QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "delete picture type"), &MGraphTreeViewEditor::DeletePictype},
    {QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "add picture type"), &MGraphTreeViewEditor::AddPictype},
    {QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "delete picture"), &MGraphTreeViewEditor::DeletePicture},
    {QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "add picture"), &MGraphTreeViewEditor::AddPicture},
    {QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "release picture"), &MGraphTreeViewEditor::ReleasePicture},
    {QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "refresh applications"), &MGraphTreeViewEditor::RefreshApplications},
    {QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "rename picture"), &MGraphTreeViewEditor::RenamePicture},
    {QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "show all edition"), nullptr},
    {QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "check in"), &MGraphTreeViewEditor::CheckInDraft},
    {QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "save as draft"), &MGraphTreeViewEditor::SaveAsDraft},
    {QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "paste current picture"), &MGraphTreeViewEditor::PastePicture},
    {QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "change picture type"), &MGraphTreeViewEditor::ChangePictype},
    {QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "refresh OID"), &MGraphTreeViewEditor::RefreshOIDs},
    {QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "Set Shared Graph"), &MGraphTreeViewEditor::slotShareGraph},
    {QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "Cancel Shared Graph"), &MGraphTreeViewEditor::slotCancelShareGraph},
    {QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "edit property"), &MGraphTreeViewEditor::ChangePicProperty},
    {QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "batch setting"), &MGraphTreeViewEditor::BatchSetProperty},
    {QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "reset version"), &MGraphTreeViewEditor::ResetVersions},
    {QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "reset version"), &MGraphTreeViewEditor::ResetPictureVersion},
    {QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "translate picture"), &MGraphTreeViewEditor::TranslateText},
    {QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "from folder..."), &MGraphTreeViewEditor::ImportFolderPic},
    {QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "from file..."), &MGraphTreeViewEditor::ImportFilePic},
    {QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "merge database..."), &MGraphTreeViewEditor::MergeDatabase},
};

bool isBelow(const QTreeWidgetItem* item, const QTreeWidgetItem* ancestor)
{
    for (const QTreeWidgetItem* up = item->parent(); up; up = up->parent()) {
        if (up == ancestor)
            return true;
    }
    return false;
}

int fetch(const QString& path)
{
    return MFileSynchronize::Instance()->GetFile(path);
}

} // namespace

const char* const MGraphTreeViewEditor::kPicDragFormat = "picDrag";

MGraphTreeViewEditor::MGraphTreeViewEditor(QWidget* parent)
    : QTreeWidget(parent), m_dbInterface(MDBInterfaceHolder::Instance()->GetInterface()), m_nodeRecord(nullptr)
{
    if (m_dbInterface)
        m_dbInterface->GetNode(m_nodeRecord, Library::kNode);
    setRootIsDecorated(false);
    setHeaderLabel(tr("pictures"));
    RefreshApplications();
    createActions();
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setDropIndicatorShown(true);
    setAcceptDrops(true);
    bool numeric = false;
    const int mask = m_dbInterface ? m_dbInterface->GetGlobalDefine("TreeActions").toInt(&numeric, 10) : 0;
    m_treeActionsMask = numeric ? mask : 0;
    connect(this, &QTreeWidget::itemClicked, this, &MGraphTreeViewEditor::ItemClicked);
}

MGraphTreeViewEditor::~MGraphTreeViewEditor()
{
    clear(); // the items and their records go before the node record
    delete m_nodeRecord;
}

void MGraphTreeViewEditor::createActions()
{
    for (int i = 0; i < kCommandCount; ++i) {
        auto* action = new QAction(tr(kActionRows[i].text), this);
        if (kActionRows[i].slot)
            connect(action, &QAction::triggered, this, kActionRows[i].slot);
        m_actions.at(size_t(i)) = action;
    }
    Action(Command::ShowAllEdition)->setCheckable(true);
    connect(Action(Command::ShowAllEdition), &QAction::triggered, this, &MGraphTreeViewEditor::ShowAllEdition);
    for (QAction*& separator : m_separators) {
        separator = new QAction(this);
        separator->setSeparator(true);
    }
    m_importMenu = new QMenu(tr("import picture"), this);
    m_importMenu->addActions({Action(Command::ImportFolderPic), Action(Command::ImportFilePic)});
}

// ---- state and lookups ----------------------------------------------------------------

MGraphTreeItem* MGraphTreeViewEditor::CurrentVersionItem() const
{
    MGraphTreeItem* item = MGraphTreeItem::From(currentItem());
    return item && item->Holds(MDBRecordBase::RecordEdition) ? item : nullptr;
}

void MGraphTreeViewEditor::SetOpened(const QString& app, const QString& pic, int edition)
{
    m_openedApplication = app;
    m_openedPicture = pic;
    m_openedEdition = edition;
}

QString MGraphTreeViewEditor::ApplicationName(const QString& label) const
{
    return TreeRules::ApplicationName(m_appDisplayNames, label);
}

MGraphTreeItem* MGraphTreeViewEditor::ApplicationItem(const QString& app) const
{
    return TreeRules::TopLevelItem<MGraphTreeItem>(this, app);
}

MGraphTreeItem* MGraphTreeViewEditor::ChildNamed(QTreeWidgetItem* parent, const QString& name)
{
    return parent ? TreeRules::ChildNamed<MGraphTreeItem>(parent, name) : nullptr;
}

MGraphTreeItem* MGraphTreeViewEditor::PictureOf(MGraphTreeItem* versionItem)
{
    QTreeWidgetItem* up = versionItem ? versionItem->parent() : nullptr;
    if (up && !MGraphTreeItem::From(up))
        up = up->parent(); // the history folder
    MGraphTreeItem* picture = MGraphTreeItem::From(up);
    return picture && picture->Holds(MDBRecordBase::RecordPicture) ? picture : nullptr;
}

QList<MDBRecordBase*> MGraphTreeViewEditor::PicturesOfType(MDBRecordBase* pictype) const
{
    QList<MDBRecordBase*> records;
    if (m_dbInterface && pictype)
        m_dbInterface->GetChildren(pictype, records);
    return TreeRules::PicturesInPinyinOrder(records, TreeRules::Keep::First);
}

bool MGraphTreeViewEditor::GraphType(const QString& pic, const QString& app, QString& pictype, int& pictypeId) const
{
    MGraphTreeItem* appItem = ApplicationItem(app);
    return appItem && LibraryWalk::PictureType(m_dbInterface, appItem->Record(), pic, pictype, pictypeId);
}

// ---- loading ------------------------------------------------------------------------

void MGraphTreeViewEditor::RefreshApplications()
{
    m_currentApplication = m_currentPictype = m_currentPicture = nullptr;
    if (!m_nodeRecord || !m_dbInterface)
        return;
    QList<MDBRecordBase*> applications;
    m_dbInterface->GetChildren(m_nodeRecord, applications);
    clear();
    m_appDisplayNames = TreeRules::ApplicationDisplayNames();
    TreeRules::AddApplications<MGraphTreeItem>(this, applications, m_appDisplayNames);
}

void MGraphTreeViewEditor::ReloadChildren(MGraphTreeItem* item)
{
    if (!item)
        return;
    forgetCurrentBelow(item);
    qDeleteAll(item->takeChildren());
    loadChildren(item);
    item->setExpanded(true);
}

void MGraphTreeViewEditor::forgetCurrentBelow(MGraphTreeItem* item)
{
    for (MGraphTreeItem** current : {&m_currentApplication, &m_currentPictype, &m_currentPicture}) {
        if (*current && isBelow(*current, item))
            *current = nullptr;
    }
}

void MGraphTreeViewEditor::loadChildren(MGraphTreeItem* item)
{
    if (!m_dbInterface || !item->Record() || item->Holds(MDBRecordBase::RecordEdition))
        return;
    TreeRules::LoadChildren(
        m_dbInterface, item, [this](MGraphTreeItem* type, QList<MDBRecordBase*>& pictures) { loadPictures(type, pictures); },
        [this](MGraphTreeItem* picture, QList<MDBRecordBase*>& versions) { loadVersions(picture, versions); });
}

void MGraphTreeViewEditor::loadPictures(MGraphTreeItem* typeItem, QList<MDBRecordBase*>& records)
{
    QList<QTreeWidgetItem*> items; // added in one go: one by one costs a model update each
    for (MDBRecordBase* record : TreeRules::PicturesInPinyinOrder(records, TreeRules::Keep::First))
        items << new MGraphTreeItem(record);
    typeItem->addChildren(items);
}

void MGraphTreeViewEditor::loadVersions(MGraphTreeItem* pictureItem, QList<MDBRecordBase*>& records)
{
    const TreeRules::EditionLabels labels{tr("history verstion"), tr("draft"), tr("latest version")};
    TreeRules::AddEditions<MGraphTreeItem>(pictureItem, records, m_showAllEditions, labels,
                                           [](QTreeWidgetItem* parent) { return new QTreeWidgetItem(parent); });
}

// ---- clicks and opening ---------------------------------------------------------------

void MGraphTreeViewEditor::makeCurrent(MGraphTreeItem*& current, MGraphTreeItem* item)
{
    if (current && current != item) {
        forgetCurrentBelow(current);
        qDeleteAll(current->takeChildren());
    }
    current = item;
    ReloadChildren(item);
}

void MGraphTreeViewEditor::ItemClicked(QTreeWidgetItem* treeItem, int)
{
    MGraphTreeItem* item = MGraphTreeItem::From(treeItem);
    if (!item)
        return;
    // A level clicked is read again (even when it is current) and clears the levels below it.
    if (item->Holds(MDBRecordBase::RecordApplication)) {
        makeCurrent(m_currentApplication, item);
        m_currentPictype = m_currentPicture = nullptr;
    } else if (item->Holds(MDBRecordBase::RecordPicType)) {
        makeCurrent(m_currentPictype, item);
        m_currentPicture = nullptr;
    } else if (item->Holds(MDBRecordBase::RecordPicture)) {
        ExpandPicture(item, true);
    } else if (item->Holds(MDBRecordBase::RecordEdition)) {
        OpenVersion(item, 0);
    }
}

void MGraphTreeViewEditor::ExpandPicture(MGraphTreeItem* pictureItem, bool open)
{
    makeCurrent(m_currentPicture, pictureItem);
    setCurrentItem(pictureItem);
    if (!open)
        return;
    // Chosen before opening: a host may rebuild the tree from GraphSelected.
    QList<quint64> chosen;
    if (pictureItem->childCount() == 1) {
        if (MGraphTreeItem* only = MGraphTreeItem::From(pictureItem->child(0))) {
            setCurrentItem(only);
            chosen << only->Serial();
        }
    } else {
        for (int i = 0; i < pictureItem->childCount(); ++i) {
            MGraphTreeItem* child = MGraphTreeItem::From(pictureItem->child(i));
            if (child && child->IsDraft())
                chosen << child->Serial();
        }
    }
    for (quint64 serial : std::as_const(chosen)) {
        if (MGraphTreeItem* version = MGraphTreeItem::Find(serial))
            OpenVersion(version, 0);
    }
}

bool MGraphTreeViewEditor::OpenVersion(MGraphTreeItem* versionItem, int type)
{
    MGraphTreeItem* picture = PictureOf(versionItem);
    MGraphTreeItem* application =
        picture && picture->parent() ? MGraphTreeItem::From(picture->parent()->parent()) : nullptr;
    if (!versionItem || !versionItem->Holds(MDBRecordBase::RecordEdition) || !picture || !application
        || !application->Holds(MDBRecordBase::RecordApplication))
        return false;
    const QString app = application->Record()->name, pic = picture->Record()->name;
    auto* edition = static_cast<MDBRecordEdition*>(versionItem->Record());
    if (MDeployPaths::SafeRoot().isEmpty()) {
        // Without a deployment folder every path would lie under the file-system root.
        emit SigShowErrMsg({MErrMsg(pic, tr("no deployment folder: TALMER_DEPLOY_DIR is not set"))});
        return false;
    }
    const QString xrg = MDeployPaths::VersionFile(app, pic, edition->version, "xrg");
    const QString brg = MDeployPaths::VersionFile(app, pic, edition->version, "brg");
    if (m_dbInterface)
        m_dbInterface->RefreshRecordTime(edition);
    const bool textWasMissing = !QFileInfo::exists(xrg);
    int fetched = 0;
    if (RecordTime::IsFileStale(xrg, edition->modifyTime)) {
        fetched = fetch(xrg);
        fetch(brg);
    }
    if (textWasMissing && !QFileInfo::exists(brg) && fetched < 0 && edition->version != 0) {
        QMessageBox::information(this, QString(), picture->text(0) + tr(" : graph file not existed!"));
        return false;
    }
    const int version = edition->version;
    const quint64 versionSerial = versionItem->Serial(), pictureSerial = picture->Serial();
    SetOpened(app, pic, version);
    emit GraphSelected(app, pic, version, type);
    // The host may have rebuilt the tree meanwhile: touch only what still exists.
    MGraphTreeItem* stillVersion = MGraphTreeItem::Find(versionSerial);
    MGraphTreeItem* stillPicture = MGraphTreeItem::Find(pictureSerial);
    if (stillVersion && stillPicture && stillVersion->parent() == stillPicture)
        setCurrentItem(stillVersion);
    return true;
}

// ---- selecting ------------------------------------------------------------------------

void MGraphTreeViewEditor::SelectGraph(QString picname, int appIndex)
{
    if (picname.isEmpty() || !m_dbInterface)
        return;
    const QString key = appIndex > 0 ? QString("%1:%2").arg(picname).arg(appIndex) : picname;
    const QString app = m_dbInterface->FindPictureApplication(key);
    if (!app.isEmpty())
        SelectGraphItem(app, picname, true);
}

void MGraphTreeViewEditor::SelectGraph(QString picname)
{
    SelectGraph(picname, 0);
}

void MGraphTreeViewEditor::SelectGraphItem(const QString& app, const QString& pic, bool open)
{
    if (app.isEmpty() || pic.isEmpty() || !isVisible() || !m_dbInterface)
        return;
    if (m_nodeRecord && !m_nodeRecord->outerOid.isEmpty())
        RefreshApplications();
    MGraphTreeItem* appItem = ApplicationItem(app);
    if (!appItem)
        return;
    ItemClicked(appItem, 0);
    QStringList typeNames;
    LibraryWalk::ForEachPictureNamed(m_dbInterface, appItem->Record(), pic, [&](MDBRecordBase* type, MDBRecordBase*) {
        typeNames << type->name;
        return false;
    });
    for (const QString& typeName : std::as_const(typeNames)) {
        MGraphTreeItem* typeItem = ChildNamed(appItem, typeName);
        if (!typeItem)
            continue;
        makeCurrent(m_currentPictype, typeItem);
        m_currentPicture = nullptr;
        MGraphTreeItem* pictureItem = ChildNamed(typeItem, pic);
        if (!pictureItem)
            continue;
        scrollToItem(pictureItem);
        ExpandPicture(pictureItem, open);
        if (open)
            return; // the host may have rebuilt the tree from GraphSelected
    }
}

void MGraphTreeViewEditor::ShowAllEdition(bool show)
{
    m_showAllEditions = show;
}

void MGraphTreeViewEditor::ChangePicProperty()
{
    emit EditPicProperty();
}

void MGraphTreeViewEditor::slotRefreshIcons()
{
}

// ---- the context menu ---------------------------------------------------------------------

QList<QAction*> MGraphTreeViewEditor::MenuActions(QTreeWidgetItem* underCursor)
{
    QList<QAction*> entries;
    const int selected = int(selectedItems().size());
    if (selected > 1)
        entries << Action(Command::ChangePictype);
    if (!underCursor)
        return entries << Action(Command::AddApplication);
    if (selected != 1)
        return entries;
    MGraphTreeItem* item = MGraphTreeItem::From(underCursor);
    if (!item)
        return {}; // the history folder
    switch (item->Kind()) {
    case MDBRecordBase::RecordApplication:
        return applicationMenu();
    case MDBRecordBase::RecordPicType:
        return pictypeMenu();
    case MDBRecordBase::RecordPicture:
        return pictureMenu(item);
    case MDBRecordBase::RecordEdition:
        return item->IsDraft() ? QList<QAction*>() : QList<QAction*>{Action(Command::SaveAsDraft)};
    default:
        return {};
    }
}

QList<QAction*> MGraphTreeViewEditor::applicationMenu()
{
    return {Action(Command::AddPictype),    m_separators[0],        Action(Command::DeleteApplication),
            m_separators[1],                Action(Command::BatchSetProperty), Action(Command::ResetVersions),
            Action(Command::MergeDatabase)};
}

QList<QAction*> MGraphTreeViewEditor::pictypeMenu()
{
    QList<QAction*> entries{Action(Command::ShowAllEdition), Action(Command::AddPicture),
                            Action(Command::PastePicture),   m_separators[0],
                            Action(Command::DeletePictype),  m_separators[1]};
    if (!(m_treeActionsMask & HideRefreshOid))
        entries << Action(Command::RefreshOIDs);
    if (!(m_treeActionsMask & HideTranslate))
        entries << Action(Command::TranslateText);
    return entries << Action(Command::ShareGraph) << Action(Command::CancelShareGraph)
                   << Action(Command::BatchSetProperty) << m_separators[2] << m_importMenu->menuAction();
}

QList<QAction*> MGraphTreeViewEditor::pictureMenu(MGraphTreeItem* item)
{
    QAction* property = Action(Command::ChangePicProperty);
    property->setEnabled(item->RawName() == m_openedPicture);
    QList<QAction*> entries{property};
    bool releasable = item->childCount() == 0;
    for (int i = 0; i < item->childCount() && !releasable; ++i) {
        MGraphTreeItem* child = MGraphTreeItem::From(item->child(i));
        releasable = child && child->IsDraft();
    }
    if (releasable)
        entries << Action(Command::ReleasePicture) << m_separators[0];
    entries << Action(Command::DeletePicture) << m_separators[1] << Action(Command::ChangePictype);
    if (!(m_treeActionsMask & HideRefreshOid))
        entries << Action(Command::RefreshOIDs);
    if (!(m_treeActionsMask & HideTranslate))
        entries << Action(Command::TranslateText);
    entries << m_separators[2] << Action(Command::ResetPictureVersion);
    return entries;
}

void MGraphTreeViewEditor::contextMenuEvent(QContextMenuEvent* event)
{
    const QList<QAction*> entries = MenuActions(itemAt(viewport()->mapFromGlobal(event->globalPos())));
    if (entries.isEmpty())
        return;
    QMenu menu;
    menu.addActions(entries);
    menu.exec(event->globalPos()); // a command may rebuild the tree: nothing follows
}

void MGraphTreeViewEditor::mouseReleaseEvent(QMouseEvent* event)
{
    // Right and Ctrl releases neither click nor open.
    if (event->button() == Qt::LeftButton && event->modifiers() != Qt::ControlModifier)
        QTreeWidget::mouseReleaseEvent(event);
    else
        event->accept();
}

// ---- drag and drop ----------------------------------------------------------------------

QMimeData* MGraphTreeViewEditor::PicDragData(const QString& oid)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream << oid;
    auto* data = new QMimeData;
    data->setData(kPicDragFormat, bytes);
    return data;
}

bool MGraphTreeViewEditor::ReadPicDrag(const QMimeData* data, QString& oid)
{
    if (!data || !data->hasFormat(kPicDragFormat))
        return false;
    QDataStream stream(data->data(kPicDragFormat));
    QString read;
    stream >> read;
    if (stream.status() != QDataStream::Ok)
        return false;
    oid = read;
    return true;
}

QMimeData* MGraphTreeViewEditor::BeginPictureDrag()
{
    MGraphTreeItem* item = MGraphTreeItem::From(currentItem());
    if (!item || !item->Holds(MDBRecordBase::RecordPicture))
        return nullptr;
    QMimeData* data = PicDragData(item->Record()->oid);
    m_ownDrag = data;
    return data;
}

void MGraphTreeViewEditor::startDrag(Qt::DropActions)
{
    QMimeData* data = BeginPictureDrag();
    if (!data)
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->exec(Qt::MoveAction);
}

bool MGraphTreeViewEditor::isOwnDrag(const QDropEvent* event) const
{
    return event->mimeData() && event->mimeData()->hasFormat(kPicDragFormat)
        && (event->source() == this || (m_ownDrag && event->mimeData() == m_ownDrag.data()));
}

void MGraphTreeViewEditor::dragEnterEvent(QDragEnterEvent* event)
{
    if (isOwnDrag(event))
        event->acceptProposedAction();
    else
        event->ignore();
}

void MGraphTreeViewEditor::dragMoveEvent(QDragMoveEvent* event)
{
    if (isOwnDrag(event)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

MGraphTreeItem* MGraphTreeViewEditor::dropTarget(const QDropEvent* event, MGraphTreeItem** pictureItem) const
{
    QString oid;
    if (!m_dbInterface || !isOwnDrag(event) || !ReadPicDrag(event->mimeData(), oid) || oid.isEmpty())
        return nullptr;
    MGraphTreeItem* target = MGraphTreeItem::From(itemAt(event->position().toPoint()));
    if (!target || !target->Holds(MDBRecordBase::RecordPicType))
        return nullptr;
    // The dragged picture must be a loaded picture of the same application:
    // its files live under the application's folder and would not follow.
    QTreeWidgetItem* app = target->parent();
    for (int t = 0; app && t < app->childCount(); ++t) {
        QTreeWidgetItem* type = app->child(t);
        for (int p = 0; p < type->childCount(); ++p) {
            MGraphTreeItem* picture = MGraphTreeItem::From(type->child(p));
            if (picture && picture->Holds(MDBRecordBase::RecordPicture) && picture->Record()->oid == oid) {
                *pictureItem = picture;
                return type == target ? nullptr : target;
            }
        }
    }
    return nullptr;
}

void MGraphTreeViewEditor::dropEvent(QDropEvent* event)
{
    MGraphTreeItem* picture = nullptr;
    MGraphTreeItem* target = dropTarget(event, &picture);
    if (!target || m_dbInterface->TreeMove(target->Record()->oid, picture->Record()->oid) != 0) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
    // Both types are read again instead of moving rows: the database moved one picture.
    MGraphTreeItem* source = MGraphTreeItem::From(picture->parent());
    const quint64 targetSerial = target->Serial();
    ReloadChildren(source);
    ReloadChildren(MGraphTreeItem::Find(targetSerial));
}
