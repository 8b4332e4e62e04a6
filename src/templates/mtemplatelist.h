#pragma once

#include <QByteArray>
#include <QList>
#include <QListWidget>

class MDBRecordTemptype;
class MTemplateViewPrivate;
class QAction;

// The templates of one template type: one page of the view. Its context menu
// adds, edits and deletes template records; a template dragged from it carries
// the "templateDrag" payload. Only records change here: the host makes, saves
// and draws the files.
class MTemplateList : public QListWidget
{
    Q_OBJECT

public:
    // typeRecord: not owned (the owner's list of types holds it).
    MTemplateList(MDBRecordTemptype* typeRecord, MTemplateViewPrivate* owner);
    ~MTemplateList() override;

    MDBRecordTemptype* TypeRecord() const { return m_typeRecord; }

    // Refills the list from the database, in database order.
    void Fill();
    // The context menu: "edit template", a separator, "delete template" over an
    // item; "add template" elsewhere. The actions belong to the list.
    QList<QAction*> MenuActions(bool overItem) const;
    // What dragging the current item carries; empty when no item is current.
    QByteArray DragPayload() const;
    // Whether the database holds a template of that name under this type.
    bool HasTemplate(const QString& name) const;
    // Records a template of that name under this type; false when the
    // database did not take it.
    bool InsertTemplate(const QString& name);

public Q_SLOTS:
    void ItemClicked(QListWidgetItem* item);
    void EditTemplate();
    void AddTemplate();
    void DeleteTemplate();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;

private:
    QAction* makeAction(const QString& text, const char* objectName, void (MTemplateList::*slot)());

    MDBRecordTemptype* m_typeRecord; // not owned
    MTemplateViewPrivate* m_owner;   // not owned: the tool box holding this page
    QAction* m_deleteAction;         // child
    QAction* m_addAction;            // child
    QAction* m_editAction;           // child
    QAction* m_separator;            // child
};
