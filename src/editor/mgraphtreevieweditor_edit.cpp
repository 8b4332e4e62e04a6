// The tree's commands that add, delete, rename, paste and retype library
// entries. The changes themselves are GraphLibraryEdit's; this file asks the
// engineer, reports, and reloads the level that changed.
#include "mgraphtreevieweditor.h"

#include <QInputDialog>
#include <QMessageBox>

#include "graphlibraryedit.h"
#include "mabstractdbinterface.h"
#include "maddapplicationdlg.h"
#include "maddpictypedlg.h"
#include "mcustominputdialog.h"
#include "mdbaccesshelper.h"
#include "mdbrecords.h"
#include "mdeploypaths.h"
#include "mgraphdoc.h"
#include "mgraphtreeitem.h"

namespace {

using Result = GraphLibraryEdit::Result;

// Picture types whose pictures belong to a substation (9: a feeder).
constexpr int kStationCode = 2;
constexpr int kFeederCode = 9;

QString tr(const char* text)
{
    return MGraphTreeViewEditor::tr(text);
}

// The item when it is a tree item of that record type; else null.
MGraphTreeItem* itemOf(QTreeWidgetItem* item, int recordType)
{
    MGraphTreeItem* treeItem = MGraphTreeItem::From(item);
    return treeItem && treeItem->Holds(recordType) ? treeItem : nullptr;
}

// A picture type item with its application item; false when item is not one.
bool typeAndApplication(QTreeWidgetItem* item, MGraphTreeItem*& type, MGraphTreeItem*& application)
{
    type = itemOf(item, MDBRecordBase::RecordPicType);
    application = type ? itemOf(type->parent(), MDBRecordBase::RecordApplication) : nullptr;
    return application;
}

// A picture item with its type and application items.
bool pictureItems(QTreeWidgetItem* item, MGraphTreeItem*& picture, MGraphTreeItem*& type,
                  MGraphTreeItem*& application)
{
    picture = itemOf(item, MDBRecordBase::RecordPicture);
    return picture && typeAndApplication(picture->parent(), type, application);
}

bool confirmed(QWidget* parent, const QString& question, const QString& name)
{
    return QMessageBox::warning(parent, tr("warning"), question + name + "?",
                                QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

// Shows what went wrong; true when the command did its work.
bool reported(QWidget* parent, const Result& result)
{
    switch (result.status) {
    case Result::Done:
        return true;
    case Result::Unchanged:
        return false;
    case Result::Taken:
        QMessageBox::information(parent, QString(), tr("Already existed!"));
        return false;
    case Result::Refused:
    case Result::Failed:
        QMessageBox::warning(parent, tr("warning"), result.message);
        return false;
    }
    return false;
}

int typeCode(const MGraphTreeItem* type)
{
    return static_cast<const MDBRecordPicType*>(type->Record())->picTypeCode;
}

// What the engineer typed for a new picture.
struct NewPicture
{
    QString name;
    QString station;
};

// Asks once; false when cancelled. withStation asks the substation (or the
// feeder, code 9) too, starting from station.
bool askOnce(MGraphTreeViewEditor* tree, bool withStation, int code, NewPicture& answer)
{
    if (!withStation) {
        bool ok = false;
        answer.name = QInputDialog::getText(tree, QString(), tr("picture name:"), QLineEdit::Normal, QString(), &ok);
        return ok;
    }
    MCustomInputDialog dialog(tree);
    if (code == kFeederCode)
        dialog.SetSubstationLabel(tr("feeder name:"));
    dialog.SetSubstationName(answer.station);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    answer.name = dialog.PictureName().simplified();
    answer.station = dialog.SubstationName().simplified();
    return true;
}

// Asks a new picture's name until one passes the name rule and is free in
// the application, or the engineer cancels (false).
bool askNewPicture(MGraphTreeViewEditor* tree, MGraphTreeItem* application, bool withStation, int code,
                   NewPicture& answer)
{
    MDbAccessHelper* rule = MDbAccessHelper::Instance();
    GraphLibraryEdit edit(tree->DBInterface());
    for (;;) {
        if (!askOnce(tree, withStation, code, answer))
            return false;
        // The prefix counts: a name that passes only without it is too long.
        answer.name = GraphLibraryEdit::PictureNameFrom(answer.name, *tree->NodeRecord());
        if (!rule->CheckName(answer.name, MDbAccessHelper::PictureName, true, nullptr))
            continue;
        if (withStation && !rule->CheckName(answer.station, MDbAccessHelper::SubstationName, true, nullptr))
            continue;
        if (!edit.PictureNameTaken(*application->Record(), answer.name))
            return true;
        QMessageBox::information(tree, QString(), tr("Already existed!"));
    }
}

// Opens the new picture's draft as a click would; a created (not pasted)
// picture is flagged as a new graph while it opens.
void openNewPicture(MGraphTreeViewEditor* tree, MGraphTreeItem* type, const QString& name, bool newGraph)
{
    tree->ReloadChildren(type);
    MGraphTreeItem* picture = MGraphTreeViewEditor::ChildNamed(type, name);
    if (!picture)
        return;
    tree->SetNewGraph(newGraph);
    tree->ExpandPicture(picture, true);
    tree->SetNewGraph(false);
}

void createIn(MGraphTreeViewEditor* tree, MGraphTreeItem* type, MGraphTreeItem* application, const QString& name)
{
    GraphLibraryEdit edit(tree->DBInterface());
    const Result created = edit.CreatePicture(*tree->NodeRecord(), *application->Record(),
                                              *static_cast<MDBRecordPicType*>(type->Record()), name);
    application->ShowRecord();
    type->ShowRecord();
    if (reported(tree, created))
        openNewPicture(tree, type, name, true);
}

} // namespace

void MGraphTreeViewEditor::AddApplication()
{
    if (!DBInterface() || !NodeRecord())
        return;
    MDBRecordApplication record;
    MAddApplicationDlg dialog(&record, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (reported(this, GraphLibraryEdit(DBInterface()).AddApplication(*NodeRecord(), record)))
        RefreshApplications();
}

void MGraphTreeViewEditor::DeleteApplication()
{
    MGraphTreeItem* application = itemOf(currentItem(), MDBRecordBase::RecordApplication);
    if (!application || !DBInterface() || !NodeRecord())
        return;
    if (!confirmed(this, tr("Are you sure to delete application:"), application->RawName()))
        return;
    if (reported(this, GraphLibraryEdit(DBInterface()).DeleteChild(*NodeRecord(), *application->Record())))
        RefreshApplications();
}

void MGraphTreeViewEditor::AddPictype()
{
    MGraphTreeItem* application = itemOf(currentItem(), MDBRecordBase::RecordApplication);
    if (!application || !DBInterface() || !NodeRecord())
        return;
    MDBRecordPicType record;
    MAddPictypeDlg dialog(&record, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const Result added = GraphLibraryEdit(DBInterface()).AddPictype(*NodeRecord(), *application->Record(), record);
    application->ShowRecord();
    if (reported(this, added))
        ReloadChildren(application);
}

void MGraphTreeViewEditor::DeletePictype()
{
    MGraphTreeItem *type = nullptr, *application = nullptr;
    if (!typeAndApplication(currentItem(), type, application) || !DBInterface())
        return;
    if (!confirmed(this, tr("Are you sure to delete picture type:"), type->RawName()))
        return;
    if (reported(this, GraphLibraryEdit(DBInterface()).DeleteChild(*application->Record(), *type->Record())))
        ReloadChildren(application);
}

void MGraphTreeViewEditor::AddPicture()
{
    MGraphTreeItem *type = nullptr, *application = nullptr;
    if (!typeAndApplication(currentItem(), type, application) || !DBInterface() || !NodeRecord())
        return;
    const int code = typeCode(type);
    const bool withStation = code == kStationCode || code == kFeederCode;
    NewPicture answer;
    if (!askNewPicture(this, application, withStation, code, answer))
        return;
    if (withStation)
        SetSubstationName(answer.station);
    createIn(this, type, application, answer.name);
}

void MGraphTreeViewEditor::CreatePicture(const QString& pictype, const QString& name)
{
    MGraphTreeItem *type = nullptr, *application = nullptr;
    if (!typeAndApplication(currentItem(), type, application) || type->RawName() != pictype || name.isEmpty()
        || !DBInterface() || !NodeRecord())
        return;
    createIn(this, type, application, name);
}

void MGraphTreeViewEditor::DeletePicture()
{
    MGraphTreeItem *picture = nullptr, *type = nullptr, *application = nullptr;
    if (!pictureItems(currentItem(), picture, type, application) || !DBInterface())
        return;
    const QString app = application->Record()->name;
    const QString name = picture->Record()->name;
    if (!confirmed(this, tr("Are you sure to delete picture:"), name))
        return;
    if (!reported(this, GraphLibraryEdit(DBInterface()).DeletePicture(*application->Record(), *type->Record(),
                                                                       *picture->Record())))
        return;
    // Reloaded first: a host answering the signal may rebuild the tree.
    ReloadChildren(type);
    Q_EMIT GraphDelected(app, name);
}

void MGraphTreeViewEditor::RenamePicture()
{
    MGraphTreeItem *picture = nullptr, *type = nullptr, *application = nullptr;
    if (!pictureItems(currentItem(), picture, type, application) || !DBInterface())
        return;
    const QString oldName = picture->Record()->name;
    bool ok = false;
    const QString newName =
        QInputDialog::getText(this, tr("Rename"), tr("New Name:"), QLineEdit::Normal, oldName, &ok);
    if (!ok || newName.isEmpty() || newName == oldName)
        return;
    ChangePicName(application->Record()->name, oldName, newName);
}

bool MGraphTreeViewEditor::ChangePicName(const QString& app, const QString& oldName, const QString& newName)
{
    MGraphTreeItem* application = ApplicationItem(app);
    if (!application || !DBInterface())
        return false;
    if (newName == oldName)
        return !newName.isEmpty();
    if (!MDbAccessHelper::Instance()->CheckName(newName, MDbAccessHelper::PictureName, true, nullptr))
        return false;
    const Result renamed = GraphLibraryEdit(DBInterface()).RenamePicture(*application->Record(), oldName, newName);
    if (renamed.status == Result::Taken) {
        QMessageBox::information(this, QString(), newName + tr(":already existed in this application"));
        return false;
    }
    if (!renamed.ok()) {
        QMessageBox::information(this, QString(), tr("rename failed") + "\n" + renamed.message);
        return false;
    }
    for (int i = 0; i < application->childCount(); ++i) {
        if (MGraphTreeItem* picture = ChildNamed(application->child(i), oldName)) {
            picture->Record()->name = newName;
            picture->ShowRecord();
        }
    }
    if (OpenedApplication() == app && OpenedPicture() == oldName)
        SetOpened(app, newName, OpenedEdition());
    return true;
}

void MGraphTreeViewEditor::ChangePictype()
{
    QList<MGraphTreeItem*> pictures;
    MGraphTreeItem *type = nullptr, *application = nullptr;
    for (QTreeWidgetItem* selected : selectedItems()) {
        MGraphTreeItem *picture = nullptr, *itsType = nullptr, *itsApplication = nullptr;
        if (pictureItems(selected, picture, itsType, itsApplication) && (!application || itsApplication == application)) {
            // Files live under the application: only the first picture's application's pictures move.
            pictures << picture;
            if (!application) {
                application = itsApplication;
                type = itsType;
            }
        }
    }
    if (pictures.isEmpty() || !DBInterface())
        return;
    QStringList labels;
    QList<MGraphTreeItem*> targets;
    for (int i = 0; i < application->childCount(); ++i) {
        MGraphTreeItem* candidate = itemOf(application->child(i), MDBRecordBase::RecordPicType);
        if (candidate && candidate != type) {
            labels << candidate->text(0);
            targets << candidate;
        }
    }
    bool ok = false;
    const QString chosen = QInputDialog::getItem(this, tr("select type"), tr("types:"), labels, 0, false, &ok);
    if (!ok || !labels.contains(chosen))
        return;
    const MDBRecordBase* target = targets.at(labels.indexOf(chosen))->Record();
    const QString app = application->Record()->name;
    const int code = static_cast<const MDBRecordPicType*>(target)->picTypeCode;
    QStringList moved, failed;
    QList<MGraphTreeItem*> sources;
    for (MGraphTreeItem* picture : pictures) {
        MGraphTreeItem* from = MGraphTreeItem::From(picture->parent());
        if (from->Record() == target)
            continue;
        if (DBInterface()->TreeMove(target->oid, picture->Record()->oid) != 0) {
            failed << picture->Record()->name;
            continue;
        }
        moved << picture->Record()->name;
        if (!sources.contains(from))
            sources << from;
    }
    const QString typeName = target->name;
    // The moved pictures leave their old types; they show under the new one when it is next loaded.
    for (MGraphTreeItem* from : sources)
        ReloadChildren(from);
    if (!failed.isEmpty())
        QMessageBox::warning(this, tr("warning"), tr("these pictures were not moved: ") + failed.join(", "));
    for (const QString& name : moved)
        Q_EMIT sigChangeGraphType(app, name, typeName, code);
}

void MGraphTreeViewEditor::PastePicture()
{
    MGraphTreeItem *type = nullptr, *application = nullptr;
    if (!typeAndApplication(currentItem(), type, application) || !DBInterface() || !NodeRecord())
        return;
    const QString source = OpenedApplication().isEmpty() || OpenedPicture().isEmpty()
        ? QString()
        : MDeployPaths::VersionFile(OpenedApplication(), OpenedPicture(), OpenedEdition(), "xrg");
    const int code = typeCode(type);
    MGraphDoc doc(GraphStatusEdit);
    if (!reported(this, GraphLibraryEdit::CheckPasteSource(source, code, doc)))
        return;
    const bool stationDrawing = code == kStationCode && doc.GetGraphTypeID() == kStationCode;
    const bool withStation = code == kStationCode || code == kFeederCode;
    NewPicture answer;
    if (stationDrawing)
        answer.station = doc.GetGraphStation(1);
    if (!askNewPicture(this, application, withStation, code, answer))
        return;
    const Result pasted = GraphLibraryEdit(DBInterface()).PastePicture(
        *NodeRecord(), *application->Record(), *static_cast<MDBRecordPicType*>(type->Record()), answer.name, source,
        stationDrawing ? &doc : nullptr, answer.station);
    application->ShowRecord();
    type->ShowRecord();
    if (reported(this, pasted))
        openNewPicture(this, type, answer.name, false);
}
