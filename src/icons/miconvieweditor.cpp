#include "miconvieweditor.h"

#include <QScrollArea>
#include <QVBoxLayout>

#include "miconboxeditor.h"

MIconViewEditor::MIconViewEditor(QWidget* parent, Qt::WindowFlags f)
    : MAbstractIconViewEditor(parent, f), m_box(new MIconBoxEditor)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setWidget(m_box);
    layout->addWidget(scroll);
    connect(m_box, &MIconBoxEditor::IconSelected, this, &MIconViewEditor::SendIconSelected);
    connect(m_box, &MIconBoxEditor::IconDeleted, this, &MIconViewEditor::SendIconDeleted);
    connect(m_box, &MIconBoxEditor::TypeSelected, this, &MIconViewEditor::SendTypeSelected);
    connect(m_box, &MIconBoxEditor::IconNew, this, &MIconViewEditor::SendIconNew);
    connect(m_box, &MIconBoxEditor::IconRenamed, this, &MIconViewEditor::SendIconRenamed);
}

MIconViewEditor::~MIconViewEditor() = default;

void MIconViewEditor::GetCurrentType(QString& type, int& catId, int& shapeType)
{
    m_box->GetCurrentType(type, catId, shapeType);
}

void MIconViewEditor::SelectType(const QString& type)
{
    m_box->SelectType(type);
}

void MIconViewEditor::RegisterIcon(const QString& type, const QString& iconName, const QString& uuid)
{
    m_box->RegisterIcon(type, iconName, uuid);
}

void MIconViewEditor::SendIconSelected(const QString& type, const QString& iconName, const QString& uuid)
{
    emit IconSelected(type, iconName, uuid);
}

void MIconViewEditor::SendIconDeleted(const QString& type, const QString& iconName, const QString& uuid)
{
    emit IconDeleted(type, iconName, uuid);
}

void MIconViewEditor::SendTypeSelected(const QString& type)
{
    emit TypeSelected(type);
}

void MIconViewEditor::SendIconNew(const QString& type, int typeCode, int shapeType)
{
    emit IconNew(type, typeCode, shapeType);
}

void MIconViewEditor::SendIconRenamed(const QString& type, const QString& oldname, const QString& newname,
                                      const QString& uuid)
{
    emit IconRenamed(type, oldname, newname, uuid);
}
