#include "viewerwindow.h"

#include <QDockWidget>
#include <QStatusBar>

#include "mabstractgraphview.h"
#include "mabstracticonviewonline.h"
#include "mwidgetmanager.h"

ViewerWindow::ViewerWindow(QWidget* parent)
    : HostWindow(tr("Talmer viewer"), MWidgetManager::Instance()->CreateGraphView(MWidgetManager::GraphOnline), parent),
      m_iconPalette(MWidgetManager::Instance()->CreateIconOnline())
{
    auto* dock = new QDockWidget(tr("Icon palette"), this);
    dock->setObjectName("iconPaletteDock");
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    dock->setWidget(m_iconPalette);
    addDockWidget(Qt::RightDockWidgetArea, dock);
    connect(GraphView(), &MAbstractGraphView::GraphSelected, this, &ViewerWindow::OpenGraph);
    statusBar()->showMessage(tr("Pick a picture on the left, or type its name or initials."));
}

void ViewerWindow::OpenGraph(const QString& app, const QString& pic, int edition)
{
    ShowVersion(app, pic, edition);
}
