#include "app/widgets/MXApp.h"
#include "app/widgets/MXTemplate.h"
#include "app/widgets/MessageBoxReporter.h"
#include "platform/StringTable.h"
#include "framework/Profile.h"

#include <gtest/gtest.h>

TEST(MXApp, ColourTexts)
{
    const struct {
        const char* text;
        std::optional<COLORREF> colour;
    } cases[] = {
        {" 12 34 56", RGB(12, 34, 56)}, // leading blank, then red, green, blue
        {"0 0 0", RGB(0, 0, 0)},
        {"255 255 255", RGB(255, 255, 255)},
        {"300 1 2", std::nullopt}, // out of range
        {"1 2", std::nullopt},     // two numbers only
        {"-1 2 3", std::nullopt},
        {"", std::nullopt},
        {"a 1 2", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CMXApp::ParseColour(c.text), c.colour) << c.text;
    EXPECT_EQ(CMXApp::FormatColour(RGB(12, 34, 56)), "12 34 56");
}

TEST(MXApp, FontTexts)
{
    LOGFONT font;
    font.lfHeight = -13;
    ASSERT_TRUE(CMXApp::ParseFont("700 1 0 0 0 34 Arial", font));
    EXPECT_EQ(font.lfWeight, 700);
    EXPECT_EQ(font.lfItalic, 1);
    EXPECT_EQ(font.lfUnderline, 0);
    EXPECT_EQ(font.lfCharSet, 0);
    EXPECT_EQ(font.lfPitchAndFamily, 34);
    EXPECT_STREQ(font.lfFaceName, "Arial");
    EXPECT_EQ(font.lfHeight, -13); // not stored: kept
    EXPECT_EQ(CMXApp::FormatFont(font), "700 1 0 0 0 34 Arial");

    // Five numbers leave the whole font as it was.
    LOGFONT untouched = font;
    EXPECT_FALSE(CMXApp::ParseFont("400 0 0 0 0 Times New Roman", untouched));
    EXPECT_EQ(untouched, font);

    // Blanks before the face are dropped; blanks inside it stay; a long face is cut to 31 characters.
    ASSERT_TRUE(CMXApp::ParseFont("400 0 1 0 0 18    Times New Roman", font));
    EXPECT_STREQ(font.lfFaceName, "Times New Roman");
    ASSERT_TRUE(CMXApp::ParseFont("400 0 0 0 0 0 ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghij", font));
    EXPECT_EQ(std::string(font.lfFaceName).size(), std::size_t(LF_FACESIZE - 1));
}

TEST(MessageBoxReporter, CaptionCarriesTheHelpNumberWhenAsked)
{
    WriteProfileInt("Preferences", "ShowMessageNo", 0);
    EXPECT_EQ(CMessageBoxReporter::Caption(316), "Marlox");
    WriteProfileInt("Preferences", "ShowMessageNo", 1);
    EXPECT_EQ(CMessageBoxReporter::Caption(316), "Marlox [Help No: 316]");
    EXPECT_EQ(CMessageBoxReporter::Caption(0), "Marlox [Help No: 0]");
    WriteProfileInt("Preferences", "ShowMessageNo", 0);
}

TEST(MessageBoxReporter, BoxesWithoutAnIconGetTheExclamationMark)
{
    EXPECT_EQ(CMessageBoxReporter::EffectiveType(MB_OK), UINT(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(CMessageBoxReporter::EffectiveType(MB_YESNO), UINT(MB_YESNO | MB_ICONEXCLAMATION));
    EXPECT_EQ(CMessageBoxReporter::EffectiveType(MB_YESNOCANCEL), UINT(MB_YESNOCANCEL | MB_ICONEXCLAMATION));
    EXPECT_EQ(CMessageBoxReporter::EffectiveType(MB_OKCANCEL), UINT(MB_OKCANCEL | MB_ICONEXCLAMATION));
    EXPECT_EQ(CMessageBoxReporter::EffectiveType(MB_RETRYCANCEL), UINT(MB_RETRYCANCEL));
    EXPECT_EQ(CMessageBoxReporter::EffectiveType(MB_ABORTRETRYIGNORE), UINT(MB_ABORTRETRYIGNORE));
    EXPECT_EQ(CMessageBoxReporter::EffectiveType(MB_OK | MB_ICONSTOP), UINT(MB_OK | MB_ICONSTOP));
}

TEST(MXTemplate, ClaimsEveryFileAndNamesItsOwnKindsNative)
{
    CMXTemplate tmpl(129, LoadString(129), nullptr, nullptr);
    CProjectDocBase* match = reinterpret_cast<CProjectDocBase*>(1);
    EXPECT_EQ(tmpl.MatchDocType("/data/study.mxf", match), CMXTemplate::yesAttemptNative);
    EXPECT_EQ(match, nullptr);
    EXPECT_EQ(tmpl.MatchDocType("/data/old.MXE", match), CMXTemplate::yesAttemptNative);
    EXPECT_EQ(tmpl.MatchDocType("/data/start.mxt", match), CMXTemplate::yesAttemptNative);
    // Offered as foreign, and then refused by the document's reader.
    EXPECT_EQ(tmpl.MatchDocType("/data/values.txt", match), CMXTemplate::yesAttemptForeign);
    EXPECT_EQ(tmpl.MatchDocType("/data.d/values", match), CMXTemplate::yesAttemptForeign);
    tmpl.LoadTitle(138);
    EXPECT_EQ(tmpl.GetDocString(CProjectTemplateBase::regFileTypeId), "Marlox.Graph.4");
}
