// A push button painted in three chosen colours (face, shadow, highlight),
// each of which may follow the system's colour instead; it may show a picture.
#pragma once

#include "platform/Types.h"

#include <QPixmap>
#include <QPushButton>

class CColourButton : public QPushButton {
    Q_OBJECT
public:
    explicit CColourButton(QWidget* parent = nullptr);

    void SetColours(bool systemFace, bool systemShadow, bool systemHighlight, COLORREF face, COLORREF shadow,
                    COLORREF highlight);
    void SetPicture(const QPixmap& picture);
    // The colours the button paints with now.
    QColor FaceColour() const;
    QColor ShadowColour() const;
    QColor HighlightColour() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    QSize sizeHint() const override;

private:
    struct Pair {
        bool system = true;
        COLORREF colour = 0;
    };
    Pair m_face{true, 0xC0C0C0};
    Pair m_shadow{true, 0x808080};
    Pair m_highlight{true, 0xFFFFFF};
    QPixmap m_picture;
};
