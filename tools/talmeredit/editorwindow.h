#pragma once

#include <QList>

#include "canvasbridge.h"
#include "hostwindow.h"
#include "merrmsg.h"

class IconWorkbench;
class MAbstractIconViewEditor;
class MAbstractIconViewOnline;
class MAbstractTemplateView;
class QDockWidget;
class QListWidget;
class TemplateWorkbench;

// The graph editor host: the library's editor view docked on the left, the
// opened drawing on the canvas, the icon editor, the icon palette and the
// template view docked on the right (all from the widget factory), the view's
// messages in a list below. It answers every signal of the views and offers
// "Add label", "Save" and "Go to picture".
class EditorWindow : public HostWindow
{
    Q_OBJECT

public:
    explicit EditorWindow(QWidget* parent = nullptr);

    QListWidget* Messages() const { return m_messages; }
    MAbstractIconViewEditor* IconEditor() const { return m_iconEditor; }
    MAbstractIconViewOnline* IconPalette() const { return m_iconPalette; }
    MAbstractTemplateView* TemplateView() const { return m_templates; }
    IconWorkbench* Icons() const { return m_iconBench; }
    TemplateWorkbench* Templates() const { return m_templateBench; }
    // The picture on the canvas; empty when none.
    QString OpenApplication() const { return m_app; }
    QString OpenPicture() const { return m_pic; }

public Q_SLOTS:
    void OpenGraph(const QString& app, const QString& pic, int edition, int type);
    void GraphReleased(const QString& app, const QString& pic, int edition);
    void GraphDeleted(const QString& app, const QString& name);
    void EditProperty();
    void GraphTypeChanged(const QString& app, const QString& pic, const QString& pictype, int pictypeid);
    void ShowMessages(const QList<MErrMsg>& messages);
    void AddLabel();
    // Writes the drawing as the picture's draft and records it in the library.
    void Save();
    void GoToPicture();

private:
    void createActions();
    // Docks widget on the right, tabbed with the docks there before it.
    QDockWidget* addRightDock(const QString& title, const QString& name, QWidget* widget);
    void say(const QString& message);
    // Whether the drawing on the canvas may be replaced (saved or given up).
    bool mayLeaveDrawing();

    MAbstractGraphView* m_view; // in the dock
    QListWidget* m_messages;    // in the lower dock
    MAbstractIconViewEditor* m_iconEditor; // in the right docks
    MAbstractIconViewOnline* m_iconPalette;
    MAbstractTemplateView* m_templates;
    CanvasBridge m_bridge;
    IconWorkbench* m_iconBench;         // child: answers the icon editor
    TemplateWorkbench* m_templateBench; // child: answers the template view
    QString m_app, m_pic;
};
