#include "ui/widgets/ColourCombo.h"

#include "ui/widgets/DataExchange.h"
#include "ui/widgets/WidgetTestSupport.h"

#include <gtest/gtest.h>

namespace {

// A combo whose colour dialog answers from the test.
class ScriptedCombo : public CColourCombo {
public:
    bool answer = false;
    COLORREF chosen = 0;
    int asked = 0;
    COLORREF initial = 0;

protected:
    bool ChooseColour(COLORREF init, COLORREF& out) override
    {
        ++asked;
        initial = init;
        if (answer)
            out = chosen;
        return answer;
    }
};

class ColourComboTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureApplication(); }
};

TEST_F(ColourComboTest, ListsStandardColoursBetweenAutomaticAndOther)
{
    CColourCombo combo;
    combo.Init(ColourValue(0x0000FF), true);
    ASSERT_EQ(combo.count(), 32);
    EXPECT_EQ(combo.itemText(0), "Automatic");
    EXPECT_EQ(combo.itemText(1), "Black");
    EXPECT_EQ(combo.itemText(16), "White");
    EXPECT_EQ(combo.itemText(17), "5% Black");
    EXPECT_EQ(combo.itemText(30), "90% Black");
    EXPECT_EQ(combo.itemText(31), "Other...");
    EXPECT_EQ(combo.currentIndex(), 10);  // Red is standard colour 9, after Automatic

    CColourCombo plain;
    plain.Init(ColourValue(0x0000FF), false);
    ASSERT_EQ(plain.count(), 31);
    EXPECT_EQ(plain.itemText(0), "Black");
    EXPECT_EQ(plain.currentIndex(), 9);
}

TEST_F(ColourComboTest, SelectionFollowsTheValue)
{
    CColourCombo combo;
    combo.SetAutomaticColour(0x112233);
    combo.Init(ColourValue(0xFFFFFFFE), true);
    EXPECT_EQ(combo.currentIndex(), -1);  // a reserved word shows no selection

    ColourValue automatic;
    automatic.SetAutomatic(0x112233);
    EXPECT_EQ(combo.SetColour(automatic), 0);
    EXPECT_EQ(combo.EntryColour(0), 0x112233u);

    EXPECT_EQ(combo.SetColour(ColourValue(0x123456)), 31);  // not standard: Other...
    EXPECT_EQ(combo.EntryColour(31), 0x123456u);            // Other... shows the current colour
    EXPECT_EQ(combo.SetColour(ColourValue(0xFFFFFFFF)), -1);

    CColourCombo plain;
    plain.Init(ColourValue(), false);
    EXPECT_EQ(plain.SetColour(automatic), 30);  // no Automatic entry: its colour is just a colour
}

TEST_F(ColourComboTest, ChoosingEntriesSetsTheValue)
{
    ScriptedCombo combo;
    combo.SetAutomaticColour(0x0A0B0C);
    combo.Init(ColourValue(0xFFFFFFFE), true);
    int changes = 0;
    QObject::connect(&combo, &CColourCombo::colourChanged, [&](CColourCombo*) { ++changes; });

    // Other... cancelled keeps the reserved value and shows no selection.
    emit combo.activated(combo.OtherIndex());
    EXPECT_EQ(combo.asked, 1);
    EXPECT_EQ(combo.GetColour().m_colour, 0xFFFFFFFEu);
    EXPECT_EQ(combo.currentIndex(), -1);

    emit combo.activated(0);
    EXPECT_TRUE(combo.GetColour().IsAutomatic());
    EXPECT_EQ(combo.GetColour().m_colour, 0x0A0B0Cu);

    emit combo.activated(13);  // Blue, after Automatic
    EXPECT_EQ(combo.GetColour(), ColourValue(0xFF0000));

    combo.answer = true;
    combo.chosen = 0x010203;
    emit combo.activated(combo.OtherIndex());
    EXPECT_EQ(combo.initial, 0xFF0000u);  // the dialog starts from the current colour
    EXPECT_EQ(combo.GetColour(), ColourValue(0x010203));
    EXPECT_EQ(combo.currentIndex(), combo.OtherIndex());
    EXPECT_EQ(changes, 4);
}

TEST_F(ColourComboTest, DataExchangeBothWays)
{
    CColourCombo combo;
    combo.Init(ColourValue(), false);
    COLORREF colour = 0x00FFFF;
    CDataExchange load(nullptr, false);
    DDX_ColourCombo(&load, &combo, colour);
    EXPECT_EQ(combo.currentIndex(), 11);  // Yellow
    combo.SetColour(ColourValue(0x808080));
    CDataExchange save(nullptr, true);
    DDX_ColourCombo(&save, &combo, colour);
    EXPECT_EQ(colour, 0x808080u);
}

}  // namespace

#include "ui/widgets/MappedBitmap.h"

namespace {

TEST(MappedBitmapTest, RecoloursTheClassicGreys)
{
    QImage source(4, 1, QImage::Format_Indexed8);
    source.setColorTable({qRgb(0xC0, 0xC0, 0xC0), qRgb(0xFF, 0xFF, 0xFF), qRgb(0x80, 0x80, 0x80), qRgb(0, 0, 0),
                          qRgb(0x12, 0x34, 0x56)});
    for (int x = 0; x < 4; ++x)
        source.setPixel(x, 0, uint(x));
    const std::vector<ColourMapEntry> map = {{0xC0C0C0, RGB(1, 2, 3)}, {0x000000, RGB(9, 9, 9)}};
    QImage mapped = CreateMappedBitmap(source, map);
    EXPECT_EQ(mapped.pixel(0, 0), qRgb(1, 2, 3));
    EXPECT_EQ(mapped.pixel(1, 0), qRgb(0xFF, 0xFF, 0xFF));  // not in this map
    EXPECT_EQ(mapped.pixel(3, 0), qRgb(9, 9, 9));
    EXPECT_EQ(mapped.colorTable()[4], qRgb(0x12, 0x34, 0x56));

    // The standard map follows the palette; true-colour images map pixels.
    QPalette palette;
    palette.setColor(QPalette::Button, QColor(10, 20, 30));
    QImage rgb(1, 1, QImage::Format_RGB32);
    rgb.setPixel(0, 0, qRgb(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(CreateMappedBitmap(rgb, StandardColourMap(palette)).pixel(0, 0), qRgb(10, 20, 30));
    EXPECT_TRUE(CreateMappedBitmap(QImage()).isNull());
}

}  // namespace
