#pragma once

#include <QTreeWidgetItem>

class MDBRecordBase;

// One item of the palette's type tree: a category (no record) or an icon
// type, whose record the tree's list owns.
class MIconOnlineTreeItem : public QTreeWidgetItem
{
public:
    MIconOnlineTreeItem(QTreeWidget* tree, const QString& text);
    MIconOnlineTreeItem(QTreeWidgetItem* parent, MDBRecordBase* record);

    MDBRecordBase* Record() const { return m_record; }

private:
    MDBRecordBase* m_record = nullptr; // not owned
};
