#include "framework/ArchiveHelpers.h"
#include "framework/ItemListCtrl.h"
#include "framework/ProjectDocBase.h"
#include "framework/ProjectItemBase.h"
#include "platform/Clock.h"
#include "platform/CompoundFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace {

class CTestItem : public CProjectItemBase {
    DECLARE_SERIAL(CTestItem)
public:
    CTestItem() = default;
    explicit CTestItem(CProjectDocBase* doc) : CProjectItemBase(doc) {}
    std::int32_t payload = 0;
    void Serialize(CArchive& ar) override
    {
        CProjectItemBase::Serialize(ar);
        if (ar.IsStoring())
            ar << payload;
        else
            ar >> payload;
    }
};
IMPLEMENT_SERIAL(CTestItem, CProjectItemBase, VERSIONABLE_SCHEMA | 0)

class CTestDoc : public CProjectDocBase {
public:
    CProjectItemBase* CreateDefaultItem() override
    {
        auto* item = new CTestItem(this);
        item->SetName("blank");
        return item;
    }
};

std::string TempPath(const char* name)
{
    auto dir = std::filesystem::temp_directory_path() / ("marlox-doc-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

CTestItem* AddItem(CProjectDocBase& doc, const char* name, int payload)
{
    auto* item = new CTestItem(&doc);
    item->SetName(name);
    item->payload = payload;
    return item;
}

} // namespace

TEST(ProjectItemBase, IdsCountFromOne)
{
    CTestDoc doc;
    EXPECT_EQ(AddItem(doc, "a", 0)->GetItemId(), 1);
    EXPECT_EQ(AddItem(doc, "b", 0)->GetItemId(), 2);
    EXPECT_EQ(doc.GetItemListCtrl()->GetItemCount(), 2);
}

TEST(ProjectItemBase, UniqueAndCopyNamesIgnoreCase)
{
    CTestDoc doc;
    AddItem(doc, "Data", 0);
    auto* second = new CTestItem(&doc);
    EXPECT_EQ(second->MakeUniqueName("data%1"), 2);
    EXPECT_EQ(second->GetName(), "data #2");
    auto* third = AddItem(doc, "DATA", 0);
    third->MakeCopyName(false);
    EXPECT_EQ(third->GetName(), "Copy of DATA");
    auto* fourth = AddItem(doc, "data", 0);
    fourth->MakeCopyName(true);
    EXPECT_EQ(fourth->GetName(), "Another of data");
    auto* fifth = AddItem(doc, "Data", 0);
    fifth->MakeCopyName(false);
    EXPECT_EQ(fifth->GetName(), "Copy #2 of Data");
    CTestItem loose;
    EXPECT_EQ(loose.MakeUniqueName("x%1"), -1);
}

TEST(ProjectItemBase, RecordLayout)
{
    CTestItem item;
    // Field by field: version 4, empty name 1, time 16, margins 16, three int32 12,
    // "&F [&I]" 1+7, "Page &P" 1+7, LOGFONT 28 + 4 + 15 + 1 ("Times New Roman"),
    // size, kind, id, icon offset 16, empty icon file 1, icon slot 4.
    Bytes record = StoreBytes([&](CArchive& ar) { item.CProjectItemBase::Serialize(ar); });
    EXPECT_EQ(record.size(), 4u + 1 + 16 + 16 + 12 + 8 + 8 + 48 + 16 + 1 + 4);
    // Without its own icons the record ends with the slot -1.
    EXPECT_EQ(ToHex(Bytes(record.end() - 4, record.end())), "FF FF FF FF");
    Bytes layout = StoreBytes([&](CArchive& ar) { item.SerializeListLayout(ar); });
    EXPECT_EQ(layout.size(), 64u);
}

TEST(ProjectItemBase, LayoutMovesWindowsOntoASmallerScreen)
{
    CTestItem item;
    item.m_wpFrame.rcNormalPosition = {700, 500, 1000, 700};
    CProjectItemBase::s_workArea = {1024, 768};
    Bytes layout = StoreBytes([&](CArchive& ar) { item.SerializeListLayout(ar); });
    CProjectItemBase::s_workArea = {800, 600};
    CTestItem back;
    LoadBytes(layout, [&](CArchive& ar) { back.SerializeListLayout(ar); });
    CProjectItemBase::s_workArea = {1024, 768};
    EXPECT_EQ(back.m_wpFrame.rcNormalPosition, (RECT{500, 400, 800, 600}));
}

TEST(ProjectItemBase, DateColumnIsRewrittenOncePerMinute)
{
    SYSTEMTIME t{2026, 12, 4, 10, 9, 30, 5, 0};
    SetClockForTesting([&] { return t; });
    CTestDoc doc;
    CTestItem* item = AddItem(doc, "a", 0);
    CItemListCtrl* list = doc.GetItemListCtrl();
    list->SetItemText(0, 2, "marker");
    t.wMinute = 31;
    item->SetModified(true);
    std::string first = list->GetItemText(0, 2);
    EXPECT_NE(first, "marker");
    list->SetItemText(0, 2, "marker");
    t.wSecond = 50;
    item->SetModified(true);
    EXPECT_EQ(list->GetItemText(0, 2), "marker");
    SetClockForTesting({});
}

TEST(ProjectItemBase, ClearingOneItemsFlagLeavesTheDocumentModified)
{
    CTestDoc doc;
    CTestItem* a = AddItem(doc, "a", 0);
    doc.SetModifiedFlag(false);
    a->SetModified(true);
    EXPECT_TRUE(doc.IsModified());
    a->SetModified(false);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_FALSE(a->IsModified());
}

TEST(ProjectDocBase, EmptyWorkspaceMainStream)
{
    CTestDoc doc;
    Bytes bytes = StoreBytes([&](CArchive& ar) { doc.Serialize(ar); });
    // Item count, version word, last issued id, window count.
    EXPECT_EQ(ToHex(bytes), "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00");
    EXPECT_EQ(CProjectDocBase::ItemStreamName(26), "Item_1A");
    EXPECT_EQ(CProjectDocBase::ItemStreamName(1), "Item_1");
}

TEST(ProjectDocBase, SaveAndOpenRoundTrip)
{
    RecordingReporter reporter;
    std::string path = TempPath("roundtrip.mxf");
    {
        CTestDoc doc;
        AddItem(doc, "first", 11);
        for (int i = 0; i < 24; ++i)
            doc.NextItemId();
        CTestItem* second = AddItem(doc, "second", 22); // id 26
        doc.GetItemListCtrl()->SetItemPosition(1, 40, 50);
        EXPECT_EQ(second->GetItemId(), 26);
        ASSERT_TRUE(doc.OnSaveDocument(path));
        EXPECT_FALSE(doc.IsModified());
        EXPECT_FALSE(second->IsModified());
    }
    CCompoundFile file(path);
    std::vector<std::string> names;
    for (const auto& e : file.Root().EnumElements())
        names.push_back(e.name);
    EXPECT_NE(std::find(names.begin(), names.end(), "Item_1A"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "Item_1"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "Contents"), names.end());
    // Main stream: two entries of 72 bytes between the count and the trailer.
    auto main = file.Root().OpenStream("Contents");
    EXPECT_EQ(main->GetLength(), 4u + 2 * 72 + 12);

    CTestDoc back;
    ASSERT_TRUE(back.OnOpenDocument(path));
    auto items = back.GetProjectItems();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0]->GetName(), "first");
    EXPECT_EQ(static_cast<CTestItem*>(items[1])->payload, 22);
    EXPECT_EQ(items[1]->GetItemId(), 26);
    EXPECT_EQ(back.GetLastItemId(), 26);
    EXPECT_EQ(back.GetItemListCtrl()->GetItemPosition(1), (POINT{40, 50}));
    EXPECT_TRUE(reporter.messages.empty());
}

TEST(ProjectDocBase, DeletedItemsLoseTheirStreams)
{
    std::string path = TempPath("deleted.mxf");
    CTestDoc doc;
    AddItem(doc, "keep", 1);
    CTestItem* gone = AddItem(doc, "gone", 2);
    ASSERT_TRUE(doc.OnSaveDocument(path));
    doc.MarkItemStreamDeleted(gone);
    doc.RemoveItem(gone);
    delete gone;
    ASSERT_TRUE(doc.OnSaveDocument(path));
    CCompoundFile file(path);
    EXPECT_FALSE(file.Root().HasElement("Item_2"));
    EXPECT_TRUE(file.Root().HasElement("Item_1"));
}

TEST(ProjectDocBase, MissingItemStream)
{
    std::string path = TempPath("missing.mxf");
    {
        CTestDoc doc;
        AddItem(doc, "a", 1);
        AddItem(doc, "b", 2);
        AddItem(doc, "c", 3);
        ASSERT_TRUE(doc.OnSaveDocument(path));
    }
    {
        CCompoundFile file(path);
        file.Root().DestroyElement("Item_3");
        file.Save();
    }
    {
        RecordingReporter reporter;
        reporter.Answer(IDYES);
        CTestDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(path));
        // The stand-in is named once the load is done, and the repaired
        // workspace is marked changed so that closing it asks to save.
        EXPECT_EQ(reporter.Ids(), (std::vector<UINT>{26010, 26011}));
        EXPECT_NE(reporter.messages[1].text.find("replaced by blank notes: \"blank\"."), std::string::npos)
            << reporter.messages[1].text;
        EXPECT_TRUE(doc.IsModified());
        auto items = doc.GetProjectItems();
        ASSERT_EQ(items.size(), 3u);
        EXPECT_EQ(items[2]->GetName(), "blank");
        // The stand-in keeps its entry's id; the next new item comes after every id read.
        EXPECT_EQ(items[2]->GetItemId(), 3);
        EXPECT_EQ(doc.NextItemId(), 4);
    }
    {
        RecordingReporter reporter;
        reporter.Answer(IDNO);
        CTestDoc doc;
        AddItem(doc, "unsaved", 0);
        doc.SetPathName("/somewhere/else.mxf");
        EXPECT_FALSE(doc.OnOpenDocument(path));
        // The document is a new untitled workspace, never an emptied one under a file's name.
        EXPECT_TRUE(doc.GetPathName().empty());
        EXPECT_TRUE(doc.GetProjectItems().empty());
    }
}

TEST(ProjectDocBase, DamagedMainStreamsFailCleanly)
{
    std::string path = TempPath("damaged.mxf");
    struct Case {
        const char* hex;
        const char* what;
    };
    const Case cases[] = {
        {"", "empty"},
        {"FF FF FF 7F", "huge item count"},
        {"FF FF FF FF", "negative item count"},
        {"01 00 00 00 02 00 00 00", "unknown entry flag"},
        {"00 00 00 00 00 00 00 00 00 00 00 00 FF FF FF 7F", "huge window count"},
        {"00 00 00 00 00 00 00 00 00 00 00 00 FF FF FF FF", "negative window count"},
        {"00 00 00 00 01 00 00 00", "newer version"},
    };
    for (const Case& c : cases) {
        {
            CCompoundFile file;
            auto stream = file.Root().CreateStream("Contents");
            Bytes bytes = HexBytes(c.hex);
            stream->Write(bytes.data(), bytes.size());
            file.SaveAs(path);
        }
        RecordingReporter reporter;
        CTestDoc doc;
        EXPECT_FALSE(doc.OnOpenDocument(path)) << c.what;
        EXPECT_FALSE(reporter.messages.empty()) << c.what;
    }
    // A file that is not a compound file leaves the open workspace as it was.
    {
        CDiskFile junk(path, CDiskFile::modeCreate | CDiskFile::modeWrite);
        junk.Write("not a workspace", 15);
    }
    RecordingReporter reporter;
    CTestDoc doc;
    AddItem(doc, "kept", 0);
    doc.SetPathName("/kept.mxf");
    doc.SetModifiedFlag(true);
    EXPECT_FALSE(doc.OnOpenDocument(path));
    EXPECT_EQ(doc.GetProjectItems().size(), 1u);
    EXPECT_EQ(doc.GetPathName(), "/kept.mxf");
    EXPECT_TRUE(doc.IsModified());
}

TEST(ProjectDocBase, ObjectsOfOtherProgramsAreLeftOutWithOneMessage)
{
    std::string path = TempPath("foreign.mxf");
    {
        CTestDoc doc;
        AddItem(doc, "a", 1);
        AddItem(doc, "object", 2);
        AddItem(doc, "b", 3);
        ASSERT_TRUE(doc.OnSaveDocument(path));
    }
    {
        CCompoundFile file(path);
        auto stream = file.Root().CreateStream("Item_2");
        std::string name = "CProjectOLEItemBase";
        Bytes bytes = HexBytes("FF FF 00 00");
        bytes.push_back(BYTE(name.size()));
        bytes.push_back(0);
        bytes.insert(bytes.end(), name.begin(), name.end());
        bytes.resize(bytes.size() + 40, 0x11);
        stream->Write(bytes.data(), bytes.size());
        file.Save();
    }
    RecordingReporter reporter;
    CTestDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(path));
    auto items = doc.GetProjectItems();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1]->GetName(), "b");
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_NE(reporter.messages[0].text.find("another program"), std::string::npos);
    // The left-out item's id is never handed out again.
    EXPECT_EQ(doc.NextItemId(), 4);
}
