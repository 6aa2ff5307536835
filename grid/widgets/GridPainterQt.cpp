#include "grid/widgets/GridPainterQt.h"

#include <QPainter>
#include <QString>

#include <cstdlib>
#include <cstring>

QColor ColorFromRef(COLORREF color)
{
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

QRect QRectFromRect(const RECT& r) { return QRect(int(r.left), int(r.top), int(r.Width()), int(r.Height())); }

RECT RectFromQRect(const QRect& r) { return RECT{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }

QFont FontFromLogFont(const LOGFONT& lf)
{
    QFont font;
    const std::size_t length = strnlen(lf.lfFaceName, LF_FACESIZE);
    if (length > 0)
        font.setFamilies({QString::fromUtf8(lf.lfFaceName, qsizetype(length))});
    const int height = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
    font.setPixelSize(height > 0 ? height : 1);
    if (lf.lfWeight > 0)
        font.setWeight(QFont::Weight(lf.lfWeight < 100 ? 100 : lf.lfWeight > 900 ? 900 : lf.lfWeight));
    font.setItalic(lf.lfItalic != 0);
    font.setUnderline(lf.lfUnderline != 0);
    font.setStrikeOut(lf.lfStrikeOut != 0);
    return font;
}

CGridPainterQt::CGridPainterQt(QPainter& painter, const QRect& clip, bool printing)
    : m_painter(painter), m_clip(RectFromQRect(clip)), m_bPrinting(printing)
{
}

const QFont& CGridPainterQt::FontFor(const LOGFONT& font)
{
    for (const auto& entry : m_fonts)
        if (entry.first == font)
            return entry.second;
    m_fonts.emplace_back(font, FontFromLogFont(font));
    return m_fonts.back().second;
}

void CGridPainterQt::FillRect(const RECT& rect, COLORREF color)
{
    if (!RectIsEmpty(rect))
        m_painter.fillRect(QRectFromRect(rect), ColorFromRef(color));
}

void CGridPainterQt::DrawLine(int x1, int y1, int x2, int y2, COLORREF color)
{
    // Straight lines are one-pixel rectangles, which leave out the end point exactly.
    if (y1 == y2) {
        if (x1 != x2)
            m_painter.fillRect(QRect(std::min(x1, x2) + (x2 < x1 ? 1 : 0), y1, std::abs(x2 - x1), 1), ColorFromRef(color));
        return;
    }
    if (x1 == x2) {
        m_painter.fillRect(QRect(x1, std::min(y1, y2) + (y2 < y1 ? 1 : 0), 1, std::abs(y2 - y1)), ColorFromRef(color));
        return;
    }
    m_painter.setPen(QPen(ColorFromRef(color), 0));
    m_painter.drawLine(x1, y1, x2, y2);
}

void CGridPainterQt::DrawText(const RECT& rect, std::string_view text, UINT format, COLORREF color,
                              const LOGFONT& deviceFont)
{
    if (text.empty() || RectIsEmpty(rect))
        return;
    const QFont& font = FontFor(deviceFont);
    if (m_pCurrentFont != &font) {
        m_painter.setFont(font);
        m_pCurrentFont = &font;
    }
    // Word-wrapped text is centred as a block (its height measured by Qt).
    int flags = (format & DT_WORDBREAK) ? int(Qt::TextWordWrap) : int(Qt::TextSingleLine);
    flags |= (format & DT_CENTER) ? Qt::AlignHCenter : (format & DT_RIGHT) ? Qt::AlignRight : Qt::AlignLeft;
    flags |= (format & DT_VCENTER) ? Qt::AlignVCenter : Qt::AlignTop;
    m_painter.setPen(ColorFromRef(color));
    // Text that fits is drawn without a clip; QPainter clips only what overflows.
    m_painter.drawText(QRectFromRect(rect), flags, QString::fromUtf8(text.data(), qsizetype(text.size())));
}

void CGridPainterQt::DrawHighlight(const RECT& rect)
{
    if (m_bPrinting || RectIsEmpty(rect))
        return;
    QColor highlight(0, 120, 215, 70);
    m_painter.fillRect(QRectFromRect(rect), highlight);
}

void CGridPainterQt::DrawFocusFrame(const RECT& rect)
{
    if (m_bPrinting || RectIsEmpty(rect))
        return;
    const QRect r = QRectFromRect(rect);
    const QColor frame(0, 0, 0);
    m_painter.fillRect(QRect(r.left(), r.top(), r.width(), 2), frame);
    m_painter.fillRect(QRect(r.left(), r.bottom() - 1, r.width(), 2), frame);
    m_painter.fillRect(QRect(r.left(), r.top(), 2, r.height()), frame);
    m_painter.fillRect(QRect(r.right() - 1, r.top(), 2, r.height()), frame);
}

void CGridPainterQt::DrawTracker(const RECT& rect)
{
    if (!RectIsEmpty(rect))
        m_painter.fillRect(QRectFromRect(rect), QColor(64, 64, 64));
}
