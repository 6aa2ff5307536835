// A host without a window for driving the grid engine in tests: it records
// what the engine asks of it and answers from fields the test sets.
#pragma once

#include "grid/GridEngine.h"
#include "grid/GridPainter.h"

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// A text box or list without a window: typing inserts at the caret.
class FakeEditor : public CGridEditor {
public:
    explicit FakeEditor(int kind, int* alive, std::function<void()> onDestroy)
        : kind(kind), m_alive(alive), m_onDestroy(std::move(onDestroy))
    {
        ++*m_alive;
    }
    ~FakeEditor() override
    {
        --*m_alive;
        if (m_onDestroy)
            m_onDestroy();
    }
    void SetText(std::string_view t) override
    {
        text = std::string(t);
        selStart = selEnd = int(text.size());
    }
    std::string GetText() const override { return text; }
    bool IsModified() const override { return modified; }
    void SetModified(bool m) override { modified = m; }
    void GetSel(int& s, int& e) const override
    {
        s = selStart;
        e = selEnd;
    }
    void SetSel(int s, int e) override
    {
        int n = int(text.size());
        selStart = std::min(s, n);
        selEnd = std::min(e, n);
    }
    void MoveTo(const RECT& r) override { rect = r; }
    RECT GetRect() const override { return rect; }
    void Show() override { shown = true; }
    void SetFont(const LOGFONT& f) override { font = f; }
    void SetFocus() override { focused = true; }
    bool HasFocus() const override { return focused; }
    void SendChar(UINT ch, UINT, UINT) override
    {
        text.replace(std::size_t(selStart), std::size_t(selEnd - selStart), 1, char(ch));
        selStart = selEnd = selStart + 1;
        modified = true;
    }
    void SendLButtonDown(UINT, POINT p) override { clicks.push_back(p); }
    void Copy() override {}
    void Cut() override {}
    void Clear() override
    {
        text.erase(std::size_t(selStart), std::size_t(selEnd - selStart));
        selEnd = selStart;
        modified = true;
    }
    void Paste() override {}
    void Undo() override {}
    bool CanUndo() const override { return modified; }
    void AddItem(std::string_view t) override { items.emplace_back(t); }
    int SelectItem(std::string_view t) override
    {
        curSel = -1;
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i] == t)
                curSel = int(i);
        return curSel;
    }
    int GetCurSel() const override { return curSel; }
    std::string GetItemText(int i) const override { return items.at(std::size_t(i)); }

    int kind;
    std::string text;
    bool modified = false;
    int selStart = 0, selEnd = 0;
    RECT rect;
    bool shown = false, focused = false;
    LOGFONT font;
    std::vector<POINT> clicks;
    std::vector<std::string> items;
    int curSel = -1;

private:
    int* m_alive;
    std::function<void()> m_onDestroy;
};

class FakeGridHost : public CGridHost {
public:
    explicit FakeGridHost(int width = 500, int height = 300) : client{0, 0, width, height} {}

    bool HasWindow() const override { return true; }
    bool IsWindowVisible() const override { return visible; }
    bool IsWindowEnabled() const override { return enabled; }
    void GetClientRect(RECT& rect) const override { rect = client; }
    CGridMetrics GetMetrics() const override { return metrics; }
    // Text extent proportional to the font: each character half the height wide.
    SIZE MeasureText(const LOGFONT& font, std::string_view text) const override
    {
        int h = font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
        return SIZE{int(text.size()) * (h / 2), h};
    }
    void Invalidate(bool) override { invalidated.push_back(client); }
    void InvalidateRect(const RECT& rect, bool) override { invalidated.push_back(rect); }
    void UpdateWindow() override { ++updates; }
    void ScrollWindow(int dx, int dy, const RECT&) override { scrolls.emplace_back(dx, dy); }
    void SetScrollRange(int bar, int minimum, int maximum) override { range[bar] = {minimum, maximum}; }
    void SetScrollPos(int bar, int position) override { pos[bar] = position; }
    int GetScrollPos(int bar) const override
    {
        auto it = pos.find(bar);
        return it == pos.end() ? 0 : it->second;
    }
    void ShowScrollBar(int bar, bool show, bool enable) override { bars[bar] = {show, enable}; }
    void SetCapture() override { captured = true; }
    void ReleaseCapture() override { captured = false; }
    void SetTimer(UINT id, UINT ms) override { timers[id] = ms; }
    void KillTimer(UINT id) override { timers.erase(id); }
    POINT GetCursorPos() const override { return cursor; }
    void PostMouseMove(UINT flags, POINT point) override { posted.emplace_back(flags, point); }
    UINT GetKeyModifiers() const override { return modifiers; }
    void SetCursor(int id) override { cursorId = id; }
    bool OpenClipboard() override
    {
        ++opens;
        return canOpen;
    }
    bool EmptyClipboard() override { return canEmpty; }
    void SetClipboardText(const std::string& text) override { clipboard = text; }
    bool GetClipboardText(std::string& text) override
    {
        text = clipboard;
        return !clipboard.empty();
    }
    bool CloseClipboard() override { return canClose; }
    bool ClipboardHasText() const override { return !clipboard.empty(); }
    std::unique_ptr<CGridEditor> CreateEditor(int kind) override
    {
        auto editor = std::make_unique<FakeEditor>(kind, &editorsAlive, onEditorDestroyed);
        lastEditor = editor.get();
        return editor;
    }
    void PostKeyDown(UINT key, UINT, UINT) override { postedKeys.push_back(key); }
    // Every engine in peers shows a window of the same document.
    void BroadcastGridEvent(CGridEngine& sender, int code, const void* data) override
    {
        events.push_back(code);
        if (peers.empty()) {
            sender.OnGridEvent(&sender, code, data);
            return;
        }
        for (CGridEngine* peer : peers)
            peer->OnGridEvent(&sender, code, data);
    }

    RECT client;
    CGridMetrics metrics;
    bool visible = true;
    bool enabled = true;
    std::vector<RECT> invalidated;
    int updates = 0;
    std::vector<std::pair<int, int>> scrolls;
    std::map<int, std::pair<int, int>> range;
    std::map<int, int> pos;
    std::map<int, std::pair<bool, bool>> bars;
    bool captured = false;
    std::map<UINT, UINT> timers;
    POINT cursor;
    std::vector<std::pair<UINT, POINT>> posted;
    UINT modifiers = 0;
    int cursorId = 0;
    bool canOpen = true, canEmpty = true, canClose = true;
    int opens = 0;
    std::string clipboard;
    std::vector<int> events;
    std::vector<CGridEngine*> peers;
    FakeEditor* lastEditor = nullptr; // valid while editorsAlive > 0
    int editorsAlive = 0;
    std::function<void()> onEditorDestroyed;
    std::vector<UINT> postedKeys;
};

// Records what the engine paints.
class RecordingPainter : public CGridPainter {
public:
    explicit RecordingPainter(RECT clip) : m_clip(clip) {}
    RECT GetClipBox() const override { return m_clip; }
    void FillRect(const RECT&, COLORREF) override {}
    void DrawLine(int, int, int, int, COLORREF) override { ++lines; }
    void DrawText(const RECT& rect, std::string_view text, UINT, COLORREF color, const LOGFONT&) override
    {
        texts.emplace_back(std::string(text), rect);
        textColors.push_back(color);
    }
    void DrawHighlight(const RECT& rect) override { highlights.push_back(rect); }
    void DrawFocusFrame(const RECT& rect) override { focus.push_back(rect); }
    void DrawTracker(const RECT& rect) override { trackers.push_back(rect); }

    int lines = 0;
    std::vector<std::pair<std::string, RECT>> texts;
    std::vector<COLORREF> textColors;
    std::vector<RECT> highlights, focus, trackers;

private:
    RECT m_clip;
};

// A grid holding texts in a map; stores can be refused by text.
class TextGrid : public CGridEngine {
public:
    void GetCellValueText(int row, int column, std::string& text) override
    {
        auto it = cells.find({row, column});
        text = it == cells.end() ? std::string() : it->second;
    }
    int SetCellText(int row, int column, const std::string& text) override
    {
        ++stores;
        if (text == refuse)
            return -1;
        cells[{row, column}] = text;
        return 1;
    }
    int GetLastRow(int column) const override { return lastRow >= 0 ? lastRow : CGridEngine::GetLastRow(column); }
    void OnCellsChanged(const std::vector<CGridCellRef>& list) override { changed = list; }
    void OnCurrentCellChanged(int row, int column, int) override { moves.emplace_back(row, column); }

    std::map<std::pair<int, int>, std::string> cells;
    std::string refuse = "\x01never";
    int stores = 0;
    int lastRow = -1; // the last used row of every column, -1: the grid's last row
    std::vector<CGridCellRef> changed;
    std::vector<std::pair<int, int>> moves;
};

// A 100 x 100 grid with one heading row and column, 96 x 24 pixel cells at
// 96 dpi, in a 500 x 300 pixel window: 6 columns and 13 rows are laid out.
struct GridFixture {
    explicit GridFixture(int width = 500, int height = 300) : host(width, height)
    {
        grid.SetGridData(&data);
        grid.SetHost(&host);
        data.m_nFixedDefaultColumnWidth = 1000; // one inch: 96 px
        data.m_nFixedDefaultRowHeight = 250;    // a quarter inch: 24 px
        data.m_pDefaultCellClass = RUNTIME_CLASS(CGridCellObject);
        grid.InitGrid();
    }
    // The centre of a cell's device rectangle while it is on screen.
    POINT Centre(int row, int column) const
    {
        RECT r;
        grid.GetCellRect(row, column, r);
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    CGridData data;
    FakeGridHost host;
    TextGrid grid;
};
