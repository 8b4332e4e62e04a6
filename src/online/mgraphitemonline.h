#pragma once

#include "mrecordtreeitem.h"

// One item of the operator's graph tree: a record row (see MRecordTreeItem)
// with a folder or file icon, filled once.
class MGraphItemOnline : public MRecordTreeItem
{
public:
    // The parent is the tree or an item; null record: a folder.
    template <class Parent>
    MGraphItemOnline(Parent* parent, MDBRecordBase* record) : MRecordTreeItem(parent, record)
    {
        showIcon();
    }
    // An item without a parent yet, for adding many children at once.
    explicit MGraphItemOnline(MDBRecordBase* record) : MRecordTreeItem(record) { showIcon(); }

    bool IsLoaded() const { return m_loaded; }
    void SetLoaded() { m_loaded = true; }

private:
    void showIcon();

    bool m_loaded = false;
};
