// The one number format of the program: decimals, a width budget, trailing
// zeros, scientific notation, digit grouping, with unset states (-1 for the
// counts, 2 for the flags) so that a format edited for several columns at once
// applies only the settings the user chose.
#pragma once

#include "platform/Object.h"

#include <string>

class CDataFormat : public CObject {
    DECLARE_SERIAL(CDataFormat)
public:
    enum : int { kUnsetCount = -1, kUnsetFlag = 2 };
    enum TrailingZeros : int { kKeepZeros = 0, kRemoveZeros = 1, kBlankZeros = 2 };

    CDataFormat() = default;
    CDataFormat(const CDataFormat&) = default;
    CDataFormat& operator=(const CDataFormat&) = default;

    void FormatNumber(std::string& out, double value) const;
    std::string FormatNumber(double value) const
    {
        std::string s;
        FormatNumber(s, value);
        return s;
    }
    // For tick labels: the mantissa with " x 10" and the exponent apart.
    void FormatNumberParts(std::string& text, std::string& exponent, double value) const;
    // For aligning on the decimal character: the text before it and the rest.
    void FormatNumberSplitDecimal(std::string& text, std::string& fraction, double value) const;
    // The widest text this format can produce, for sizing columns.
    void GetWidestSample(std::string& out) const;

    void Merge(const CDataFormat& from);
    void Intersect(const CDataFormat& other);
    int Matches(const CDataFormat& other) const;

    // The user's default format: profile section "Number Formatting", each
    // key defaulting to the field's current value.
    void LoadDefaults();
    void SaveDefaults() const;

    void Serialize(CArchive& ar) override;
    // Brings every field into its real range (after a read from a file or the settings).
    void ClampToRange();

    friend bool operator==(const CDataFormat& a, const CDataFormat& b)
    {
        return a.m_decimals == b.m_decimals && a.m_maxDigits == b.m_maxDigits
            && a.m_trailingZeros == b.m_trailingZeros && a.m_scientific == b.m_scientific
            && a.m_thousands == b.m_thousands && a.m_scientificForSmall == b.m_scientificForSmall
            && a.m_tenPower == b.m_tenPower && a.m_scaleExponent == b.m_scaleExponent;
    }

    int m_decimals = 4;
    int m_maxDigits = 12;
    int m_trailingZeros = kKeepZeros;
    int m_scientific = 0;
    int m_thousands = 0;
    int m_scientificForSmall = 1;
    int m_tenPower = 0;      // scientific written as mantissa " x 10" and a raised exponent
    int m_scaleExponent = 0; // the value is multiplied by 10 to this power first
};
