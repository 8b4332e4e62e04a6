#include "propertydialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QMessageBox>
#include <QSpinBox>

#include "mgraphdataaccess.h"

namespace {

QSpinBox* codeBox(int value, QWidget* parent)
{
    auto* box = new QSpinBox(parent);
    box->setRange(0, 1000000);
    box->setValue(value);
    return box;
}

} // namespace

PropertyDialog::PropertyDialog(const QString& app, const QString& pic, QWidget* parent)
    : QDialog(parent), m_app(app), m_pic(pic)
{
    setWindowTitle(tr("Properties of %1").arg(pic));
    int in = 0, out = 0;
    unsigned long area = 0;
    m_loaded = MGraphDataAccess::Instance()->GetGraphInfo(app, pic, in, area, out);
    m_inPrivilege = codeBox(in, this);
    m_outPrivilege = codeBox(out, this);
    m_area = codeBox(int(area), this);
    auto* form = new QFormLayout(this);
    form->addRow(tr("privilege inside the station network"), m_inPrivilege);
    form->addRow(tr("privilege from the outer network"), m_outPrivilege);
    form->addRow(tr("area of responsibility"), m_area);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &PropertyDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PropertyDialog::reject);
    form->addRow(buttons);
}

void PropertyDialog::accept()
{
    if (!MGraphDataAccess::Instance()->SetGraphInfo(m_app, m_pic, m_inPrivilege->value(), m_area->value(),
                                                    m_outPrivilege->value())) {
        QMessageBox::warning(this, windowTitle(), tr("The properties of %1 could not be stored.").arg(m_pic));
        return;
    }
    QDialog::accept();
}
