// Pictures of the icon views for a person to look at (offscreen grabs):
//   icon_screenshots DIR
#include <QAbstractItemView>
#include <QApplication>
#include <QFileDialog>
#include <QHelpEvent>
#include <QPainter>
#include <QTimer>

#include "icontesting.h"
#include "mdeploypaths.h"
#include "miconboxeditor.h"
#include "miconlistonline.h"
#include "micononlinetree.h"
#include "micontip.h"
#include "miconvieweditor.h"
#include "miconviewonline.h"
#include "testsite.h"

namespace {

void buildSite(TestSupport::TestSite& site)
{
    SiteGen::SiteBuilder& b = site.builder();
    const QString breaker = b.iconType("breaker", 2, 0, 0);
    b.iconType("switch", 1, 0, 0);
    b.iconType("bus", 5, 1, 1);
    b.iconType("ground", 13, 0, 2);
    b.iconType("plugins", 72, 0, 3);
    const QStringList names = {"circuit breaker", "draw-out breaker", "load switch", "spare"};
    for (int i = 0; i < names.size(); ++i) {
        const QString uuid = QString("{0000000%1-0000-4000-8000-000000000000}").arg(i + 1);
        b.icon(breaker, names.at(i), uuid, "2026-01-01T10:00:00", i == 1, i < 2);
        IconTesting::writeIcon(MDeployPaths::IconFile("breaker", uuid), names.at(i), uuid, "breaker", 3);
    }
}

void save(QWidget* widget, const QString& file)
{
    QApplication::processEvents();
    widget->grab().save(file);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication app(argc, argv);
    const QString out = app.arguments().value(1, ".");
    TestSupport::TestSite site;
    buildSite(site);
    const QString incoming = site.tree().base() + "/incoming/new breaker.xco";
    IconTesting::writeIcon(incoming, "new breaker", "{00000009-0000-4000-8000-000000000000}", "breaker", 2,
                           QSizeF(48, 36));

    MIconViewEditor editor;
    editor.resize(260, 320);
    editor.show();
    editor.SelectType("breaker");
    save(&editor, out + "/icon_editor.png");

    // The import dialog, caught while it is open.
    QTimer::singleShot(200, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        dialog->setDirectory(QFileInfo(incoming).absolutePath());
        QTimer::singleShot(300, [dialog, incoming, out] {
            // As a click on the file would: the list's current item changes.
            if (auto* view = dialog->findChild<QAbstractItemView*>("treeView"))
                view->setCurrentIndex(view->model()->index(0, 0, view->rootIndex()));
            QTimer::singleShot(300, [dialog, out] {
                save(dialog, out + "/icon_import.png");
                dialog->reject();
            });
        });
    });
    editor.Box()->ImportIcon();

    MIconViewOnline palette;
    palette.resize(260, 420);
    palette.show();
    save(&palette, out + "/palette_common.png");
    QTreeWidgetItem* breakerItem = palette.Tree()->topLevelItem(1)->child(0);
    palette.Tree()->expandItem(breakerItem->parent());
    palette.Tree()->ItemClicked(breakerItem, 0);
    save(&palette, out + "/palette_default.png");

    MIconListOnline* list = palette.List();
    const QPoint at = list->visualItemRect(list->item(0)).center();
    QHelpEvent hover(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list->viewport(), &hover);
    QApplication::processEvents();
    QImage picture = palette.grab().toImage();
    if (MIconTip* tip = MIconTip::Current()) {
        QPainter painter(&picture);
        painter.drawPixmap(palette.mapFromGlobal(tip->pos()), tip->grab());
    }
    picture.save(out + "/palette_tip.png");
    return 0;
}
