#pragma once

#include <QString>
#include <QWidget>

#include "mtranslate.h"
#include "talmer_export.h"

// The icon library editor as the graph editor host sees it.
class TALMER_EXPORT MAbstractIconViewEditor : public QWidget
{
    Q_OBJECT

public:
    explicit MAbstractIconViewEditor(QWidget* parent = nullptr, Qt::WindowFlags f = Qt::WindowFlags());
    ~MAbstractIconViewEditor() override;

    M_DECLARE_TRUTF8

    // Name, catalog id and shape type of the current icon type; the outputs stay
    // unchanged when no type is current.
    virtual void GetCurrentType(QString& name, int& catId, int& shapeType) = 0;
    // Selects the icon type of that name unless its item is already expanded.
    virtual void SelectType(const QString& name) = 0;
    // Records an icon file the host has saved in the icon library.
    virtual void RegisterIcon(const QString& type, const QString& iconName, const QString& uuid) = 0;

Q_SIGNALS:
    void IconSelected(const QString& type, const QString& iconName, const QString& uuid);
    void IconDeleted(const QString& type, const QString& iconName, const QString& uuid);
    void IconNew(const QString& type, int typeCode, int shapeType);
    void TypeSelected(const QString& type);
    void IconRenamed(const QString& type, const QString& oldname, const QString& newname, const QString& uuid);
};
