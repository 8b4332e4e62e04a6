#include "mtemplatelist.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDrag>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>

#include "mabstractdbinterface.h"
#include "mdbaccesshelper.h"
#include "mdbrecordtemplate.h"
#include "mdbrecordtemptype.h"
#include "mtemplateitem.h"
#include "mtemplateviewprivate.h"
#include "recordlist.h"
#include "templatefiles.h"

namespace {

// The type whose templates restyle every drawing that applies them.
const QString kStyleTemplateType = "style_template";

} // namespace

MTemplateList::MTemplateList(MDBRecordTemptype* typeRecord, MTemplateViewPrivate* owner)
    : m_typeRecord(typeRecord), m_owner(owner)
{
    setObjectName("templateList");
    setResizeMode(QListView::Adjust);
    setAcceptDrops(true);
    setDragEnabled(true);
    setDropIndicatorShown(true);
    m_deleteAction = makeAction(tr("delete template"), "deleteTemplate", &MTemplateList::DeleteTemplate);
    m_addAction = makeAction(tr("add template"), "addTemplate", &MTemplateList::AddTemplate);
    m_editAction = makeAction(tr("edit template"), "editTemplate", &MTemplateList::EditTemplate);
    m_separator = new QAction(this);
    m_separator->setSeparator(true);
    connect(this, &QListWidget::itemClicked, this, &MTemplateList::ItemClicked);
}

MTemplateList::~MTemplateList() = default;

QAction* MTemplateList::makeAction(const QString& text, const char* objectName, void (MTemplateList::*slot)())
{
    auto* action = new QAction(text, this);
    action->setObjectName(objectName);
    connect(action, &QAction::triggered, this, slot);
    return action;
}

void MTemplateList::Fill()
{
    clear();
    MAbstractDBInterface* db = m_owner->DbInterface();
    if (!m_typeRecord || !db)
        return;
    RecordList templates;
    db->GetChildren(m_typeRecord, templates.out());
    for (MDBRecordBase* record : templates) {
        if (record->type == MDBRecordBase::RecordTemplate)
            new MTemplateItem(static_cast<MDBRecordTemplate*>(templates.Take(record)), this);
    }
}

QList<QAction*> MTemplateList::MenuActions(bool overItem) const
{
    if (overItem)
        return {m_editAction, m_separator, m_deleteAction};
    return {m_addAction};
}

QByteArray MTemplateList::DragPayload() const
{
    const QListWidgetItem* item = currentItem();
    if (!item || !m_typeRecord)
        return {};
    return TemplateFiles::DragPayload(m_typeRecord->name, item->text());
}

bool MTemplateList::HasTemplate(const QString& name) const
{
    MAbstractDBInterface* db = m_owner->DbInterface();
    if (!m_typeRecord || !db)
        return false;
    RecordList templates;
    db->GetChildren(m_typeRecord, templates.out());
    for (const MDBRecordBase* record : templates) {
        if (record->name == name)
            return true;
    }
    return false;
}

bool MTemplateList::InsertTemplate(const QString& name)
{
    MAbstractDBInterface* db = m_owner->DbInterface();
    if (!m_typeRecord || !db)
        return false;
    MDBRecordTemplate record;
    record.name = name;
    db->InsertRecord(m_typeRecord, &record);
    return !record.oid.isEmpty();
}

void MTemplateList::ItemClicked(QListWidgetItem* item)
{
    if (item && m_typeRecord)
        emit m_owner->TemplateClicked(m_typeRecord->alias, item->text());
}

void MTemplateList::EditTemplate()
{
    if (currentItem() && m_typeRecord)
        emit m_owner->TemplateDoubleClicked(m_typeRecord->alias, currentItem()->text());
}

void MTemplateList::AddTemplate()
{
    bool accepted = false;
    const QString name = QInputDialog::getText(this, QString(), tr("template name:"), QLineEdit::Normal,
                                               QString(), &accepted);
    if (!accepted || name.isEmpty())
        return;
    // The name becomes a file name below the type's folder.
    if (!MDbAccessHelper::Instance()->CheckName(name, MDbAccessHelper::PictureName, true, nullptr))
        return;
    // The database, not this page, says what exists: another workstation may
    // have added the same name since the page was filled.
    if (HasTemplate(name)) {
        QMessageBox::information(this, QString(), tr("the name has already existed!"), QMessageBox::Ok);
        return;
    }
    InsertTemplate(name);
    Fill();
}

void MTemplateList::DeleteTemplate()
{
    auto* item = dynamic_cast<MTemplateItem*>(currentItem());
    if (!item || !m_typeRecord)
        return;
    QString question = tr("Are you sure to delete template:") + item->text() + "?";
    if (m_typeRecord->name == kStyleTemplateType)
        question += tr("\n all graphes applied this template will be changed.");
    if (QMessageBox::warning(this, tr("warning"), question, QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes) {
        if (MAbstractDBInterface* db = m_owner->DbInterface())
            db->DeleteRecord(m_typeRecord, item->Record());
    }
    Fill();
}

void MTemplateList::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    menu.addActions(MenuActions(itemAt(event->pos()) != nullptr));
    menu.exec(event->globalPos());
}

void MTemplateList::startDrag(Qt::DropActions supportedActions)
{
    const QByteArray payload = DragPayload();
    if (payload.isEmpty())
        return;
    auto* mime = new QMimeData;
    mime->setData(TemplateFiles::kDragFormat, payload);
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->exec(supportedActions);
}

void MTemplateList::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasFormat(TemplateFiles::kDragFormat))
        event->accept();
    else
        event->ignore();
}

void MTemplateList::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasFormat(TemplateFiles::kDragFormat)) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}
