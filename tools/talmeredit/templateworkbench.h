#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include "merrmsg.h"

class GraphCanvas;
class MAbstractTemplateView;
class QAction;
class QWidget;

// The editor host's side of the template library: a template the view asks
// to edit opens on the canvas (an empty one when its file is missing), and
// "Save template" writes the file, uploads it and, the first time, records it
// in the library. Only files of the deployment tree's template folder are
// opened.
class TemplateWorkbench : public QObject
{
    Q_OBJECT

public:
    TemplateWorkbench(MAbstractTemplateView* view, GraphCanvas* canvas, QWidget* window);

    QAction* SaveAction() const { return m_save; }
    // Whether path is a template file of the deployment tree:
    // template/{alias}/{name}.xtp, also after links are followed.
    static bool IsTemplateFile(const QString& path);

public Q_SLOTS:
    // Opens the template at path on the canvas; a drawing with unsaved
    // changes is left only when the user gives them up.
    bool EditTemplate(const QString& path);
    // Writes the open template, uploads it and records it when this editing
    // has not yet done so; false when any step failed (and said why).
    bool SaveTemplate();

Q_SIGNALS:
    void Failed(const QList<MErrMsg>& messages);
    void Said(const QString& status);
    // The canvas now holds the template at path instead of a picture.
    void TemplateOpened(const QString& path);

private:
    bool mayLeaveCanvas();
    // The view's title of the template type whose folder is alias; empty when
    // the view shows no such type.
    QString typeTitle(const QString& alias) const;
    void fail(const QString& object, const QString& why);

    MAbstractTemplateView* m_view; // not owned: in the window's dock
    GraphCanvas* m_canvas;         // not owned: the window's central widget
    QWidget* m_window;             // not owned: the dialogs' parent
    QAction* m_save;               // owned by the window
    QString m_recorded;            // the template this editing has recorded
};
