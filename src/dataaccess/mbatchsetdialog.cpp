#include "mbatchsetdialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

namespace {

constexpr int kMaxPrivilege = 255;

} // namespace

MBatchSetDialog::MBatchSetDialog(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("batch setting"));
    auto* grid = new QGridLayout(this);
    m_inner = new QSpinBox(this);
    m_web = new QSpinBox(this);
    m_inner->setObjectName("innerPrivilege");
    m_web->setObjectName("webPrivilege");
    m_inner->setRange(0, kMaxPrivilege);
    m_web->setRange(0, kMaxPrivilege);
    grid->addWidget(new QLabel(tr("inner privilege"), this), 0, 0);
    grid->addWidget(m_inner, 0, 1);
    grid->addWidget(new QLabel(tr("web privilege"), this), 1, 0);
    grid->addWidget(m_web, 1, 1);
    auto* buttons = new QHBoxLayout;
    auto* cancel = new QPushButton(tr("Cancel"), this);
    auto* ok = new QPushButton(tr("Ok"), this);
    ok->setDefault(true);
    buttons->addWidget(cancel);
    buttons->addWidget(ok);
    grid->addLayout(buttons, 2, 0, 1, 2);
    connect(ok, &QPushButton::clicked, this, &MBatchSetDialog::OkClicked);
    connect(cancel, &QPushButton::clicked, this, &MBatchSetDialog::CancelClicked);
}

void MBatchSetDialog::GetValues(int& innerPrivilege, int& webPrivilege) const
{
    innerPrivilege = m_inner->value();
    webPrivilege = m_web->value();
}

void MBatchSetDialog::OkClicked()
{
    accept();
}

void MBatchSetDialog::CancelClicked()
{
    reject();
}
