// The grid painter over a QPainter: what the engine paints on screen, into
// images and onto printer pages. Fonts arrive as LOGFONTs with their height in
// device pixels of the surface; each distinct one is turned into a QFont once.
#pragma once

#include "grid/GridPainter.h"
#include "grid/GridTypes.h"

#include <QColor>
#include <QFont>
#include <QRect>

#include <vector>

class QPainter;

QColor ColorFromRef(COLORREF color);
QRect QRectFromRect(const RECT& rect);
RECT RectFromQRect(const QRect& rect);
// A font whose pixel size is the LOGFONT's height (a character height when negative).
QFont FontFromLogFont(const LOGFONT& font);

class CGridPainterQt : public CGridPainter {
public:
    CGridPainterQt(QPainter& painter, const QRect& clip, bool printing = false);

    RECT GetClipBox() const override { return m_clip; }
    bool IsPrinting() const override { return m_bPrinting; }
    void FillRect(const RECT& rect, COLORREF color) override;
    void DrawLine(int x1, int y1, int x2, int y2, COLORREF color) override;
    void DrawText(const RECT& rect, std::string_view text, UINT format, COLORREF color,
                  const LOGFONT& deviceFont) override;
    void DrawHighlight(const RECT& rect) override;
    void DrawFocusFrame(const RECT& rect) override;
    void DrawTracker(const RECT& rect) override;

private:
    const QFont& FontFor(const LOGFONT& font);

    QPainter& m_painter;
    RECT m_clip;
    bool m_bPrinting;
    // A paint pass uses one or two fonts: a short list beats a map.
    std::vector<std::pair<LOGFONT, QFont>> m_fonts;
    const QFont* m_pCurrentFont = nullptr;
};
