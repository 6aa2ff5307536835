#include "ui/widgets/FontSampleButton.h"

#include "ui/ColourValue.h"
#include "ui/widgets/ColourCombo.h"

#include <QPainter>

namespace {
constexpr int kDefaultTwips = 200;
}

CFontSampleButton::CFontSampleButton(QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

QString CFontSampleButton::SampleText(BYTE charSet)
{
    // The national letters are those that the character set's code page places
    // at the same bytes in every set: capital and small pairs of its alphabet.
    switch (charSet) {
    case 0: return QStringLiteral("AaBbYyZz");
    case 2: return QStringLiteral("Symbol");
    case 161: return QStringLiteral("AaBb") + QString::fromUtf8("\u0391\u03B1\u0392\u03B2");  // Greek
    case 162: return QStringLiteral("AaBb") + QString::fromUtf8("\u011E\u011F\u015E\u015F");  // Turkish
    case 177: return QStringLiteral("AaBb") + QString::fromUtf8("\u05E0\u05E1\u05E9\u05EA");  // Hebrew
    default: return QStringLiteral("AaBb") + QString::fromUtf8("\u00C1\u00E1\u00D4\u00F4");
    }
}

QFont CFontSampleButton::FontOf(const LOGFONT& lf, int twips, int dpiY)
{
    QFont font(QString::fromUtf8(lf.lfFaceName));
    // Twips to pixels at the device's resolution, as the sample is drawn at its true size.
    int pixels = int((long long)twips * dpiY / 1440);
    font.setPixelSize(pixels > 0 ? pixels : 1);
    font.setWeight(lf.lfWeight > 0 ? QFont::Weight(lf.lfWeight) : QFont::Normal);
    font.setItalic(lf.lfItalic != 0);
    font.setUnderline(lf.lfUnderline != 0);
    font.setStrikeOut(lf.lfStrikeOut != 0);
    return font;
}

void CFontSampleButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette& pal = palette();
    QRect r = rect();
    // A sunken two-pixel frame.
    p.setPen(pal.color(QPalette::Mid));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(pal.color(QPalette::Shadow));
    p.drawLine(r.left() + 1, r.top() + 1, r.right() - 1, r.top() + 1);
    p.drawLine(r.left() + 1, r.top() + 1, r.left() + 1, r.bottom() - 1);
    p.setPen(pal.color(QPalette::Light));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    p.setPen(pal.color(QPalette::Button));
    p.drawLine(r.left() + 1, r.bottom() - 1, r.right() - 1, r.bottom() - 1);
    p.drawLine(r.right() - 1, r.top() + 1, r.right() - 1, r.bottom() - 1);
    if (!m_font)
        return;
    int twips = m_height && *m_height != -1 ? *m_height : kDefaultTwips;
    p.setFont(FontOf(*m_font, twips, logicalDpiY()));
    QColor colour = pal.color(QPalette::WindowText);
    if (m_colour && m_colour->m_colour != ColourValue::kNone)
        colour = ToQColor(m_colour->m_colour);
    p.setPen(colour);
    p.setClipRect(r.adjusted(2, 2, -2, -2));
    p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, SampleText(m_font->lfCharSet));
}
