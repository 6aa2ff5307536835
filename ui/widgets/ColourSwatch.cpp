#include "ui/widgets/ColourSwatch.h"

#include "ui/widgets/ColourRef.h"

#include <algorithm>

CColourSwatch::CColourSwatch(QWidget* parent) : QLabel(parent) {}

CColourSwatch::CColourSwatch(const QString& text, QWidget* parent) : QLabel(text, parent) {}

QFont CColourSwatch::SwatchFont(const QFont& base, bool bold, bool larger)
{
    QFont f = base;
    if (larger) {
        if (f.pixelSize() > 0)
            f.setPixelSize(f.pixelSize() * 3 / 2);
        else if (f.pointSizeF() > 0)
            f.setPointSizeF(f.pointSizeF() * 3 / 2);
    }
    if (bold)
        f.setWeight(static_cast<QFont::Weight>(std::min(static_cast<int>(f.weight()) + 300, 900)));
    return f;
}

void CColourSwatch::AutoLoad(bool bold, bool larger)
{
    QWidget* dialog = window();
    setFont(SwatchFont(dialog ? dialog->font() : font(), bold, larger));
}

void CColourSwatch::AutoLoad(bool bold, bool larger, COLORREF textColour, bool transparent)
{
    AutoLoad(bold, larger);
    m_bTransparent = transparent;
    QPalette p = palette();
    p.setColor(QPalette::WindowText, ColorFromRef(textColour));
    p.setColor(QPalette::Window, p.color(QPalette::Button));
    setPalette(p);
    setAutoFillBackground(!transparent);
}
