#pragma once

#include <QString>
#include <QWidget>

#include "mtranslate.h"
#include "talmer_export.h"

// The icon library as the drawing windows pick icons from it.
class TALMER_EXPORT MAbstractIconViewOnline : public QWidget
{
    Q_OBJECT

public:
    explicit MAbstractIconViewOnline(QWidget* parent = nullptr, Qt::WindowFlags f = Qt::WindowFlags());
    ~MAbstractIconViewOnline() override;

    M_DECLARE_TRUTF8

    // The default icon of an icon type; false when the type has none.
    virtual bool GetDefaultIcon(const QString& type, QString& uuid, int& shapeType) = 0;

Q_SIGNALS:
    // Also offered as IconSelected(QString,QString,QString), with shapeType 0.
    void IconSelected(const QString& type, const QString& iconName, const QString& uuid, int shapeType = 0);
};
