#include "tourshots.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

namespace {

// The windows that show over the main one: menus, popups, tool-tips, boxes.
QList<QWidget*> windowsOver(const QWidget* window)
{
    QList<QWidget*> over;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget != window && widget->isVisible() && widget->width() > 0 && widget->height() > 0)
            over.append(widget);
    }
    return over;
}

QPixmap grabWithWindowsOver(QWidget* window)
{
    const QList<QWidget*> over = windowsOver(window);
    QRect area(window->mapToGlobal(QPoint(0, 0)), window->size());
    for (const QWidget* widget : over)
        area |= QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
    QPixmap shot(area.size());
    shot.fill(Qt::darkGray);
    QPainter painter(&shot);
    painter.drawPixmap(window->mapToGlobal(QPoint(0, 0)) - area.topLeft(), window->grab());
    for (QWidget* widget : over)
        painter.drawPixmap(widget->mapToGlobal(QPoint(0, 0)) - area.topLeft(), widget->grab());
    return shot;
}

} // namespace

TourShots::TourShots(const QString& directory)
    : m_directory(directory)
{
}

bool TourShots::Shoot(QWidget* window, const QString& name)
{
    if (!QDir().mkpath(m_directory)) {
        m_error = QStringLiteral("cannot make %1").arg(m_directory);
        return false;
    }
    QApplication::processEvents();
    const QString path = QStringLiteral("%1/%2-%3.png").arg(m_directory).arg(m_files.size() + 1, 2, 10, QChar('0')).arg(name);
    if (!grabWithWindowsOver(window).save(path)) {
        m_error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    m_files.append(path);
    return true;
}
