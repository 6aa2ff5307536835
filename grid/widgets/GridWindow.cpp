#include "grid/widgets/GridWindow.h"

#include "grid/widgets/GridEditWnd.h"
#include "grid/widgets/GridListWnd.h"
#include "grid/widgets/GridPainterQt.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

#include <utility>

namespace {

constexpr int kWheelNotch = 120;

// Keeps the modifiers of the event being handled for the engine's queries.
class ModifierScope {
public:
    ModifierScope(CGridWindow& window, Qt::KeyboardModifiers modifiers) : m_window(window)
    {
        window.SetEventModifiers(modifiers);
    }
    ~ModifierScope() { m_window.SetEventModifiers(Qt::KeyboardModifiers()); }

private:
    CGridWindow& m_window;
};

} // namespace

CGridWindow::CGridWindow(QWidget* parent) : QAbstractScrollArea(parent)
{
    SetHost(this);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this](int action) { OnScrollAction(SB_VERT, action); });
    connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this, [this](int action) { OnScrollAction(SB_HORZ, action); });
    connect(verticalScrollBar(), &QScrollBar::sliderReleased, this, [this] {
        OnVScroll(SB_THUMBPOSITION, verticalScrollBar()->sliderPosition());
        verticalScrollBar()->setSliderPosition(GetTopRow());
    });
    connect(horizontalScrollBar(), &QScrollBar::sliderReleased, this, [this] {
        OnHScroll(SB_THUMBPOSITION, horizontalScrollBar()->sliderPosition());
        horizontalScrollBar()->setSliderPosition(GetLeftColumn());
    });
    m_bAlive = true;
}

CGridWindow::~CGridWindow()
{
    // The cells (and any open editor) go while the window can still take them;
    // an editor that has the focus gives it up first, so that nothing hands
    // the focus back to this window while it is going.
    m_bAlive = false;
    if (QWidget* focus = QApplication::focusWidget(); focus && isAncestorOf(focus))
        focus->clearFocus();
    m_cells.Clear();
    for (const auto& timer : m_timers)
        killTimer(timer.second);
    SetHost(nullptr);
}

UINT CGridWindow::VirtualKeyOf(const QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_F2: return VK_F2;
    default: return 0;
    }
}

void CGridWindow::SetEventModifiers(Qt::KeyboardModifiers modifiers)
{
    m_modifiers = modifiers;
    m_bHaveModifiers = modifiers != Qt::KeyboardModifiers();
}

void CGridWindow::EnsureInitialised()
{
    if (!IsInitialised() && GetGridData())
        InitGrid();
}

// ---------------------------------------------------------------- commands

bool CGridWindow::OnCommand(int id)
{
    switch (id) {
    case ID_EDIT_CLEAR: ClearSelection(); return true;
    case ID_EDIT_COPY: CopyToClipboard(); return true;
    case ID_EDIT_CUT: Cut(); return true;
    case ID_EDIT_PASTE: PasteFromClipboard(); return true;
    case ID_EDIT_UNDO: Undo(); return true;
    case ID_EDIT_REDO: Redo(); return true;
    default: return false;
    }
}

bool CGridWindow::OnUpdateCommand(int id, CGridCmdState& state)
{
    int decided = 0;
    switch (id) {
    case ID_EDIT_CLEAR: decided = OnUpdateEditClear(state); break;
    case ID_EDIT_COPY: decided = OnUpdateEditCopy(state); break;
    case ID_EDIT_CUT: decided = OnUpdateEditCut(state); break;
    case ID_EDIT_PASTE: decided = OnUpdateEditPaste(state); break;
    case ID_EDIT_UNDO: decided = OnUpdateEditUndo(state); break;
    case ID_EDIT_REDO: decided = OnUpdateEditRedo(state); break;
    default: return false;
    }
    // Where the engine leaves the decision, a handled command is available.
    if (!decided)
        state.Enable(true);
    return true;
}

void CGridWindow::UpdateMenu(QMenu* menu)
{
    if (!menu)
        return;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator())
            continue;
        if (QMenu* sub = action->menu()) {
            UpdateMenu(sub);
            continue;
        }
        bool ok = false;
        const int id = action->data().toInt(&ok);
        if (!ok || id <= 0)
            continue;
        CGridCmdState state;
        const bool handled = OnUpdateCommand(id, state);
        // Commands nobody handles are disabled, as a frame does for its menus.
        action->setEnabled(handled && state.enabled);
        if (state.hasText)
            action->setText(QString::fromStdString(state.text));
    }
}

// ---------------------------------------------------------------- host services

void CGridWindow::GetClientRect(RECT& rect) const
{
    const QSize size = viewport()->size();
    rect = RECT{0, 0, size.width(), size.height()};
}

CGridMetrics CGridWindow::GetMetrics() const
{
    CGridMetrics m;
    m.logPixelsX = logicalDpiX();
    m.logPixelsY = logicalDpiY();
    if (const QScreen* s = screen()) {
        m.screenWidth = s->geometry().width();
        m.screenHeight = s->geometry().height();
    }
    return m;
}

SIZE CGridWindow::MeasureText(const LOGFONT& deviceFont, std::string_view text) const
{
    const QFontMetrics metrics(FontFromLogFont(deviceFont), viewport());
    const QString s = QString::fromUtf8(text.data(), qsizetype(text.size()));
    return SIZE{metrics.horizontalAdvance(s), metrics.height()};
}

void CGridWindow::Invalidate(bool) { viewport()->update(); }

void CGridWindow::InvalidateRect(const RECT& rect, bool)
{
    if (!RectIsEmpty(rect))
        viewport()->update(QRectFromRect(rect));
}

// Qt paints what is pending at the next turn of the event loop, all at once.
void CGridWindow::UpdateWindow() {}

void CGridWindow::ScrollWindow(int dx, int dy, const RECT& area)
{
    if (!RectIsEmpty(area) && isVisible())
        viewport()->scroll(dx, dy, QRectFromRect(area));
    else
        viewport()->update();
}

void CGridWindow::SetScrollRange(int bar, int minimum, int maximum)
{
    QScrollBar* scrollBar = bar == SB_VERT ? verticalScrollBar() : horizontalScrollBar();
    ++m_nScrollGuard;
    scrollBar->setRange(minimum, std::max(minimum, maximum));
    // The thumb covers the scrolled part that is on screen.
    const int visible = bar == SB_VERT ? GetVisibleRowCount() - (GetGridData() ? GetGridData()->m_nFrozenRows : 0)
                                       : GetVisibleColumnCount() - (GetGridData() ? GetGridData()->m_nHeaderColumns : 0);
    scrollBar->setPageStep(std::max(1, visible));
    scrollBar->setSingleStep(1);
    --m_nScrollGuard;
}

void CGridWindow::SetScrollPos(int bar, int position)
{
    QScrollBar* scrollBar = bar == SB_VERT ? verticalScrollBar() : horizontalScrollBar();
    ++m_nScrollGuard;
    scrollBar->setSliderPosition(position);
    scrollBar->setValue(position);
    --m_nScrollGuard;
}

int CGridWindow::GetScrollPos(int bar) const
{
    return bar == SB_VERT ? verticalScrollBar()->value() : horizontalScrollBar()->value();
}

void CGridWindow::ShowScrollBar(int bar, bool show, bool enable)
{
    if (bar == SB_BOTH) {
        ShowScrollBar(SB_VERT, show, enable);
        ShowScrollBar(SB_HORZ, show, enable);
        return;
    }
    const Qt::ScrollBarPolicy policy = show && !IsSplitterPane() ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (bar == SB_VERT) {
        setVerticalScrollBarPolicy(policy);
        verticalScrollBar()->setEnabled(enable);
    } else {
        setHorizontalScrollBarPolicy(policy);
        horizontalScrollBar()->setEnabled(enable);
    }
}

void CGridWindow::SetTimer(UINT id, UINT elapseMs)
{
    KillTimer(id);
    const int qtId = startTimer(int(std::max<UINT>(elapseMs, 1)));
    if (qtId != 0)
        m_timers[id] = qtId;
}

void CGridWindow::KillTimer(UINT id)
{
    auto it = m_timers.find(id);
    if (it == m_timers.end())
        return;
    killTimer(it->second);
    m_timers.erase(it);
}

POINT CGridWindow::GetCursorPos() const
{
    const QPoint p = viewport()->mapFromGlobal(QCursor::pos());
    return POINT{p.x(), p.y()};
}

void CGridWindow::PostMouseMove(UINT flags, POINT point)
{
    QTimer::singleShot(0, this, [this, flags, point] {
        // A move queued while the button was held is stale once it is released.
        if (m_bAlive && (m_bLeftDown || !(flags & MK_LBUTTON)))
            OnMouseMove(flags, point);
    });
}

void CGridWindow::PostKeyDown(UINT key, UINT repeat, UINT flags)
{
    const Qt::KeyboardModifiers modifiers = m_modifiers;
    QTimer::singleShot(0, this, [this, key, repeat, flags, modifiers] {
        if (!m_bAlive)
            return;
        ModifierScope scope(*this, modifiers);
        RouteKeyDown(key, repeat, flags);
    });
}

UINT CGridWindow::GetKeyModifiers() const
{
    const Qt::KeyboardModifiers modifiers = m_bHaveModifiers ? m_modifiers : QGuiApplication::keyboardModifiers();
    UINT flags = 0;
    if (modifiers & Qt::ShiftModifier)
        flags |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        flags |= MK_CONTROL;
    return flags;
}

void CGridWindow::SetCursor(int cursorId)
{
    switch (cursorId) {
    case GRID_HIT_COLUMN_BORDER: viewport()->setCursor(Qt::SplitHCursor); break;
    case GRID_HIT_ROW_BORDER: viewport()->setCursor(Qt::SplitVCursor); break;
    case GRID_HIT_INACTIVE: viewport()->setCursor(Qt::ForbiddenCursor); break;
    default: viewport()->setCursor(Qt::ArrowCursor); break;
    }
}

bool CGridWindow::EmptyClipboard()
{
    QGuiApplication::clipboard()->clear();
    return true;
}

void CGridWindow::SetClipboardText(const std::string& text)
{
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

bool CGridWindow::GetClipboardText(std::string& text)
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText())
        return false;
    text = data->text().toStdString();
    return true;
}

bool CGridWindow::ClipboardHasText() const
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText();
}

std::unique_ptr<CGridEditor> CGridWindow::CreateEditor(int kind)
{
    if (kind == GRID_EDITOR_LIST)
        return std::make_unique<CGridListEditor>(this, this, viewport());
    return std::make_unique<CGridTextEditor>(this, this, viewport());
}

void CGridWindow::RecalcLayout()
{
    if (GetGridData() && IsInitialised())
        Update(GRID_UPDATE_ALL, 0);
}

// ---------------------------------------------------------------- scrolling

void CGridWindow::OnScrollAction(int bar, int action)
{
    if (m_nScrollGuard > 0 || !GetGridData())
        return;
    QScrollBar* scrollBar = bar == SB_VERT ? verticalScrollBar() : horizontalScrollBar();
    int code = -1, position = 0;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: code = SB_LINEDOWN; break;
    case QAbstractSlider::SliderSingleStepSub: code = SB_LINEUP; break;
    case QAbstractSlider::SliderPageStepAdd: code = SB_PAGEDOWN; break;
    case QAbstractSlider::SliderPageStepSub: code = SB_PAGEUP; break;
    case QAbstractSlider::SliderToMinimum: code = SB_THUMBPOSITION; position = scrollBar->minimum(); break;
    case QAbstractSlider::SliderToMaximum: code = SB_THUMBPOSITION; position = scrollBar->maximum(); break;
    case QAbstractSlider::SliderMove: code = SB_THUMBTRACK; position = scrollBar->sliderPosition(); break;
    default: return;
    }
    if (bar == SB_VERT)
        OnVScroll(code, position);
    else
        OnHScroll(code, position);
    // The slider shows where the engine went (it may stop short of the request).
    ++m_nScrollGuard;
    if (code != SB_THUMBTRACK || GetGridData()->IsLiveTracking())
        scrollBar->setSliderPosition(bar == SB_VERT ? GetTopRow() : GetLeftColumn());
    --m_nScrollGuard;
}

void CGridWindow::ApplyWheel(int delta)
{
    m_nWheel += delta;
    while (m_nWheel >= kWheelNotch) {
        OnVScroll(SB_LINEUP, 0);
        m_nWheel -= kWheelNotch;
    }
    while (m_nWheel <= -kWheelNotch) {
        OnVScroll(SB_LINEDOWN, 0);
        m_nWheel += kWheelNotch;
    }
}

// ---------------------------------------------------------------- events

bool CGridWindow::event(QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Cut) || key->matches(QKeySequence::Paste)
            || key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)
            || (key->key() == Qt::Key_Y && key->modifiers() == Qt::ControlModifier) || key->key() == Qt::Key_Delete) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void CGridWindow::paintEvent(QPaintEvent* event)
{
    EnsureInitialised();
    QPainter painter(viewport());
    CGridPainterQt gridPainter(painter, event->rect());
    OnDraw(gridPainter);
}

void CGridWindow::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (m_bInResize)
        return;
    m_bInResize = true;
    CGridWindow::RecalcLayout();
    viewport()->update();
    m_bInResize = false;
}

void CGridWindow::showEvent(QShowEvent* event)
{
    QAbstractScrollArea::showEvent(event);
    EnsureInitialised();
}

void CGridWindow::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        viewport()->update();
}

UINT CGridWindow::MouseFlags(const QMouseEvent* event) const
{
    UINT flags = 0;
    if (event->buttons() & Qt::LeftButton)
        flags |= MK_LBUTTON;
    if (event->buttons() & Qt::RightButton)
        flags |= MK_RBUTTON;
    if (event->modifiers() & Qt::ShiftModifier)
        flags |= MK_SHIFT;
    if (event->modifiers() & Qt::ControlModifier)
        flags |= MK_CONTROL;
    return flags;
}

bool CGridWindow::InClient(POINT point) const
{
    RECT client;
    GetClientRect(client);
    return RectContains(client, point);
}

void CGridWindow::mousePressEvent(QMouseEvent* event)
{
    EnsureInitialised();
    ModifierScope scope(*this, event->modifiers());
    const POINT point{event->position().toPoint().x(), event->position().toPoint().y()};
    if (event->button() == Qt::LeftButton) {
        m_bLeftDown = true;
        setFocus(Qt::MouseFocusReason);
        if (InClient(point))
            CellLButtonDown(MouseFlags(event), point);
    } else if (event->button() == Qt::RightButton) {
        if (InClient(point)) {
            OnRButtonDown(MouseFlags(event), point);
            OnContextMenu(event->position().toPoint());
        }
    }
}

void CGridWindow::mouseDoubleClickEvent(QMouseEvent* event)
{
    ModifierScope scope(*this, event->modifiers());
    const POINT point{event->position().toPoint().x(), event->position().toPoint().y()};
    if (event->button() != Qt::LeftButton)
        return;
    m_bLeftDown = true;
    setFocus(Qt::MouseFocusReason);
    if (InClient(point))
        CellLButtonDblClk(MouseFlags(event), point);
}

void CGridWindow::mouseReleaseEvent(QMouseEvent* event)
{
    ModifierScope scope(*this, event->modifiers());
    if (event->button() == Qt::LeftButton) {
        m_bLeftDown = false;
        const QPoint p = event->position().toPoint();
        OnLButtonUp(MouseFlags(event), POINT{p.x(), p.y()});
    }
}

void CGridWindow::mouseMoveEvent(QMouseEvent* event)
{
    ModifierScope scope(*this, event->modifiers());
    const QPoint p = event->position().toPoint();
    const POINT point{p.x(), p.y()};
    if (InClient(point))
        CellMouseMove(MouseFlags(event), point);
    else
        OnMouseMove(MouseFlags(event), point);
}

void CGridWindow::keyPressEvent(QKeyEvent* event)
{
    EnsureInitialised();
    ModifierScope scope(*this, event->modifiers());
    static const std::pair<QKeySequence::StandardKey, int> shortcuts[] = {
        {QKeySequence::Copy, ID_EDIT_COPY}, {QKeySequence::Cut, ID_EDIT_CUT},
        {QKeySequence::Paste, ID_EDIT_PASTE}, {QKeySequence::Undo, ID_EDIT_UNDO},
        {QKeySequence::Redo, ID_EDIT_REDO},
    };
    for (const auto& [sequence, id] : shortcuts) {
        if (event->matches(sequence)) {
            CGridCmdState state;
            if (OnUpdateCommand(id, state) && state.enabled)
                OnCommand(id);
            return;
        }
    }
    if (event->key() == Qt::Key_Y && event->modifiers() == Qt::ControlModifier) {
        CGridCmdState state;
        if (OnUpdateCommand(ID_EDIT_REDO, state) && state.enabled)
            OnCommand(ID_EDIT_REDO);
        return;
    }
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        CGridCmdState state;
        if (OnUpdateCommand(ID_EDIT_CLEAR, state) && state.enabled)
            OnCommand(ID_EDIT_CLEAR);
        return;
    }
    const UINT key = VirtualKeyOf(event);
    if (key != 0)
        RouteKeyDown(key, 1, 0);
    // The characters the key types go to the cell as well; cells ignore controls.
    const QString text = event->text();
    if (text.isEmpty() || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return;
    for (char32_t c : text.toUcs4())
        CellChar(UINT(c), 1, 0);
}

void CGridWindow::RouteKeyDown(UINT key, UINT repeat, UINT flags) { CellKeyDown(key, repeat, flags); }

void CGridWindow::wheelEvent(QWheelEvent* event)
{
    ApplyWheel(event->angleDelta().y());
    event->accept();
}

void CGridWindow::timerEvent(QTimerEvent* event)
{
    for (const auto& [id, qtId] : m_timers) {
        if (qtId == event->timerId()) {
            OnTimer(id);
            return;
        }
    }
    QAbstractScrollArea::timerEvent(event);
}
