// The drawing view as the user drives it: mapping and zoom, every tool,
// the object, colour and text commands, the clipboard, drops, in-place text
// and undo.
#include "DrawViewFixture.h"

#include "draw/DrawEllipse.h"
#include "draw/DrawGroup.h"
#include "draw/DrawLine.h"
#include "draw/DrawPoly.h"
#include "draw/DrawRect.h"
#include "draw/DrawSrvrItem.h"
#include "draw/DrawText.h"
#include "draw/widgets/DrawCommands.h"
#include "draw/widgets/TextEditCtrl.h"
#include "platform/Clipboard.h"
#include "platform/widgets/CommandIds.h"

#include <QApplication>
#include <QMenu>
#include <QMimeData>
#include <QTextCursor>

#include <gtest/gtest.h>

namespace {

// A rectangle that refuses to be duplicated by a Ctrl-drag.
class CSingleRect : public CDrawRect {
    DECLARE_SERIAL(CSingleRect)
public:
    CSingleRect() = default;
    CSingleRect(const RECT& r, CDrawData* page) : CDrawRect(r, page) {}
    int CanDuplicate() override { return 0; }
};
IMPLEMENT_SERIAL(CSingleRect, CDrawRect, 0)

CDrawRect* AddRect(CDrawData& page, const RECT& r)
{
    auto* rect = new CDrawRect(r, &page);
    page.AddObject(rect);
    return rect;
}

} // namespace

TEST(DrawView, DevicePointsGoToThePageAndBackUnchangedAtEveryZoom)
{
    ViewFixture f;
    for (int zoom : {5, 25, 33, 75, 100, 150, 333, 600}) {
        f.view->SetZoom(zoom);
        for (int x = -3; x < 800; x += 37)
            for (int y = -5; y < 600; y += 41) {
                const QPoint c(x, y);
                ASSERT_EQ(f.view->DocToClient(f.view->ClientToDoc(c)), c) << zoom << " " << x << "," << y;
            }
    }
}

TEST(DrawView, ZoomIsKeptWithinFiveAndSixHundred)
{
    ViewFixture f;
    f.view->SetZoom(2);
    EXPECT_EQ(f.view->GetZoom(), 5);
    f.view->SetZoom(1000);
    EXPECT_EQ(f.view->GetZoom(), 600);
    f.view->SetZoom(100);
    // 720 page units are an inch: 96 pixels on a 96 dpi screen.
    const QPoint a = f.view->DocToClient(POINT{0, 0}), b = f.view->DocToClient(POINT{720, -720});
    EXPECT_EQ(b - a, QPoint(f.view->logicalDpiX(), f.view->logicalDpiY()));
    EXPECT_TRUE(f.Query(ID_DRAW_ZOOM_25 + 3).m_checked.value_or(false));
    f.view->SetZoom(110);
    EXPECT_TRUE(f.Query(ID_DRAW_ZOOM_CUSTOM).m_checked.value_or(false));
    EXPECT_FALSE(f.Query(ID_DRAW_ZOOM_25 + 3).m_checked.value_or(true));
}

TEST(DrawView, TheRectangleToolDrawsOneRectangleAndReturnsToSelect)
{
    ViewFixture f;
    f.Command(ID_DRAW_RECT);
    EXPECT_EQ(CShapeTool::GetCurrentShape(), SHAPE_RECT);
    f.Drag({300, -300}, {1500, -1200});
    ASSERT_EQ(f.page.GetObjects().size(), 1u);
    auto* rect = dynamic_cast<CDrawRect*>(f.page.GetObjects()[0]);
    ASSERT_NE(rect, nullptr);
    const POINT a = f.view->ClientToDoc(f.At({300, -300})), b = f.view->ClientToDoc(f.At({1500, -1200}));
    EXPECT_EQ(NormalizedRect(rect->GetPosition()), NormalizedRect(RECT{a.x, a.y, b.x, b.y}));
    EXPECT_EQ(CShapeTool::GetCurrentShape(), SHAPE_SELECT);
    EXPECT_EQ(f.view->GetSelection(), (std::vector<CDrawObj*>{rect}));
    // One undo step takes it away again, one redo brings it back.
    EXPECT_TRUE(f.actions.CanUndo());
    f.actions.Undo();
    EXPECT_TRUE(f.page.GetObjects().empty());
    EXPECT_TRUE(f.view->GetSelection().empty());
    f.actions.Redo();
    EXPECT_EQ(f.page.GetObjects().size(), 1u);
}

TEST(DrawView, AClickWithAShapeToolCreatesNothingAndSelects)
{
    ViewFixture f;
    CDrawRect* rect = AddRect(f.page, {0, 0, 1000, -1000});
    f.Command(ID_DRAW_ELLIPSE);
    f.Press({500, -500});
    f.Release({500, -500});
    ASSERT_EQ(f.page.GetObjects().size(), 1u);
    EXPECT_EQ(f.view->GetSelection(), (std::vector<CDrawObj*>{rect}));
    EXPECT_FALSE(f.actions.CanUndo());
}

TEST(DrawView, DraggingMovesTheSelection)
{
    ViewFixture f;
    CDrawRect* rect = AddRect(f.page, {0, 0, 1000, -1000});
    const POINT from = f.view->ClientToDoc(f.At({500, -500})), to = f.view->ClientToDoc(f.At({800, -900}));
    f.Drag({500, -500}, {800, -900});
    const int dx = to.x - from.x, dy = to.y - from.y;
    EXPECT_EQ(rect->GetPosition(), (RECT{dx, dy, 1000 + dx, -1000 + dy}));
    f.actions.Undo();
    EXPECT_EQ(f.page.GetObjects()[0]->GetPosition(), (RECT{0, 0, 1000, -1000}));
}

TEST(DrawView, AShiftDragKeepsToTheAxisOfTheFirstMovement)
{
    ViewFixture f;
    CDrawRect* rect = AddRect(f.page, {0, 0, 1000, -1000});
    f.Press({500, -500}, Qt::ShiftModifier);
    f.Move({800, -520}, Qt::ShiftModifier);  // mostly across: horizontal
    f.Move({900, -1500}, Qt::ShiftModifier); // later movement down is ignored
    f.Release({900, -1500}, Qt::ShiftModifier);
    EXPECT_EQ(rect->GetPosition().top, 0);
    EXPECT_GT(rect->GetPosition().left, 300);
}

TEST(DrawView, ACtrlDragCopiesOnlyWhatCanBeDuplicated)
{
    ViewFixture f;
    CDrawRect* copyable = AddRect(f.page, {0, 0, 1000, -1000});
    auto* single = new CSingleRect({2000, 0, 3000, -1000}, &f.page);
    f.page.AddObject(single);
    f.view->Select(copyable);
    f.view->Select(single, true);
    f.Drag({500, -500}, {500, -2500}, Qt::ControlModifier);
    // The sources stay; one copy, of the copyable rectangle, lands where the mouse let go.
    ASSERT_EQ(f.page.GetObjects().size(), 3u);
    EXPECT_EQ(copyable->GetPosition(), (RECT{0, 0, 1000, -1000}));
    EXPECT_EQ(single->GetPosition(), (RECT{2000, 0, 3000, -1000}));
    CDrawObj* copy = f.page.GetObjects()[2];
    EXPECT_TRUE(copy->IsKindOf(RUNTIME_CLASS(CDrawRect)));
    EXPECT_FALSE(copy->IsKindOf(RUNTIME_CLASS(CSingleRect)));
    EXPECT_LT(copy->GetPosition().top, -1500);
    EXPECT_EQ(f.view->GetSelection(), (std::vector<CDrawObj*>{copy}));
}

TEST(DrawView, TheRubberBandSelectsShownObjectsWhollyInside)
{
    ViewFixture f;
    CDrawRect* inside = AddRect(f.page, {200, -200, 600, -600});
    CDrawRect* across = AddRect(f.page, {900, -200, 2500, -600});
    CDrawRect* hidden = AddRect(f.page, {300, -300, 400, -400});
    hidden->SetDisplayOption(0);
    f.view->Select(across);
    f.Drag({100, -100}, {1500, -1500});
    EXPECT_EQ(f.view->GetSelection(), (std::vector<CDrawObj*>{inside}));
    EXPECT_FALSE(f.view->GetFocusRect().has_value());
}

TEST(DrawView, ResizingByAHandleAndEscapeDuringAResize)
{
    ViewFixture f;
    CDrawRect* rect = AddRect(f.page, {0, 0, 1500, -1500});
    f.view->Select(rect);
    // Handle 5 is the (right, bottom) corner.
    f.Drag({1500, -1500}, {2000, -2000});
    const RECT r = rect->GetPosition();
    EXPECT_NEAR(r.right, 2000, 8);
    EXPECT_NEAR(r.bottom, -2000, 8);
    EXPECT_EQ(r.left, 0);
    const RECT before = rect->GetPosition();
    f.Press({r.right, r.bottom});
    f.Move({2500, -2500});
    QTest::keyClick(f.view.get(), Qt::Key_Escape);
    EXPECT_EQ(rect->GetPosition(), before);
    EXPECT_FALSE(f.view->HasCapture());
}

TEST(DrawView, EscapeWhileANewObjectIsDrawnDeletesIt)
{
    ViewFixture f;
    f.Command(ID_DRAW_LINE);
    f.Press({100, -100});
    f.Move({900, -900});
    QTest::keyClick(f.view.get(), Qt::Key_Escape);
    EXPECT_TRUE(f.page.GetObjects().empty());
    EXPECT_TRUE(f.view->GetSelection().empty());
    EXPECT_EQ(CShapeTool::GetCurrentShape(), SHAPE_SELECT);
}

TEST(DrawView, APolygonGrowsByClicksAndEndsOnADoubleClick)
{
    ViewFixture f;
    f.Command(ID_DRAW_POLYGON);
    const POINT clicks[] = {{100, -100}, {1500, -100}, {1500, -1500}};
    for (const POINT& p : clicks) {
        f.Press(p);
        f.Release(p);
        f.Move(p, {}, Qt::NoButton);
    }
    QTest::mouseDClick(f.Port(), Qt::LeftButton, {}, f.At(clicks[2]));
    f.Release(clicks[2]);
    ASSERT_EQ(f.page.GetObjects().size(), 1u);
    auto* poly = dynamic_cast<CDrawPoly*>(f.page.GetObjects()[0]);
    ASSERT_NE(poly, nullptr);
    // The three clicked points; the floating last vertex is dropped.
    ASSERT_EQ(poly->GetPoints().size(), 3u);
    EXPECT_EQ(CShapeTool::GetCurrentShape(), SHAPE_SELECT);
    EXPECT_FALSE(f.view->HasCapture());
}

TEST(DrawView, ChoosingAnotherToolEndsThePolygonBeingDrawn)
{
    ViewFixture f;
    f.Command(ID_DRAW_POLYGON);
    for (const POINT& p : {POINT{100, -100}, POINT{1500, -100}, POINT{1500, -1500}}) {
        f.Press(p);
        f.Release(p);
    }
    ASSERT_NE(GetPolyTool().GetPolygon(), nullptr);
    f.Command(ID_DRAW_RECT);
    EXPECT_EQ(GetPolyTool().GetPolygon(), nullptr);
    EXPECT_FALSE(f.view->HasCapture());
    ASSERT_EQ(f.page.GetObjects().size(), 1u);
    EXPECT_EQ(CShapeTool::GetCurrentShape(), SHAPE_RECT);
    // A new drag draws a rectangle; the polygon is finished and stays.
    f.Drag({2000, -2000}, {2500, -2500});
    EXPECT_EQ(f.page.GetObjects().size(), 2u);
}

TEST(DrawView, ZOrderCommandsMoveTheFirstSelectedObject)
{
    ViewFixture f;
    CDrawRect* a = AddRect(f.page, {0, 0, 100, -100});
    CDrawRect* b = AddRect(f.page, {0, 0, 100, -100});
    CDrawRect* c = AddRect(f.page, {0, 0, 100, -100});
    f.view->Select(a);
    f.doc.SetModifiedFlag(false);
    f.Command(ID_OBJECT_MOVE_BACK);
    EXPECT_FALSE(f.doc.IsModified());
    EXPECT_FALSE(f.actions.CanUndo());
    f.Command(ID_OBJECT_MOVE_TO_FRONT);
    EXPECT_EQ(f.page.GetObjects(), (CDrawObjList{b, c, a}));
    f.Command(ID_OBJECT_MOVE_BACK);
    EXPECT_EQ(f.page.GetObjects(), (CDrawObjList{b, a, c}));
    f.view->Select(b, true);
    EXPECT_FALSE(f.Query(ID_OBJECT_MOVE_FORWARD).m_enabled.value_or(true));
}

TEST(DrawView, AlignmentTakesTheLastSelectedObjectAsReference)
{
    ViewFixture f;
    CDrawRect* a = AddRect(f.page, {0, 0, 100, -100});
    CDrawRect* b = AddRect(f.page, {500, 0, 700, -100});
    CDrawRect* c = AddRect(f.page, {1000, 0, 1100, -100});
    for (CDrawRect* r : {a, b, c})
        r->SetLineVisible(0, false);
    f.view->Select(a);
    f.view->Select(b, true);
    f.view->Select(c, true);
    f.Command(ID_ALIGN_RIGHT);
    EXPECT_EQ(a->GetBounds().right, 1100);
    EXPECT_EQ(b->GetBounds().right, 1100);
    EXPECT_EQ(c->GetPosition(), (RECT{1000, 0, 1100, -100}));
}

TEST(DrawView, GroupKeepsThePageOrderAndUngroupGivesTheMembersBack)
{
    ViewFixture f;
    CDrawRect* below = AddRect(f.page, {0, 0, 100, -100});
    CDrawRect* other = AddRect(f.page, {300, 0, 400, -100});
    CDrawRect* above = AddRect(f.page, {200, 0, 300, -100});
    // Selected top first: the group still stacks them as the page did.
    f.view->Select(above);
    f.view->Select(below, true);
    f.Command(ID_OBJECT_GROUP);
    ASSERT_EQ(f.page.GetObjects().size(), 2u);
    auto* group = dynamic_cast<CDrawGroup*>(f.page.GetObjects()[1]);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->GetChildren(), (CDrawObjList{below, above}));
    EXPECT_EQ(f.view->GetSelection(), (std::vector<CDrawObj*>{group}));
    EXPECT_EQ(f.page.GetObjects()[0], other);
    f.Command(ID_OBJECT_UNGROUP);
    EXPECT_EQ(f.page.GetObjects(), (CDrawObjList{other, below, above}));
    EXPECT_EQ(f.view->GetSelection(), (std::vector<CDrawObj*>{below, above}));
    f.actions.Undo();
    f.actions.Undo();
    EXPECT_EQ(f.page.GetObjects().size(), 3u);
}

TEST(DrawView, LineColourMakesAnInvisibleLineSolid)
{
    ViewFixture f;
    CDrawRect* rect = AddRect(f.page, {0, 0, 100, -100});
    rect->SetLineStyle(PS_NULL, -1, false);
    f.view->Select(rect);
    CDrawView::SetColourChooser([](QWidget*, COLORREF, COLORREF& chosen) {
        chosen = 0x0000FF;
        return true;
    });
    f.Command(ID_OBJECT_LINE_COLOR);
    CDrawView::SetColourChooser({});
    int style = 0, width = 0;
    rect->GetLineStyle(style, width);
    EXPECT_EQ(style, PS_SOLID);
    EXPECT_EQ(rect->GetLineColor(), 0x0000FFu);
}

TEST(DrawView, ThePaletteSetsThePageDefaultsWithNothingSelected)
{
    ViewFixture f;
    f.Command(ID_COLOR_TARGET_FILL);
    const UINT red = ID_COLOR_FIRST + 4; // Red 0x0000FF
    f.Command(red);
    EXPECT_EQ(f.page.GetDefaultFillColor(), 0x0000FFu);
    EXPECT_EQ(f.page.GetDefaultFillOn(), 1);
    EXPECT_TRUE(f.Query(red).m_checked.value_or(false));
    f.Command(ID_COLOR_ON_OFF);
    EXPECT_EQ(f.page.GetDefaultFillOn(), 0);
    f.Command(ID_COLOR_TARGET_TEXT);
    EXPECT_FALSE(f.Query(ID_COLOR_ON_OFF).m_enabled.value_or(true));
    // With a selection, the palette marks the colour every selected object shares.
    CDrawRect* rect = AddRect(f.page, {0, 0, 100, -100});
    f.Command(ID_COLOR_TARGET_FILL);
    f.view->Select(rect);
    f.Command(red);
    EXPECT_EQ(rect->GetFillColor(), 0x0000FFu);
    EXPECT_EQ(rect->GetFillStyle(), 1);
    EXPECT_TRUE(f.Query(red).m_checked.value_or(false));
}

TEST(DrawView, MergedFormatsOfASelectionLeaveDifferencesUndetermined)
{
    ViewFixture f;
    auto* bold = new CDrawText({0, 0, 2000, -500}, &f.page);
    auto* plain = new CDrawText({0, -1000, 2000, -1500}, &f.page);
    f.page.AddObject(bold);
    f.page.AddObject(plain);
    f.view->Select(bold);
    f.Command(ID_FORMAT_BOLD);
    EXPECT_TRUE(f.Query(ID_FORMAT_BOLD).m_checked.value_or(false));
    f.view->Select(plain, true);
    const CHARFORMAT merged = f.view->GetCurrentCharFormat();
    EXPECT_EQ(merged.dwMask & CFM_BOLD, 0u);
    EXPECT_FALSE(f.Query(ID_FORMAT_BOLD).m_checked.value_or(true));
    // Bold over a partly bold selection sets it on all.
    f.Command(ID_FORMAT_BOLD);
    EXPECT_EQ(plain->GetCharFormat(nullptr)->dwEffects & CFE_BOLD, DWORD(CFE_BOLD));
    EXPECT_EQ(bold->GetCharFormat(nullptr)->dwEffects & CFE_BOLD, DWORD(CFE_BOLD));
}

TEST(DrawView, CopyAndPasteThroughTheDrawingFormat)
{
    ViewFixture f;
    MemoryClipboard clipboard;
    CDrawRect* rect = AddRect(f.page, {0, 0, 1000, -1000});
    CDrawRect* hidden = AddRect(f.page, {0, 0, 500, -500});
    f.view->Select(rect);
    f.view->Select(hidden, true);
    hidden->SetDisplayOption(0); // leaves the selection
    f.Command(ID_EDIT_COPY);
    for (const char* format : {kDrawingFormat, kSvgFormat, kPdfFormat, kPngFormat})
        EXPECT_TRUE(clipboard.HasFormat(format)) << format;
    // Only shown, selected objects travel.
    CDrawObjList travelled = CDrawSrvrItem::LoadObjectList(clipboard.GetData(kDrawingFormat), nullptr, nullptr);
    EXPECT_EQ(travelled.size(), 1u);
    for (CDrawObj* obj : travelled)
        obj->Delete();
    ViewFixture g;
    EXPECT_TRUE(g.Query(ID_EDIT_PASTE).m_enabled.value_or(false));
    g.Command(ID_EDIT_PASTE);
    ASSERT_EQ(g.page.GetObjects().size(), 1u);
    EXPECT_EQ(g.page.GetObjects()[0]->GetPosition(), (RECT{0, 0, 1000, -1000}));
    EXPECT_EQ(g.page.GetObjects()[0]->GetPage(), &g.page);
    EXPECT_EQ(g.view->GetSelection(), (std::vector<CDrawObj*>{g.page.GetObjects()[0]}));
}

TEST(DrawView, PastedHiddenObjectsJoinThePageUnselected)
{
    ViewFixture f;
    MemoryClipboard clipboard;
    CDrawRect hidden({0, 0, 100, -100}, nullptr);
    hidden.SetDisplayOption(0);
    CDrawRect shown({0, 0, 200, -200}, nullptr);
    clipboard.formats[kDrawingFormat] = CDrawSrvrItem::StoreObjectList({&hidden, &shown}, nullptr);
    f.Command(ID_EDIT_PASTE);
    ASSERT_EQ(f.page.GetObjects().size(), 2u);
    EXPECT_EQ(f.view->GetSelection(), (std::vector<CDrawObj*>{f.page.GetObjects()[1]}));
}

TEST(DrawView, DamagedDrawingDataAddsNothing)
{
    ViewFixture f;
    MemoryClipboard clipboard;
    CDrawRect a({0, 0, 100, -100}, nullptr);
    CDrawRect b({0, 0, 200, -200}, nullptr);
    std::vector<BYTE> bytes = CDrawSrvrItem::StoreObjectList({&a, &b}, nullptr);
    bytes.resize(bytes.size() - 10);
    clipboard.formats[kDrawingFormat] = bytes;
    f.Command(ID_EDIT_PASTE);
    EXPECT_TRUE(f.page.GetObjects().empty());
    EXPECT_FALSE(f.actions.CanUndo());
}

TEST(DrawView, ClearAndCutTakeTheSelectionAway)
{
    ViewFixture f;
    MemoryClipboard clipboard;
    CDrawRect* a = AddRect(f.page, {0, 0, 100, -100});
    AddRect(f.page, {200, 0, 300, -100});
    f.view->Select(a);
    f.Command(ID_EDIT_CUT);
    EXPECT_EQ(f.page.GetObjects().size(), 1u);
    EXPECT_TRUE(f.view->GetSelection().empty());
    EXPECT_TRUE(clipboard.HasFormat(kDrawingFormat));
    f.Command(ID_EDIT_SELECT_ALL);
    f.Command(ID_EDIT_CLEAR);
    EXPECT_TRUE(f.page.GetObjects().empty());
    f.actions.Undo();
    EXPECT_EQ(f.page.GetObjects().size(), 1u);
}

TEST(DrawView, DropsAddTheDraggedObjectsAndSayWhenNothingCame)
{
    ViewFixture f;
    CDrawRect rect({0, 0, 500, -500}, nullptr);
    auto drop = [&](const QByteArray& bytes, Qt::KeyboardModifiers keys) {
        QMimeData data;
        data.setData(kDrawingFormat, bytes);
        const QPointF at(f.At({1000, -1000}));
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, keys);
        QApplication::sendEvent(f.Port(), &enter);
        QDropEvent event(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, keys);
        QApplication::sendEvent(f.Port(), &event);
        return event.isAccepted();
    };
    const std::vector<BYTE> good = CDrawSrvrItem::StoreObjectList({&rect}, nullptr);
    const QByteArray bytes(reinterpret_cast<const char*>(good.data()), qsizetype(good.size()));
    EXPECT_FALSE(drop(bytes, Qt::ControlModifier | Qt::ShiftModifier));
    EXPECT_TRUE(f.page.GetObjects().empty());
    EXPECT_FALSE(drop(bytes.left(bytes.size() - 6), {}));
    EXPECT_TRUE(f.page.GetObjects().empty());
    EXPECT_TRUE(drop(bytes, {}));
    ASSERT_EQ(f.page.GetObjects().size(), 1u);
    // The object's upper-left corner lands at the drop point.
    const POINT at = f.view->ClientToDoc(f.At({1000, -1000}));
    const RECT r = NormalizedRect(f.page.GetObjects()[0]->GetBounds());
    EXPECT_EQ(r.left, at.x);
    EXPECT_EQ(r.bottom, at.y);
}

TEST(DrawView, TheTextToolEditsInPlaceAndKeepsTheText)
{
    ViewFixture f;
    f.Command(ID_DRAW_TEXT);
    f.Drag({300, -300}, {3000, -800});
    ASSERT_EQ(f.page.GetObjects().size(), 1u);
    auto* text = dynamic_cast<CDrawText*>(f.page.GetObjects()[0]);
    ASSERT_NE(text, nullptr);
    ASSERT_TRUE(text->IsEditing());
    CTextEditCtrl* editor = f.view->GetTextEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
    QTest::keyClicks(editor, "Rate");
    // While the text is edited the editor answers the commands.
    EXPECT_FALSE(f.Query(ID_COLOR_TARGET_FILL).m_enabled.value_or(true));
    EXPECT_TRUE(f.Query(ID_COLOR_TARGET_TEXT).m_checked.value_or(false));
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_FALSE(text->IsEditing());
    EXPECT_EQ(text->GetText(), "Rate");
    EXPECT_EQ(f.page.m_pEditObj, nullptr);
}

TEST(DrawView, DeleteWithoutASelectionRemovesTheNextCharacter)
{
    ViewFixture f;
    auto* text = new CDrawText({0, 0, 3000, -500}, &f.page);
    f.page.AddObject(text);
    text->ReplaceText(nullptr, "abc", false);
    f.view->Select(text);
    f.Command(ID_OBJECT_EDIT_TEXT);
    CTextEditCtrl* editor = f.view->GetTextEditor();
    ASSERT_NE(editor, nullptr);
    QTextCursor cursor = editor->textCursor();
    cursor.setPosition(1);
    editor->setTextCursor(cursor);
    f.Command(ID_EDIT_CLEAR);
    f.Command(ID_CANCEL_EDIT);
    EXPECT_EQ(text->GetText(), "ac");
}

TEST(DrawView, HintsOfAnotherPageAreIgnored)
{
    ViewFixture f;
    CDrawRect* rect = AddRect(f.page, {0, 0, 100, -100});
    f.view->Select(rect);
    CDrawData other;
    other.SetHintObject(rect);
    f.view->OnUpdate(nullptr, HINT_OBJECT_REMOVED, &other);
    EXPECT_EQ(f.view->GetSelection().size(), 1u);
    f.page.RemoveObject(rect);
    EXPECT_TRUE(f.view->GetSelection().empty());
    rect->Delete();
}

TEST(DrawView, PropertiesOfSeveralObjectsOpenTheMultipleSelectionSheet)
{
    ViewFixture f;
    CDrawRect* a = AddRect(f.page, {0, 0, 100, -100});
    CDrawRect* b = AddRect(f.page, {200, 0, 300, -100});
    f.view->Select(a);
    f.Command(ID_OBJECT_PROPERTIES);
    f.view->Select(b, true);
    f.Command(ID_OBJECT_PROPERTIES);
    ASSERT_EQ(f.view->sheets.size(), 2u);
    EXPECT_EQ(f.view->sheets[0].first, "Rectangle Properties");
    EXPECT_EQ(f.view->sheets[1].first, "Properties (Multiple Selection)");
    EXPECT_EQ(f.view->sheets[1].second, 255);
}

TEST(DrawView, ContextMenusFollowWhatIsUnderTheMouse)
{
    ViewFixture f;
    CDrawRect* rect = AddRect(f.page, {0, 0, 1000, -1000});
    std::unique_ptr<QMenu> background(f.view->BuildContextMenu(f.At({4000, -4000})));
    ASSERT_TRUE(background);
    EXPECT_EQ(background->actions().size(), 3);
    std::unique_ptr<QMenu> object(f.view->BuildContextMenu(f.At({500, -500})));
    EXPECT_EQ(f.view->GetSelection(), (std::vector<CDrawObj*>{rect}));
    ASSERT_TRUE(object);
    EXPECT_EQ(object->actions().front()->data().toUInt(), ID_OBJECT_PROPERTIES);
}

// A tool whose objects put themselves on the page (as graphs do) leaves
// each on the page once.
TEST(DrawView, AnObjectThatAddsItselfIsOnThePageOnce)
{
    ViewFixture f;
    CShapeDragTool* tool = GetDragTool(SHAPE_GRAPH);
    ASSERT_NE(tool, nullptr);
    tool->SetFactory([](const RECT& rect, CDrawData* page, CDrawView*) -> CDrawObj* {
        auto* obj = new CDrawRect(rect, page);
        page->AddObject(obj);
        return obj;
    });
    CShapeTool::SetCurrentShape(SHAPE_GRAPH, f.view.get());
    f.Drag({200, -200}, {1200, -1200});
    tool->SetFactory(nullptr);
    CShapeTool::SetCurrentShape(SHAPE_SELECT, f.view.get());
    ASSERT_EQ(f.page.GetObjects().size(), 1u);
    const RECT r = NormalizedRect(f.page.GetObjects().front()->GetPosition());
    EXPECT_GT(r.right - r.left, 500);
}
