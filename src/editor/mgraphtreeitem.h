#pragma once

#include <QTreeWidgetItem>

class MDBRecordBase;

// One row of the editor's graph tree, showing and owning one library record
// (application, picture type, picture or version). Column 0 shows the
// record's display text, column 1 keeps the raw name lookups compare.
//
// Tree items are not QObjects: code that emits a signal a host may answer by
// rebuilding the tree remembers an item's Serial() and asks Find() afterwards
// whether it still exists.
class MGraphTreeItem : public QTreeWidgetItem
{
public:
    // Every constructor takes ownership of the record.
    MGraphTreeItem(QTreeWidget* parent, MDBRecordBase* record);
    MGraphTreeItem(QTreeWidgetItem* parent, MDBRecordBase* record);
    // An item without a parent yet, for adding many children at once.
    explicit MGraphTreeItem(MDBRecordBase* record);
    // Destroys the children first, then the record.
    ~MGraphTreeItem() override;

    MGraphTreeItem(const MGraphTreeItem&) = delete;
    MGraphTreeItem& operator=(const MGraphTreeItem&) = delete;

    MDBRecordBase* Record() const { return m_record; }
    // The record's type (MDBRecordBase::RecordType).
    int Kind() const;
    bool Holds(int recordType) const { return Kind() == recordType; }
    // The version number of a version item; -1 for other items.
    int Version() const;
    bool IsDraft() const { return Version() == 0; }
    // Column 1: the raw record name.
    QString RawName() const { return text(1); }
    // Shows the record again after its name or identifiers changed.
    void ShowRecord();

    // A number no other item of this process ever had.
    quint64 Serial() const { return m_serial; }
    // The live item with that serial; null once it is destroyed.
    static MGraphTreeItem* Find(quint64 serial);
    // The item itself when treeItem is an MGraphTreeItem, else null.
    static MGraphTreeItem* From(QTreeWidgetItem* treeItem);

private:
    void enrol();

    MDBRecordBase* m_record; // owned
    quint64 m_serial = 0;
};
