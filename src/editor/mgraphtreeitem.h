#pragma once

#include "mrecordtreeitem.h"

// One row of the editor's graph tree (application, picture type, picture or
// version), owning its record; its icon tells in which databases the record
// is stored.
class MGraphTreeItem : public MRecordTreeItem
{
public:
    // Both take ownership of the record; the parent is the tree or an item.
    template <class Parent>
    MGraphTreeItem(Parent* parent, MDBRecordBase* record) : MRecordTreeItem(parent, record)
    {
        ShowRecord();
    }
    explicit MGraphTreeItem(MDBRecordBase* record) : MRecordTreeItem(record) { ShowRecord(); }

    // The version number of a version item; -1 for other items.
    int Version() const;
    bool IsDraft() const { return Version() == 0; }
    // Shows the record again after its name or identifiers changed.
    void ShowRecord();

    // The live item with that serial; null once it is destroyed.
    static MGraphTreeItem* Find(quint64 serial);
    // The item itself when treeItem is an MGraphTreeItem, else null.
    static MGraphTreeItem* From(QTreeWidgetItem* treeItem);
};
