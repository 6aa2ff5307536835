#include "framework/ActionList.h"

#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

// What happened to the fake actions, shared by all of them in one test.
struct Journal {
    std::vector<std::string> calls;   // "Do A", "Undo B", ...
    std::vector<std::string> deleted; // descriptions, in order of deletion
};

class FakeAction : public CAction {
public:
    FakeAction(Journal& journal, std::string name)
        : CAction(name), m_journal(journal)
    {
    }
    ~FakeAction() override { m_journal.deleted.push_back(GetDescription()); }

    int Do() override { return Record("Do", doResult); }
    int Redo() override { return Record("Redo", redoResult); }
    int Undo() override { return Record("Undo", undoResult); }
    int CanUndo() override { return canUndo; }
    int CanRedo() override { return canRedo; }

    int doResult = 1;
    int redoResult = 1;
    int undoResult = 1;
    int canUndo = 1;
    int canRedo = 1;

private:
    int Record(const char* what, int result)
    {
        m_journal.calls.push_back(std::string(what) + " " + GetDescription());
        return result;
    }
    Journal& m_journal;
};

class ActionListTest : public ::testing::Test {
protected:
    FakeAction* Make(const std::string& name) { return new FakeAction(journal, name); }
    // Adds a fresh action that succeeds and returns it (still owned by the list).
    FakeAction* AddOk(const std::string& name)
    {
        FakeAction* a = Make(name);
        EXPECT_EQ(list.Add(a), 1);
        return a;
    }
    std::vector<std::string> ListNames() const
    {
        std::vector<std::string> names;
        for (int i = 0; i < list.GetCount(); ++i)
            names.push_back(list.GetAction(i)->GetDescription());
        return names;
    }
    std::string CurrentName() const
    {
        return list.GetCurrent() ? list.GetCurrent()->GetDescription() : "<none>";
    }

    Journal journal; // declared first, so that it outlives the list's actions
    CActionList list;
};

TEST_F(ActionListTest, AddRunsTheActionAndMakesItCurrent)
{
    AddOk("A");
    EXPECT_EQ(journal.calls, Names{"Do A"});
    EXPECT_EQ(CurrentName(), "A");
    EXPECT_EQ(list.CanUndo(), 1);
    EXPECT_EQ(list.CanRedo(), 0);
    EXPECT_EQ(list.GetUndoText(), "&Undo A\tCtrl+Z");
    EXPECT_EQ(list.GetRedoText(), "&Redo \tCtrl+Y");
}

TEST_F(ActionListTest, ElevenAddsKeepTheNewestTenAndDeleteTheFirst)
{
    for (int i = 1; i <= 11; ++i)
        AddOk("A" + std::to_string(i));
    EXPECT_EQ(list.GetDepth(), 10);
    ASSERT_EQ(list.GetCount(), 10);
    EXPECT_EQ(journal.deleted, Names{"A1"});
    EXPECT_EQ(list.GetAction(0)->GetDescription(), "A2");
    EXPECT_EQ(CurrentName(), "A11");

    // All ten can still be undone, and no further.
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(list.Undo(), 1) << i;
    EXPECT_EQ(list.Undo(), 0);
    EXPECT_EQ(list.GetRedoText(), "&Redo A2\tCtrl+Y");
}

TEST_F(ActionListTest, AddAfterUndoDropsTheRedoTail)
{
    AddOk("A");
    AddOk("B");
    ASSERT_EQ(list.Undo(), 1);
    AddOk("C");
    EXPECT_EQ(journal.deleted, Names{"B"});
    EXPECT_EQ(ListNames(), (Names{"A", "C"}));
    EXPECT_EQ(CurrentName(), "C");
    EXPECT_EQ(list.CanRedo(), 0);
}

TEST_F(ActionListTest, AddAfterUndoingEverythingReplacesTheWholeList)
{
    AddOk("A");
    AddOk("B");
    ASSERT_EQ(list.Undo(), 1);
    ASSERT_EQ(list.Undo(), 1);
    AddOk("C");
    EXPECT_THAT(journal.deleted, ::testing::UnorderedElementsAre("A", "B"));
    EXPECT_EQ(ListNames(), Names{"C"});
}

TEST_F(ActionListTest, UndoingEverythingLeavesNoCurrentAndRedoNamesTheOldest)
{
    AddOk("A");
    AddOk("B");
    EXPECT_EQ(list.Undo(), 1);
    EXPECT_EQ(list.Undo(), 1);
    EXPECT_EQ(list.GetCurrent(), nullptr);
    EXPECT_EQ(list.GetUndoText(), "&Undo \tCtrl+Z");
    EXPECT_EQ(list.CanUndo(), 0);
    EXPECT_EQ(list.Undo(), 0);
    EXPECT_EQ(list.GetRedoText(), "&Redo A\tCtrl+Y");
    EXPECT_EQ(list.CanRedo(), 1);
    EXPECT_EQ(journal.calls, (Names{"Do A", "Do B", "Undo B", "Undo A"}));

    // Redo walks forward again from the oldest.
    EXPECT_EQ(list.Redo(), 1);
    EXPECT_EQ(CurrentName(), "A");
    EXPECT_EQ(list.Redo(), 1);
    EXPECT_EQ(CurrentName(), "B");
    EXPECT_EQ(list.Redo(), 0);
    EXPECT_EQ(journal.calls.back(), "Redo B");
    EXPECT_TRUE(journal.deleted.empty());
}

TEST_F(ActionListTest, UndoOfAnActionThatCannotBeRedoneDropsItAndTheTail)
{
    AddOk("A");
    FakeAction* b = AddOk("B");
    AddOk("C");
    ASSERT_EQ(list.Undo(), 1); // C undone and redoable: it stays as the redo tail
    EXPECT_EQ(list.GetCount(), 3);
    b->canRedo = 0;
    ASSERT_EQ(list.Undo(), 1);
    EXPECT_EQ(journal.calls.back(), "Undo B");
    EXPECT_THAT(journal.deleted, ::testing::UnorderedElementsAre("B", "C"));
    EXPECT_EQ(ListNames(), Names{"A"});
    EXPECT_EQ(CurrentName(), "A");
    EXPECT_EQ(list.CanRedo(), 0);
    EXPECT_EQ(list.GetRedoText(), "&Redo \tCtrl+Y");
}

TEST_F(ActionListTest, FailingDoDeletesTheActionAndLeavesTheRedoTail)
{
    AddOk("A");
    AddOk("B");
    ASSERT_EQ(list.Undo(), 1);
    FakeAction* bad = Make("X");
    bad->doResult = 0;
    EXPECT_EQ(list.Add(bad), 0);
    EXPECT_EQ(journal.deleted, Names{"X"});
    EXPECT_EQ(ListNames(), (Names{"A", "B"}));
    EXPECT_EQ(CurrentName(), "A");
    EXPECT_EQ(list.GetRedoText(), "&Redo B\tCtrl+Y");
}

TEST_F(ActionListTest, NullActionIsAFailure)
{
    AddOk("A");
    EXPECT_EQ(list.Add(static_cast<CAction*>(nullptr)), 0);
    EXPECT_EQ(list.Add(std::unique_ptr<CAction>()), 0);
    EXPECT_EQ(ListNames(), Names{"A"});
    EXPECT_EQ(CurrentName(), "A");
}

TEST_F(ActionListTest, FailingUndoChangesNothing)
{
    AddOk("A");
    FakeAction* b = AddOk("B");
    b->undoResult = 0;
    EXPECT_EQ(list.Undo(), 0);
    EXPECT_EQ(CurrentName(), "B");
    EXPECT_EQ(ListNames(), (Names{"A", "B"}));
    EXPECT_EQ(list.CanRedo(), 0);
}

TEST_F(ActionListTest, FailingRedoLeavesTheCurrentActionUnchanged)
{
    AddOk("A");
    FakeAction* b = AddOk("B");
    ASSERT_EQ(list.Undo(), 1);
    b->redoResult = 0;
    EXPECT_EQ(list.Redo(), 0);
    EXPECT_EQ(CurrentName(), "A");
    // The next Undo reverses A, not the B that was never redone.
    EXPECT_EQ(list.Undo(), 1);
    EXPECT_EQ(journal.calls.back(), "Undo A");
    // B can be tried again once it succeeds.
    b->redoResult = 1;
    EXPECT_EQ(list.Redo(), 1);
    EXPECT_EQ(list.Redo(), 1);
    EXPECT_EQ(CurrentName(), "B");
}

TEST_F(ActionListTest, RedoReturnsTheActionsOwnResult)
{
    FakeAction* a = AddOk("A");
    ASSERT_EQ(list.Undo(), 1);
    a->redoResult = 7;
    EXPECT_EQ(list.Redo(), 7);
    EXPECT_EQ(list.Redo(), 0); // nothing left to redo
}

TEST_F(ActionListTest, CanUndoAndCanRedoAskTheActions)
{
    FakeAction* a = AddOk("A");
    a->canUndo = 0;
    EXPECT_EQ(list.CanUndo(), 0);
    a->canUndo = 1;
    ASSERT_EQ(list.Undo(), 1);
    EXPECT_EQ(list.CanUndo(), 0);
    EXPECT_EQ(list.CanRedo(), 1);
}

TEST_F(ActionListTest, RemoveAllAndDestructionDeleteEveryAction)
{
    AddOk("A");
    AddOk("B");
    list.RemoveAll();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetCurrent(), nullptr);
    EXPECT_EQ(list.Undo(), 0);
    EXPECT_EQ(list.Redo(), 0);
    EXPECT_EQ(journal.deleted, (Names{"B", "A"}));

    Journal other;
    {
        CActionList scoped;
        scoped.Add(new FakeAction(other, "P"));
        scoped.Add(new FakeAction(other, "Q"));
        scoped.Undo();
    }
    EXPECT_EQ(other.deleted.size(), 2u);
}

TEST(Action, DescriptionFromStringTableOrText)
{
    struct Plain : CAction {
        using CAction::CAction;
        int Do() override { return 1; }
        int Redo() override { return 1; }
        int Undo() override { return 1; }
        int CanUndo() override { return 1; }
        int CanRedo() override { return 1; }
    };
    EXPECT_EQ(Plain(25170u).GetDescription(), "&Undo %1\tCtrl+Z");
    EXPECT_EQ(Plain(std::string("Add Data Table")).GetDescription(), "Add Data Table");
    EXPECT_TRUE(Plain(std::string("x")).IsKindOf(RUNTIME_CLASS(CAction)));
}

TEST(Action, SerializeStoresTheDescriptionAsAFrameworkString)
{
    struct Plain : CAction {
        using CAction::CAction;
        int Do() override { return 1; }
        int Redo() override { return 1; }
        int Undo() override { return 1; }
        int CanUndo() override { return 1; }
        int CanRedo() override { return 1; }
    };
    Plain stored(std::string("Caf\xC3\xA9"));
    Bytes bytes = StoreBytes([&](CArchive& ar) { stored.Serialize(ar); });
    // Length byte 4, then the Windows-1252 bytes: 'C' 'a' 'f' and e-acute 0xE9.
    EXPECT_EQ(ToHex(bytes), ToHex(HexBytes("04 43 61 66 E9")));

    Plain loaded(std::string("old"));
    EXPECT_EQ(LoadBytes(bytes, [&](CArchive& ar) { loaded.Serialize(ar); }), 0u);
    EXPECT_EQ(loaded.GetDescription(), "Caf\xC3\xA9");
}

} // namespace
