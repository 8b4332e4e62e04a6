#include "editorwindow.h"

#include <QDockWidget>
#include <QInputDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QStatusBar>
#include <QToolBar>

#include "comparewith.h"
#include "graphcanvas.h"
#include "iconworkbench.h"
#include "mabstractgraphview.h"
#include "mabstracticonvieweditor.h"
#include "mabstracticonviewonline.h"
#include "mabstracttemplateview.h"
#include "mdeploypaths.h"
#include "mgraphdoc.h"
#include "mgraphdataaccess.h"
#include "mwidgetmanager.h"
#include "mworkstationreportview.h"
#include "propertydialog.h"
#include "templateworkbench.h"

EditorWindow::EditorWindow(QWidget* parent)
    : HostWindow(tr("Talmer editor"), MWidgetManager::Instance()->CreateGraphView(MWidgetManager::GraphEditor), parent),
      m_view(GraphView()),
      m_messages(new QListWidget),
      m_iconEditor(MWidgetManager::Instance()->CreateIconEditor()),
      m_iconPalette(MWidgetManager::Instance()->CreateIconOnline()),
      m_templates(MWidgetManager::Instance()->CreateTemplateView()),
      m_bridge(Canvas()),
      m_iconBench(nullptr),
      m_templateBench(new TemplateWorkbench(m_templates, Canvas(), this))
{
    QDockWidget* palette = addRightDock(tr("Icon palette"), "iconPaletteDock", m_iconPalette);
    addRightDock(tr("Templates"), "templateDock", m_templates);
    addRightDock(tr("Icon library"), "iconEditorDock", m_iconEditor);
    addRightDock(tr("Workstations"), "workstationDock", new MWorkstationReportView);
    palette->raise();
    m_iconBench = new IconWorkbench(m_iconEditor, this); // its looks dock goes below the library
    m_iconBench->SyncIconFiles();
    auto* messages = new QDockWidget(tr("Messages"), this);
    messages->setObjectName("messageDock");
    messages->setFeatures(QDockWidget::NoDockWidgetFeatures);
    messages->setWidget(m_messages);
    m_messages->setMaximumHeight(110);
    addDockWidget(Qt::BottomDockWidgetArea, messages);
    m_view->setMinimumWidth(320); // room for the history entries and their times
    m_view->SetGraphBridge(&m_bridge);
    connect(m_view, &MAbstractGraphView::GraphSelected, this, &EditorWindow::OpenGraph);
    connect(m_view, &MAbstractGraphView::GraphReleased, this, &EditorWindow::GraphReleased);
    connect(m_view, &MAbstractGraphView::GraphDelected, this, &EditorWindow::GraphDeleted);
    connect(m_view, &MAbstractGraphView::EditPicProperty, this, &EditorWindow::EditProperty);
    connect(m_view, &MAbstractGraphView::sigChangeGraphType, this, &EditorWindow::GraphTypeChanged);
    connect(m_view, &MAbstractGraphView::ShowErrMsg, this, &EditorWindow::ShowMessages);
    connect(m_iconBench, &IconWorkbench::Failed, this, &EditorWindow::ShowMessages);
    connect(m_iconBench, &IconWorkbench::Said, this, &EditorWindow::say);
    connect(m_templateBench, &TemplateWorkbench::Failed, this, &EditorWindow::ShowMessages);
    connect(m_templateBench, &TemplateWorkbench::Said, this, &EditorWindow::say);
    connect(m_templateBench, &TemplateWorkbench::TemplateOpened, this, [this] {
        m_app.clear(); // the canvas holds a template now, not this picture
        m_pic.clear();
    });
    Canvas()->SetTemplateAliasLookup(
        [](const QString& type) { return MGraphDataAccess::Instance()->GetTemplateAlias(type); });
    connect(Canvas(), &GraphCanvas::Dropped, this, [this](bool added, const QString& message) {
        if (added)
            say(message);
        else
            ShowMessages({MErrMsg(m_pic, message)});
    });
    createActions();
    say(tr("Pick a picture on the left, or type its name or initials."));
}

void EditorWindow::createActions()
{
    QToolBar* tools = addToolBar(tr("Drawing"));
    tools->setObjectName("drawingTools");
    tools->addAction(tr("Add label"), this, &EditorWindow::AddLabel);
    tools->addAction(tr("Save"), this, &EditorWindow::Save)->setShortcut(QKeySequence::Save);
    tools->addAction(tr("Go to picture"), this, &EditorWindow::GoToPicture);
    tools->addAction(m_templateBench->SaveAction());
    tools->addAction(tr("Compare with…"), this, [this] {
        QString message;
        CompareWith::Show(this, m_app, m_pic, Canvas()->Doc(), message);
        say(message);
    });
}

QDockWidget* EditorWindow::addRightDock(const QString& title, const QString& name, QWidget* widget)
{
    auto* dock = new QDockWidget(title, this);
    dock->setObjectName(name);
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    dock->setWidget(widget);
    QDockWidget* first = nullptr;
    for (QDockWidget* other : findChildren<QDockWidget*>()) {
        if (!first && other != dock && dockWidgetArea(other) == Qt::RightDockWidgetArea)
            first = other;
    }
    addDockWidget(Qt::RightDockWidgetArea, dock);
    if (first)
        tabifyDockWidget(first, dock);
    return dock;
}

void EditorWindow::say(const QString& message)
{
    statusBar()->showMessage(message);
}

bool EditorWindow::mayLeaveDrawing()
{
    if (!Canvas()->IsDirty())
        return true;
    const QString name = Canvas()->Doc()->GetName(); // a picture's or a template's
    return QMessageBox::question(this, windowTitle(), tr("%1 has unsaved changes. Give them up?").arg(name))
        == QMessageBox::Yes;
}

void EditorWindow::OpenGraph(const QString& app, const QString& pic, int edition, int)
{
    if (!mayLeaveDrawing())
        return;
    m_app = app;
    m_pic = pic;
    if (!m_view->IsNewGraph()) {
        ShowVersion(app, pic, edition);
        return;
    }
    QString typeName, substation;
    int typeId = 0;
    m_view->GraphType(pic, app, typeName, typeId);
    m_view->GetSubstationName(substation);
    Canvas()->New(pic, typeName, typeId, substation);
    say(tr("%1 / %2: a new drawing of type %3").arg(app, pic, typeName));
}

void EditorWindow::GraphReleased(const QString& app, const QString& pic, int edition)
{
    say(tr("%1 / %2: version %3 released").arg(app, pic).arg(edition));
}

void EditorWindow::GraphDeleted(const QString& app, const QString& name)
{
    if (app == m_app && name == m_pic) {
        Canvas()->Close(); // its drafts are gone with it
        m_app.clear();
        m_pic.clear();
    }
    say(tr("%1 / %2 deleted").arg(app, name));
}

void EditorWindow::EditProperty()
{
    if (m_pic.isEmpty())
        return;
    PropertyDialog dialog(m_app, m_pic, this);
    if (!dialog.Loaded()) {
        ShowMessages({MErrMsg(m_pic, tr("its properties cannot be read"))});
        return;
    }
    dialog.exec();
}

void EditorWindow::GraphTypeChanged(const QString& app, const QString& pic, const QString& pictype, int)
{
    say(tr("%1 / %2 is now of type %3").arg(app, pic, pictype));
}

void EditorWindow::ShowMessages(const QList<MErrMsg>& messages)
{
    for (const MErrMsg& message : messages)
        m_messages->addItem(QString("%1: %2").arg(message.object, message.message));
    m_messages->scrollToBottom();
}

void EditorWindow::AddLabel()
{
    const QString text = m_pic.isEmpty() ? tr("label") : m_pic;
    if (Canvas()->AddLabel(text))
        say(tr("%1: unsaved changes").arg(m_pic));
    else
        say(tr("Open a picture first."));
}

void EditorWindow::Save()
{
    if (m_pic.isEmpty() || !Canvas()->HasDrawing()) {
        say(tr("Nothing to save."));
        return;
    }
    QString error;
    if (!Canvas()->Save(MDeployPaths::VersionFile(m_app, m_pic, 0, "xrg"), error)) {
        ShowMessages({MErrMsg(m_pic, error)});
        say(tr("%1 was not saved.").arg(m_pic));
        return;
    }
    m_view->SaveDraft(m_app, m_pic);
    say(tr("%1 / %2: saved as the draft").arg(m_app, m_pic));
}

void EditorWindow::GoToPicture()
{
    bool ok = false;
    const QString name = QInputDialog::getText(this, tr("Go to picture"), tr("picture name"), QLineEdit::Normal,
                                               QString(), &ok);
    if (ok && !name.isEmpty() && !ChooseSearchResult(name))
        say(tr("No picture is named %1.").arg(name));
}
