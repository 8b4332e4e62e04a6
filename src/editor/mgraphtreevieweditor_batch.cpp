#include "mgraphtreevieweditor.h"

#include <QMessageBox>
#include <QProgressDialog>

#include "mdatamessagebus.h"
#include "mdbrecordpictype.h"
#include "mgraphdataaccess.h"
#include "mgraphtreeitem.h"
#include "picturebatch.h"

// Batch operations over a picture type or pictures.

namespace {

struct BatchTexts
{
    const char* label;
    const char* cancel;
};

QString applicationOf(QTreeWidgetItem* item)
{
    while (item->parent())
        item = item->parent();
    MGraphTreeItem* top = MGraphTreeItem::From(item);
    return top && top->Record() ? top->Record()->name : QString();
}

int typeCodeOf(MGraphTreeItem* typeItem)
{
    return typeItem && typeItem->Holds(MDBRecordBase::RecordPicType)
        ? static_cast<MDBRecordPicType*>(typeItem->Record())->picTypeCode
        : -1;
}

// Runs the operation on the current picture, or on every picture of the
// current picture type (read from the database, whether or not the type was
// ever expanded) under a window-modal progress dialog; the errors of all.
QList<MErrMsg> runBatch(MGraphTreeViewEditor* tree, PictureBatch::Operation operation, const BatchTexts& texts)
{
    QList<MErrMsg> errors;
    MGraphTreeItem* item = MGraphTreeItem::From(tree->currentItem());
    if (!item || !item->Record())
        return errors;
    PictureBatch batch(tree->DBInterface(), operation, applicationOf(item));
    if (item->Holds(MDBRecordBase::RecordPicture)) {
        batch.Process(item->Record(), typeCodeOf(MGraphTreeItem::From(item->parent())), errors);
        return errors;
    }
    if (!item->Holds(MDBRecordBase::RecordPicType))
        return errors;
    QList<MDBRecordBase*> pictures = tree->PicturesOfType(item->Record());
    QProgressDialog progress(MGraphTreeViewEditor::tr(texts.label), MGraphTreeViewEditor::tr(texts.cancel), 0,
                             int(pictures.size()), tree);
    progress.setObjectName("batchProgress");
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.show(); // at once, not after the first picture
    batch.ProcessAll(pictures, typeCodeOf(item), errors, [&](int index, const QString& name) {
        progress.setLabelText(name);
        progress.setValue(index);
        return !progress.wasCanceled(); // a cancel stops before the next picture
    });
    progress.setValue(int(pictures.size()));
    qDeleteAll(pictures);
    return errors;
}

} // namespace

void MGraphTreeViewEditor::RefreshOIDs()
{
    const QList<MErrMsg> errors = runBatch(this, PictureBatch::Operation::RefreshOids,
                                           {QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "refreshing oids..."), QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "Abort refresh")});
    emit SigShowErrMsg(errors);
}

void MGraphTreeViewEditor::BatchSetProperty()
{
    MGraphTreeItem* item = MGraphTreeItem::From(currentItem());
    if (!item || !item->Record())
        return;
    if (item->Holds(MDBRecordBase::RecordApplication))
        MGraphDataAccess::Instance()->SetGraphPropety(item->Record()->name, QString());
    else if (item->Holds(MDBRecordBase::RecordPicType))
        MGraphDataAccess::Instance()->SetGraphPropety(applicationOf(item), item->Record()->name);
}

void MGraphTreeViewEditor::TranslateText()
{
    if (MDataMessageBus::Instance()->TranslateHandlerNum() < 1) {
        QMessageBox::information(this, tr("warning"), tr("no registered translate handler"));
        return;
    }
    const QList<MErrMsg> errors = runBatch(this, PictureBatch::Operation::Translate,
                                           {QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "translating pictures..."), QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "Abort translate")});
    if (!errors.isEmpty())
        emit SigShowErrMsg(errors);
    QMessageBox::information(this, tr("translate over"), tr("return to original language to check"));
}

void MGraphTreeViewEditor::slotShareGraph()
{
    const QList<MErrMsg> errors = runBatch(this, PictureBatch::Operation::Share,
                                           {QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "setting shared graph..."), QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "Abort refresh")});
    if (!errors.isEmpty())
        emit SigShowErrMsg(errors);
}

void MGraphTreeViewEditor::slotCancelShareGraph()
{
    const QList<MErrMsg> errors = runBatch(this, PictureBatch::Operation::CancelShare,
                                           {QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "cancelling shared graph..."), QT_TRANSLATE_NOOP("MGraphTreeViewEditor", "Abort refresh")});
    if (!errors.isEmpty())
        emit SigShowErrMsg(errors);
}
