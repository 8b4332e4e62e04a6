#include "viewertour.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHelpEvent>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>

#include "graphcanvas.h"
#include "logindialog.h"
#include "mabstractgraphview.h"
#include "mabstracticonviewonline.h"
#include "viewerwindow.h"

namespace {

// The visible top-level windows, the tip of an icon among them once it shows.
int visibleWindows()
{
    int count = 0;
    for (const QWidget* widget : QApplication::topLevelWidgets())
        count += widget->isVisible() ? 1 : 0;
    return count;
}

} // namespace

ViewerTour::ViewerTour(ViewerWindow& window, const QString& directory, QTextStream& log)
    : m_window(window), m_shots(directory), m_log(log), m_boxWatch(new QTimer(this))
{
    connect(&window, &ViewerWindow::GraphSelected, this,
            [this](const QString& app, const QString& pic, int edition, int type) {
                m_log << "signal GraphSelected " << app << " " << pic << " " << edition << " " << type << Qt::endl;
            });
    connect(window.IconPalette(), &MAbstractIconViewOnline::IconSelected, this,
            [this](const QString& type, const QString& name, const QString& uuid, int shape) {
                m_log << "signal IconSelected " << type << " " << name << " " << uuid << " " << shape << Qt::endl;
            });
    // A box the views open waits for an answer; the tour logs it and closes it.
    m_boxWatch->setInterval(50);
    connect(m_boxWatch, &QTimer::timeout, this, &ViewerTour::answerBoxes);
}

ViewerTour::~ViewerTour() = default;

void ViewerTour::answerBoxes()
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box)
        return;
    m_log << "box " << m_step << ": " << box->text() << Qt::endl;
    if (!box->property("shot").toBool()) {
        box->setProperty("shot", true);
        finish(m_step + "-box", true);
    }
    // From a queued call: closing inside the timer slot would miss a box the answer opens.
    QTimer::singleShot(0, box, &QMessageBox::reject);
}

bool ViewerTour::Run(const Plan& plan)
{
    m_boxWatch->start();
    m_window.show();
    const bool done = logInDialog(plan) && loggedIn(plan) && libraryUnfolded(plan) && searchList(plan)
        && versionOpened(plan) && iconsBrowsed() && iconHovered() && refusedLogIn(plan) && loggedOut(plan);
    m_boxWatch->stop();
    return done && m_error.isEmpty(); // a box's picture may have failed too
}

bool ViewerTour::finish(const QString& name, bool done, const QString& why)
{
    if (!done) {
        m_error = QStringLiteral("step %1 failed: %2").arg(name, why);
        m_log << "failed " << name << ": " << why << Qt::endl;
        return false;
    }
    if (!m_shots.Shoot(&m_window, name)) {
        m_error = QStringLiteral("step %1: %2").arg(name, m_shots.Error());
        return false;
    }
    m_log << "step " << name << " " << m_shots.Files().last() << Qt::endl;
    return true;
}

bool ViewerTour::logInDialog(const Plan& plan)
{
    m_step = "login-dialog";
    LoginDialog* dialog = m_window.LoginBox();
    dialog->Fill(plan.user, plan.password);
    dialog->show();
    return finish(m_step, dialog->isVisible(), "the log-in dialog does not show");
}

bool ViewerTour::loggedIn(const Plan& plan)
{
    m_step = "logged-in";
    LoginDialog* dialog = m_window.LoginBox();
    dialog->accept();
    if (dialog->isVisible()) {
        const QString why = dialog->Refusal();
        dialog->reject();
        return finish(m_step, false, why);
    }
    m_log << "user " << m_window.User() << Qt::endl;
    return finish(m_step, m_window.User() == plan.user, "the window shows another user");
}

bool ViewerTour::libraryUnfolded(const Plan& plan)
{
    m_step = "library-unfolded";
    m_window.GraphView()->SelectGraph(plan.application, plan.picture, -1, false);
    QTreeWidgetItem* picture = unfoldedPicture(plan.picture);
    if (picture)
        picture->treeWidget()->setCurrentItem(picture); // marked as the operator's eye would find it
    const bool shown = picture != nullptr;
    return finish(m_step, shown, QStringLiteral("%1 is not in the unfolded library").arg(plan.picture));
}

QTreeWidgetItem* ViewerTour::unfoldedPicture(const QString& picture) const
{
    auto* tree = m_window.GraphView()->findChild<QTreeWidget*>();
    if (!tree)
        return nullptr;
    for (QTreeWidgetItem* item : tree->findItems(picture, Qt::MatchExactly | Qt::MatchRecursive)) {
        if (item->isExpanded() && item->childCount() > 0 && item->parent() && item->parent()->isExpanded())
            return item;
    }
    return nullptr;
}

bool ViewerTour::searchList(const Plan& plan)
{
    m_step = "search-list";
    QComboBox* box = m_window.SearchBox();
    if (!box)
        return finish(m_step, false, "the view has no search box");
    box->setEditText(plan.search);
    box->showPopup();
    QStringList matches;
    for (int i = 1; i < box->count(); ++i)
        matches << box->itemText(i);
    m_log << "matches " << matches.join(", ") << Qt::endl;
    const bool listed = matches.contains(plan.picture) && box->view()->isVisible();
    const bool done = finish(m_step, listed, QStringLiteral("%1 is not listed for %2").arg(plan.picture, plan.search));
    box->hidePopup();
    return done;
}

bool ViewerTour::versionOpened(const Plan& plan)
{
    m_step = "version-opened";
    m_window.ChooseSearchResult(plan.picture);
    const bool opened = m_window.OpenPicture() == plan.picture && m_window.Canvas()->HasDrawing();
    m_log << "marks" << (m_window.NotedShown() ? " noted" : "") << (m_window.BlackedShown() ? " blacked" : "")
          << Qt::endl;
    return finish(m_step, opened, QStringLiteral("%1 did not open").arg(plan.picture));
}

QListWidget* ViewerTour::iconList() const
{
    return m_window.IconPalette()->findChild<QListWidget*>();
}

bool ViewerTour::iconsBrowsed()
{
    m_step = "icons-browsed";
    auto* types = m_window.IconPalette()->findChild<QTreeWidget*>();
    QListWidget* list = iconList();
    if (!types || !list)
        return finish(m_step, false, "the palette has no type tree or icon list");
    // The first icon type that holds icons, as an operator would look for one
    // (the list shows the common icons before).
    QTreeWidgetItem* chosen = nullptr;
    for (int c = 0; c < types->topLevelItemCount() && !chosen; ++c) {
        QTreeWidgetItem* category = types->topLevelItem(c);
        for (int t = 0; t < category->childCount() && !chosen; ++t) {
            emit types->itemClicked(category->child(t), 0);
            if (list->count() > 0)
                chosen = category->child(t);
        }
    }
    if (!chosen)
        return finish(m_step, false, "no icon type holds icons");
    chosen->parent()->setExpanded(true);
    types->setCurrentItem(chosen);
    list->setCurrentRow(0);
    emit list->itemClicked(list->item(0));
    return finish(m_step, true);
}

bool ViewerTour::iconHovered()
{
    m_step = "icon-tip";
    QListWidget* list = iconList();
    const QPoint pos = list->visualItemRect(list->item(0)).center();
    const int before = visibleWindows();
    QHelpEvent hover(QEvent::ToolTip, pos, list->viewport()->mapToGlobal(pos));
    QApplication::sendEvent(list->viewport(), &hover);
    const bool done = finish(m_step, visibleWindows() > before, "no tip shows over the icon");
    // The tip would otherwise stay over the next pictures until it expires.
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->windowType() == Qt::ToolTip)
            widget->close();
    }
    return done;
}

bool ViewerTour::refusedLogIn(const Plan& plan)
{
    m_step = "login-refused";
    LoginDialog* dialog = m_window.LoginBox();
    dialog->Fill(plan.user, plan.password + "-wrong");
    dialog->show();
    dialog->accept();
    const QString refusal = dialog->Refusal();
    m_log << "refused " << refusal << Qt::endl;
    m_log << "user " << m_window.User() << Qt::endl;
    const bool kept = dialog->isVisible() && !refusal.isEmpty() && m_window.User() == plan.user;
    const bool done = finish(m_step, kept, "a wrong password was not refused, or the user changed");
    dialog->reject();
    return done;
}

bool ViewerTour::loggedOut(const Plan& plan)
{
    m_step = "operator-menu";
    auto* menu = m_window.menuBar()->findChild<QMenu*>("operatorMenu");
    auto* logOut = m_window.findChild<QAction*>("logOutAction");
    if (!menu || !logOut)
        return finish(m_step, false, "the window has no operator menu");
    menu->popup(m_window.menuBar()->mapToGlobal(m_window.menuBar()->actionGeometry(menu->menuAction()).bottomLeft()));
    menu->setActiveAction(logOut);
    const bool offered = finish(m_step, menu->isVisible() && logOut->isEnabled(), "log-out is not offered");
    menu->hide();
    if (!offered)
        return false;
    m_step = "logged-out";
    logOut->trigger();
    m_log << "user " << m_window.User() << Qt::endl;
    // Nobody logged in may see no picture: the view says so in a box, logged above.
    m_window.GraphView()->SelectGraph(plan.application, plan.picture, -1, false);
    const bool closed = m_window.User().isEmpty() && !m_window.Canvas()->HasDrawing() && !m_window.NotedShown()
        && !m_window.BlackedShown();
    if (!closed)
        return finish(m_step, false, "the picture or the user stayed after the log-out");
    return finish(m_step, !unfoldedPicture(plan.picture), QStringLiteral("%1 is still to be seen").arg(plan.picture));
}
