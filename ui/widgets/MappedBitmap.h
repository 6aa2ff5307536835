// Toolbar and button pictures drawn in the fixed greys of the classic palette,
// recoloured to the desktop's own button colours when they are loaded.
#pragma once

#include "platform/Types.h"

#include <QImage>
#include <QPalette>

#include <vector>

struct ColourMapEntry {
    COLORREF from;
    COLORREF to;
};

// The standard map: light grey to the button face, white to the button
// highlight, dark grey to the button shadow, black to the window frame,
// read from the palette at each call.
std::vector<ColourMapEntry> StandardColourMap(const QPalette& palette);

// A copy of the image in which every colour equal to a "from" colour of the
// map becomes its "to" colour (palette entries for indexed images, pixels
// otherwise; alpha is kept). No map: the standard map of the application's
// palette. A null image gives a null image.
QImage CreateMappedBitmap(const QImage& source, const std::vector<ColourMapEntry>& map = {});
