// Lengths typed with units ("2.5 cm", "1 in", "12pt") and shown in the user's
// unit. Internal lengths are integers in 1/scale inch: 1000 for printed pages
// and headers, 720 for the drawing layer's pages.
#pragma once

#include <string>
#include <string_view>

class MeasurementUnit {
public:
    enum Unit : int { Inches = 0, Centimeters = 1, Points = 2, Millimeters = 3 };

    // The unit of the user's locale (centimetres for metric, else inches), scale 1000.
    MeasurementUnit();
    explicit MeasurementUnit(int unit, int scale = 1000);

    int GetUnit() const { return m_unit; }
    int GetScale() const { return m_scale; }
    void SetScale(int scale) { m_scale = scale; }
    // Writes the preference ("Preferences", "Measurement") only when the unit
    // changed and save is set.
    void SetUnit(int unit, bool save = false);

    // "inches", "centimeters", "points" or "millimeters" (any other unit: inches).
    std::string UnitName() const;

    // A value in a unit as an internal length, rounded to the nearest integer.
    // False when the result does not fit an int.
    bool ToInternal(double value, int unit, int& internal) const;
    int ToInternal(double value, int unit) const;
    // The internal length in a unit, three decimals at most, with its suffix.
    std::string Format(int internal, int unit) const;
    std::string Format(int internal) const { return Format(internal, m_unit); }
    // Reads a number and an optional unit ('"', in, cm, mm, pt; none: the
    // current unit). False for anything else, or a length beyond the int range.
    bool Parse(std::string_view text, int& internal) const;

    // The unit of the user's locale.
    static int LocaleUnit();
    // Reads the preference, defaulting to the current unit.
    void LoadPreference();
    // Writes a unit as the preference, whatever the unit in use.
    static void WritePreference(int unit);

    // The program-wide unit preference (scale 1000) that pages and the locale
    // page share.
    static MeasurementUnit& Preference();

private:
    int m_unit;
    int m_scale;
};
