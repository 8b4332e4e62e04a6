#pragma once

#include <QPoint>

#include <memory>

class QAbstractItemView;
class QMimeData;
class QModelIndex;
class QWidget;

// Drags by hand, for a session without a pointer: QDrag::exec does not carry
// anything headless, so the data is taken from the drag the view itself
// starts and delivered to the target as enter, move and drop events.
namespace ViewDrag {

// Starts the view's own drag of index, as a mouse would (press on the item,
// then a move beyond the drag distance), and returns a copy of the data the
// view put on it; null when the view started no drag.
std::unique_ptr<QMimeData> Start(QAbstractItemView* view, const QModelIndex& index);
// Delivers enter, move and drop of data at pos (target's coordinates); true
// when the target took all three.
bool Drop(QWidget* target, const QMimeData* data, const QPoint& pos);

} // namespace ViewDrag
