#include "iconworkbench.h"

#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QInputDialog>
#include <QMainWindow>
#include <QTreeWidget>
#include <QUuid>

#include <memory>

#include "deployfiles.h"
#include "graphxmlformat.h"
#include "iconlookspanel.h"
#include "mabstracticonvieweditor.h"
#include "mdisplaypattern.h"
#include "mfilesynchronize.h"
#include "miconmgr.h"
#include "micontemplate.h"
#include "mshapeobj.h"

namespace {

const QColor kLive(0xff, 0x30, 0x30); // the library's colour of an energised look

MShapeObj* shape(int type, const QPolygonF& points)
{
    auto* s = new MShapeObj(type);
    s->SetPoints(points);
    s->SetPenColor(kLive);
    s->SetPenWidth(2);
    return s;
}

bool writeIcon(const MIconTemplate& icon, const QString& path, QString& error)
{
    return DeployFiles::Write(path, GraphXmlFormat::Write(icon.ToNode()), error);
}

} // namespace

IconWorkbench::IconWorkbench(MAbstractIconViewEditor* editor, QMainWindow* window)
    : QObject(window), m_editor(editor), m_looks(new IconLooksPanel), m_window(window)
{
    dockLooks(window);
    connect(editor, &MAbstractIconViewEditor::IconNew, this, &IconWorkbench::IconNew);
    connect(editor, &MAbstractIconViewEditor::IconSelected, this, &IconWorkbench::IconSelected);
    connect(editor, &MAbstractIconViewEditor::IconRenamed, this, &IconWorkbench::IconRenamed);
    connect(editor, &MAbstractIconViewEditor::IconDeleted, this, &IconWorkbench::IconDeleted);
}

QDockWidget* IconWorkbench::dockLooks(QMainWindow* window)
{
    auto* dock = new QDockWidget(tr("Icon looks"), window);
    dock->setObjectName("iconLooksDock");
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    dock->setWidget(m_looks);
    // Below the tabbed library docks, not one more tab: the looks stay in
    // sight while the library is browsed.
    window->addDockWidget(Qt::RightDockWidgetArea, dock, Qt::Vertical);
    return dock;
}

void IconWorkbench::SyncIconFiles()
{
    MFileSynchronize::Instance()->SynIconFiles();
}

void IconWorkbench::fail(const QString& object, const QString& why)
{
    emit Failed({MErrMsg(object, why)});
}

MIconTemplate* IconWorkbench::DefaultIcon(const QString& type, int typeCode, int shapeType, const QString& name)
{
    const bool line = shapeType == 1;
    const QSizeF size = line ? QSizeF(60, 8) : QSizeF(30, 30);
    auto* icon = new MIconTemplate(QUuid::createUuid(), nullptr);
    icon->SetName(name);
    icon->SetCatalogName(type);
    icon->SetCatalogId(typeCode);
    icon->SetIconShapeType(shapeType);
    icon->SetDefaultSize(size);
    auto* look = new MDisplayPattern("normal");
    if (line) {
        look->AddShape(shape(MDrawObj::ObjLine, {QPointF(0, 4), QPointF(60, 4)}));
    } else {
        look->AddShape(shape(MDrawObj::ObjRect, {QPointF(3, 3), QPointF(27, 27)}));
        look->AddShape(shape(MDrawObj::ObjEllipse, {QPointF(9, 9), QPointF(21, 21)}));
    }
    icon->AddPattern(look);
    return icon;
}

bool IconWorkbench::nameListed(const QString& name) const
{
    auto* tree = m_editor->findChild<QTreeWidget*>();
    if (!tree)
        return false;
    // Icons are the third level (category, type, icon); only the open type lists its icons.
    for (QTreeWidgetItem* item : tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive)) {
        if (item->parent() && item->parent()->parent())
            return true;
    }
    return false;
}

bool IconWorkbench::CreateIcon(const QString& type, int typeCode, int shapeType, const QString& name,
                               QString& error)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty()) {
        error = tr("an icon needs a name");
        return false;
    }
    if (nameListed(trimmed)) {
        error = tr("the icon type already has an icon named %1").arg(trimmed);
        return false;
    }
    const std::unique_ptr<MIconTemplate> icon(DefaultIcon(type, typeCode, shapeType, trimmed));
    const QString uuid = icon->GetUuid().toString();
    const QString path = MIconMgr::IconFilePath(type, uuid);
    if (path.isEmpty()) {
        error = tr("the icon type %1 cannot name a folder of the icon library").arg(type);
        return false;
    }
    if (!writeIcon(*icon, path, error))
        return false;
    // The server has the file before the library announces it.
    if (!DeployFiles::Upload(path, error)) {
        QFile::remove(path); // no record will ever name it
        return false;
    }
    m_editor->RegisterIcon(type, trimmed, uuid);
    QString unused;
    m_looks->ShowIcon(type, trimmed, uuid, path, unused);
    return true;
}

void IconWorkbench::IconNew(const QString& type, int typeCode, int shapeType)
{
    bool ok = false;
    const QString name = QInputDialog::getText(m_window, tr("New icon"), tr("name of the new %1 icon:").arg(type),
                                               QLineEdit::Normal, QString(), &ok);
    if (!ok)
        return;
    QString error;
    if (!CreateIcon(type, typeCode, shapeType, name, error)) {
        fail(name.isEmpty() ? type : name, tr("no icon was made: %1").arg(error));
        return;
    }
    emit Said(tr("%1 / %2: a new icon, on the file server and in the library").arg(type, name.trimmed()));
}

void IconWorkbench::IconSelected(const QString& type, const QString& name, const QString& uuid)
{
    QString error;
    if (!m_looks->ShowIcon(type, name, uuid, MIconMgr::IconFilePath(type, uuid), error)) {
        fail(name, error);
        return;
    }
    emit Said(tr("%1 / %2: %n look(s)", nullptr, int(m_looks->LookNames().size())).arg(type, name));
}

void IconWorkbench::IconRenamed(const QString& type, const QString& oldName, const QString& newName,
                                const QString& uuid)
{
    const QString path = MIconMgr::IconFilePath(type, uuid);
    if (path.isEmpty())
        return; // a plug-in icon: it has no file to carry its name
    m_looks->RenameIcon(type, uuid, newName);
    if (!QFileInfo::exists(path))
        MFileSynchronize::Instance()->GetFile(path);
    MIconTemplate icon;
    QString error;
    if (!icon.ReadXmlFile(path)) {
        fail(newName, tr("renamed in the library, but its file %1 cannot be read").arg(path));
        return;
    }
    icon.SetName(newName);
    if (!writeIcon(icon, path, error)) {
        fail(newName, tr("renamed in the library, but not in its file: %1").arg(error));
        return;
    }
    if (!DeployFiles::Upload(path, error)) {
        fail(newName, tr("renamed in the library and in the file here, not on the server: %1").arg(error));
        return;
    }
    emit Said(tr("%1 / %2 renamed %3, in its file too").arg(type, oldName, newName));
}

void IconWorkbench::IconDeleted(const QString& type, const QString& name, const QString& uuid)
{
    m_looks->CloseIcon(type, uuid);
    emit Said(tr("%1 / %2 deleted from the library").arg(type, name));
}
