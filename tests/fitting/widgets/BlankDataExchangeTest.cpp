#include "data/LocaleChars.h"
#include "fitting/widgets/BlankDataExchange.h"
#include "framework/ArchiveHelpers.h"
#include "support/TestSupport.h"
#include "ui/widgets/DataExchange.h"

#include <QLineEdit>

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

namespace {

struct Field {
    QLineEdit edit;
    RecordingReporter reporter;
    // Reads the field's text through exchange; whether the pass held.
    template <class F>
    bool Read(const char* text, F exchange)
    {
        edit.setText(text);
        CDataExchange dx(nullptr, true);
        exchange(&dx);
        return !dx.Failed();
    }
    template <class F>
    QString ShowWith(F exchange)
    {
        CDataExchange dx(nullptr, false);
        exchange(&dx);
        return edit.text();
    }
};

} // namespace

TEST(BlankDataExchange, OptionalIntegers)
{
    Field f;
    int v = 9;
    auto dx = [&](CDataExchange* pDX) { DDX_OptionalInt(pDX, &f.edit, v); };
    EXPECT_TRUE(f.Read("", dx));
    EXPECT_EQ(v, -1);
    // An empty field passes any range.
    CDataExchange range(nullptr, true);
    DDV_OptionalMinMaxInt(&range, v, 1, 5);
    EXPECT_FALSE(range.Failed());
    EXPECT_EQ(f.ShowWith(dx), "");
    // A typed -1 is no "empty".
    EXPECT_TRUE(f.Read("-1", dx));
    EXPECT_EQ(v, -2);
    EXPECT_TRUE(f.Read(" 42 ", dx));
    EXPECT_EQ(v, 42);
    EXPECT_EQ(f.ShowWith(dx), "42");
    CDataExchange outside(nullptr, true);
    DDV_OptionalMinMaxInt(&outside, v, 1, 5);
    EXPECT_TRUE(outside.Failed());
    // Malformed text is reported by the integer exchange.
    EXPECT_FALSE(f.Read("4x", dx));
    EXPECT_EQ(f.reporter.Ids(), (std::vector<UINT>{61714, 61712}));
}

TEST(BlankDataExchange, ScannedIntegersReadAsFarAsTheyGo)
{
    Field f;
    int v = 0;
    auto dx = [&](CDataExchange* pDX) { DDX_OptionalIntScan(pDX, &f.edit, v); };
    struct Case {
        const char* text;
        int value;
        const char* shown;
    };
    for (const Case& c : {Case{"12abc", 12, "12abc"}, Case{"abc", -2, ""}, Case{"", -1, ""}, Case{"-1", -2, "-1"},
                          Case{"  7", 7, "  7"}, Case{"99999999999", -2, ""}}) {
        EXPECT_TRUE(f.Read(c.text, dx)) << c.text;
        EXPECT_EQ(v, c.value) << c.text;
        EXPECT_EQ(f.edit.text(), c.shown) << c.text;
    }
    EXPECT_TRUE(f.reporter.messages.empty());
}

TEST(BlankDataExchange, ClampedIntegers)
{
    Field f;
    int v = 0;
    auto clamp = [&](CDataExchange* pDX) {
        DDX_OptionalInt(pDX, &f.edit, v);
        DDX_ClampOptionalInt(pDX, &f.edit, v, 1, 10);
    };
    EXPECT_TRUE(f.Read("40", clamp));
    EXPECT_EQ(v, 10);
    EXPECT_EQ(f.edit.text(), "10");
    EXPECT_TRUE(f.Read("0", clamp));
    EXPECT_EQ(v, 1);
    EXPECT_TRUE(f.Read("", clamp));
    EXPECT_EQ(v, -1); // unset stays unset
    EXPECT_EQ(f.edit.text(), "");
}

TEST(BlankDataExchange, OptionalNumbersKeepTheirValueOnBadText)
{
    ResetLocaleChars();
    Field f;
    double v = 1.0;
    auto dx = [&](CDataExchange* pDX) { DDX_OptionalDouble(pDX, &f.edit, v); };
    EXPECT_TRUE(f.Read("  2.5  ", dx));
    EXPECT_EQ(v, 2.5);
    // Not wholly a number, or empty: the value stays and shows again.
    v = 0.123456789012;
    EXPECT_TRUE(f.Read("2.5x", dx));
    EXPECT_EQ(v, 0.123456789012);
    EXPECT_EQ(f.edit.text(), "0.123456789012");
    EXPECT_TRUE(f.Read("", dx));
    EXPECT_EQ(v, 0.123456789012);
    // A blank shows as an empty field and reads back as the blank.
    v = BlankValue();
    EXPECT_EQ(f.ShowWith(dx), "");
    EXPECT_TRUE(f.Read("", dx));
    EXPECT_TRUE(IsBlank(v));
    EXPECT_EQ(f.edit.text(), "");
    // The user's decimal character.
    SetDecimalChar(",");
    EXPECT_TRUE(f.Read("2,5", dx));
    EXPECT_EQ(v, 2.5);
    ResetLocaleChars();
    EXPECT_TRUE(f.reporter.messages.empty());
}

TEST(BlankDataExchange, ClampedNumbers)
{
    Field f;
    double v = 0.0;
    auto clamp = [&](CDataExchange* pDX) {
        DDX_OptionalDouble(pDX, &f.edit, v);
        DDX_ClampOptionalDouble(pDX, &f.edit, v, 0.0, DBL_MAX);
    };
    EXPECT_TRUE(f.Read("-3", clamp));
    EXPECT_EQ(v, 0.0);
    EXPECT_EQ(f.edit.text(), "0");
    v = BlankValue();
    EXPECT_TRUE(f.Read("", clamp)); // no number is raised to the minimum
    EXPECT_EQ(v, 0.0);
    auto upper = [&](CDataExchange* pDX) {
        DDX_OptionalDouble(pDX, &f.edit, v);
        DDX_ClampOptionalDouble(pDX, &f.edit, v, 0.0, 1.0);
    };
    EXPECT_TRUE(f.Read("7.5", upper));
    EXPECT_EQ(v, 1.0);
    EXPECT_EQ(f.edit.text(), "1");
}
