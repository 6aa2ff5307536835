#include "ui/MeasurementUnit.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ParseCase {
    const char* text;
    int unit;      // the current unit
    bool ok;
    int internal;  // thousandths of an inch
};

// Reference values by hand: 1 in = 2.54 cm = 25.4 mm = 72 pt.
const ParseCase kParseCases[] = {
    {"2.54cm", MeasurementUnit::Inches, true, 1000},
    {"0", MeasurementUnit::Inches, true, 0},
    {"  \t1 in", MeasurementUnit::Centimeters, true, 1000},
    {"1\"", MeasurementUnit::Millimeters, true, 1000},
    {"72 PT ", MeasurementUnit::Inches, true, 1000},
    {"25.4 Mm", MeasurementUnit::Inches, true, 1000},
    {"1.5", MeasurementUnit::Inches, true, 1500},
    {"1.5", MeasurementUnit::Points, true, 21},        // 1.5/72 in = 20.83 -> 21
    {"-0.25\"", MeasurementUnit::Centimeters, true, -250},
    {"0.0005", MeasurementUnit::Inches, true, 1},      // 0.5 rounds away from zero
    {"abc", MeasurementUnit::Inches, false, 0},
    {"", MeasurementUnit::Inches, false, 0},
    {"   ", MeasurementUnit::Inches, false, 0},
    {"1 km", MeasurementUnit::Inches, false, 0},
    {"1 c", MeasurementUnit::Inches, false, 0},
    {"1 cmx", MeasurementUnit::Inches, false, 0},
    {"1 cm 2", MeasurementUnit::Inches, false, 0},
    {".0", MeasurementUnit::Inches, false, 0},         // zero counts only when the text starts with 0
    {"inf", MeasurementUnit::Inches, false, 0},
    {"nan", MeasurementUnit::Inches, false, 0},
    {"1e300", MeasurementUnit::Inches, false, 0},      // beyond the int range
    {"2147484 in", MeasurementUnit::Inches, false, 0}, // 2,147,484,000 > 2^31-1
    {"2147483 in", MeasurementUnit::Inches, true, 2147483000},
};

TEST(MeasurementUnitTest, ParsesNumbersWithUnits)
{
    for (const ParseCase& c : kParseCases) {
        MeasurementUnit unit(c.unit);
        int internal = 12345;
        EXPECT_EQ(unit.Parse(c.text, internal), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(internal, c.internal) << c.text;
        }
    }
}

TEST(MeasurementUnitTest, FormatsInEachUnit)
{
    MeasurementUnit unit(MeasurementUnit::Inches);
    EXPECT_EQ(unit.Format(1000, MeasurementUnit::Millimeters), "25.4 mm");
    EXPECT_EQ(unit.Format(500, MeasurementUnit::Inches), "0.5\"");
    EXPECT_EQ(unit.Format(-250, MeasurementUnit::Inches), "-0.25\"");
    EXPECT_EQ(unit.Format(1000, MeasurementUnit::Centimeters), "2.54 cm");
    EXPECT_EQ(unit.Format(1000, MeasurementUnit::Points), "72 pt");
    EXPECT_EQ(unit.Format(0, MeasurementUnit::Inches), "0\"");
    EXPECT_EQ(unit.Format(1, MeasurementUnit::Inches), "0.001\"");
    // 1/1000 in = 0.0254 mm, three decimals: 0.025.
    EXPECT_EQ(unit.Format(1, MeasurementUnit::Millimeters), "0.025 mm");
    // -1/10000 in would print -0.000; no negative zero is shown.
    EXPECT_EQ(MeasurementUnit(MeasurementUnit::Inches, 10000).Format(-1, MeasurementUnit::Inches), "0\"");
}

TEST(MeasurementUnitTest, DrawingScaleCountsSevenHundredTwentyPerInch)
{
    MeasurementUnit unit(MeasurementUnit::Points, 720);
    int internal = 0;
    ASSERT_TRUE(unit.Parse("1 in", internal));
    EXPECT_EQ(internal, 720);
    ASSERT_TRUE(unit.Parse("1", internal));  // 1 pt = 10 units of 1/720 in
    EXPECT_EQ(internal, 10);
    EXPECT_EQ(unit.Format(720), "72 pt");
    EXPECT_EQ(unit.Format(15), "1.5 pt");
}

TEST(MeasurementUnitTest, FormatThenParseGivesTheValueBack)
{
    for (int unitNo = 0; unitNo < 4; ++unitNo) {
        MeasurementUnit unit(unitNo);
        for (int v : {-12345, -1, 0, 7, 250, 1000, 8500, 11000, 123456}) {
            int back = 0;
            ASSERT_TRUE(unit.Parse(unit.Format(v), back)) << unit.Format(v);
            // One thousandth of an inch is 0.0254 mm, 0.00254 cm or 0.072 pt: three
            // decimals resolve it to better than half a step in every unit.
            EXPECT_EQ(back, v) << unitNo << " " << v;
        }
    }
}

TEST(MeasurementUnitTest, UnitNamesAndOutOfRangeUnit)
{
    EXPECT_EQ(MeasurementUnit(MeasurementUnit::Inches).UnitName(), "inches");
    EXPECT_EQ(MeasurementUnit(MeasurementUnit::Centimeters).UnitName(), "centimeters");
    EXPECT_EQ(MeasurementUnit(MeasurementUnit::Points).UnitName(), "points");
    EXPECT_EQ(MeasurementUnit(MeasurementUnit::Millimeters).UnitName(), "millimeters");
    EXPECT_EQ(MeasurementUnit(7).UnitName(), "inches");
}

}  // namespace
