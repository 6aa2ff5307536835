// Lines with arrow heads, polygons and their vertices, groups and their
// merged styles, and rounded rectangles' corners.
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
#include <stdexcept>

TEST(DrawLine, ArrowSizeAndNarrowHeads)
{
    CDrawLine line({0, 0, 1000, 0}, nullptr);
    int length = 0, half = 0;
    line.GetArrowSize(length, half);
    EXPECT_EQ(length, 100);
    EXPECT_EQ(half, 40);
    line.SetArrowHeads(-1, -1, -1, 1, false);
    line.GetArrowSize(length, half);
    EXPECT_EQ(half, 20);
    int first = 9, second = 9, size = 9, narrow = 9;
    EXPECT_EQ(line.GetArrowHeads(first, second, size, narrow), 1);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 0);
    EXPECT_EQ(size, 1);
    EXPECT_EQ(narrow, 1);
    line.SetArrowHeads(3, -1, 2, -1, false);
    line.GetArrowHeads(first, second, size, narrow);
    EXPECT_EQ(first, 3);
    EXPECT_EQ(second, 0);
    EXPECT_EQ(size, 2);
    EXPECT_EQ(narrow, 1);
}

TEST(DrawLine, HeadShapesAndBars)
{
    CDrawLine line({0, 0, 1000, 0}, nullptr);
    std::vector<POINT> head, bar;
    // Tip at (1000, 0), coming from the left: the triangle (-L, W), (w/2, 0), (-L, -W) moved to the tip.
    line.ArrowPoints(3, {1000, 0}, {0, 0}, head, bar);
    EXPECT_EQ(head, (std::vector<POINT>{{900, 40}, {1004, 0}, {900, -40}}));
    EXPECT_TRUE(bar.empty());
    // Kind 4: a bar across the tip only.
    line.ArrowPoints(4, {1000, 0}, {0, 0}, head, bar);
    EXPECT_TRUE(head.empty());
    EXPECT_EQ(bar, (std::vector<POINT>{{1004, 40}, {1004, -40}}));
    // Kind 7: a triangle and a bar.
    line.ArrowPoints(7, {1000, 0}, {0, 0}, head, bar);
    EXPECT_EQ(head.size(), 3u);
    EXPECT_EQ(bar.size(), 2u);
    // Kind 2 (barbed) points the other way at a tip on the left.
    line.ArrowPoints(2, {0, 0}, {1000, 0}, head, bar);
    EXPECT_EQ(head, (std::vector<POINT>{{50, 0}, {100, -40}, {-4, 0}, {100, 40}}));
}

TEST(DrawLine, AZeroLengthArrowDrawsNothing)
{
    CDrawLine line({0, 0, 0, 0}, nullptr);
    std::vector<POINT> head{{1, 1}}, bar{{1, 1}};
    line.ArrowPoints(7, {500, 500}, {500, 500}, head, bar);
    EXPECT_TRUE(head.empty());
    EXPECT_TRUE(bar.empty());
    line.SetArrowHeads(7, 7, -1, -1, false);
    const QImage image = RenderObjects({&line}, 20, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_FALSE(IsDark(image, x, y)) << x << "," << y;
}

TEST(DrawLine, TheFirstHeadStandsAtTheEndPoint)
{
    // A line across the image at y = 500 units (pixel row 50), heads of size 3
    // (200 long, 80 wide): only the end at x = 1900 units gets the triangle.
    CDrawLine line({100, 500, 1900, 500}, nullptr);
    line.SetArrowHeads(3, 0, 3, 0, false);
    const QImage image = RenderObjects({&line}, 200, 100);
    EXPECT_TRUE(IsDark(image, 180, 47));
    EXPECT_TRUE(IsDark(image, 180, 53));
    EXPECT_FALSE(IsDark(image, 20, 47));
    EXPECT_FALSE(IsDark(image, 20, 53));
}

TEST(DrawLine, HitNearTheSegmentOnly)
{
    FakeView view;
    CDrawLine line({0, 0, 1000, 1000}, nullptr);
    // Tolerance: width 8 + 2 x handle width 24 = 56, so within 28 of the line.
    EXPECT_TRUE(line.HitTest({500, 520}, &view));
    EXPECT_FALSE(line.HitTest({500, 560}, &view));
    EXPECT_FALSE(line.HitTest({1100, 1100}, &view));
}

TEST(DrawPoly, TheFirstHeadOfAPolygonStandsAtItsFirstVertex)
{
    CDrawPoly poly({0, 0, 0, 0}, nullptr);
    poly.SetPoints({{1900, 500}, {100, 500}});
    poly.SetArrowHeads(3, 0, 3, 0, false);
    const QImage image = RenderObjects({&poly}, 200, 100);
    EXPECT_TRUE(IsDark(image, 180, 47));
    EXPECT_FALSE(IsDark(image, 20, 47));
}

TEST(DrawPoly, OneVertexDrawsNothing)
{
    CDrawPoly poly({0, 0, 0, 0}, nullptr);
    poly.SetPoints({{500, 500}});
    poly.SetArrowHeads(3, 3, -1, -1, false);
    const QImage image = RenderObjects({&poly}, 100, 100);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_FALSE(IsDark(image, x, y));
}

TEST(DrawPoly, DeletingAVertexOfATriangleRemovesThePolygon)
{
    PageFixture f;
    auto* poly = new CDrawPoly({0, 0, 0, 0}, &f.page);
    poly->SetPoints({{0, 0}, {1000, 0}, {500, 800}});
    f.page.AddObject(poly);
    // The vertex under (1000, 0); the polygon is deleted and not touched after.
    poly->DeleteVertex({1000, 0}, &f.view);
    EXPECT_TRUE(f.page.GetObjects().empty());
}

TEST(DrawPoly, VerticesAreDeletedAndInsertedWithCtrl)
{
    PageFixture f;
    auto* poly = new CDrawPoly({0, 0, 0, 0}, &f.page);
    poly->SetPoints({{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}});
    f.page.AddObject(poly);
    f.view.keys = MK_CONTROL;
    EXPECT_EQ(poly->HitTestHandles({1000, 0}, &f.view, true), -1);
    EXPECT_EQ(poly->HitTestHandles({500, 0}, &f.view, true), -2);
    EXPECT_EQ(poly->HitTestHandles({500, 500}, &f.view, true), 0);
    f.view.keys = 0;
    EXPECT_EQ(poly->HitTestHandles({1000, 0}, &f.view, true), 2);
    poly->InsertVertex({500, 0}, &f.view);
    EXPECT_EQ(poly->GetPoints(), (std::vector<POINT>{{0, 0}, {500, 0}, {1000, 0}, {1000, 1000}, {0, 1000}}));
    poly->DeleteVertex({1000, 1000}, &f.view);
    EXPECT_EQ(poly->GetPoints(), (std::vector<POINT>{{0, 0}, {500, 0}, {1000, 0}, {0, 1000}}));
    ASSERT_EQ(f.page.GetObjects().size(), 1u);
    EXPECT_EQ(poly->GetPosition(), (RECT{0, 0, 1000, 1000}));
}

TEST(DrawPoly, MovingToALargerFrameStretchesTheVertices)
{
    CDrawPoly poly({0, 0, 0, 0}, nullptr);
    poly.SetPoints({{0, 0}, {100, 0}, {100, 100}});
    EXPECT_EQ(poly.GetPosition(), (RECT{0, 0, 100, 100}));
    poly.MoveTo({50, 50, 250, 250});
    EXPECT_EQ(poly.GetPoints(), (std::vector<POINT>{{50, 50}, {250, 50}, {250, 250}}));
    poly.MoveTo({60, 60, 260, 260});
    EXPECT_EQ(poly.GetPoints(), (std::vector<POINT>{{60, 60}, {260, 60}, {260, 260}}));
}

TEST(DrawPoly, DraggingAVertexCommitsTheNewFrame)
{
    FakeView view;
    CDrawPoly poly({0, 0, 0, 0}, nullptr);
    poly.SetPoints({{0, 0}, {100, 0}, {100, 100}});
    poly.DrawResizeFeedback(2, {50, 0}, &view, true, false);
    EXPECT_EQ(poly.GetSavedPoints()[1], (POINT{150, 0}));
    EXPECT_EQ(poly.GetPoints()[1], (POINT{100, 0}));
    poly.EndDrag(&view, true, false);
    EXPECT_EQ(poly.GetPoints()[1], (POINT{150, 0}));
    EXPECT_EQ(poly.GetPosition(), (RECT{0, 0, 150, 100}));
    // Moving the whole polygon moves every vertex.
    poly.DrawDragFeedback({10, 10}, &view, true);
    poly.EndDrag(&view, true, false);
    EXPECT_EQ(poly.GetPoints()[0], (POINT{10, 10}));
}

TEST(DrawRoundRect, CornerHandleDragsAreLimitedToTheBox)
{
    FakeView view;
    CDrawRoundRect r({0, 0, 400, 200}, nullptr);
    r.SavePosition();
    // Outwards past the edge: the corner size would be negative, so it is 0.
    r.MoveHandleTo(9, {300, 300}, &view);
    r.EndDrag(&view, true, false);
    EXPECT_EQ(r.GetCornerSize(), (SIZE{0, 0}));
    r.SavePosition();
    r.MoveHandleTo(9, {-1000, -1000}, &view);
    r.EndDrag(&view, true, false);
    EXPECT_EQ(r.GetCornerSize(), (SIZE{399, 199}));
}

TEST(DrawGroup, MixedFillsAnswerMixedAndASetReachesEveryMember)
{
    PageFixture f;
    auto* red = new CDrawRect({0, 100, 100, 0}, &f.page);
    auto* blue = new CDrawEllipse({200, 100, 300, 0}, &f.page);
    red->SetFillColor(0x0000FF);
    blue->SetFillColor(0xFF0000);
    CDrawGroup group({0, 0, 0, 0}, &f.page);
    group.AddChild(red);
    group.AddChild(blue);
    EXPECT_EQ(group.GetFillColor(), kMixedColour);
    group.SetFillColor(0x00FF00);
    EXPECT_EQ(red->GetFillColor(), 0x00FF00u);
    EXPECT_EQ(blue->GetFillColor(), 0x00FF00u);
    EXPECT_EQ(group.GetFillColor(), 0x00FF00u);
}

TEST(DrawGroup, AnswersComeFromTheMembersThatHaveTheSetting)
{
    PageFixture f;
    auto* line = new CDrawLine({0, 0, 100, 100}, &f.page);
    auto* rect = new CDrawRect({0, 100, 100, 0}, &f.page);
    rect->SetFillColor(0x112233);
    CDrawGroup group({0, 0, 0, 0}, &f.page);
    group.AddChild(line);
    group.AddChild(rect);
    EXPECT_EQ(group.CanFill(), 1);
    EXPECT_EQ(group.GetFillColor(), 0x112233u);
    int a = 0, b = 0, c = 0, d = 0;
    EXPECT_EQ(group.GetArrowHeads(a, b, c, d), 1);
    CDrawGroup texts({0, 0, 0, 0}, &f.page);
    texts.AddChild(new CDrawText({0, 100, 100, 0}, &f.page));
    EXPECT_EQ(texts.CanHaveLine(), 0);
    EXPECT_EQ(texts.GetLineVisible(), kNotApplicable);
}

TEST(DrawGroup, MovingMovesEveryMemberAndIgnoresSize)
{
    PageFixture f;
    auto* a = new CDrawRect({0, 100, 100, 0}, &f.page);
    auto* b = new CDrawRect({200, 300, 300, 200}, &f.page);
    a->SetLineVisible(0, false);
    b->SetLineVisible(0, false);
    CDrawGroup group({0, 0, 0, 0}, &f.page);
    group.AddChild(a);
    group.AddChild(b);
    EXPECT_EQ(group.GetPosition(), (RECT{0, 0, 300, 300}));
    group.MoveTo({50, 60, 1000, 1000});
    EXPECT_EQ(group.GetPosition(), (RECT{50, 60, 350, 360}));
    EXPECT_EQ(a->GetPosition(), (RECT{50, 160, 150, 60}));
    EXPECT_EQ(b->GetPosition(), (RECT{250, 360, 350, 260}));
}

TEST(DrawGroup, RotatingSwingsMembersAboutTheGroupCentre)
{
    PageFixture f;
    auto* a = new CDrawRect({0, 0, 100, 100}, &f.page);
    auto* b = new CDrawRect({300, 0, 400, 100}, &f.page);
    a->SetLineVisible(0, false);
    b->SetLineVisible(0, false);
    CDrawGroup group({0, 0, 0, 0}, &f.page);
    group.AddChild(a);
    group.AddChild(b);
    // Centre (200, 50). A quarter turn takes a's centre (50, 50) to (200, -100)
    // and b's (350, 50) to (200, 200).
    group.RotateBy(90);
    EXPECT_EQ(a->GetRotation(), 900);
    EXPECT_EQ(b->GetRotation(), 900);
    EXPECT_EQ(RectCentre(a->GetPosition()), (POINT{200, -100}));
    EXPECT_EQ(RectCentre(b->GetPosition()), (POINT{200, 200}));
    EXPECT_EQ(group.GetPosition(), (RECT{150, -150, 250, 250}));
    EXPECT_DOUBLE_EQ(group.GetAngle(), 90.0);
}

TEST(DrawGroup, RotatingRecomputesTheBoxOfANestedGroup)
{
    PageFixture f;
    auto* inner = new CDrawGroup({0, 0, 0, 0}, &f.page);
    auto* a = new CDrawRect({0, 0, 100, 100}, &f.page);
    auto* b = new CDrawRect({300, 0, 400, 100}, &f.page);
    a->SetLineVisible(0, false);
    b->SetLineVisible(0, false);
    inner->AddChild(a);
    inner->AddChild(b);
    CDrawGroup outer({0, 0, 0, 0}, &f.page);
    outer.AddChild(inner);
    outer.RotateBy(90);
    EXPECT_EQ(inner->GetPosition(), (RECT{150, -150, 250, 250}));
    EXPECT_EQ(outer.GetPosition(), (RECT{150, -150, 250, 250}));
}

TEST(DrawGroup, EachGroupKeepsItsOwnMergedFormat)
{
    PageFixture f;
    auto makeGroup = [&](bool bold) {
        auto* text = new CDrawText({0, 100, 1000, 0}, &f.page);
        CHARFORMAT cf;
        cf.dwMask = CFM_BOLD;
        cf.dwEffects = bold ? DWORD(CFE_BOLD) : 0u;
        text->SetCharFormat(nullptr, cf);
        auto group = std::make_unique<CDrawGroup>(RECT{0, 0, 0, 0}, &f.page);
        group->AddChild(text);
        return group;
    };
    auto boldGroup = makeGroup(true);
    auto plainGroup = makeGroup(false);
    const CHARFORMAT* bold = boldGroup->GetCharFormat(nullptr);
    const CHARFORMAT* plain = plainGroup->GetCharFormat(nullptr);
    ASSERT_NE(bold, nullptr);
    ASSERT_NE(plain, nullptr);
    EXPECT_NE(bold, plain);
    EXPECT_EQ(bold->dwEffects & CFE_BOLD, DWORD(CFE_BOLD));
    EXPECT_EQ(plain->dwEffects & CFE_BOLD, 0u);
}

TEST(DrawGroup, AMixedTextAttributeIsUndetermined)
{
    PageFixture f;
    CDrawGroup group({0, 0, 0, 0}, &f.page);
    for (bool bold : {true, false}) {
        auto* text = new CDrawText({0, 100, 1000, 0}, &f.page);
        CHARFORMAT cf;
        cf.dwMask = CFM_BOLD;
        cf.dwEffects = bold ? DWORD(CFE_BOLD) : 0u;
        text->SetCharFormat(nullptr, cf);
        group.AddChild(text);
    }
    const CHARFORMAT* merged = group.GetCharFormat(nullptr);
    ASSERT_NE(merged, nullptr);
    EXPECT_EQ(merged->dwMask & CFM_BOLD, 0u);
    EXPECT_NE(merged->dwMask & CFM_SIZE, 0u);
}

namespace {

// A member whose copy fails half-way through a group's copy.
class CUncopyableRect : public CDrawRect {
    DECLARE_SERIAL(CUncopyableRect)
public:
    CUncopyableRect() = default;
    CUncopyableRect(const RECT& r, CDrawData* page) : CDrawRect(r, page) {}
    CDrawObj* Clone(CDrawData*) override { throw std::runtime_error("out of memory"); }
};
IMPLEMENT_SERIAL(CUncopyableRect, CDrawRect, 0)

} // namespace

TEST(DrawGroup, AFailedCopyLeavesNeitherTheCopyNorItsMembersBehind)
{
    PageFixture f;
    auto* group = new CDrawGroup({0, 0, 0, 0}, &f.page);
    group->AddChild(new CDrawRect({0, 100, 100, 0}, &f.page));
    group->AddChild(new CUncopyableRect({200, 100, 300, 0}, &f.page));
    f.page.AddObject(group);
    // The first member's copy is made before the second fails: it goes with
    // the half-made group (the leak checker watches), and the page keeps
    // only what it had.
    EXPECT_THROW(group->Clone(&f.page), std::runtime_error);
    EXPECT_EQ(f.page.GetObjects(), (CDrawObjList{group}));
}
