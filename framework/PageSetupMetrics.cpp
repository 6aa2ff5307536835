#include "framework/PageSetupMetrics.h"

#include <algorithm>
#include <charconv>
#include <cmath>

int MarginToHundredthsMm(int thousandthsInch) { return static_cast<int>(thousandthsInch * 2.54); }

int MarginFromHundredthsMm(int hundredthsMm) { return static_cast<int>(std::floor(hundredthsMm * 0.3937007874015748 + 0.5)); }

int InchesToThousandths(double inches) { return static_cast<int>(std::lround(inches * 1000.0)); }

RECT GetPrintableRect(const RECT& m, POINT off, SIZE size)
{
    RECT r;
    r.left = m.left - off.x;
    r.top = -(m.top - off.y);
    r.right = size.cx - m.right - off.x;
    r.bottom = -(size.cy - m.bottom - off.y);
    return r;
}

int HeaderLineY(const RECT& drawRect, const RECT& margins, int headerDistance)
{
    return drawRect.top - headerDistance + margins.top;
}

int FooterLineY(const RECT& drawRect, const RECT& margins, int footerDistance)
{
    return drawRect.bottom - margins.bottom + footerDistance;
}

LONG HeaderFontHeight(int sizeTenthsPoint) { return -(sizeTenthsPoint * 1000 / 720); }

void CMeasurementValue::SetMetric(bool metric)
{
    if (metric == m_bMetric)
        return;
    m_value = metric ? m_value * kMillimetresPerInch : m_value * kInchesPerMillimetre;
    m_bMetric = metric;
}

void CMeasurementValue::SetBounds(double minInches, double maxInches)
{
    m_min = minInches;
    m_max = maxInches;
}

bool CMeasurementValue::Clamp()
{
    double inches = GetInches();
    double clamped = inches;
    if (clamped < m_min)
        clamped = m_min;
    if (clamped > m_max)
        clamped = m_max;
    if (clamped == inches)
        return false;
    SetInches(clamped);
    return true;
}

std::string CMeasurementValue::Format() const
{
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, m_value, std::chars_format::fixed, m_bMetric ? 2 : 3);
    std::string text(buf, res.ec == std::errc() ? res.ptr : buf);
    if (text.find('.') != std::string::npos) {
        while (!text.empty() && text.back() == '0')
            text.pop_back();
        if (!text.empty() && text.back() == '.')
            text.pop_back();
    }
    if (text == "-0")
        text = "0";
    return text + (m_bMetric ? "mm" : "\"");
}

bool CMeasurementValue::AcceptsChar(char32_t c, bool metric)
{
    if ((c >= '0' && c <= '9') || c == '.' || c == '\b')
        return true;
    return metric ? c == 'm' : c == '"';
}

bool ParseLeadingDouble(std::string_view text, double& value)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        return false;
    double v = 0.0;
    auto res = std::from_chars(text.data() + i, text.data() + text.size(), v, std::chars_format::general);
    if (res.ec != std::errc() && res.ec != std::errc::result_out_of_range)
        return false;
    value = negative ? -v : v;
    return true;
}

bool CMeasurementValue::SetFromText(std::string_view text)
{
    double before = m_value;
    double v = 0.0;
    if (ParseLeadingDouble(text, v) && std::isfinite(v))
        m_value = v;
    Clamp();
    return m_value != before;
}
