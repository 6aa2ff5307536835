#include "framework/PageSetupMetrics.h"

#include <gtest/gtest.h>

TEST(PageSetupMetricsTest, MarginsGoThroughHundredthsOfMillimetres)
{
    EXPECT_EQ(MarginToHundredthsMm(1000), 2540); // 1 inch = 25.40 mm
    EXPECT_EQ(MarginFromHundredthsMm(2540), 1000);
    EXPECT_EQ(MarginToHundredthsMm(333), 845); // 8.4582 mm, truncated
    // Every margin up to 11 inches survives the trip to a metric dialog and back.
    for (int v = 0; v <= 11000; ++v)
        ASSERT_EQ(MarginFromHundredthsMm(MarginToHundredthsMm(v)), v) << v;
}

TEST(PageSetupMetricsTest, DistancesSurviveMillimetresWithoutDrifting)
{
    // 0.25 inch is 6.35 mm; 6.35 mm times 0.03937... is 0.2499999... inch,
    // which truncation would turn into 249.
    CMeasurementValue m;
    m.SetMetric(true);
    m.SetInches(0.25);
    EXPECT_EQ(m.Format(), "6.35mm");
    m.SetFromText("6.35mm");
    EXPECT_EQ(m.GetThousandths(), 250);
    EXPECT_LT(m.GetInches() * 1000.0, 250.0); // truncation would have drifted
    // Every distance that a metric user sees to two decimals comes back unchanged.
    for (int v = 0; v <= 3000; ++v) {
        CMeasurementValue d;
        d.SetMetric(true);
        d.SetInches(v * 0.001);
        CMeasurementValue typed;
        typed.SetMetric(true);
        typed.SetFromText(d.Format());
        ASSERT_EQ(typed.GetThousandths(), v) << d.Format();
    }
}

TEST(PageSetupMetricsTest, FormatDropsTrailingZerosAndAddsTheUnit)
{
    struct Case {
        bool metric;
        double shown;
        const char* text;
    } cases[] = {
        {false, 0.3, "0.3\""}, {false, 1.0, "1\""},     {false, 0.0, "0\""},     {false, 0.1234, "0.123\""},
        {true, 7.62, "7.62mm"}, {true, 25.4, "25.4mm"}, {true, 10.0, "10mm"},   {true, 0.004, "0mm"},
    };
    for (const Case& c : cases) {
        CMeasurementValue m;
        m.SetMetric(c.metric);
        m.SetShown(c.shown);
        EXPECT_EQ(m.Format(), c.text);
    }
}

TEST(PageSetupMetricsTest, SwitchingTheUnitConvertsTheValue)
{
    CMeasurementValue m;
    m.SetInches(0.3);
    m.SetMetric(true);
    EXPECT_DOUBLE_EQ(m.GetShown(), 7.62); // 0.3 x 25.4
    m.SetMetric(false);
    EXPECT_NEAR(m.GetShown(), 0.3, 1e-15);
}

TEST(PageSetupMetricsTest, TypedTextIsReadLeniently)
{
    CMeasurementValue m;
    m.SetBounds(0.0, 1.0);
    EXPECT_TRUE(m.SetFromText(" 0.5\""));
    EXPECT_DOUBLE_EQ(m.GetShown(), 0.5);
    EXPECT_FALSE(m.SetFromText("abc")); // no number: unchanged
    EXPECT_DOUBLE_EQ(m.GetShown(), 0.5);
    EXPECT_TRUE(m.SetFromText("3")); // clamped to the upper bound
    EXPECT_DOUBLE_EQ(m.GetShown(), 1.0);
    EXPECT_TRUE(m.SetFromText("-2")); // raised to the lower bound
    EXPECT_DOUBLE_EQ(m.GetShown(), 0.0);
    EXPECT_FALSE(m.SetFromText("nan"));
    EXPECT_DOUBLE_EQ(m.GetShown(), 0.0);
}

TEST(PageSetupMetricsTest, ClampRaisesThenLowers)
{
    CMeasurementValue m;
    m.SetInches(0.1);
    m.SetBounds(0.25, 1.0);
    EXPECT_TRUE(m.Clamp());
    EXPECT_DOUBLE_EQ(m.GetInches(), 0.25);
    EXPECT_FALSE(m.Clamp());
    // Bounds that cross (a top margin below the printer's minimum): the upper one wins.
    m.SetBounds(0.5, 0.2);
    EXPECT_TRUE(m.Clamp());
    EXPECT_DOUBLE_EQ(m.GetInches(), 0.2);
}

TEST(PageSetupMetricsTest, KeysThatATypistMayUse)
{
    for (char32_t c : {U'0', U'9', U'.', U'\b'}) {
        EXPECT_TRUE(CMeasurementValue::AcceptsChar(c, false));
        EXPECT_TRUE(CMeasurementValue::AcceptsChar(c, true));
    }
    EXPECT_TRUE(CMeasurementValue::AcceptsChar(U'"', false));
    EXPECT_FALSE(CMeasurementValue::AcceptsChar(U'"', true));
    EXPECT_TRUE(CMeasurementValue::AcceptsChar(U'm', true));
    EXPECT_FALSE(CMeasurementValue::AcceptsChar(U'm', false));
    for (char32_t c : {U',', U'-', U'a', U' ', U'e'})
        EXPECT_FALSE(CMeasurementValue::AcceptsChar(c, true));
}

TEST(PageSetupMetricsTest, PageGeometry)
{
    // Letter paper (8500 x 11000), printable origin 250/250 from the paper's corner, 1-inch margins.
    RECT margins{1000, 1000, 1000, 1000};
    RECT r = GetPrintableRect(margins, POINT{250, 250}, SIZE{8500, 11000});
    EXPECT_EQ(r.left, 750);
    EXPECT_EQ(r.top, -750);
    EXPECT_EQ(r.right, 7250);
    EXPECT_EQ(r.bottom, -9750);
    // The paper's top edge is at y = +250 and its bottom edge at -10750 (y upwards).
    EXPECT_EQ(HeaderLineY(r, margins, 300), 250 - 300);
    EXPECT_EQ(FooterLineY(r, margins, 300), -10750 + 300);
    EXPECT_EQ(HeaderFontHeight(100), -138); // 10 pt = 138.9 thousandths of an inch, truncated
    EXPECT_EQ(HeaderFontHeight(720), -1000);
}
