#include "mgraphtreevieweditor.h"

#include "mdbrecordapplication.h"
#include "mgraphmergedialog.h"
#include "mgraphtreeitem.h"

// Merging, exporting and importing a library database.

void MGraphTreeViewEditor::MergeDatabase()
{
    MGraphTreeItem* item = MGraphTreeItem::From(currentItem());
    if (!item || item->Kind() != MDBRecordBase::RecordApplication || !item->Record())
        return;
    // The dialog copies the record: a reload of the tree may delete the item's.
    const QString application = item->Record()->name;
    MGraphMergeDialog dialog(DBInterface(), *static_cast<MDBRecordApplication*>(item->Record()), this, this);
    dialog.exec();
    // Show what the merge added; the application's item may be a new one by now.
    if (MGraphTreeItem* reloaded = ApplicationItem(application))
        ReloadChildren(reloaded);
}
