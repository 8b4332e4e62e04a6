#include "miconboxeditor.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QUuid>

#include <memory>

#include "iconlabels.h"
#include "mabstractdbinterface.h"
#include "mdbinterfaceholder.h"
#include "mdbrecordicon.h"
#include "mdbrecordicontype.h"
#include "mdeploypaths.h"
#include "mfilesynchronize.h"
#include "miconeditoritem.h"
#include "miconfileservice.h"
#include "miconfilepreview.h"
#include "micontemplate.h"
#include "mmidebug.h"
#include "mmitr.h"
#include "mpinyinsort.h"
#include "recordtime.h"
#include "safefile.h"

namespace {

QString& rememberedImportDirectory()
{
    static QString directory;
    return directory;
}

QString fileTime(const QString& path)
{
    return QFileInfo(path).lastModified().toString(Qt::ISODate);
}

// The path a file would have with links and ".." resolved, also when it does
// not exist yet (its folder resolved, its name kept).
QString realPath(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists())
        return info.canonicalFilePath();
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : folder + "/" + info.fileName();
}

} // namespace

MIconBoxEditor::MIconBoxEditor(QWidget* parent)
    : QTreeWidget(parent),
      m_dbInterface(MDBInterfaceHolder::Instance()->GetInterface()),
      m_newAction(new QAction(tr("new icon"), this)),
      m_deleteAction(new QAction(tr("delete icon"), this)),
      m_renameAction(new QAction(tr("rename icon"), this)),
      m_importAction(new QAction(tr("import icon"), this)),
      m_clickInterval(QApplication::doubleClickInterval())
{
    setHeaderLabel(tr("icons"));
    m_clickTimer.setSingleShot(true);
    BuildTree();
    connect(this, &QTreeWidget::itemClicked, this, &MIconBoxEditor::ItemClicked);
    connect(m_newAction, &QAction::triggered, this, &MIconBoxEditor::NewIcon);
    connect(m_deleteAction, &QAction::triggered, this, &MIconBoxEditor::DeleteIcon);
    connect(m_renameAction, &QAction::triggered, this, &MIconBoxEditor::RenameIcon);
    connect(m_importAction, &QAction::triggered, this, &MIconBoxEditor::ImportIcon);
}

MIconBoxEditor::~MIconBoxEditor() = default;

QString MIconBoxEditor::ImportDirectory()
{
    QString& directory = rememberedImportDirectory();
    return directory.isEmpty() ? MDeployPaths::Root() + "/icon/" : directory;
}

void MIconBoxEditor::BuildTree()
{
    m_dbInterface->GetIconTypes(m_iconTypes.out());
    QList<MIconEditorItem*> categories;
    for (const QString& name : IconLabels::CategoryNames())
        categories << new MIconEditorItem(this, name);
    for (MDBRecordBase* base : m_iconTypes) {
        const auto* type = static_cast<MDBRecordIconType*>(base);
        if (!IconLabels::IsShownType(*type))
            continue;
        auto* item = new MIconEditorItem(categories.at(type->editType), type->Clone());
        item->setIcon(0, MIconFileService::Instance()->ElementIcon(int(type->catId)));
    }
}

// ---- the host's questions ------------------------------------------------------

void MIconBoxEditor::GetCurrentType(QString& type, int& catId, int& shapeType) const
{
    const MDBRecordIconType* current = CurrentType();
    if (!current)
        return;
    type = current->name;
    catId = int(current->catId);
    shapeType = int(current->shapeType);
}

MDBRecordIconType* MIconBoxEditor::CurrentType() const
{
    return m_currentTypeItem ? static_cast<MDBRecordIconType*>(m_currentTypeItem->Record()) : nullptr;
}

MIconEditorItem* MIconBoxEditor::FindTypeItem(const QString& type) const
{
    for (int c = 0; c < topLevelItemCount(); ++c) {
        QTreeWidgetItem* category = topLevelItem(c);
        for (int i = 0; i < category->childCount(); ++i) {
            auto* item = static_cast<MIconEditorItem*>(category->child(i));
            if (item->Record() && item->Record()->name == type)
                return item;
        }
    }
    return nullptr;
}

void MIconBoxEditor::SelectType(const QString& type)
{
    MIconEditorItem* item = FindTypeItem(type);
    if (item && !item->isExpanded())
        emit itemClicked(item, 0);
}

// ---- opening types and icons ---------------------------------------------------

void MIconBoxEditor::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        QTreeWidget::mouseReleaseEvent(event);
}

void MIconBoxEditor::ItemClicked(QTreeWidgetItem* treeItem, int)
{
    auto* item = static_cast<MIconEditorItem*>(treeItem);
    if (!item || !item->Record())
        return;
    if (item->IsIconType()) {
        // A second click within the double-click interval is the same click.
        if (m_clickTimer.isActive())
            return;
        m_clickTimer.start(m_clickInterval);
        OpenType(item);
    } else if (item->IsIcon()) {
        SelectIcon(item);
    }
}

void MIconBoxEditor::OpenType(MIconEditorItem* item)
{
    if (m_currentTypeItem)
        qDeleteAll(m_currentTypeItem->takeChildren());
    m_currentTypeItem = item;
    FillType(item);
    // Opened by the host (SelectType), the type may lie in a closed category.
    if (item->parent())
        item->parent()->setExpanded(true);
    item->setExpanded(true);
    scrollToItem(item);
    emit TypeSelected(item->Record()->name);
}

void MIconBoxEditor::FillType(MIconEditorItem* item)
{
    RecordList icons;
    m_dbInterface->GetChildren(item->Record(), icons.out());
    // Of icons sharing a name, the latest in database order is listed.
    QMap<QString, MDBRecordBase*> byName;
    for (int i = icons.size() - 1; i >= 0; --i) {
        if (!byName.contains(icons.at(i)->name))
            byName.insert(icons.at(i)->name, icons.at(i));
    }
    QStringList names = byName.keys();
    MPinYinSort::Instance()->SortByPY(names, true);
    for (const QString& name : names)
        new MIconEditorItem(item, icons.Take(byName.value(name)));
}

void MIconBoxEditor::RefillCurrentType()
{
    qDeleteAll(m_currentTypeItem->takeChildren());
    FillType(m_currentTypeItem);
    m_currentTypeItem->setExpanded(true);
}

void MIconBoxEditor::SelectIcon(MIconEditorItem* item)
{
    const MDBRecordIconType* type = CurrentType();
    if (!type || type->catId == IconLabels::kPluginCatalogId)
        return;
    auto* icon = static_cast<MDBRecordIcon*>(item->Record());
    m_dbInterface->RefreshRecordTime(icon);
    const QString path = MDeployPaths::IconFile(type->name, icon->uuid);
    if (RecordTime::IsFileStale(path, icon->makeTime))
        MFileSynchronize::Instance()->GetFile(path); // a failure leaves the local file, if any
    emit IconSelected(type->name, icon->name, icon->uuid);
}

// ---- commands ----------------------------------------------------------------

QList<QAction*> MIconBoxEditor::MenuActions(QTreeWidgetItem* treeItem)
{
    auto* item = static_cast<MIconEditorItem*>(treeItem);
    if (!item || !item->parent() || !item->Record())
        return {};
    setCurrentItem(item);
    if (item->IsIcon())
        return {m_renameAction, nullptr, m_deleteAction};
    if (item != m_currentTypeItem)
        OpenType(item);
    const auto* type = static_cast<const MDBRecordIconType*>(item->Record());
    if (type->catId == IconLabels::kPluginCatalogId)
        return {m_importAction};
    return {m_newAction, nullptr, m_importAction};
}

void MIconBoxEditor::contextMenuEvent(QContextMenuEvent* event)
{
    const QList<QAction*> actions = MenuActions(itemAt(event->pos()));
    if (actions.isEmpty())
        return;
    QMenu menu(this);
    for (QAction* action : actions) {
        if (action)
            menu.addAction(action);
        else
            menu.addSeparator();
    }
    menu.exec(event->globalPos());
}

void MIconBoxEditor::NewIcon()
{
    if (const MDBRecordIconType* type = CurrentType())
        emit IconNew(type->name, int(type->catId), int(type->shapeType));
}

MIconEditorItem* MIconBoxEditor::CurrentIconItem() const
{
    auto* item = static_cast<MIconEditorItem*>(currentItem());
    if (!item || !item->IsIcon() || !m_currentTypeItem || item->parent() != m_currentTypeItem)
        return nullptr;
    return item;
}

void MIconBoxEditor::DeleteIcon()
{
    MIconEditorItem* item = CurrentIconItem();
    if (!item)
        return;
    const QMessageBox::StandardButton answer =
        QMessageBox::warning(this, tr("warning"), tr("Are you sure to delete icon:") + item->text(0) + "?",
                             QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    const auto* icon = static_cast<MDBRecordIcon*>(item->Record());
    const QString name = icon->name, uuid = icon->uuid;
    m_dbInterface->DeleteRecord(CurrentType(), item->Record());
    emit IconDeleted(CurrentType()->name, name, uuid);
    RefillCurrentType();
}

void MIconBoxEditor::RenameIcon()
{
    MIconEditorItem* item = CurrentIconItem();
    if (!item)
        return;
    bool ok = false;
    const QString answer =
        QInputDialog::getText(this, tr("Rename"), tr("New Name:"), QLineEdit::Normal, item->text(0), &ok);
    const QString translated = mmi_tr(answer, "1");
    const QString name = translated.isEmpty() ? answer : translated;
    MDBRecordBase* icon = item->Record();
    if (!ok || name.trimmed().isEmpty() || name == icon->name)
        return;
    if (!IsIconUnique(name, false)) {
        QMessageBox::information(this, tr("Rename icon"), tr("Name used!"));
        return;
    }
    const QString oldName = icon->name;
    icon->name = name;
    m_dbInterface->UpdateRecord(icon);
    emit IconRenamed(CurrentType()->name, oldName, name, static_cast<MDBRecordIcon*>(icon)->uuid);
    item->setText(0, name);
}

bool MIconBoxEditor::IsIconUnique(const QString& value, bool byUuid)
{
    for (MDBRecordBase* type : m_iconTypes) {
        RecordList icons;
        m_dbInterface->GetChildren(type, icons.out());
        for (MDBRecordBase* base : icons) {
            const auto* icon = static_cast<MDBRecordIcon*>(base);
            if ((byUuid ? icon->uuid : icon->name) == value)
                return false;
        }
    }
    return true;
}

// ---- registering -------------------------------------------------------------

void MIconBoxEditor::RegisterIcon(const QString& type, const QString& iconName, const QString& uuid)
{
    MIconEditorItem* typeItem = FindTypeItem(type);
    if (!typeItem)
        return;
    const QString path = MDeployPaths::IconFile(type, uuid);
    const bool fileThere = QFileInfo::exists(path);
    RecordList icons;
    m_dbInterface->GetChildren(typeItem->Record(), icons.out());
    MDBRecordIcon* existing = nullptr;
    for (MDBRecordBase* base : icons) {
        if (static_cast<MDBRecordIcon*>(base)->uuid == uuid)
            existing = static_cast<MDBRecordIcon*>(base);
    }
    if (existing) {
        if (fileThere) // without a file the record keeps the time it had
            existing->makeTime = fileTime(path);
        m_dbInterface->UpdateRecord(existing);
    } else {
        auto icon = std::make_unique<MDBRecordIcon>();
        icon->name = iconName;
        icon->uuid = uuid;
        icon->makeTime = fileThere ? fileTime(path) : RecordTime::Now();
        m_dbInterface->InsertRecord(typeItem->Record(), icon.get());
        if (typeItem == m_currentTypeItem)
            new MIconEditorItem(typeItem, icon.release());
    }
    // Stored under its mapped name, the icon is also pushed to the other workstations.
    if (fileThere)
        MFileSynchronize::Instance()->SaveFile(path);
}

// ---- importing ---------------------------------------------------------------

QStringList MIconBoxEditor::ChooseImportFiles(bool plugins)
{
    QFileDialog dialog(this);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setDirectory(plugins ? MDeployPaths::BinDir() + "/" : ImportDirectory());
    dialog.setNameFilter(plugins ? "*.dll *.so" : "*.xco");
    auto* preview = new MIconFilePreview(&dialog);
    preview->setObjectName("iconPreview");
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
        grid->addWidget(preview, 1, grid->columnCount(), grid->rowCount() - 1, 1);
    connect(&dialog, &QFileDialog::currentChanged, preview, &MIconFilePreview::previewPath);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    rememberedImportDirectory() = dialog.directory().absolutePath();
    return dialog.selectedFiles();
}

void MIconBoxEditor::ImportIcon()
{
    const MDBRecordIconType* type = CurrentType();
    if (!type)
        return;
    const bool plugins = type->catId == IconLabels::kPluginCatalogId;
    for (const QString& file : ChooseImportFiles(plugins)) {
        if (plugins)
            ImportPlugin(file);
        else
            ImportFile(file);
    }
}

void MIconBoxEditor::ImportPlugin(const QString& path)
{
    const QString pluginRoot = QFileInfo(MDeployPaths::BinDir()).canonicalFilePath();
    const QString folder = QFileInfo(realPath(path)).absolutePath();
    if (pluginRoot.isEmpty() || (folder != pluginRoot && !folder.startsWith(pluginRoot + "/"))) {
        mmi_debug(QString("icon import: %1 is not below bin/mmi\n").arg(path));
        return;
    }
    const QString relative = folder.mid(pluginRoot.size() + 1);
    RegisterIcon(CurrentType()->name, QFileInfo(path).completeBaseName(),
                 QString("%1/%2").arg(relative, QFileInfo(path).completeBaseName()));
}

QMap<QString, QString> MIconBoxEditor::TypeIconUuids(MDBRecordIconType* type)
{
    RecordList icons;
    m_dbInterface->GetChildren(type, icons.out());
    QMap<QString, QString> uuids;
    for (MDBRecordBase* base : icons)
        uuids.insert(base->name, static_cast<MDBRecordIcon*>(base)->uuid);
    return uuids;
}

void MIconBoxEditor::ImportFile(const QString& path)
{
    MDBRecordIconType* type = CurrentType();
    MIconTemplate source;
    if (!source.ReadXmlFile(path) || source.GetUuid().isNull()) {
        mmi_debug(QString("icon import: %1 is not an icon file\n").arg(path));
        return;
    }
    ImportChoice choice;
    choice.name = source.GetName().trimmed();
    choice.uuid = source.GetUuid().toString();
    if (!IsIconUnique(choice.uuid, true)) {
        choice.uuid = QUuid::createUuid().toString();
        choice.uuidReplaced = true;
    }
    if (!ChooseImportName(choice, TypeIconUuids(type)))
        return;
    const QString destination = MDeployPaths::IconFile(type->name, choice.uuid);
    if (!PlaceImportFile(path, destination, choice, source.GetCatalogName() != type->name))
        return;
    RegisterIcon(type->name, choice.name, choice.uuid);
}

bool MIconBoxEditor::ChooseImportName(ImportChoice& choice, const QMap<QString, QString>& typeIcons)
{
    while (choice.name.isEmpty() || !IsIconUnique(choice.name, false)) {
        bool ok = false;
        const QString answer = QInputDialog::getText(this, tr("icon name"), tr("duplicate name, input new name:"),
                                                     QLineEdit::Normal, QString(), &ok)
                                   .trimmed();
        if (!ok)
            return false;
        if (answer.isEmpty())
            continue;
        if (IsIconUnique(answer, false)) {
            choice.name = answer;
            choice.renamed = true;
        } else if (typeIcons.contains(answer)
                   && QMessageBox::question(this, tr("overwrite"), tr("overwrite existing?"),
                                            QMessageBox::Yes | QMessageBox::No)
                          == QMessageBox::Yes) {
            choice.name = answer;
            choice.uuid = typeIcons.value(answer);
            choice.overwrite = true;
            return true;
        }
    }
    return true;
}

bool MIconBoxEditor::PlaceImportFile(const QString& source, const QString& destination, const ImportChoice& choice,
                                     bool catalogDiffers)
{
    if (!MDeployPaths::IsInsideRoot(destination) || !QDir().mkpath(QFileInfo(destination).absolutePath())) {
        mmi_debug(QString("icon import: cannot write %1\n").arg(destination));
        return false;
    }
    const bool rewrite = choice.overwrite || choice.renamed || choice.uuidReplaced || catalogDiffers;
    const bool sameFile = realPath(source) == realPath(destination);
    QString error;
    bool placed = true;
    if (rewrite) {
        MIconTemplate icon;
        const MDBRecordIconType* type = CurrentType();
        placed = icon.ReadXmlFile(source);
        icon.SetName(choice.name);
        if (catalogDiffers) {
            icon.SetCatalogName(type->name);
            icon.SetCatalogId(int(type->catId));
            icon.SetIconShapeType(int(type->shapeType));
        }
        icon.SetUuid(QUuid(choice.uuid));
        placed = placed && icon.WriteXmlFile(destination);
    } else if (!sameFile) {
        placed = SafeFile::CopyFile(source, destination, &error);
    }
    if (!placed)
        mmi_debug(QString("icon import: %1 not placed %2\n").arg(source, error));
    return placed;
}
