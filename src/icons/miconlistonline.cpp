#include "miconlistonline.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDataStream>
#include <QDrag>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QMenu>
#include <QMimeData>
#include <QScreen>

#include "iconlabels.h"
#include "mabstractdbinterface.h"
#include "mdbrecordicon.h"
#include "mdbrecordicontype.h"
#include "mdeploypaths.h"
#include "mfilesynchronize.h"
#include "miconfileservice.h"
#include "micononlineitem.h"
#include "micontip.h"
#include "recordlist.h"
#include "recordtime.h"

const char* const MIconListOnline::kDragFormat = "iconDrag";

MIconListOnline::MIconListOnline(MAbstractDBInterface* dbInterface, QWidget* parent)
    : QListWidget(parent),
      m_defaultAction(new QAction(tr("default icon"), this)),
      m_removeCommonAction(new QAction(tr("remove from common"), this)),
      m_addCommonAction(new QAction(tr("add to common"), this)),
      m_dbInterface(dbInterface),
      m_iconTypes(std::make_shared<RecordList>())
{
    setResizeMode(QListView::Adjust);
    setAcceptDrops(true);
    setDragEnabled(true);
    setDropIndicatorShown(true);
    setIconSize(QSize(50, 50));
    connect(this, &QListWidget::itemClicked, this, &MIconListOnline::ItemClicked);
    connect(m_defaultAction, &QAction::triggered, this, &MIconListOnline::SetDefaultIcon);
    connect(m_addCommonAction, &QAction::triggered, this, &MIconListOnline::AddToCommon);
    connect(m_removeCommonAction, &QAction::triggered, this, &MIconListOnline::RemoveFromCommon);
}

MIconListOnline::~MIconListOnline()
{
    clear(); // the items point into the type records: they go first
}

void MIconListOnline::SetIconTypes(std::shared_ptr<RecordList> iconTypes)
{
    clear();
    m_currentType = nullptr;
    m_iconTypes = iconTypes ? std::move(iconTypes) : std::make_shared<RecordList>();
}

// ---- filling -----------------------------------------------------------------

void MIconListOnline::ShowType(MDBRecordBase* type)
{
    if (type && (type == m_currentType || type->type != MDBRecordBase::RecordIconType))
        return;
    m_currentType = type;
    clear();
    if (type)
        FillType(type);
    else
        FillCommon();
}

void MIconListOnline::FillType(MDBRecordBase* type)
{
    RecordList icons;
    m_dbInterface->GetChildren(type, icons.out());
    while (!icons.isEmpty())
        AddItem(type, icons.Take(icons.at(0)), true);
}

void MIconListOnline::FillCommon()
{
    for (MDBRecordBase* type : *m_iconTypes) {
        RecordList icons;
        m_dbInterface->GetChildren(type, icons.out());
        const QList<MDBRecordBase*> all = icons.records(); // Take changes the list
        for (MDBRecordBase* icon : all) {
            if (static_cast<MDBRecordIcon*>(icon)->member2)
                AddItem(type, icons.Take(icon), false);
        }
    }
}

void MIconListOnline::AddItem(MDBRecordBase* type, MDBRecordBase* icon, bool markDefault)
{
    auto* item = new MIconOnlineItem(this, type, static_cast<MDBRecordIcon*>(icon));
    const MDBRecordIcon* record = item->IconRecord();
    item->setIcon(QIcon(MIconFileService::Instance()->IconPixmap(type->name, record->uuid)));
    QString text = IconLabels::DisplayName(record->name);
    if (markDefault && record->member1)
        text += IconLabels::DefaultMarker();
    item->setText(text);
}

MDBRecordBase* MIconListOnline::TypeOf(QListWidgetItem* item) const
{
    if (m_currentType)
        return m_currentType;
    return item ? static_cast<MIconOnlineItem*>(item)->TypeRecord() : nullptr;
}

// ---- choosing an icon ------------------------------------------------------------

void MIconListOnline::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        QListWidget::mouseReleaseEvent(event);
}

void MIconListOnline::ItemClicked(QListWidgetItem* listItem)
{
    auto* type = static_cast<MDBRecordIconType*>(TypeOf(listItem));
    if (!type || !listItem)
        return;
    auto* item = static_cast<MIconOnlineItem*>(listItem);
    MDBRecordIcon* icon = item->IconRecord();
    const QString path = MDeployPaths::IconFile(type->name, icon->uuid);
    const bool wasMissing = !QFileInfo::exists(path);
    m_dbInterface->RefreshRecordTime(icon);
    int fetched = 0;
    if (RecordTime::IsFileStale(path, icon->makeTime))
        fetched = MFileSynchronize::Instance()->GetFile(path);
    if (wasMissing) {
        // An icon that is neither here nor to be had cannot be drawn.
        if (fetched < 0 || !QFileInfo::exists(path))
            return;
        item->setIcon(QIcon(MIconFileService::Instance()->IconPixmap(type->name, icon->uuid)));
    }
    emit ItemSelected(type->name, icon->name, icon->uuid, int(type->shapeType));
}

// ---- commands ----------------------------------------------------------------

QList<QAction*> MIconListOnline::MenuActions(QListWidgetItem* item) const
{
    if (!item)
        return {};
    if (!m_currentType)
        return {m_removeCommonAction};
    if (item->text().contains(IconLabels::DefaultMarker()))
        return {m_addCommonAction};
    return {m_defaultAction, m_addCommonAction};
}

void MIconListOnline::contextMenuEvent(QContextMenuEvent* event)
{
    const QList<QAction*> actions = MenuActions(itemAt(event->pos()));
    if (actions.isEmpty())
        return;
    QMenu menu(this);
    menu.addActions(actions);
    menu.exec(event->globalPos());
}

void MIconListOnline::SetDefaultIcon()
{
    auto* current = static_cast<MIconOnlineItem*>(currentItem());
    if (!current || !m_currentType)
        return;
    for (int i = 0; i < count(); ++i) {
        auto* other = static_cast<MIconOnlineItem*>(item(i));
        if (other == current || !other->IconRecord()->member1)
            continue;
        other->IconRecord()->member1 = false;
        m_dbInterface->UpdateRecord(other->IconRecord());
        other->setText(other->text().remove(IconLabels::DefaultMarker()));
    }
    if (current->IconRecord()->member1)
        return;
    current->IconRecord()->member1 = true;
    m_dbInterface->UpdateRecord(current->IconRecord());
    current->setText(current->text() + IconLabels::DefaultMarker());
}

void MIconListOnline::AddToCommon()
{
    auto* current = static_cast<MIconOnlineItem*>(currentItem());
    if (!current)
        return;
    current->IconRecord()->member2 = true;
    m_dbInterface->UpdateRecord(current->IconRecord());
}

void MIconListOnline::RemoveFromCommon()
{
    auto* current = static_cast<MIconOnlineItem*>(currentItem());
    if (!current)
        return;
    current->IconRecord()->member2 = false;
    m_dbInterface->UpdateRecord(current->IconRecord());
    if (!m_currentType)
        delete current;
}

// ---- dragging ------------------------------------------------------------------

QMimeData* MIconListOnline::DragData(QListWidgetItem* item) const
{
    const auto* type = static_cast<const MDBRecordIconType*>(TypeOf(item));
    if (!item)
        return nullptr;
    QByteArray payload;
    if (type) {
        QDataStream stream(&payload, QIODevice::WriteOnly);
        stream << static_cast<MIconOnlineItem*>(item)->IconRecord()->uuid << type->name
               << qint32(type->shapeType);
    }
    auto* data = new QMimeData;
    data->setData(kDragFormat, payload);
    return data;
}

void MIconListOnline::startDrag(Qt::DropActions supportedActions)
{
    QMimeData* data = DragData(currentItem());
    if (!data)
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->exec(supportedActions);
}

void MIconListOnline::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasFormat(kDragFormat))
        event->accept();
    else
        event->ignore();
}

void MIconListOnline::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasFormat(kDragFormat)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

// ---- the patterns tip ----------------------------------------------------------

bool MIconListOnline::viewportEvent(QEvent* event)
{
    const QEvent::Type kind = event->type();
    if (kind != QEvent::ToolTip && kind != QEvent::WhatsThis && kind != QEvent::QueryWhatsThis)
        return QListWidget::viewportEvent(event);
    auto* help = static_cast<QHelpEvent*>(event);
    QListWidgetItem* item = itemAt(help->pos());
    if (!item)
        return QListWidget::viewportEvent(event);
    ShowTip(item, help->globalPos());
    return true;
}

void MIconListOnline::ShowTip(QListWidgetItem* item, const QPoint& globalPos)
{
    const auto* type = TypeOf(item);
    if (!type)
        return;
    const QPixmap patterns = MIconFileService::Instance()->IconPatternsPixmap(
        type->name, static_cast<MIconOnlineItem*>(item)->IconRecord()->uuid);
    QScreen* screen = QGuiApplication::screenAt(globalPos);
    if (!screen)
        screen = this->screen();
    auto* tip = new MIconTip(screen);
    tip->setTipRect(this, QRect());
    tip->setObjectName("icon patterns");
    tip->setPixmap(patterns);
    tip->resize(patterns.size());
    tip->move(TipPosition(globalPos, tip->size(), screen->geometry()));
    tip->show();
}

QPoint MIconListOnline::TipPosition(const QPoint& pos, const QSize& size, const QRect& screen)
{
    QPoint p = pos + QPoint(2, 21);
    if (p.x() + size.width() > screen.x() + screen.width())
        p.rx() -= 4 + size.width();
    if (p.y() + size.height() > screen.y() + screen.height())
        p.ry() -= 24 + size.height();
    if (p.y() < screen.y())
        p.setY(screen.y());
    if (p.x() + size.width() > screen.x() + screen.width())
        p.setX(screen.x() + screen.width() - size.width());
    if (p.x() < screen.x())
        p.setX(screen.x());
    if (p.y() + size.height() > screen.y() + screen.height())
        p.setY(screen.y() + screen.height() - size.height());
    return p;
}
