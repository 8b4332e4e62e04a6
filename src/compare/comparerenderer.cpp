#include "comparerenderer.h"

#include <QPainter>
#include <QtMath>

#include "mgraphdoc.h"

namespace {

const QColor kGap(0x30, 0x30, 0x30);
constexpr int kGapPixels = 8;
constexpr int kDimAlpha = 150;
constexpr int kFillAlpha = 160;
constexpr double kMarkMargin = 3.0;

QImage blank(const QSize& size)
{
    QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    image.fill(kGap);
    return image;
}

// Where the overlay must reach: the drawing and every place a change names.
QRectF overlayFrame(const MGraphDoc& after, const GraphChangeList& changes)
{
    QRectF frame(QPointF(0, 0), after.GetSize());
    for (const GraphChange& change : changes) {
        if (change.hasOld())
            frame |= change.oldRect;
        if (change.hasNew())
            frame |= change.newRect;
    }
    return frame;
}

} // namespace

QColor CompareRenderer::ColorOf(GraphChange::Group group)
{
    switch (group) {
    case GraphChange::GroupAdded:
        return QColor(0x20, 0xd0, 0x40);
    case GraphChange::GroupRemoved:
        return QColor(0xf0, 0x20, 0x20);
    case GraphChange::GroupChanged:
        break;
    }
    return QColor(0xff, 0x98, 0x00);
}

QSize CompareRenderer::SideBySideSize(const MGraphDoc& before, const MGraphDoc& after)
{
    const double half = (DefaultSize().width() - kGapPixels) / 2.0;
    double aspect = 0;
    for (const MGraphDoc* doc : {&before, &after})
        aspect = qMax(aspect, doc->GetSize().height() / qMax(doc->GetSize().width(), 1.0));
    // Bounded, so that a drawing of odd proportions cannot ask for a huge picture.
    return QSize(DefaultSize().width(), qBound(100, qCeil(half * aspect), 2 * DefaultSize().height()));
}

QTransform CompareRenderer::Fit(const QRectF& drawing, const QRectF& target)
{
    const double w = qMax(drawing.width(), 1.0), h = qMax(drawing.height(), 1.0);
    const double scale = qMin(target.width() / w, target.height() / h);
    const QPointF offset(target.left() + (target.width() - w * scale) / 2,
                         target.top() + (target.height() - h * scale) / 2);
    return QTransform::fromTranslate(-drawing.left(), -drawing.top()) * QTransform::fromScale(scale, scale)
        * QTransform::fromTranslate(offset.x(), offset.y());
}

QRectF CompareRenderer::Marked(const QTransform& transform, const QRectF& rect)
{
    return transform.mapRect(rect).adjusted(-kMarkMargin, -kMarkMargin, kMarkMargin, kMarkMargin);
}

void CompareRenderer::drawDrawing(QPainter& painter, const MGraphDoc& doc, const QTransform& transform)
{
    painter.save();
    painter.setTransform(transform);
    painter.setClipRect(QRectF(QPointF(0, 0), doc.GetSize()));
    doc.Render(&painter, true);
    painter.restore();
}

ComparePicture CompareRenderer::SideBySide(const MGraphDoc& before, const MGraphDoc& after, const QSize& size)
{
    ComparePicture picture{blank(size), {}, {}};
    const double half = (picture.image.width() - kGapPixels) / 2.0;
    const double height = picture.image.height();
    picture.before = Fit(QRectF(QPointF(0, 0), before.GetSize()), QRectF(0, 0, half, height));
    picture.after = Fit(QRectF(QPointF(0, 0), after.GetSize()), QRectF(half + kGapPixels, 0, half, height));
    QPainter painter(&picture.image);
    painter.setRenderHint(QPainter::Antialiasing);
    drawDrawing(painter, before, picture.before);
    drawDrawing(painter, after, picture.after);
    return picture;
}

ComparePicture CompareRenderer::Overlay(const MGraphDoc& after, const GraphChangeList& changes, const QSize& size)
{
    ComparePicture picture{blank(size), {}, {}};
    picture.after = Fit(overlayFrame(after, changes), QRectF(QPointF(0, 0), picture.image.size()));
    picture.before = picture.after;
    QPainter painter(&picture.image);
    painter.setRenderHint(QPainter::Antialiasing);
    drawDrawing(painter, after, picture.after);
    painter.fillRect(picture.image.rect(), QColor(0, 0, 0, kDimAlpha));
    // Changed first, so that an added or removed object next to one stays visible.
    for (GraphChange::Group group : {GraphChange::GroupChanged, GraphChange::GroupRemoved, GraphChange::GroupAdded}) {
        for (const GraphChange& change : changes) {
            if (change.kind != GraphChange::Property && change.group() == group)
                drawChange(painter, change, picture.after);
        }
    }
    return picture;
}

void CompareRenderer::drawChange(QPainter& painter, const GraphChange& change, const QTransform& transform)
{
    const QColor color = ColorOf(change.group());
    QColor fill = color;
    fill.setAlpha(kFillAlpha);
    const QRectF shown = change.hasNew() ? change.newRect : change.oldRect;
    if (change.hasOld() && change.hasNew() && change.oldRect != change.newRect) {
        painter.setPen(QPen(color, 1.5, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(Marked(transform, change.oldRect));
    }
    painter.setPen(QPen(color, 2));
    painter.setBrush(fill);
    painter.drawRect(Marked(transform, shown));
}
