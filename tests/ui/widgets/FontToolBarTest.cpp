#include "ui/widgets/MainToolBar.h"

#include "framework/widgets/PrinterWindows.h"
#include "support/TestSupport.h"
#include "ui/widgets/CharFormatView.h"
#include "ui/widgets/FontNameCombo.h"
#include "ui/widgets/FontSizeCombo.h"
#include "ui/widgets/WidgetTestSupport.h"

#include <QAction>
#include <QLineEdit>
#include <QWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// A view that records the formats it is given and answers with its own.
class FakeView : public QWidget, public CCharFormatView {
public:
    bool GetViewCharFormat(CHARFORMAT& format) override
    {
        format = current;
        return true;
    }
    void SetViewCharFormat(const CHARFORMAT& format) override { received.push_back(format); }
    CHARFORMAT current;
    std::vector<CHARFORMAT> received;
};

class FontToolBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        bar.SetActiveViewProvider([this] { return &view; });
        ASSERT_TRUE(bar.Create(nullptr));
    }
    void Type(QComboBox* combo, const char* text)
    {
        combo->lineEdit()->setText(text);
        combo->lineEdit()->setModified(true);
    }
    RecordingReporter reporter;
    FakeView view;
    CMainToolBar bar;
};

TEST_F(FontToolBarTest, TypedSizesGoToTheViewInTwips)
{
    EXPECT_EQ(bar.windowTitle(), "Formatting");
    Type(bar.SizeCombo(), "12.5");
    bar.OnSizeTyped();
    ASSERT_EQ(view.received.size(), 1u);
    EXPECT_EQ(view.received[0].dwMask, DWORD(CFM_SIZE));
    EXPECT_EQ(view.received[0].yHeight, 250);
    EXPECT_TRUE(reporter.messages.empty());

    Type(bar.SizeCombo(), "0.5");
    bar.OnSizeTyped();
    Type(bar.SizeCombo(), "12ab");
    bar.OnSizeTyped();
    EXPECT_EQ(reporter.Ids(), (std::vector<UINT>{26004, 26003}));
    EXPECT_EQ(reporter.messages[0].type & MB_ICONMASK, UINT(MB_ICONINFORMATION));
    EXPECT_EQ(view.received.size(), 1u);                 // refused sizes are not sent
    EXPECT_EQ(bar.SizeCombo()->currentText(), "12.5");   // the last valid size is shown again

    Type(bar.SizeCombo(), "");
    bar.OnSizeTyped();
    EXPECT_EQ(view.received.size(), 1u);  // empty: nothing
    EXPECT_EQ(reporter.messages.size(), 2u);
}

TEST_F(FontToolBarTest, FacesGoToTheViewAndTheViewSyncsBack)
{
    Type(bar.NameCombo(), "Some Face That Is Not Installed");
    bar.OnFaceTyped();
    ASSERT_EQ(view.received.size(), 1u);
    EXPECT_EQ(view.received[0].dwMask, DWORD(CFM_FACE | CFM_CHARSET));
    EXPECT_STREQ(view.received[0].szFaceName, "Some Face That Is Not Installed");
    EXPECT_EQ(view.received[0].bCharSet, kDefaultCharSet);

    int index = bar.NameCombo()->findText("DejaVu Sans (Western)");
    if (index >= 0) {
        bar.NameCombo()->setCurrentIndex(index);
        bar.OnFaceChosen(index);
        ASSERT_EQ(view.received.size(), 2u);
        EXPECT_STREQ(view.received[1].szFaceName, "DejaVu Sans");
        EXPECT_EQ(view.received[1].bCharSet, 0);
        EXPECT_EQ(bar.SizeCombo()->count(), 18);  // the face's sizes were listed
    }

    view.current.dwMask = CFM_FACE | CFM_CHARSET | CFM_SIZE;
    std::strcpy(view.current.szFaceName, "Another Missing Face");
    view.current.bCharSet = 0;
    view.current.yHeight = 480;
    bar.SyncToView();
    EXPECT_EQ(bar.NameCombo()->currentText(), "Another Missing Face");
    EXPECT_EQ(bar.SizeCombo()->currentText(), "24");
    EXPECT_EQ(bar.LastValidSize(), 480);
}

TEST_F(FontToolBarTest, EffectButtonsToggleTheSelection)
{
    view.current.dwMask = CFM_BOLD | CFM_ITALIC;  // wholly bold, wholly upright; underline mixed
    view.current.dwEffects = CFE_BOLD;
    bar.SyncToView();
    EXPECT_TRUE(bar.EffectAction(CFE_BOLD)->isChecked());
    EXPECT_FALSE(bar.EffectAction(CFE_ITALIC)->isChecked());
    EXPECT_FALSE(bar.EffectAction(CFE_UNDERLINE)->isChecked());

    bar.OnEffect(CFE_BOLD);       // bold throughout: becomes plain
    bar.OnEffect(CFE_UNDERLINE);  // mixed: becomes underlined throughout
    ASSERT_EQ(view.received.size(), 2u);
    EXPECT_EQ(view.received[0].dwMask, DWORD(CFM_BOLD));
    EXPECT_EQ(view.received[0].dwEffects, 0u);
    EXPECT_EQ(view.received[1].dwMask, DWORD(CFM_UNDERLINE));
    EXPECT_EQ(view.received[1].dwEffects, DWORD(CFE_UNDERLINE));
}

TEST_F(FontToolBarTest, MainToolBarsAreListedWhileAlive)
{
    EXPECT_EQ(CMainToolBar::ToolBars().size(), 1u);
    {
        CMainToolBar second;
        EXPECT_EQ(CMainToolBar::ToolBars().size(), 2u);
        CMainToolBar::PrinterChanged();  // a bar without boxes yet is skipped
    }
    EXPECT_EQ(CMainToolBar::ToolBars().size(), 1u);
    bar.NameCombo()->clear();
    bar.NameCombo()->setEditText("kept");
    // The bar is one of the printer windows: the printer notice refills its faces.
    const std::vector<QWidget*> listed = CPrinterWindows::Windows();
    EXPECT_NE(std::find(listed.begin(), listed.end(), &bar), listed.end());
    CPrinterWindows::NotifyPrinterChanged();
    EXPECT_GT(bar.NameCombo()->count(), 0);
    EXPECT_EQ(bar.NameCombo()->currentText(), "kept");  // refilling keeps the typed text
}

}  // namespace
