// The stored record of every kind of drawing object, spelled out field by
// field from the record layouts, and read back into an equal object.
#include "DrawTestSupport.h"

#include "draw/DrawEllipse.h"
#include "draw/DrawGroup.h"
#include "draw/DrawLine.h"
#include "draw/DrawPoly.h"
#include "draw/DrawRect.h"
#include "draw/DrawRoundRect.h"
#include "draw/DrawText.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Version 0, frame, line on, pen style 0, colour 0, width 8, fill on,
// brush (solid, the page's grey, hatch 0), angle, shown.
void ObjectRecord(Golden& g, const RECT& r, int lineOn = 1, int fillOn = 0, int angle = 0)
{
    g.ints({0, r.left, r.top, r.right, r.bottom, lineOn, 0, 0, 8, fillOn, 0, 0xC0C0C0, 0, angle, 1});
}

void ExpectStoredForm(CDrawObj* obj, const Golden& expected)
{
    const Bytes bytes = StoreBytes([&](CArchive& ar) { ar.WriteObject(obj); });
    EXPECT_EQ(ToHex(bytes), ToHex(expected.bytes));
    // Read back, the object writes the same bytes again.
    Bytes again;
    LoadBytes(bytes, [&](CArchive& ar) {
        std::unique_ptr<CDrawObj> loaded(ar.ReadOwned<CDrawObj>());
        ASSERT_TRUE(loaded);
        EXPECT_EQ(loaded->GetRuntimeClass(), obj->GetRuntimeClass());
        again = StoreBytes([&](CArchive& out) { out.WriteObject(loaded.get()); });
    });
    EXPECT_EQ(ToHex(again), ToHex(bytes));
}

} // namespace

TEST(StoredForm, Rectangle)
{
    PageFixture f;
    CDrawRect r({0, 100, 200, 0}, &f.page);
    r.SetAngle(45);
    Golden g;
    g.newClass("CDrawRect");
    ObjectRecord(g, {0, 100, 200, 0}, 1, 0, 450);
    ExpectStoredForm(&r, g);
}

TEST(StoredForm, RoundedRectangle)
{
    PageFixture f;
    CDrawRoundRect r({0, 100, 200, 0}, &f.page);
    Golden g;
    g.newClass("CDrawRoundRect");
    ObjectRecord(g, {0, 100, 200, 0});
    g.ints({0, 115, 115}); // version, corner width and height
    ExpectStoredForm(&r, g);
}

TEST(StoredForm, Ellipse)
{
    PageFixture f;
    f.page.SetDefaultFillOn(1);
    CDrawEllipse e({-50, 60, 70, -80}, &f.page);
    Golden g;
    g.newClass("CDrawEllipse");
    ObjectRecord(g, {-50, 60, 70, -80}, 1, 1);
    ExpectStoredForm(&e, g);
}

TEST(StoredForm, LineWithArrowHeads)
{
    PageFixture f;
    CDrawLine line({0, 0, 1000, 500}, &f.page);
    line.SetArrowHeads(3, 5, 2, 1, false);
    Golden g;
    g.newClass("CDrawLine");
    ObjectRecord(g, {0, 0, 1000, 500});
    g.ints({0, 3, 5, 2, 1}); // version, first and second kind, size, narrow
    ExpectStoredForm(&line, g);
}

TEST(StoredForm, ClosedPolygon)
{
    PageFixture f;
    CDrawPoly poly({0, 0, 0, 0}, &f.page);
    poly.SetPoints({{0, 0}, {300, 0}, {150, 200}});
    poly.SetPolyClosed(1, false);
    Golden g;
    g.newClass("CDrawPoly");
    ObjectRecord(g, {0, 0, 300, 200});
    g.ints({0, 0, 0, 1, 0}); // the line parent: version, no heads, size 1, not narrow
    g.i32(0);                // the polygon's version
    g.u16(3).ints({0, 0, 300, 0, 150, 200});
    g.i32(1);
    ExpectStoredForm(&poly, g);
}

TEST(StoredForm, GroupWithItsMember)
{
    PageFixture f;
    CDrawGroup group({0, 0, 0, 0}, &f.page);
    auto* member = new CDrawRect({10, 20, 30, 40}, &f.page);
    member->SetLineVisible(0, false);
    group.AddChild(member);
    Golden g;
    g.newClass("CDrawGroup");
    // The group draws no line and no fill; its frame is its member's box.
    ObjectRecord(g, {10, 20, 30, 40}, 0, 0);
    g.i32(0);
    g.i32(1).newClass("CDrawRect");
    ObjectRecord(g, {10, 20, 30, 40}, 0, 0);
    g.i32(0);
    ExpectStoredForm(&group, g);
}

TEST(StoredForm, TextWithoutText)
{
    PageFixture f;
    CDrawText text({0, 500, 2000, 0}, &f.page);
    Golden g;
    g.newClass("CDrawText");
    ObjectRecord(g, {0, 500, 2000, 0}, 0, 0);
    g.i32(0);         // the text base's version
    g.i32(0).i32(0);  // rich text: version, no text stored
    // Character format: the page's default, with the mask of a whole text.
    g.u32(60).u32(0xF800001F).u32(0).i32(240).i32(0).u32(0).u8(0).u8(0x22).i32(5).text("Arial").u8(0);
    g.u32(156).u32(0x3F).u16(0).u16(0).ints({0, 0, 0, 1, 0});
    g.u8(0);          // the plain text, empty
    ExpectStoredForm(&text, g);
}

TEST(StoredForm, TextKeepsItsRichTextAndPlainText)
{
    PageFixture f;
    CDrawText text({0, 500, 2000, 0}, &f.page);
    text.ReplaceText(nullptr, "Rate\nconstant", false);
    EXPECT_EQ(text.GetText(), "Rate\nconstant");
    const Bytes bytes = StoreBytes([&](CArchive& ar) { ar.WriteObject(&text); });
    LoadBytes(bytes, [&](CArchive& ar) {
        auto loaded = ar.ReadOwned<CDrawText>();
        ASSERT_TRUE(loaded);
        EXPECT_EQ(loaded->GetText(), "Rate\nconstant");
        EXPECT_EQ(loaded->GetTextDocument().PlainText(), "Rate\nconstant");
        EXPECT_FALSE(loaded->RunsValid());
    });
}
