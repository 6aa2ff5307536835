// A sunken box that shows a few letters in the font being edited, in the
// characters of its character set, at its size and in its colour.
#pragma once

#include "platform/Types.h"

#include <QAbstractButton>
#include <QFont>

struct ColourValue;

class CFontSampleButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CFontSampleButton(QWidget* parent = nullptr);

    // The button reads through these pointers at every repaint; none may
    // outlive its owner. No font: an empty box. Height -1: 10 points.
    void SetFont(const LOGFONT* font) { m_font = font; update(); }
    void SetHeight(const int* twips) { m_height = twips; update(); }
    void SetColour(const ColourValue* colour) { m_colour = colour; update(); }

    // The sample letters for a character set (UTF-8).
    static QString SampleText(BYTE charSet);
    // The font to draw, its height given in twips and shown at the device's resolution.
    static QFont FontOf(const LOGFONT& font, int twips, int dpiY);

protected:
    void paintEvent(QPaintEvent* event) override;
    QSize sizeHint() const override { return {160, 48}; }

private:
    const LOGFONT* m_font = nullptr;
    const int* m_height = nullptr;
    const ColourValue* m_colour = nullptr;
};
