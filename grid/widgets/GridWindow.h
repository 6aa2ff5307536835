// What the grid control and the grid view share: a scroll area whose viewport
// shows a grid engine, and which serves that engine as its host. The viewport
// is the engine's client area; the scroll bars carry grid rows and columns one
// unit each (the engine keeps every count within the int range, so the
// positions are exact for any size). Input is routed to the cell objects or
// to the engine; the standard edit commands go to the engine.
#pragma once

#include "grid/GridEngine.h"
#include "grid/GridHost.h"
// The standard edit command ids.
#include "platform/widgets/CommandIds.h"

#include <QAbstractScrollArea>

#include <map>

class QMenu;
class QKeyEvent;


class CGridWindow : public QAbstractScrollArea, public CGridEngine, public CGridHost {
    Q_OBJECT
public:
    explicit CGridWindow(QWidget* parent = nullptr);
    ~CGridWindow() override;

    // The engine's virtual key for a Qt key (0 for keys the grid ignores).
    static UINT VirtualKeyOf(const QKeyEvent* event);
    // The modifiers of the event being handled (input that an editor passes on carries its own).
    void SetEventModifiers(Qt::KeyboardModifiers modifiers);

    // Sets the engine up once the window exists; a later call does nothing.
    void EnsureInitialised();

    // Edit commands and their update passes; false when the id is not a grid command.
    virtual bool OnCommand(int id);
    virtual bool OnUpdateCommand(int id, CGridCmdState& state);
    // Gives every action of a menu whose data() is a command id its update
    // pass (enabled state and, when the pass sets one, its text).
    void UpdateMenu(QMenu* menu);

    // ---- Host services ----
    bool HasWindow() const override { return m_bAlive; }
    bool IsWindowVisible() const override { return m_bAlive && isVisible(); }
    bool IsWindowEnabled() const override { return isEnabled(); }
    void GetClientRect(RECT& rect) const override;
    CGridMetrics GetMetrics() const override;
    SIZE MeasureText(const LOGFONT& deviceFont, std::string_view text) const override;
    void Invalidate(bool erase) override;
    void InvalidateRect(const RECT& rect, bool erase) override;
    void UpdateWindow() override;
    void ScrollWindow(int dx, int dy, const RECT& area) override;
    void SetScrollRange(int bar, int minimum, int maximum) override;
    void SetScrollPos(int bar, int position) override;
    int GetScrollPos(int bar) const override;
    void ShowScrollBar(int bar, bool show, bool enable) override;
    void SetCapture() override { m_bCaptured = true; }
    void ReleaseCapture() override { m_bCaptured = false; }
    void SetTimer(UINT id, UINT elapseMs) override;
    void KillTimer(UINT id) override;
    POINT GetCursorPos() const override;
    void PostMouseMove(UINT flags, POINT point) override;
    void PostKeyDown(UINT key, UINT repeat, UINT flags) override;
    UINT GetKeyModifiers() const override;
    void SetCursor(int cursorId) override;
    bool OpenClipboard() override { return true; }
    bool EmptyClipboard() override;
    void SetClipboardText(const std::string& text) override;
    bool GetClipboardText(std::string& text) override;
    bool CloseClipboard() override { return true; }
    bool ClipboardHasText() const override;
    std::unique_ptr<CGridEditor> CreateEditor(int kind) override;
    void RecalcLayout() override;

    bool IsCapturing() const { return m_bCaptured; }
    int GetWheelRemainder() const { return m_nWheel; }

protected:
    // Keys after the edit shortcuts: the control adds its Tab walk here.
    virtual void RouteKeyDown(UINT key, UINT repeat, UINT flags);
    // A right click inside the grid, after the engine has moved the current cell.
    virtual void OnContextMenu(const QPoint& position) {}
    void ApplyWheel(int delta);

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void scrollContentsBy(int, int) override {}

    bool m_bAlive = false;

private:
    void OnScrollAction(int bar, int action);
    UINT MouseFlags(const QMouseEvent* event) const;
    bool InClient(POINT point) const;

    int m_nWheel = 0;
    bool m_bCaptured = false;
    bool m_bLeftDown = false; // between a left press and its release
    bool m_bInResize = false;
    int m_nScrollGuard = 0;
    Qt::KeyboardModifiers m_modifiers;
    bool m_bHaveModifiers = false;
    std::map<UINT, int> m_timers; // engine id -> Qt timer id
};
