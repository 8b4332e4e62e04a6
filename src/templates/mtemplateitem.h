#pragma once

#include <QListWidgetItem>

#include <memory>

class MDBRecordTemplate;

// One template of a page: shows the record's name as it is (untranslated).
class MTemplateItem : public QListWidgetItem
{
public:
    // Takes ownership of record.
    explicit MTemplateItem(MDBRecordTemplate* record, QListWidget* list = nullptr);
    ~MTemplateItem() override;

    MDBRecordTemplate* Record() const { return m_record.get(); }

private:
    std::unique_ptr<MDBRecordTemplate> m_record; // owned
};
