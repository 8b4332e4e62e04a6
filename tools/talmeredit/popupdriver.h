#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

class QWidget;

// Answers the menus and message boxes a step of a scripted session opens.
// Each of them runs its own event loop, so the step returns only once they
// are closed: a short timer watches for the active popup or modal window and
// hands it, from a queued call (so that a box opened by the answer is seen
// too), to the step's handler, which may picture it and must close it.
//
//   PopupDriver popups;
//   QString error = popups.Run([&] { action->trigger(); }, [&](QWidget* box) { ...; return QString(); });
class PopupDriver : public QObject
{
    Q_OBJECT

public:
    // Shoots and answers one popup; an error text, or empty when it was the
    // popup the step expected.
    using Handler = std::function<QString(QWidget* popup)>;

    explicit PopupDriver(QObject* parent = nullptr);

    // Runs step, giving each popup it opens to handler. Empty on success;
    // otherwise what went wrong (the handler's errors, a popup left open).
    QString Run(const std::function<void()>& step, const Handler& handler);
    // The popups handled by the last Run, as "class: text".
    QStringList Seen() const { return m_seen; }

    // The text a message box shows, or a menu's entries joined by " | ".
    static QString Describe(QWidget* popup);
    // Closes a popup as Escape would (a menu hides, a dialog rejects).
    static void Dismiss(QWidget* popup);

private:
    void poll();
    void handle(QPointer<QWidget> popup);
    static QWidget* activePopup();

    QTimer m_timer;
    Handler m_handler;
    QPointer<QWidget> m_last; // the popup handed over last
    QStringList m_errors;
    QStringList m_seen;
};
