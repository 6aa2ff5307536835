// A static with a font and colours of its own: the headings and version lines
// of the about box, the splash window and the tip of the day.
#pragma once

#include "platform/Types.h"

#include <QLabel>

class CColourSwatch : public QLabel {
    Q_OBJECT
public:
    explicit CColourSwatch(QWidget* parent = nullptr);
    explicit CColourSwatch(const QString& text, QWidget* parent = nullptr);

    // Takes the dialog's font, bolder (weight + 300, at most 900) and/or half
    // as large again when asked.
    void AutoLoad(bool bold, bool larger);
    // The same with a text colour, on a transparent background or on the
    // button face.
    void AutoLoad(bool bold, bool larger, COLORREF textColour, bool transparent);

    static QFont SwatchFont(const QFont& base, bool bold, bool larger);
    bool IsTransparent() const { return m_bTransparent; }

private:
    bool m_bTransparent = false;
};
