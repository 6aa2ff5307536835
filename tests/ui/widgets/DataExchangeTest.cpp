#include "ui/widgets/DataExchange.h"

#include "framework/ArchiveHelpers.h"
#include "support/TestSupport.h"
#include "ui/MeasurementUnit.h"
#include "ui/widgets/WidgetTestSupport.h"

#include <QLineEdit>
#include <gtest/gtest.h>

namespace {

class DataExchangeTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureApplication(); }
    RecordingReporter reporter;
};

TEST_F(DataExchangeTest, MeasurementShowsAndReadsTheUnit)
{
    MeasurementUnit unit(MeasurementUnit::Millimeters);
    QLineEdit edit;
    int value = 1000;
    CDataExchange load(nullptr, false);
    DDX_Measurement(unit, &load, &edit, value);
    EXPECT_EQ(edit.text(), "25.4 mm");

    edit.setText("2.54cm");
    value = 0;
    CDataExchange save(nullptr, true);
    DDX_Measurement(unit, &save, &edit, value);
    EXPECT_FALSE(save.Failed());
    EXPECT_EQ(value, 1000);
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(DataExchangeTest, BadMeasurementFailsAndStopsTheRest)
{
    MeasurementUnit unit(MeasurementUnit::Inches);
    QLineEdit edit, other;
    edit.setText("1 km");
    other.setText("2");
    int value = 7, second = 9;
    CDataExchange save(nullptr, true);
    DDX_Measurement(unit, &save, &edit, value);
    DDX_Measurement(unit, &save, &other, second);
    EXPECT_TRUE(save.Failed());
    EXPECT_EQ(value, 7);
    EXPECT_EQ(second, 9);  // after a failure nothing more is exchanged
    EXPECT_EQ(reporter.Ids(), std::vector<UINT>{26001});
    EXPECT_EQ(reporter.messages[0].text, "Illegal measurement.");
}

TEST_F(DataExchangeTest, MeasurementRangeNamesTheBoundsInTheUnit)
{
    MeasurementUnit unit(MeasurementUnit::Points, 720);
    CDataExchange save(nullptr, true);
    DDV_Measurement(unit, &save, 721, 1, 720);
    EXPECT_TRUE(save.Failed());
    ASSERT_EQ(reporter.Ids(), std::vector<UINT>{26002});
    // 1/720 in = 0.1 pt; 720/720 in = 72 pt.
    EXPECT_EQ(reporter.messages[0].text, "Please enter a measurement between 0.1 pt and 72 pt.");
    CDataExchange ok(nullptr, true);
    DDV_Measurement(unit, &ok, 720, 1, 720);
    EXPECT_FALSE(ok.Failed());
}

TEST_F(DataExchangeTest, LenientMeasurementAndClampNeverFail)
{
    MeasurementUnit unit(MeasurementUnit::Inches);
    QLineEdit edit;
    edit.setText("  2.54 CM ");
    int value = 0;
    CDataExchange save(nullptr, true);
    DDX_MeasurementLenient(unit, &save, &edit, value);
    EXPECT_EQ(value, 1000);
    EXPECT_EQ(edit.text(), "1\"");  // shown again in normal form

    edit.setText("rubbish");
    DDX_MeasurementLenient(unit, &save, &edit, value);
    EXPECT_EQ(value, 1000);
    EXPECT_EQ(edit.text(), "1\"");  // the value held, not a made-up zero

    DDV_MeasurementClamp(unit, &save, &edit, value, 0, 750);
    EXPECT_EQ(value, 750);
    EXPECT_EQ(edit.text(), "0.75\"");
    EXPECT_FALSE(save.Failed());
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(DataExchangeTest, DisabledMeasurementEditIsNotRead)
{
    MeasurementUnit unit(MeasurementUnit::Inches);
    QLineEdit edit;
    edit.setText("abc");
    edit.setEnabled(false);
    int value = 5;
    CDataExchange save(nullptr, true);
    DDX_Measurement(unit, &save, &edit, value);
    EXPECT_FALSE(save.Failed());
    EXPECT_EQ(value, 5);
}

TEST_F(DataExchangeTest, WholeNumbersAndNumbers)
{
    QLineEdit edit;
    int n = 7;
    CDataExchange load(nullptr, false);
    DDX_Int(&load, &edit, n);
    EXPECT_EQ(edit.text(), "7");
    struct Case {
        const char* text;
        bool ok;
        int value;
    };
    for (const Case& c : {Case{" -12 ", true, -12}, Case{"+3", true, 3}, Case{"12abc", false, 0}, Case{"", false, 0},
                          Case{"99999999999", false, 0}}) {
        CDataExchange save(nullptr, true);
        edit.setText(c.text);
        n = 5;
        DDX_Int(&save, &edit, n);
        EXPECT_EQ(!save.Failed(), c.ok) << c.text;
        EXPECT_EQ(n, c.ok ? c.value : 5) << c.text;
    }
    CDataExchange range(nullptr, true);
    DDV_MinMaxInt(&range, 11, 0, 10);
    EXPECT_TRUE(range.Failed());

    double d = 0.0;
    CDataExchange save(nullptr, true);
    edit.setText(" 2.5e3 ");
    DDX_Double(&save, &edit, d);
    EXPECT_EQ(d, 2500.0);
    CDataExchange bad(nullptr, true);
    edit.setText("");
    DDX_Double(&bad, &edit, d);
    EXPECT_TRUE(bad.Failed());
    EXPECT_EQ(d, 2500.0);
    EXPECT_EQ(reporter.Ids(), (std::vector<UINT>{61712, 61712, 61712, 61714, 61713}));
}

}  // namespace
