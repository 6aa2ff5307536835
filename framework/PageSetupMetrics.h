// Lengths of the page setup: margins and header/footer distances are kept in
// thousandths of an inch; a metric user sees them in millimetres. Also the
// geometry of a printed page: the area inside the margins and where the
// header and footer lines stand.
#pragma once

#include "framework/HeaderField.h"
#include "platform/Types.h"

inline constexpr double kMillimetresPerInch = 25.4;
inline constexpr double kInchesPerMillimetre = 0.03937007874015748;

// A margin handed to a metric page-setup dialog: hundredths of a millimetre,
// truncated (1000 gives 2540).
int MarginToHundredthsMm(int thousandthsInch);
// And back, rounded to the nearest thousandth of an inch (2540 gives 1000).
int MarginFromHundredthsMm(int hundredthsMm);
// A length in inches to thousandths of an inch, rounded to the nearest: a
// value that went through millimetres and back (0.25 inch is 6.35 mm, which
// is 0.2499999... inch) must come back as it was, not one less.
int InchesToThousandths(double inches);

// The drawing rectangle of a page in thousandths of an inch, y growing
// upwards, relative to the device's printable origin: physical offsets
// (x0, y0) and the physical page size (w, h), both in thousandths of an inch.
RECT GetPrintableRect(const RECT& margins, POINT physicalOffset, SIZE physicalSize);
// The header's top (the header distance below the paper's top edge) and the
// footer's bottom (the footer distance above the paper's bottom edge), in the
// coordinates of GetPrintableRect.
int HeaderLineY(const RECT& drawRect, const RECT& margins, int headerDistance);
int FooterLineY(const RECT& drawRect, const RECT& margins, int footerDistance);
// The header font's height in thousandths of an inch (negative: the
// character height) from a size in tenths of a point.
LONG HeaderFontHeight(int sizeTenthsPoint);

// The value of a distance edit: held in the unit it is shown in (inches, or
// millimetres for a metric user), given back in inches, kept inside bounds.
class CMeasurementValue {
public:
    bool IsMetric() const { return m_bMetric; }
    // Switches the unit, converting the held value.
    void SetMetric(bool metric);
    double GetShown() const { return m_value; }
    void SetShown(double value) { m_value = value; }
    double GetInches() const { return m_bMetric ? m_value * kInchesPerMillimetre : m_value; }
    void SetInches(double inches) { m_value = m_bMetric ? inches * kMillimetresPerInch : inches; }
    int GetThousandths() const { return InchesToThousandths(GetInches()); }

    // Bounds in inches; Clamp raises the value to the lower bound, then lowers
    // it to the upper one, and says whether it changed.
    void SetBounds(double minInches, double maxInches);
    bool Clamp();

    // "0.3" followed by the inch sign, or "7.62mm": three or two decimals with
    // trailing zeros and a trailing point removed.
    std::string Format() const;
    // Whether a typed character is taken: digits, '.', backspace, and 'm'
    // (metric) or the inch sign (inches).
    static bool AcceptsChar(char32_t c, bool metric);
    // Reads a number at the start of the text (blanks before it skipped, the
    // unit after it ignored) and clamps it; text without a number leaves the
    // value. Returns whether the value changed.
    bool SetFromText(std::string_view text);

private:
    bool m_bMetric = false;
    double m_value = 0.0;
    double m_min = 0.0;
    double m_max = 1e9;
};

// Reads a leading number as scanf's " %le" does; false when there is none.
bool ParseLeadingDouble(std::string_view text, double& value);
