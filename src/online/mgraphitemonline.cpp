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
    const bool edition = m_record->type == MDBRecordBase::RecordEdition;
    setIcon(0, QApplication::style()->standardIcon(edition ? QStyle::SP_FileIcon : QStyle::SP_DirIcon));
}
