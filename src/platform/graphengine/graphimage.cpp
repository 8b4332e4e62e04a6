#include "graphimage.h"

#include <algorithm>
#include <cmath>

double GraphImage::FitScale(const QSizeF& size, const QSizeF& bound)
{
    if (!std::isfinite(size.width()) || !std::isfinite(size.height()))
        return 0;
    double scale = 1;
    if (size.width() > bound.width())
        scale = bound.width() / size.width();
    if (size.height() > bound.height())
        scale = std::min(scale, bound.height() / size.height());
    return scale;
}
