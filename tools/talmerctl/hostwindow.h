#pragma once

#include <QMainWindow>

class GraphCanvas;
class QWidget;

// The window of a host program: a graph library view docked on the left, the
// opened drawing on a canvas in the middle, a status bar below.
class HostWindow : public QMainWindow
{
    Q_OBJECT

public:
    // The window takes view into its dock.
    HostWindow(const QString& title, QWidget* view, QWidget* parent = nullptr);

    GraphCanvas* Canvas() const { return m_canvas; }
    // The view in the dock.
    QWidget* View() const { return m_view; }
    // Opens a version of a picture from the deployment tree and says in the
    // status bar what is shown; false when neither form reads.
    bool ShowVersion(const QString& app, const QString& pic, int edition);

private:
    QWidget* m_view;       // in the dock
    GraphCanvas* m_canvas; // central widget
};
