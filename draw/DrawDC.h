// What drawing objects draw on: a painter whose world transform maps page
// units (y upwards) to the device, whether the device is paper (or an
// exported picture) rather than the screen, and how large one device pixel is
// in page units.
#pragma once

#include "platform/Types.h"

#include <QRectF>

class QPainter;

struct CDrawDC {
    QPainter* painter = nullptr;
    // Paper and exported pictures: no screen-only decorations (text frames,
    // handles) and fine outlines.
    bool printing = false;
    // One device pixel in page units.
    double pixelX = 7.5;
    double pixelY = 7.5;
    // Long hairlines drawn per pixel column (the same pixels, far fewer
    // segments); off for the whole drawing that checks compare with.
    bool reduceLongLines = true;
    // The part of the page being drawn, in page units (normalised); empty:
    // everything. Objects wholly outside it may be left out.
    RECT clip{0, 0, 0, 0};

    bool HasClip() const { return clip.right > clip.left && clip.bottom > clip.top; }
};
