// The fonts of graph texts drawn by the graph itself (tick labels, results
// listings): a character format's face, height and effects in page units.
#pragma once

#include "platform/Types.h"

#include <QFont>

// The character height in page units (twips halved), kept within bounds so
// that a damaged format cannot ask for an absurd font.
int GraphFontHeight(const CHARFORMAT& format);
// The font of the format at the given height in page units.
QFont GraphFont(const CHARFORMAT& format, int height);
