#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include "mtranslate.h"
#include "talmer_export.h"

// The template library as the graph editor host sees it.
class TALMER_EXPORT MAbstractTemplateView : public QWidget
{
    Q_OBJECT

public:
    explicit MAbstractTemplateView(QWidget* parent = nullptr);
    ~MAbstractTemplateView() override;

    M_DECLARE_TRUTF8

    // The names of the template types the view shows.
    virtual QStringList TemplateTypeNames() = 0;
    // Records a new template of that type (named by its record name or its
    // title) in the template library: non-negative when a type matched, -1
    // when none did or the name cannot name a template file.
    virtual int RegisterTemplate(const QString& templateName, const QString& templateTypeName) = 0;

Q_SIGNALS:
    void TemplateSelected(const QString& templateName);
    void EditTemplate(const QString& templateName);
};
