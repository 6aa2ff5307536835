#include "data/DataFormat.h"
#include "data/LocaleChars.h"
#include "framework/ArchiveHelpers.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

class DataFormatTest : public ::testing::Test {
protected:
    void SetUp() override { ResetLocaleChars(); }
    void TearDown() override { ResetLocaleChars(); }
};

struct FormatCase {
    double value;
    int decimals, maxDigits, trailing, scientific, thousands, small;
    const char* expected;
};

// Expected texts worked out by hand from the format rules: the digit string
// of the fixed or exponent conversion, then grouping, trailing zeros and the
// three-digit exponent.
const FormatCase kCases[] = {
    {1234.5, 4, 12, 0, 0, 0, 1, "1234.5000"},
    {0.00001, 4, 12, 0, 0, 0, 1, "1.00000e-005"},  // below 10^-4: scientific for small
    {1e12, 4, 12, 0, 0, 0, 1, "1.00000e+012"},     // e = 12 > 12 - 4 - 1
    {12345678, 4, 12, 0, 0, 0, 1, "12345678.0000"}, // e = 7 still fits
    {123456789, 4, 12, 0, 0, 0, 1, "1.23457e+008"}, // e = 8 does not; rounded to 6 digits
    {1234.5, 4, 12, 1, 0, 0, 1, "1234.5"},
    {2, 4, 12, 1, 0, 0, 1, "2"},
    {0.00001, 4, 12, 1, 0, 0, 1, "1e-5"},
    {1e12, 4, 12, 1, 0, 0, 1, "1e12"},
    {1234.5, 4, 12, 2, 0, 0, 1, "1234.5   "},
    {2, 4, 12, 2, 0, 0, 1, "2     "},
    {0.00001, 4, 12, 2, 0, 0, 1, "1e-005"},       // scientific zeros go, never blanks; the exponent keeps its form
    {1e12, 4, 12, 2, 0, 0, 1, "1e+012"},
    {100, 0, 12, 0, 0, 0, 1, "100."},
    {100, 0, 12, 1, 0, 0, 1, "100"},
    {1234567.891, 3, 12, 0, 0, 1, 1, "1,234,567.891"},
    {0.1234567, 7, 12, 0, 0, 1, 0, "0.123,456,7"},
    {0.001234, 6, 12, 0, 0, 1, 0, "0.00123,4"},
    {123456, 2, 12, 0, 0, 1, 1, "123,456.00"},
    {0.0, 4, 12, 0, 0, 0, 1, "0.0000"},
    {0.0, 4, 12, 1, 0, 0, 1, "0"},
    {0.0, 4, 12, 0, 1, 0, 1, "0"},
    {1234.5, 4, 12, 0, 1, 0, 1, "1.23450e+003"},
    {1.5, 4, 12, 0, 1, 0, 1, "1.50000"},           // exponent 0 is not written
    {0.00001, 4, 12, 0, 0, 0, 0, "0.0000"},        // rounds to nothing without scientific for small
    {-1234.5, 2, 12, 0, 0, 0, 1, "-1234.50"},
    {-0.00002, 4, 12, 0, 0, 0, 1, "-2.00000e-005"},
    {2.0 / 3.0, 4, 12, 0, 0, 0, 1, "0.6667"},
    {9.99996, 4, 12, 0, 0, 0, 1, "10.0000"},       // rounding carries into a new digit
    {1234.5678, 2, 9, 0, 1, 0, 1, "1.23e+003"},  // 9 - 6 = 3 significant digits
};

TEST_F(DataFormatTest, FormatsTheTable)
{
    for (const FormatCase& c : kCases) {
        CDataFormat f;
        f.m_decimals = c.decimals;
        f.m_maxDigits = c.maxDigits;
        f.m_trailingZeros = c.trailing;
        f.m_scientific = c.scientific;
        f.m_thousands = c.thousands;
        f.m_scientificForSmall = c.small;
        EXPECT_EQ(f.FormatNumber(c.value), c.expected) << "value " << c.value << " decimals " << c.decimals;
    }
}

TEST_F(DataFormatTest, NonFiniteValuesHaveTheirOwnTexts)
{
    CDataFormat f;
    EXPECT_EQ(f.FormatNumber(std::numeric_limits<double>::quiet_NaN()), "Error (NAN)");
    EXPECT_EQ(f.FormatNumber(BlankValue()), "Error (NAN)");
    EXPECT_EQ(f.FormatNumber(-std::numeric_limits<double>::infinity()), "(-INF)");
    EXPECT_EQ(f.FormatNumber(std::numeric_limits<double>::infinity()), "(+INF)");
}

TEST_F(DataFormatTest, UsesTheLocaleCharacters)
{
    SetDecimalChar(",");
    SetDigitGroupSeparator(".");
    SetNegativeSymbol("~");
    CDataFormat f;
    EXPECT_EQ(f.FormatNumber(-1234.5), "~1234,5000");
    EXPECT_EQ(f.FormatNumber(-0.00002), "~2,00000e~005");
    f.m_thousands = 1;
    EXPECT_EQ(f.FormatNumber(1234567.5), "1.234.567,500.0");
    // A multi-byte separator (a no-break space in UTF-8) is written whole and
    // taken away whole with the trailing zeros.
    SetDigitGroupSeparator("\xC2\xA0");
    f.m_decimals = 6;
    f.m_trailingZeros = CDataFormat::kRemoveZeros;
    EXPECT_EQ(f.FormatNumber(1000.5), "1\xC2\xA0" "000,5");
}

TEST_F(DataFormatTest, GroupSizeZeroMeansNoGrouping)
{
    SetDigitsInGroup(0);
    CDataFormat f;
    f.m_thousands = 1;
    f.m_decimals = 3;
    EXPECT_EQ(f.FormatNumber(1234567.891), "1234567.891");
    std::string sample;
    f.GetWidestSample(sample);
    EXPECT_EQ(sample, "-.0000000000000");
}

TEST_F(DataFormatTest, ScaleExponentMultipliesFirst)
{
    CDataFormat f;
    f.m_scaleExponent = 3;
    EXPECT_EQ(f.FormatNumber(1.5), "1500.0000");
    f.m_scaleExponent = -2;
    EXPECT_EQ(f.FormatNumber(250.0), "2.5000");
}

TEST_F(DataFormatTest, PartsSplitTheTenPower)
{
    CDataFormat f;
    f.m_tenPower = 1;
    std::string text, exponent;
    f.FormatNumberParts(text, exponent, 2000.0);
    EXPECT_EQ(text, "2.00000 x 10");
    EXPECT_EQ(exponent, "+003");
    f.m_trailingZeros = CDataFormat::kRemoveZeros;
    f.FormatNumberParts(text, exponent, 1000.0);
    EXPECT_EQ(text, "10");
    EXPECT_EQ(exponent, "3");
    f.FormatNumberParts(text, exponent, -1000.0);
    EXPECT_EQ(text, "-10");
    f.FormatNumberParts(text, exponent, 1.0); // no exponent at all
    EXPECT_EQ(text, "1");
    EXPECT_EQ(exponent, "");
    f.m_tenPower = 0;
    f.FormatNumberParts(text, exponent, 1e20);
    EXPECT_EQ(text, "1e20");
    EXPECT_EQ(exponent, "");
}

TEST_F(DataFormatTest, SplitDecimalCutsAtTheDecimalCharacter)
{
    CDataFormat f;
    std::string text, fraction;
    f.FormatNumberSplitDecimal(text, fraction, 1234.5);
    EXPECT_EQ(text, "1234");
    EXPECT_EQ(fraction, ".5000");
    f.m_trailingZeros = CDataFormat::kRemoveZeros;
    f.FormatNumberSplitDecimal(text, fraction, 7.0);
    EXPECT_EQ(text, "7");
    EXPECT_EQ(fraction, "");
}

TEST_F(DataFormatTest, WidestSample)
{
    CDataFormat f;
    std::string s;
    f.GetWidestSample(s);
    EXPECT_EQ(s, "-.0000000000000"); // sign, point, 12 + 1 zeros
    f.m_thousands = 1;
    f.GetWidestSample(s);
    EXPECT_EQ(s, "-.0000000000000,,,,"); // 12 / 3 separators
}

TEST_F(DataFormatTest, MergeTakesOnlySetValues)
{
    CDataFormat unset;
    unset.m_decimals = unset.m_maxDigits = unset.m_trailingZeros = CDataFormat::kUnsetCount;
    unset.m_scientific = unset.m_thousands = unset.m_scientificForSmall = CDataFormat::kUnsetFlag;
    CDataFormat f;
    f.m_decimals = 2;
    f.m_scientificForSmall = 0;
    CDataFormat before = f;
    f.Merge(unset);
    EXPECT_EQ(f, before); // an unset 2 never reaches a live format

    CDataFormat from = unset;
    from.m_decimals = 6;
    from.m_scientificForSmall = 1; // set while scientific is unset: taken over
    f.Merge(from);
    EXPECT_EQ(f.m_decimals, 6);
    EXPECT_EQ(f.m_scientificForSmall, 1);
    EXPECT_EQ(f.m_maxDigits, 12);

    from = unset;
    from.m_scientific = 1;
    f.Merge(from);
    EXPECT_EQ(f.m_scientific, 1);
    EXPECT_EQ(f.m_scientificForSmall, 0); // always scientific clears the small switch

    from.m_scientific = 0;
    from.m_scientificForSmall = CDataFormat::kUnsetFlag;
    f.m_scientificForSmall = 1;
    f.Merge(from);
    EXPECT_EQ(f.m_scientific, 0);
    EXPECT_EQ(f.m_scientificForSmall, 1);

    from.m_tenPower = 1;
    from.m_scaleExponent = -3;
    f.Merge(from);
    EXPECT_EQ(f.m_tenPower, 1);
    EXPECT_EQ(f.m_scaleExponent, -3);
}

TEST_F(DataFormatTest, IntersectMarksDifferencesAndMatchesIgnoresThem)
{
    CDataFormat a, b;
    a.Intersect(b);
    EXPECT_EQ(a, CDataFormat());
    b.m_decimals = 2;
    b.m_thousands = 1;
    a.Intersect(b);
    EXPECT_EQ(a.m_decimals, -1);
    EXPECT_EQ(a.m_thousands, 2);
    EXPECT_EQ(a.m_maxDigits, 12);

    CDataFormat plain;
    EXPECT_EQ(plain.Matches(a), 1); // unset fields of a are not compared
    EXPECT_EQ(b.Matches(plain), 0);
    CDataFormat sci;
    sci.m_scientific = 1;
    sci.m_scientificForSmall = 0;
    CDataFormat sciSmall = sci;
    sciSmall.m_scientificForSmall = 1;
    EXPECT_EQ(sciSmall.Matches(sci), 1); // the small switch counts only without scientific
    CDataFormat scaled;
    scaled.m_scaleExponent = 1;
    EXPECT_EQ(plain.Matches(scaled), 0);
}

TEST_F(DataFormatTest, StoredFormIsThirtySixBytes)
{
    CDataFormat f;
    Bytes bytes = StoreBytes([&](CArchive& ar) { f.Serialize(ar); });
    // Version 0, then decimals 4, max digits 12, scientific 0, thousands 0,
    // scientific for small 1, trailing zeros 0, scale 0, ten-power 0.
    EXPECT_EQ(ToHex(bytes), ToHex(HexBytes("00000000 04000000 0C000000 00000000 00000000 01000000 00000000 "
                                           "00000000 00000000")));
    CDataFormat g;
    g.m_decimals = 7;
    g.m_trailingZeros = 2;
    g.m_scaleExponent = -3;
    g.m_tenPower = 1;
    Bytes other = StoreBytes([&](CArchive& ar) { g.Serialize(ar); });
    CDataFormat back;
    LoadBytes(other, [&](CArchive& ar) { back.Serialize(ar); });
    EXPECT_EQ(back, g);
}

TEST_F(DataFormatTest, NewerVersionIsRefused)
{
    RecordingReporter reporter;
    CDataFormat f;
    Bytes bytes = HexBytes("01000000");
    EXPECT_THROW(LoadBytes(bytes, [&](CArchive& ar) { f.Serialize(ar); }), CArchiveException);
}

TEST_F(DataFormatTest, AbsurdCountsStayBounded)
{
    CDataFormat f;
    f.m_decimals = 100000;
    f.m_maxDigits = 1000000;
    std::string s = f.FormatNumber(1.0);
    EXPECT_LT(s.size(), 1000u);
    f.m_maxDigits = 3; // fewer than six digits: one significant digit
    f.m_scientific = 1;
    EXPECT_EQ(f.FormatNumber(2345.0), "2.e+003");
}

} // namespace

#include "framework/Profile.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace {

// A settings folder of its own for one test.
struct ScopedConfigDir {
    ScopedConfigDir()
    {
        dir = (std::filesystem::temp_directory_path() / "mx-dataformat-XXXXXX").string();
        if (!::mkdtemp(dir.data()))
            throw std::runtime_error("mkdtemp");
        const char* old = std::getenv("MARLOX_CONFIG_DIR");
        had = old != nullptr;
        saved = old ? old : "";
        ::setenv("MARLOX_CONFIG_DIR", dir.c_str(), 1);
    }
    ~ScopedConfigDir()
    {
        if (had)
            ::setenv("MARLOX_CONFIG_DIR", saved.c_str(), 1);
        else
            ::unsetenv("MARLOX_CONFIG_DIR");
        std::filesystem::remove_all(dir);
    }
    std::string dir, saved;
    bool had = false;
};

TEST_F(DataFormatTest, DefaultsAndLocaleCharactersGoThroughTheProfile)
{
    ScopedConfigDir config;

    CDataFormat missing;
    missing.LoadDefaults(); // nothing stored: the current values stay
    EXPECT_EQ(missing, CDataFormat());
    CDataFormat f;
    f.m_decimals = 6;
    f.m_thousands = 1;
    f.SaveDefaults();
    CDataFormat g;
    g.LoadDefaults();
    EXPECT_EQ(g.m_decimals, 6);
    EXPECT_EQ(g.m_thousands, 1);

    SetDecimalChar(",");
    SetDigitsInGroup(4);
    SaveDecimalChar();
    SaveDigitsInGroup();
    ResetLocaleChars();
    LoadDecimalChar();
    LoadDigitsInGroup();
    LoadNegativeSymbol();
    EXPECT_EQ(GetDecimalChar(), ",");
    EXPECT_EQ(GetDigitsInGroup(), 4);
    EXPECT_EQ(GetNegativeSymbol(), "-");
}

TEST_F(DataFormatTest, CountsReadFromAFileOrTheSettingsAreClampedWhereRead)
{
    // Each stored field set to the most negative and the largest int: the
    // format read back stays within its ranges and formats without overflow.
    for (std::int32_t extreme : {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()}) {
        for (int field = 0; field < 8; ++field) {
            Bytes bytes = StoreBytes([](CArchive& ar) { CDataFormat().Serialize(ar); });
            const std::size_t at = 4 + 4 * std::size_t(field);
            for (int i = 0; i < 4; ++i)
                bytes[at + std::size_t(i)] = BYTE(std::uint32_t(extreme) >> (8 * i));
            CDataFormat f;
            LoadBytes(bytes, [&](CArchive& ar) { f.Serialize(ar); });
            SCOPED_TRACE(field);
            EXPECT_GE(f.m_decimals, 0);
            EXPECT_LE(f.m_decimals, 340);
            EXPECT_GE(f.m_maxDigits, 0);
            EXPECT_LE(f.m_maxDigits, 340);
            EXPECT_LE(std::abs(f.m_scaleExponent), 340);
            for (double v : {0.0, 1.5, -123456.789, 1e-300, 1e300})
                EXPECT_LT(f.FormatNumber(v).size(), 1000u);
        }
    }
    // A format whose fields are set in code (the options page) is formatted
    // as with the smallest digit count, even before any clamp.
    CDataFormat g;
    g.m_maxDigits = std::numeric_limits<int>::min();
    CDataFormat zero;
    zero.m_maxDigits = 0;
    EXPECT_EQ(g.FormatNumber(2.5), zero.FormatNumber(2.5));
}

TEST_F(DataFormatTest, MaxDigitsOfTheSettingsIsClamped)
{
    ScopedConfigDir config;
    std::filesystem::copy_file(ReproPath("maxdigits.conf"), std::filesystem::path(config.dir) / "settings.conf");

    CDataFormat f; // Restore Defaults on the Number Format page
    f.LoadDefaults();
    EXPECT_EQ(f.m_maxDigits, 0);
    EXPECT_LT(f.FormatNumber(12345.678).size(), 100u);
}

} // namespace
