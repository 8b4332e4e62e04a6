#include "viewerwindow.h"

#include <QDockWidget>
#include <QStatusBar>

#include "graphcanvas.h"
#include "mdeploypaths.h"
#include "mgraphviewonline.h"

ViewerWindow::ViewerWindow(QWidget* parent)
    : QMainWindow(parent), m_view(new MGraphViewOnline), m_canvas(new GraphCanvas)
{
    setWindowTitle(tr("Talmer viewer"));
    setCentralWidget(m_canvas);
    auto* dock = new QDockWidget(tr("Graphs"), this);
    dock->setObjectName("graphDock");
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    dock->setWidget(m_view);
    addDockWidget(Qt::LeftDockWidgetArea, dock);
    connect(m_view, &MAbstractGraphView::GraphSelected, this, &ViewerWindow::OpenGraph);
    statusBar()->showMessage(tr("Pick a picture on the left, or type its name or initials."));
    resize(1200, 720);
}

void ViewerWindow::OpenGraph(const QString& app, const QString& pic, int edition)
{
    const QString brg = MDeployPaths::VersionFile(app, pic, edition, "brg");
    const QString xrg = MDeployPaths::VersionFile(app, pic, edition, "xrg");
    if (m_canvas->Open(brg, xrg))
        statusBar()->showMessage(tr("%1 / %2, version %3").arg(app, pic).arg(edition));
    else
        statusBar()->showMessage(tr("%1 / %2, version %3: not found").arg(app, pic).arg(edition));
}
