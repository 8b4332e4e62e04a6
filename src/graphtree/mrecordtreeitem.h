#pragma once

#include <QTreeWidgetItem>

class MDBRecordBase;

// A row of a graph library tree that owns one library record (none for a
// folder). Column 0 shows the record's display text, column 1 keeps the raw
// name lookups compare.
//
// Tree items are not QObjects: code that emits a signal a host may answer by
// rebuilding the tree remembers an item's Serial() and asks FindItem()
// afterwards whether it still exists.
class MRecordTreeItem : public QTreeWidgetItem
{
public:
    // Every constructor takes ownership of the record. The parent is a tree
    // (a top-level item) or an item.
    template <class Parent>
    MRecordTreeItem(Parent* parent, MDBRecordBase* record) : QTreeWidgetItem(parent), m_record(record)
    {
        enrol();
    }
    // An item without a parent yet, for adding many children at once.
    explicit MRecordTreeItem(MDBRecordBase* record);
    // Destroys the children first, then the record.
    ~MRecordTreeItem() override;

    MRecordTreeItem(const MRecordTreeItem&) = delete;
    MRecordTreeItem& operator=(const MRecordTreeItem&) = delete;

    MDBRecordBase* Record() const { return m_record; }
    // The record's type (MDBRecordBase::RecordType); RecordNone without a record.
    int Kind() const;
    bool Holds(int recordType) const { return Kind() == recordType; }
    // Column 1: the raw record name.
    QString RawName() const { return text(1); }
    // Shows the record's names again, after they changed.
    void ShowNames();

    // A number no other item of this process ever had.
    quint64 Serial() const { return m_serial; }
    // The live item with that serial; null once it is destroyed.
    static MRecordTreeItem* FindItem(quint64 serial);

private:
    void enrol();

    MDBRecordBase* m_record; // owned; null for a folder
    quint64 m_serial = 0;
};
