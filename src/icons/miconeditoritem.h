#pragma once

#include <QTreeWidgetItem>

#include <memory>

class MDBRecordBase;

// One item of the icon editor's tree: a category (no record), an icon type or
// an icon. The item owns its record.
class MIconEditorItem : public QTreeWidgetItem
{
public:
    // A category at the top of the tree.
    MIconEditorItem(QTreeWidget* tree, const QString& text);
    // An icon type or an icon below parent; takes record.
    MIconEditorItem(QTreeWidgetItem* parent, MDBRecordBase* record);
    ~MIconEditorItem() override;

    MDBRecordBase* Record() const { return m_record.get(); }
    bool IsIconType() const;
    bool IsIcon() const;

private:
    std::unique_ptr<MDBRecordBase> m_record;
};
