// Axis ranges and ticks against hand-made tables: nice ranges, tick steps,
// tick values on linear and logarithmic axes, and the mending of ranges and
// steps that would give endless or meaningless tick loops.
#include "graph/AxisScale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct NiceCase {
    const char* name;
    bool log;
    double min, max;
    double niceMin, niceMax;
};

class NiceRange : public ::testing::TestWithParam<NiceCase> {};

TEST_P(NiceRange, MatchesHandCalculation)
{
    const NiceCase& c = GetParam();
    double min = c.min, max = c.max;
    AxisScale::MakeNiceRange(c.log, min, max);
    EXPECT_NEAR(min, c.niceMin, 1e-9 * std::fmax(1.0, std::fabs(c.niceMin)));
    EXPECT_NEAR(max, c.niceMax, 1e-9 * std::fmax(1.0, std::fabs(c.niceMax)));
}

// Each row worked by hand: pad 5 % of the span on top (and below, but a
// minimum that was not negative stays at or above 0), then round the ends
// outwards to the power of ten that puts the span between 3 and 30.
INSTANTIATE_TEST_SUITE_P(Cases, NiceRange,
    ::testing::Values(
        NiceCase{"SmallPositive", false, 0.2, 7.3, 0.0, 8.0},          // pad 0.355, f 1
        NiceCase{"Offset", false, 1003, 1017, 1002.0, 1018.0},         // pad 0.7
        NiceCase{"ZeroStaysZero", false, 0.0, 5.0, 0.0, 6.0},          // 5.25 -> 6
        NiceCase{"Negative", false, -7.3, -0.2, -8.0, 1.0},            // pad 0.355: -7.655 .. 0.155, f 1
        NiceCase{"Tiny", false, 1e-9, 7e-9, 0.0, 8e-9},                 // pad 3e-10: 7e-10 .. 7.3e-9, f 1e9
        NiceCase{"Log", true, 0.034, 120.0, 0.01, 125.9983},            // min halved, floored to its leading digit
        NiceCase{"LogDecade", true, 1.0, 1000.0, 0.5, 1049.95}),        // 0.5 is its own leading digit
    [](const auto& info) { return std::string(info.param.name); });

TEST(NiceRange, HugeValuesRoundToTheirDecade)
{
    // 2e12 .. 9e12: pad 3.5e11 gives 1.65e12 .. 9.35e12, span 7.7e12; f = 1e-12
    // (f * span = 7.7), so the ends round outwards to whole 1e12.
    double min = 2e12, max = 9e12;
    AxisScale::MakeNiceRange(false, min, max);
    EXPECT_NEAR(min, 1e12, 1e3);
    EXPECT_NEAR(max, 1e13, 1e4);
}

struct StepCase {
    const char* name;
    double min, max;
    double major, minor, origin;
};

class TickSteps : public ::testing::TestWithParam<StepCase> {};

TEST_P(TickSteps, MatchesHandCalculation)
{
    const StepCase& c = GetParam();
    double major = 0, minor = 0, origin = 0;
    AxisScale::ChooseTickSteps(false, c.min, c.max, major, minor, origin);
    EXPECT_NEAR(major, c.major, 1e-12 * c.major);
    EXPECT_NEAR(minor, c.minor, 1e-12 * c.minor);
    EXPECT_DOUBLE_EQ(origin, c.origin);
}

INSTANTIATE_TEST_SUITE_P(Cases, TickSteps,
    ::testing::Values(StepCase{"ZeroToEight", 0, 8, 2, 1, 0},       // n = 8
                      StepCase{"Offset", 1002, 1018, 2, 1, 1002},   // n = 16, origin the minimum
                      StepCase{"ZeroToThirty", 0, 30, 10, 5, 0},    // f = 0.1, n = 3
                      StepCase{"FourUnits", 0, 4, 2, 0.5, 0},       // n = 4
                      StepCase{"AllNegative", -9, -2, 2, 1, -2},    // origin the maximum
                      StepCase{"Spanning", -3, 5, 2, 1, 0}),        // n = 8, origin 0
    [](const auto& info) { return std::string(info.param.name); });

TEST(Ticks, LinearMajorAndMinor)
{
    const auto major = AxisScale::MajorTicks(false, 0, 8, 2);
    EXPECT_EQ(major, (std::vector<double>{0, 2, 4, 6, 8}));
    // Minor ticks at the odd values: the even ones are major ticks.
    const auto minor = AxisScale::MinorTicks(false, 0, 8, 2, 1);
    EXPECT_EQ(minor, (std::vector<double>{1, 3, 5, 7}));
}

TEST(Ticks, LinearStartsAtFirstMultipleAboveMinimum)
{
    const auto major = AxisScale::MajorTicks(false, 0.5, 7.3, 2);
    EXPECT_EQ(major, (std::vector<double>{2, 4, 6}));
}

TEST(Ticks, ReversedOrderIsMendedBeforeTicks)
{
    double min = 10, max = 2;
    EXPECT_TRUE(AxisScale::MendRange(false, min, max));
    EXPECT_EQ(min, 2);
    EXPECT_EQ(max, 10);
}

TEST(Ticks, LogarithmicMajorAreDecades)
{
    const auto major = AxisScale::MajorTicks(true, 0.01, 1000, 10);
    ASSERT_EQ(major.size(), 6u);
    for (std::size_t i = 0; i < major.size(); ++i)
        EXPECT_NEAR(major[i], std::pow(10.0, -2.0 + double(i)), 1e-12 * major[i]);
}

TEST(Ticks, LogarithmicMinorAreTwoToNineOfEachDecade)
{
    const auto minor = AxisScale::MinorTicks(true, 1, 100, 10, 10);
    ASSERT_EQ(minor.size(), 16u);
    EXPECT_NEAR(minor[0], 2.0, 1e-12);
    EXPECT_NEAR(minor[7], 9.0, 1e-12);
    EXPECT_NEAR(minor[8], 20.0, 1e-11);
}

// Steps and ranges that would never end the walk, or walk billions of steps,
// give no ticks at all.
TEST(Ticks, BoundedForBadStepsAndRanges)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(AxisScale::MajorTicks(true, 1, 100, 1.0).empty());   // a factor of 1 never moves
    EXPECT_TRUE(AxisScale::MajorTicks(true, 1, 100, 0.5).empty());   // nor does one below 1
    EXPECT_TRUE(AxisScale::MajorTicks(false, 0, 10, 0.0).empty());
    EXPECT_TRUE(AxisScale::MajorTicks(false, 0, 10, -1.0).empty());
    EXPECT_TRUE(AxisScale::MajorTicks(false, 0, 1e12, 1.0).empty()); // a trillion ticks
    EXPECT_TRUE(AxisScale::MajorTicks(false, nan, 10, 1.0).empty());
    EXPECT_TRUE(AxisScale::MajorTicks(false, 0, inf, 1.0).empty());
    EXPECT_TRUE(AxisScale::MinorTicks(false, 0, 1e12, 2.0, 1e-3).empty());
    EXPECT_TRUE(AxisScale::MinorTicks(true, 1e-300, 1e300, 10, 10).size() <= std::size_t(AxisScale::kMaxTicks) * 9);
    EXPECT_TRUE(AxisScale::MinorTicks(true, 1, 100, 10, 1.0).empty());
}

struct MendCase {
    const char* name;
    bool log;
    double min, max;
    double mendedMin, mendedMax;
};

class MendRange : public ::testing::TestWithParam<MendCase> {};

TEST_P(MendRange, GivesADrawableRange)
{
    const MendCase& c = GetParam();
    double min = c.min, max = c.max;
    EXPECT_TRUE(AxisScale::MendRange(c.log, min, max));
    EXPECT_DOUBLE_EQ(min, c.mendedMin);
    EXPECT_DOUBLE_EQ(max, c.mendedMax);
}

INSTANTIATE_TEST_SUITE_P(Cases, MendRange,
    ::testing::Values(MendCase{"EqualEnds", false, 5, 5, 5, 6},
                      MendCase{"EqualHugeEnds", false, 1e20, 1e20, 1e20, 1e20 + 1e14},
                      MendCase{"NaN", false, std::numeric_limits<double>::quiet_NaN(), 3, 0, 10},
                      MendCase{"Infinite", false, 0, std::numeric_limits<double>::infinity(), 0, 10},
                      MendCase{"LogNotPositive", true, -1, 10, 1, 10},
                      MendCase{"LogZero", true, 0, 0, 1, 10}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NiceRange, DegenerateDataGiveADrawableRange)
{
    double min = 4, max = 4;
    AxisScale::MakeNiceRange(false, min, max);
    EXPECT_LT(min, max);
    min = max = 1e300;
    AxisScale::MakeNiceRange(false, min, max);
    EXPECT_LT(min, max);
    EXPECT_TRUE(std::isfinite(max));
    min = -5;
    max = -5;
    AxisScale::MakeNiceRange(true, min, max);
    EXPECT_GT(min, 0.0);
    EXPECT_LT(min, max);
}

} // namespace
