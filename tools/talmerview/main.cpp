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

#include "mabstractgraphview.h"
#include "passwordreader.h"
#include "sm_priv_api_user_manager.h"
#include "hostprogram.h"
#include "viewerwindow.h"

namespace {

// The platform's own check of the operator's password, which the view then
// uses for its privilege filter.
bool passwordAccepted(const QString& user, const QString& password)
{
    sm_priv_api_user_manager* manager = get_user_manager(0);
    int error = 0;
    return manager && manager->get_user(user.toUtf8().constData(), password.toUtf8().constData(), error);
}

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
        if (!passwordAccepted(parser.value("user"), password))
            return HostProgram::Fail("log-in refused for " + parser.value("user"));
        window.GraphView()->SetUserInfo(parser.value("user"), password);
    }
    window.show();
    const QString screenshot = parser.value("screenshot");
    if (parser.isSet("search"))
        search(window, parser.value("search"), screenshot);
    if (screenshot.isEmpty())
        return app.exec();
    QApplication::processEvents();
    return window.grab().save(screenshot) ? 0 : HostProgram::Fail("cannot write " + screenshot);
}
