#include "ui/widgets/FontPage.h"
#include "ui/widgets/ItemComboBox.h"

#include "framework/ProjectItemBase.h"
#include "ui/widgets/FontSizeCombo.h"
#include "ui/widgets/FontStyleCombo.h"

#include <QImage>
#include <QPainter>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cstring>

namespace {

LOGFONT Font(const char* face, LONG weight, BYTE italic, BYTE charSet)
{
    LOGFONT f;
    std::strncpy(f.lfFaceName, face, LF_FACESIZE - 1);
    f.lfWeight = weight;
    f.lfItalic = italic;
    f.lfCharSet = charSet;
    return f;
}

TEST(FontPage, RestoreDefaultsThenSaveAsDefaultsGivesArialTenPointInTheCurrentCharacterSet)
{
    CFontPage page(Font("DejaVu Serif", 700, 1, 161), 360);  // Greek set, 18 pt
    EXPECT_FALSE(page.IsModified());
    page.RestoreButton()->click();
    EXPECT_TRUE(page.IsModified());
    EXPECT_STREQ(page.GetLogFont().lfFaceName, "Arial");
    EXPECT_EQ(page.GetLogFont().lfPitchAndFamily, 0x22);
    EXPECT_EQ(page.GetLogFont().lfCharSet, 161);
    EXPECT_EQ(page.GetLogFont().lfWeight, 0);
    EXPECT_EQ(page.GetLogFont().lfItalic, 0);
    EXPECT_EQ(page.GetHeightTwips(), 200);  // 10 pt is 200 twips
    EXPECT_EQ(page.SizeCombo()->GetSize(), 200);

    CFontPage::ApplicationDefaultFont() = {};
    page.SaveDefaultsButton()->click();
    const DefaultFontSetting& d = CFontPage::ApplicationDefaultFont();
    EXPECT_TRUE(d.set);
    EXPECT_STREQ(d.font.lfFaceName, "Arial");
    EXPECT_EQ(d.font.lfCharSet, 161);
    EXPECT_EQ(d.sizeTenthsPoint, 100);  // twips / 2: 10.0 pt
}

TEST(FontPage, StyleAndSizeChoicesReachTheEditedFont)
{
    CFontPage page(Font("DejaVu Sans", 400, 0, 0), 200);
    CFontStyleCombo* style = page.StyleCombo();
    int boldItalic = -1;
    for (int i = 0; i < style->count(); ++i)
        if (style->GetEntry(i)->weight >= 700 && style->GetEntry(i)->italic)
            boldItalic = i;
    ASSERT_GE(boldItalic, 0);
    style->setCurrentIndex(boldItalic);
    page.OnStyleChanged();
    EXPECT_GE(page.GetLogFont().lfWeight, 700);
    EXPECT_EQ(page.GetLogFont().lfItalic, 1);
    EXPECT_TRUE(page.IsModified());

    page.SizeCombo()->SetSize(240);
    page.OnSizeChanged();
    EXPECT_EQ(page.GetHeightTwips(), 240);
}

class NamedItem : public CProjectItemBase {
public:
    explicit NamedItem(const std::string& name) { SetName(name); }
};

TEST(ItemComboBox, EntriesCarryTheirItemsAndRowsFitTheIcons)
{
    NamedItem a("Data 1"), b("A very long item name that cannot fit in a narrow combo box at all");
    CItemComboBox combo(nullptr, [&](const CProjectItemBase* item) {
        QImage img(16, 16, QImage::Format_RGB32);
        img.fill(item == &a ? Qt::red : Qt::blue);
        return QIcon(QPixmap::fromImage(img));
    });
    EXPECT_EQ(combo.AddItem(&a), 0);
    EXPECT_EQ(combo.AddItem(&b), 1);
    EXPECT_EQ(combo.AddItem(nullptr), -1);
    EXPECT_EQ(combo.GetItem(1), &b);
    EXPECT_EQ(combo.GetItem(2), nullptr);
    EXPECT_TRUE(combo.SelectItem(&b));
    EXPECT_EQ(combo.GetSelectedItem(), &b);
    EXPECT_EQ(combo.itemText(0).toStdString(), "Data 1");
    EXPECT_GE(CItemComboBox::RowHeight(combo.fontMetrics()), 16);

    // A narrow box draws the long name cut at its edge and the item's icon at the left.
    combo.resize(120, 24);
    QImage shot(combo.size(), QImage::Format_RGB32);
    shot.fill(Qt::white);
    combo.render(&shot);
    bool blue = false;
    for (int x = 0; x < 30 && !blue; ++x)
        for (int y = 0; y < shot.height() && !blue; ++y)
            blue = shot.pixelColor(x, y) == QColor(Qt::blue);
    EXPECT_TRUE(blue);
}

} // namespace
