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

TEST_F(DataExchangeTest, DoubleOrBlank)
{
    QLineEdit edit;
    double value = BlankValue();
    CDataExchange load(nullptr, false);
    DDX_DoubleOrBlank(&load, &edit, value);
    EXPECT_EQ(edit.text(), "");

    CDataExchange save(nullptr, true);
    value = 3.0;
    DDX_DoubleOrBlank(&save, &edit, value);
    EXPECT_TRUE(IsBlank(value));
    DDV_DoubleOrBlank(&save, value, 0.0, 1.0);  // a blank passes any range
    EXPECT_FALSE(save.Failed());

    edit.setText("1.5");
    DDX_DoubleOrBlank(&save, &edit, value);
    EXPECT_EQ(value, 1.5);
    DDV_DoubleOrBlank(&save, value, 0.0, 1.0);
    EXPECT_TRUE(save.Failed());
    EXPECT_EQ(reporter.Ids(), std::vector<UINT>{61715});

    CDataExchange bad(nullptr, true);
    edit.setText("x");
    DDX_DoubleOrBlank(&bad, &edit, value);
    EXPECT_TRUE(bad.Failed());
}

}  // namespace
