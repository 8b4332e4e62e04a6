#include "mgraphtreewidget.h"

#include "librarynames.h"
#include "mabstractdbinterface.h"
#include "mdbinterfaceholder.h"
#include "mdbrecordnode.h"
#include "mtreewidgetitem.h"
#include "treerules.h"

MGraphTreeWidget::MGraphTreeWidget(QWidget* parent)
    : QTreeWidget(parent),
      m_dbInterface(MDBInterfaceHolder::Instance()->GetInterface()),
      m_nodeRecord(nullptr),
      m_currentApplication(nullptr),
      m_currentPictureType(nullptr),
      m_currentPicture(nullptr)
{
    setRootIsDecorated(false);
    setHeaderLabel(tr("pictures"));
    connect(this, &QTreeWidget::itemClicked, this, &MGraphTreeWidget::slotItemClicked);
    m_appDisplayNames = TreeRules::ApplicationDisplayNames();
    InitTreeWidget();
    m_currentApplication = m_currentPictureType = m_currentPicture = nullptr;
}

MGraphTreeWidget::~MGraphTreeWidget()
{
    clear(); // the items and their records go before the node record
    delete m_nodeRecord;
}

void MGraphTreeWidget::InitTreeWidget()
{
    m_dbInterface->GetNode(m_nodeRecord, Library::kNode);
    if (!m_nodeRecord)
        return;
    QList<MDBRecordBase*> applications;
    m_dbInterface->GetChildren(m_nodeRecord, applications);
    TreeRules::AddApplications<MTreeWidgetItem>(this, applications, m_appDisplayNames);
}

void MGraphTreeWidget::slotItemClicked(QTreeWidgetItem* item, int)
{
    auto* treeItem = dynamic_cast<MTreeWidgetItem*>(item);
    if (!treeItem)
        return;
    switch (treeItem->ItemType()) {
    case MDBRecordBase::RecordApplication: AppClicked(treeItem); break;
    case MDBRecordBase::RecordPicType: PictypeClicked(treeItem); break;
    case MDBRecordBase::RecordPicture: PictureClicked(treeItem); break;
    case MDBRecordBase::RecordEdition: EditionClicked(treeItem); break;
    default: break;
    }
}

void MGraphTreeWidget::open(MTreeWidgetItem*& current, MTreeWidgetItem* item)
{
    if (current)
        current->setExpanded(false);
    current = item;
    item->RefreshSubItems();
    item->setExpanded(true);
}

void MGraphTreeWidget::AppClicked(MTreeWidgetItem* item)
{
    if (item == m_currentApplication)
        return;
    open(m_currentApplication, item);
    m_currentPictureType = m_currentPicture = nullptr;
}

void MGraphTreeWidget::PictypeClicked(MTreeWidgetItem* item)
{
    if (item == m_currentPictureType)
        return;
    open(m_currentPictureType, item);
    m_currentPicture = nullptr;
}

void MGraphTreeWidget::PictureClicked(MTreeWidgetItem* item)
{
    open(m_currentPicture, item);
}

void MGraphTreeWidget::EditionClicked(MTreeWidgetItem*)
{
}
