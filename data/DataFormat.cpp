#include "data/DataFormat.h"

#include "data/LocaleChars.h"
#include "framework/ArchiveHelpers.h"
#include "framework/Profile.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

IMPLEMENT_SERIAL(CDataFormat, CObject, VERSIONABLE_SCHEMA | 0)

namespace {

// Bounds that keep a damaged or absurd format from asking for megabytes of digits.
constexpr int kMaxDecimals = 340;
constexpr int kMaxSignificant = 100;

struct Digits {
    std::string digits; // no sign, no point
    int point = 0;      // position of the decimal point relative to the first digit
    bool negative = false;
};

// The digit string of value rounded to `decimals` places after the point, as a
// fixed conversion gives it: no leading zeros, point position relative to the
// first digit; a value that rounds to nothing gives no digits and the point at
// -decimals.
Digits FixedDigits(double value, int decimals)
{
    Digits d;
    if (value == 0.0) {
        d.digits.assign(std::size_t(decimals), '0');
        return d;
    }
    std::string buffer(std::size_t(decimals) + 330, '\0');
    auto [ptr, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, decimals);
    std::string_view s(buffer.data(), ec == std::errc() ? std::size_t(ptr - buffer.data()) : 0);
    if (!s.empty() && s[0] == '-') {
        d.negative = true;
        s.remove_prefix(1);
    }
    std::size_t dot = s.find('.');
    std::string_view intPart = s.substr(0, dot);
    std::string_view frac = dot == std::string_view::npos ? std::string_view() : s.substr(dot + 1);
    while (!intPart.empty() && intPart[0] == '0')
        intPart.remove_prefix(1);
    if (!intPart.empty()) {
        d.digits.assign(intPart);
        d.digits.append(frac);
        d.point = int(intPart.size());
        return d;
    }
    std::size_t zeros = 0;
    while (zeros < frac.size() && frac[zeros] == '0')
        ++zeros;
    if (zeros == frac.size()) {
        d.point = -decimals;
        return d;
    }
    d.digits.assign(frac.substr(zeros));
    d.point = -int(zeros);
    return d;
}

// The first `significant` digits of value, as an exponent conversion gives them.
Digits ExponentDigits(double value, int significant)
{
    Digits d;
    char buffer[kMaxSignificant + 32];
    auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, significant - 1);
    std::string_view s(buffer, ec == std::errc() ? std::size_t(ptr - buffer) : 0);
    if (!s.empty() && s[0] == '-') {
        d.negative = true;
        s.remove_prefix(1);
    }
    std::size_t e = s.find('e');
    std::string_view mantissa = s.substr(0, e);
    for (char c : mantissa)
        if (c != '.')
            d.digits += c;
    int exponent = 0;
    if (e != std::string_view::npos) {
        std::string_view ex = s.substr(e + 1);
        if (!ex.empty() && ex[0] == '+')
            ex.remove_prefix(1);
        std::from_chars(ex.data(), ex.data() + ex.size(), exponent);
    }
    d.point = exponent + 1;
    return d;
}

bool EndsWithAt(const std::string& s, std::size_t end, const std::string& tail)
{
    return !tail.empty() && end >= tail.size() && s.compare(end - tail.size(), tail.size(), tail) == 0;
}

// Writes digits with a group separator before the k-th digit (k from 0) when
// k is a positive multiple of the group size.
void AppendGroupedFraction(std::string& out, std::string_view digits, bool grouping, int group,
                           const std::string& separator)
{
    for (std::size_t k = 0; k < digits.size(); ++k) {
        if (grouping && k != 0 && k % std::size_t(group) == 0)
            out += separator;
        out += digits[k];
    }
}

} // namespace

void CDataFormat::FormatNumber(std::string& out, double value) const
{
    if (std::isnan(value)) {
        out = LoadString(IDS_NAN);
        return;
    }
    if (std::isinf(value)) {
        out = LoadString(value < 0 ? IDS_NEG_INF : IDS_POS_INF);
        return;
    }
    if (m_scaleExponent != 0)
        value *= std::pow(10.0, m_scaleExponent);
    if (std::isinf(value)) {
        out = LoadString(value < 0 ? IDS_NEG_INF : IDS_POS_INF);
        return;
    }

    const std::string& decimalChar = GetDecimalChar();
    const std::string& separator = GetDigitGroupSeparator();
    const std::string& negative = GetNegativeSymbol();
    const int group = GetDigitsInGroup();
    // A group size of 0 or less means no grouping (it would divide by zero).
    const bool grouping = m_thousands != 0 && group > 0;
    const int decimals = std::clamp(m_decimals, 0, kMaxDecimals);

    bool scientific = m_scientific != 0 || m_tenPower != 0;
    if (!scientific && value != 0.0) {
        double a = std::fabs(value);
        int e = 0;
        while (a >= 10.0) {
            a /= 10.0;
            ++e;
        }
        while (a < 1.0) {
            a *= 10.0;
            --e;
        }
        scientific = e > m_maxDigits - decimals - 1 || (m_scientificForSmall != 0 && e < -decimals);
    }

    std::string text;
    if (!scientific) {
        Digits d = FixedDigits(value, decimals);
        if (d.negative)
            text += negative;
        std::string_view rest = d.digits;
        if (d.point >= 1) {
            const int p = std::min<int>(d.point, int(d.digits.size()));
            for (int i = 0; i < p; ++i) {
                if (grouping && i != 0 && (p - i) % group == 0)
                    text += separator;
                text += d.digits[std::size_t(i)];
            }
            text += decimalChar;
            rest = rest.substr(std::size_t(p));
        } else {
            int p = std::max(d.point, -decimals);
            text += '0';
            text += decimalChar;
            text.append(std::size_t(-p), '0');
        }
        AppendGroupedFraction(text, rest, grouping, group, separator);

        if (m_trailingZeros == kRemoveZeros || m_trailingZeros == kBlankZeros) {
            std::size_t pos = text.size();
            std::size_t removed = 0;
            for (;;) {
                if (pos > 0 && text[pos - 1] == '0') {
                    --pos;
                    ++removed;
                    continue;
                }
                if (grouping && EndsWithAt(text, pos, separator)) {
                    pos -= separator.size();
                    ++removed;
                    continue;
                }
                if (EndsWithAt(text, pos, decimalChar)) {
                    pos -= decimalChar.size();
                    ++removed;
                }
                break;
            }
            text.resize(pos);
            if (m_trailingZeros == kBlankZeros)
                text.append(removed, ' ');
        }
    } else if (value == 0.0) {
        text = "0";
    } else {
        // With a budget of six digits or fewer, one significant digit is still shown.
        const int significant = std::clamp(m_maxDigits - 6, 1, kMaxSignificant);
        Digits d = ExponentDigits(value, significant);
        if (d.negative)
            text += negative;
        text += d.digits.empty() ? '0' : d.digits[0];
        text += decimalChar;
        if (d.digits.size() > 1)
            AppendGroupedFraction(text, std::string_view(d.digits).substr(1), grouping, group, separator);
        if (m_trailingZeros == kRemoveZeros || m_trailingZeros == kBlankZeros) {
            std::size_t pos = text.size();
            for (;;) {
                if (pos > 0 && text[pos - 1] == '0')
                    pos -= 1;
                else if (grouping && EndsWithAt(text, pos, separator))
                    pos -= separator.size();
                else if (EndsWithAt(text, pos, decimalChar))
                    pos -= decimalChar.size();
                else
                    break;
            }
            text.resize(pos);
        }
        const int x = d.point - 1;
        if (x != 0) {
            text += 'e';
            if (x < 0)
                text += negative;
            else if (m_trailingZeros != kRemoveZeros)
                text += '+';
            std::string expDigits = std::to_string(std::abs(x));
            if (m_trailingZeros != kRemoveZeros && expDigits.size() < 3)
                expDigits.insert(0, 3 - expDigits.size(), '0');
            text += expDigits;
        }
    }
    out = std::move(text);
}

void CDataFormat::FormatNumberParts(std::string& text, std::string& exponent, double value) const
{
    FormatNumber(text, value);
    exponent.clear();
    if (m_tenPower == 0)
        return;
    std::size_t e = text.find('e');
    if (e == std::string::npos)
        return;
    exponent = text.substr(e + 1);
    std::string mantissa = text.substr(0, e);
    const std::string& negative = GetNegativeSymbol();
    if (mantissa == "1" || mantissa == negative + "1")
        text = mantissa.substr(0, mantissa.size() - 1) + "10";
    else
        text = mantissa + " x 10";
}

void CDataFormat::FormatNumberSplitDecimal(std::string& text, std::string& fraction, double value) const
{
    FormatNumber(text, value);
    std::size_t pos = text.find(GetDecimalChar());
    if (pos == std::string::npos) {
        fraction.clear();
        return;
    }
    fraction = text.substr(pos);
    text.resize(pos);
}

void CDataFormat::GetWidestSample(std::string& out) const
{
    const int digits = std::clamp(m_maxDigits, 0, kMaxDecimals);
    out = GetNegativeSymbol();
    out += GetDecimalChar();
    out.append(std::size_t(digits) + 1, '0');
    const int group = GetDigitsInGroup();
    if (m_thousands != 0 && group > 0)
        for (int i = 0; i < digits / group; ++i)
            out += GetDigitGroupSeparator();
}

void CDataFormat::Merge(const CDataFormat& from)
{
    if (from.m_decimals != kUnsetCount)
        m_decimals = from.m_decimals;
    if (from.m_maxDigits != kUnsetCount)
        m_maxDigits = from.m_maxDigits;
    if (from.m_trailingZeros != kUnsetCount)
        m_trailingZeros = from.m_trailingZeros;
    if (from.m_scientific != kUnsetFlag)
        m_scientific = from.m_scientific;
    if (from.m_thousands != kUnsetFlag)
        m_thousands = from.m_thousands;
    // Always-scientific makes the small-number switch meaningless, so it is
    // cleared; otherwise it is taken over only when the user set it, so that an
    // unset value never reaches a format in use.
    if (from.m_scientific == 1)
        m_scientificForSmall = 0;
    else if (from.m_scientificForSmall != kUnsetFlag)
        m_scientificForSmall = from.m_scientificForSmall;
    m_tenPower = from.m_tenPower;
    m_scaleExponent = from.m_scaleExponent;
}

void CDataFormat::Intersect(const CDataFormat& other)
{
    if (m_decimals != other.m_decimals)
        m_decimals = kUnsetCount;
    if (m_maxDigits != other.m_maxDigits)
        m_maxDigits = kUnsetCount;
    if (m_trailingZeros != other.m_trailingZeros)
        m_trailingZeros = kUnsetCount;
    if (m_scientific != other.m_scientific)
        m_scientific = kUnsetFlag;
    if (m_thousands != other.m_thousands)
        m_thousands = kUnsetFlag;
    if (m_scientificForSmall != other.m_scientificForSmall)
        m_scientificForSmall = kUnsetFlag;
}

int CDataFormat::Matches(const CDataFormat& other) const
{
    if (other.m_decimals != kUnsetCount && other.m_decimals != m_decimals)
        return 0;
    if (other.m_maxDigits != kUnsetCount && other.m_maxDigits != m_maxDigits)
        return 0;
    if (other.m_trailingZeros != kUnsetCount && other.m_trailingZeros != m_trailingZeros)
        return 0;
    if (other.m_scientific != kUnsetFlag && other.m_scientific != m_scientific)
        return 0;
    if (other.m_thousands != kUnsetFlag && other.m_thousands != m_thousands)
        return 0;
    if (other.m_scientific == 0 && other.m_scientificForSmall != m_scientificForSmall)
        return 0;
    return other.m_tenPower == m_tenPower && other.m_scaleExponent == m_scaleExponent ? 1 : 0;
}

namespace {
constexpr std::string_view kFormatSection = "Number Formatting";
}

void CDataFormat::LoadDefaults()
{
    m_decimals = GetProfileInt(kFormatSection, "Decimals", m_decimals);
    m_maxDigits = GetProfileInt(kFormatSection, "Max Digits", m_maxDigits);
    m_trailingZeros = GetProfileInt(kFormatSection, "Trailing Zeros", m_trailingZeros);
    m_scientific = GetProfileInt(kFormatSection, "Scientific", m_scientific);
    m_thousands = GetProfileInt(kFormatSection, "Thousands Separator", m_thousands);
    m_scientificForSmall = GetProfileInt(kFormatSection, "Scientific for small", m_scientificForSmall);
}

void CDataFormat::SaveDefaults() const
{
    WriteProfileInt(kFormatSection, "Decimals", m_decimals);
    WriteProfileInt(kFormatSection, "Max Digits", m_maxDigits);
    WriteProfileInt(kFormatSection, "Trailing Zeros", m_trailingZeros);
    WriteProfileInt(kFormatSection, "Scientific", m_scientific);
    WriteProfileInt(kFormatSection, "Thousands Separator", m_thousands);
    WriteProfileInt(kFormatSection, "Scientific for small", m_scientificForSmall);
}

void CDataFormat::Serialize(CArchive& ar)
{
    SerializeVersion(ar, 0);
    // Stored order differs from the declaration order; the file decides.
    int* fields[] = {&m_decimals, &m_maxDigits, &m_scientific, &m_thousands,
                     &m_scientificForSmall, &m_trailingZeros, &m_scaleExponent, &m_tenPower};
    for (int* f : fields) {
        if (ar.IsStoring())
            ar << std::int32_t(*f);
        else {
            std::int32_t v = 0;
            ar >> v;
            *f = v;
        }
    }
}
