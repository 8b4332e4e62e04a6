#include "viewdrag.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QWindow>

namespace ViewDrag {

namespace {

void sendMouse(QWidget* widget, QEvent::Type type, const QPoint& pos, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(pos), QPointF(widget->mapToGlobal(pos)), Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

std::unique_ptr<QMimeData> copyOf(const QMimeData* data)
{
    auto copy = std::make_unique<QMimeData>();
    for (const QString& format : data->formats())
        copy->setData(format, data->data(format));
    return copy;
}

} // namespace

std::unique_ptr<QMimeData> Start(QAbstractItemView* view, const QModelIndex& index)
{
    QWidget* viewport = view->viewport();
    const QPoint from = view->visualRect(index).center();
    const QPoint to = from + QPoint(QApplication::startDragDistance() + 8, 4);
    // On a real display the drag runs its own loop until a key or button ends
    // it; Escape (seen by the drag through the window) ends it at once.
    QTimer cancel;
    cancel.setSingleShot(true);
    QObject::connect(&cancel, &QTimer::timeout, view, [view] {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        if (QWindow* window = view->window()->windowHandle())
            QApplication::sendEvent(window, &escape);
    });
    cancel.start(200);
    for (QDrag* old : view->findChildren<QDrag*>())
        delete old;
    sendMouse(viewport, QEvent::MouseButtonPress, from, Qt::LeftButton);
    sendMouse(viewport, QEvent::MouseMove, from + QPoint(1, 0), Qt::LeftButton); // enters the dragging state
    sendMouse(viewport, QEvent::MouseMove, to, Qt::LeftButton);                 // starts the drag
    cancel.stop();
    // The finished drag is deleted later; it is still here, with its data.
    const QList<QDrag*> drags = view->findChildren<QDrag*>();
    if (drags.isEmpty() || !drags.constLast()->mimeData())
        return nullptr;
    std::unique_ptr<QMimeData> data = copyOf(drags.constLast()->mimeData());
    qDeleteAll(drags);
    return data;
}

bool Drop(QWidget* target, const QMimeData* data, const QPoint& pos)
{
    QDragEnterEvent enter(pos, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(pos, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    if (!enter.isAccepted() || !move.isAccepted())
        return false;
    QDropEvent drop(QPointF(pos), Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

} // namespace ViewDrag
