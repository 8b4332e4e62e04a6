#include "hostwindow.h"

#include <QComboBox>
#include <QDockWidget>
#include <QStatusBar>

#include "graphcanvas.h"
#include "mabstractgraphview.h"
#include "mdeploypaths.h"

HostWindow::HostWindow(const QString& title, MAbstractGraphView* view, QWidget* parent)
    : QMainWindow(parent), m_view(view), m_dock(new QDockWidget(tr("Graphs"), this)), m_canvas(new GraphCanvas)
{
    setWindowTitle(title);
    setCentralWidget(m_canvas);
    m_dock->setObjectName("graphDock");
    m_dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    m_dock->setWidget(view);
    addDockWidget(Qt::LeftDockWidgetArea, m_dock);
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

void HostWindow::ReplaceGraphView(MAbstractGraphView* view)
{
    MAbstractGraphView* old = m_view;
    m_view = view;
    m_dock->setWidget(view);
    delete old;
}

QComboBox* HostWindow::SearchBox() const
{
    return m_view->findChild<QComboBox*>();
}

bool HostWindow::ChooseSearchResult(const QString& text)
{
    QComboBox* box = SearchBox();
    if (!box)
        return false;
    box->setEditText(text); // the view lists the matches below the typed text
    if (box->count() < 2)
        return false;
    const int named = box->findText(text, Qt::MatchExactly);
    const int chosen = named > 0 ? named : 1;
    box->setCurrentIndex(chosen);
    emit box->activated(chosen);
    return true;
}
