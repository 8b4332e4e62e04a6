#include "mtemplateitem.h"

#include "mdbrecordtemplate.h"

MTemplateItem::MTemplateItem(MDBRecordTemplate* record, QListWidget* list)
    : QListWidgetItem(record->name, list, QListWidgetItem::Type), m_record(record)
{
}

MTemplateItem::~MTemplateItem() = default;
