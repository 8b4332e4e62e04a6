#pragma once

#include <QListWidget>

#include <memory>

#include "mtranslate.h"

class MAbstractDBInterface;
class MDBRecordBase;
class MIconOnlineItem;
class QAction;
class QMimeData;
class RecordList;

// The palette's icons: those of one type, or the library's common icons,
// drawn at 50 x 50. Icons are dragged into drawings ("iconDrag"), marked as
// their type's default and added to or removed from the common icons; a
// click makes sure the icon's file is here and current.
class MIconListOnline : public QListWidget
{
    Q_OBJECT

public:
    explicit MIconListOnline(MAbstractDBInterface* dbInterface, QWidget* parent = nullptr);
    ~MIconListOnline() override;

    M_DECLARE_TRUTF8

    static const char* const kDragFormat;

    // Shares the tree's type records; the common list reads them.
    void SetIconTypes(std::shared_ptr<RecordList> iconTypes);
    // Shows the icons of type, or the common icons for null.
    void ShowType(MDBRecordBase* type);
    MDBRecordBase* CurrentType() const { return m_currentType; }
    // The payload a drag of item carries; null when the item has no type.
    QMimeData* DragData(QListWidgetItem* item) const;
    // What the context menu over item offers.
    QList<QAction*> MenuActions(QListWidgetItem* item) const;
    // Where a tip of size lands for the cursor at pos on a screen of geometry screen.
    static QPoint TipPosition(const QPoint& pos, const QSize& size, const QRect& screen);

Q_SIGNALS:
    void ItemSelected(const QString& type, const QString& iconName, const QString& uuid, int shapeType);

public Q_SLOTS:
    void ItemClicked(QListWidgetItem* item);
    void SetDefaultIcon();
    void AddToCommon();
    void RemoveFromCommon();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void FillType(MDBRecordBase* type);
    void FillCommon();
    void AddItem(MDBRecordBase* type, MDBRecordBase* icon, bool markDefault);
    MDBRecordBase* TypeOf(QListWidgetItem* item) const;
    void ShowTip(QListWidgetItem* item, const QPoint& globalPos);

    MDBRecordBase* m_currentType = nullptr; // in m_iconTypes
    QAction* m_defaultAction;               // owned by the list
    QAction* m_removeCommonAction;          // owned by the list
    QAction* m_addCommonAction;             // owned by the list
    MAbstractDBInterface* m_dbInterface;    // not owned
    std::shared_ptr<RecordList> m_iconTypes;
};
