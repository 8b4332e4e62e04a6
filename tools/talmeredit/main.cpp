// talmeredit: the graph editor host. Shows a site's graph library through the
// library's editor view and draws the opened picture.
//
//   talmeredit [--site DIR] [--select PICTURE] [--tour DIR]
//
// --select opens the picture as a search would; --tour (for machines without
// a display, and the smoke test) takes a scripted session through the library,
// the icon palette and the templates with PICTURE (by default 北京变电站),
// saves a picture of each step and a log of the signals into DIR, prints the
// files written and quits: 0 when every step passed. --screenshot DIR is the
// same as --tour DIR.
#include <QApplication>
#include <QCommandLineParser>

#include "editortour.h"
#include "editorwindow.h"
#include "hostprogram.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("talmeredit");
    QCommandLineParser parser;
    HostProgram::AddSiteOptions(parser, "The graph editor host: a site's graph library and the opened drawing.");
    parser.addOption({"select", "Open this picture as a search would.", "PICTURE"});
    parser.addOption({"tour", "Take the scripted tour, saving a picture of each step into this folder, and quit.",
                      "DIR"});
    parser.addOption({"screenshot", "The same as --tour.", "DIR"});
    parser.process(app);
    if (!HostProgram::OpenSite(parser))
        return 1;

    EditorWindow window;
    window.show();
    const QString picture = parser.isSet("select") ? parser.value("select") : QString("北京变电站");
    const QString tour = parser.isSet("tour") ? parser.value("tour") : parser.value("screenshot");
    if (!tour.isEmpty())
        return EditorTour(window, tour, picture).Run();
    if (parser.isSet("select"))
        window.ChooseSearchResult(picture);
    return app.exec();
}
