#pragma once

#include <QSizeF>

// Pictures drawn from files: a file may declare any size (an icon of
// 10,000 x 10,000 fits in a few hundred bytes), so a picture is drawn scaled
// into a bounded size instead of allocating what the file asks for.
class GraphImage
{
public:
    // The longest side of an image rendered from a drawing, template or icon file.
    static constexpr double kMaxRenderSide = 2048;

    // The scale (at most 1) that brings size within bound on both sides: 1 for
    // a size that fits already (an empty one too), 0 for a size that is not finite.
    static double FitScale(const QSizeF& size, const QSizeF& bound);
};
