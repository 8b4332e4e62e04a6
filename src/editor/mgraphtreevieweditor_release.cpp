#include "mgraphtreevieweditor.h"

// Release, drafts and versions.
// Not built yet: each slot says so and changes nothing.

void MGraphTreeViewEditor::ReleasePicture()
{
    notBuilt("ReleasePicture");
}

void MGraphTreeViewEditor::CheckInDraft()
{
    notBuilt("CheckInDraft");
}

void MGraphTreeViewEditor::SaveAsDraft()
{
    notBuilt("SaveAsDraft");
}

void MGraphTreeViewEditor::ResetVersions()
{
    notBuilt("ResetVersions");
}

void MGraphTreeViewEditor::ResetPictureVersion()
{
    notBuilt("ResetPictureVersion");
}

bool MGraphTreeViewEditor::RefreshGraphTemplate(QString, int)
{
    notBuilt("RefreshGraphTemplate");
    return false;
}

void MGraphTreeViewEditor::SaveDraft(const QString& app, const QString& pic)
{
    if (app.isEmpty() && pic.isEmpty())
        return;
    notBuilt("SaveDraft");
}

int MGraphTreeViewEditor::GetLatestVersion(const QString&, const QString&)
{
    notBuilt("GetLatestVersion");
    return -1;
}
