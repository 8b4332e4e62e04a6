#pragma once

#include "mabstracttemplateview.h"

class MTemplateViewPrivate;
class TemplateMap;

// The template library of the graph editor: a page per template type above a
// preview of the template clicked last. Asking to edit a template emits
// EditTemplate with the path of its ".xtp" file, which the host opens; the
// view itself writes only records.
class MTemplateView : public MAbstractTemplateView
{
    Q_OBJECT

public:
    explicit MTemplateView(QWidget* parent = nullptr);
    ~MTemplateView() override;

    // The titles of the pages, in page order.
    QStringList TemplateTypeNames() override;
    // Records templateName under every page whose type has the record name, or
    // the page title, typeName (a template already recorded there is kept, not
    // doubled) and refills the current page. Returns the number of pages, or -1
    // when no page matched or the name cannot name a file.
    int RegisterTemplate(const QString& templateName, const QString& typeName) override;

    MTemplateViewPrivate* Pages() const { return m_pages; }
    TemplateMap* Map() const { return m_map; }

public Q_SLOTS:
    void TemplateClicked(const QString& type, const QString& name);
    void SendTemplateSelect(const QString& type, const QString& name);

private:
    MTemplateViewPrivate* m_pages; // child
    TemplateMap* m_map;            // child
};
