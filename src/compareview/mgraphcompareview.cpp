#include "mgraphcompareview.h"

#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "comparepicturewidget.h"
#include "comparerenderer.h"
#include "graphdiff.h"
#include "graphedition.h"
#include "mdrawobjfactory.h"
#include "mgraphdoc.h"

class MGraphCompareViewPrivate
{
public:
    explicit MGraphCompareViewPrivate(MGraphCompareView* view);

    void show(const MGraphDoc& before, const MGraphDoc& after, const QString& title);
    // editionA of app/pic read from the tree against after, named afterName.
    bool againstEdition(const QString& app, const QString& pic, int editionA, const MGraphDoc& after,
                        const QString& afterName);
    void clear(const QString& error);
    void fillList();
    void mark(int row);

    QLabel* summary;
    QTreeWidget* list;
    QTabWidget* tabs;
    ComparePictureWidget* sideBySide;
    ComparePictureWidget* overlay;
    GraphChangeList changes;
    QString error;
};

MGraphCompareViewPrivate::MGraphCompareViewPrivate(MGraphCompareView* view)
    : summary(new QLabel(view)),
      list(new QTreeWidget(view)),
      tabs(new QTabWidget(view)),
      sideBySide(new ComparePictureWidget(tabs)),
      overlay(new ComparePictureWidget(tabs))
{
    summary->setObjectName("compareSummary");
    list->setObjectName("changeList");
    tabs->setObjectName("pictureTabs");
    sideBySide->setObjectName("sideBySide");
    overlay->setObjectName("overlay");
    list->setHeaderLabels({MGraphCompareView::tr("Change"), MGraphCompareView::tr("Object"),
                           MGraphCompareView::tr("Details")});
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->header()->setStretchLastSection(true);
    tabs->addTab(overlay, MGraphCompareView::tr("Overlay"));
    tabs->addTab(sideBySide, MGraphCompareView::tr("Side by side"));

    auto* splitter = new QSplitter(Qt::Vertical, view);
    splitter->addWidget(list);
    splitter->addWidget(tabs);
    splitter->setStretchFactor(1, 2);
    auto* layout = new QVBoxLayout(view);
    layout->addWidget(summary);
    layout->addWidget(splitter, 1);
}

void MGraphCompareViewPrivate::show(const MGraphDoc& before, const MGraphDoc& after, const QString& title)
{
    error.clear();
    changes = GraphDiff::Compare(before, after);
    sideBySide->SetPicture(CompareRenderer::SideBySide(before, after, CompareRenderer::SideBySideSize(before, after)));
    overlay->SetPicture(CompareRenderer::Overlay(after, changes, CompareRenderer::DefaultSize()));
    const int count = int(changes.size());
    summary->setText(count == 0 ? MGraphCompareView::tr("%1: no differences").arg(title)
                                : MGraphCompareView::tr("%1: %n change(s)", nullptr, count).arg(title));
    fillList();
}

bool MGraphCompareViewPrivate::againstEdition(const QString& app, const QString& pic, int editionA,
                                              const MGraphDoc& after, const QString& afterName)
{
    MGraphDoc before;
    QString why;
    if (!GraphEdition::Load(app, pic, editionA, before, why)) {
        clear(why);
        return false;
    }
    show(before, after, QString("%1/%2, %3 → %4").arg(app, pic, GraphEdition::Name(editionA), afterName));
    return true;
}

void MGraphCompareViewPrivate::clear(const QString& why)
{
    error = why;
    changes.clear();
    sideBySide->SetPicture(ComparePicture());
    overlay->SetPicture(ComparePicture());
    summary->setText(why);
    fillList();
}

void MGraphCompareViewPrivate::fillList()
{
    list->clear();
    QList<QTreeWidgetItem*> items;
    for (const GraphChange& change : std::as_const(changes)) {
        QString object;
        if (change.kind != GraphChange::Property)
            object = QString("%1 %2").arg(MDrawObjFactory::TypeName(change.objectType)).arg(change.objectId);
        auto* item = new QTreeWidgetItem({GraphChange::KindName(change.kind), object, change.detail});
        item->setToolTip(2, change.line());
        item->setForeground(0, CompareRenderer::ColorOf(change.group()).darker(130));
        items << item;
    }
    list->addTopLevelItems(items);
    list->resizeColumnToContents(0);
    list->resizeColumnToContents(1);
}

void MGraphCompareViewPrivate::mark(int row)
{
    const GraphChange change = row >= 0 && row < changes.size() ? changes.at(row) : GraphChange();
    const std::optional<QRectF> before = change.hasOld() ? std::optional(change.oldRect) : std::nullopt;
    const std::optional<QRectF> after = change.hasNew() ? std::optional(change.newRect) : std::nullopt;
    sideBySide->SetMark(before, after);
    overlay->SetMark(before, after);
}

MGraphCompareView::MGraphCompareView(QWidget* parent)
    : QWidget(parent), d(std::make_unique<MGraphCompareViewPrivate>(this))
{
    connect(d->list, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        const int row = item ? d->list->indexOfTopLevelItem(item) : -1;
        d->mark(row);
        emit ChangeSelected(row);
    });
}

MGraphCompareView::~MGraphCompareView() = default;

bool MGraphCompareView::Compare(const QString& app, const QString& pic, int editionA, int editionB)
{
    MGraphDoc after;
    QString error;
    if (!GraphEdition::Load(app, pic, editionB, after, error)) {
        d->clear(error);
        return false;
    }
    return d->againstEdition(app, pic, editionA, after, GraphEdition::Name(editionB));
}

bool MGraphCompareView::Compare(const QString& app, const QString& pic, int editionA, const MGraphDoc& current)
{
    return d->againstEdition(app, pic, editionA, current, tr("the open drawing"));
}

void MGraphCompareView::Compare(const MGraphDoc& before, const MGraphDoc& after)
{
    d->show(before, after, tr("%1 → %2").arg(before.GetName(), after.GetName()));
}

QString MGraphCompareView::LastError() const
{
    return d->error;
}

int MGraphCompareView::ChangeCount() const
{
    return int(d->changes.size());
}

QStringList MGraphCompareView::ChangeLines() const
{
    QStringList lines;
    for (const GraphChange& change : std::as_const(d->changes))
        lines << change.line();
    return lines;
}

void MGraphCompareView::SelectChange(int row)
{
    QTreeWidgetItem* item = d->list->topLevelItem(row);
    d->list->setCurrentItem(item);
    if (!item)
        d->list->clearSelection();
}

int MGraphCompareView::SelectedChange() const
{
    QTreeWidgetItem* item = d->list->currentItem();
    return item ? d->list->indexOfTopLevelItem(item) : -1;
}

QList<int> MGraphCompareView::Editions(const QString& app, const QString& pic)
{
    QList<int> versions;
    QString error;
    GraphEdition::Versions(app, pic, versions, error);
    return versions;
}

QString MGraphCompareView::EditionName(int edition)
{
    return GraphEdition::Name(edition);
}
