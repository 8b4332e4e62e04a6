#pragma once

#include <QTreeWidgetItem>

class MDBRecordBase;

// One item of the operator's graph tree: column 0 shows the record's display
// name, column 1 keeps the raw name that searches and selections match on.
// The item owns its record; a folder item has none.
class MGraphItemOnline : public QTreeWidgetItem
{
public:
    MGraphItemOnline(QTreeWidget* parent, MDBRecordBase* record);
    MGraphItemOnline(QTreeWidgetItem* parent, MDBRecordBase* record);
    // An item without a parent yet, for adding many children at once.
    explicit MGraphItemOnline(MDBRecordBase* record);
    ~MGraphItemOnline() override;

    MGraphItemOnline(const MGraphItemOnline&) = delete;
    MGraphItemOnline& operator=(const MGraphItemOnline&) = delete;

    MDBRecordBase* Record() const { return m_record; }
    // Whether the record is of that type (false without a record).
    bool Holds(int recordType) const;
    bool IsLoaded() const { return m_loaded; }
    void SetLoaded() { m_loaded = true; }
    // Column 1: the raw record name.
    QString RawName() const { return text(1); }

private:
    void showRecord();

    MDBRecordBase* m_record; // owned; null for a folder
    bool m_loaded = false;
};
