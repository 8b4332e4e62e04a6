#include "micononlinetree.h"

#include "iconlabels.h"
#include "mabstractdbinterface.h"
#include "mdbinterfaceholder.h"
#include "mdbrecordicontype.h"
#include "miconfileservice.h"
#include "miconlistonline.h"
#include "micononlinetreeitem.h"

MIconOnlineTree::MIconOnlineTree(QWidget* parent)
    : QTreeWidget(parent),
      m_dbInterface(MDBInterfaceHolder::Instance()->GetInterface()),
      m_iconTypes(std::make_shared<RecordList>())
{
    m_dbInterface->GetIconTypes(m_iconTypes->out());
    new MIconOnlineTreeItem(this, tr("common icons"));
    QList<MIconOnlineTreeItem*> categories;
    for (const QString& name : IconLabels::CategoryNames())
        categories << new MIconOnlineTreeItem(this, name);
    for (MDBRecordBase* base : *m_iconTypes) {
        const auto* type = static_cast<MDBRecordIconType*>(base);
        if (!IconLabels::IsShownType(*type))
            continue;
        auto* item = new MIconOnlineTreeItem(categories.at(type->editType), base);
        item->setIcon(0, MIconFileService::Instance()->ElementIcon(int(type->catId)));
    }
    connect(this, &QTreeWidget::itemClicked, this, &MIconOnlineTree::ItemClicked);
}

MIconOnlineTree::~MIconOnlineTree() = default;

void MIconOnlineTree::SetList(MIconListOnline* list)
{
    m_list = list;
    if (!list)
        return;
    list->SetIconTypes(m_iconTypes);
    list->ShowType(nullptr);
    setHeaderLabel(tr("common icons"));
}

void MIconOnlineTree::ItemClicked(QTreeWidgetItem* treeItem, int)
{
    if (!m_list || !treeItem)
        return;
    m_list->ShowType(static_cast<MIconOnlineTreeItem*>(treeItem)->Record());
    setHeaderLabel(treeItem->text(0));
}
