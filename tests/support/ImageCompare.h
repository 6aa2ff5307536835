// Counts the pixels in which two pictures differ, for tests of drawn icons.
#pragma once

#include <QColor>
#include <QImage>

#include <cstdlib>

// Pixels whose colour (where both are mostly opaque) differs by more than
// colourTolerance in the sum of the channels, or whose opacity differs by
// more than alphaTolerance after b's opacity is scaled by alphaScale. Pictures
// of different sizes differ everywhere.
inline int DifferentPixels(const QImage& a, const QImage& b, int colourTolerance, int alphaTolerance,
                           double alphaScale = 1.0)
{
    if (a.size() != b.size())
        return a.width() * a.height();
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
            const bool colour = p.alpha() > 64 && q.alpha() > 64
                && std::abs(p.red() - q.red()) + std::abs(p.green() - q.green()) + std::abs(p.blue() - q.blue())
                    > colourTolerance;
            if (colour || std::abs(p.alpha() - q.alpha() * alphaScale) > alphaTolerance)
                ++count;
        }
    return count;
}
