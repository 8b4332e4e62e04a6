#include "mgraphtreevieweditor.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressDialog>

#include "mabstractdbinterface.h"
#include "mdbaccesshelper.h"
#include "mdbrecords.h"
#include "mdeploypaths.h"
#include "mgraphtreeitem.h"
#include "mmidebug.h"
#include "pictureimportrun.h"

// Importing pictures from a folder or a file. PictureImportRun checks the
// name, imports from a private copy and says whether the picture is there.

namespace {

// The last choices of the process, starting in the graph store.
QString& lastFileDirectory()
{
    static QString directory;
    if (directory.isEmpty())
        directory = MDeployPaths::GraphStore();
    return directory;
}

QString& lastFolder()
{
    static QString folder;
    if (folder.isEmpty())
        folder = MDeployPaths::GraphStore();
    return folder;
}

// With a second (outer-network) database, the application and the picture
// type must exist there before a picture is imported below them.
void ensureOuterEntries(MAbstractDBInterface* db, MDBRecordNode* node, MGraphTreeItem* application,
                        MGraphTreeItem* type)
{
    if (!node || node->outerOid.isEmpty())
        return;
    if (application->Record()->outerOid.isEmpty())
        db->InsertRecord(node, application->Record());
    if (type->Record()->outerOid.isEmpty())
        db->InsertRecord(application->Record(), type->Record());
}

void tellFailed(QWidget* parent, const QString& text, const QStringList& why)
{
    for (const QString& line : why)
        mmi_debug(line + " \n");
    QMessageBox box(QMessageBox::Information, QString(), text, QMessageBox::Ok, parent);
    box.setDetailedText(why.join("\n"));
    box.exec();
}

} // namespace

void MGraphTreeViewEditor::ImportFilePic()
{
    MGraphTreeItem* type = MGraphTreeItem::From(currentItem());
    MGraphTreeItem* application = type ? MGraphTreeItem::From(type->parent()) : nullptr;
    if (!type || !type->Holds(MDBRecordBase::RecordPicType) || !application || !m_dbInterface)
        return;
    QString path = QFileDialog::getOpenFileName(this, tr("import graph"), lastFileDirectory(),
                                                tr("graphes Files") + "(*.xrg)");
    if (path.isEmpty())
        return;
    path = QDir::toNativeSeparators(path);
    lastFileDirectory() = QFileInfo(path).absolutePath();
    const QStringList parts = path.split(QDir::separator());
    if (parts.size() < 2)
        return;
    bool ok = false;
    QString name = QInputDialog::getText(this, QString(), tr("graph name:"), QLineEdit::Normal,
                                         parts.at(parts.size() - 2), &ok);
    if (!ok || name.isEmpty())
        return;
    if (m_nodeRecord && !m_nodeRecord->outerOid.isEmpty())
        name = "web" + name;
    const PictureImportRun run(m_dbInterface, *application->Record(), type->text(0));
    if (!MDbAccessHelper::Instance()->CheckName(name, MDbAccessHelper::PictureName, true, nullptr))
        return;
    if (run.Check(name).status == PictureImportRun::Status::NameTaken) {
        QMessageBox::information(this, QString(), tr("Already existed!"));
        return;
    }
    const int mode = QMessageBox::question(this, tr("import graph"), tr("increase graph version if already exist?"),
                                           QMessageBox::Yes | QMessageBox::No)
            == QMessageBox::Yes
        ? 1
        : 0;
    ensureOuterEntries(m_dbInterface, m_nodeRecord, application, type);
    const PictureImportRun::Outcome out = run.Import(path.replace('\\', '/'), mode, name);
    const quint64 serial = type->Serial();
    ReloadChildren(type);
    if (out.status != PictureImportRun::Status::Imported)
        return tellFailed(this, tr("import failed"), {out.error});
    if ((type = MGraphTreeItem::Find(serial))) {
        if (MGraphTreeItem* picture = ChildNamed(type, name))
            ItemClicked(picture, 0);
    }
    QMessageBox::information(this, QString(), tr("import finished"));
}

void MGraphTreeViewEditor::ImportFolderPic()
{
    MGraphTreeItem* type = MGraphTreeItem::From(currentItem());
    MGraphTreeItem* application = type ? MGraphTreeItem::From(type->parent()) : nullptr;
    if (!type || !type->Holds(MDBRecordBase::RecordPicType) || !application || !m_dbInterface)
        return;
    const QString folder = QFileDialog::getExistingDirectory(this, tr("import ..."), lastFolder());
    if (folder.isEmpty())
        return;
    lastFolder() = folder;
    const bool drafts = QMessageBox::question(this, QString(),
                                              tr("'yes' to import draft or 'no' to import latest version?"),
                                              QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
    const int mode = QMessageBox::question(this, tr("import picture"), tr("increase picture version if already exist?"),
                                           QMessageBox::Yes | QMessageBox::No)
            == QMessageBox::Yes
        ? 1
        : 0;
    ensureOuterEntries(m_dbInterface, m_nodeRecord, application, type);
    const PictureImportRun run(m_dbInterface, *application->Record(), type->text(0));
    const QList<PictureImportRun::Folder> folders = PictureImportRun::PictureFolders(folder, !drafts);
    QProgressDialog progress(tr("importing graph..."), tr("Abort Import"), 0, int(folders.size()), this);
    progress.setObjectName("importProgress");
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setValue(0);
    const quint64 serial = type->Serial();
    QStringList problems;
    for (int i = 0; i < folders.size() && !progress.wasCanceled(); ++i) {
        progress.setLabelText(folders.at(i).drawing);
        const PictureImportRun::Outcome out = run.Import(folders.at(i).drawing, mode, {});
        if (out.status != PictureImportRun::Status::Imported)
            problems << QString("%1: %2").arg(folders.at(i).directory, out.error);
        progress.setValue(i + 1);
        QApplication::processEvents();
    }
    progress.close();
    if ((type = MGraphTreeItem::Find(serial)) && MGraphTreeItem::From(currentItem()) == type)
        ReloadChildren(type);
    if (!problems.isEmpty())
        tellFailed(this, tr("import failed"), problems);
}
