#include "ui/widgets/ColourButton.h"

#include "ui/widgets/ColourRef.h"

#include <QPainter>

CColourButton::CColourButton(QWidget* parent) : QPushButton(parent) {}

void CColourButton::SetColours(bool systemFace, bool systemShadow, bool systemHighlight, COLORREF face,
                               COLORREF shadow, COLORREF highlight)
{
    m_face = {systemFace, face};
    m_shadow = {systemShadow, shadow};
    m_highlight = {systemHighlight, highlight};
    update();
}

void CColourButton::SetPicture(const QPixmap& picture)
{
    m_picture = picture;
    updateGeometry();
    update();
}

QColor CColourButton::FaceColour() const
{
    return m_face.system ? palette().color(QPalette::Button) : ColorFromRef(m_face.colour);
}

QColor CColourButton::ShadowColour() const
{
    return m_shadow.system ? palette().color(QPalette::Dark) : ColorFromRef(m_shadow.colour);
}

QColor CColourButton::HighlightColour() const
{
    return m_highlight.system ? palette().color(QPalette::Light) : ColorFromRef(m_highlight.colour);
}

QSize CColourButton::sizeHint() const
{
    if (m_picture.isNull())
        return QPushButton::sizeHint();
    return m_picture.deviceIndependentSize().toSize() + QSize(8, 8);
}

void CColourButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QRect r = rect();
    p.fillRect(r, FaceColour());
    bool down = isDown() || isChecked();
    QColor topLeft = down ? ShadowColour() : HighlightColour();
    QColor bottomRight = down ? HighlightColour() : ShadowColour();
    p.setPen(topLeft);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(bottomRight);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    QRect inner = r.adjusted(2, 2, -2, -2);
    if (down)
        inner.translate(1, 1);
    if (!m_picture.isNull()) {
        QSize s = m_picture.deviceIndependentSize().toSize();
        QRect target(QPoint(0, 0), s);
        target.moveCenter(inner.center());
        p.drawPixmap(target, m_picture);
    } else {
        p.setPen(isEnabled() ? palette().color(QPalette::ButtonText) : ShadowColour());
        p.drawText(inner, Qt::AlignCenter | Qt::TextShowMnemonic, text());
    }
    if (hasFocus()) {
        p.setPen(QPen(palette().color(QPalette::ButtonText), 1, Qt::DotLine));
        p.drawRect(r.adjusted(3, 3, -4, -4));
    }
}
