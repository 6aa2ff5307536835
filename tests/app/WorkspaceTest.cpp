#include "app/MXDoc.h"
#include "app/MXItemAdd.h"
#include "app/MXNotes.h"
#include "app/ProjectAction.h"
#include "framework/UpdateNotification.h"
#include "framework/ItemListCtrl.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/CompoundFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

// An item that records the notices it is given.
class CListeningItem : public CMXProjectItem {
    DECLARE_SERIAL(CListeningItem)
public:
    CListeningItem() = default;
    explicit CListeningItem(CProjectDocBase* doc) : CMXProjectItem(doc) {}
    void OnItemNotify(CUpdateNotification& note) override { kinds.push_back(note.kind); }
    std::vector<int> kinds;
};
IMPLEMENT_SERIAL(CListeningItem, CMXProjectItem, VERSIONABLE_SCHEMA | 0)

void SetText(CRichData& data, const std::string& text)
{
    CRtfDocument doc;
    CHARFORMAT format = CRichData::DefaultCharFormat();
    std::size_t start = 0;
    for (;;) {
        std::size_t end = text.find('\n', start);
        doc.AppendText(text.substr(start, end - start), format);
        if (end == std::string::npos) {
            doc.EndDocument(CRtfDocument::PlainParaFormat(), format);
            break;
        }
        doc.EndParagraph(CRtfDocument::PlainParaFormat(), format);
        start = end + 1;
    }
    data.SetDocument(doc);
}

std::string TempPath(const std::string& name)
{
    auto dir = std::filesystem::temp_directory_path() / ("marlox-app-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

CMXNotes* AddNotes(CMXDoc& doc)
{
    auto action = std::make_unique<CMXItemAddNotepad>(&doc);
    CMXItemAddNotepad* raw = action.get();
    EXPECT_EQ(doc.GetActionList().Add(std::move(action)), 1);
    return static_cast<CMXNotes*>(raw->GetAddedItem());
}

std::vector<std::string> Labels(CMXDoc& doc)
{
    std::vector<std::string> out;
    CItemListCtrl* list = doc.GetItemListCtrl();
    for (int i = 0; i < list->GetItemCount(); ++i)
        out.push_back(list->GetItemText(i, 0));
    return out;
}

void SelectRows(CMXDoc& doc, std::initializer_list<int> rows)
{
    CItemListCtrl* list = doc.GetItemListCtrl();
    list->ClearSelection();
    for (int r : rows)
        list->SetItemState(r, LVIS_SELECTED, LVIS_SELECTED);
}

} // namespace

TEST(MXDoc, EmptyWorkspaceMainStreamIs27Bytes)
{
    CMXDoc doc;
    Bytes bytes = StoreBytes([&](CArchive& ar) { doc.Serialize(ar); });
    EXPECT_EQ(ToHex(bytes), "4D 58 34 56 5A 4B 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00");
}

TEST(MXDoc, UnknownAndShortFilesAreRefused)
{
    for (const char* hex : {"45 47 52 56 5A 4B 00 00 00 00", "4D 58 34 56 5A"}) {
        RecordingReporter reporter;
        CMXDoc doc;
        EXPECT_THROW(LoadBytes(HexBytes(hex), [&](CArchive& ar) { doc.Serialize(ar); }), CArchiveException);
        EXPECT_EQ(reporter.Ids(), std::vector<UINT>{1208});
    }
}

TEST(MXDoc, FindItemAndNotifications)
{
    CMXDoc doc;
    auto* a = new CListeningItem(&doc);
    a->SetName("Data 1");
    auto* b = new CListeningItem(&doc);
    b->SetName("DATA 1", 0);
    EXPECT_EQ(doc.FindItem("data 1"), a); // the earlier row wins
    EXPECT_EQ(doc.FindItem("nothing"), nullptr);

    a->kinds.clear();
    b->kinds.clear();
    CUpdateNotification note;
    note.kind = UN_CALC_STATE;
    note.item = a;
    doc.NotifyItems(note, false);
    EXPECT_TRUE(a->kinds.empty());
    EXPECT_EQ(b->kinds, std::vector<int>{UN_CALC_STATE});
    doc.NotifyItems(note, true);
    EXPECT_EQ(a->kinds, std::vector<int>{UN_CALC_STATE});

    // A rename reaches every item, the renamed one included; an unchanged name sends nothing.
    a->kinds.clear();
    b->kinds.clear();
    a->SetName("Data 1");
    a->SetName("Renamed");
    EXPECT_EQ(a->kinds, std::vector<int>{UN_ITEM_RENAMED});
    EXPECT_EQ(b->kinds, std::vector<int>{UN_ITEM_RENAMED});

    // A successful save tells every item once.
    a->kinds.clear();
    b->kinds.clear();
    ASSERT_TRUE(doc.OnSaveDocument(TempPath("notify.mxf")));
    EXPECT_EQ(a->kinds, std::vector<int>{UN_WORKSPACE_SAVED});
    EXPECT_EQ(b->kinds, std::vector<int>{UN_WORKSPACE_SAVED});
}

TEST(WorkspaceActions, AddUndoRedo)
{
    CMXDoc doc;
    CMXNotes* notes = AddNotes(doc);
    ASSERT_NE(notes, nullptr);
    EXPECT_EQ(notes->GetName(), "Notes");
    EXPECT_EQ(AddNotes(doc)->GetName(), "Notes #2");
    EXPECT_EQ(doc.GetActionList().GetUndoText(), "&Undo Add Notepad\tCtrl+Z");
    EXPECT_EQ(doc.GetActionList().Undo(), 1);
    EXPECT_EQ(Labels(doc), std::vector<std::string>{"Notes"});
    EXPECT_EQ(doc.GetActionList().Redo(), 1);
    EXPECT_EQ(Labels(doc), (std::vector<std::string>{"Notes", "Notes #2"}));
}

TEST(WorkspaceActions, UndoOfAnAddIsRefusedAfterTheItemChanged)
{
    SYSTEMTIME t{2026, 12, 4, 10, 9, 0, 0, 0};
    SetClockForTesting([&] { return t; });
    CMXDoc doc;
    CMXNotes* notes = AddNotes(doc);
    EXPECT_EQ(doc.GetActionList().CanUndo(), 1);
    t.wSecond = 30;
    notes->SetModified(true);
    EXPECT_EQ(doc.GetActionList().CanUndo(), 0);
    SetClockForTesting({});
}

TEST(WorkspaceActions, RenameAndUndoRestoreListState)
{
    CMXDoc doc;
    CMXNotes* notes = AddNotes(doc);
    AddNotes(doc);
    CItemListCtrl* list = doc.GetItemListCtrl();
    list->SetItemPosition(0, 10, 20);
    SelectRows(doc, {1});
    ASSERT_EQ(doc.GetActionList().Add(new CProjectItemRename(&doc, notes, "Results")), 1);
    EXPECT_EQ(Labels(doc), (std::vector<std::string>{"Results", "Notes #2"}));
    list->SetItemPosition(0, 99, 99);
    SelectRows(doc, {0});
    ASSERT_EQ(doc.GetActionList().Undo(), 1);
    EXPECT_EQ(notes->GetName(), "Notes");
    EXPECT_EQ(list->GetItemPosition(0), (POINT{10, 20}));
    EXPECT_EQ(list->GetSelected(0), 1);
    ASSERT_EQ(doc.GetActionList().Redo(), 1);
    EXPECT_EQ(notes->GetName(), "Results");
}

TEST(WorkspaceActions, DeleteAndUndoBringItemsBack)
{
    CMXDoc doc;
    CMXNotes* first = AddNotes(doc);
    AddNotes(doc);
    AddNotes(doc);
    SetText(first->GetRichData(), "first text");
    CItemListCtrl* list = doc.GetItemListCtrl();
    list->SetItemPosition(0, 5, 6);
    list->SetItemPosition(2, 70, 80);
    SelectRows(doc, {0, 2});
    ASSERT_EQ(doc.GetActionList().Add(new CProjectItemDeleteItem(&doc)), 1);
    EXPECT_EQ(Labels(doc), std::vector<std::string>{"Notes #2"});
    ASSERT_EQ(doc.GetActionList().Undo(), 1);
    ASSERT_EQ(list->GetItemCount(), 3);
    int row = list->FindItemByName("Notes");
    ASSERT_GE(row, 0);
    EXPECT_EQ(list->GetItemPosition(row), (POINT{5, 6}));
    EXPECT_TRUE(list->GetItemState(row, LVIS_SELECTED));
    EXPECT_EQ(static_cast<CMXNotes*>(list->GetItem(row))->GetRichData().GetPlainText(), "first text");
    EXPECT_EQ(list->GetItemPosition(list->FindItemByName("Notes #3")), (POINT{70, 80}));
}

TEST(WorkspaceActions, CutPasteAndCopyNames)
{
    CMXDoc doc;
    AddNotes(doc);
    AddNotes(doc);
    AddNotes(doc);
    SelectRows(doc, {0, 1, 2});
    doc.GetItemListCtrl()->SetItemState(1, LVIS_FOCUSED, LVIS_FOCUSED);
    ASSERT_TRUE(CopySelectedItems(&doc));
    // Three items, three positions and the focused index 1.
    std::vector<BYTE> data = GetClipboard().GetData(kWorkspaceDataFormat);
    ASSERT_FALSE(data.empty());
    EXPECT_EQ(ToHex(Bytes(data.end() - 4, data.end())), "01 00 00 00");

    ASSERT_EQ(doc.GetActionList().Add(new CProjectItemPaste(&doc, data)), 1);
    EXPECT_EQ(Labels(doc), (std::vector<std::string>{"Notes", "Notes #2", "Notes #3", "Copy of Notes",
                                                     "Copy of Notes #2", "Copy of Notes #3"}));
    EXPECT_EQ(doc.GetActionList().CanRedo(), 0);
    ASSERT_EQ(doc.GetActionList().Undo(), 1);
    EXPECT_EQ(doc.GetItemListCtrl()->GetItemCount(), 3);
    // A paste is never redone.
    EXPECT_EQ(doc.GetActionList().Redo(), 0);

    SelectRows(doc, {2});
    ASSERT_EQ(doc.GetActionList().Add(new CProjectItemCut(&doc)), 1);
    EXPECT_EQ(doc.GetItemListCtrl()->GetItemCount(), 2);
    ASSERT_EQ(doc.GetActionList().Add(
                  new CProjectItemPaste(&doc, GetClipboard().GetData(kWorkspaceDataFormat))),
              1);
    // The cut item comes back under its own name: nothing else bears it now.
    EXPECT_EQ(Labels(doc), (std::vector<std::string>{"Notes", "Notes #2", "Notes #3"}));
}

TEST(WorkspaceActions, MoveKeepsTheArrangement)
{
    CMXDoc doc;
    for (int i = 0; i < 4; ++i)
        AddNotes(doc);
    CItemListCtrl* list = doc.GetItemListCtrl();
    list->SetItemPosition(0, 10, 10);
    list->SetItemPosition(1, 20, 15);
    list->SetItemPosition(3, 5, 40);
    SelectRows(doc, {0, 1, 3});
    ASSERT_EQ(doc.GetActionList().Add(new CProjectItemMove(&doc, POINT{100, 200})), 1);
    EXPECT_EQ(list->GetItemPosition(0), (POINT{100, 200}));
    EXPECT_EQ(list->GetItemPosition(1), (POINT{110, 205}));
    EXPECT_EQ(list->GetItemPosition(3), (POINT{95, 230}));
    ASSERT_EQ(doc.GetActionList().Undo(), 1);
    EXPECT_EQ(list->GetItemPosition(1), (POINT{20, 15}));
}

TEST(StoredItems, HeaderAndAddingBack)
{
    CMXDoc doc;
    CMXNotes* notes = AddNotes(doc);
    SetText(notes->GetRichData(), "kept");
    std::string path = TempPath("notes.mxc");
    notes->SaveToFile(path);
    std::ifstream in(path, std::ios::binary);
    Bytes head(16);
    in.read(reinterpret_cast<char*>(head.data()), 16);
    EXPECT_EQ(ToHex(head), "4D 58 20 49 74 65 6D 00 00 00 00 00 05 00 00 00");

    auto action = std::make_unique<CMXItemAddFromStore>(&doc, path);
    auto* raw = action.get();
    ASSERT_EQ(doc.GetActionList().Add(std::move(action)), 1);
    auto* added = static_cast<CMXNotes*>(raw->GetAddedItem());
    EXPECT_EQ(added->GetName(), "Copy of Notes");
    EXPECT_NE(added->GetItemId(), notes->GetItemId());
    EXPECT_EQ(added->GetRichData().GetPlainText(), "kept");

    std::string shortFile = TempPath("short.mxc");
    std::ofstream(shortFile, std::ios::binary).write("MX Item\0\0", 9);
    RecordingReporter reporter;
    EXPECT_EQ(doc.GetActionList().Add(new CMXItemAddFromStore(&doc, shortFile)), 0);
    EXPECT_EQ(reporter.Ids(), std::vector<UINT>{1161});
}

TEST(Workspace, NotesSurviveSaveAndOpen)
{
    std::string path = TempPath("notes.mxf");
    {
        CMXDoc doc;
        SetText(AddNotes(doc)->GetRichData(), "Line one\nLine two");
        ASSERT_TRUE(doc.OnSaveDocument(path));
    }
    CMXDoc back;
    ASSERT_TRUE(back.OnOpenDocument(path));
    ASSERT_EQ(back.GetProjectItems().size(), 1u);
    auto* notes = dynamic_cast<CMXNotes*>(back.GetProjectItems()[0]);
    ASSERT_NE(notes, nullptr);
    EXPECT_EQ(notes->GetName(), "Notes");
    EXPECT_EQ(notes->GetRichData().GetPlainText(), "Line one\nLine two");
    EXPECT_EQ(back.GetItemListCtrl()->GetItemText(0, 1), "Notes");
}
