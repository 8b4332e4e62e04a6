#include "mcustominputdialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

MCustomInputDialog::MCustomInputDialog(QWidget* parent)
    : QDialog(parent),
      m_pictureName(new QLineEdit),
      m_substationLabel(new QLabel(tr("substation name:"))),
      m_substationName(new QLineEdit)
{
    m_pictureName->setObjectName("pictureNameEdit");
    m_substationLabel->setObjectName("substationLabel");
    m_substationName->setObjectName("substationNameEdit");

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(tr("picture name:")), 0, 0);
    fields->addWidget(m_pictureName, 0, 1);
    fields->addWidget(m_substationLabel, 1, 0);
    fields->addWidget(m_substationName, 1, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal);
    buttons->setObjectName("buttonBox");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(buttons);

    connect(qApp, &QApplication::focusChanged, this, &MCustomInputDialog::SlotFocusChanged);
}

QString MCustomInputDialog::PictureName() const
{
    return m_pictureName->text();
}

QString MCustomInputDialog::SubstationName() const
{
    return m_substationName->text();
}

void MCustomInputDialog::SetPictureName(const QString& name)
{
    m_pictureName->setText(name);
}

void MCustomInputDialog::SetSubstationName(const QString& name)
{
    m_substationName->setText(name);
}

void MCustomInputDialog::SetSubstationLabel(const QString& text)
{
    m_substationLabel->setText(text);
}

void MCustomInputDialog::SlotFocusChanged(QWidget* old, QWidget* now)
{
    Q_UNUSED(old);
    if (now == m_substationName && m_substationName->text().simplified().isEmpty())
        m_substationName->setText(m_pictureName->text());
}
