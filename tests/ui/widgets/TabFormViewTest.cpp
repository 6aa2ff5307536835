#include "framework/UpdateNotification.h"
#include "framework/ProjectDocBase.h"
#include "framework/ProjectItemBase.h"
#include "platform/widgets/CommandIds.h"
#include "support/TestSupport.h"
#include "ui/widgets/FontSizeCombo.h"
#include "ui/widgets/FontStyleCombo.h"
#include "ui/widgets/TabFontView.h"
#include "ui/widgets/TabFormView.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr UINT ID_FORM_ONLY = 40001;  // claimed by the form
constexpr UINT ID_PAGE_ONLY = 40002;  // claimed by the page
constexpr UINT ID_BOTH = 40003;       // claimed by both: the form wins

struct HintLog {
    std::vector<std::string> entries;
};

// A page with one edit box that writes down the hints of its own form.
class LogPage : public CTabFormChildView {
public:
    LogPage(std::string name, HintLog* log) : CTabFormChildView(3000), m_name(std::move(name)), m_log(log)
    {
        edit = new QLineEdit(this);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(edit);
    }
    void OnUpdate(CDocView* sender, int hint, CObject* object) override
    {
        if (!IsFromForm(sender))
            return;
        const bool mine = object == static_cast<CObject*>(this);
        // Shown and hidden concern one page; the others let them pass.
        if (!mine && hint != HINT_TAB_STORE)
            return;
        m_log->entries.push_back(m_name + ":" + std::to_string(hint) + (mine ? "" : "(other)"));
    }
    bool OnPageCommand(UINT id, CCmdUI* ui) override
    {
        if (id != ID_PAGE_ONLY && id != ID_BOTH)
            return false;
        if (!ui)
            ++pageRuns;
        return true;
    }
    void OnInitialUpdate() override { ++initialUpdates; }

    QLineEdit* edit;
    int pageRuns = 0;
    int initialUpdates = 0;

private:
    std::string m_name;
    HintLog* m_log;
};

class TestForm : public CTabFormView {
public:
    TestForm(CProjectItemBase* item, HintLog* log, int tabs) : CTabFormView(3510, item)
    {
        for (int i = 0; i < tabs; ++i) {
            const std::string name = "p" + std::to_string(i);
            AddTab([name, log] { return static_cast<CTabFormChildView*>(new LogPage(name, log)); }, 3511 + i,
                   "Tab " + std::to_string(i));
        }
    }
    bool OnFormCommand(UINT id, CCmdUI* ui) override
    {
        if (id != ID_FORM_ONLY && id != ID_BOTH)
            return false;
        if (!ui)
            ++formRuns;
        return true;
    }
    LogPage* Page(int i) const { return static_cast<LogPage*>(GetTabView(i)); }
    int formRuns = 0;
};

struct FormFixture {
    explicit FormFixture(int tabs = 3)
    {
        item = new CProjectItemBase(&doc);
        Open(tabs);
    }
    ~FormFixture() { form.reset(); }
    void Open(int tabs)
    {
        form = std::make_unique<TestForm>(item, &log, tabs);
        form->resize(400, 300);
        form->OnInitialUpdate();
    }
    CProjectDocBase doc;
    CProjectItemBase* item;
    HintLog log;
    std::unique_ptr<TestForm> form;
};

} // namespace

TEST(TabFormView, PagesAreMadeHiddenAndTheRememberedTabShowsOnActivation)
{
    FormFixture f;
    ASSERT_EQ(f.form->GetTabCount(), 3);
    EXPECT_TRUE(f.form->IsInitialised());
    for (int i = 0; i < 3; ++i) {
        ASSERT_NE(f.form->Page(i), nullptr);
        EXPECT_FALSE(f.form->Page(i)->isVisibleTo(f.form.get()));
        EXPECT_EQ(f.form->Page(i)->initialUpdates, 1);
    }
    EXPECT_EQ(f.form->GetCurrentTab(), -1);
    EXPECT_TRUE(f.log.entries.empty());

    f.form->show();
    EXPECT_EQ(f.form->GetCurrentTab(), 0);
    EXPECT_EQ(f.form->GetCurrentView(), f.form->Page(0));
    EXPECT_EQ(f.log.entries, (std::vector<std::string>{"p0:2560"}));

    f.form->SelectTab(2);
    EXPECT_EQ(f.item->m_nSelectedTab, 2);
    EXPECT_EQ(f.form->GetTabCtrl()->GetCurSel(), 2);
    // The page going away hears it first, then the one coming.
    EXPECT_EQ(f.log.entries, (std::vector<std::string>{"p0:2560", "p0:2561", "p2:2560"}));
    EXPECT_TRUE(f.form->Page(2)->isVisible());
    EXPECT_FALSE(f.form->Page(0)->isVisible());

    // A reopened window comes back on the tab it was left on.
    f.Open(3);
    f.form->show();
    EXPECT_EQ(f.form->GetCurrentTab(), 2);
    // Indices out of range are ignored.
    f.form->SelectTab(3);
    f.form->SelectTab(-1);
    EXPECT_EQ(f.form->GetCurrentTab(), 2);
}

TEST(TabFormView, CtrlPageDownAndUpTurnTheTabs)
{
    FormFixture f;
    f.form->show();
    QApplication::setActiveWindow(f.form.get());
    f.form->Page(0)->edit->setFocus();
    QTest::keyClick(f.form->Page(0)->edit, Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(f.form->GetCurrentTab(), 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(f.form->GetCurrentTab(), 2); // round to the last
}

TEST(TabFormView, HintsReachOnlyThePagesOfTheirOwnForm)
{
    FormFixture f;
    HintLog other;
    TestForm second(f.item, &other, 2);
    second.resize(300, 200);
    second.OnInitialUpdate();
    second.show();
    f.form->show();
    other.entries.clear();
    f.log.entries.clear();
    f.form->NotifyItemChanged();
    // Every page of the form hears the store request; the other form's pages do not.
    EXPECT_EQ(f.log.entries, (std::vector<std::string>{"p0:2562", "p1:2562(other)", "p2:2562(other)"}));
    EXPECT_TRUE(other.entries.empty());
}

TEST(TabFormView, RemoveTabKeepsOneTabAndNeverLeavesARemovedPageShowing)
{
    FormFixture f(2);
    f.form->show();
    EXPECT_EQ(f.form->RemoveTab(9999), 0);
    // The page that shows goes: the other one shows instead.
    ASSERT_EQ(f.form->RemoveTab(3511), 1);
    EXPECT_EQ(f.form->GetTabCount(), 1);
    EXPECT_EQ(f.form->GetTabCtrl()->GetItemCount(), 1);
    EXPECT_EQ(f.form->GetCurrentTab(), 0);
    ASSERT_NE(f.form->GetCurrentView(), nullptr);
    EXPECT_EQ(f.form->GetCurrentView(), f.form->GetTabView(0));
    EXPECT_EQ(f.form->GetTabCtrl()->GetItemText(0), "Tab 1");
    // The last tab stays.
    EXPECT_EQ(f.form->RemoveTab(3512), 0);
    EXPECT_EQ(f.form->GetTabCount(), 1);
}

TEST(TabFormView, PagesLieInsideTheTabControlAndAShortFormKeepsItsControl)
{
    FormFixture f;
    f.form->show();
    f.form->resize(500, 320);
    QApplication::processEvents();
    CTabCtrl* tabs = f.form->GetTabCtrl();
    EXPECT_EQ(tabs->geometry(), QRect(4, 4, 492, 312));
    const int header = f.form->GetHeaderHeight();
    EXPECT_GT(header, 0);
    // From (6, header + 7) to (w + 2, h + 2), exclusive, where w x h is the control's size.
    EXPECT_EQ(f.form->Page(0)->geometry(), QRect(QPoint(6, header + 7), QPoint(492 + 2 - 1, 312 + 2 - 1)));

    // Below 24 pixels the control stays 16 pixels high.
    f.form->resize(100, 10);
    QApplication::processEvents();
    EXPECT_EQ(tabs->height(), 16);
    EXPECT_EQ(tabs->width(), 92);
}

TEST(TabFormView, ResizingBeforeTheInitialUpdateMovesNothing)
{
    CProjectDocBase doc;
    auto* item = new CProjectItemBase(&doc);
    HintLog log;
    TestForm form(item, &log, 2);
    const QRect before = form.GetTabCtrl()->geometry();
    form.resize(600, 400);
    EXPECT_EQ(form.GetTabCtrl()->geometry(), before);
    EXPECT_EQ(form.GetTabView(0), nullptr);
}

TEST(TabFormView, CommandsReachTheFormBeforeThePage)
{
    FormFixture f;
    f.form->show();
    CCmdTarget& route = *f.form;
    EXPECT_TRUE(route.OnCmdMsg(ID_BOTH, nullptr));
    EXPECT_EQ(f.form->formRuns, 1);
    EXPECT_EQ(f.form->Page(0)->pageRuns, 0);
    EXPECT_TRUE(route.OnCmdMsg(ID_PAGE_ONLY, nullptr));
    EXPECT_EQ(f.form->Page(0)->pageRuns, 1);
    EXPECT_TRUE(route.OnCmdMsg(ID_FORM_ONLY, nullptr));
    EXPECT_EQ(f.form->formRuns, 2);
    EXPECT_FALSE(route.OnCmdMsg(ID_FILE_NEW, nullptr));
}

TEST(TabFormView, EditCommandsActOnTheFocusedEditBox)
{
    FormFixture f;
    f.form->show();
    QApplication::setActiveWindow(f.form.get());
    LogPage* page = f.form->Page(0);
    auto state = [&](UINT id) {
        CCmdUI ui(id);
        EXPECT_TRUE(f.form->OnCmdMsg(id, &ui));
        return ui;
    };
    // No edit box has the focus: every edit command is offered and greyed,
    // but Undo, which goes on to the frame (the item's own last change).
    f.form->setFocus();
    for (UINT id : {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_CLEAR, ID_EDIT_PASTE})
        EXPECT_FALSE(state(id).m_enabled.value_or(true)) << id;
    CCmdUI passed(ID_EDIT_UNDO);
    EXPECT_FALSE(f.form->OnCmdMsg(ID_EDIT_UNDO, &passed));

    page->edit->setFocus();
    QTest::keyClicks(page->edit, "alpha");
    EXPECT_FALSE(state(ID_EDIT_COPY).m_enabled.value_or(true)); // nothing selected
    const CCmdUI undo = state(ID_EDIT_UNDO);
    EXPECT_TRUE(undo.m_enabled.value_or(false));
    EXPECT_EQ(undo.m_text.value_or(""), "&Undo\tCtrl+Z");
    page->edit->setSelection(0, 2);
    EXPECT_TRUE(state(ID_EDIT_CUT).m_enabled.value_or(false));
    f.form->OnCmdMsg(ID_EDIT_CUT, nullptr);
    EXPECT_EQ(page->edit->text(), "pha");
    EXPECT_EQ(QApplication::clipboard()->text(), "al");
    EXPECT_TRUE(state(ID_EDIT_PASTE).m_enabled.value_or(false));
    page->edit->setCursorPosition(3);
    f.form->OnCmdMsg(ID_EDIT_PASTE, nullptr);
    EXPECT_EQ(page->edit->text(), "phaal");
    f.form->OnCmdMsg(ID_EDIT_UNDO, nullptr);
    EXPECT_EQ(page->edit->text(), "pha");
}

TEST(TabFormView, ATabThatCannotBeMadeIsRefusedWithAMessage)
{
    CProjectDocBase doc;
    auto* item = new CProjectItemBase(&doc);
    RecordingReporter reporter;
    CTabFormView form(3510, item);
    EXPECT_EQ(form.AddTab(CTabFormView::Factory{}, 3511, std::string("None")), 0);
    EXPECT_EQ(form.GetTabCount(), 0);
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0].text, "Error: couldn't create a tab object\n");
}

TEST(TabFormView, AddTabNowMakesThePageAtOnce)
{
    FormFixture f(1);
    f.form->show();
    HintLog* log = &f.log;
    ASSERT_EQ(f.form->AddTabNow([log] { return static_cast<CTabFormChildView*>(new LogPage("late", log)); }, 3600,
                                "Late"),
              1);
    ASSERT_EQ(f.form->GetTabCount(), 2);
    auto* late = static_cast<LogPage*>(f.form->GetTabView(1));
    ASSERT_NE(late, nullptr);
    EXPECT_EQ(late->initialUpdates, 1);
    EXPECT_FALSE(late->isVisible());
    EXPECT_EQ(late->geometry(), f.form->Page(0)->geometry());
}

namespace {

// A font page over two fonts of a test item.
class TwoFontView : public CTabFontView {
public:
    TwoFontView() : CTabFontView(3517, {"First", "Second"}, 1)
    {
        std::strcpy(fonts[0].lfFaceName, "Arial");
        std::strcpy(fonts[1].lfFaceName, "Courier New");
        fonts[0].lfWeight = fonts[1].lfWeight = 400;
    }
    void SelectFontElement(int index) override
    {
        selected.push_back(index);
        SetFontTarget(&fonts[index], &sizes[index]);
        ApplyFont();
    }
    LOGFONT fonts[2]{};
    int sizes[2] = {140, 100};
    std::vector<int> selected;
};

} // namespace

TEST(TabFontView, SizesInTwipsBecomeTenthsOfAPointAndTextThatIsNoSizeIsIgnored)
{
    CProjectDocBase doc;
    auto* item = new CProjectItemBase(&doc);
    TwoFontView* page = nullptr;
    CTabFormView form(3510, item);
    form.AddTab([&page] { return static_cast<CTabFormChildView*>(page = new TwoFontView); }, 3517,
                std::string("Fonts"));
    form.resize(400, 400);
    form.OnInitialUpdate();
    form.show();
    ASSERT_NE(page, nullptr);
    // The initial entry shows first.
    EXPECT_EQ(page->selected, std::vector<int>{1});
    EXPECT_EQ(page->SizeCombo()->GetText(), "10");
    item->ClearModified();

    for (const char* text : {"", "big"}) {
        page->SizeCombo()->setEditText(text);
        page->OnSizeChanged();
        EXPECT_EQ(page->sizes[1], 100) << text;
        EXPECT_FALSE(item->IsModified()) << text;
    }
    page->SizeCombo()->setEditText("12.5"); // 250 twips
    page->OnSizeChanged();
    EXPECT_EQ(page->sizes[1], 125);
    EXPECT_TRUE(item->IsModified());

    // A style writes weight and italic into the record.
    item->ClearModified();
    for (int i = 0; i < page->StyleCombo()->count(); ++i)
        if (const FontStyleEntry* e = page->StyleCombo()->GetEntry(i); e && e->weight == 700 && e->italic)
            page->StyleCombo()->setCurrentIndex(i);
    page->OnStyleChanged();
    EXPECT_EQ(page->fonts[1].lfWeight, 700);
    EXPECT_EQ(page->fonts[1].lfItalic, 1);
    EXPECT_TRUE(item->IsModified());

    // An item-changed notice shows the chosen entry's font again.
    page->SetElement(0);
    CUpdateNotification note;
    note.kind = UN_ITEM_CHANGED;
    doc.UpdateAllViews(nullptr, UPDATE_HINT_NOTIFICATION, &note);
    EXPECT_EQ(page->selected, (std::vector<int>{1, 0, 0}));
    EXPECT_EQ(page->SizeCombo()->GetText(), "14");
}
