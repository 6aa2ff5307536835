#include "draw/widgets/DrawTool.h"

#include "draw/DrawData.h"
#include "draw/DrawEllipse.h"
#include "draw/DrawLine.h"
#include "draw/DrawPoly.h"
#include "draw/DrawRect.h"
#include "draw/DrawRoundRect.h"
#include "draw/DrawText.h"
#include "draw/widgets/DrawView.h"
#include "framework/ProjectDocBase.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

std::vector<CShapeTool*>& Registry()
{
    static std::vector<CShapeTool*> tools;
    return tools;
}

int& CurrentShape()
{
    static int shape = SHAPE_SELECT;
    return shape;
}

template <class T>
CDrawObj* Make(const RECT& r, CDrawData* page, CDrawView*)
{
    return new T(r, page);
}

} // namespace

// ---------------------------------------------------------------- the base tool

CShapeTool::CShapeTool(int shape) : m_shape(shape) { Registry().push_back(this); }

CShapeTool::~CShapeTool()
{
    auto& tools = Registry();
    tools.erase(std::remove(tools.begin(), tools.end(), this), tools.end());
}

CShapeTool::DragState& CShapeTool::State()
{
    static DragState state;
    return state;
}

CShapeTool* CShapeTool::FindTool(int shape)
{
    // The tools exist once the first is asked for.
    GetPolyTool();
    for (CShapeTool* tool : Registry())
        if (tool->m_shape == shape)
            return tool;
    return nullptr;
}

int CShapeTool::GetCurrentShape() { return CurrentShape(); }

void CShapeTool::SetCurrentShape(int shape, CDrawView* view)
{
    // A polygon being drawn ends when another tool is chosen: it would
    // otherwise be left half made, still holding the mouse.
    CShapePolyTool& poly = GetPolyTool();
    if (shape != SHAPE_POLYGON && poly.GetPolygon())
        poly.Finish(nullptr);
    CurrentShape() = shape;
}

void CShapeTool::OnLButtonDown(CDrawView* view, int, QPoint point)
{
    CDrawData* page = view->GetDrawData();
    if (page && page->m_pEditObj) {
        view->EndTextEditing();
        return;
    }
    if (!view->HasCapture())
        view->BeginUndoStep();
    view->SetCapture(true);
    State().down = State().last = point;
}

void CShapeTool::OnLButtonUp(CDrawView* view, int, QPoint)
{
    const bool held = view->HasCapture();
    view->SetCapture(false);
    CurrentShape() = SHAPE_SELECT;
    if (held) {
        static constexpr UINT kTexts[] = {0, 0, IDS_UNDO_MOVE, IDS_UNDO_RESIZE, IDS_UNDO_MOVE, IDS_UNDO_RESIZE,
                                          IDS_UNDO_DRAW, IDS_UNDO_DRAW};
        const int mode = std::clamp(State().mode, 0, 7);
        view->EndUndoStep(kTexts[mode] ? kTexts[mode] : IDS_UNDO_DRAW);
    }
}

void CShapeTool::OnMouseMove(CDrawView* view, int, QPoint point)
{
    State().last = point;
    view->SetCursorShape(CURSOR_ARROW);
}

void CShapeTool::OnCancel(CDrawView*) { CurrentShape() = SHAPE_SELECT; }

void CShapeTool::OnKeyState(CDrawView* view)
{
    const int ctrl = (QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier) ? 1 : 0;
    if (ctrl == State().ctrl)
        return;
    State().ctrl = ctrl;
    OnMouseMove(view, ctrl ? int(MK_CONTROL) : 0, view->CursorClientPos());
}

// ---------------------------------------------------------------- the select tool

CShapeSelectTool& CShapeSelectTool::Instance()
{
    static CShapeSelectTool tool;
    return tool;
}

void CShapeSelectTool::OnLButtonDown(CDrawView* view, int flags, QPoint point)
{
    DragState& st = State();
    CDrawData* page = view->GetDrawData();
    st.constraint = 0;
    st.mode = DRAG_NONE;
    const POINT doc = view->ClientToDoc(point);
    const auto& selection = view->GetSelection();
    if (selection.size() == 1) {
        CDrawObj* obj = selection.front();
        const int h = obj->HitTestHandles(doc, view, true);
        if (h == -2 || h == -1) {
            view->BeginUndoStep();
            if (h == -2)
                obj->InsertVertex(doc, view);
            else
                obj->DeleteVertex(doc, view);
            view->EndUndoStep(IDS_UNDO_EDIT_VERTEX);
            return;
        }
        if (h > 0) {
            st.mode = DRAG_SIZE_ARMED;
            st.handle = h;
        }
    }
    if (st.mode == DRAG_NONE) {
        CDrawObj* hit = nullptr;
        for (CDrawObj* obj : selection)
            if (obj->HitTest(doc, view)) {
                hit = obj;
                break;
            }
        if (!hit && page)
            hit = page->ObjectAt(doc, view);
        if (hit) {
            st.mode = DRAG_MOVE_ARMED;
            if (!view->IsSelected(hit))
                view->Select(hit, (flags & MK_SHIFT) != 0);
        }
    }
    if (st.mode == DRAG_NONE && !(page && page->m_pEditObj)) {
        if (!(flags & MK_SHIFT))
            view->ClearSelection();
        st.mode = DRAG_NET;
        view->SetFocusRect(QRect(point, QSize(0, 0)));
    }
    st.downDoc = doc;
    CShapeTool::OnLButtonDown(view, flags, point);
}

void CShapeSelectTool::OnMouseMove(CDrawView* view, int flags, QPoint point)
{
    DragState& st = State();
    const auto& selection = view->GetSelection();
    if (!view->HasCapture()) {
        if (GetCurrentShape() != SHAPE_SELECT)
            return;
        const POINT doc = view->ClientToDoc(point);
        if (selection.size() == 1) {
            const int h = selection.front()->HitTestHandles(doc, view, true);
            if (h != 0) {
                view->SetCursorShape(selection.front()->GetHandleCursor(h));
                return;
            }
        }
        if (!view->CanCopySelection())
            flags &= ~int(MK_CONTROL);
        for (CDrawObj* obj : selection)
            if (obj->HitTest(doc, view)) {
                view->SetCursorShape(selection.size() == 1 ? obj->GetMoveCursor(flags)
                                     : (flags & MK_CONTROL) ? CURSOR_MOVE_COPY
                                                            : CURSOR_MOVE);
                return;
            }
        CShapeTool::OnMouseMove(view, flags, point);
        return;
    }
    if (st.mode == DRAG_NET) {
        view->SetFocusRect(QRect(st.down, point).normalized());
        CShapeTool::OnMouseMove(view, flags, point);
        return;
    }
    const POINT doc = view->ClientToDoc(point);
    POINT delta{doc.x - st.downDoc.x, doc.y - st.downDoc.y};
    if (st.mode == DRAG_MOVE_ARMED) {
        // The axis of a Shift-drag is chosen on the first move and kept.
        if (flags & MK_SHIFT)
            st.constraint = std::abs(delta.x) > std::abs(delta.y) ? 1 : 2;
        else
            st.constraint = 0;
    }
    // A copy so that an object leaving the selection while it is told does no harm.
    const std::vector<CDrawObj*> objects = selection;
    for (CDrawObj* obj : objects) {
        if (st.mode == DRAG_MOVE || st.mode == DRAG_MOVE_ARMED) {
            POINT d = delta;
            if (st.constraint == 1)
                d.y = 0;
            else if (st.constraint == 2)
                d.x = 0;
            obj->DrawDragFeedback(d, view, st.mode == DRAG_MOVE_ARMED);
        } else if (st.handle != 0) {
            obj->DrawResizeFeedback(st.handle, delta, view, st.mode == DRAG_SIZE_ARMED || st.mode == DRAG_NEW_ARMED,
                                    st.mode == DRAG_SIZE_NEW || st.mode == DRAG_NEW_ARMED);
        }
    }
    if (st.mode == DRAG_MOVE_ARMED)
        st.mode = DRAG_MOVE;
    else if (st.mode == DRAG_SIZE_ARMED)
        st.mode = DRAG_SIZE;
    else if (st.mode == DRAG_NEW_ARMED)
        st.mode = DRAG_SIZE_NEW;
    st.last = point;
    if (GetCurrentShape() != SHAPE_SELECT)
        return;
    if ((st.mode == DRAG_SIZE || st.mode == DRAG_SIZE_NEW) && !selection.empty()) {
        view->SetCursorShape(selection.front()->GetHandleCursor(st.handle));
        return;
    }
    if (!view->CanCopySelection())
        flags &= ~int(MK_CONTROL);
    const bool copy = (flags & MK_CONTROL) != 0;
    switch (st.constraint) {
    case 1: view->SetCursorShape(copy ? CURSOR_MOVE_H_COPY : CURSOR_MOVE_H); break;
    case 2: view->SetCursorShape(copy ? CURSOR_MOVE_V_COPY : CURSOR_MOVE_V); break;
    default:
        if (selection.size() == 1)
            view->SetCursorShape(selection.front()->GetMoveCursor(flags));
        else
            view->SetCursorShape(copy ? CURSOR_MOVE_COPY : CURSOR_MOVE);
        break;
    }
}

void CShapeSelectTool::DuplicateSelection(CDrawView* view)
{
    std::vector<CDrawObj*> clones;
    const std::vector<CDrawObj*> sources = view->GetSelection();
    for (CDrawObj* obj : sources) {
        if (obj->CanDuplicate())
            clones.push_back(obj->Clone(obj->GetPage()));
        // Every source stays where it was; only its copy goes where the mouse let go.
        obj->EndDrag(view, false, false);
    }
    view->ClearSelection();
    for (CDrawObj* clone : clones)
        view->Select(clone, true);
}

void CShapeSelectTool::OnLButtonUp(CDrawView* view, int flags, QPoint point)
{
    DragState& st = State();
    st.constraint = 0;
    if (!view->CanCopySelection())
        flags &= ~int(MK_CONTROL);
    if (view->HasCapture()) {
        const std::vector<CDrawObj*> selection = view->GetSelection();
        switch (st.mode) {
        case DRAG_MOVE:
            if (flags & MK_CONTROL) {
                DuplicateSelection(view);
                // Only the copies that were made land at the mouse.
                for (CDrawObj* obj : std::vector<CDrawObj*>(view->GetSelection()))
                    obj->EndDrag(view, true, false);
                st.mode = DRAG_NONE;
                view->SetCapture(false);
                CurrentShape() = SHAPE_SELECT;
                view->EndUndoStep(IDS_UNDO_DUPLICATE);
                return;
            }
            for (CDrawObj* obj : selection)
                obj->EndDrag(view, true, false);
            break;
        case DRAG_SIZE:
            if (!selection.empty())
                selection.front()->EndDrag(view, true, false);
            break;
        case DRAG_SIZE_NEW:
            if (!selection.empty())
                selection.front()->EndDrag(view, true, true);
            break;
        case DRAG_NET: {
            const QRect band = QRect(st.down, point).normalized();
            view->SetFocusRect(std::nullopt);
            view->SelectWithinRect(band, true);
            break;
        }
        default:
            break;
        }
        if (st.mode != DRAG_NONE && st.mode != DRAG_NET)
            if (CDrawData* page = view->GetDrawData())
                if (CProjectDocBase* doc = page->GetDocument())
                    doc->UpdateAllViews(view, HINT_UPDATE_WINDOW, page);
    }
    CShapeTool::OnLButtonUp(view, flags, point);
}

void CShapeSelectTool::OnLButtonDblClk(CDrawView* view, int flags, QPoint point)
{
    CDrawData* page = view->GetDrawData();
    if (flags & MK_SHIFT) {
        if (CDrawObj* obj = page ? page->ObjectAt(view->ClientToDoc(point), view) : nullptr)
            view->Deselect(obj);
        return;
    }
    const auto& selection = view->GetSelection();
    if (selection.size() == 1) {
        view->BeginUndoStep();
        CDrawObj* obj = selection.front();
        if (!view->OpenObjectSheet(obj, &point))
            obj->OnOpen(view);
        view->EndUndoStep(IDS_UNDO_PROPERTIES);
    } else if (selection.size() > 1) {
        view->OnCmdMsg(33069, nullptr);
    }
}

void CShapeSelectTool::OnCancel(CDrawView* view)
{
    DragState& st = State();
    st.constraint = 0;
    const std::vector<CDrawObj*> selection = view->GetSelection();
    switch (st.mode) {
    case DRAG_NET: view->SetFocusRect(std::nullopt); break;
    case DRAG_MOVE:
        for (CDrawObj* obj : selection)
            obj->EndDrag(view, false, false);
        break;
    case DRAG_SIZE:
        if (!selection.empty())
            selection.front()->EndDrag(view, false, false);
        break;
    case DRAG_SIZE_NEW:
        if (!selection.empty())
            selection.front()->EndDrag(view, false, true);
        break;
    default: break;
    }
    st.mode = DRAG_NONE;
    CShapeTool::OnCancel(view);
    OnKeyState(view);
}

// ---------------------------------------------------------------- the drag tools

CShapeDragTool::CShapeDragTool(int shape, Factory create) : CShapeTool(shape), m_create(std::move(create)) {}

void CShapeDragTool::OnLButtonDown(CDrawView* view, int flags, QPoint point)
{
    CShapeTool::OnLButtonDown(view, flags, point);
    CDrawData* page = view->GetDrawData();
    if (!view->HasCapture() || !page || !m_create)
        return;
    const POINT doc = view->ClientToDoc(point);
    CDrawObj* obj = m_create(RECT{doc.x, doc.y, doc.x, doc.y}, page, view);
    if (!obj)
        return;
    // Some objects put themselves on the page they are made for (a graph
    // does); a second entry would draw, store and delete it twice.
    if (page->GetObjectIndex(obj) < 0)
        page->AddObject(obj);
    view->Select(obj, false);
    DragState& st = State();
    st.mode = DRAG_NEW_ARMED;
    st.handle = 1;
    st.downDoc = doc;
}

void CShapeDragTool::OnMouseMove(CDrawView* view, int flags, QPoint point)
{
    view->SetCursorShape(CURSOR_SHAPE);
    CShapeSelectTool::Instance().OnMouseMove(view, flags, point);
    if (view->HasCapture() || GetCurrentShape() != SHAPE_SELECT)
        view->SetCursorShape(CURSOR_SHAPE);
}

void CShapeDragTool::OnLButtonUp(CDrawView* view, int flags, QPoint point)
{
    if (view->HasCapture() && point == State().down && !view->GetSelection().empty()) {
        // A click without a drag places nothing: it selects instead.
        CDrawObj* made = view->GetSelection().back();
        view->RemoveFromSelection(made);
        made->Remove();
        State().mode = DRAG_NONE;
        view->SetCapture(false);
        view->EndUndoStep(IDS_UNDO_DRAW);
        CShapeSelectTool::Instance().OnLButtonDown(view, flags, point);
    } else if (m_placed && view->HasCapture() && !view->GetSelection().empty() &&
               (State().mode == DRAG_SIZE_NEW || State().mode == DRAG_NEW_ARMED)) {
        CDrawObj* marker = view->GetSelection().back();
        marker->EndDrag(view, true, true);
        const RECT rect = marker->GetPosition();
        view->RemoveFromSelection(marker);
        marker->Remove();
        State().mode = DRAG_NONE;
        view->SetCapture(false);
        CurrentShape() = SHAPE_SELECT;
        // The marker came and went within the step: the page is as it was.
        view->EndUndoStep(IDS_UNDO_DRAW);
        m_placed(view, rect);
        return;
    }
    CShapeSelectTool::Instance().OnLButtonUp(view, flags, point);
}

void CShapeDragTool::OnCancel(CDrawView* view)
{
    CurrentShape() = SHAPE_SELECT;
    if (view->HasCapture() && !view->GetSelection().empty()) {
        CDrawObj* made = view->GetSelection().front();
        made->EndDrag(view, true, true);
        view->RemoveFromSelection(made);
        made->Remove();
        if (CDrawData* page = view->GetDrawData())
            page->BroadcastHint(HINT_UPDATE_WINDOW);
    }
    State().mode = DRAG_NONE;
}

// ---------------------------------------------------------------- the polygon tool

void CShapePolyTool::OnLButtonDown(CDrawView* view, int flags, QPoint point)
{
    CShapeTool::OnLButtonDown(view, flags, point);
    CDrawData* page = view->GetDrawData();
    if (!view->HasCapture() || !page)
        return;
    const POINT doc = view->ClientToDoc(point);
    if (!m_pPoly) {
        m_pPoly = new CDrawPoly(RECT{doc.x, doc.y, doc.x, doc.y}, page);
        m_pView = view;
        page->AddObject(m_pPoly);
        view->Select(m_pPoly, false);
        m_pPoly->AddPoint(doc, view);
        State().mode = DRAG_NEW_ARMED;
    }
    // The last vertex follows the mouse until the next click fixes it.
    m_pPoly->AddPoint(POINT{doc.x + 1, doc.y}, view);
    State().handle = m_pPoly->GetHandleCount();
    State().downDoc = doc;
}

void CShapePolyTool::OnMouseMove(CDrawView* view, int flags, QPoint point)
{
    if (m_pPoly && (flags & MK_LBUTTON)) {
        CShapeSelectTool::Instance().OnMouseMove(view, flags, point);
        // Every move with the button held adds a vertex: drawing freehand.
        OnLButtonDown(view, flags, point);
        view->SetCursorShape(CURSOR_POLY_DRAW);
        return;
    }
    CShapeSelectTool::Instance().OnMouseMove(view, flags, point);
    view->SetCursorShape(CURSOR_SHAPE);
}

void CShapePolyTool::Finish(CDrawView* view)
{
    if (!view)
        view = m_pView;
    CDrawPoly* poly = m_pPoly;
    m_pPoly = nullptr;
    m_pView = nullptr;
    CurrentShape() = SHAPE_SELECT;
    if (!poly || !view)
        return;
    const bool held = view->HasCapture();
    view->SetCapture(false);
    if (poly->GetHandleCount() > 2)
        poly->DropLastPoint();
    poly->EndDrag(view, true, true);
    State().mode = DRAG_NONE;
    if (CDrawData* page = view->GetDrawData())
        page->BroadcastHint(HINT_UPDATE_WINDOW);
    if (held)
        view->EndUndoStep(IDS_UNDO_DRAW);
}

void CShapePolyTool::OnLButtonDblClk(CDrawView* view, int, QPoint) { Finish(view); }

void CShapePolyTool::OnCancel(CDrawView* view)
{
    CurrentShape() = SHAPE_SELECT;
    CDrawPoly* poly = m_pPoly;
    m_pPoly = nullptr;
    m_pView = nullptr;
    State().mode = DRAG_NONE;
    if (!poly)
        return;
    poly->EndDrag(view, true, true);
    view->RemoveFromSelection(poly);
    poly->Remove();
    if (CDrawData* page = view->GetDrawData())
        page->BroadcastHint(HINT_UPDATE_WINDOW);
}

void CShapePolyTool::Forget(CDrawView* view)
{
    if (m_pView == view) {
        m_pPoly = nullptr;
        m_pView = nullptr;
    }
}

// ---------------------------------------------------------------- the tools

CShapePolyTool& GetPolyTool()
{
    // Made together, in shape order, the first time any is asked for.
    static CShapeSelectTool& select = CShapeSelectTool::Instance();
    static CShapeDragTool line(SHAPE_LINE, Make<CDrawLine>);
    static CShapeDragTool rect(SHAPE_RECT, Make<CDrawRect>);
    static CShapeDragTool roundRect(SHAPE_ROUNDRECT, Make<CDrawRoundRect>);
    static CShapeDragTool ellipse(SHAPE_ELLIPSE, Make<CDrawEllipse>);
    static CShapePolyTool poly;
    static CShapeDragTool text(SHAPE_TEXT, Make<CDrawText>);
    static CShapeDragTool graph(SHAPE_GRAPH, nullptr);
    (void)select;
    return poly;
}

CShapeDragTool* GetDragTool(int shape) { return dynamic_cast<CShapeDragTool*>(CShapeTool::FindTool(shape)); }
