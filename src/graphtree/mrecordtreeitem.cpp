#include "mrecordtreeitem.h"

#include <QHash>

#include "mdbrecordbase.h"
#include "treerules.h"

namespace {

// The live items by serial. Items live on the GUI thread only.
QHash<quint64, MRecordTreeItem*>& liveItems()
{
    static QHash<quint64, MRecordTreeItem*> items;
    return items;
}

} // namespace

MRecordTreeItem::MRecordTreeItem(MDBRecordBase* record) : m_record(record)
{
    enrol();
}

MRecordTreeItem::~MRecordTreeItem()
{
    liveItems().remove(m_serial);
    qDeleteAll(takeChildren());
    delete m_record;
}

void MRecordTreeItem::enrol()
{
    static quint64 lastSerial = 0;
    m_serial = ++lastSerial;
    liveItems().insert(m_serial, this);
    ShowNames();
}

int MRecordTreeItem::Kind() const
{
    return m_record ? m_record->type : MDBRecordBase::RecordNone;
}

void MRecordTreeItem::ShowNames()
{
    if (!m_record)
        return;
    setText(0, TreeRules::DisplayText(m_record->name));
    setText(1, m_record->name);
}

MRecordTreeItem* MRecordTreeItem::FindItem(quint64 serial)
{
    return liveItems().value(serial);
}
