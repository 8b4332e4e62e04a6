#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Saves the steps of a guided tour of a host as numbered pictures
// ("01-name.png", ...). A menu, a popup list, a tool-tip or a message box is a
// window of its own that a grab of the main window leaves out, so each picture
// paints the visible ones over the window where they show.
class TourShots
{
public:
    explicit TourShots(const QString& directory);

    // Saves the window as the next step; false (and Error) when the folder or
    // the file cannot be written.
    bool Shoot(QWidget* window, const QString& name);
    // The pictures written so far, in the order of the steps.
    QStringList Files() const { return m_files; }
    QString Error() const { return m_error; }

private:
    QString m_directory;
    QStringList m_files;
    QString m_error;
};
