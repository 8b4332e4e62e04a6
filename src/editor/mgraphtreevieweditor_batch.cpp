#include "mgraphtreevieweditor.h"

// Batch operations over a picture type or pictures.
// Not built yet: each slot says so and changes nothing.

void MGraphTreeViewEditor::RefreshOIDs()
{
    notBuilt("RefreshOIDs");
}

void MGraphTreeViewEditor::BatchSetProperty()
{
    notBuilt("BatchSetProperty");
}

void MGraphTreeViewEditor::TranslateText()
{
    notBuilt("TranslateText");
}

void MGraphTreeViewEditor::slotShareGraph()
{
    notBuilt("slotShareGraph");
}

void MGraphTreeViewEditor::slotCancelShareGraph()
{
    notBuilt("slotCancelShareGraph");
}
