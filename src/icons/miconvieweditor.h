#pragma once

#include "mabstracticonvieweditor.h"

class MIconBoxEditor;

// The icon library editor the graph editor host embeds: the icon tree in a
// scroll area, its signals passed on as the host's.
class MIconViewEditor : public MAbstractIconViewEditor
{
    Q_OBJECT

public:
    explicit MIconViewEditor(QWidget* parent = nullptr, Qt::WindowFlags f = Qt::WindowFlags());
    ~MIconViewEditor() override;

    M_DECLARE_TRUTF8

    void GetCurrentType(QString& type, int& catId, int& shapeType) override;
    void SelectType(const QString& type) override;
    void RegisterIcon(const QString& type, const QString& iconName, const QString& uuid) override;

    MIconBoxEditor* Box() const { return m_box; }

public Q_SLOTS:
    void SendIconSelected(const QString& type, const QString& iconName, const QString& uuid);
    void SendIconDeleted(const QString& type, const QString& iconName, const QString& uuid);
    void SendTypeSelected(const QString& type);
    void SendIconNew(const QString& type, int typeCode, int shapeType);
    void SendIconRenamed(const QString& type, const QString& oldname, const QString& newname, const QString& uuid);

private:
    MIconBoxEditor* m_box; // owned by the scroll area
};
