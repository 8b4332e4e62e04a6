#pragma once

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QTransform>

#include "graphchange.h"

class MGraphDoc;

// A picture of a comparison and where each edition's drawing coordinates
// land in it (for marking an object afterwards).
struct ComparePicture
{
    QImage image;
    QTransform before; // old edition's coordinates -> pixels
    QTransform after;  // new edition's coordinates -> pixels
};

// Pictures of a comparison, drawn by the engine's own painter code. They
// depend only on the drawings, the changes and the size asked for (no clock,
// no screen), so the same input gives the same pixels.
class CompareRenderer
{
public:
    static QSize DefaultSize() { return QSize(1600, 900); }
    // DefaultSize's width, as high as the taller drawing needs in its half.
    static QSize SideBySideSize(const MGraphDoc& before, const MGraphDoc& after);

    // The old edition on the left, the new one on the right, each fitted to
    // its half.
    static ComparePicture SideBySide(const MGraphDoc& before, const MGraphDoc& after, const QSize& size);
    // The new edition dimmed, the changed objects coloured over it: added
    // green, removed red (where they were), changed orange (with a dashed
    // outline where a moved or resized object was).
    static ComparePicture Overlay(const MGraphDoc& after, const GraphChangeList& changes, const QSize& size);

    static QColor ColorOf(GraphChange::Group group);
    // drawing fitted into target, centred, keeping its proportions.
    static QTransform Fit(const QRectF& drawing, const QRectF& target);
    // A rectangle as marked in the picture: mapped, and at least a few pixels
    // wide, so that lines and points show.
    static QRectF Marked(const QTransform& transform, const QRectF& rect);

private:
    static void drawDrawing(QPainter& painter, const MGraphDoc& doc, const QTransform& transform);
    static void drawChange(QPainter& painter, const GraphChange& change, const QTransform& transform);
};
