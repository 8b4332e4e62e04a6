#pragma once

#include <QMainWindow>

class GraphCanvas;
class MAbstractGraphView;
class QComboBox;
class QDockWidget;

// The window of a host program: a graph library view docked on the left, the
// opened drawing on a canvas in the middle, a status bar below.
class HostWindow : public QMainWindow
{
    Q_OBJECT

public:
    // The window takes view (from the widget factory) into its dock.
    HostWindow(const QString& title, MAbstractGraphView* view, QWidget* parent = nullptr);

    GraphCanvas* Canvas() const { return m_canvas; }
    // The view in the dock.
    MAbstractGraphView* GraphView() const { return m_view; }
    // The view's search box; null when it has none.
    QComboBox* SearchBox() const;
    // Types text into the search box and chooses the match named text (else
    // the first one), as a user would; false when nothing matches.
    bool ChooseSearchResult(const QString& text);
    // Opens a version of a picture from the deployment tree and says in the
    // status bar what is shown; false when neither form reads.
    bool ShowVersion(const QString& app, const QString& pic, int edition);
    // Puts view into the dock in place of the one there, which is deleted
    // (a fresh view forgets what the last user had unfolded).
    void ReplaceGraphView(MAbstractGraphView* view);

private:
    MAbstractGraphView* m_view; // in the dock
    QDockWidget* m_dock;        // holds m_view
    GraphCanvas* m_canvas;      // central widget
};
