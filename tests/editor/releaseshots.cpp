// Pictures of the release question, the success box and the import progress
// over a stand-in editor host, for looking at (not a test). Run under a real
// X server so that the boxes are windows on the screen:
//   xvfb-run -a -s "-screen 0 1024x700x24" env QT_QPA_PLATFORM=xcb ./releaseshots OUTDIR
#include <QAbstractButton>
#include <QApplication>
#include <QDockWidget>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QProgressDialog>
#include <QScreen>
#include <QTimer>

#include "dialogdriver.h"
#include "editortesting.h"
#include "importtesting.h"
#include "mdeploypaths.h"
#include "mgraphdoc.h"

namespace {

QString g_out;
int g_saved = 0;

void shoot(const QString& name)
{
    QApplication::processEvents();
    const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
    if (screen.save(g_out + "/" + name))
        ++g_saved;
    else
        qWarning("could not save %s", qPrintable(name));
}

// Answers the next message box whose text contains text: screenshot, then press.
void answerBox(const QString& text, QMessageBox::StandardButton button, const QString& shot)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->text().contains(text) || !box->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        QTimer::singleShot(300, [=] {
            shoot(shot);
            box->button(button)->click();
        });
    });
    timer->start(50);
}

void writeVersions(EditorTesting::EditorSite& site, const QString& name, const QList<int>& versions)
{
    site.picture(name, versions, QStringList(versions.size(), "2026-01-01T10:00:00"), site.feeder);
    for (int v : versions) {
        MGraphDoc doc;
        ImportTesting::buildStation(doc, name, 9);
        const QString base = MDeployPaths::PictureDir("A", name) + QString("/%1").arg(v);
        QDir().mkpath(QFileInfo(base).absolutePath());
        doc.WriteXmlFile(base + ".xrg");
        doc.WriteDataFile(base + ".brg");
        doc.UpdateDataDefine();
        doc.WriteDynamicDataFile(base + ".fg");
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication app(argc, argv);
    g_out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    EditorTesting::EditorSite site;
    for (const char* name : {"10kV feeder 911", "10kV feeder 912", "110kV incoming"})
        writeVersions(site, name, {0, 1});
    if (!site.makeView())
        return 1;

    QMainWindow host;
    host.setWindowTitle("graph editor");
    auto* canvas = new QLabel("drawing area of the graph editor host");
    canvas->setAlignment(Qt::AlignCenter);
    canvas->setStyleSheet("background: black; color: gray");
    host.setCentralWidget(canvas);
    auto* dock = new QDockWidget("graph library");
    site.view()->setParent(dock);
    dock->setWidget(site.view());
    host.addDockWidget(Qt::LeftDockWidgetArea, dock);
    host.setGeometry(0, 0, 1024, 700);
    host.show();
    if (!QTest::qWaitForWindowExposed(&host))
        return 1;

    MGraphTreeItem* picture = site.click({"A", "feeder", "10kV feeder 911"});
    if (!picture)
        return 1;
    site.tree()->setCurrentItem(picture);
    answerBox("increase version index?", QMessageBox::Yes, "release-question.png");
    answerBox("picture has released successfully", QMessageBox::Ok, "release-success.png");
    site.tree()->ReleasePicture();

    // A folder of pictures to import, with the progress shot half-way.
    const QString folder = QFileInfo(MDeployPaths::Root()).absolutePath() + "/export";
    for (int i = 1; i <= 6; ++i)
        ImportTesting::writeStation(QString("%1/imported %2/0.xrg").arg(folder).arg(i), "imported", 9);
    site.tree()->setCurrentItem(site.click({"A", "feeder"}));
    QTimer progressWatch;
    QObject::connect(&progressWatch, &QTimer::timeout, [&] {
        auto* progress = site.tree()->findChild<QProgressDialog*>("importProgress");
        if (progress && progress->isVisible() && progress->value() == 3) {
            progressWatch.stop();
            shoot("import-progress.png");
        }
    });
    progressWatch.start(0);
    TestSupport::DialogDriver dialogs;
    dialogs.chooseDirectory(folder)
        .pressButton(QMessageBox::Yes, "'yes' to import draft")
        .pressButton(QMessageBox::No, "increase picture version");
    site.tree()->ImportFolderPic();
    const bool answered = dialogs.finish();
    if (!answered)
        qWarning("%s", qPrintable(dialogs.report()));
    site.closeView(); // the site owns the view the host's dock shows
    return answered && g_saved == 3 ? 0 : 2;
}
