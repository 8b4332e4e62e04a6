#pragma once

#include <QTreeWidgetItem>

#include "mdbrecordbase.h"
#include "talmer_export.h"

// One item of a graph library tree (application, picture type, picture or
// edition), showing and owning one record. Copies get a copy of the record
// (MDBRecordBase::Clone), so no record is ever deleted twice.
class TALMER_EXPORT MTreeWidgetItem : public QTreeWidgetItem
{
public:
    // Both take ownership of the record (which may be null).
    MTreeWidgetItem(QTreeWidget* parent, MDBRecordBase* record);
    MTreeWidgetItem(QTreeWidgetItem* parent, MDBRecordBase* record);
    MTreeWidgetItem(const MTreeWidgetItem& other);
    MTreeWidgetItem& operator=(const MTreeWidgetItem& other);
    ~MTreeWidgetItem() override;

    // The record's type; MDBRecordBase::RecordNone without a record.
    MDBRecordBase::RecordType ItemType() const;
    MDBRecordBase* DBRecord() const { return m_record; }
    // Fills the item's children from the database (see the source for the rules
    // per record type). Picture types and applications are filled once; a
    // picture's versions are read again on every call.
    void RefreshSubItems();
    bool IsLoaded() const { return m_loaded; }

    // The text an item shows for a name: its translation, else the name.
    static QString DisplayText(const QString& name);

private:
    void showRecord();
    void fillPictures(QList<MDBRecordBase*>& records);
    void fillVersions(QList<MDBRecordBase*>& records);

    MDBRecordBase* m_record; // owned
    bool m_loaded = false;
};
