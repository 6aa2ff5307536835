// The style pages over a selection: merged values shown undetermined, and
// Apply writing back only what is determined or changed.
#include "DrawViewFixture.h"

#include "draw/DrawEllipse.h"
#include "draw/DrawGroup.h"
#include "draw/DrawLine.h"
#include "draw/DrawRect.h"
#include "draw/DrawText.h"
#include "graphui/widgets/DrawStylePages.h"
#include "platform/StringIds.h"
#include "ui/MeasurementUnit.h"
#include "ui/widgets/ColourCombo.h"
#include "framework/widgets/HelpPropertySheet.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>

#include <gtest/gtest.h>

TEST(StylePages, TwoWidthsShowNoWidthAndAnEmptyFieldKeepsEach)
{
    ViewFixture f;
    auto* thin = new CDrawLine({0, 0, 1000, -1000}, &f.page);
    auto* thick = new CDrawLine({0, -200, 1000, -1200}, &f.page);
    thin->SetLineStyle(-1, 10, false);
    thick->SetLineStyle(-1, 20, false);
    f.page.AddObject(thin);
    f.page.AddObject(thick);
    f.view->Select(thin);
    f.view->Select(thick, true);
    CLineStylePage page(f.view.get());
    EXPECT_TRUE(page.WidthEdit()->text().isEmpty());
    page.StyleCombo()->setCurrentIndex(2); // dash
    ASSERT_TRUE(page.OnApply());
    int style = 0, width = 0;
    thin->GetLineStyle(style, width);
    EXPECT_EQ(style, PS_DASH);
    EXPECT_EQ(width, 10);
    thick->GetLineStyle(style, width);
    EXPECT_EQ(width, 20);
    // 1.5 points are 15 page units; out of range is refused.
    page.WidthEdit()->setText("1.5");
    ASSERT_TRUE(page.OnApply());
    thin->GetLineStyle(style, width);
    EXPECT_EQ(width, 15);
    RecordingReporter reporter;
    page.WidthEdit()->setText("80");
    EXPECT_FALSE(page.OnApply());
    EXPECT_EQ(reporter.messages.size(), 1u);
}

TEST(StylePages, AMixedFillShowsThreeStatesAndStaysMixed)
{
    ViewFixture f;
    auto* filled = new CDrawRect({0, 0, 100, -100}, &f.page);
    auto* empty = new CDrawEllipse({200, 0, 300, -100}, &f.page);
    filled->SetFillStyle(1, false);
    filled->SetFillColor(0x0000FF);
    empty->SetFillColor(0xFF0000);
    f.page.AddObject(filled);
    f.page.AddObject(empty);
    f.view->Select(filled);
    f.view->Select(empty, true);
    CFillStylePage page(f.view.get());
    EXPECT_TRUE(page.FillBox()->isTristate());
    EXPECT_EQ(page.FillBox()->checkState(), Qt::PartiallyChecked);
    EXPECT_TRUE(page.ColourCombo()->GetColour().IsSpecial());
    ASSERT_TRUE(page.OnApply());
    EXPECT_EQ(filled->GetFillStyle(), 1);
    EXPECT_EQ(empty->GetFillStyle(), 0);
    EXPECT_EQ(filled->GetFillColor(), 0x0000FFu);
    EXPECT_EQ(empty->GetFillColor(), 0xFF0000u);
}

TEST(StylePages, AFontPageWithOnlyANewColourChangesNothingElse)
{
    ViewFixture f;
    auto* text = new CDrawText({0, 0, 3000, -500}, &f.page);
    f.page.AddObject(text);
    text->ReplaceText(nullptr, "Time", false);
    CHARFORMAT start;
    start.dwMask = CFM_BOLD | CFM_SIZE;
    start.dwEffects = CFE_BOLD;
    start.yHeight = 360;
    text->SetCharFormat(nullptr, start);
    const CHARFORMAT before = *text->GetCharFormat(nullptr);
    f.view->Select(text);
    CDrawFontPage page(f.view.get());
    page.ColourCombo()->SetColour(COLORREF(0x008000));
    emit page.ColourCombo()->colourChanged(page.ColourCombo());
    ASSERT_TRUE(page.OnApply());
    const CHARFORMAT after = *text->GetCharFormat(nullptr);
    EXPECT_EQ(after.crTextColor, 0x008000u);
    EXPECT_EQ(after.yHeight, before.yHeight);
    EXPECT_EQ(after.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE), before.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE));
    EXPECT_STREQ(after.szFaceName, before.szFaceName);
}

TEST(StylePages, SubscriptAndSuperscriptOffsetsInTwips)
{
    ViewFixture f;
    auto* text = new CDrawText({0, 0, 3000, -500}, &f.page);
    f.page.AddObject(text);
    f.view->Select(text);
    {
        CDrawFontPage page(f.view.get());
        page.SubscriptBox()->click();
        page.OffsetEdit()->setValue(3);
        const CHARFORMAT f1 = page.BuildFormat();
        EXPECT_NE(f1.dwMask & CFM_OFFSET, 0u);
        EXPECT_EQ(f1.yOffset, -60);
    }
    {
        CDrawFontPage page(f.view.get());
        page.SuperscriptBox()->click();
        page.OffsetEdit()->setValue(3);
        EXPECT_EQ(page.BuildFormat().yOffset, 60);
    }
}

TEST(StylePages, RotationAbsoluteAndRelativeAndItsStatus)
{
    ViewFixture f;
    auto* a = new CDrawRect({0, 0, 100, -100}, &f.page);
    auto* b = new CDrawRect({200, 0, 300, -100}, &f.page);
    f.page.AddObject(a);
    f.page.AddObject(b);
    a->SetAngle(10);
    f.view->Select(a);
    {
        CRotationPage page(f.view.get());
        EXPECT_EQ(page.StatusText()->text(), "Current rotation is 10.0 degrees");
        page.DegreesEdit()->setText("30");
        page.RelativeButton()->setChecked(true);
        ASSERT_TRUE(page.OnApply());
        EXPECT_EQ(a->GetRotation(), 400);
    }
    f.view->Select(b, true);
    CRotationPage page(f.view.get());
    EXPECT_EQ(page.StatusText()->text(), "Selected items have differing rotations");
    page.DegreesEdit()->setText("-90");
    page.AbsoluteButton()->setChecked(true);
    ASSERT_TRUE(page.OnApply());
    EXPECT_EQ(a->GetRotation(), 2700);
    EXPECT_EQ(b->GetRotation(), 2700);
}

TEST(StylePages, LocationMovesAndSizesTheObject)
{
    ViewFixture f;
    MeasurementUnit::Preference().SetUnit(MeasurementUnit::Inches);
    auto* rect = new CDrawRect({0, 0, 720, -360}, &f.page);
    f.page.AddObject(rect);
    f.view->Select(rect);
    CLocationPage page(f.view.get(), false);
    ASSERT_TRUE(page.Applies());
    page.LeftEdit()->setText("1in");
    page.TopEdit()->setText("0.5in");
    page.WidthEdit()->setText("2in");
    page.HeightEdit()->setText("1in");
    ASSERT_TRUE(page.OnApply());
    // One inch right of the margin corner, half an inch down; 2 by 1 inches.
    EXPECT_EQ(NormalizedRect(rect->GetPosition()), (RECT{720, -360 - 720, 720 + 1440, -360}));
    // Relative to the paper's edge, the margins count too.
    page.RelativeCombo()->setCurrentIndex(1);
    EXPECT_EQ(page.LeftEdit()->text().toStdString(), MeasurementUnit(0, 720).Format(720 + 720));
}

TEST(StylePages, TheSheetHoldsOnlyThePagesThatApply)
{
    ViewFixture f;
    auto* rect = new CDrawRect({0, 0, 100, -100}, &f.page);
    f.page.AddObject(rect);
    f.view->Select(rect);
    std::unique_ptr<CHelpPropertySheet> sheet(BuildDrawStyleSheet(f.view.get(), "Rectangle Properties", 255));
    QStringList titles;
    for (int i = 0; i < sheet->GetPageCount(); ++i)
        titles << sheet->GetPage(i)->windowTitle();
    EXPECT_EQ(titles, (QStringList{"Fill", "Line", "Rotation", "Location"}));
    // Apply writes the changed pages back in one undo step and renames Cancel.
    auto* fill = qobject_cast<CFillStylePage*>(sheet->GetPage(0));
    ASSERT_NE(fill, nullptr);
    fill->FillBox()->setCheckState(Qt::Checked);
    emit sheet->applied();
    EXPECT_EQ(rect->GetFillStyle(), 1);
    EXPECT_TRUE(f.actions.CanUndo());
}

// A page over several objects applies what the user set and leaves each
// object's own value where they differ (the undetermined ones).
TEST(StylePages, ApplyOverASelectionLeavesWhatDiffersUnchanged)
{
    ViewFixture f;
    auto* first = new CDrawLine({0, 0, 1000, -1000}, &f.page);
    auto* second = new CDrawLine({0, -200, 1000, -1200}, &f.page);
    first->SetLineStyle(PS_DASH, 10, false);
    second->SetLineStyle(PS_DOT, 10, false);
    first->SetLineColor(0x0000FF);
    second->SetLineColor(0x00FF00);
    first->SetArrowHeads(1, 2, 0, 0, false);
    second->SetArrowHeads(3, 2, 2, 0, false);
    for (CDrawLine* line : {first, second}) {
        f.page.AddObject(line);
        f.view->Select(line, line == second);
    }
    {
        // Style and colour differ: only the width, which both share, is changed.
        CLineStylePage page(f.view.get());
        EXPECT_EQ(page.StyleCombo()->currentIndex(), -1);
        EXPECT_TRUE(page.ColourCombo()->GetColour().IsSpecial());
        EXPECT_EQ(page.WidthEdit()->text(), "1");
        page.WidthEdit()->setText("2");
        ASSERT_TRUE(page.OnApply());
    }
    int style = 0, width = 0;
    first->GetLineStyle(style, width);
    EXPECT_EQ(style, PS_DASH);
    EXPECT_EQ(width, 20);
    second->GetLineStyle(style, width);
    EXPECT_EQ(style, PS_DOT);
    EXPECT_EQ(width, 20);
    EXPECT_EQ(first->GetLineColor(), 0x0000FFu);
    EXPECT_EQ(second->GetLineColor(), 0x00FF00u);
    {
        // The end shape and size differ; the start shape is shared and changed.
        CArrowStylePage page(f.view.get());
        EXPECT_EQ(page.EndCombo()->currentIndex(), -1);
        EXPECT_EQ(page.SizeCombo()->currentIndex(), -1);
        EXPECT_EQ(page.StartCombo()->currentIndex(), 2);
        page.StartCombo()->setCurrentIndex(4);
        ASSERT_TRUE(page.OnApply());
    }
    struct Heads {
        CDrawLine* line;
        int first, second, size;
    };
    for (const Heads& h : {Heads{first, 1, 4, 0}, Heads{second, 3, 4, 2}}) {
        int a = 0, b = 0, size = 0, narrow = 0;
        h.line->GetArrowHeads(a, b, size, narrow);
        EXPECT_EQ(a, h.first);
        EXPECT_EQ(b, h.second);
        EXPECT_EQ(size, h.size);
    }
}
