#include "mtemplateview.h"

#include <QGroupBox>
#include <QScrollArea>
#include <QVBoxLayout>

#include "mdbaccesshelper.h"
#include "mdbrecordtemptype.h"
#include "mtemplatelist.h"
#include "mtemplateviewprivate.h"
#include "templatefiles.h"
#include "templatemap.h"

namespace {

constexpr int kMapMinimumHeight = 150;

} // namespace

MTemplateView::MTemplateView(QWidget* parent)
    : MAbstractTemplateView(parent), m_pages(new MTemplateViewPrivate), m_map(new TemplateMap)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setWidget(m_pages);
    layout->addWidget(scroll);
    auto* box = new QGroupBox(this);
    auto* boxLayout = new QVBoxLayout(box);
    m_map->setObjectName("templateMap");
    m_map->setMinimumHeight(kMapMinimumHeight);
    boxLayout->addWidget(m_map);
    layout->addWidget(box);
    connect(m_pages, &MTemplateViewPrivate::TemplateClicked, this, &MTemplateView::TemplateClicked);
    connect(m_pages, &MTemplateViewPrivate::TemplateDoubleClicked, this, &MTemplateView::SendTemplateSelect);
}

MTemplateView::~MTemplateView() = default;

QStringList MTemplateView::TemplateTypeNames()
{
    QStringList titles;
    for (int i = 0; i < m_pages->count(); ++i)
        titles << m_pages->itemText(i);
    return titles;
}

int MTemplateView::RegisterTemplate(const QString& templateName, const QString& typeName)
{
    // The host saved a file of that name; a name that cannot be one is refused.
    if (!MDbAccessHelper::NameProblem(templateName, MDbAccessHelper::PictureName).isEmpty())
        return -1;
    int matched = 0;
    for (int i = 0; i < m_pages->count(); ++i) {
        MTemplateList* page = m_pages->Page(i);
        if (!page || !page->TypeRecord()
            || (page->TypeRecord()->name != typeName && m_pages->itemText(i) != typeName))
            continue;
        ++matched;
        if (!page->HasTemplate(templateName))
            page->InsertTemplate(templateName);
        if (i == m_pages->currentIndex())
            page->Fill();
    }
    return matched > 0 ? m_pages->count() : -1;
}

void MTemplateView::TemplateClicked(const QString& type, const QString& name)
{
    m_map->SetTemplate(type, name);
}

void MTemplateView::SendTemplateSelect(const QString& type, const QString& name)
{
    const QString path = TemplateFiles::FilePath(type, name);
    if (!path.isEmpty())
        emit EditTemplate(path);
}
