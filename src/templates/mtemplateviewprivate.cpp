#include "mtemplateviewprivate.h"

#include <QIcon>
#include <QLayout>

#include "mabstractdbinterface.h"
#include "mdbinterfaceholder.h"
#include "mdbrecordtemptype.h"
#include "mmitr.h"
#include "mtemplatelist.h"

MTemplateViewPrivate::MTemplateViewPrivate(QWidget* parent)
    : QToolBox(parent), m_dbInterface(MDBInterfaceHolder::Instance()->GetInterface())
{
    setObjectName("templatePages");
    layout()->setSpacing(0);
    if (m_dbInterface)
        m_dbInterface->GetTemplateTypes(m_templateTypes.out());
    for (MDBRecordBase* record : m_templateTypes) {
        if (record->type != MDBRecordBase::RecordTemptype)
            continue;
        auto* type = static_cast<MDBRecordTemptype*>(record);
        const QString translated = mmi_tr(type->alias, QString());
        addItem(new MTemplateList(type, this), QIcon(), translated.isEmpty() ? type->alias : translated);
    }
    WidgetChanged();
    connect(this, &QToolBox::currentChanged, this, &MTemplateViewPrivate::WidgetChanged);
}

MTemplateViewPrivate::~MTemplateViewPrivate() = default;

MTemplateList* MTemplateViewPrivate::Page(int index) const
{
    return qobject_cast<MTemplateList*>(widget(index));
}

void MTemplateViewPrivate::WidgetChanged()
{
    if (MTemplateList* page = CurrentPage())
        page->Fill();
}
