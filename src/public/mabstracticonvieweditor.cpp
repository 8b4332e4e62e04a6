#include "mabstracticonvieweditor.h"

MAbstractIconViewEditor::MAbstractIconViewEditor(QWidget* parent, Qt::WindowFlags f)
    : QWidget(parent, f)
{
}

MAbstractIconViewEditor::~MAbstractIconViewEditor() = default;
