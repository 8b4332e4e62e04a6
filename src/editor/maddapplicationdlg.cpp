#include "maddapplicationdlg.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "mappdict.h"
#include "mdbrecordbase.h"
#include "okcancelrow.h"

MAddApplicationDlg::MAddApplicationDlg(MDBRecordBase* record, QWidget* parent)
    : QDialog(parent), m_record(record), m_combo(new QComboBox)
{
    setWindowTitle(tr("apps"));
    m_combo->setObjectName("appCombo");
    m_combo->addItems(MAppDict::Instance()->GetAppNameList(false, 0));

    auto* group = new QGroupBox;
    auto* row = new QHBoxLayout(group);
    row->addWidget(new QLabel(tr("applications:")));
    row->addWidget(m_combo, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(EditDialogs::OkCancelRow(this));
}

void MAddApplicationDlg::OkClicked()
{
    if (m_record)
        m_record->name = m_combo->currentText();
    accept();
}

void MAddApplicationDlg::CancelClicked()
{
    reject();
}
