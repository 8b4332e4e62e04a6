#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;

// Asks for an operator's name and password. The dialog closes with Accepted
// only when the check it was given takes them; a refusal is shown in the
// dialog, the password field is emptied and the dialog stays open.
class LoginDialog : public QDialog
{
    Q_OBJECT

public:
    // True when user may log in with password; otherwise why says what went wrong.
    using Check = std::function<bool(const QString& user, const QString& password, QString& why)>;

    explicit LoginDialog(Check check, QWidget* parent = nullptr);

    QString User() const;
    // Fills the fields as an operator would type them.
    void Fill(const QString& user, const QString& password);
    // Why the last attempt was refused; empty after a success or before any.
    QString Refusal() const;

public Q_SLOTS:
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    Check m_check;
    QLineEdit* m_user;     // child
    QLineEdit* m_password; // child
    QLabel* m_refusal;     // child
};
