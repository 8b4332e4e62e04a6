#include "mgraphtreeitem.h"

#include <QApplication>
#include <QHash>
#include <QStyle>

#include "mdbrecordedition.h"
#include "treerules.h"

namespace {

// The live items by serial. Items live on the GUI thread only.
QHash<quint64, MGraphTreeItem*>& liveItems()
{
    static QHash<quint64, MGraphTreeItem*> items;
    return items;
}

quint64 nextSerial()
{
    static quint64 serial = 0;
    return ++serial;
}

QIcon recordIcon(const MDBRecordBase& record)
{
    // Looked up once: the style's look-up costs more than the rest of an item.
    static const QIcon version = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
    static const QIcon both(":/icon/file_folder.png");
    static const QIcon outerOnly(":/icon/net_rdserver.png");
    static const QIcon innerOnly(":/icon/file_list.png");
    if (record.type == MDBRecordBase::RecordEdition)
        return version;
    if (record.outerOid.isEmpty())
        return innerOnly;
    return record.oid.isEmpty() ? outerOnly : both;
}

} // namespace

MGraphTreeItem::MGraphTreeItem(QTreeWidget* parent, MDBRecordBase* record)
    : QTreeWidgetItem(parent), m_record(record)
{
    enrol();
}

MGraphTreeItem::MGraphTreeItem(QTreeWidgetItem* parent, MDBRecordBase* record)
    : QTreeWidgetItem(parent), m_record(record)
{
    enrol();
}

MGraphTreeItem::MGraphTreeItem(MDBRecordBase* record) : m_record(record)
{
    enrol();
}

MGraphTreeItem::~MGraphTreeItem()
{
    liveItems().remove(m_serial);
    qDeleteAll(takeChildren());
    delete m_record;
}

void MGraphTreeItem::enrol()
{
    m_serial = nextSerial();
    liveItems().insert(m_serial, this);
    ShowRecord();
}

int MGraphTreeItem::Kind() const
{
    return m_record ? m_record->type : MDBRecordBase::RecordNone;
}

int MGraphTreeItem::Version() const
{
    return Holds(MDBRecordBase::RecordEdition) ? static_cast<const MDBRecordEdition*>(m_record)->version : -1;
}

void MGraphTreeItem::ShowRecord()
{
    if (!m_record)
        return;
    setText(0, TreeRules::DisplayText(m_record->name));
    setText(1, m_record->name);
    setIcon(0, recordIcon(*m_record));
}

MGraphTreeItem* MGraphTreeItem::Find(quint64 serial)
{
    return liveItems().value(serial);
}

MGraphTreeItem* MGraphTreeItem::From(QTreeWidgetItem* treeItem)
{
    return dynamic_cast<MGraphTreeItem*>(treeItem);
}
