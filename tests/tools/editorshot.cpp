// A picture of the editor host for a person to look at (offscreen grab): the
// icon library open on a type, the looks of one of its icons below it, and a
// template open on the canvas.
//   editorshot FILE.png
#include <QApplication>
#include <QDockWidget>
#include <QFile>
#include <QTreeWidget>

#include "editorwindow.h"
#include "mabstracticonvieweditor.h"
#include "mdeploypaths.h"
#include "templateworkbench.h"
#include "testsite.h"

namespace {

const QString kSamples = ":/graphengine/samples/";

bool copySample(const QString& sample, const QString& target)
{
    QDir().mkpath(QFileInfo(target).absolutePath());
    return QFile::copy(kSamples + sample, target);
}

int fail(const QString& why)
{
    qCritical("editorshot: %s", qPrintable(why));
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QApplication app(argc, argv);
    const QString out = app.arguments().value(1, "editor-looks.png");
    TestSupport::TestSite site;
    SiteGen::SiteBuilder& b = site.builder();
    const QString uuid = "{9940a975-99c3-551d-9d3b-585a323b2a37}";
    const QString transformers = b.iconType("transformer3", 4, 0, 0);
    b.iconType("breaker", 2, 0, 0);
    b.icon(transformers, "三卷变", uuid, "2026-01-01T10:00:00");
    b.templateItem(b.templateType("style", "style"), "出线间隔");
    if (!b.ok() || !copySample("icon/transformer3/" + uuid + ".xco", MDeployPaths::IconFile("transformer3", uuid))
        || !copySample("template/style/出线间隔.xtp", MDeployPaths::TemplateFile("style", "出线间隔")))
        return fail("cannot make the site: " + b.errors());

    EditorWindow window;
    window.show();
    window.IconEditor()->SelectType("transformer3");
    auto* tree = window.IconEditor()->findChild<QTreeWidget*>();
    const QList<QTreeWidgetItem*> icons = tree->findItems("三卷变", Qt::MatchExactly | Qt::MatchRecursive);
    if (icons.isEmpty())
        return fail("the icon is not listed");
    tree->setCurrentItem(icons.first());
    emit tree->itemClicked(icons.first(), 0);
    window.findChild<QDockWidget*>("iconEditorDock")->raise();
    if (!window.Templates()->EditTemplate(MDeployPaths::TemplateFile("style", "出线间隔")))
        return fail("the template does not open");
    QApplication::processEvents();
    if (!window.grab().save(out))
        return fail("cannot write " + out);
    qInfo("%s", qPrintable(out));
    return 0;
}
