// Renders the comparison view on the changed sample substation into PNGs, for
// review by eye:  compareshot OVERLAY.png [SIDEBYSIDE.png]
// Version 1 is the sample, version 2 the same with seven changes; the moved
// text is selected.
#include <QApplication>
#include <QTabWidget>
#include <QTest>

#include "comparetesting.h"
#include "deploytree.h"
#include "mgraphcompareview.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    TestSupport::DeployTree tree;
    const QString folder = tree.path(QString::fromUtf8("pic/SCADA/北京变电站"));
    auto doc = CompareTesting::beijing();
    bool ok = doc && QDir().mkpath(folder) && doc->WriteDataFile(folder + "/1.brg");
    if (ok) {
        CompareTesting::changeBeijing(*doc);
        ok = doc->WriteDataFile(folder + "/2.brg");
    }
    MGraphCompareView view;
    view.resize(1100, 820);
    view.show();
    ok = ok && QTest::qWaitForWindowExposed(&view) && view.Compare("SCADA", QString::fromUtf8("北京变电站"), 1, 2);
    view.SelectChange(1);
    ok = ok && view.grab().save(QString::fromLocal8Bit(argv[1]));
    if (ok && argc > 2) {
        view.findChild<QTabWidget*>("pictureTabs")->setCurrentIndex(1);
        ok = view.grab().save(QString::fromLocal8Bit(argv[2]));
    }
    return ok ? 0 : 1;
}
