#include "viewerwindow.h"

#include <QAction>
#include <QDockWidget>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>

#include "graphcanvas.h"
#include "logindialog.h"
#include "mabstractgraphview.h"
#include "mabstracticonviewonline.h"
#include "mgraphnotebook.h"
#include "mwidgetmanager.h"
#include "sm_priv_api_user_manager.h"

namespace {

QLabel* statusMark(const QString& text, const QString& name, const QString& style)
{
    auto* label = new QLabel(text);
    label->setObjectName(name);
    label->setStyleSheet(style);
    label->hide();
    return label;
}

} // namespace

ViewerWindow::ViewerWindow(QWidget* parent)
    : HostWindow(tr("Talmer viewer"), MWidgetManager::Instance()->CreateGraphView(MWidgetManager::GraphOnline), parent),
      m_iconPalette(MWidgetManager::Instance()->CreateIconOnline()),
      m_logOutAction(new QAction(tr("Log &out"), this)),
      m_userLabel(new QLabel),
      m_notedLabel(statusMark(tr("noted"), "notedMark", "background: #2e7d32; color: white; padding: 0 6px;")),
      m_blackedLabel(statusMark(tr("blacked"), "blackedMark", "background: black; color: white; padding: 0 6px;"))
{
    auto* dock = new QDockWidget(tr("Icon palette"), this);
    dock->setObjectName("iconPaletteDock");
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    dock->setWidget(m_iconPalette);
    addDockWidget(Qt::RightDockWidgetArea, dock);
    connect(m_iconPalette, &MAbstractIconViewOnline::IconSelected, this, &ViewerWindow::ShowIcon);
    m_userLabel->setObjectName("userMark");
    statusBar()->addPermanentWidget(m_notedLabel);
    statusBar()->addPermanentWidget(m_blackedLabel);
    statusBar()->addPermanentWidget(m_userLabel);
    createMenu();
    connectView();
    showUser();
    statusBar()->showMessage(tr("Pick a picture on the left, or type its name or initials."));
}

void ViewerWindow::createMenu()
{
    QMenu* menu = menuBar()->addMenu(tr("&Operator"));
    menu->setObjectName("operatorMenu");
    QAction* logIn = menu->addAction(tr("&Log in…"), this, &ViewerWindow::AskLogIn);
    logIn->setObjectName("logInAction");
    m_logOutAction->setObjectName("logOutAction");
    connect(m_logOutAction, &QAction::triggered, this, &ViewerWindow::LogOut);
    menu->addAction(m_logOutAction);
}

void ViewerWindow::connectView()
{
    connect(GraphView(), &MAbstractGraphView::GraphSelected, this, &ViewerWindow::GraphSelected);
    connect(GraphView(), &MAbstractGraphView::GraphSelected, this, &ViewerWindow::OpenGraph);
}

LoginDialog* ViewerWindow::LoginBox()
{
    if (!m_login) {
        m_login = new LoginDialog(
            [this](const QString& user, const QString& password, QString& why) { return LogIn(user, password, why); },
            this);
        m_login->setObjectName("loginDialog");
    }
    return m_login;
}

void ViewerWindow::ReadNoteBook(const QString& optionFile, const QString& listFile)
{
    MGraphNoteBook::Instance()->ReadImportOption(optionFile);
    MGraphNoteBook::Instance()->ReadWhite(listFile);
}

bool ViewerWindow::LogIn(const QString& user, const QString& password, QString& why)
{
    sm_priv_api_user_manager* manager = get_user_manager(0);
    int error = 0;
    // The platform's own check; only a user it takes reaches the view, so a
    // refusal leaves the view's privilege user as it was.
    if (!manager || user.isEmpty() || !manager->get_user(user.toUtf8().constData(), password.toUtf8().constData(), error)) {
        why = error == sm_priv_api_user_manager::NoUserDatabase ? tr("No user database: nobody can log in.")
                                                                 : tr("Log-in refused for %1.").arg(user);
        statusBar()->showMessage(why);
        return false;
    }
    renewView(user, password);
    m_user = user;
    showUser();
    statusBar()->showMessage(tr("Logged in as %1.").arg(user));
    return true;
}

void ViewerWindow::LogOut()
{
    // An empty user is refused by the privilege check: the fresh view shows no
    // picture, rather than every picture as for a workstation never logged in.
    renewView(QString(), QString());
    m_user.clear();
    showUser();
    statusBar()->showMessage(tr("Logged out."));
}

void ViewerWindow::renewView(const QString& user, const QString& password)
{
    MAbstractGraphView* view = MWidgetManager::Instance()->CreateGraphView(MWidgetManager::GraphOnline);
    view->SetUserInfo(user, password);
    ReplaceGraphView(view);
    connectView();
    Canvas()->Close();
    m_app.clear();
    m_pic.clear();
    showMarks(false, false);
}

void ViewerWindow::showUser()
{
    m_userLabel->setText(m_user.isEmpty() ? tr("nobody logged in") : tr("logged in: %1").arg(m_user));
    setWindowTitle(m_user.isEmpty() ? tr("Talmer viewer") : tr("Talmer viewer - %1").arg(m_user));
    m_logOutAction->setEnabled(!m_user.isEmpty());
}

void ViewerWindow::AskLogIn()
{
    LoginBox()->Fill(m_user, QString());
    LoginBox()->exec();
}

void ViewerWindow::OpenGraph(const QString& app, const QString& pic, int edition)
{
    if (!ShowVersion(app, pic, edition)) {
        m_app.clear();
        m_pic.clear();
        showMarks(false, false);
        return;
    }
    m_app = app;
    m_pic = pic;
    // A blacked picture the view opened is still shown; the mark warns the operator.
    const MGraphNoteBook* notes = MGraphNoteBook::Instance();
    showMarks(notes->IsWhiteNoteEnabled() && notes->IsNoted(app, pic),
              notes->IsBlackNoteEnabled() && notes->IsBlacked(app, pic));
}

void ViewerWindow::showMarks(bool noted, bool blacked)
{
    m_notedLabel->setVisible(noted);
    m_blackedLabel->setVisible(blacked);
}

bool ViewerWindow::NotedShown() const
{
    return !m_notedLabel->isHidden();
}

bool ViewerWindow::BlackedShown() const
{
    return !m_blackedLabel->isHidden();
}

void ViewerWindow::ShowIcon(const QString& type, const QString& iconName, const QString&, int shapeType)
{
    statusBar()->showMessage(tr("Icon %1 of type %2 (shape %3)").arg(iconName, type).arg(shapeType));
}
