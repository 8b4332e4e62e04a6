// talmerview: the online viewer host. Browses a site's graph library as an
// operator, through the library's online graph view.
//
//   talmerview [--site DIR] [--user NAME] [--search TEXT] [--screenshot FILE.png]
//
// The password of --user comes from the terminal (no echo) or from standard
// input. --search types TEXT into the search box and opens the first match;
// --screenshot saves the window (and FILE-search.png, the search list) and quits.
#include <QAbstractItemView>
#include <QApplication>
#include <QCommandLineParser>
#include <QComboBox>
#include <QTimer>
#include <QTextStream>

#include "mgraphviewonline.h"
#include "passwordreader.h"
#include "hostprogram.h"
#include "viewerwindow.h"

namespace {

void search(MGraphViewOnline* view, const QString& text, const QString& screenshot)
{
    QComboBox* box = view->SearchBox();
    box->setEditText(text);
    if (!screenshot.isEmpty()) {
        box->showPopup();
        QApplication::processEvents();
        box->view()->window()->grab().save(QString(screenshot).replace(".png", "-search.png"));
        box->hidePopup();
    }
    if (box->count() > 1) {
        box->setCurrentIndex(1);
        view->ComboActivated(1);
    }
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
    parser.process(app);
    if (!HostProgram::OpenSite(parser))
        return 1;

    ViewerWindow window;
    if (parser.isSet("user")) {
        QString password;
        if (!PasswordReader::Read(QString("password for %1: ").arg(parser.value("user")), false, password))
            return HostProgram::Fail("no password given");
        window.GraphView()->SetUserInfo(parser.value("user"), password);
        if (!window.GraphView()->LoggedIn())
            return HostProgram::Fail("log-in refused for " + parser.value("user"));
    }
    window.show();
    const QString screenshot = parser.value("screenshot");
    if (parser.isSet("search"))
        search(window.GraphView(), parser.value("search"), screenshot);
    if (screenshot.isEmpty())
        return app.exec();
    QApplication::processEvents();
    return window.grab().save(screenshot) ? 0 : HostProgram::Fail("cannot write " + screenshot);
}
