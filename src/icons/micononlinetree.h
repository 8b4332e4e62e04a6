#pragma once

#include <QPointer>
#include <QTreeWidget>

#include <memory>

#include "mtranslate.h"
#include "recordlist.h"

class MAbstractDBInterface;
class MIconListOnline;

// The palette's tree of icon types: "common icons" and the four categories.
// A click shows the clicked type (or the common icons) in the attached list.
// The type records are shared with the list, so either may go first.
class MIconOnlineTree : public QTreeWidget
{
    Q_OBJECT

public:
    explicit MIconOnlineTree(QWidget* parent = nullptr);
    ~MIconOnlineTree() override;

    M_DECLARE_TRUTF8

    void SetList(MIconListOnline* list);
    const std::shared_ptr<RecordList>& IconTypes() const { return m_iconTypes; }

public Q_SLOTS:
    void ItemClicked(QTreeWidgetItem* item, int column);

private:
    MAbstractDBInterface* m_dbInterface; // not owned: the process-wide interface
    std::shared_ptr<RecordList> m_iconTypes;
    QPointer<MIconListOnline> m_list; // not owned
};
