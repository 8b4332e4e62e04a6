#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

class QFileDialog;
class QInputDialog;

namespace TestSupport {

// Answers the modal dialogs that production code opens through Qt's static
// functions (QMessageBox, QInputDialog, QFileDialog), in the order the answers
// were queued. A dialog that comes when no answer is queued, or of another kind
// than the next answer, is rejected and reported, so a test fails instead of
// hanging. Progress dialogs are left alone unless cancelProgress() asks for
// their cancel.
//
//   DialogDriver dialogs;
//   dialogs.pressButton(QMessageBox::Yes, "increase version").enterText("new name");
//   view->ReleasePicture();
//   DIALOGS_DONE(dialogs);
class DialogDriver : public QObject
{
    Q_OBJECT

public:
    enum class Kind { MessageBox, InputDialog, FileDialog, Other };

    struct Seen
    {
        Kind kind;
        QString title;
        QString text; // a message box's text, an input dialog's label
    };

    explicit DialogDriver(QObject* parent = nullptr);
    ~DialogDriver() override;

    // Message box: press this button. With expectText, the box's text (or its
    // title) must contain it.
    DialogDriver& pressButton(QMessageBox::StandardButton button, const QString& expectText = {});
    // Input dialog: type this text (or number) and press OK.
    DialogDriver& enterText(const QString& text, const QString& expectLabel = {});
    // Input dialog with a list: choose this item and press OK.
    DialogDriver& chooseItem(const QString& item, const QString& expectLabel = {});
    DialogDriver& cancelInput();
    // File dialogs: choose an existing file, several files of one folder, a
    // folder, or cancel.
    DialogDriver& chooseFile(const QString& path);
    DialogDriver& chooseFiles(const QStringList& paths);
    DialogDriver& chooseDirectory(const QString& path);
    DialogDriver& cancelFileDialog();
    // Any other modal dialog of that class (a QDialog subclass of the library):
    // act fills and accepts or rejects it, returning an error text or empty.
    DialogDriver& answerDialog(const char* className, std::function<QString(QWidget*)> act);

    // Progress dialog: press its cancel button as soon as its value reaches
    // atValue (the work it shows has set that value), once. Seen from the
    // moment the dialog shows, so no value passes unseen.
    DialogDriver& cancelProgress(int atValue);
    // Records what progress dialogs show (progressSeen) without cancelling.
    DialogDriver& watchProgress();
    // The label texts and values a progress dialog showed ("label=value").
    const QStringList& progressSeen() const { return m_progressSeen; }

    // True when every queued answer was used, every dialog answered as asked and
    // none stayed open; otherwise report() says what went wrong. Closes any modal
    // dialog still open, and stops answering.
    bool finish();
    QString report() const { return m_errors.join("\n"); }
    const QList<Seen>& seen() const { return m_seen; }
    int pendingAnswers() const { return int(m_answers.size()); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void followProgress(QWidget* dialog);

    struct Answer
    {
        Kind kind;
        QByteArray className; // for Kind::Other
        QString description;
        // Answers the dialog; returns an error text, empty on success.
        std::function<QString(QWidget*)> act;
    };

    DialogDriver& queue(Kind kind, const QString& description, std::function<QString(QWidget*)> act);
    void poll();
    void handle(QPointer<QWidget> dialog);
    void fail(const QString& error, QWidget* dialog);
    static QString describe(QWidget* dialog);

    QTimer m_timer;
    QList<Answer> m_answers;
    QList<Seen> m_seen;
    QStringList m_errors;
    bool m_handling = false;
    QPointer<QWidget> m_lastAnswered;
    int m_ticksStillOpen = 0;
    int m_cancelAt = -1; // -1: no cancel asked for
    bool m_cancelled = false;
    QStringList m_progressSeen;
};

} // namespace TestSupport

#define DIALOGS_DONE(driver) QVERIFY2((driver).finish(), qPrintable((driver).report()))
