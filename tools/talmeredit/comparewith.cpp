#include "comparewith.h"

#include <QCoreApplication>
#include <QInputDialog>
#include <QStringList>

#include "mgraphcompareview.h"
#include "mgraphdoc.h"

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("CompareWith", text);
}

} // namespace

MGraphCompareView* CompareWith::Show(QWidget* parent, const QString& app, const QString& pic, const MGraphDoc* current,
                                     QString& message)
{
    if (pic.isEmpty() || !current) {
        message = tr("Open a picture first.");
        return nullptr;
    }
    const QList<int> versions = MGraphCompareView::Editions(app, pic);
    if (versions.isEmpty()) {
        message = tr("%1 has no saved version to compare with.").arg(pic);
        return nullptr;
    }
    QStringList names;
    for (int version : versions)
        names << MGraphCompareView::EditionName(version);
    bool ok = false;
    // The newest first: the one usually compared with.
    const QString chosen = QInputDialog::getItem(parent, tr("Compare with"), tr("Compare %1 with").arg(pic), names,
                                                 int(names.size()) - 1, false, &ok);
    if (!ok) {
        message.clear();
        return nullptr;
    }
    const int version = versions.value(int(names.indexOf(chosen)), -1);
    auto* view = new MGraphCompareView(parent);
    view->setWindowFlag(Qt::Window);
    view->setAttribute(Qt::WA_DeleteOnClose);
    view->setWindowTitle(tr("%1 / %2: %3 → the open drawing").arg(app, pic, MGraphCompareView::EditionName(version)));
    if (!view->Compare(app, pic, version, *current)) {
        message = view->LastError();
        delete view;
        return nullptr;
    }
    view->resize(1000, 760);
    view->show();
    message = QCoreApplication::translate("CompareWith", "%1 / %2: %n change(s) since %3", nullptr, view->ChangeCount())
                  .arg(app, pic, MGraphCompareView::EditionName(version));
    return view;
}
