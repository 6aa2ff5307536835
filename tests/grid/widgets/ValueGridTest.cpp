#include "GridWidgetsSupport.h"

#include "framework/ArchiveHelpers.h"
#include "grid/widgets/CurvevalueGrid.h"
#include "support/TestSupport.h"

#include <QTest>

#include <gtest/gtest.h>

#include <cstring>

namespace {

class FakePage : public CCurveValuePage {
public:
    int GetValueCount() const override { return int(values.size()); }
    std::string GetValueName(int index) const override { return "p" + std::to_string(index); }
    std::string GetNameCaption() const override { return "Parameter"; }
    std::vector<double>& GetValues() override { return values; }
    void MarkModified() override { ++modified; }
    std::vector<double> values{1.5, BlankValue(), -0.25};
    int modified = 0;
};

struct ValueFixture {
    explicit ValueFixture(char decimal)
    {
        grid.SetDecimalChar(decimal);
        grid.resize(300, 200);
        grid.show();
        Settle();
    }
    std::string Shown(int row)
    {
        std::string text;
        grid.GetCellValueText(row, 2, text);
        return text;
    }
    bool Same(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }
    FakePage page;
    CCurvevalueGrid grid{&page};
};

} // namespace

TEST(ValueGridTest, FormatsFiveSignificantDigitsWithTheDecimalCharacter)
{
    // Expected texts are what printf("%.5lg") gives, with the decimal character swapped in.
    const struct {
        double value;
        char decimal;
        const char* text;
    } cases[] = {
        {1.5, '.', "1.5"},           {1.5, ',', "1,5"},         {123456.0, ',', "1,2346e+05"},
        {0.0001, '.', "0.0001"},     {0.00001, '.', "1e-05"},   {-2.0 / 3.0, ',', "-0,66667"},
        {100000.0, '.', "1e+05"},    {99999.0, '.', "99999"},   {0.0, ',', "0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CValueGrid::FormatValue(c.value, c.decimal), c.text) << c.value;
    EXPECT_EQ(CValueGrid::FormatValue(BlankValue(), '.'), "");
}

TEST(ValueGridTest, ReadsNumbersInTheDecimalCharacterOnly)
{
    const struct {
        const char* text;
        char decimal;
        bool ok;
        double value;
    } cases[] = {
        {"1,5", ',', true, 1.5},     {" 2,5e3 ", ',', true, 2500.0}, {"-0,25", ',', true, -0.25},
        {"+7", '.', true, 7.0},      {"1.5", ',', false, 0},         {"1,5", '.', false, 0},
        {"abc", '.', false, 0},      {"inf", '.', false, 0},         {"nan", '.', false, 0},
        {"1e999", '.', false, 0},    {"1,5,3", ',', false, 0},       {"", '.', false, 0},
        {"0x10", '.', false, 0},     {"12 3", '.', false, 0},
    };
    for (const auto& c : cases) {
        const auto value = CValueGrid::ParseValue(c.text, c.decimal);
        EXPECT_EQ(value.has_value(), c.ok) << c.text;
        if (value && c.ok) {
            EXPECT_EQ(*value, c.value) << c.text;
        }
    }
}

TEST(ValueGridTest, ShowsNamesAndValuesWithTheUsersDecimalCharacter)
{
    ValueFixture f(',');
    EXPECT_EQ(f.grid.GetData().m_nRowCount, 4); // heading + 3 entries
    std::string text;
    f.grid.GetHeaderText(0, 1, text);
    EXPECT_EQ(text, "Parameter");
    f.grid.GetHeaderText(0, 2, text);
    EXPECT_EQ(text, "Value");
    f.grid.GetCellValueText(2, 1, text);
    EXPECT_EQ(text, "p1");
    EXPECT_EQ(f.Shown(1), "1,5");
    EXPECT_EQ(f.Shown(2), "");
}

TEST(ValueGridTest, AnInvalidEntryBeepsAndKeepsTheOldValue)
{
    ValueFixture f(',');
    RecordingReporter reporter;
    EXPECT_EQ(f.grid.SetCellText(1, 2, "abc"), 1);
    EXPECT_EQ(reporter.beeps, 1);
    EXPECT_EQ(f.page.values[0], 1.5);
    EXPECT_EQ(f.page.modified, 0);
    f.grid.SetCellText(1, 2, "2.5"); // the point is not this user's decimal character
    EXPECT_EQ(reporter.beeps, 2);
    EXPECT_EQ(f.page.values[0], 1.5);
}

TEST(ValueGridTest, TypedValuesAreStoredAndEmptyClears)
{
    ValueFixture f(',');
    f.grid.SetCurrentCell(3, 2);
    for (char c : std::string("4,75"))
        QTest::keyClick(QApplication::focusWidget(), c);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    Settle();
    EXPECT_EQ(f.page.values[2], 4.75);
    EXPECT_EQ(f.page.modified, 1);
    f.grid.SetCellText(1, 2, "");
    EXPECT_TRUE(f.Same(f.page.values[0], BlankValue()));
    EXPECT_EQ(f.page.modified, 2);
}

TEST(ValueGridTest, RetypingTheShownValueChangesNothing)
{
    ValueFixture f('.');
    f.page.values[0] = 1.0 / 3.0; // shown as 0.33333
    f.grid.SetCellText(1, 2, "0.33333");
    EXPECT_EQ(f.page.values[0], 1.0 / 3.0);
    EXPECT_EQ(f.page.modified, 0);
    f.grid.SetCellText(3, 2, "-0.25"); // the same value typed in another form
    EXPECT_EQ(f.page.modified, 0);
}

TEST(ValueGridTest, NamesCannotBeCutPastedOrCleared)
{
    ValueFixture f('.');
    f.grid.SetCurrentCell(1, 1);
    for (int id : {int(ID_EDIT_CUT), int(ID_EDIT_PASTE), int(ID_EDIT_CLEAR)}) {
        CGridCmdState state;
        state.Enable(true);
        f.grid.OnUpdateCommand(id, state);
        EXPECT_FALSE(state.enabled) << id;
    }
    f.grid.OnCommand(ID_EDIT_CLEAR);
    EXPECT_EQ(f.page.values[0], 1.5);
}
