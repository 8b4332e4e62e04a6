#include "mgraphitemonline.h"

#include <QApplication>
#include <QStyle>

#include "mdbrecordbase.h"
#include "mtreewidgetitem.h"

MGraphItemOnline::MGraphItemOnline(QTreeWidget* parent, MDBRecordBase* record)
    : QTreeWidgetItem(parent), m_record(record)
{
    showRecord();
}

MGraphItemOnline::MGraphItemOnline(QTreeWidgetItem* parent, MDBRecordBase* record)
    : QTreeWidgetItem(parent), m_record(record)
{
    showRecord();
}

MGraphItemOnline::MGraphItemOnline(MDBRecordBase* record) : m_record(record)
{
    showRecord();
}

MGraphItemOnline::~MGraphItemOnline()
{
    qDeleteAll(takeChildren());
    delete m_record;
}

bool MGraphItemOnline::Holds(int recordType) const
{
    return m_record && m_record->type == recordType;
}

void MGraphItemOnline::showRecord()
{
    if (!m_record)
        return;
    setText(0, MTreeWidgetItem::DisplayText(m_record->name));
    setText(1, m_record->name);
    // Looked up once: the style's look-up costs more than the rest of an item.
    static const QIcon file = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
    static const QIcon folder = QApplication::style()->standardIcon(QStyle::SP_DirIcon);
    setIcon(0, m_record->type == MDBRecordBase::RecordEdition ? file : folder);
}
