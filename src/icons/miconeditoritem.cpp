#include "miconeditoritem.h"

#include "iconlabels.h"
#include "mdbrecordbase.h"

MIconEditorItem::MIconEditorItem(QTreeWidget* tree, const QString& text) : QTreeWidgetItem(tree)
{
    setText(0, text);
}

MIconEditorItem::MIconEditorItem(QTreeWidgetItem* parent, MDBRecordBase* record)
    : QTreeWidgetItem(parent), m_record(record)
{
    setText(0, IconLabels::DisplayName(record->name));
}

MIconEditorItem::~MIconEditorItem() = default;

bool MIconEditorItem::IsIconType() const
{
    return m_record && m_record->type == MDBRecordBase::RecordIconType;
}

bool MIconEditorItem::IsIcon() const
{
    return m_record && m_record->type == MDBRecordBase::RecordIcon;
}
