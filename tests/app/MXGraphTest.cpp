// The graph item: its page, zoom and name as stored and reopened, the notices
// it passes to its objects, and the marks its page's changes leave.
#include "app/MXDoc.h"
#include "app/MXGraph.h"
#include "app/MXGrid.h"
#include "app/MXItemAdd.h"
#include "data/DataString.h"
#include "draw/DrawText.h"
#include "ui/RtfDocument.h"
#include "draw/DrawEllipse.h"
#include "draw/DrawRect.h"
#include "framework/UpdateNotification.h"
#include "platform/StringIds.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// A rectangle that records the notices it is told.
class CNoticeRect : public CDrawRect {
    DECLARE_SERIAL(CNoticeRect)
public:
    CNoticeRect() = default;
    CNoticeRect(const RECT& r, CDrawData* page, std::vector<int>* log, int id) : CDrawRect(r, page), log(log), id(id) {}
    void OnDocumentChange(CUpdateNotification& note) override
    {
        if (log)
            log->push_back(id * 100 + note.kind);
    }
    std::vector<int>* log = nullptr;
    int id = 0;
};
IMPLEMENT_SERIAL(CNoticeRect, CDrawRect, 0)

std::string TempPath(const char* name)
{
    auto dir = std::filesystem::temp_directory_path() / ("marlox-graph-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

CMXGraph* AddGraph(CMXDoc& doc)
{
    auto* graph = new CMXGraph(&doc);
    graph->InitNewItem();
    return graph;
}

} // namespace

TEST(MXGraph, ANewGraphShowsAtActualSizeWithoutAFooter)
{
    CMXDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    CMXGraph* graph = AddGraph(doc);
    EXPECT_EQ(graph->GetName(), "Graph");
    EXPECT_EQ(graph->GetZoom(), 100);
    EXPECT_TRUE(graph->m_strFooter.empty());
    EXPECT_EQ(graph->GetKindFlag(), KIND_GRAPH);
    EXPECT_EQ(graph->GetStoreIconIndex(), 3);
    ASSERT_NE(graph->GetServerItem(), nullptr);
    EXPECT_EQ(graph->GetServerItem()->GetItemName(), "Graph");
    EXPECT_EQ(graph->GetPage().GetDocument(), &doc);
    EXPECT_EQ(graph->GetPage().GetPageSize(), (SIZE{6120, 7920}));
    // A second graph takes the next name of the pattern.
    EXPECT_EQ(AddGraph(doc)->GetName(), "Graph #2");
}

TEST(MXGraph, RenamingServesThePageUnderTheNewName)
{
    CMXDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    CMXGraph* graph = AddGraph(doc);
    graph->SetName("Kinetics");
    EXPECT_EQ(graph->GetServerItem()->GetItemName(), "Kinetics");
}

TEST(MXGraph, StoredFormIsVersionItemPageAndZoom)
{
    CMXDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    CMXGraph* graph = AddGraph(doc);
    graph->GetPage().AddObject(new CDrawRect({0, 100, 200, 0}, &graph->GetPage()));
    graph->SetZoom(150);
    const Bytes item = StoreBytes([&](CArchive& ar) { graph->Serialize(ar); });
    const Bytes page = StoreBytes([&](CArchive& ar) { graph->GetPage().Serialize(ar); });
    const Bytes base = StoreBytes([&](CArchive& ar) { graph->CMXProjectItem::Serialize(ar); });
    Bytes expected = {0, 0, 0, 0};
    expected.insert(expected.end(), base.begin(), base.end());
    expected.insert(expected.end(), page.begin(), page.end());
    for (BYTE b : {150, 0, 0, 0})
        expected.push_back(b);
    EXPECT_EQ(ToHex(item), ToHex(expected));
}

TEST(MXGraph, AReopenedWorkspaceHasThePageTheZoomAndTheName)
{
    const std::string path = TempPath("graph.mxf");
    {
        CMXDoc doc;
        ASSERT_TRUE(doc.OnNewDocument());
        CMXGraph* graph = AddGraph(doc);
        graph->SetName("Rates");
        CMXDrawData& page = graph->GetPage();
        page.AddObject(new CDrawRect({0, 100, 200, 0}, &page));
        page.AddObject(new CDrawEllipse({300, 400, 500, 300}, &page));
        page.SetMargins({360, 360, 360, 360});
        graph->SetZoom(75);
        ASSERT_TRUE(doc.OnSaveDocument(path));
    }
    CMXDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(path));
    auto* graph = dynamic_cast<CMXGraph*>(doc.FindItem("rates"));
    ASSERT_NE(graph, nullptr);
    EXPECT_EQ(graph->GetZoom(), 75);
    EXPECT_EQ(graph->GetServerItem()->GetItemName(), "Rates");
    CMXDrawData& page = graph->GetPage();
    ASSERT_EQ(page.GetObjects().size(), 2u);
    EXPECT_TRUE(page.GetObjects()[1]->IsKindOf(RUNTIME_CLASS(CDrawEllipse)));
    EXPECT_EQ(page.GetObjects()[1]->GetPage(), &page);
    EXPECT_EQ(page.GetMargins(), (RECT{360, 360, 360, 360}));
    EXPECT_EQ(page.GetDocument(), &doc);
    std::filesystem::remove(path);
}

TEST(MXGraph, NoticesReachEveryObjectInListOrder)
{
    CMXDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    CMXGraph* graph = AddGraph(doc);
    std::vector<int> log;
    for (int id : {1, 2, 3})
        graph->GetPage().AddObject(new CNoticeRect({0, 10, 10, 0}, &graph->GetPage(), &log, id));
    CUpdateNotification note;
    note.kind = UN_ITEM_RENAMED;
    doc.NotifyItems(note, true);
    EXPECT_EQ(log, (std::vector<int>{100, 200, 300}));
}

TEST(MXGraph, PageChangesMarkTheItemAndTheWorkspace)
{
    CMXDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    CMXGraph* graph = AddGraph(doc);
    auto* rect = new CDrawRect({0, 100, 200, 0}, &graph->GetPage());
    graph->GetPage().AddObject(rect);
    graph->ClearModified();
    doc.SetModifiedFlag(false);
    rect->SetFillColor(0x0000FF);
    EXPECT_TRUE(graph->IsModified());
    EXPECT_TRUE(doc.IsModified());
}

TEST(MXGraph, TheServedExtentWaitsForTheWindowsTimer)
{
    CMXDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    CMXGraph* graph = AddGraph(doc);
    CMXDrawData& page = graph->GetPage();
    int started = 0;
    page.SetExtentTimer([&] { ++started; });
    const SIZE before = page.GetServerExtent();
    auto* rect = new CDrawRect({0, 100, 200, 0}, &page);
    page.AddObject(rect);
    rect->SetFillColor(0x0000FF);
    EXPECT_EQ(started, 2);
    EXPECT_EQ(page.GetServerExtent(), before);
    page.OnExtentTimer();
    EXPECT_NE(page.GetServerExtent(), before);
    page.SetExtentTimer({});
    rect->MoveTo({0, 1000, 2000, 0});
    EXPECT_EQ(page.GetServerExtent().cx, MulDiv(2000 + 8 + 8 + 20, 2540, 720));
}

TEST(MXGraph, AddGraphIsUndoable)
{
    CMXDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    doc.GetActionList().Add(new CMXItemAddGraph(&doc));
    ASSERT_NE(dynamic_cast<CMXGraph*>(doc.FindItem("Graph")), nullptr);
    doc.GetActionList().Undo();
    EXPECT_EQ(doc.FindItem("Graph"), nullptr);
    doc.GetActionList().Redo();
    EXPECT_NE(dynamic_cast<CMXGraph*>(doc.FindItem("Graph")), nullptr);
}

TEST(MXGraph, EmbeddedObjectsOfOtherProgramsAreLeftOutOnce)
{
    // A stored graph whose page holds another program's object between two of ours.
    CMXDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    CMXGraph* graph = AddGraph(doc);
    const Bytes stored = StoreBytes([&](CArchive& ar) { graph->Serialize(ar); });
    const Bytes page = StoreBytes([&](CArchive& ar) { graph->GetPage().Serialize(ar); });
    // The page's empty list (its int32 0) follows its version word.
    const std::size_t listAt = stored.size() - 4 - page.size() + 4;
    Bytes entry = StoreBytes([&](CArchive& ar) {
        ar << std::int32_t(1) << std::uint16_t(0xFFFF) << std::uint16_t(0) << std::uint16_t(11);
        ar.Write("CDrawOleObj", 11);
        for (std::int32_t v : {0, 0, 100, 100, 0, 1, 0, 0, 8, 0, 0, 0, 0, 0, 1, 0, 2540, 2540})
            ar << v;
        ar << std::uint16_t(0xFFFF) << std::uint16_t(0) << std::uint16_t(9);
        ar.Write("CDrawItem", 9);
        ar << std::uint32_t(1) << std::uint32_t(1) << std::uint32_t(3) << std::uint8_t(1) << std::uint8_t(2)
           << std::uint8_t(3) << std::int32_t(0) << 1.0 << 1.0;
    });
    Bytes spliced(stored.begin(), stored.begin() + std::ptrdiff_t(listAt));
    spliced.insert(spliced.end(), entry.begin(), entry.end());
    spliced.insert(spliced.end(), stored.begin() + std::ptrdiff_t(listAt), stored.end());
    RecordingReporter reporter;
    CMXGraph loaded;
    EXPECT_EQ(LoadBytes(spliced, [&](CArchive& ar) { loaded.Serialize(ar); }), 0u);
    EXPECT_TRUE(loaded.GetPage().GetObjects().empty());
    EXPECT_EQ(reporter.Ids(), (std::vector<UINT>{IDS_OLE_OBJECT_SKIPPED}));
}

TEST(MXGraph, TextFieldsShowTheItemsCurrentValues)
{
    CMXDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    auto* table = new CMXGrid(&doc);
    table->InitNewItem();
    table->SetName("Enzyme data", 0);
    CMyData& t = table->GetTable();
    t.SetCell(1, 1, new CDataString("Rate"));
    t.SetNumber(2, 1, 0.5);
    CMXGraph* graph = AddGraph(doc);
    auto* text = new CDrawText(RECT{0, 0, 3000, -500}, &graph->GetPage());
    graph->GetPage().AddObject(text);
    text->ReplaceText(nullptr, "{\"enzyme data\" ColumnName 2} at {\"Enzyme data\" Data 2 1}; {Enzyme Data 1}; "
                               "{\"Enzyme data\" Mean 2}; {Nothing Name}", false);
    std::string value;
    table->GetFieldText(value, "Data", "2 1"); // the column's own number format
    EXPECT_EQ(text->GetDrawnDocument().PlainText(),
              "Rate at " + value + "; {Enzyme Data 1}; !! Bad command !!; {Nothing Name}");

    // A new value is drawn after the workspace's notice.
    t.SetNumber(2, 1, 1.25);
    table->GetFieldText(value, "Data", "2 1");
    CUpdateNotification cells;
    cells.kind = UN_CELLS_CHANGED;
    cells.item = table;
    doc.NotifyItems(cells, true);
    EXPECT_FALSE(text->RunsValid());
    EXPECT_NE(value.find("1.25"), std::string::npos);
    EXPECT_EQ(text->GetDrawnDocument().PlainText(),
              "Rate at " + value + "; {Enzyme Data 1}; !! Bad command !!; {Nothing Name}");
}
