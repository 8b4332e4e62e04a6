#include "logindialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

LoginDialog::LoginDialog(Check check, QWidget* parent)
    : QDialog(parent), m_check(std::move(check)), m_user(new QLineEdit), m_password(new QLineEdit), m_refusal(new QLabel)
{
    setWindowTitle(tr("Log in"));
    m_user->setObjectName("userEdit");
    m_password->setObjectName("passwordEdit");
    m_password->setEchoMode(QLineEdit::Password);
    m_refusal->setObjectName("refusalLabel");
    m_refusal->setStyleSheet("color: #b00020;");
    m_refusal->setWordWrap(true);
    m_refusal->hide();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Log in"));
    connect(buttons, &QDialogButtonBox::accepted, this, &LoginDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &LoginDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(tr("Operator:"), m_user);
    form->addRow(tr("Password:"), m_password);
    form->addRow(m_refusal);
    form->addRow(buttons);
}

QString LoginDialog::User() const
{
    return m_user->text();
}

void LoginDialog::Fill(const QString& user, const QString& password)
{
    m_user->setText(user);
    m_password->setText(password);
}

QString LoginDialog::Refusal() const
{
    return m_refusal->isHidden() ? QString() : m_refusal->text();
}

void LoginDialog::accept()
{
    QString why;
    const bool accepted = m_check && m_check(m_user->text(), m_password->text(), why);
    m_password->clear(); // no password stays in the widget longer than the check
    if (!accepted) {
        m_refusal->setText(why.isEmpty() ? tr("Log-in refused.") : why);
        m_refusal->show();
        m_password->setFocus();
        return;
    }
    m_refusal->hide();
    QDialog::accept();
}

void LoginDialog::showEvent(QShowEvent* event)
{
    // Each opening starts afresh; a refusal belongs to the attempt before.
    m_refusal->hide();
    QDialog::showEvent(event);
}
