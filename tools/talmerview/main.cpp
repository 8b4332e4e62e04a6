// talmerview: the online viewer host. Browses a site's graph library as an
// operator, through the library's online graph view.
//
//   talmerview [--site DIR] [--user NAME] [--search TEXT] [--screenshot FILE.png]
//   talmerview [--site DIR] --user NAME --tour DIR
//
// The password of --user comes from the terminal (no echo) or from standard
// input. --search types TEXT into the search box and opens the first match;
// --screenshot saves the window (and FILE-search.png, the search list) and quits.
// --tour walks through the viewer as NAME, saves a picture per step in DIR,
// logs each step and signal on standard output and exits non-zero, saying
// which step, when one fails.
#include <QAbstractItemView>
#include <QApplication>
#include <QCommandLineParser>
#include <QComboBox>
#include <QTextStream>

#include "hostprogram.h"
#include "passwordreader.h"
#include "viewertour.h"
#include "viewerwindow.h"

namespace {

void search(ViewerWindow& window, const QString& text, const QString& screenshot)
{
    QComboBox* box = window.SearchBox();
    if (!box)
        return;
    if (!screenshot.isEmpty()) {
        box->setEditText(text);
        box->showPopup();
        QApplication::processEvents();
        box->view()->window()->grab().save(QString(screenshot).replace(".png", "-search.png"));
        box->hidePopup();
    }
    window.ChooseSearchResult(text);
}

int tour(ViewerWindow& window, const QCommandLineParser& parser, const QString& password)
{
    QTextStream log(stdout);
    ViewerTour walk(window, parser.value("tour"), log);
    ViewerTour::Plan plan;
    plan.user = parser.value("user");
    plan.password = password;
    if (parser.isSet("search"))
        plan.search = parser.value("search");
    if (!walk.Run(plan))
        return HostProgram::Fail(walk.Error());
    log << "pictures " << walk.Files().size() << Qt::endl;
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("talmerview");
    QCommandLineParser parser;
    HostProgram::AddSiteOptions(parser, "The online viewer: a site's released pictures, as an operator sees them.");
    parser.addOption({"user", "Log in as this operator (password from the terminal or standard input).", "NAME"});
    parser.addOption({"search", "Type this into the search box and open the first match.", "TEXT"});
    parser.addOption({"screenshot", "Save the window to this PNG file and quit.", "FILE"});
    parser.addOption({"tour", "Walk through the viewer as --user, a picture per step in DIR, and quit.", "DIR"});
    parser.addOption({"options", "The note book's option file below etc/mmi/.", "FILE", "graph_options.txt"});
    parser.addOption({"notes", "The note book's list of noted and blacked graphs below etc/mmi/.", "FILE",
                      "graph_white.txt"});
    parser.process(app);
    if (parser.isSet("tour") && !parser.isSet("user"))
        return HostProgram::Fail("--tour needs --user");
    if (!HostProgram::OpenSite(parser))
        return 1;

    ViewerWindow::ReadNoteBook(parser.value("options"), parser.value("notes"));
    ViewerWindow window;
    QString password;
    if (parser.isSet("user")
        && !PasswordReader::Read(QString("password for %1: ").arg(parser.value("user")), false, password))
        return HostProgram::Fail("no password given");
    if (parser.isSet("tour"))
        return tour(window, parser, password);
    QString why;
    if (parser.isSet("user") && !window.LogIn(parser.value("user"), password, why))
        return HostProgram::Fail(why);
    password.clear();
    window.show();
    const QString screenshot = parser.value("screenshot");
    if (parser.isSet("search"))
        search(window, parser.value("search"), screenshot);
    if (screenshot.isEmpty())
        return app.exec();
    QApplication::processEvents();
    return window.grab().save(screenshot) ? 0 : HostProgram::Fail("cannot write " + screenshot);
}
