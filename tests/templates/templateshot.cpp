// Renders the template view with a preview into a PNG, for review by eye:
//   templateshot OUT.png
// A throwaway site: two template types, the sample templates, one clicked.
#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QTest>

#include "mhmiadmin.h"
#include "mtemplatelist.h"
#include "mtemplateview.h"
#include "mtemplateviewprivate.h"
#include "testsite.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;
    TestSupport::TestSite site(TestSupport::TestSite::FileServer::None);
    const QString style = site.builder().templateType("style_template", "style");
    site.builder().templateType("bay", "bay");
    bool ok = MHmiAdmin::SetTranslation("style", QString::fromUtf8("样式模板"));
    for (const QString& name : {QString::fromUtf8("出线间隔"), QString::fromUtf8("标题栏")}) {
        site.builder().templateItem(style, name);
        const QByteArray data = [&] {
            QFile sample(":/graphengine/samples/template/style/" + name + ".xtp");
            return sample.open(QIODevice::ReadOnly) ? sample.readAll() : QByteArray();
        }();
        ok = ok && !data.isEmpty() && site.tree().writeFile("template/style/" + name + ".xtp", data);
    }
    MTemplateView view;
    view.resize(320, 480);
    view.show();
    ok = ok && site.builder().ok() && QTest::qWaitForWindowExposed(&view);
    MTemplateList* page = view.Pages()->CurrentPage();
    ok = ok && page && page->count() == 2;
    if (ok) {
        page->setCurrentRow(0);
        QTest::mouseClick(page->viewport(), Qt::LeftButton, {}, page->visualItemRect(page->item(0)).center());
    }
    ok = ok && view.grab().save(QString::fromLocal8Bit(argv[1]));
    return ok ? 0 : 1;
}
