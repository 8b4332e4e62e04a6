#include "popupdriver.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QMessageBox>

PopupDriver::PopupDriver(QObject* parent)
    : QObject(parent)
{
    m_timer.setInterval(20);
    connect(&m_timer, &QTimer::timeout, this, &PopupDriver::poll);
}

QWidget* PopupDriver::activePopup()
{
    QWidget* popup = QApplication::activePopupWidget();
    return popup ? popup : QApplication::activeModalWidget();
}

QString PopupDriver::Run(const std::function<void()>& step, const Handler& handler)
{
    m_handler = handler;
    m_errors.clear();
    m_seen.clear();
    m_last = nullptr;
    m_timer.start();
    step();
    m_timer.stop();
    if (QWidget* left = activePopup()) {
        m_errors << QStringLiteral("left open: %1").arg(Describe(left));
        Dismiss(left);
    }
    m_handler = nullptr;
    return m_errors.join("; ");
}

void PopupDriver::poll()
{
    QWidget* popup = activePopup();
    if (!popup || popup == m_last || !popup->isVisible())
        return;
    m_last = popup;
    QMetaObject::invokeMethod(this, [this, watched = QPointer<QWidget>(popup)] { handle(watched); },
                              Qt::QueuedConnection);
}

void PopupDriver::handle(QPointer<QWidget> popup)
{
    if (!popup || !popup->isVisible())
        return;
    m_seen << Describe(popup);
    const QString error = m_handler ? m_handler(popup) : QStringLiteral("no handler");
    if (!error.isEmpty())
        m_errors << error;
    if (popup && popup->isVisible()) // the handler must answer; a hang is worse than a wrong answer
        Dismiss(popup);
}

QString PopupDriver::Describe(QWidget* popup)
{
    if (auto* box = qobject_cast<QMessageBox*>(popup))
        return QStringLiteral("QMessageBox: %1").arg(box->text());
    if (auto* menu = qobject_cast<QMenu*>(popup)) {
        QStringList entries;
        for (const QAction* action : menu->actions()) {
            if (!action->isSeparator() && action->isVisible())
                entries << action->text();
        }
        return QStringLiteral("QMenu: %1").arg(entries.join(" | "));
    }
    return QStringLiteral("%1: %2").arg(popup->metaObject()->className(), popup->windowTitle());
}

void PopupDriver::Dismiss(QWidget* popup)
{
    if (auto* dialog = qobject_cast<QDialog*>(popup))
        dialog->reject();
    else
        popup->close();
}
