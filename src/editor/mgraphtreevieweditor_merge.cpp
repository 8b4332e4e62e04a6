#include "mgraphtreevieweditor.h"

// Merging, exporting and importing a library database.
// Not built yet: each slot says so and changes nothing.

void MGraphTreeViewEditor::MergeDatabase()
{
    notBuilt("MergeDatabase");
}
