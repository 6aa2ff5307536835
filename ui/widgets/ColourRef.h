// Colours as the program stores them (COLORREF, 0x00BBGGRR) and as Qt paints them.
#pragma once

#include "platform/Types.h"

#include <QColor>

inline QColor ColorFromRef(COLORREF c) { return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)); }
inline COLORREF RefFromColor(const QColor& c) { return COLORREF(c.red() | (c.green() << 8) | (c.blue() << 16)); }
