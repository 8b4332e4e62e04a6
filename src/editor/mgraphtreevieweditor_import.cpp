#include "mgraphtreevieweditor.h"

// Importing pictures from a folder or a file.
// Not built yet: each slot says so and changes nothing.

void MGraphTreeViewEditor::ImportFolderPic()
{
    notBuilt("ImportFolderPic");
}

void MGraphTreeViewEditor::ImportFilePic()
{
    notBuilt("ImportFilePic");
}
