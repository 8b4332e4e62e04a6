// Pictures of a comparison: the overlay's colours where the changes are and
// nowhere else, the editions side by side, the same pixels every time.
#include <QtTest>

#include "comparerenderer.h"
#include "comparetesting.h"
#include "graphdiff.h"
#include "testmain.h"

using namespace CompareTesting;

namespace {

// Which change colour a pixel shows, by its dominant channels; "" for none.
QString colourClass(QRgb p)
{
    const int r = qRed(p), g = qGreen(p), b = qBlue(p);
    if (g > 1.5 * r && g > 1.5 * b)
        return "green";
    if (r > 2 * g && r > 2 * b)
        return "red";
    if (r > 1.2 * g && g > 1.5 * b && g > 0.3 * r)
        return "orange";
    return QString();
}

QString expectedClass(const GraphChange& change)
{
    switch (change.group()) {
    case GraphChange::GroupAdded:
        return "green";
    case GraphChange::GroupRemoved:
        return "red";
    case GraphChange::GroupChanged:
        break;
    }
    return "orange";
}

QRectF shownRect(const GraphChange& change)
{
    return change.kind == GraphChange::Removed ? change.oldRect : change.newRect;
}

struct Edited
{
    std::unique_ptr<MGraphDoc> before = beijing();
    std::unique_ptr<MGraphDoc> after = beijing();
    GraphChangeList changes;
    Edited()
    {
        if (before && after) {
            changeBeijing(*after);
            changes = GraphDiff::Compare(*before, *after);
        }
    }
};

} // namespace

class tst_CompareRenderer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void overlayColoursEachChange();
    void overlayLeavesTheRestAsDrawn();
    void overlayReachesObjectsOutsideTheNewDrawing();
    void sideBySideShowsEachEditionInItsHalf();
    void samePixelsEveryTime();
    void sideBySideHeightFollowsTheTallerDrawing_data();
    void sideBySideHeightFollowsTheTallerDrawing();
};

void tst_CompareRenderer::overlayColoursEachChange()
{
    // Guards against a change drawn in the wrong colour or at the wrong place (old and new coordinates mixed up).
    Edited e;
    QCOMPARE(e.changes.size(), 7);
    const ComparePicture picture = CompareRenderer::Overlay(*e.after, e.changes, CompareRenderer::DefaultSize());
    QCOMPARE(picture.image.size(), QSize(1600, 900));
    QStringList seen, expected;
    for (const GraphChange& change : std::as_const(e.changes)) {
        if (change.kind == GraphChange::Property)
            continue;
        const QPoint centre = CompareRenderer::Marked(picture.after, shownRect(change)).center().toPoint();
        seen << brief(change) + ": " + colourClass(picture.image.pixel(centre));
        expected << brief(change) + ": " + expectedClass(change);
    }
    QCOMPARE(seen, expected);
    // Where the moved text was: an outline only (dashed), its inside not filled.
    const QRect old = CompareRenderer::Marked(picture.after, e.changes.at(1).oldRect).toRect();
    int outline = 0;
    for (int y = old.top() + 2; y < old.bottom() - 2; ++y) {
        for (int x : {old.left() - 1, old.left()})
            outline += colourClass(picture.image.pixel(x, y)) == "orange";
    }
    QVERIFY(outline > 3);
    QCOMPARE(colourClass(picture.image.pixel(old.left() + 12, old.center().y())), QString());
}

void tst_CompareRenderer::overlayLeavesTheRestAsDrawn()
{
    // Guards against colour spilling over unchanged objects, and an overlay that does not show the new edition.
    Edited e;
    const QSize size = CompareRenderer::DefaultSize();
    const ComparePicture marked = CompareRenderer::Overlay(*e.after, e.changes, size);
    const ComparePicture plain = CompareRenderer::Overlay(*e.after, GraphChangeList(), size);
    QCOMPARE(marked.after, plain.after);
    QList<QRect> allowed;
    for (const GraphChange& change : std::as_const(e.changes)) {
        for (const QRectF& r : {change.oldRect, change.newRect}) {
            if (!r.isNull())
                allowed << CompareRenderer::Marked(marked.after, r).toAlignedRect().adjusted(-3, -3, 3, 3);
        }
    }
    int differing = 0, outside = 0;
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            if (marked.image.pixel(x, y) == plain.image.pixel(x, y))
                continue;
            ++differing;
            if (std::none_of(allowed.begin(), allowed.end(), [&](const QRect& r) { return r.contains(x, y); }))
                ++outside;
        }
    }
    QVERIFY(differing > 1000);
    QCOMPARE(outside, 0);
    // The new edition is there under the dimming: the added box, blue.
    const QPoint box = plain.after.map(kAddedBox.center()).toPoint();
    const QRgb p = plain.image.pixel(box);
    QVERIFY2(qBlue(p) > 2 * qRed(p) && qBlue(p) > 40, qPrintable(QColor(p).name()));
}

void tst_CompareRenderer::overlayReachesObjectsOutsideTheNewDrawing()
{
    // Guards against a removed object outside the smaller new drawing falling off the picture.
    auto bigger = beijing();
    auto small = beijing();
    QVERIFY(bigger && small);
    bigger->GetGraph()->AddObject(newBox(kAddedBox, Qt::blue));
    small->SetSize(QSizeF(800, 450));
    const GraphChangeList shrunk = GraphDiff::Compare(*bigger, *small);
    QCOMPARE(briefs(shrunk), (QStringList{"property: size 1600 × 900 → 800 × 450", "removed rect 49"}));
    const ComparePicture picture = CompareRenderer::Overlay(*small, shrunk, QSize(800, 450));
    const QPointF centre = CompareRenderer::Marked(picture.after, kAddedBox).center();
    QVERIFY(picture.image.rect().contains(centre.toPoint()));
    QCOMPARE(colourClass(picture.image.pixel(centre.toPoint())), QString("red"));
}

void tst_CompareRenderer::sideBySideShowsEachEditionInItsHalf()
{
    // Guards against the two editions swapped or drawn over each other.
    Edited e;
    const QSize size(1000, 400);
    for (bool addedOnRight : {true, false}) {
        const MGraphDoc& left = addedOnRight ? *e.before : *e.after;
        const MGraphDoc& right = addedOnRight ? *e.after : *e.before;
        const ComparePicture picture = CompareRenderer::SideBySide(left, right, size);
        const QPointF inLeft = picture.before.map(kAddedBox.center());
        const QPointF inRight = picture.after.map(kAddedBox.center());
        QVERIFY(inLeft.x() < size.width() / 2 && inRight.x() > size.width() / 2);
        const QRgb boxSide = picture.image.pixel((addedOnRight ? inRight : inLeft).toPoint());
        const QRgb emptySide = picture.image.pixel((addedOnRight ? inLeft : inRight).toPoint());
        QCOMPARE(QColor(boxSide), QColor(0x20, 0x40, 0xff));
        QCOMPARE(QColor(emptySide), QColor(0x10, 0x14, 0x20)); // the drawing's background
    }
}

void tst_CompareRenderer::samePixelsEveryTime()
{
    // Guards against pictures that depend on anything but their input (a clock, a screen, leftover state).
    Edited e;
    const QImage first = CompareRenderer::Overlay(*e.after, e.changes, QSize(640, 360)).image;
    const QImage sideBySide = CompareRenderer::SideBySide(*e.before, *e.after, QSize(640, 360)).image;
    QCOMPARE(CompareRenderer::Overlay(*e.after, e.changes, QSize(640, 360)).image, first);
    QCOMPARE(CompareRenderer::SideBySide(*e.before, *e.after, QSize(640, 360)).image, sideBySide);
    QVERIFY(first != sideBySide);
}

void tst_CompareRenderer::sideBySideHeightFollowsTheTallerDrawing_data()
{
    QTest::addColumn<QSizeF>("before");
    QTest::addColumn<QSizeF>("after");
    QTest::addColumn<int>("height");
    QTest::newRow("wide drawings") << QSizeF(1600, 900) << QSizeF(1600, 900) << 448;
    QTest::newRow("the new one taller") << QSizeF(1600, 900) << QSizeF(1000, 1000) << 796;
    QTest::newRow("the old one taller") << QSizeF(1000, 1000) << QSizeF(1600, 900) << 796;
    QTest::newRow("a strip, bounded below") << QSizeF(100000, 10) << QSizeF(100000, 10) << 100;
    QTest::newRow("a column, bounded above") << QSizeF(10, 100000) << QSizeF(1600, 900) << 1800;
}

void tst_CompareRenderer::sideBySideHeightFollowsTheTallerDrawing()
{
    // Guards against side-by-side pictures mostly empty, or as large as a hostile drawing's proportions ask.
    QFETCH(QSizeF, before);
    QFETCH(QSizeF, after);
    QFETCH(int, height);
    MGraphDoc a, b;
    a.SetSize(before);
    b.SetSize(after);
    QCOMPARE(CompareRenderer::SideBySideSize(a, b), QSize(1600, height));
}

TALMER_TEST_MAIN(tst_CompareRenderer)
#include "tst_comparerenderer.moc"
