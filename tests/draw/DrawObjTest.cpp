// The drawing object base: rotation, outline boxes, handles, resizing,
// alignment and the style setters, on rectangles (the plainest kind).
#include "DrawTestSupport.h"

#include "draw/DrawRect.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<CDrawRect> MakeRect(const RECT& r, CDrawData* page = nullptr)
{
    return std::make_unique<CDrawRect>(r, page);
}

} // namespace

TEST(DrawObj, AnglesAreKeptInTenthsWithinOneTurn)
{
    auto r = MakeRect({0, 100, 200, 0});
    r->SetAngle(-90);
    EXPECT_EQ(r->GetRotation(), 2700);
    r->SetAngle(370);
    EXPECT_EQ(r->GetRotation(), 100);
    r->RotateBy(-20.5);
    EXPECT_EQ(r->GetRotation(), 3495);
    // 45.3 degrees is 452.99999... tenths in binary: it still means 453.
    r->SetAngle(45.3);
    EXPECT_EQ(r->GetRotation(), 453);
    EXPECT_DOUBLE_EQ(r->GetAngle(), 45.3);
}

TEST(DrawObj, BoundsGrowByTheLineWidthOnlyWhenALineIsDrawn)
{
    auto r = MakeRect({0, 100, 200, 0});
    r->SetLineStyle(PS_NULL, 8, false);
    EXPECT_EQ(r->GetBounds(), (RECT{0, 0, 200, 100}));
    r->SetLineStyle(PS_SOLID, 8, false);
    EXPECT_EQ(r->GetBounds(), (RECT{-8, -8, 208, 108}));
    r->SetLineVisible(0, false);
    EXPECT_EQ(r->GetBounds(), (RECT{0, 0, 200, 100}));
    // Turned a quarter about its centre (100, 50): the corners span 50..150 by -50..150.
    r->SetAngle(90);
    EXPECT_EQ(r->GetBounds(), (RECT{50, -50, 150, 150}));
}

TEST(DrawObj, HandleRectanglesExcludeTheirRightAndBottomEdges)
{
    FakeView view;
    auto r = MakeRect({0, 1000, 200, 0});
    // Handle 1 at (0, 1000); half size 3 pixels of 8 units, one pixel more to the right and below:
    // x from -24 to 32 (exclusive), y from 968 (exclusive) to 1024.
    EXPECT_EQ(r->GetHandleRect(1, &view), (RECT{-24, 1024, 32, 968}));
    EXPECT_EQ(r->HitTestHandles({31, 1000}, &view, true), 1);
    EXPECT_EQ(r->HitTestHandles({32, 1000}, &view, true), 0);
    EXPECT_EQ(r->HitTestHandles({0, 1024}, &view, true), 1);
    EXPECT_EQ(r->HitTestHandles({0, 968}, &view, true), 0);
    // Not selected: any hit counts as handle 1.
    EXPECT_EQ(r->HitTestHandles({100, 50}, &view, false), 1);
    EXPECT_EQ(r->HitTestHandles({1000, 50}, &view, false), 0);
}

TEST(DrawObj, OfOverlappingHandlesTheHigherNumberWins)
{
    FakeView view;
    auto r = MakeRect({0, 10, 10, 0});
    // Every handle of a 10-unit box covers its centre.
    EXPECT_EQ(r->HitTestHandles({5, 5}, &view, true), 8);
}

TEST(DrawObj, HandleCursorsSwapForAFlippedFrame)
{
    auto r = MakeRect({0, 0, 100, 100});
    EXPECT_EQ(r->GetHandleCursor(1), CURSOR_SIZE_NWSE);
    EXPECT_EQ(r->GetHandleCursor(3), CURSOR_SIZE_NESW);
    EXPECT_EQ(r->GetHandleCursor(2), CURSOR_SIZE_NS);
    EXPECT_EQ(r->GetHandleCursor(8), CURSOR_SIZE_WE);
    auto flipped = MakeRect({0, 100, 100, 0});
    EXPECT_EQ(flipped->GetHandleCursor(1), CURSOR_SIZE_NESW);
    EXPECT_EQ(flipped->GetHandleCursor(7), CURSOR_SIZE_NWSE);
    EXPECT_EQ(r->GetMoveCursor(MK_CONTROL), CURSOR_MOVE_COPY);
    EXPECT_EQ(r->GetMoveCursor(0), CURSOR_MOVE);
}

TEST(DrawObj, ResizeByEachHandle)
{
    struct Case {
        int handle;
        int keys;
        RECT expected;
    };
    // From (0, 0, 100, 100), dragged by (10, 20); k = MulDiv(10, 100, 100) = 10.
    const Case cases[] = {
        {1, 0, {10, 20, 100, 100}},
        {1, MK_CONTROL, {10, 20, 90, 80}},
        {1, MK_SHIFT, {10, -10, 100, 100}},
        {2, 0, {0, 20, 100, 100}},
        {2, MK_CONTROL, {0, 20, 100, 80}},
        {3, 0, {0, 20, 110, 100}},
        {3, MK_SHIFT, {0, 10, 110, 100}},
        {3, MK_CONTROL, {-10, 20, 110, 80}},
        {4, 0, {0, 0, 110, 100}},
        {4, MK_CONTROL, {-10, 0, 110, 100}},
        {5, 0, {0, 0, 110, 120}},
        {5, MK_SHIFT, {0, 0, 110, 90}},
        {5, MK_CONTROL, {-10, -20, 110, 120}},
        {6, 0, {0, 0, 100, 120}},
        {6, MK_CONTROL, {0, -20, 100, 120}},
        {7, 0, {10, 0, 100, 120}},
        {7, MK_SHIFT, {10, 0, 100, 110}},
        {7, MK_CONTROL, {10, -20, 90, 120}},
        {8, 0, {10, 0, 100, 100}},
        {8, MK_CONTROL, {10, 0, 90, 100}},
    };
    for (const Case& c : cases) {
        FakeView view;
        view.keys = c.keys;
        auto r = MakeRect({0, 0, 100, 100});
        r->MoveHandleTo(c.handle, {10, 20}, &view);
        EXPECT_EQ(r->GetSavedPosition(), c.expected) << "handle " << c.handle << " keys " << c.keys;
        EXPECT_EQ(r->GetPosition(), (RECT{0, 0, 100, 100}));
    }
}

TEST(DrawObj, ShiftResizeOfAZeroWidthFrameUsesWidthOne)
{
    FakeView view;
    view.keys = MK_SHIFT;
    auto r = MakeRect({0, 100, 0, 0});
    // k = MulDiv(10, 100, 1) = 1000; handle 5 then moves bottom by -k.
    r->MoveHandleTo(5, {10, 0}, &view);
    EXPECT_EQ(r->GetSavedPosition(), (RECT{0, 100, 10, -1000}));
}

TEST(DrawObj, ResizingATurnedObjectKeepsTheOppositeEdgeInPlace)
{
    FakeView view;
    auto r = MakeRect({0, 0, 200, 100});
    r->SetAngle(90);
    // Handle 8 (the left edge, in the object's frame) before the drag.
    const POINT before = r->GetTransform().MapPoint(POINT{0, 50});
    // Dragging handle 4 outwards: on the page the object's x axis points up.
    r->MoveHandleTo(4, {0, 40}, &view);
    const RECT s = r->GetSavedPosition();
    EXPECT_EQ(s.right - s.left, 240);
    const CTransform2D t = RotationAbout(s, 900);
    const POINT after = t.MapPoint(POINT{s.left, s.top + (s.bottom - s.top) / 2});
    EXPECT_NEAR(after.x, before.x, 1);
    EXPECT_NEAR(after.y, before.y, 1);
}

TEST(DrawObj, AlignToEachMode)
{
    struct Case {
        int mode;
        RECT expected;
    };
    // Reference (1000, 1000, 2000, 3000); the object (0, 0, 100, 200), no line.
    const RECT ref{1000, 1000, 2000, 3000};
    const Case cases[] = {
        {0, {1000, 0, 1100, 200}},   // left edges
        {1, {1900, 0, 2000, 200}},   // right edges
        {2, {0, 2800, 100, 3000}},   // upper edges (the larger y)
        {3, {0, 1000, 100, 1200}},   // lower edges
        {4, {1450, 0, 1550, 200}},   // centres across
        {5, {0, 1900, 100, 2100}},   // centres up and down
        {9, {0, 0, 100, 200}},
    };
    for (const Case& c : cases) {
        auto r = MakeRect({0, 0, 100, 200});
        r->SetLineVisible(0, false);
        r->AlignTo(ref, c.mode, nullptr);
        EXPECT_EQ(r->GetPosition(), c.expected) << "mode " << c.mode;
    }
}

TEST(DrawObj, SettingTheSameLineStyleChangesNothing)
{
    PageFixture f;
    auto* r = new CDrawRect({0, 100, 200, 0}, &f.page);
    f.page.AddObject(r);
    f.doc.SetModifiedFlag(false);
    f.views.hints.clear();
    r->SetLineStyle(PS_SOLID, 8, true);
    EXPECT_FALSE(f.doc.IsModified());
    EXPECT_TRUE(f.views.hints.empty());
    r->SetLineStyle(PS_DASH, -1, true);
    EXPECT_TRUE(f.doc.IsModified());
    EXPECT_EQ(f.views.Count(HINT_UPDATE_DRAWOBJ), 2);
    int style = 0, width = 0;
    r->GetLineStyle(style, width);
    EXPECT_EQ(style, PS_DASH);
    EXPECT_EQ(width, 8);
    r->SetLineStyle(PS_NULL, -1, false);
    EXPECT_EQ(r->GetLineVisible(), 0);
}

TEST(DrawObj, HiddenObjectsStayHiddenThroughStoring)
{
    PageFixture f;
    auto* r = new CDrawRect({0, 100, 200, 0}, &f.page);
    f.page.AddObject(r);
    f.views.hints.clear();
    r->SetDisplayOption(0);
    EXPECT_EQ(f.views.Count(HINT_OBJECT_SHOWN), 1);
    r->SetDisplayOption(0);
    EXPECT_EQ(f.views.Count(HINT_OBJECT_SHOWN), 1);
    const Bytes bytes = StoreBytes([&](CArchive& ar) { ar.WriteObject(r); });
    LoadBytes(bytes, [&](CArchive& ar) {
        auto loaded = ar.ReadOwned<CDrawRect>();
        ASSERT_TRUE(loaded);
        EXPECT_EQ(loaded->IsShown(), 0);
        EXPECT_EQ(loaded->GetPosition(), (RECT{0, 100, 200, 0}));
    });
}

TEST(DrawObj, NewObjectsTakeThePageDefaults)
{
    PageFixture f;
    f.page.SetDefaultFillOn(1);
    f.page.SetDefaultFillColor(0x0000FF);
    f.page.SetDefaultLineColor(0x00FF00);
    f.page.SetDefaultLineOn(0);
    CDrawRect r({0, 0, 10, 10}, &f.page);
    EXPECT_EQ(r.GetFillStyle(), 1);
    EXPECT_EQ(r.GetFillColor(), 0x0000FFu);
    EXPECT_EQ(r.GetLineColor(), 0x00FF00u);
    EXPECT_EQ(r.GetLineVisible(), 0);
}

TEST(DrawObj, CloneCopiesAttributesAndJoinsThePage)
{
    PageFixture f;
    auto* r = new CDrawRect({0, 100, 200, 0}, &f.page);
    f.page.AddObject(r);
    r->SetFillColor(0x123456);
    r->SetAngle(30);
    CDrawObj* copy = r->Clone(&f.page);
    ASSERT_EQ(f.page.GetObjects().size(), 2u);
    EXPECT_EQ(f.page.GetObjects().back(), copy);
    EXPECT_EQ(copy->GetFillColor(), 0x123456u);
    EXPECT_EQ(copy->GetRotation(), 300);
    EXPECT_EQ(copy->GetBounds(), r->GetBounds());
    EXPECT_TRUE(copy->IsKindOf(RUNTIME_CLASS(CDrawRect)));
}

TEST(DrawObj, DragFeedbackStartsFromThePositionAndCancelPutsItBack)
{
    FakeView view;
    auto r = MakeRect({0, 100, 200, 0});
    // A stale working copy from an earlier drag must not leak into the next one.
    r->OffsetBy({500, 500});
    r->DrawDragFeedback({10, 20}, &view, true);
    EXPECT_EQ(r->GetSavedPosition(), (RECT{10, 120, 210, 20}));
    r->DrawDragFeedback({30, 20}, &view, false);
    EXPECT_EQ(r->GetSavedPosition(), (RECT{30, 120, 230, 20}));
    r->EndDrag(&view, false, false);
    EXPECT_EQ(r->GetPosition(), (RECT{0, 100, 200, 0}));
    EXPECT_EQ(r->GetSavedPosition(), (RECT{0, 100, 200, 0}));
    r->DrawDragFeedback({5, 5}, &view, true);
    r->EndDrag(&view, true, false);
    EXPECT_EQ(r->GetPosition(), (RECT{5, 105, 205, 5}));
}

TEST(DrawObjHelpers, PenStylesAndListIndexes)
{
    const int pairs[][2] = {{-1, -1}, {0, 5}, {1, 0}, {2, 1}, {3, 2}, {4, 3}, {5, 4}};
    for (const auto& p : pairs) {
        EXPECT_EQ(PenStyleFromListIndex(p[0]), p[1]);
        EXPECT_EQ(ListIndexFromPenStyle(p[1]), p[0]);
    }
    EXPECT_EQ(PenStyleFromListIndex(6), 0);
    EXPECT_EQ(PenStyleFromListIndex(-2), 0);
    EXPECT_EQ(ListIndexFromPenStyle(9), 1);
}

TEST(DrawObjHelpers, PointNearLine)
{
    // Tolerance 10: within 5 of the segment from (0, 0) to (100, 0).
    EXPECT_TRUE(PointNearLine(0, 0, 100, 0, 50, 5, 10));
    EXPECT_FALSE(PointNearLine(0, 0, 100, 0, 50, 6, 10));
    // Beyond the end (outside the grown box).
    EXPECT_FALSE(PointNearLine(0, 0, 100, 0, 106, 0, 10));
    // Tolerance below 2 still takes half = 1.
    EXPECT_TRUE(PointNearLine(0, 0, 100, 100, 51, 50, 0));
}
