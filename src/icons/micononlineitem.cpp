#include "micononlineitem.h"

#include "mdbrecordicon.h"

MIconOnlineItem::MIconOnlineItem(QListWidget* list, MDBRecordBase* typeRecord, MDBRecordIcon* iconRecord)
    : QListWidgetItem(list), m_typeRecord(typeRecord), m_iconRecord(iconRecord)
{
}

MIconOnlineItem::~MIconOnlineItem() = default;
