// The page: paper, margins, hints, hit order, the served extent, and how a
// stored page is read when it is damaged or holds objects of other programs.
#include "DrawTestSupport.h"

#include "draw/DrawEllipse.h"
#include "draw/DrawGroup.h"
#include "draw/DrawOleObj.h"
#include "draw/DrawRect.h"
#include "platform/StringIds.h"

#include <gtest/gtest.h>

namespace {

// The record of a drawing object: version 0, frame, line on, pen, colour,
// width, fill on, brush (style, colour, hatch), angle, shown.
void ObjectRecord(Golden& g, const RECT& r, int lineOn = 1, int fillOn = 0, int shown = 1)
{
    g.ints({0, r.left, r.top, r.right, r.bottom, lineOn, 0, 0, 8, fillOn, 0, 0xC0C0C0, 0, 0, shown});
}

// What follows the object list of a page with the defaults of InitPageSetup
// (and the served extent given).
Bytes DefaultPageTrailer(SIZE extent = {10160, 8890}, POINT origin = {0, 0})
{
    Golden g;
    g.u32(0xFFFFFF);
    // Character format: size, mask, effects, height, offset, colour, charset, pitch and family, face.
    g.u32(60).u32(0xFFFFFFFF).u32(0).i32(240).i32(0).u32(0).u8(0).u8(0x22).i32(5).text("Arial").u8(0);
    // Paragraph format: size, mask, numbering, reserved, indents, alignment, tab count.
    g.u32(156).u32(0xFFFFFFFF).u16(0).u16(0).ints({0, 0, 0, 1, 0});
    g.u32(0).i32(1).u32(0xC0C0C0).i32(0).i32(1);
    g.ints({720, 720, 720, 720, extent.cx, extent.cy, origin.x, origin.y, 1, 0, 5000, 5000, 1});
    return g.bytes;
}

void LoadPage(CDrawData& page, const Bytes& bytes)
{
    LoadBytes(bytes, [&](CArchive& ar) { page.Serialize(ar); });
}

} // namespace

TEST(DrawData, EmptyPageIsStoredFieldByField)
{
    PageFixture f;
    const Bytes bytes = StoreBytes([&](CArchive& ar) { f.page.Serialize(ar); });
    Golden g;
    g.i32(0).i32(0).append(DefaultPageTrailer());
    EXPECT_EQ(ToHex(bytes), ToHex(g.bytes));
}

TEST(DrawData, PageWithObjectsIsStoredFieldByField)
{
    PageFixture f;
    auto* a = new CDrawRect({0, 100, 200, 0}, &f.page);
    auto* b = new CDrawRect({10, 20, 30, 40}, &f.page);
    f.page.AddObject(a);
    f.page.AddObject(b);
    b->SetDisplayOption(0);
    const Bytes bytes = StoreBytes([&](CArchive& ar) { f.page.Serialize(ar); });
    Golden g;
    g.i32(0).i32(1).newClass("CDrawRect");
    ObjectRecord(g, {0, 100, 200, 0});
    // The second object of the class: its short tag (class index 1).
    g.i32(1).knownClass(1);
    ObjectRecord(g, {10, 20, 30, 40}, 1, 0, 0);
    // The served extent follows the shown objects: (-8, -8)-(208, 108) with the
    // line, 10 more each side: 236 x 136 units, MulDiv(236, 2540, 720) = 833 and
    // MulDiv(136, 2540, 720) = 480; origin (left, -top) = (-18, -118).
    g.i32(0).append(DefaultPageTrailer({833, 480}, {-18, -118}));
    EXPECT_EQ(ToHex(bytes), ToHex(g.bytes));

    CDrawData loaded;
    LoadPage(loaded, bytes);
    ASSERT_EQ(loaded.GetObjects().size(), 2u);
    EXPECT_EQ(loaded.GetObjects()[0]->GetPosition(), (RECT{0, 100, 200, 0}));
    EXPECT_EQ(loaded.GetObjects()[1]->IsShown(), 0);
    EXPECT_EQ(loaded.GetObjects()[0]->GetPage(), &loaded);
    EXPECT_EQ(StoreBytes([&](CArchive& ar) { loaded.Serialize(ar); }), bytes);
}

TEST(DrawData, MarginsAreClampedToThePaper)
{
    PageFixture f;
    f.page.SetMargins({4000, -5, 4000, 100});
    // Left and right add up to more than 6120: both become 3060; negative becomes 0.
    EXPECT_EQ(f.page.GetMargins(), (RECT{3060, 0, 3060, 100}));
    f.page.SetMargins({0, 5000, 0, 5000});
    EXPECT_EQ(f.page.GetMargins(), (RECT{0, 3960, 0, 3960}));
    EXPECT_EQ(f.views.Count(HINT_UPDATE_WINDOW), 2);
}

TEST(DrawData, TurningThePaperSwapsItsSidesAndSaysSoOnce)
{
    PageFixture f;
    EXPECT_EQ(f.page.GetPageSize(), (SIZE{6120, 7920}));
    f.page.SetOrientation(2);
    EXPECT_EQ(f.page.GetPageSize(), (SIZE{7920, 6120}));
    EXPECT_EQ(f.views.Count(HINT_PAGE_SIZE), 1);
    f.page.SetOrientation(2);
    EXPECT_EQ(f.views.Count(HINT_PAGE_SIZE), 1);
    EXPECT_EQ(f.page.GetPaperRect(), (RECT{-720, 720 - 6120, 7920 - 720, 720}));
}

TEST(DrawData, LoadedPageTakesThePaperOfTheCurrentPrinter)
{
    PageFixture f;
    f.page.SetOrientation(2);
    const Bytes bytes = StoreBytes([&](CArchive& ar) { f.page.Serialize(ar); });
    // Now the printer has A4 paper: 210 x 297 mm is 5953 x 8419 units.
    CDrawData::SetDefaultPaperProvider([](SIZE& paper, short& orientation) {
        paper = {5953, 8419};
        orientation = 1;
        return true;
    });
    CDrawData loaded;
    LoadPage(loaded, bytes);
    CDrawData::SetDefaultPaperProvider({});
    EXPECT_EQ(loaded.GetOrientation(), 2);
    EXPECT_EQ(loaded.GetPageSize(), (SIZE{8419, 5953}));
}

TEST(DrawData, ObjectAtFindsTheTopMostShownObject)
{
    PageFixture f;
    auto* bottom = new CDrawRect({0, 100, 100, 0}, &f.page);
    auto* top = new CDrawRect({50, 150, 150, 50}, &f.page);
    auto* hidden = new CDrawRect({60, 140, 140, 60}, &f.page);
    f.page.AddObject(bottom);
    f.page.AddObject(top);
    f.page.AddObject(hidden);
    hidden->SetDisplayOption(0);
    EXPECT_EQ(f.page.ObjectAt({75, 75}, &f.view), top);
    EXPECT_EQ(f.page.ObjectAt({10, 10}, &f.view), bottom);
    EXPECT_EQ(f.page.ObjectAt({1000, 1000}, &f.view), nullptr);
}

TEST(DrawData, ServedExtentStartsFromTheFirstShownObject)
{
    PageFixture f;
    auto* hidden = new CDrawRect({0, 10, 10, 0}, &f.page);
    auto* a = new CDrawRect({1000, 2000, 1100, 1900}, &f.page);
    auto* b = new CDrawRect({1200, 2100, 1300, 2000}, &f.page);
    for (CDrawRect* r : {hidden, a, b}) {
        r->SetLineVisible(0, false);
        f.page.AddObject(r);
    }
    hidden->SetDisplayOption(0);
    f.page.UpdateServerExtent();
    // Union (1000, 1900)-(1300, 2100), 10 more each side: 320 by 220 units,
    // MulDiv(320, 2540, 720) = 1129 and MulDiv(220, 2540, 720) = 776 hundredths of a millimetre.
    EXPECT_EQ(f.page.GetServerExtent(), (SIZE{1129, 776}));
    EXPECT_EQ(f.page.GetExtentOrigin(), (POINT{990, -2110}));
}

TEST(DrawData, RemovingAnObjectSaysSoEvenWhenItWasNotThere)
{
    PageFixture f;
    CDrawRect stranger({0, 0, 1, 1}, nullptr);
    f.page.RemoveObject(&stranger);
    EXPECT_TRUE(f.doc.IsModified());
    EXPECT_EQ(f.views.Count(HINT_OBJECT_REMOVED), 1);
}

TEST(DrawData, DefaultFormatsMergeUnderTheirMask)
{
    PageFixture f;
    CHARFORMAT cf;
    cf.dwMask = CFM_BOLD | CFM_SIZE;
    cf.dwEffects = CFE_BOLD | CFE_ITALIC;
    cf.yHeight = 400;
    f.page.SetDefaultCharFormat(cf);
    const CHARFORMAT& d = f.page.GetDefaultCharFormat();
    EXPECT_EQ(d.dwEffects, DWORD(CFE_BOLD));
    EXPECT_EQ(d.yHeight, 400);
    EXPECT_STREQ(d.szFaceName, "Arial");
    EXPECT_EQ(d.dwMask, 0xFFFFFFFFu);
    PARAFORMAT pf;
    pf.dwMask = PFM_ALIGNMENT;
    pf.wAlignment = 3;
    pf.dxStartIndent = 999;
    f.page.SetDefaultParaFormat(pf);
    EXPECT_EQ(f.page.GetDefaultParaFormat().wAlignment, 3);
    EXPECT_EQ(f.page.GetDefaultParaFormat().dxStartIndent, 0);
}

// ---------------------------------------------------------------- reading damaged lists

TEST(DrawDataReading, OnlyDrawingClassesAreBuilt)
{
    Golden g;
    g.i32(0).i32(1).newClass("CRichData");
    CDrawData page;
    EXPECT_THROW(LoadPage(page, g.bytes), CArchiveException);
    EXPECT_TRUE(page.GetObjects().empty());
}

TEST(DrawDataReading, AnObjectListedTwiceIsRefused)
{
    Golden g;
    g.i32(0).i32(1).newClass("CDrawRect");
    ObjectRecord(g, {0, 1, 1, 0});
    // A back reference to the object (index 2): it would have two owners.
    g.i32(1).u16(2);
    CDrawData page;
    EXPECT_THROW(LoadPage(page, g.bytes), CArchiveException);
    EXPECT_TRUE(page.GetObjects().empty());
}

TEST(DrawDataReading, ATruncatedListLeavesNothingBehind)
{
    PageFixture f;
    for (int i = 0; i < 3; ++i)
        f.page.AddObject(new CDrawEllipse({i, 10, i + 10, 0}, &f.page));
    Bytes bytes = StoreBytes([&](CArchive& ar) { f.page.Serialize(ar); });
    bytes.resize(bytes.size() / 2);
    CDrawData page;
    page.AddObject(new CDrawRect({0, 1, 1, 0}, &page));
    EXPECT_THROW(LoadPage(page, bytes), CArchiveException);
    EXPECT_TRUE(page.GetObjects().empty());
}

TEST(DrawDataReading, BadEntryFlagsAreRefused)
{
    Golden g;
    g.i32(0).i32(2);
    CDrawData page;
    EXPECT_THROW(LoadPage(page, g.bytes), CArchiveException);
}

TEST(DrawDataReading, GroupsNestedTooDeeplyAreRefused)
{
    // depth groups, each holding the next; the innermost holds nothing.
    auto nested = [](int depth) {
        Golden g;
        g.i32(0);
        for (int d = 0; d < depth; ++d) {
            g.i32(1);
            if (d == 0)
                g.newClass("CDrawGroup");
            else
                g.knownClass(1);
            ObjectRecord(g, {0, 1, 1, 0}, 0);
            g.i32(0); // the group's version
        }
        for (int d = 0; d <= depth; ++d)
            g.i32(0);
        g.append(DefaultPageTrailer());
        return g.bytes;
    };
    CDrawData shallow;
    LoadPage(shallow, nested(CDrawData::kMaxNesting - 1));
    ASSERT_EQ(shallow.GetObjects().size(), 1u);
    CDrawData deep;
    EXPECT_THROW(LoadPage(deep, nested(CDrawData::kMaxNesting + 5)), CArchiveException);
    EXPECT_TRUE(deep.GetObjects().empty());
}

TEST(DrawDataReading, AVertexCountBeyondTheDataIsRefused)
{
    Golden g;
    g.i32(0).i32(1).newClass("CDrawPoly");
    ObjectRecord(g, {0, 1, 1, 0});
    g.ints({0, 0, 0, 1, 0}); // line parent: version, arrows, size, narrow
    g.i32(0);                // the polygon's version
    g.u16(0xFFFF).u32(0x10000000); // 268 million vertices in a few bytes
    CDrawData page;
    EXPECT_THROW(LoadPage(page, g.bytes), CArchiveException);
}

// ---------------------------------------------------------------- objects of other programs

namespace {

// A page: a rectangle, an embedded object of another program, an ellipse.
Bytes PageWithEmbeddedObject()
{
    Golden g;
    g.i32(0);
    g.i32(1).newClass("CDrawRect");
    ObjectRecord(g, {0, 100, 100, 0});
    g.i32(1).newClass("CDrawOleObj");
    ObjectRecord(g, {200, 300, 400, 200});
    g.i32(0).i32(2540).i32(1270);              // version, extent
    g.newClass("CDrawItem");
    g.u32(7).u32(1).u32(5).text("\x01\x02\x03\x04\x05"); // item number, aspect, data
    g.i32(0);                                  // the item's version
    g.f64(1.0).f64(2.0);                       // scales
    g.i32(1).newClass("CDrawEllipse");
    ObjectRecord(g, {500, 600, 700, 500});
    g.i32(0).append(DefaultPageTrailer());
    return g.bytes;
}

} // namespace

TEST(DrawDataReading, EmbeddedObjectsAreLeftOutWithOneMessage)
{
    RecordingReporter reporter;
    CDrawData page;
    LoadPage(page, PageWithEmbeddedObject());
    ASSERT_EQ(page.GetObjects().size(), 2u);
    EXPECT_TRUE(page.GetObjects()[0]->IsKindOf(RUNTIME_CLASS(CDrawRect)));
    EXPECT_TRUE(page.GetObjects()[1]->IsKindOf(RUNTIME_CLASS(CDrawEllipse)));
    EXPECT_EQ(page.GetObjects()[1]->GetPosition(), (RECT{500, 600, 700, 500}));
    EXPECT_EQ(reporter.Ids(), (std::vector<UINT>{IDS_OLE_OBJECT_SKIPPED}));
}

TEST(DrawDataReading, SeveralPagesReadTogetherSayItOnce)
{
    RecordingReporter reporter;
    {
        COleObjectSkips together;
        CDrawData a, b;
        LoadPage(a, PageWithEmbeddedObject());
        LoadPage(b, PageWithEmbeddedObject());
        EXPECT_TRUE(reporter.messages.empty());
    }
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0].stringId, IDS_OLE_OBJECTS_SKIPPED);
    EXPECT_EQ(reporter.messages[0].args, (std::vector<std::string>{"2"}));
}

TEST(DrawDataReading, AFailedReadSaysNothingOfEmbeddedObjects)
{
    RecordingReporter reporter;
    Bytes bytes = PageWithEmbeddedObject();
    bytes.resize(bytes.size() - 20);
    CDrawData page;
    EXPECT_THROW(LoadPage(page, bytes), CArchiveException);
    EXPECT_TRUE(reporter.messages.empty());
}
