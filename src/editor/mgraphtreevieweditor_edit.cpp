#include "mgraphtreevieweditor.h"

// Applications, picture types and pictures: adding, deleting, renaming, pasting, retyping.
// Not built yet: each slot says so and changes nothing.

void MGraphTreeViewEditor::DeleteApplication()
{
    notBuilt("DeleteApplication");
}

void MGraphTreeViewEditor::AddApplication()
{
    notBuilt("AddApplication");
}

void MGraphTreeViewEditor::DeletePictype()
{
    notBuilt("DeletePictype");
}

void MGraphTreeViewEditor::AddPictype()
{
    notBuilt("AddPictype");
}

void MGraphTreeViewEditor::DeletePicture()
{
    notBuilt("DeletePicture");
}

void MGraphTreeViewEditor::AddPicture()
{
    notBuilt("AddPicture");
}

void MGraphTreeViewEditor::RenamePicture()
{
    notBuilt("RenamePicture");
}

void MGraphTreeViewEditor::PastePicture()
{
    notBuilt("PastePicture");
}

void MGraphTreeViewEditor::ChangePictype()
{
    notBuilt("ChangePictype");
}

bool MGraphTreeViewEditor::ChangePicName(const QString&, const QString&, const QString&)
{
    notBuilt("ChangePicName");
    return false;
}

void MGraphTreeViewEditor::CreatePicture(const QString&, const QString&)
{
    notBuilt("CreatePicture");
}
