#include "hostwindow.h"

#include <QDockWidget>
#include <QStatusBar>

#include "graphcanvas.h"
#include "mdeploypaths.h"

HostWindow::HostWindow(const QString& title, QWidget* view, QWidget* parent)
    : QMainWindow(parent), m_view(view), m_canvas(new GraphCanvas)
{
    setWindowTitle(title);
    setCentralWidget(m_canvas);
    auto* dock = new QDockWidget(tr("Graphs"), this);
    dock->setObjectName("graphDock");
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    dock->setWidget(view);
    addDockWidget(Qt::LeftDockWidgetArea, dock);
    resize(1200, 720);
}

bool HostWindow::ShowVersion(const QString& app, const QString& pic, int edition)
{
    const QString brg = MDeployPaths::VersionFile(app, pic, edition, "brg");
    const QString xrg = MDeployPaths::VersionFile(app, pic, edition, "xrg");
    const bool shown = m_canvas->Open(brg, xrg);
    const QString what = tr("%1 / %2, version %3").arg(app, pic).arg(edition);
    statusBar()->showMessage(shown ? what : tr("%1: not found").arg(what));
    return shown;
}
