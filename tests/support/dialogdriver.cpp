#include "dialogdriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QProgressBar>
#include <QProgressDialog>

namespace TestSupport {

namespace {

constexpr int kPollMs = 10;
// An answered dialog still open after this many polls did not take the answer
// (a file dialog refusing a missing file, say).
constexpr int kStillOpenPolls = 50;

DialogDriver::Kind kindOf(QWidget* w)
{
    if (qobject_cast<QMessageBox*>(w))
        return DialogDriver::Kind::MessageBox;
    if (qobject_cast<QInputDialog*>(w))
        return DialogDriver::Kind::InputDialog;
    if (qobject_cast<QFileDialog*>(w))
        return DialogDriver::Kind::FileDialog;
    return DialogDriver::Kind::Other;
}

QString kindName(DialogDriver::Kind kind)
{
    switch (kind) {
    case DialogDriver::Kind::MessageBox: return "message box";
    case DialogDriver::Kind::InputDialog: return "input dialog";
    case DialogDriver::Kind::FileDialog: return "file dialog";
    case DialogDriver::Kind::Other: return "dialog";
    }
    return {};
}

QString textOf(QWidget* w)
{
    if (auto* box = qobject_cast<QMessageBox*>(w))
        return box->text();
    if (auto* input = qobject_cast<QInputDialog*>(w))
        return input->labelText();
    return {};
}

QString acceptFileDialog(QFileDialog* dialog, const QString& typed)
{
    auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
    if (!edit)
        return "the file dialog has no file name field (is it native?)";
    edit->setText(typed);
    static_cast<QDialog*>(dialog)->accept();
    return {};
}

} // namespace

DialogDriver::DialogDriver(QObject* parent)
    : QObject(parent)
{
    m_timer.setInterval(kPollMs);
    connect(&m_timer, &QTimer::timeout, this, &DialogDriver::poll);
    m_timer.start();
}

DialogDriver::~DialogDriver()
{
    m_timer.stop();
    qApp->removeEventFilter(this);
}

DialogDriver& DialogDriver::cancelProgress(int atValue)
{
    m_cancelAt = atValue;
    m_cancelled = false;
    return watchProgress();
}

DialogDriver& DialogDriver::watchProgress()
{
    qApp->removeEventFilter(this); // installed once
    qApp->installEventFilter(this);
    return *this;
}

bool DialogDriver::eventFilter(QObject* watched, QEvent* event)
{
    // A progress dialog is shown by the work it reports on, in the middle of
    // it: the poll may come too late, the show event does not.
    if (event->type() == QEvent::Show) {
        if (auto* progress = qobject_cast<QProgressDialog*>(watched))
            followProgress(progress);
    }
    return QObject::eventFilter(watched, event);
}

void DialogDriver::followProgress(QWidget* dialog)
{
    auto* progress = static_cast<QProgressDialog*>(dialog);
    auto* bar = progress->findChild<QProgressBar*>();
    if (!bar || bar->property("talmerDriverWatched").toBool())
        return;
    bar->setProperty("talmerDriverWatched", true);
    const auto look = [this, progress = QPointer<QProgressDialog>(progress)](int value) {
        if (!progress || value < 0) // a reset, not progress
            return;
        m_progressSeen << progress->labelText() + "=" + QString::number(value);
        if (m_cancelAt >= 0 && !m_cancelled && value >= m_cancelAt) {
            m_cancelled = true;
            progress->cancel();
        }
    };
    connect(bar, &QProgressBar::valueChanged, this, look);
    look(bar->value());
}

DialogDriver& DialogDriver::queue(Kind kind, const QString& description,
                                  std::function<QString(QWidget*)> act)
{
    m_answers.append({kind, QByteArray(), description, std::move(act)});
    return *this;
}

DialogDriver& DialogDriver::answerDialog(const char* className, std::function<QString(QWidget*)> act)
{
    m_answers.append({Kind::Other, QByteArray(className), QString("answer a ") + className, std::move(act)});
    return *this;
}

DialogDriver& DialogDriver::pressButton(QMessageBox::StandardButton button, const QString& expectText)
{
    return queue(Kind::MessageBox, QString("press button 0x%1").arg(int(button), 0, 16),
                 [button, expectText](QWidget* w) -> QString {
        auto* box = static_cast<QMessageBox*>(w);
        if (!expectText.isEmpty() && !box->text().contains(expectText)
            && !box->windowTitle().contains(expectText))
            return QString("message box '%1' does not say '%2'").arg(box->text(), expectText);
        QAbstractButton* b = box->button(button);
        if (!b)
            return QString("message box '%1' has no button 0x%2")
                .arg(box->text()).arg(int(button), 0, 16);
        b->click();
        return {};
    });
}

DialogDriver& DialogDriver::enterText(const QString& text, const QString& expectLabel)
{
    return queue(Kind::InputDialog, "enter '" + text + "'", [text, expectLabel](QWidget* w) -> QString {
        auto* input = static_cast<QInputDialog*>(w);
        if (!expectLabel.isEmpty() && !input->labelText().contains(expectLabel))
            return QString("input dialog '%1' does not say '%2'").arg(input->labelText(), expectLabel);
        switch (input->inputMode()) {
        case QInputDialog::IntInput: {
            bool ok = false;
            const int value = text.toInt(&ok);
            if (!ok)
                return "'" + text + "' is not a number for an integer input dialog";
            input->setIntValue(value);
            break;
        }
        case QInputDialog::DoubleInput:
            input->setDoubleValue(text.toDouble());
            break;
        case QInputDialog::TextInput:
            input->setTextValue(text);
            break;
        }
        input->accept();
        return {};
    });
}

DialogDriver& DialogDriver::chooseItem(const QString& item, const QString& expectLabel)
{
    return queue(Kind::InputDialog, "choose '" + item + "'", [item, expectLabel](QWidget* w) -> QString {
        auto* input = static_cast<QInputDialog*>(w);
        if (!expectLabel.isEmpty() && !input->labelText().contains(expectLabel))
            return QString("input dialog '%1' does not say '%2'").arg(input->labelText(), expectLabel);
        if (!input->comboBoxItems().contains(item))
            return QString("input dialog offers no item '%1' (it offers: %2)")
                .arg(item, input->comboBoxItems().join(", "));
        input->setTextValue(item);
        input->accept();
        return {};
    });
}

DialogDriver& DialogDriver::cancelInput()
{
    return queue(Kind::InputDialog, "cancel", [](QWidget* w) -> QString {
        static_cast<QInputDialog*>(w)->reject();
        return {};
    });
}

DialogDriver& DialogDriver::chooseFile(const QString& path)
{
    return chooseFiles({path});
}

DialogDriver& DialogDriver::chooseFiles(const QStringList& paths)
{
    return queue(Kind::FileDialog, "choose " + paths.join(", "), [paths](QWidget* w) -> QString {
        auto* dialog = static_cast<QFileDialog*>(w);
        if (paths.isEmpty())
            return "no file to choose";
        const QString folder = QFileInfo(paths.first()).absolutePath();
        QStringList names;
        for (const QString& p : paths) {
            if (QFileInfo(p).absolutePath() != folder)
                return "files chosen together must share a folder";
            names << QFileInfo(p).fileName();
        }
        dialog->setDirectory(folder);
        if (names.size() == 1)
            return acceptFileDialog(dialog, names.first());
        return acceptFileDialog(dialog, "\"" + names.join("\" \"") + "\"");
    });
}

DialogDriver& DialogDriver::chooseDirectory(const QString& path)
{
    return queue(Kind::FileDialog, "choose folder " + path, [path](QWidget* w) -> QString {
        auto* dialog = static_cast<QFileDialog*>(w);
        dialog->setDirectory(path);
        return acceptFileDialog(dialog, QString());
    });
}

DialogDriver& DialogDriver::cancelFileDialog()
{
    return queue(Kind::FileDialog, "cancel", [](QWidget* w) -> QString {
        static_cast<QDialog*>(w)->reject();
        return {};
    });
}

void DialogDriver::poll()
{
    if (m_handling)
        return;
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog || qobject_cast<QProgressDialog*>(dialog))
        return;
    if (dialog == m_lastAnswered) {
        if (++m_ticksStillOpen >= kStillOpenPolls)
            fail("dialog stayed open after its answer: " + describe(dialog), dialog);
        return;
    }
    // Answer from a queued call, not from inside the timer: a dialog the answer
    // opens must find the timer free to see it.
    m_handling = true;
    QTimer::singleShot(0, this, [this, target = QPointer<QWidget>(dialog)] { handle(target); });
}

void DialogDriver::handle(QPointer<QWidget> dialog)
{
    m_handling = false;
    if (!dialog || !dialog->isVisible())
        return;
    const Kind kind = kindOf(dialog);
    m_seen.append({kind, dialog->windowTitle(), textOf(dialog)});
    if (m_answers.isEmpty()) {
        fail("unexpected " + describe(dialog), dialog);
        return;
    }
    const Answer answer = m_answers.takeFirst();
    if (answer.kind != kind || (kind == Kind::Other && !dialog->inherits(answer.className.constData()))) {
        fail(QString("expected a %1 to %2, got %3")
                 .arg(kindName(answer.kind), answer.description, describe(dialog)), dialog);
        return;
    }
    m_lastAnswered = dialog;
    m_ticksStillOpen = 0;
    const QString error = answer.act(dialog);
    if (!error.isEmpty())
        fail(error, dialog);
}

void DialogDriver::fail(const QString& error, QWidget* dialog)
{
    m_errors << error;
    m_lastAnswered = nullptr;
    if (auto* d = qobject_cast<QDialog*>(dialog))
        d->reject();
    else if (dialog)
        dialog->close();
}

QString DialogDriver::describe(QWidget* dialog)
{
    const QString text = textOf(dialog);
    return QString("%1 '%2'%3").arg(QString::fromLatin1(dialog->metaObject()->className()),
                                     dialog->windowTitle(),
                                     text.isEmpty() ? QString() : " saying '" + text + "'");
}

bool DialogDriver::finish()
{
    m_timer.stop(); // a finished driver answers nothing more
    // Let a dialog that is just opening be seen and handled.
    QCoreApplication::processEvents();
    for (int closed = 0; closed < 10; ++closed) {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || qobject_cast<QProgressDialog*>(w))
            break;
        fail("dialog still open at the end: " + describe(w), w);
        QCoreApplication::processEvents();
    }
    if (m_cancelAt >= 0 && !m_cancelled)
        m_errors << QString("expected a progress dialog to cancel at %1, but none reached it").arg(m_cancelAt);
    m_cancelAt = -1;
    for (const Answer& a : std::as_const(m_answers))
        m_errors << QString("expected a %1 to %2, but none came").arg(kindName(a.kind), a.description);
    m_answers.clear();
    return m_errors.isEmpty();
}

} // namespace TestSupport
