#include "ui/widgets/FontSampleButton.h"

#include "ui/ColourValue.h"
#include "ui/widgets/WidgetTestSupport.h"

#include <QImage>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

TEST(FontSampleButtonTest, SampleLettersFollowTheCharacterSet)
{
    EnsureApplication();
    EXPECT_EQ(CFontSampleButton::SampleText(0), "AaBbYyZz");
    EXPECT_EQ(CFontSampleButton::SampleText(2), "Symbol");
    // Bytes C1 E1 C2 E2 of code page 1253 are Alpha, alpha, Beta, beta.
    EXPECT_EQ(CFontSampleButton::SampleText(161), QString::fromUtf8("AaBbΑαΒβ"));
    // D0 F0 DE FE of 1254: G and S with breve and cedilla.
    EXPECT_EQ(CFontSampleButton::SampleText(162), QString::fromUtf8("AaBbĞğŞş"));
    // F0 F1 F9 FA of 1255: nun, samekh, shin, tav.
    EXPECT_EQ(CFontSampleButton::SampleText(177), QString::fromUtf8("AaBbנסשת"));
    EXPECT_EQ(CFontSampleButton::SampleText(238), QString::fromUtf8("AaBbÁáÔô"));
}

TEST(FontSampleButtonTest, DrawsTheSampleInTheColour)
{
    EnsureApplication();
    LOGFONT lf;
    std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", "DejaVu Sans");
    lf.lfWeight = 700;
    int twips = 480;  // 24 pt
    ColourValue red(0x0000FF);
    CFontSampleButton button;
    button.resize(200, 60);
    QImage before = button.grab().toImage();
    button.SetFont(&lf);
    button.SetHeight(&twips);
    button.SetColour(&red);
    QImage after = button.grab().toImage();
    int redPixels = 0;
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x) {
            QColor c = after.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 80 && c.blue() < 80)
                ++redPixels;
        }
    EXPECT_GT(redPixels, 50);
    EXPECT_NE(before, after);
    // 24 pt at 96 dpi is 32 pixels.
    EXPECT_EQ(CFontSampleButton::FontOf(lf, 480, 96).pixelSize(), 32);
}

}  // namespace
