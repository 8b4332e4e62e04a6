#include "mgraphtreevieweditor.h"

#include <QMessageBox>

#include "mabstractdbinterface.h"
#include "mabstractgraphbridge.h"
#include "mdbrecords.h"
#include "mgraphtreeitem.h"
#include "mmidebug.h"
#include "picturedrafts.h"
#include "picturerelease.h"
#include "pictureversionreset.h"
#include "recordlist.h"

// Release, drafts and versions. The work is done by the widget-free classes
// of the data access layer; these slots ask, call and report.

namespace {

// The application item above a picture item (picture -> type -> application).
MGraphTreeItem* applicationOf(MGraphTreeItem* picture)
{
    QTreeWidgetItem* type = picture ? picture->parent() : nullptr;
    MGraphTreeItem* application = type ? MGraphTreeItem::From(type->parent()) : nullptr;
    return application && application->Holds(MDBRecordBase::RecordApplication) ? application : nullptr;
}

// A box with the fixed text and, behind "Show Details...", why.
void tell(QWidget* parent, const QString& title, const QString& text, const QStringList& why)
{
    for (const QString& line : why)
        mmi_debug(line + " \n");
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
    if (!why.isEmpty())
        box.setDetailedText(why.join("\n"));
    box.exec();
}

} // namespace

void MGraphTreeViewEditor::ReleasePicture()
{
    if (m_graphBridge && m_graphBridge->GraphIsDirty()) {
        QMessageBox::information(this, tr("information"), tr("You should save current editing graph before releasing"));
        return;
    }
    MGraphTreeItem* picture = MGraphTreeItem::From(currentItem());
    MGraphTreeItem* application = applicationOf(picture);
    if (!picture || !picture->Holds(MDBRecordBase::RecordPicture) || !application || !m_dbInterface)
        return;
    const QString app = application->Record()->name, pic = picture->Record()->name;
    const quint64 serial = picture->Serial();
    PictureRelease release(m_dbInterface, app, *picture->Record());
    QString error;
    const int latest = release.LatestReleased(&error);
    if (latest < 0)
        return tell(this, QString(), tr("release failed"), {error});
    bool increase = true;
    if (latest > 0) {
        const QMessageBox::StandardButton answer =
            QMessageBox::question(this, tr("release picture"), tr("increase version index?"),
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::No);
        if (answer == QMessageBox::Cancel || answer == QMessageBox::Escape)
            return;
        increase = answer == QMessageBox::Yes;
    }
    const PictureRelease::Outcome out = release.Release(increase);
    if (!out.ok)
        return tell(this, QString(), tr("release failed"), out.errors);
    for (const QString& line : out.warnings)
        mmi_debug(line + " \n");
    // The picture's items are rebuilt; the released version is opened.
    if ((picture = MGraphTreeItem::Find(serial))) {
        ReloadChildren(picture);
        ExpandPicture(picture, false);
        for (int i = 0; i < picture->childCount(); ++i) {
            MGraphTreeItem* version = MGraphTreeItem::From(picture->child(i));
            if (version && version->Version() == out.version) {
                OpenVersion(version, 1);
                break;
            }
        }
    }
    QMessageBox::information(this, QString(), tr("picture has released successfully"));
    emit GraphReleased(app, pic, out.version);
}

void MGraphTreeViewEditor::CheckInDraft()
{
    MGraphTreeItem* picture = PictureOf(CurrentVersionItem());
    MGraphTreeItem* application = applicationOf(picture);
    if (!application || !m_dbInterface)
        return;
    const QStringList errors =
        PictureDrafts(m_dbInterface, application->Record()->name, *picture->Record()).CheckInDraft();
    if (!errors.isEmpty())
        tell(this, QString(), tr("check in draft failed"), errors);
}

void MGraphTreeViewEditor::SaveAsDraft()
{
    MGraphTreeItem* version = CurrentVersionItem();
    MGraphTreeItem* picture = PictureOf(version);
    MGraphTreeItem* application = applicationOf(picture);
    if (!application || !m_dbInterface || version->Version() <= 0)
        return;
    const QStringList errors =
        PictureDrafts(m_dbInterface, application->Record()->name, *picture->Record()).SaveAsDraft(version->Version());
    if (!errors.isEmpty())
        return tell(this, QString(), tr("save as draft failed"), errors);
    ReloadChildren(picture);
    ExpandPicture(picture, true);
}

void MGraphTreeViewEditor::ResetPictureVersion()
{
    MGraphTreeItem* picture = MGraphTreeItem::From(currentItem());
    MGraphTreeItem* application = applicationOf(picture);
    if (!picture || !picture->Holds(MDBRecordBase::RecordPicture) || !application || !m_dbInterface)
        return;
    const PictureVersionReset::Outcome out =
        PictureVersionReset(m_dbInterface, application->Record()->name, *picture->Record()).Reset();
    if (!out.ok)
        tell(this, tr("failed"), tr("reset version failed:") + picture->Record()->name, out.errors);
    if (out.changed) {
        ReloadChildren(picture);
        ExpandPicture(picture, false);
    }
}

void MGraphTreeViewEditor::ResetVersions()
{
    MGraphTreeItem* application = MGraphTreeItem::From(currentItem());
    if (!application || !application->Holds(MDBRecordBase::RecordApplication) || !m_dbInterface)
        return;
    const quint64 serial = application->Serial();
    RecordList types;
    m_dbInterface->GetChildren(application->Record(), types.out());
    bool abort = false;
    for (MDBRecordBase* type : types) {
        RecordList pictures;
        pictures.out() = PicturesOfType(type);
        for (MDBRecordBase* picture : pictures) {
            const PictureVersionReset::Outcome out =
                PictureVersionReset(m_dbInterface, application->Record()->name, *picture).Reset();
            for (const QString& line : out.errors)
                mmi_debug(line + " \n");
            if (!out.ok
                && QMessageBox::question(this, tr("failed"), tr("reset version failed:") + picture->name,
                                         QMessageBox::Abort | QMessageBox::No, QMessageBox::No)
                    == QMessageBox::Abort) {
                abort = true;
                break;
            }
        }
        if (abort)
            break;
    }
    if ((application = MGraphTreeItem::Find(serial)))
        ReloadChildren(application);
}

bool MGraphTreeViewEditor::RefreshGraphTemplate(QString picpath, int edition)
{
    if (!m_dbInterface)
        return false;
    const QString base = QString("%1/%2").arg(picpath).arg(edition);
    QString error;
    if (PictureRelease::RefreshTemplates(m_dbInterface, base + ".xrg", base, &error))
        return true;
    mmi_debug(error + " \n");
    return false;
}

void MGraphTreeViewEditor::SaveDraft(const QString& app, const QString& pic)
{
    if (app.isEmpty() || pic.isEmpty() || !m_dbInterface)
        return;
    // The library's draft, not the tree's item: the draft item is hidden
    // after a release, and the library makes a missing draft record.
    MGraphTreeItem* application = ApplicationItem(app);
    if (!application)
        return;
    std::unique_ptr<MDBRecordBase> picture;
    RecordList types;
    m_dbInterface->GetChildren(application->Record(), types.out());
    for (MDBRecordBase* type : types) {
        RecordList pictures;
        pictures.out() = PicturesOfType(type);
        for (MDBRecordBase* record : pictures) {
            if (!picture && record->name == pic)
                picture.reset(record->Clone());
        }
    }
    if (!picture)
        return;
    const QList<MErrMsg> messages = PictureDrafts(m_dbInterface, app, *picture).SaveDraft();
    if (!messages.isEmpty())
        emit SigShowErrMsg(messages);
}

int MGraphTreeViewEditor::GetLatestVersion(const QString& app, const QString& pic)
{
    if (app.isEmpty() || pic.isEmpty() || !ApplicationItem(app) || !m_dbInterface)
        return -100;
    return PictureDrafts::LatestVersion(m_dbInterface, app, pic);
}
