#include "viewerwindow.h"

#include <QStatusBar>

#include "mabstractgraphview.h"
#include "mwidgetmanager.h"

ViewerWindow::ViewerWindow(QWidget* parent)
    : HostWindow(tr("Talmer viewer"), MWidgetManager::Instance()->CreateGraphView(MWidgetManager::GraphOnline), parent)
{
    connect(GraphView(), &MAbstractGraphView::GraphSelected, this, &ViewerWindow::OpenGraph);
    statusBar()->showMessage(tr("Pick a picture on the left, or type its name or initials."));
}

void ViewerWindow::OpenGraph(const QString& app, const QString& pic, int edition)
{
    ShowVersion(app, pic, edition);
}
