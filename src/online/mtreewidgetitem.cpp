#include "mtreewidgetitem.h"


#include "librarynames.h"
#include "mabstractdbinterface.h"
#include "mgraphtreewidget.h"
#include "treerules.h"

namespace {

QString tr(const char* text)
{
    return Library::Tr("MGraphTreeWidget", text);
}

} // namespace

MTreeWidgetItem::MTreeWidgetItem(QTreeWidget* parent, MDBRecordBase* record)
    : QTreeWidgetItem(parent), m_record(record)
{
    showRecord();
}

MTreeWidgetItem::MTreeWidgetItem(QTreeWidgetItem* parent, MDBRecordBase* record)
    : QTreeWidgetItem(parent), m_record(record)
{
    showRecord();
}

MTreeWidgetItem::MTreeWidgetItem(const MTreeWidgetItem& other)
    : QTreeWidgetItem(other), m_record(other.m_record ? other.m_record->Clone() : nullptr), m_loaded(other.m_loaded)
{
}

MTreeWidgetItem& MTreeWidgetItem::operator=(const MTreeWidgetItem& other)
{
    if (this == &other)
        return *this;
    QTreeWidgetItem::operator=(other);
    MDBRecordBase* copy = other.m_record ? other.m_record->Clone() : nullptr;
    delete m_record;
    m_record = copy;
    m_loaded = other.m_loaded;
    return *this;
}

MTreeWidgetItem::~MTreeWidgetItem()
{
    // The children go first (they may be read while going), then the record.
    qDeleteAll(takeChildren());
    delete m_record;
}

QString MTreeWidgetItem::DisplayText(const QString& name)
{
    return TreeRules::DisplayText(name);
}

void MTreeWidgetItem::showRecord()
{
    if (m_record)
        setText(0, DisplayText(m_record->name));
}

MDBRecordBase::RecordType MTreeWidgetItem::ItemType() const
{
    return m_record ? m_record->type : MDBRecordBase::RecordNone;
}

void MTreeWidgetItem::RefreshSubItems()
{
    auto* tree = dynamic_cast<MGraphTreeWidget*>(treeWidget());
    if (!m_record || m_record->type == MDBRecordBase::RecordEdition || m_loaded || !tree || !tree->DBInterface())
        return;
    QList<MDBRecordBase*> records;
    if (m_record->type == MDBRecordBase::RecordPicture) {
        qDeleteAll(takeChildren());
        tree->DBInterface()->GetChildren(m_record, records);
        fillVersions(records);
        return;
    }
    tree->DBInterface()->GetChildren(m_record, records);
    if (m_record->type == MDBRecordBase::RecordPicType) {
        fillPictures(records);
    } else {
        for (MDBRecordBase* record : std::as_const(records))
            new MTreeWidgetItem(this, record);
    }
    m_loaded = true;
}

void MTreeWidgetItem::fillPictures(QList<MDBRecordBase*>& records)
{
    // One item per name, in Pinyin order; of two records of a name the last wins.
    for (MDBRecordBase* record : TreeRules::PicturesInPinyinOrder(records, TreeRules::Keep::Last))
        new MTreeWidgetItem(this, record);
}

void MTreeWidgetItem::fillVersions(QList<MDBRecordBase*>& records)
{
    // The exported tree always shows the history folder.
    const TreeRules::EditionLabels labels{tr("history verstion"), tr("draft"), tr("latest version")};
    TreeRules::AddEditions<MTreeWidgetItem>(this, records, true, labels,
                                            [](MTreeWidgetItem* parent) { return new MTreeWidgetItem(parent, nullptr); });
}
