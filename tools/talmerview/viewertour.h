#pragma once

#include <QObject>
#include <QStringList>
#include <QTextStream>

#include "tourshots.h"

class QListWidget;
class QTimer;
class QTreeWidgetItem;
class ViewerWindow;

// A scripted walk through the viewer that saves one picture per step: the
// log-in dialog filled in, the operator logged in, the library unfolded at a
// picture, the search list, the picture's latest version opened with its
// note book marks, the icon palette browsed, an icon's tip, a refused
// second log-in, and the log-out that leaves no picture to see. Each step and every signal the views send is written to the
// log, one line each, so a script can check what happened.
class ViewerTour : public QObject
{
    Q_OBJECT

public:
    struct Plan
    {
        QString user;
        QString password;
        QString application = QStringLiteral("SCADA");
        QString picture = QStringLiteral("北京变电站");
        QString search = QStringLiteral("BJ");
    };

    ViewerTour(ViewerWindow& window, const QString& directory, QTextStream& log);
    ~ViewerTour() override;

    // Runs the steps in order and stops at the first that fails; Error then
    // says which and why.
    bool Run(const Plan& plan);
    QString Error() const { return m_error; }
    QStringList Files() const { return m_shots.Files(); }

private:
    bool logInDialog(const Plan& plan);
    bool loggedIn(const Plan& plan);
    bool libraryUnfolded(const Plan& plan);
    bool searchList(const Plan& plan);
    bool versionOpened(const Plan& plan);
    bool iconsBrowsed();
    bool iconHovered();
    bool refusedLogIn(const Plan& plan);
    bool loggedOut(const Plan& plan);
    // The item of the picture when the library shows it unfolded; null otherwise.
    QTreeWidgetItem* unfoldedPicture(const QString& picture) const;
    // Saves the picture of step name when done; otherwise records why it failed.
    bool finish(const QString& name, bool done, const QString& why = QString());
    void answerBoxes();
    QListWidget* iconList() const;

    ViewerWindow& m_window;
    TourShots m_shots;
    QTextStream& m_log;
    QTimer* m_boxWatch; // child: closes message boxes the views open, after logging them
    QString m_step;
    QString m_error;
};
