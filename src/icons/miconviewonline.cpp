#include "miconviewonline.h"

#include <QVBoxLayout>

#include "iconrules.h"
#include "mabstractdbinterface.h"
#include "mdbinterfaceholder.h"
#include "mdbrecordicontype.h"
#include "miconlistonline.h"
#include "micononlinetree.h"
#include "recordlist.h"

MIconViewOnline::MIconViewOnline(QWidget* parent, Qt::WindowFlags f)
    : MAbstractIconViewOnline(parent, f), m_tree(new MIconOnlineTree)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tree);
    m_list = new MIconListOnline(MDBInterfaceHolder::Instance()->GetInterface(), this);
    layout->addWidget(m_list);
    m_tree->SetList(m_list);
    connect(m_list, &MIconListOnline::ItemSelected, this, &MIconViewOnline::SendSelected);
}

MIconOnlineTree* MIconViewOnline::Tree() const
{
    return m_tree;
}

MIconListOnline* MIconViewOnline::List() const
{
    return m_list;
}

MIconViewOnline::~MIconViewOnline()
{
    delete m_list; // its items point into the tree's type records
    delete m_tree;
}

bool MIconViewOnline::GetDefaultIcon(const QString& type, QString& uuid, int& shapeType)
{
    for (MDBRecordBase* base : *m_tree->IconTypes()) {
        if (base->name != type)
            continue;
        shapeType = int(static_cast<MDBRecordIconType*>(base)->shapeType);
        RecordList icons;
        MDBInterfaceHolder::Instance()->GetInterface()->GetChildren(base, icons.out());
        return IconRules::DefaultIconUuid(icons.records(), uuid);
    }
    return false;
}

void MIconViewOnline::SendSelected(const QString& type, const QString& iconName, const QString& uuid, int shape)
{
    emit IconSelected(type, iconName, uuid, shape);
}
