#include "ui/widgets/FontNameCombo.h"
#include "ui/widgets/FontSizeCombo.h"
#include "ui/widgets/FontStyleCombo.h"
#include "ui/widgets/NumberCombo.h"

#include "ui/widgets/WidgetTestSupport.h"

#include <QFontDatabase>
#include <gtest/gtest.h>

namespace {

class FontCombosTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureApplication(); }
};

QStringList Items(const QComboBox& combo)
{
    QStringList items;
    for (int i = 0; i < combo.count(); ++i)
        items << combo.itemText(i);
    return items;
}

TEST_F(FontCombosTest, FamiliesInSeveralCharacterSetsCarryTheirScript)
{
    const QString family = QStringLiteral("DejaVu Sans");
    if (!QFontDatabase::families().contains(family))
        GTEST_SKIP() << "DejaVu Sans is not installed";
    ASSERT_TRUE(QFontDatabase::writingSystems(family).contains(QFontDatabase::Greek));

    CFontNameCombo combo;
    combo.Fill(kDefaultCharSet);
    QStringList items = Items(combo);
    EXPECT_TRUE(items.contains("DejaVu Sans (Western)"));
    EXPECT_TRUE(items.contains("DejaVu Sans (Greek)"));
    EXPECT_TRUE(items.contains("DejaVu Sans (Cyrillic)"));
    EXPECT_FALSE(items.contains("DejaVu Sans"));
    // Sorted without regard to case.
    for (int i = 1; i < items.size(); ++i)
        EXPECT_LE(QString::compare(items[i - 1], items[i], Qt::CaseInsensitive), 0);

    // One character set: every face once, with its plain name.
    combo.Fill(161);
    items = Items(combo);
    EXPECT_EQ(items.count("DejaVu Sans"), 1);
    for (int i = 0; i < combo.count(); ++i)
        EXPECT_EQ(combo.GetDescription(i)->charSet, 161);
}

TEST_F(FontCombosTest, SelectingAFontByFaceAndCharacterSet)
{
    const QString family = QStringLiteral("DejaVu Sans");
    if (!QFontDatabase::families().contains(family))
        GTEST_SKIP() << "DejaVu Sans is not installed";
    CFontNameCombo combo;
    combo.Fill(kDefaultCharSet);
    EXPECT_EQ(combo.GetCharSet(), kDefaultCharSet);  // nothing selected

    combo.SelectFont("DejaVu Sans", 161);
    EXPECT_EQ(combo.currentText(), "DejaVu Sans (Greek)");
    EXPECT_EQ(combo.GetCharSet(), 161);
    ASSERT_NE(combo.GetSelectedDescription(), nullptr);
    EXPECT_EQ(combo.GetSelectedDescription()->fontType & kTrueTypeFontType, DWORD(kTrueTypeFontType));

    // Any set: the first entry of the face ("DejaVu Sans Mono" begins alike but is another face).
    combo.SelectFont("DejaVu Sans", kDefaultCharSet);
    EXPECT_EQ(combo.GetSelectedDescription()->faceName, "DejaVu Sans");

    combo.SelectFont("No Such Face", 0);
    EXPECT_EQ(combo.currentIndex(), -1);
    EXPECT_EQ(combo.currentText(), "No Such Face");
}

TEST_F(FontCombosTest, SizeTextsAndEntries)
{
    struct Case {
        const char* text;
        int twips;
        UINT message;
    };
    // Twips are 1/20 point: 12.5 pt = 250.
    const Case cases[] = {
        {"12.5", 250, 0},   {"12", 240, 0},     {" \t12 \t", 240, 0}, {"0.5", 10, 26004},
        {"12ab", -2, 26003}, {"", -1, 0},        {"  ", -1, 0},        {"-3", 0, 26004},
        {"1", 20, 0},        {"1638", 32760, 0}, {"1638.05", 32761, 26004}, {"0.99", 19, 26004},
        {"1e3", -2, 26003},  {"abc", -2, 26003}, {"99999999999", 2147483647, 26004},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CFontSizeCombo::ParseSize(c.text), c.twips) << c.text;
        EXPECT_EQ(CFontSizeCombo::CheckSize(CFontSizeCombo::ParseSize(c.text)), c.message) << c.text;
    }
    EXPECT_EQ(CFontSizeCombo::FormatTwips(250), "12.5");
    EXPECT_EQ(CFontSizeCombo::FormatTwips(240), "12");
    EXPECT_EQ(CFontSizeCombo::FormatTwips(244), "12");    // (244+5)/10 = 24 half-points
    EXPECT_EQ(CFontSizeCombo::FormatTwips(245), "12.5");  // (245+5)/10 = 25 half-points
    EXPECT_EQ(CFontSizeCombo::FormatTwips(10), "0.5");
}

TEST_F(FontCombosTest, ScalableFaceListsTheStandardSizes)
{
    CFontSizeCombo combo;
    combo.SetSize(250);
    combo.Fill("DejaVu Sans");
    const QStringList expected = {"6",  "7",  "8",  "9",  "10", "11", "12", "14", "16",
                                  "18", "20", "22", "24", "26", "28", "36", "48", "72"};
    EXPECT_EQ(Items(combo), expected);
    EXPECT_EQ(combo.currentText(), "12.5");  // the typed size stays
    EXPECT_EQ(combo.GetSize(), 250);

    combo.SetSize(480);
    EXPECT_EQ(combo.currentIndex(), expected.indexOf("24"));
    combo.Fill("");
    EXPECT_EQ(combo.count(), 0);
}

TEST_F(FontCombosTest, StylesInWeightOrder)
{
    CFontStyleCombo combo;
    combo.Fill("DejaVu Sans", 0);
    EXPECT_EQ(Items(combo), (QStringList{"Regular", "Italic", "Bold", "Bold Italic"}));
    LOGFONT lf;
    lf.lfWeight = 700;
    lf.lfItalic = 1;
    const FontStyleEntry* e = combo.SelectStyle(lf);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->name, "Bold Italic");
    lf.lfWeight = 401;  // above 400 counts as bold
    lf.lfItalic = 0;
    EXPECT_EQ(combo.SelectStyle(lf)->name, "Bold");
    lf.lfWeight = 0;  // "don't care" is regular
    EXPECT_EQ(combo.SelectStyle(lf)->name, "Regular");
}

TEST_F(FontCombosTest, PercentTexts)
{
    struct Case {
        const char* text;
        int value;
    };
    const Case cases[] = {{"80 %", 80}, {"80%", 80}, {" 150", 150}, {"80a", 100},
                          {"", -1},     {"x", 100},  {"80 % ", 80}, {"80%%", 100}};
    for (const Case& c : cases)
        EXPECT_EQ(CNumberCombo::ParsePercent(c.text), c.value) << c.text;
    EXPECT_EQ(CNumberCombo::BoundPercent(1000), 600);
    EXPECT_EQ(CNumberCombo::BoundPercent(2), 5);
    EXPECT_EQ(CNumberCombo::BoundPercent(-1), 5);
    EXPECT_EQ(CNumberCombo::BoundPercent(599), 599);

    CNumberCombo combo;
    combo.addItems({"50%", "100%", "200%"});
    combo.SetPercent(200);
    EXPECT_EQ(combo.currentIndex(), 2);
    combo.SetPercent(75);
    EXPECT_EQ(combo.currentText(), "75%");
    EXPECT_EQ(combo.GetPercent(), 75);
}

}  // namespace
