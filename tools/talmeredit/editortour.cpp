#include "editortour.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QDockWidget>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QInputDialog>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTextStream>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QUuid>

#include <cstdio>
#include <unistd.h>

#include "editorwindow.h"
#include "graphcanvas.h"
#include "mabstractgraphview.h"
#include "mabstracticonvieweditor.h"
#include "mabstracticonviewonline.h"
#include "mabstracttemplateview.h"
#include "mdeploypaths.h"
#include "mgraphcompareview.h"
#include "mgraphdoc.h"
#include "mworkstationreportview.h"
#include "viewdrag.h"

namespace {

// A step that has not finished by then is stuck in a loop nobody answers.
constexpr int kStepTimeoutMs = 120000;

void clickAt(QWidget* viewport, const QPoint& pos)
{
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, QPointF(pos), QPointF(viewport->mapToGlobal(pos)), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &event);
    }
}

void clickItem(QTreeWidget* tree, QTreeWidgetItem* item)
{
    tree->scrollToItem(item);
    clickAt(tree->viewport(), tree->visualItemRect(item).center());
}

void clickItem(QListWidget* list, QListWidgetItem* item)
{
    list->scrollToItem(item);
    clickAt(list->viewport(), list->visualItemRect(item).center());
}

QAction* actionNamed(const QObject* owner, const QString& text)
{
    for (QAction* action : owner->findChildren<QAction*>()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

// The visible list of a view holding items (the shown page of a tool box).
QListWidget* shownList(const QWidget* view)
{
    for (QListWidget* list : view->findChildren<QListWidget*>()) {
        if (list->isVisible() && list->count() > 0)
            return list;
    }
    return nullptr;
}

void raiseDock(QMainWindow& window, const char* name)
{
    if (auto* dock = window.findChild<QDockWidget*>(name))
        dock->raise();
}

QList<QWidget*> visibleTips()
{
    QList<QWidget*> tips;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->windowType() == Qt::ToolTip)
            tips << widget;
    }
    return tips;
}

} // namespace

EditorTour::EditorTour(EditorWindow& window, const QString& directory, const QString& picture)
    : m_window(window), m_picture(picture), m_shots(directory), m_log(std::make_unique<QFile>(directory + "/tour.log"))
{
    watchSignals();
}

EditorTour::~EditorTour() = default;

void EditorTour::log(const QString& line)
{
    if (m_log->isOpen()) {
        m_log->write(line.toUtf8() + '\n');
        m_log->flush();
    }
    QTextStream(stdout) << line << Qt::endl;
}

void EditorTour::watchSignals()
{
    MAbstractGraphView* view = m_window.GraphView();
    connect(view, &MAbstractGraphView::GraphSelected, this,
            [this](const QString& app, const QString& pic, int edition, int type) {
                log(QStringLiteral("signal GraphSelected %1 %2 %3 %4").arg(app, pic).arg(edition).arg(type));
            });
    connect(view, &MAbstractGraphView::GraphReleased, this,
            [this](const QString& app, const QString& pic, int edition) {
                m_released = edition;
                log(QStringLiteral("signal GraphReleased %1 %2 %3").arg(app, pic).arg(edition));
            });
    connect(view, &MAbstractGraphView::ShowErrMsg, this, [this](const QList<MErrMsg>& messages) {
        for (const MErrMsg& message : messages)
            log(QStringLiteral("signal ShowErrMsg %1: %2").arg(message.object, message.message));
    });
    connect(m_window.IconPalette(), &MAbstractIconViewOnline::IconSelected, this,
            [this](const QString& type, const QString& name, const QString& uuid, int shapeType) {
                m_iconType = type;
                m_iconUuid = uuid;
                m_iconShape = shapeType;
                log(QStringLiteral("signal IconSelected %1 %2 %3 %4").arg(type, name, uuid).arg(shapeType));
            });
    connect(m_window.TemplateView(), &MAbstractTemplateView::TemplateSelected, this,
            [this](const QString& name) { log("signal TemplateSelected " + name); });
    connect(m_window.TemplateView(), &MAbstractTemplateView::EditTemplate, this,
            [this](const QString& path) { log("signal EditTemplate " + path); });
    connect(m_window.Canvas(), &GraphCanvas::Dropped, this, [this](bool added, const QString& message) {
        m_lastDrop = message;
        log(QStringLiteral("drop %1 %2").arg(added ? "added" : "refused", message));
    });
}

int EditorTour::Run()
{
    static const Step steps[] = {
        {"library", &EditorTour::library},     {"search", &EditorTour::search},
        {"version", &EditorTour::openVersion}, {"label", &EditorTour::addLabel},
        {"draft", &EditorTour::saveDraft},     {"picture-menu", &EditorTour::pictureMenu},
        {"release", &EditorTour::release},     {"palette", &EditorTour::palette},
        {"icon-tip", &EditorTour::iconTip},    {"icon-drop", &EditorTour::iconDrop},
        {"templates", &EditorTour::templates}, {"template-drop", &EditorTour::templateDrop},
        {"save", &EditorTour::save},           {"compare", &EditorTour::compare},
        {"workstations", &EditorTour::workstations},
    };
    if (!QDir().mkpath(QFileInfo(m_log->fileName()).absolutePath())
        || !m_log->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        QTextStream(stderr) << "talmeredit: cannot write " << m_log->fileName() << Qt::endl;
        return 1;
    }
    QApplication::processEvents(); // the window laid out, so that items have their places
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, this, [this] {
        log(QStringLiteral("step %1 FAILED: did not finish").arg(m_stepName));
        std::fflush(stdout);
        ::_exit(1);
    });
    int number = 0;
    for (const Step& step : steps) {
        m_stepName = step.name;
        watchdog.start(kStepTimeoutMs);
        const QString error = (this->*step.run)();
        watchdog.stop();
        const QString tag = QStringLiteral("step %1 %2").arg(++number, 2, 10, QChar('0')).arg(step.name);
        log(tag + (error.isEmpty() ? QStringLiteral(" ok") : " FAILED: " + error));
        if (!error.isEmpty()) {
            QTextStream(stderr) << "talmeredit: the tour failed at " << tag << ": " << error << Qt::endl;
            return 1;
        }
    }
    QTextStream out(stdout);
    out << "files written:" << Qt::endl;
    for (const QString& file : FilesWritten())
        out << file << Qt::endl;
    return 0;
}

QStringList EditorTour::FilesWritten() const
{
    QStringList files = m_shots.Files();
    files << m_log->fileName();
    for (const char* extension : {"xrg", "brg", "fg"}) {
        if (QFileInfo::exists(draftFile(extension)))
            files << draftFile(extension);
    }
    return files;
}

QString EditorTour::shoot(const QString& name)
{
    return m_shots.Shoot(&m_window, name) ? QString() : m_shots.Error();
}

QString EditorTour::triggerToolAction(const QString& text)
{
    for (QToolBar* bar : m_window.findChildren<QToolBar*>()) {
        for (QAction* action : bar->actions()) {
            if (action->text() == text) {
                action->trigger();
                return {};
            }
        }
    }
    return QStringLiteral("the window has no action \"%1\"").arg(text);
}

QTreeWidget* EditorTour::libraryTree() const
{
    return m_window.GraphView()->findChild<QTreeWidget*>();
}

QTreeWidgetItem* EditorTour::pictureItem() const
{
    QTreeWidget* tree = libraryTree();
    const QList<QTreeWidgetItem*> found = tree ? tree->findItems(m_picture, Qt::MatchExactly | Qt::MatchRecursive)
                                               : QList<QTreeWidgetItem*>();
    return found.isEmpty() ? nullptr : found.constFirst();
}

QString EditorTour::draftFile(const QString& extension) const
{
    const QString app = m_window.OpenApplication();
    return app.isEmpty() ? QString() : MDeployPaths::VersionFile(app, m_picture, 0, extension);
}

// ---- the library ------------------------------------------------------------------

QString EditorTour::library()
{
    QTreeWidget* tree = libraryTree();
    if (!tree || tree->topLevelItemCount() == 0)
        return QStringLiteral("the library shows no application");
    // The first application, then its picture types one by one, as a user
    // clicks them: the view keeps one level open at a time, so the walk stops
    // at the type holding the tour's picture.
    QTreeWidgetItem* first = tree->topLevelItem(0);
    clickItem(tree, first);
    if (first->childCount() == 0)
        return QStringLiteral("%1 shows no picture type").arg(first->text(0));
    for (int i = 0; i < first->childCount() && !pictureItem(); ++i)
        clickItem(tree, first->child(i));
    if (!pictureItem())
        return QStringLiteral("no picture type of %1 holds %2").arg(first->text(0), m_picture);
    tree->scrollToTop();
    return shoot("library");
}

QString EditorTour::search()
{
    QComboBox* box = m_window.SearchBox();
    if (!box)
        return QStringLiteral("the editor view has no search box");
    box->setEditText("BJ"); // the view lists the pictures whose initials match
    if (box->count() < 2)
        return QStringLiteral("nothing matches BJ");
    box->showPopup();
    const QString error = shoot("search");
    box->hidePopup();
    return error;
}

QString EditorTour::openVersion()
{
    // Every version shows, as the engineer asks through the view's own menu entry.
    if (QAction* all = actionNamed(m_window.GraphView(), "show all edition"); all && !all->isChecked())
        all->trigger();
    if (!m_window.ChooseSearchResult(m_picture))
        return QStringLiteral("the search finds no %1").arg(m_picture);
    // A click opens the draft or the only version; with several and no draft, the latest is clicked.
    QTreeWidget* tree = libraryTree();
    QTreeWidgetItem* picture = pictureItem();
    if (m_window.OpenPicture() != m_picture && picture && picture->childCount() > 0) {
        QTreeWidgetItem* latest = picture->child(picture->childCount() - 1);
        while (latest->childCount() > 0) // the history folder
            latest = latest->child(latest->childCount() - 1);
        clickItem(tree, latest);
    }
    for (QTreeWidgetItem* folder : tree->findItems("history verstion", Qt::MatchExactly | Qt::MatchRecursive))
        folder->setExpanded(true);
    if (m_window.OpenPicture() != m_picture || !m_window.Canvas()->HasDrawing())
        return QStringLiteral("%1 was not opened").arg(m_picture);
    return shoot("version");
}

QString EditorTour::pictureMenu()
{
    QTreeWidget* tree = libraryTree();
    QTreeWidgetItem* picture = pictureItem();
    if (!picture)
        return QStringLiteral("the tree shows no %1").arg(m_picture);
    // Clicked first, as the engineer does to see the saved draft among its versions:
    // the menu offers to release a picture that has one.
    clickItem(tree, picture);
    if (!(picture = pictureItem()))
        return QStringLiteral("%1 went from the tree").arg(m_picture);
    tree->scrollToItem(picture);
    const QPoint pos = tree->visualItemRect(picture).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, tree->viewport()->mapToGlobal(pos));
    QAction* release = actionNamed(m_window.GraphView(), "release picture");
    bool offersRelease = false;
    QString error = m_popups.Run([&] { QApplication::sendEvent(tree->viewport(), &event); },
                                 [&](QWidget* popup) -> QString {
                                     auto* menu = qobject_cast<QMenu*>(popup);
                                     if (!menu)
                                         return "not a menu: " + PopupDriver::Describe(popup);
                                     offersRelease = release && menu->actions().contains(release);
                                     const QString shot = shoot("picture-menu");
                                     menu->close();
                                     return shot;
                                 });
    log("menu " + m_popups.Seen().join("; "));
    if (error.isEmpty() && m_popups.Seen().isEmpty())
        error = QStringLiteral("no menu opened over %1").arg(m_picture);
    if (error.isEmpty() && !offersRelease)
        error = QStringLiteral("the menu of %1 offers no release").arg(m_picture);
    return error;
}

// ---- a change, released -------------------------------------------------------------

QString EditorTour::addLabel()
{
    if (QString error = triggerToolAction("Add label"); !error.isEmpty())
        return error;
    if (!m_window.Canvas()->IsDirty())
        return QStringLiteral("the label did not change the drawing");
    return shoot("label");
}

QString EditorTour::saveDraft()
{
    if (QString error = triggerToolAction("Save"); !error.isEmpty())
        return error;
    if (m_window.Canvas()->IsDirty() || !QFileInfo::exists(draftFile("xrg")))
        return QStringLiteral("the draft was not saved");
    return shoot("draft");
}

QString EditorTour::release()
{
    QTreeWidget* tree = libraryTree();
    QTreeWidgetItem* picture = pictureItem();
    QAction* action = actionNamed(m_window.GraphView(), "release picture");
    if (!picture || !action)
        return QStringLiteral("no picture or no release command");
    tree->setCurrentItem(picture);
    m_released = -1;
    int boxes = 0;
    const QString error = m_popups.Run([&] { action->trigger(); }, [&](QWidget* popup) -> QString {
        auto* box = qobject_cast<QMessageBox*>(popup);
        if (!box)
            return "not a message box: " + PopupDriver::Describe(popup);
        const QString shot = shoot(++boxes == 1 ? "release-box" : "release-result");
        // A new version number is asked for; every other box is a report.
        QAbstractButton* answer = box->button(QMessageBox::Yes);
        if (!answer)
            answer = box->button(QMessageBox::Ok);
        if (!answer)
            return "a box without Yes or Ok: " + box->text();
        answer->click();
        if (box->text().contains("failed") || box->text().contains("should"))
            return "the view said: " + box->text() + " " + box->detailedText();
        return shot;
    });
    log("boxes " + m_popups.Seen().join("; "));
    if (!error.isEmpty())
        return error;
    if (m_released < 1)
        return QStringLiteral("no version was released");
    return shoot("released");
}

// ---- icons and templates ---------------------------------------------------------------

QString EditorTour::palette()
{
    raiseDock(m_window, "iconPaletteDock");
    auto* tree = m_window.IconPalette()->findChild<QTreeWidget*>();
    if (!tree)
        return QStringLiteral("the palette has no type tree");
    tree->expandAll();
    QList<QTreeWidgetItem*> types = tree->findItems("breaker", Qt::MatchExactly | Qt::MatchRecursive);
    for (int i = 0; types.isEmpty() && i < tree->topLevelItemCount(); ++i) {
        if (tree->topLevelItem(i)->childCount() > 0)
            types << tree->topLevelItem(i)->child(0);
    }
    if (types.isEmpty())
        return QStringLiteral("the palette shows no icon type");
    clickItem(tree, types.constFirst());
    QListWidget* list = shownList(m_window.IconPalette());
    if (!list)
        return QStringLiteral("%1 shows no icons").arg(types.constFirst()->text(0));
    return shoot("palette");
}

QString EditorTour::iconTip()
{
    QListWidget* list = shownList(m_window.IconPalette());
    if (!list)
        return QStringLiteral("the palette shows no icons");
    QListWidgetItem* item = list->item(0);
    clickItem(list, item);
    if (m_iconUuid.isEmpty())
        return QStringLiteral("choosing %1 sent no IconSelected").arg(item->text());
    const QPoint pos = list->visualItemRect(item).center();
    QHelpEvent hover(QEvent::ToolTip, pos, list->viewport()->mapToGlobal(pos));
    QApplication::sendEvent(list->viewport(), &hover);
    if (visibleTips().isEmpty())
        return QStringLiteral("resting on %1 shows no tip").arg(item->text());
    const QString error = shoot("icon-tip");
    for (QWidget* tip : visibleTips())
        tip->close();
    return error;
}

QString EditorTour::dropOnCanvas(QAbstractItemView* view, const QModelIndex& index, const char* format,
                                 const QByteArray& documented, const QPointF& at)
{
    std::unique_ptr<QMimeData> data = ViewDrag::Start(view, index);
    if (data && data->hasFormat(format) && !data->data(format).isEmpty()) {
        log(QStringLiteral("payload %1 from the view's drag: %2 bytes").arg(format).arg(data->data(format).size()));
    } else if (!documented.isEmpty()) {
        log(QStringLiteral("payload %1 built here: the view started no drag").arg(format));
        data = std::make_unique<QMimeData>();
        data->setData(format, documented);
    } else {
        return QStringLiteral("the view started no drag of %1").arg(index.data().toString());
    }
    GraphCanvas* canvas = m_window.Canvas();
    const QSizeF size = canvas->Doc()->GetSize();
    const QPointF point(size.width() * at.x(), size.height() * at.y());
    const QPoint pos = canvas->ViewTransform().map(point).toPoint();
    m_lastDrop.clear();
    if (!ViewDrag::Drop(canvas, data.get(), pos))
        return QStringLiteral("the drawing refused the drop: %1").arg(m_lastDrop);
    return {};
}

QString EditorTour::iconDrop()
{
    QListWidget* list = shownList(m_window.IconPalette());
    if (!list || !m_window.Canvas()->HasDrawing())
        return QStringLiteral("no icons or no drawing");
    const QModelIndex index = list->model()->index(0, 0);
    const QByteArray documented = CanvasDrop::IconPayload(m_iconUuid, m_iconType, m_iconShape);
    if (QString error = dropOnCanvas(list, index, "iconDrag", documented, QPointF(0.3, 0.35)); !error.isEmpty())
        return error;
    return shoot("icon-drop");
}

QString EditorTour::templates()
{
    raiseDock(m_window, "templateDock");
    QListWidget* list = shownList(m_window.TemplateView());
    if (!list)
        return QStringLiteral("the template view shows no template");
    clickItem(list, list->item(0)); // the preview draws it
    return shoot("templates");
}

QString EditorTour::templateDrop()
{
    QListWidget* list = shownList(m_window.TemplateView());
    if (!list)
        return QStringLiteral("the template view shows no template");
    if (QString error = dropOnCanvas(list, list->model()->index(0, 0), "templateDrag", {}, QPointF(0.7, 0.6));
        !error.isEmpty())
        return error;
    return shoot("template-drop");
}

QString EditorTour::save()
{
    if (QString error = triggerToolAction("Save"); !error.isEmpty())
        return error;
    if (m_window.Canvas()->IsDirty())
        return QStringLiteral("the drawing was not saved");
    QFile draft(draftFile("xrg"));
    const QByteArray uuid = QUuid::fromString(m_iconUuid).toString(QUuid::WithoutBraces).toUtf8();
    if (!draft.open(QIODevice::ReadOnly) || !draft.readAll().contains(uuid))
        return QStringLiteral("the saved draft does not hold icon %1").arg(m_iconUuid);
    return shoot("saved");
}

// ---- what changed, and who holds what -------------------------------------------------

QString EditorTour::compare()
{
    const QString error = m_popups.Run([this] { triggerToolAction("Compare with…"); }, [this](QWidget* popup) {
        auto* dialog = qobject_cast<QInputDialog*>(popup);
        if (!dialog)
            return "not the version choice: " + PopupDriver::Describe(popup);
        const QString shot = shoot("compare-choose");
        dialog->accept(); // the newest version, which the dialog offers first
        return shot;
    });
    if (!error.isEmpty())
        return error;
    auto* view = m_window.findChild<MGraphCompareView*>();
    if (!view || !view->isVisible())
        return QStringLiteral("no comparison was shown");
    log(QStringLiteral("compare %1 change(s)").arg(view->ChangeCount()));
    if (view->ChangeCount() == 0)
        return QStringLiteral("the comparison found no change after the drops");
    const QString shot = shoot("compare");
    view->close();
    return shot;
}

QString EditorTour::workstations()
{
    raiseDock(m_window, "workstationDock");
    auto* report = m_window.findChild<MWorkstationReportView*>();
    if (!report)
        return QStringLiteral("the window shows no workstation report");
    QEventLoop loop;
    connect(report, &MWorkstationReportView::Refreshed, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    report->Refresh();
    if (report->IsScanning())
        loop.exec();
    if (report->IsScanning())
        return QStringLiteral("the workstation report did not finish");
    return shoot("workstations");
}
