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
#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDir>
#include <QPainter>
#include <QTextStream>

#include "editorwindow.h"
#include "mgraphtreeitem.h"
#include "mgraphtreevieweditor.h"
#include "mgraphvieweditor.h"
#include "hostprogram.h"

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

// A click opens a picture's draft or its only version; with a history and no
// current draft nothing opens, so the screenshot opens the latest (the last row).
void openLatestIfNothingOpened(MGraphTreeViewEditor* tree)
{
    QTreeWidgetItem* picture = tree->CurrentPictureItem();
    if (!picture || tree->CurrentVersionItem() || picture->childCount() == 0)
        return;
    if (MGraphTreeItem* latest = MGraphTreeItem::From(picture->child(picture->childCount() - 1)))
        tree->OpenVersion(latest, 0);
}

// Unfolds the history of the picture the tree has open, to show every version.
void unfoldHistory(MGraphTreeViewEditor* tree)
{
    QTreeWidgetItem* picture = tree->CurrentPictureItem();
    for (int i = 0; picture && i < picture->childCount(); ++i)
        picture->child(i)->setExpanded(true);
}

int screenshots(EditorWindow& window, const QString& picture, const QString& directory)
{
    if (!QDir().mkpath(directory))
        return HostProgram::Fail("cannot make " + directory);
    MGraphTreeViewEditor* tree = window.GraphView()->Tree();
    tree->ShowAllEdition(true);
    tree->SelectGraph(picture);
    openLatestIfNothingOpened(tree);
    unfoldHistory(tree);
    const QString main = directory + "/editor.png";
    if (window.OpenPicture() != picture)
        return HostProgram::Fail(picture + " was not opened");
    if (!save(&window, main))
        return HostProgram::Fail("cannot write " + main);
    QComboBox* box = window.GraphView()->SearchBox();
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
        window.GraphView()->Tree()->SelectGraph(picture);
    return app.exec();
}
