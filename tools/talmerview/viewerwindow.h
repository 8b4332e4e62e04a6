#pragma once

#include "hostwindow.h"

class LoginDialog;
class MAbstractIconViewOnline;
class QLabel;

// The online viewer host: the library's online graph view docked on the left,
// the opened version drawn in the middle, the icon palette docked on the
// right (both views from the widget factory). The status bar shows who is
// logged in and marks an opened picture that the note book notes or blacks.
class ViewerWindow : public HostWindow
{
    Q_OBJECT

public:
    explicit ViewerWindow(QWidget* parent = nullptr);

    MAbstractIconViewOnline* IconPalette() const { return m_iconPalette; }
    // The dialog of "Log in…", made on first use; the window owns it.
    LoginDialog* LoginBox();

    // Reads the note book's option and list files (names below etc/mmi/).
    static void ReadNoteBook(const QString& optionFile, const QString& listFile);

    // Checks the password with the platform; on success the view shows what
    // user may see. A refusal keeps the user logged in before; why says so.
    bool LogIn(const QString& user, const QString& password, QString& why);
    // Closes the picture; the view shows nothing until the next log-in.
    void LogOut();
    // The operator logged in; empty when nobody is.
    QString User() const { return m_user; }

    // The picture on the canvas; empty when none.
    QString OpenApplication() const { return m_app; }
    QString OpenPicture() const { return m_pic; }
    // The marks the status bar shows for the opened picture.
    bool NotedShown() const;
    bool BlackedShown() const;

Q_SIGNALS:
    // The view's GraphSelected, whichever view is in the dock.
    void GraphSelected(const QString& app, const QString& pic, int edition, int type);

public Q_SLOTS:
    void OpenGraph(const QString& app, const QString& pic, int edition);
    void ShowIcon(const QString& type, const QString& iconName, const QString& uuid, int shapeType);
    void AskLogIn();

private:
    void createMenu();
    void connectView();
    void showUser();
    void showMarks(bool noted, bool blacked);
    // Puts a fresh view in the dock with the privilege user set (empty: none may see).
    void renewView(const QString& user, const QString& password);

    MAbstractIconViewOnline* m_iconPalette; // in the right dock
    LoginDialog* m_login = nullptr;         // child, made on first use
    QAction* m_logOutAction;                // child
    QLabel* m_userLabel;                    // in the status bar
    QLabel* m_notedLabel;                   // in the status bar
    QLabel* m_blackedLabel;                 // in the status bar
    QString m_user;
    QString m_app, m_pic;
};
