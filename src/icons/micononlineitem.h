#pragma once

#include <QListWidgetItem>

#include <memory>

class MDBRecordBase;
class MDBRecordIcon;

// One icon of the palette's list: its record (owned) and its type's record
// (owned by the list's shared type list).
class MIconOnlineItem : public QListWidgetItem
{
public:
    MIconOnlineItem(QListWidget* list, MDBRecordBase* typeRecord, MDBRecordIcon* iconRecord);
    ~MIconOnlineItem() override;

    MDBRecordBase* TypeRecord() const { return m_typeRecord; }
    MDBRecordIcon* IconRecord() const { return m_iconRecord.get(); }

private:
    MDBRecordBase* m_typeRecord; // not owned
    std::unique_ptr<MDBRecordIcon> m_iconRecord;
};
