// talmeredit: the graph editor host. Shows a site's graph library through the
// library's editor view and draws the opened picture.
//
//   talmeredit [--site DIR] [--select PICTURE] [--screenshot DIR]
//
// --select opens the picture as a search would; --screenshot (for machines
// without a display) shows every version of the pictures, opens PICTURE (by
// default 北京变电站), saves the window as DIR/editor.png and the search list
// for "BJ" as DIR/editor-search.png, and quits.
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDir>
#include <QEventLoop>
#include <QPainter>
#include <QTextStream>
#include <QTimer>
#include <QTreeWidget>

#include "editorwindow.h"
#include "hostprogram.h"
#include "mabstractgraphview.h"
#include "mworkstationreportview.h"

namespace {

bool save(QWidget* widget, const QString& path)
{
    QApplication::processEvents();
    return widget->grab().save(path);
}

// The window with a popup of it painted where it shows (a popup is a window of its own).
bool saveWithPopup(QWidget* window, QWidget* popup, const QString& path)
{
    QApplication::processEvents();
    QPixmap shot = window->grab();
    QPainter painter(&shot);
    painter.drawPixmap(window->mapFromGlobal(popup->mapToGlobal(QPoint(0, 0))), popup->grab());
    painter.end();
    return shot.save(path);
}

// The view's own menu entry, as the engineer would choose it.
void showAllEditions(MAbstractGraphView* view)
{
    for (QAction* action : view->findChildren<QAction*>()) {
        if (action->text() == QLatin1String("show all edition") && !action->isChecked())
            action->trigger();
    }
}

// A click opens a picture's draft or its only version; with a history and no
// current draft nothing opens, so the screenshot clicks the latest (the last row).
void openLatestIfNothingOpened(EditorWindow& window, const QString& picture)
{
    auto* tree = window.GraphView()->findChild<QTreeWidget*>();
    QTreeWidgetItem* item = tree ? tree->currentItem() : nullptr;
    if (window.OpenPicture() == picture || !item || item->childCount() == 0)
        return;
    QTreeWidgetItem* latest = item->child(item->childCount() - 1);
    tree->setCurrentItem(latest);
    emit tree->itemClicked(latest, 0);
}

// Unfolds the history folders, to show every version of the open picture.
void unfoldHistory(MAbstractGraphView* view)
{
    auto* tree = view->findChild<QTreeWidget*>();
    if (!tree)
        return;
    for (QTreeWidgetItem* folder : tree->findItems("history verstion", Qt::MatchExactly | Qt::MatchRecursive))
        folder->setExpanded(true);
}

// Fills the workstation report in its dock, so that the picture shows it.
void refreshWorkstations(EditorWindow& window)
{
    auto* report = window.findChild<MWorkstationReportView*>();
    if (!report)
        return;
    QEventLoop loop;
    QObject::connect(report, &MWorkstationReportView::Refreshed, &loop, &QEventLoop::quit);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    report->Refresh();
    if (report->IsScanning())
        loop.exec();
}

int screenshots(EditorWindow& window, const QString& picture, const QString& directory)
{
    if (!QDir().mkpath(directory))
        return HostProgram::Fail("cannot make " + directory);
    showAllEditions(window.GraphView());
    window.ChooseSearchResult(picture);
    openLatestIfNothingOpened(window, picture);
    unfoldHistory(window.GraphView());
    refreshWorkstations(window);
    const QString main = directory + "/editor.png";
    if (window.OpenPicture() != picture)
        return HostProgram::Fail(picture + " was not opened");
    if (!save(&window, main))
        return HostProgram::Fail("cannot write " + main);
    QComboBox* box = window.SearchBox();
    box->setEditText("BJ");
    box->showPopup();
    const QString search = directory + "/editor-search.png";
    const bool saved = saveWithPopup(&window, box->view()->window(), search);
    box->hidePopup();
    if (!saved)
        return HostProgram::Fail("cannot write " + search);
    QTextStream(stdout) << main << "\n" << search << Qt::endl;
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("talmeredit");
    QCommandLineParser parser;
    HostProgram::AddSiteOptions(parser, "The graph editor host: a site's graph library and the opened drawing.");
    parser.addOption({"select", "Open this picture as a search would.", "PICTURE"});
    parser.addOption({"screenshot", "Save screenshots into this folder and quit.", "DIR"});
    parser.process(app);
    if (!HostProgram::OpenSite(parser))
        return 1;

    EditorWindow window;
    window.show();
    const QString picture = parser.isSet("select") ? parser.value("select") : QString("北京变电站");
    if (parser.isSet("screenshot"))
        return screenshots(window, picture, parser.value("screenshot"));
    if (parser.isSet("select"))
        window.ChooseSearchResult(picture);
    return app.exec();
}
