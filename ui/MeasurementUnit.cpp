#include "ui/MeasurementUnit.h"

#include "framework/Profile.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <charconv>
#include <cmath>
#include <langinfo.h>
#include <limits>

namespace {

constexpr const char* kSection = "Preferences";
constexpr const char* kEntry = "Measurement";

// How many of a unit make one inch.
double PerInch(int unit)
{
    switch (unit) {
    case MeasurementUnit::Centimeters: return 2.54;
    case MeasurementUnit::Points: return 72.0;
    case MeasurementUnit::Millimeters: return 25.4;
    default: return 1.0;
    }
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

}  // namespace

MeasurementUnit::MeasurementUnit() : m_unit(LocaleUnit()), m_scale(1000) {}

MeasurementUnit::MeasurementUnit(int unit, int scale) : m_unit(unit), m_scale(scale) {}

int MeasurementUnit::LocaleUnit()
{
    // glibc answers 1 for metric and 2 for U.S. units.
    const char* m = ::nl_langinfo(_NL_MEASUREMENT_MEASUREMENT);
    return m && m[0] == 2 ? Inches : Centimeters;
}

void MeasurementUnit::SetUnit(int unit, bool save)
{
    if (unit == m_unit)
        return;
    m_unit = unit;
    if (save)
        WritePreference(unit);
}

void MeasurementUnit::LoadPreference()
{
    m_unit = GetProfileInt(kSection, kEntry, m_unit);
}

void MeasurementUnit::WritePreference(int unit) { WriteProfileInt(kSection, kEntry, unit); }

MeasurementUnit& MeasurementUnit::Preference()
{
    static MeasurementUnit unit;
    return unit;
}

std::string MeasurementUnit::UnitName() const
{
    int unit = m_unit >= Inches && m_unit <= Millimeters ? m_unit : Inches;
    return LoadString(IDS_UNIT_INCHES + UINT(unit));
}

bool MeasurementUnit::ToInternal(double value, int unit, int& internal) const
{
    double v = std::round(value * (1.0 / PerInch(unit)) * m_scale);
    // Compare in double: both bounds are exact there, and NaN fails both.
    if (!(v >= double(std::numeric_limits<int>::min()) && v <= double(std::numeric_limits<int>::max())))
        return false;
    internal = int(v);
    return true;
}

int MeasurementUnit::ToInternal(double value, int unit) const
{
    int internal = 0;
    ToInternal(value, unit, internal);
    return internal;
}

std::string MeasurementUnit::Format(int internal, int unit) const
{
    double value = double(internal) * PerInch(unit) / m_scale;
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 3);
    std::string text(buf, res.ptr);
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0')
            text.pop_back();
        if (text.back() == '.')
            text.pop_back();
    }
    if (text == "-0")
        text = "0";
    switch (unit) {
    case Centimeters: return text + " cm";
    case Points: return text + " pt";
    case Millimeters: return text + " mm";
    default: return text + "\"";
    }
}

bool MeasurementUnit::Parse(std::string_view text, int& internal) const
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    const std::size_t start = i;
    // A leading '+' is allowed as the C library reads numbers; from_chars is not.
    if (i < text.size() && text[i] == '+')
        ++i;
    double value = 0.0;
    const char* first = text.data() + i;
    const char* last = text.data() + text.size();
    auto res = std::from_chars(first, last, value, std::chars_format::general);
    if (res.ec == std::errc() && !std::isfinite(value))
        return false;  // "inf" and "nan" are no lengths
    if (res.ec != std::errc())
        return false;
    if (value == 0.0 && (start >= text.size() || text[start] != '0'))
        return false;
    i = std::size_t(res.ptr - text.data());
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    int unit = m_unit;
    if (i < text.size()) {
        if (text[i] == '"') {
            unit = Inches;
            ++i;
        } else if (i + 1 < text.size()) {
            std::string two{Lower(text[i]), Lower(text[i + 1])};
            if (two == "in")
                unit = Inches;
            else if (two == "cm")
                unit = Centimeters;
            else if (two == "mm")
                unit = Millimeters;
            else if (two == "pt")
                unit = Points;
            else
                return false;
            i += 2;
        } else {
            return false;
        }
    }
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    if (i != text.size())
        return false;
    return ToInternal(value, unit, internal);
}
