#include "viewerwindow.h"

#include <QStatusBar>

#include "mgraphviewonline.h"

ViewerWindow::ViewerWindow(QWidget* parent)
    : HostWindow(tr("Talmer viewer"), new MGraphViewOnline, parent),
      m_view(static_cast<MGraphViewOnline*>(View()))
{
    connect(m_view, &MAbstractGraphView::GraphSelected, this, &ViewerWindow::OpenGraph);
    statusBar()->showMessage(tr("Pick a picture on the left, or type its name or initials."));
}

void ViewerWindow::OpenGraph(const QString& app, const QString& pic, int edition)
{
    ShowVersion(app, pic, edition);
}
