#include "micononlinetreeitem.h"

#include "iconlabels.h"
#include "mdbrecordbase.h"

MIconOnlineTreeItem::MIconOnlineTreeItem(QTreeWidget* tree, const QString& text) : QTreeWidgetItem(tree)
{
    setText(0, text);
}

MIconOnlineTreeItem::MIconOnlineTreeItem(QTreeWidgetItem* parent, MDBRecordBase* record)
    : QTreeWidgetItem(parent), m_record(record)
{
    setText(0, IconLabels::DisplayName(record->name));
}
