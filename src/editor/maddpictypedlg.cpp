#include "maddpictypedlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "mdbrecordpictype.h"
#include "mpicturecontent.h"
#include "okcancelrow.h"

MAddPictypeDlg::MAddPictypeDlg(MDBRecordPicType* record, QWidget* parent)
    : QDialog(parent), m_record(record), m_combo(new QComboBox), m_code(new QLineEdit)
{
    setWindowTitle(tr("picture types"));
    m_combo->setObjectName("typeCombo");
    m_code->setObjectName("codeEdit");
    m_code->setReadOnly(true);
    m_combo->addItems(MPictureContent::Instance()->GetPictypes());
    connect(m_combo, &QComboBox::currentTextChanged, this, &MAddPictypeDlg::TypeChanged);
    TypeChanged(m_combo->currentText());

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(tr("picture types:")), 0, 0);
    fields->addWidget(m_combo, 0, 1);
    fields->addWidget(new QLabel(tr("number:")), 1, 0);
    fields->addWidget(m_code, 1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(EditDialogs::OkCancelRow(this));
}

void MAddPictypeDlg::TypeChanged(const QString& text)
{
    // An unknown type (an empty list) shows no code rather than -1.
    const int code = MPictureContent::Instance()->PictypeCode(text);
    m_code->setText(code < 0 ? QString() : QString::number(code));
}

void MAddPictypeDlg::OkClicked()
{
    if (m_record) {
        m_record->name = m_combo->currentText();
        m_record->picTypeCode = quint8(m_code->text().toUInt());
    }
    accept();
}

void MAddPictypeDlg::CancelClicked()
{
    reject();
}
