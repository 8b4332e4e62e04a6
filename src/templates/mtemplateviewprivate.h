#pragma once

#include <QToolBox>

#include "recordlist.h"

class MAbstractDBInterface;
class MTemplateList;

// The pages of the template view: one per template type, in database order,
// titled by the type's translated alias. Built once; a page is refilled when it
// becomes current.
class MTemplateViewPrivate : public QToolBox
{
    Q_OBJECT

public:
    explicit MTemplateViewPrivate(QWidget* parent = nullptr);
    ~MTemplateViewPrivate() override;

    MAbstractDBInterface* DbInterface() const { return m_dbInterface; }
    MTemplateList* Page(int index) const;
    MTemplateList* CurrentPage() const { return Page(currentIndex()); }

Q_SIGNALS:
    // type is the template type's alias (its folder), name the template's.
    void TemplateClicked(const QString& type, const QString& name);
    void TemplateDoubleClicked(const QString& type, const QString& name);

public Q_SLOTS:
    void WidgetChanged();

private:
    MAbstractDBInterface* m_dbInterface; // not owned: the process-wide interface
    RecordList m_templateTypes;          // owned; the pages point into it
};
