#pragma once

#include <QPointer>

#include "mabstracticonviewonline.h"

class MIconListOnline;
class MIconOnlineTree;

// The icon palette of a drawing window: the type tree above the icon list.
class MIconViewOnline : public MAbstractIconViewOnline
{
    Q_OBJECT

public:
    explicit MIconViewOnline(QWidget* parent = nullptr, Qt::WindowFlags f = Qt::WindowFlags());
    ~MIconViewOnline() override;

    M_DECLARE_TRUTF8

    bool GetDefaultIcon(const QString& type, QString& uuid, int& shapeType) override;

    MIconOnlineTree* Tree() const;
    MIconListOnline* List() const;

public Q_SLOTS:
    void SendSelected(const QString& type, const QString& iconName, const QString& uuid, int shape);

private:
    QPointer<MIconOnlineTree> m_tree; // owned by the view
    QPointer<MIconListOnline> m_list; // owned by the view
};
