#include "draw/widgets/DrawView.h"

#include "draw/DrawDC.h"
#include "draw/DrawData.h"
#include "draw/DrawGroup.h"
#include "draw/DrawOleObj.h"
#include "draw/DrawPageAction.h"
#include "draw/DrawSrvrItem.h"
#include "draw/DrawTextBase.h"
#include "draw/FormatMerge.h"
#include "draw/widgets/DrawCommands.h"
#include "draw/widgets/DrawTool.h"
#include "draw/widgets/TextEditCtrl.h"
#include "framework/ActionList.h"
#include "framework/ProjectDocBase.h"
#include "grid/widgets/MagnificationDlg.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "platform/widgets/CommandIds.h"

#include <QColorDialog>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDrag>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
// The scrollable area: page x from -5000 to 12000 and y from 5000 down to -12000.
constexpr int kScrollOrigin = 5000;
constexpr int kScrollExtent = 17000;
constexpr int kZoomSteps[] = {25, 50, 75, 100, 120, 150, 200};

QColor ToColour(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }

CDrawView::ColourChooser& ColourSeam()
{
    static CDrawView::ColourChooser chooser;
    return chooser;
}

CDrawView::ZoomChooser& ZoomSeam()
{
    static CDrawView::ZoomChooser chooser;
    return chooser;
}

double RoundHalfUp(double v) { return std::floor(v + 0.5); }

int MouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    return (buttons & Qt::LeftButton ? int(MK_LBUTTON) : 0) | (buttons & Qt::RightButton ? int(MK_RBUTTON) : 0)
        | (modifiers & Qt::ShiftModifier ? int(MK_SHIFT) : 0) | (modifiers & Qt::ControlModifier ? int(MK_CONTROL) : 0);
}

Qt::CursorShape CursorFor(int id)
{
    switch (id) {
    case CURSOR_SIZE_WE: return Qt::SizeHorCursor;
    case CURSOR_SIZE_NS: return Qt::SizeVerCursor;
    case CURSOR_SIZE_NWSE: return Qt::SizeFDiagCursor;
    case CURSOR_SIZE_NESW: return Qt::SizeBDiagCursor;
    case CURSOR_SHAPE:
    case CURSOR_CROSS:
    case CURSOR_POLY_DRAW: return Qt::CrossCursor;
    case CURSOR_MOVE:
    case CURSOR_MOVE_H:
    case CURSOR_MOVE_V: return Qt::SizeAllCursor;
    case CURSOR_MOVE_COPY:
    case CURSOR_MOVE_H_COPY:
    case CURSOR_MOVE_V_COPY: return Qt::DragCopyCursor;
    case CURSOR_VERTEX_DELETE: return Qt::ForbiddenCursor;
    case CURSOR_VERTEX_INSERT: return Qt::PointingHandCursor;
    default: return Qt::ArrowCursor;
    }
}
} // namespace

CDrawView::CDrawView(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFrameStyle(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAcceptDrops(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    setAcceptDrops(true);
}

CDrawView::~CDrawView()
{
    // The derived view (and with it the page) is gone already: only what
    // this view holds itself is let go here.
    GetPolyTool().Forget(this);
    if (m_bCapture && CShapeTool::GetCurrentShape() == SHAPE_POLYGON)
        CShapeTool::ResetToSelect();
    if (m_pEditor)
        if (CDrawTextBase* obj = m_pEditor->GetObject())
            obj->EndEdit();
}

void CDrawView::SetColourChooser(ColourChooser chooser) { ColourSeam() = std::move(chooser); }
void CDrawView::SetZoomChooser(ZoomChooser chooser) { ZoomSeam() = std::move(chooser); }

bool CDrawView::ChooseColour(QWidget* parent, COLORREF initial, COLORREF& chosen)
{
    if (ColourSeam())
        return ColourSeam()(parent, initial, chosen);
    const QColor colour = QColorDialog::getColor(ToColour(initial), parent);
    if (!colour.isValid())
        return false;
    chosen = RGB(colour.red(), colour.green(), colour.blue());
    return true;
}

// ---------------------------------------------------------------- coordinates

double CDrawView::ScaleX() const { return logicalDpiX() * GetZoomUnits() / (100.0 * kUnitsPerInch); }
double CDrawView::ScaleY() const { return logicalDpiY() * GetZoomUnits() / (100.0 * kUnitsPerInch); }

POINT CDrawView::ClientToDoc(QPoint p) const
{
    const double x = (p.x() + horizontalScrollBar()->value()) / ScaleX() - kScrollOrigin;
    const double y = kScrollOrigin - (p.y() + verticalScrollBar()->value()) / ScaleY();
    return {LONG(RoundHalfUp(x)), LONG(RoundHalfUp(y))};
}

QPoint CDrawView::DocToClient(POINT p) const
{
    // The inverse of ClientToDoc: at every zoom up to 600 % a page unit is
    // smaller than a pixel, so a device point goes to the page and back to itself.
    const double x = (p.x + kScrollOrigin) * ScaleX() - horizontalScrollBar()->value();
    const double y = (kScrollOrigin - p.y) * ScaleY() - verticalScrollBar()->value();
    return {int(RoundHalfUp(x)), int(RoundHalfUp(y))};
}

RECT CDrawView::ClientToDoc(const QRect& r) const
{
    const POINT a = ClientToDoc(r.topLeft()), b = ClientToDoc(r.bottomRight() + QPoint(1, 1));
    return NormalizedRect(RECT{a.x, a.y, b.x, b.y});
}

QRect CDrawView::DocToClient(const RECT& r) const
{
    const QPoint a = DocToClient(POINT{r.left, r.top}), b = DocToClient(POINT{r.right, r.bottom});
    return QRect(a, b).normalized();
}

QTransform CDrawView::PageToClient() const
{
    const double sx = ScaleX(), sy = ScaleY();
    return QTransform(sx, 0, 0, -sy, kScrollOrigin * sx - horizontalScrollBar()->value(),
                      kScrollOrigin * sy - verticalScrollBar()->value());
}

SIZE CDrawView::GetPixelSize() const
{
    return {std::max(1, int(std::lround(1.0 / ScaleX()))), std::max(1, int(std::lround(1.0 / ScaleY())))};
}

QPoint CDrawView::CursorClientPos() const { return viewport()->mapFromGlobal(QCursor::pos()); }

// ---------------------------------------------------------------- repainting

void CDrawView::InvalObj(CDrawObj* obj)
{
    if (!obj)
        return;
    const RECT box = UnionRects(NormalizedRect(obj->GetBounds()), NormalizedRect(obj->GetRepaintBox()));
    QRect r = DocToClient(box);
    // Room for the handles, which stand half outside the object.
    const int h = kHandlePixels + 1;
    r.adjust(-h - 1, -h - 2, h + 2, h + 1);
    viewport()->update(r.adjusted(-1, -1, 1, 1));
}

void CDrawView::InvalidateDocRect(const RECT& rect)
{
    viewport()->update(DocToClient(NormalizedRect(rect)).adjusted(-2, -2, 2, 2));
}

void CDrawView::InvalidateList(const std::vector<CDrawObj*>& list)
{
    for (CDrawObj* obj : list)
        InvalObj(obj);
}

void CDrawView::ShowDragOutline(CDrawObj* obj, bool on, int style)
{
    InvalObj(obj);
    if (on)
        m_outlines[obj] = style;
    else
        m_outlines.erase(obj);
    if (!on)
        return;
    // The outline stands at the saved position (a polygon's wherever its vertices go).
    if (obj->IsPolygon() == 1) {
        viewport()->update();
        return;
    }
    std::vector<POINT> corners(4);
    obj->GetTransform().MapRect(obj->GetSavedPosition(), corners.data());
    RECT box{corners[0].x, corners[0].y, corners[0].x, corners[0].y};
    for (const POINT& p : corners)
        box = UnionRects(box, RECT{p.x, p.y, p.x, p.y});
    InvalidateDocRect(InflatedRect(box, 2 * GetPixelSize().cx, 2 * GetPixelSize().cy));
}

void CDrawView::SetFocusRect(std::optional<QRect> rect)
{
    if (m_focusRect)
        viewport()->update(m_focusRect->adjusted(-2, -2, 2, 2));
    m_focusRect = rect;
    if (m_focusRect)
        viewport()->update(m_focusRect->adjusted(-2, -2, 2, 2));
}

void CDrawView::SetCursorShape(int cursor)
{
    m_nCursor = cursor;
    viewport()->setCursor(CursorFor(cursor));
}

void CDrawView::DrawPaperAndGrid(QPainter& painter, const QRect& clip)
{
    CDrawData* page = GetDrawData();
    painter.fillRect(clip, ToColour(kAppWorkspaceColour));
    if (!page)
        return;
    const RECT paperDoc = page->GetPaperRect();
    const QRect paper = DocToClient(paperDoc);
    painter.fillRect(paper.intersected(clip), ToColour(page->m_crPaper));
    if (page->m_bGridLines) {
        const int step = std::max(1, GetUnitsPerInch());
        QPen dotted(ToColour(kGridColour), 0, Qt::DotLine);
        painter.setPen(dotted);
        // Lines at every multiple of the step inside the paper; 0 is drawn solid below.
        for (int x = (paperDoc.left / step) * step; x <= paperDoc.right; x += step) {
            if (x == 0 || x < paperDoc.left)
                continue;
            const int cx = DocToClient(POINT{x, 0}).x();
            if (cx >= clip.left() && cx <= clip.right())
                painter.drawLine(cx, paper.top(), cx, paper.bottom());
        }
        for (int y = (paperDoc.top / step) * step; y <= paperDoc.bottom; y += step) {
            if (y == 0 || y < paperDoc.top)
                continue;
            const int cy = DocToClient(POINT{0, y}).y();
            if (cy >= clip.top() && cy <= clip.bottom())
                painter.drawLine(paper.left(), cy, paper.right(), cy);
        }
        painter.setPen(QPen(ToColour(kGridColour), 0));
        const QPoint origin = DocToClient(POINT{0, 0});
        painter.drawLine(origin.x(), paper.top(), origin.x(), paper.bottom());
        painter.drawLine(paper.left(), origin.y(), paper.right(), origin.y());
    }
    painter.setPen(QPen(ToColour(kWindowFrameColour), 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(paper);
}

void CDrawView::PaintClientRect(QPainter& painter, const QRect& rect, bool showSelection)
{
    CDrawData* page = GetDrawData();
    painter.save();
    painter.setClipRect(rect);
    DrawPaperAndGrid(painter, rect);
    if (page) {
        painter.save();
        painter.setTransform(PageToClient());
        CDrawDC dc;
        dc.painter = &painter;
        dc.pixelX = 1.0 / ScaleX();
        dc.pixelY = 1.0 / ScaleY();
        // Objects that stand wholly outside the area are left out; the
        // margin takes in handles, which stand outside their objects.
        const SIZE h = GetHandleSize();
        dc.clip = InflatedRect(ClientToDoc(rect), 2 * h.cx, 2 * h.cy);
        const bool before = m_bShowSelection;
        m_bShowSelection = showSelection;
        page->DrawObjects(dc, this);
        m_bShowSelection = before;
        if (showSelection && !m_outlines.empty()) {
            painter.setBrush(Qt::NoBrush);
            for (const auto& [obj, style] : m_outlines) {
                QPen pen(Qt::black, 0, style > 0 ? Qt::SolidLine : Qt::DotLine);
                painter.setPen(pen);
                obj->DrawOutline(dc, this, style);
            }
        }
        painter.restore();
    }
    if (showSelection && m_focusRect) {
        painter.setPen(QPen(Qt::black, 0, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(*m_focusRect);
    }
    painter.restore();
}

void CDrawView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    PaintClientRect(painter, event->rect(), true);
}

// ---------------------------------------------------------------- zoom and scrolling

void CDrawView::UpdateScrollSizes()
{
    const int w = int(std::lround(kScrollExtent * ScaleX())), h = int(std::lround(kScrollExtent * ScaleY()));
    horizontalScrollBar()->setRange(0, std::max(0, w - viewport()->width()));
    verticalScrollBar()->setRange(0, std::max(0, h - viewport()->height()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    verticalScrollBar()->setPageStep(viewport()->height());
    horizontalScrollBar()->setSingleStep(std::max(1, w / 100));
    verticalScrollBar()->setSingleStep(std::max(1, h / 100));
}

void CDrawView::ScrollToViewPosition(POINT position, bool clamp)
{
    CDrawData* page = GetDrawData();
    const double sx = ScaleX(), sy = ScaleY();
    int x = int(std::lround(position.x * sx)), y = int(std::lround(position.y * sy));
    if (clamp && page) {
        const SIZE size = page->GetPageSize();
        const RECT& m = page->GetMargins();
        const int wd = int(std::lround(size.cx * sx)), hd = int(std::lround(size.cy * sy));
        const int cx = int(std::lround((size.cx / 2 - m.left + kScrollOrigin) * sx));
        const int cy = int(std::lround((size.cy / 2 - m.top + kScrollOrigin) * sy));
        const int cw = viewport()->width(), ch = viewport()->height();
        if (cw > wd)
            x = cx - cw / 2;
        else if (x + cw > cx + wd / 2)
            x = cx + wd / 2 - cw;
        if (ch > hd)
            y = cy - ch / 2;
        else if (y + ch > cy + hd / 2)
            y = cy + hd / 2 - ch;
    }
    horizontalScrollBar()->setValue(x);
    verticalScrollBar()->setValue(y);
}

void CDrawView::SetZoom(int percent)
{
    // Views draw from 5 to 600 per cent; a zoom beyond would also break the
    // exact round trip of device points through page units.
    percent = std::clamp(percent, 5, 600);
    viewport()->setUpdatesEnabled(false);
    if (m_bCapture)
        OnCancelEdit();
    SetZoomUnits(percent);
    UpdateScrollSizes();
    if (CDrawData* page = GetDrawData())
        ScrollToViewPosition(page->m_ptViewPosition, true);
    viewport()->setUpdatesEnabled(true);
    viewport()->update();
}

void CDrawView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollSizes();
    if (CDrawData* page = GetDrawData())
        ScrollToViewPosition(page->m_ptViewPosition, true);
    if (m_pEditor && GetDrawData() && GetDrawData()->m_pEditObj)
        m_pEditor->SetPageRect(NormalizedRect(GetDrawData()->m_pEditObj->GetPosition()));
}

void CDrawView::scrollContentsBy(int, int)
{
    viewport()->update();
    if (m_pEditor && GetDrawData() && GetDrawData()->m_pEditObj)
        m_pEditor->SetPageRect(NormalizedRect(GetDrawData()->m_pEditObj->GetPosition()));
}

void CDrawView::wheelEvent(QWheelEvent* event)
{
    m_nWheel += event->angleDelta().y();
    while (m_nWheel >= 120) {
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        m_nWheel -= 120;
    }
    while (m_nWheel <= -120) {
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        m_nWheel += 120;
    }
    event->accept();
}

// ---------------------------------------------------------------- selection

bool CDrawView::IsSelected(const CDrawObj* obj) const
{
    return std::find(m_selection.begin(), m_selection.end(), obj) != m_selection.end();
}

void CDrawView::Select(CDrawObj* obj, bool add)
{
    if (!add) {
        InvalidateList(m_selection);
        m_selection.clear();
    }
    if (obj && !IsSelected(obj) && obj->IsShown()) {
        m_selection.push_back(obj);
        InvalObj(obj);
    }
}

void CDrawView::SelectWithinRect(const QRect& clientRect, bool add)
{
    if (!add)
        ClearSelection();
    CDrawData* page = GetDrawData();
    if (!page)
        return;
    const RECT r = ClientToDoc(clientRect);
    for (CDrawObj* obj : page->GetObjects())
        if (obj->IsShown() && obj->IsInsideRect(r))
            Select(obj, true);
}

void CDrawView::Deselect(CDrawObj* obj)
{
    if (!IsSelected(obj))
        return;
    RemoveFromSelection(obj);
    InvalObj(obj);
}

void CDrawView::RemoveFromSelection(CDrawObj* obj)
{
    m_selection.erase(std::remove(m_selection.begin(), m_selection.end(), obj), m_selection.end());
}

bool CDrawView::CanCopySelection() const
{
    if (m_selection.empty())
        return false;
    for (CDrawObj* obj : m_selection)
        if (!obj->CanCopyWith(m_selection))
            return false;
    return true;
}

int CDrawView::CountShownObjects() const
{
    CDrawData* page = GetDrawData();
    if (!page)
        return 0;
    return int(std::count_if(page->GetObjects().begin(), page->GetObjects().end(),
                             [](CDrawObj* obj) { return obj->IsShown() != 0; }));
}

// ---------------------------------------------------------------- update hints

void CDrawView::OnUpdate(CDocView*, int hint, CObject* object)
{
    CDrawData* page = GetDrawData();
    if (!page || object != page || hint < HINT_UPDATE_WINDOW || hint > HINT_OBJECT_SHOWN)
        return;
    CDrawObj* target = page->GetHintObject();
    const CDrawObjList* list = page->GetHintList();
    switch (hint) {
    case HINT_UPDATE_WINDOW: viewport()->update(); break;
    case HINT_UPDATE_DRAWOBJ: InvalObj(target); break;
    case HINT_UPDATE_SELECTION: InvalidateList(list ? *list : m_selection); break;
    case HINT_DELETE_SELECTION:
        if (list && list != &m_selection) {
            for (CDrawObj* obj : std::vector<CDrawObj*>(*list)) {
                InvalObj(obj);
                RemoveFromSelection(obj);
                m_outlines.erase(obj);
            }
        }
        break;
    case HINT_UPDATE_OLE_ITEMS:
        for (CDrawObj* obj : page->GetObjects())
            if (obj->IsKindOf(RUNTIME_CLASS(CDrawOleObj)))
                InvalObj(obj);
        break;
    case HINT_UPDATE_TRACKERS: InvalidateList(list ? *list : m_selection); break;
    case HINT_PAGE_SIZE:
        UpdateScrollSizes();
        viewport()->update();
        break;
    case HINT_OBJECT_REMOVED:
        RemoveFromSelection(target);
        m_outlines.erase(target);
        viewport()->update();
        break;
    case HINT_OBJECT_SHOWN:
        Deselect(target);
        InvalObj(target);
        break;
    default: break;
    }
}

// ---------------------------------------------------------------- the mouse and keys

void CDrawView::UpdateKeys(Qt::KeyboardModifiers modifiers)
{
    m_keys = (modifiers & Qt::ShiftModifier ? int(MK_SHIFT) : 0) | (modifiers & Qt::ControlModifier ? int(MK_CONTROL) : 0);
}

bool CDrawView::viewportEvent(QEvent* event)
{
    return QAbstractScrollArea::viewportEvent(event);
}

void CDrawView::mousePressEvent(QMouseEvent* event)
{
    UpdateKeys(event->modifiers());
    if (event->button() == Qt::RightButton && m_bCapture) {
        OnCancelEdit();
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    m_bActive = true;
    if (!hasFocus())
        setFocus(Qt::MouseFocusReason);
    if (CShapeTool* tool = CShapeTool::FindTool(CShapeTool::GetCurrentShape()))
        tool->OnLButtonDown(this, MouseFlags(event->buttons(), event->modifiers()), event->position().toPoint());
}

void CDrawView::mouseDoubleClickEvent(QMouseEvent* event)
{
    UpdateKeys(event->modifiers());
    if (event->button() != Qt::LeftButton || !m_bActive)
        return;
    if (CShapeTool* tool = CShapeTool::FindTool(CShapeTool::GetCurrentShape()))
        tool->OnLButtonDblClk(this, MouseFlags(event->buttons(), event->modifiers()), event->position().toPoint());
}

void CDrawView::mouseReleaseEvent(QMouseEvent* event)
{
    UpdateKeys(event->modifiers());
    if (event->button() != Qt::LeftButton || !m_bActive)
        return;
    if (CShapeTool* tool = CShapeTool::FindTool(CShapeTool::GetCurrentShape()))
        tool->OnLButtonUp(this, MouseFlags(event->buttons(), event->modifiers()), event->position().toPoint());
}

void CDrawView::mouseMoveEvent(QMouseEvent* event)
{
    UpdateKeys(event->modifiers());
    if (!m_bActive) {
        SetCursorShape(CURSOR_ARROW);
        return;
    }
    if (CShapeTool* tool = CShapeTool::FindTool(CShapeTool::GetCurrentShape()))
        tool->OnMouseMove(this, MouseFlags(event->buttons(), event->modifiers()), event->position().toPoint());
}

void CDrawView::keyPressEvent(QKeyEvent* event)
{
    UpdateKeys(event->modifiers());
    if (event->key() == Qt::Key_Escape) {
        OnCancelEdit();
        return;
    }
    if (event->key() == Qt::Key_Control || event->key() == Qt::Key_Shift) {
        if (CShapeTool* tool = CShapeTool::FindTool(CShapeTool::GetCurrentShape()))
            tool->OnKeyState(this);
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void CDrawView::keyReleaseEvent(QKeyEvent* event)
{
    UpdateKeys(event->modifiers());
    if (event->key() == Qt::Key_Control || event->key() == Qt::Key_Shift)
        if (CShapeTool* tool = CShapeTool::FindTool(CShapeTool::GetCurrentShape()))
            tool->OnKeyState(this);
    QAbstractScrollArea::keyReleaseEvent(event);
}

void CDrawView::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    // A text being edited in another window of the page ends there.
    CDrawData* page = GetDrawData();
    if (page && page->m_pEditObj && !m_pEditor)
        page->m_pEditObj->EndEdit();
    if (!m_bActive) {
        m_bActive = true;
        InvalidateList(m_selection);
    }
}

void CDrawView::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
}

void CDrawView::OnCancelEdit()
{
    EndTextEditing();
    if (m_bCapture) {
        if (CShapeTool* tool = CShapeTool::FindTool(CShapeTool::GetCurrentShape()))
            tool->OnCancel(this);
        m_bCapture = false;
        EndUndoStep(IDS_UNDO_DRAW);
    }
    CShapeTool::ResetToSelect();
    SetCursorShape(CURSOR_ARROW);
}

// ---------------------------------------------------------------- in-place text

CInPlaceTextEditor* CDrawView::CreateTextEditor(CDrawTextBase* obj, bool show)
{
    if (m_pEditor)
        EndTextEditing();
    m_pEditor = new CTextEditCtrl(obj, this, viewport());
    m_pEditor->SetVisible(show);
    return m_pEditor;
}

void CDrawView::DestroyTextEditor(CInPlaceTextEditor* editor)
{
    if (editor != static_cast<CInPlaceTextEditor*>(m_pEditor))
        return;
    CTextEditCtrl* ctrl = m_pEditor;
    m_pEditor = nullptr;
    ctrl->Detach();
    ctrl->hide();
    ctrl->deleteLater();
    viewport()->update();
    if (isVisible())
        setFocus();
}

void CDrawView::EndTextEditing()
{
    CDrawData* page = GetDrawData();
    if (!page || !page->m_pEditObj || !m_pEditor)
        return;
    BeginUndoStep();
    page->m_pEditObj->EndEdit();
    EndUndoStep(IDS_UNDO_EDIT_TEXT);
}

void CDrawView::RunPropertySheet(const std::string&, int) {}

// ---------------------------------------------------------------- undo

void CDrawView::BeginUndoStep()
{
    if (m_nUndoDepth++ > 0)
        return;
    CDrawData* page = GetDrawData();
    if (GetActionList() && page)
        m_undoBefore = CDrawPageAction::Snapshot(*page);
    else
        m_undoBefore.clear();
}

void CDrawView::EndUndoStep(UINT descriptionId)
{
    if (m_nUndoDepth == 0 || --m_nUndoDepth > 0)
        return;
    CDrawData* page = GetDrawData();
    CActionList* actions = GetActionList();
    if (!actions || !page || m_undoBefore.empty())
        return;
    std::vector<BYTE> after = CDrawPageAction::Snapshot(*page);
    if (after != m_undoBefore)
        actions->Add(std::make_unique<CDrawPageAction>(descriptionId, page, std::move(m_undoBefore), std::move(after)));
    m_undoBefore.clear();
}

// ---------------------------------------------------------------- formats

namespace {
// The formats of the selected objects taken together: an attribute on which
// they differ is undetermined (its mask bit cleared). None with a format: a
// zeroed record.
template <class Format>
Format MergedFormat(const std::vector<CDrawObj*>& selection, CDrawViewBase* view,
                    const Format* (CDrawObj::*get)(CDrawViewBase*), void (*intersect)(Format&, const Format&))
{
    Format merged;
    bool any = false;
    for (CDrawObj* obj : selection) {
        const Format* f = (obj->*get)(view);
        if (!f)
            continue;
        if (!any)
            merged = *f;
        else
            intersect(merged, *f);
        any = true;
    }
    return any ? merged : Format();
}
} // namespace

CHARFORMAT CDrawView::GetCurrentCharFormat()
{
    CDrawData* page = GetDrawData();
    if (m_selection.empty())
        return page ? page->GetDefaultCharFormat() : CHARFORMAT();
    return MergedFormat<CHARFORMAT>(m_selection, this, &CDrawObj::GetCharFormat, &IntersectCharFormat);
}

PARAFORMAT CDrawView::GetCurrentParaFormat()
{
    CDrawData* page = GetDrawData();
    if (m_selection.empty())
        return page ? page->GetDefaultParaFormat() : PARAFORMAT();
    return MergedFormat<PARAFORMAT>(m_selection, this, &CDrawObj::GetParaFormat, &IntersectParaFormat);
}

bool CDrawView::GetViewCharFormat(CHARFORMAT& format)
{
    format = GetCurrentCharFormat();
    return true;
}

void CDrawView::SetViewCharFormat(const CHARFORMAT& format) { ApplyCharFormat(format); }

void CDrawView::ApplyCharFormat(const CHARFORMAT& format)
{
    CDrawData* page = GetDrawData();
    if (!page)
        return;
    Edit(IDS_UNDO_FORMAT, [&] {
        if (m_selection.empty()) {
            page->SetDefaultCharFormat(format);
            return;
        }
        for (CDrawObj* obj : std::vector<CDrawObj*>(m_selection))
            obj->SetCharFormat(this, format);
    });
}

void CDrawView::ApplyParaFormat(const PARAFORMAT& format)
{
    CDrawData* page = GetDrawData();
    if (!page)
        return;
    Edit(IDS_UNDO_FORMAT, [&] {
        if (m_selection.empty()) {
            page->SetDefaultParaFormat(format);
            return;
        }
        for (CDrawObj* obj : std::vector<CDrawObj*>(m_selection))
            obj->SetParaFormat(this, format);
    });
}

void CDrawView::ToggleEffect(DWORD mask, DWORD effect)
{
    const CHARFORMAT current = GetCurrentCharFormat();
    const bool on = (current.dwMask & mask) && (current.dwEffects & effect);
    CHARFORMAT f;
    f.dwMask = mask;
    f.dwEffects = on ? 0 : effect;
    ApplyCharFormat(f);
}

void CDrawView::SetBullets(bool on)
{
    PARAFORMAT f;
    f.dwMask = PFM_NUMBERING | PFM_OFFSET | PFM_STARTINDENT;
    f.wNumbering = on ? PFN_BULLET : 0;
    f.dxStartIndent = 0;
    f.dxOffset = on ? 360 : 0;
    ApplyParaFormat(f);
}

// ---------------------------------------------------------------- colours

void CDrawView::SetColour(COLORREF colour)
{
    CDrawData* page = GetDrawData();
    if (!page)
        return;
    Edit(IDS_UNDO_COLOR, [&] {
        const std::vector<CDrawObj*> selection = m_selection;
        switch (page->m_nColourTarget) {
        case 0:
            if (selection.empty()) {
                page->SetDefaultFillOn(1);
                page->SetDefaultFillColor(colour);
            }
            for (CDrawObj* obj : selection) {
                obj->SetFillStyle(1, false);
                obj->SetFillColor(colour);
            }
            break;
        case 1:
            if (selection.empty()) {
                page->SetDefaultLineOn(1);
                page->SetDefaultLineColor(colour);
            }
            for (CDrawObj* obj : selection) {
                int style = 0, width = 0;
                obj->GetLineStyle(style, width);
                obj->SetLineVisible(1, false);
                if (style == PS_NULL)
                    obj->SetLineStyle(PS_SOLID, -1, false);
                obj->SetLineColor(colour);
            }
            break;
        default:
            if (selection.empty())
                page->SetDefaultTextColor(colour);
            for (CDrawObj* obj : selection)
                obj->SetTextColor(colour, true);
            break;
        }
        page->SetModified(true);
    });
}

bool CDrawView::PaletteChecked(COLORREF c)
{
    CDrawData* page = GetDrawData();
    if (!page)
        return false;
    const int target = page->m_nColourTarget;
    if (m_selection.empty()) {
        switch (target) {
        case 0: return page->GetDefaultFillOn() && page->GetDefaultFillColor() == c;
        case 1: return page->GetDefaultLineOn() && page->GetDefaultLineColor() == c;
        default: return page->GetDefaultCharFormat().crTextColor == c;
        }
    }
    bool any = false;
    for (CDrawObj* obj : m_selection) {
        if (target == 0 && obj->CanFill() == 1) {
            any = true;
            if (obj->GetFillStyle() != 1 || obj->GetFillColor() != c)
                return false;
        } else if (target == 1 && obj->CanHaveLine() == 1) {
            any = true;
            if (obj->GetLineVisible() != 1 || obj->GetLineColor() != c)
                return false;
        } else if (target == 2 && obj->HasTextFormat() == 1) {
            any = true;
            COLORREF t = 0;
            if (!obj->GetTextColor(t) || t != c)
                return false;
        }
    }
    return any;
}

void CDrawView::ColourDialogCommand(UINT id)
{
    CDrawData* page = GetDrawData();
    if (!page)
        return;
    COLORREF initial = 0;
    if (id == ID_OBJECT_FILL_COLOR)
        initial = m_selection.empty() ? page->GetDefaultFillColor() : m_selection.front()->GetFillColor();
    else if (id == ID_OBJECT_LINE_COLOR)
        initial = m_selection.empty() ? page->GetDefaultLineColor() : m_selection.front()->GetLineColor();
    else
        initial = page->GetDefaultCharFormat().crTextColor;
    if (initial == kMixedColour)
        initial = 0;
    COLORREF chosen = 0;
    if (!ChooseColour(this, initial, chosen))
        return;
    const int before = page->m_nColourTarget;
    page->m_nColourTarget = id == ID_OBJECT_FILL_COLOR ? 0 : id == ID_OBJECT_LINE_COLOR ? 1 : 2;
    SetColour(chosen);
    page->m_nColourTarget = before;
}

void CDrawView::ColourOnOff()
{
    CDrawData* page = GetDrawData();
    if (!page || page->m_nColourTarget == 2)
        return;
    const bool fill = page->m_nColourTarget == 0;
    bool allOff = true;
    if (m_selection.empty())
        allOff = fill ? !page->GetDefaultFillOn() : !page->GetDefaultLineOn();
    for (CDrawObj* obj : m_selection)
        if ((fill ? obj->GetFillStyle() : obj->GetLineVisible()) == 1)
            allOff = false;
    Edit(IDS_UNDO_COLOR, [&] {
        if (m_selection.empty()) {
            if (fill)
                page->SetDefaultFillOn(allOff ? 1 : 0);
            else
                page->SetDefaultLineOn(allOff ? 1 : 0);
        }
        for (CDrawObj* obj : std::vector<CDrawObj*>(m_selection)) {
            if (fill)
                obj->SetFillStyle(allOff ? 1 : 0, true);
            else
                obj->SetLineVisible(allOff ? 1 : 0, true);
        }
        page->SetModified(true);
    });
}

// ---------------------------------------------------------------- object commands

void CDrawView::MoveZOrder(UINT id)
{
    CDrawData* page = GetDrawData();
    if (!page || m_selection.size() != 1)
        return;
    CDrawObj* obj = m_selection.front();
    const int index = page->GetObjectIndex(obj);
    const int last = int(page->GetObjects().size()) - 1;
    int to = index;
    switch (id) {
    case ID_OBJECT_MOVE_TO_FRONT: to = last; break;
    case ID_OBJECT_MOVE_TO_BACK: to = 0; break;
    case ID_OBJECT_MOVE_FORWARD: to = std::min(last, index + 1); break;
    case ID_OBJECT_MOVE_BACK: to = std::max(0, index - 1); break;
    default: break;
    }
    if (index < 0 || to == index)
        return;
    Edit(IDS_UNDO_ARRANGE, [&] {
        page->MoveObjectTo(obj, to);
        obj->Invalidate();
        page->SetModified(true);
    });
}

void CDrawView::AlignSelection(int mode)
{
    if (m_selection.size() < 2)
        return;
    Edit(IDS_UNDO_ALIGN, [&] {
        const std::vector<CDrawObj*> selection = m_selection;
        const RECT reference = selection.back()->GetBounds();
        for (auto it = selection.rbegin() + 1; it != selection.rend(); ++it)
            (*it)->AlignTo(reference, mode, this);
    });
}

void CDrawView::GroupSelection()
{
    CDrawData* page = GetDrawData();
    if (!page || m_selection.size() < 2)
        return;
    Edit(IDS_UNDO_GROUP, [&] {
        // Members go into the group in the page's stacking order, from a
        // copy of the selection: removing each from the page also takes it
        // out of the selection.
        std::vector<CDrawObj*> members;
        for (CDrawObj* obj : page->GetObjects())
            if (IsSelected(obj))
                members.push_back(obj);
        auto* group = new CDrawGroup(RECT{0, 0, 0, 0}, page);
        page->AddObject(group);
        InvalidateList(m_selection);
        for (CDrawObj* obj : members) {
            group->AddChild(obj);
            page->RemoveObject(obj);
        }
        Select(group, false);
    });
}

void CDrawView::UngroupSelection()
{
    CDrawData* page = GetDrawData();
    if (!page || m_selection.size() != 1 || !m_selection.front()->IsGroup())
        return;
    auto* group = dynamic_cast<CDrawGroup*>(m_selection.front());
    if (!group)
        return;
    Edit(IDS_UNDO_UNGROUP, [&] {
        const CDrawObjList children = group->ReleaseChildren();
        ClearSelection();
        for (CDrawObj* child : children) {
            page->AddObject(child);
            Select(child, true);
        }
        RemoveFromSelection(group);
        group->Remove();
    });
}

void CDrawView::EditProperties()
{
    if (m_selection.empty())
        return;
    Edit(IDS_UNDO_PROPERTIES, [&] {
        if (m_selection.size() == 1) {
            if (!OpenObjectSheet(m_selection.front(), nullptr))
                m_selection.front()->OnEditProperties(this);
        }
        else
            RunPropertySheet(LoadString(IDS_MULTIPLE_PROPERTIES), 255);
    });
}

void CDrawView::SetTextOrientation(double degrees)
{
    Edit(IDS_UNDO_FORMAT, [&] {
        for (CDrawObj* obj : std::vector<CDrawObj*>(m_selection))
            if (obj->HasTextFormat())
                obj->SetTextOrientation(degrees);
    });
}

// ---------------------------------------------------------------- clipboard

bool CDrawView::CopySelection()
{
    CDrawData* page = GetDrawData();
    if (!page || !CanCopySelection())
        return false;
    class ViewItem : public CDrawSrvrItem {
    public:
        ViewItem(CDrawData* page, CDrawView* view) : CDrawSrvrItem(page->GetDocument(), page), m_view(view) {}
        CDrawViewBase* GetActiveDrawView() override { return m_view; }

    private:
        CDrawView* m_view;
    } item(page, this);
    return GetClipboard().SetData(item.OnGetClipboardData());
}

void CDrawView::ClearSelectedObjects()
{
    CDrawData* page = GetDrawData();
    if (!page || m_selection.empty())
        return;
    BeginUndoStep();
    // Every view drops the objects from its selection first.
    const std::vector<CDrawObj*> selection = m_selection;
    page->SetHintList(&selection);
    page->BroadcastHint(HINT_DELETE_SELECTION);
    page->SetHintList(nullptr);
    InvalidateList(selection);
    std::vector<CDrawObj*> alone;
    for (CDrawObj* obj : selection)
        if (obj->IsClearedAlone(selection))
            alone.push_back(obj);
    m_selection.clear();
    for (CDrawObj* obj : alone)
        if (page->GetObjectIndex(obj) >= 0)
            obj->Remove();
    EndUndoStep(IDS_UNDO_CLEAR);
}

bool CDrawView::PasteDrawingData(const std::vector<BYTE>& bytes, const QPoint* at)
{
    CDrawData* page = GetDrawData();
    if (!page || bytes.empty())
        return false;
    CDrawObjList pasted;
    try {
        // Read into a list of its own: a read that fails adds nothing.
        pasted = CDrawSrvrItem::LoadObjectList(bytes, page, page->GetDocument());
    } catch (const std::exception&) {
        return false;
    }
    if (pasted.empty())
        return false;
    if (at) {
        // The pasted objects' upper-left corner goes to the point.
        RECT box = NormalizedRect(pasted.front()->GetBounds());
        for (CDrawObj* obj : pasted)
            box = UnionRects(box, NormalizedRect(obj->GetBounds()));
        const POINT target = ClientToDoc(*at);
        const int dx = target.x - box.left, dy = target.y - box.bottom;
        for (CDrawObj* obj : pasted)
            obj->MoveTo(OffsetRect(obj->GetPosition(), dx, dy), nullptr);
    }
    InvalidateList(m_selection);
    m_selection.clear();
    for (CDrawObj* obj : pasted) {
        page->AddObject(obj);
        if (obj->IsShown())
            m_selection.push_back(obj);
    }
    page->SetModified(true);
    page->SetHintList(&m_selection);
    page->BroadcastHint(HINT_UPDATE_SELECTION);
    page->SetHintList(nullptr);
    return true;
}

bool CDrawView::PasteFromClipboard()
{
    if (!GetClipboard().HasFormat(kDrawingFormat))
        return false;
    BeginUndoStep();
    const bool done = PasteDrawingData(GetClipboard().GetData(kDrawingFormat));
    EndUndoStep(IDS_UNDO_PASTE);
    return done;
}

// ---------------------------------------------------------------- drag and drop

void CDrawView::ReadDragSize(const QMimeData* data)
{
    m_dragSize = QSize();
    m_dragOffset = QPoint();
    if (!data || !data->hasFormat(kGraphObjectFormat))
        return;
    const QByteArray bytes = data->data(kGraphObjectFormat);
    // An object descriptor: words 6 and 7 the size, 8 and 9 the grab offset, in 0.01 mm.
    if (bytes.size() < 40)
        return;
    std::int32_t w[10];
    std::memcpy(w, bytes.constData(), sizeof w);
    auto toPixels = [](std::int32_t himetric, double dpi) { return int(std::lround(himetric * dpi / 2540.0)); };
    const double z = GetZoomUnits() / 100.0;
    m_dragSize = QSize(toPixels(w[6], logicalDpiX() * z), toPixels(w[7], logicalDpiY() * z));
    m_dragOffset = QPoint(toPixels(w[8], logicalDpiX() * z), toPixels(w[9], logicalDpiY() * z));
}

int CDrawView::DropEffect(const QPoint& client, Qt::KeyboardModifiers keys) const
{
    if (!m_bCanDrop)
        return 0;
    const QRect candidate(client - m_dragOffset, m_dragSize.isValid() ? m_dragSize : QSize(1, 1));
    const QRect area(-horizontalScrollBar()->value(), -verticalScrollBar()->value(),
                     int(kScrollExtent * ScaleX()), int(kScrollExtent * ScaleY()));
    if (!candidate.intersects(area))
        return 0;
    if ((keys & Qt::ControlModifier) && (keys & Qt::ShiftModifier))
        return 0;
    return (keys & Qt::ControlModifier) ? int(Qt::CopyAction) : int(Qt::MoveAction);
}

void CDrawView::DropFeedback(const QPoint& client, int effect)
{
    if (effect == 0) {
        SetFocusRect(std::nullopt);
        return;
    }
    SetFocusRect(QRect(client - m_dragOffset, m_dragSize.isValid() ? m_dragSize : QSize(1, 1)));
}

void CDrawView::dragEnterEvent(QDragEnterEvent* event)
{
    m_bCanDrop = event->mimeData() && event->mimeData()->hasFormat(kDrawingFormat);
    if (!m_bCanDrop) {
        event->ignore();
        return;
    }
    ReadDragSize(event->mimeData());
    const int effect = DropEffect(event->position().toPoint(), event->modifiers());
    DropFeedback(event->position().toPoint(), effect);
    if (effect) {
        event->setDropAction(Qt::DropAction(effect));
        event->accept();
    } else {
        event->ignore();
    }
}

void CDrawView::dragMoveEvent(QDragMoveEvent* event)
{
    const int effect = DropEffect(event->position().toPoint(), event->modifiers());
    DropFeedback(event->position().toPoint(), effect);
    if (effect) {
        event->setDropAction(Qt::DropAction(effect));
        event->accept();
    } else {
        event->ignore();
    }
}

void CDrawView::dragLeaveEvent(QDragLeaveEvent*)
{
    SetFocusRect(std::nullopt);
}

void CDrawView::dropEvent(QDropEvent* event)
{
    SetFocusRect(std::nullopt);
    const QMimeData* data = event->mimeData();
    const int effect = DropEffect(event->position().toPoint(), event->modifiers());
    ReadDragSize(data);
    bool dropped = false;
    if (m_bCanDrop && effect && data) {
        const QPoint at = event->position().toPoint() - m_dragOffset;
        const QByteArray bytes = data->data(kDrawingFormat);
        BeginUndoStep();
        dropped = PasteDrawingData(std::vector<BYTE>(bytes.begin(), bytes.end()), &at);
        EndUndoStep(IDS_UNDO_DROP);
    }
    if (CDrawData* page = GetDrawData())
        page->BroadcastHint(HINT_UPDATE_WINDOW);
    // The drop says whether anything came of it.
    if (dropped) {
        event->setDropAction(Qt::DropAction(effect));
        event->accept();
    } else {
        event->ignore();
    }
}

// ---------------------------------------------------------------- context menu

QAction* CDrawView::AddMenuCommand(QMenu* menu, UINT id, const QString& text, bool isDefault)
{
    QAction* action = menu->addAction(text);
    CCmdUI ui(id);
    OnCmdMsg(id, &ui);
    action->setEnabled(ui.m_enabled.value_or(false));
    if (ui.m_checked) {
        action->setCheckable(true);
        action->setChecked(*ui.m_checked);
    }
    if (isDefault) {
        QFont f = action->font();
        f.setBold(true);
        action->setFont(f);
    }
    action->setData(id);
    connect(action, &QAction::triggered, this, [this, id] { OnCmdMsg(id, nullptr); });
    return action;
}

QMenu* CDrawView::BuildContextMenu(QPoint client)
{
    CDrawData* page = GetDrawData();
    if (!page)
        return nullptr;
    const POINT doc = ClientToDoc(client);
    CDrawObj* hit = nullptr;
    for (CDrawObj* obj : m_selection)
        if (obj->HitTest(doc, this)) {
            hit = obj;
            break;
        }
    if (!hit)
        hit = page->ObjectAt(doc, this);
    auto* menu = new QMenu(this);
    auto add = [&](UINT id, const QString& text, bool isDefault = false) { AddMenuCommand(menu, id, text, isDefault); };
    if (!hit) {
        ClearSelection();
        add(ID_EDIT_PASTE, tr("&Paste"));
        add(ID_EDIT_PASTE_SPECIAL, tr("Paste &Special..."));
        add(ID_EDIT_SELECT_ALL, tr("Select &All"));
        return menu;
    }
    if (!IsSelected(hit))
        Select(hit, false);
    const int kind = m_selection.size() == 1 ? hit->GetContextMenu() : MENU_OBJECT;
    if (kind == MENU_TEXT || kind == MENU_HIDE_TEXT) {
        add(ID_OBJECT_EDIT_TEXT, tr("&Edit Text"), true);
        add(ID_OBJECT_PROPERTIES, tr("P&roperties..."));
    } else {
        add(ID_OBJECT_PROPERTIES, tr("P&roperties..."), true);
    }
    AddObjectCommands(menu);
    menu->addSeparator();
    add(ID_EDIT_CUT, tr("Cu&t"));
    add(ID_EDIT_COPY, tr("&Copy"));
    add(ID_EDIT_CLEAR, tr("C&lear"));
    if (kind == MENU_HIDE_TEXT)
        add(ID_OBJECT_HIDE, tr("&Hide Object"));
    if (kind == MENU_OBJECT) {
        menu->addSeparator();
        QMenu* align = menu->addMenu(tr("&Align"));
        QMenu* saved = menu;
        menu = align;
        add(ID_ALIGN_LEFT, tr("&Left"));
        add(ID_ALIGN_RIGHT, tr("&Right"));
        add(ID_ALIGN_TOP, tr("&Top"));
        add(ID_ALIGN_BOTTOM, tr("&Bottom"));
        add(ID_ALIGN_VERT_CENTER, tr("&Vert. Center"));
        add(ID_ALIGN_HORZ_CENTER, tr("&Horiz. Center"));
        menu = saved;
        add(ID_OBJECT_GROUP, tr("&Group"));
        add(ID_OBJECT_UNGROUP, tr("&Ungroup"));
    }
    menu->addSeparator();
    add(ID_OBJECT_MOVE_TO_FRONT, tr("Bring to &Front"));
    add(ID_OBJECT_MOVE_TO_BACK, tr("Send to &Back"));
    add(ID_OBJECT_MOVE_FORWARD, tr("Move F&orward"));
    add(ID_OBJECT_MOVE_BACK, tr("Move Bac&k"));
    return menu;
}

void CDrawView::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_bCapture)
        return;
    QMenu* menu = BuildContextMenu(viewport()->mapFrom(this, event->pos()));
    if (!menu)
        return;
    menu->exec(event->globalPos());
    menu->deleteLater();
}

// ---------------------------------------------------------------- the command table

bool CDrawView::OnCmdMsg(UINT id, CCmdUI* ui)
{
    CDrawData* page = GetDrawData();
    // While a text is edited here, its editor answers every command.
    if (page && page->m_pEditObj && m_pEditor)
        return m_pEditor->OnCmdMsg(id, ui);
    return OnDrawCommand(id, ui);
}

bool CDrawView::OnDrawCommand(UINT id, CCmdUI* ui)
{
    CDrawData* page = GetDrawData();
    if (!page)
        return false;
    const std::size_t count = m_selection.size();
    auto enable = [&](bool on) {
        if (ui)
            ui->Enable(on);
        return true;
    };
    // Enabled or not, with the reason shown while it is not.
    auto enableFor = [&](bool on, UINT reason) {
        if (ui) {
            ui->Enable(on);
            ui->SetReason(LoadString(reason));
        }
        return true;
    };
    // Zoom.
    if (id >= ID_DRAW_ZOOM_25 && id < ID_DRAW_ZOOM_25 + 7) {
        const int percent = kZoomSteps[id - ID_DRAW_ZOOM_25];
        if (ui) {
            ui->Enable();
            ui->SetCheck(GetZoomUnits() == percent);
        } else {
            SetZoom(percent);
        }
        return true;
    }
    if (id >= ID_COLOR_FIRST && id <= ID_COLOR_LAST) {
        const COLORREF colour = kDrawPalette[id - ID_COLOR_FIRST];
        if (ui) {
            ui->Enable();
            ui->SetRadio(PaletteChecked(colour));
        } else {
            SetColour(colour);
        }
        return true;
    }
    switch (id) {
    case ID_DRAW_ZOOM_CUSTOM: {
        if (ui) {
            ui->Enable();
            const int z = GetZoomUnits();
            ui->SetCheck(std::find(std::begin(kZoomSteps), std::end(kZoomSteps), z) == std::end(kZoomSteps));
            return true;
        }
        int percent = GetZoomUnits();
        bool ok = false;
        if (ZoomSeam()) {
            ok = ZoomSeam()(this, percent);
        } else {
            CMagnificationDlg dialog(this, CMagnificationDlg::kGraphTemplate);
            dialog.m_nPercent = percent;
            ok = dialog.exec() == QDialog::Accepted;
            percent = dialog.m_nPercent;
        }
        if (ok)
            SetZoom(percent);
        return true;
    }
    case ID_VIEW_GRID_LINES:
        if (ui) {
            ui->Enable();
            ui->SetCheck(page->m_bGridLines != 0);
        } else {
            page->m_bGridLines = !page->m_bGridLines;
            if (CProjectDocBase* doc = page->GetDocument())
                doc->SetModifiedFlag(true);
            page->BroadcastHint(HINT_UPDATE_WINDOW);
        }
        return true;
    case ID_VIEW_SHOW_OUTLINES:
        if (ui) {
            ui->Enable();
            ui->SetCheck(page->m_bShowOutlines != 0);
        } else {
            page->m_bShowOutlines = !page->m_bShowOutlines;
            page->SetModified(true);
            page->BroadcastHint(HINT_UPDATE_WINDOW);
        }
        return true;
    case ID_VIEW_PAPER_COLOR:
        if (ui)
            return enable(true);
        {
            COLORREF chosen = 0;
            if (ChooseColour(this, page->m_crPaper, chosen)) {
                Edit(IDS_UNDO_VIEW, [&] {
                    page->m_crPaper = chosen;
                    page->SetModified(true);
                });
                page->BroadcastHint(HINT_UPDATE_WINDOW);
            }
        }
        return true;
    case ID_CANCEL_EDIT:
        if (ui)
            return enable(true);
        OnCancelEdit();
        return true;
    case ID_DRAW_SELECT:
    case ID_DRAW_LINE:
    case ID_DRAW_RECT:
    case ID_DRAW_ROUNDRECT:
    case ID_DRAW_ELLIPSE:
    case ID_DRAW_POLYGON:
    case ID_DRAW_TEXT: {
        const int shape = int(id - ID_DRAW_SELECT);
        if (ui) {
            ui->Enable();
            ui->SetRadio(CShapeTool::GetCurrentShape() == shape);
        } else {
            CShapeTool::SetCurrentShape(shape, this);
        }
        return true;
    }
    case ID_OBJECT_MOVE_TO_FRONT:
    case ID_OBJECT_MOVE_TO_BACK:
    case ID_OBJECT_MOVE_FORWARD:
    case ID_OBJECT_MOVE_BACK:
        if (ui)
            return enableFor(count == 1, IDS_REASON_SELECT_ONE);
        MoveZOrder(id);
        return true;
    case ID_ALIGN_LEFT:
    case ID_ALIGN_RIGHT:
    case ID_ALIGN_TOP:
    case ID_ALIGN_BOTTOM:
    case ID_ALIGN_HORZ_CENTER:
    case ID_ALIGN_VERT_CENTER: {
        if (ui)
            return enableFor(count >= 2, IDS_REASON_SELECT_TWO);
        static constexpr int kModes[] = {0, 1, 2, 3, 5, 4}; // 33103..33108
        AlignSelection(kModes[id - ID_ALIGN_LEFT]);
        return true;
    }
    case ID_OBJECT_GROUP:
        if (ui)
            return enableFor(count > 1, IDS_REASON_SELECT_TWO);
        GroupSelection();
        return true;
    case ID_OBJECT_UNGROUP:
        if (ui)
            return enableFor(count == 1 && m_selection.front()->IsGroup(), IDS_REASON_SELECT_GROUP);
        UngroupSelection();
        return true;
    case ID_OBJECT_PROPERTIES:
        if (ui)
            return enable(count > 0);
        EditProperties();
        return true;
    case ID_OBJECT_EDIT_TEXT:
        if (ui)
            return enable(count == 1 && m_selection.front()->CanEditText());
        if (count == 1)
            m_selection.front()->BeginEdit(this);
        return true;
    case ID_COLOR_TARGET_FILL:
    case ID_COLOR_TARGET_LINE:
    case ID_COLOR_TARGET_TEXT: {
        const int target = id == ID_COLOR_TARGET_FILL ? 0 : id == ID_COLOR_TARGET_LINE ? 1 : 2;
        if (ui) {
            ui->Enable();
            ui->SetRadio(page->m_nColourTarget == target);
        } else {
            page->m_nColourTarget = target;
        }
        return true;
    }
    case ID_COLOR_ON_OFF:
        if (ui) {
            const bool text = page->m_nColourTarget == 2;
            ui->Enable(!text);
            bool allOff = !text;
            if (!text) {
                const bool fill = page->m_nColourTarget == 0;
                if (m_selection.empty())
                    allOff = fill ? !page->GetDefaultFillOn() : !page->GetDefaultLineOn();
                for (CDrawObj* obj : m_selection)
                    if ((fill ? obj->GetFillStyle() : obj->GetLineVisible()) == 1)
                        allOff = false;
            }
            ui->SetCheck(allOff);
            return true;
        }
        ColourOnOff();
        return true;
    case ID_COLOR_CUSTOM:
        if (ui)
            return enable(true);
        ColourDialogCommand(page->m_nColourTarget == 0   ? ID_OBJECT_FILL_COLOR
                            : page->m_nColourTarget == 1 ? ID_OBJECT_LINE_COLOR
                                                         : ID_OBJECT_TEXT_COLOR);
        return true;
    case ID_OBJECT_FILL_COLOR:
    case ID_OBJECT_LINE_COLOR:
    case ID_OBJECT_TEXT_COLOR:
        if (ui)
            return enable(true);
        ColourDialogCommand(id);
        return true;
    case ID_FORMAT_BOLD:
    case ID_FORMAT_ITALIC:
    case ID_FORMAT_UNDERLINE: {
        const DWORD bit = id == ID_FORMAT_BOLD ? CFM_BOLD : id == ID_FORMAT_ITALIC ? CFM_ITALIC : CFM_UNDERLINE;
        if (ui) {
            const CHARFORMAT f = GetCurrentCharFormat();
            ui->Enable();
            ui->SetCheck((f.dwMask & bit) && (f.dwEffects & bit));
            return true;
        }
        ToggleEffect(bit, bit);
        return true;
    }
    case ID_TEXT_PLAIN:
        if (ui)
            return enable(true);
        {
            CHARFORMAT f;
            f.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
            ApplyCharFormat(f);
        }
        return true;
    case ID_FORMAT_ALIGN_LEFT:
    case ID_FORMAT_ALIGN_RIGHT:
    case ID_FORMAT_ALIGN_CENTER: {
        const WORD alignment = id == ID_FORMAT_ALIGN_LEFT ? 1 : id == ID_FORMAT_ALIGN_RIGHT ? 2 : 3;
        if (ui) {
            const PARAFORMAT f = GetCurrentParaFormat();
            ui->Enable();
            ui->SetRadio((f.dwMask & PFM_ALIGNMENT) && f.wAlignment == alignment);
            return true;
        }
        PARAFORMAT f;
        f.dwMask = PFM_ALIGNMENT;
        f.wAlignment = alignment;
        ApplyParaFormat(f);
        return true;
    }
    case ID_FORMAT_BULLETS: {
        const PARAFORMAT f = GetCurrentParaFormat();
        const bool has = (f.dwMask & PFM_NUMBERING) && f.wNumbering == PFN_BULLET;
        if (ui) {
            ui->Enable();
            ui->SetCheck(has);
            return true;
        }
        SetBullets(!has);
        return true;
    }
    case ID_FORMAT_SET_SIZE:
    case ID_FORMAT_SET_FACE:
        if (ui)
            return enable(true);
        return true;
    case ID_TEXT_HORIZONTAL:
    case ID_TEXT_DIAGONAL_UP:
    case ID_TEXT_UP:
    case ID_TEXT_DOWN:
    case ID_TEXT_DIAGONAL_DOWN: {
        const double degrees = id == ID_TEXT_HORIZONTAL ? 0 : id == ID_TEXT_DIAGONAL_UP ? 45 : id == ID_TEXT_UP ? 90
            : id == ID_TEXT_DOWN                                                                 ? 270
                                                                                                 : 315;
        if (ui) {
            bool any = false, all = true;
            for (CDrawObj* obj : m_selection)
                if (obj->HasTextFormat()) {
                    any = true;
                    all = all && obj->GetTextOrientation() == degrees;
                }
            ui->Enable(any);
            ui->SetCheck(any && all);
            return true;
        }
        SetTextOrientation(degrees);
        return true;
    }
    case ID_EDIT_COPY:
        if (ui)
            return enable(CanCopySelection());
        CopySelection();
        return true;
    case ID_EDIT_CUT: {
        bool clearable = count > 0;
        for (CDrawObj* obj : m_selection)
            clearable = clearable && obj->CanClearWith(m_selection);
        if (ui)
            return enable(clearable && CanCopySelection());
        BeginUndoStep();
        if (CopySelection())
            ClearSelectedObjects();
        EndUndoStep(IDS_UNDO_CUT);
        return true;
    }
    case ID_EDIT_PASTE:
    case ID_EDIT_PASTE_SPECIAL:
        if (ui)
            return enable(GetClipboard().HasFormat(kDrawingFormat));
        PasteFromClipboard();
        return true;
    case ID_EDIT_CLEAR: {
        bool clearable = count > 0;
        for (CDrawObj* obj : m_selection)
            clearable = clearable && obj->CanClearWith(m_selection);
        if (ui)
            return enable(clearable);
        ClearSelectedObjects();
        return true;
    }
    case ID_EDIT_SELECT_ALL:
        if (ui)
            return enable(!page->GetObjects().empty());
        for (CDrawObj* obj : page->GetObjects())
            Select(obj, true);
        return true;
    case ID_VIEW_ZOOM:
        if (ui)
            return enable(true);
        return true;
    default: return false;
    }
}
