#include "mgraphtreeitem.h"

#include <QApplication>
#include <QStyle>

#include "mdbrecordedition.h"

namespace {

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

int MGraphTreeItem::Version() const
{
    return Holds(MDBRecordBase::RecordEdition) ? static_cast<const MDBRecordEdition*>(Record())->version : -1;
}

void MGraphTreeItem::ShowRecord()
{
    ShowNames();
    if (Record())
        setIcon(0, recordIcon(*Record()));
}

MGraphTreeItem* MGraphTreeItem::Find(quint64 serial)
{
    return From(FindItem(serial));
}

MGraphTreeItem* MGraphTreeItem::From(QTreeWidgetItem* treeItem)
{
    return dynamic_cast<MGraphTreeItem*>(treeItem);
}
