// The window-independent heart of every grid: layout of the visible part,
// one cell object per visible cell, hit testing, selection and current cell,
// keys and mouse, scrolling and the clipboard text exchange. It owns no
// window; everything that needs one goes through its host (CGridHost), and
// everything it shows it paints through a painter the host gives it.
//
// Units: stored sizes are thousandths of an inch; the engine lays out in
// logical units, six per device pixel, with y growing upwards (row heights
// and row positions are negative); hit tests, events and the host speak
// device pixels with y downwards.
#pragma once

#include "grid/GridData.h"
#include "grid/GridHost.h"
#include "grid/GridObjectList.h"
#include "grid/GridTypes.h"

#include <functional>
#include <set>
#include <string_view>
#include <string>
#include <utility>
#include <vector>

class CGridPainter;

// Splits clipboard text into lines of tab-separated fields. Lines end at
// CRLF, LF or CR; one line end at the very end of the text is ignored.
std::vector<std::vector<std::string>> SplitClipboardText(std::string_view text);
// Joins cells into clipboard text: tabs between the cells of a row, CRLF
// before each new row, nothing after the last cell.
std::string JoinClipboardText(const std::vector<CGridCellRef>& cells,
                              const std::function<std::string(int row, int column)>& textOf);

class CGridEngine {
public:
    // Most cells a copy or clear may list; one more would not fit the list's 32-bit byte size.
    static constexpr std::int64_t kMaxSelectedCells = 536870911;
    static constexpr int kLogicalPerPixel = 6;
    // No row or column is laid out larger than this (logical units, about
    // 2.8 million pixels), so that positions summed over a screen never overflow.
    static constexpr int kMaxLogicalSize = 1 << 24;

    CGridEngine();
    virtual ~CGridEngine();
    CGridEngine(const CGridEngine&) = delete;
    CGridEngine& operator=(const CGridEngine&) = delete;

    void SetHost(CGridHost* host) { m_pHost = host; }
    CGridHost* GetHost() const { return m_pHost; }
    void SetGridData(CGridData* data) { m_pData = data; }
    CGridData* GetGridData() const { return m_pData; }
    // The splitter pane this engine shows (row x 2 + column), 0 outside a splitter.
    void SetPane(int pane) { m_nPane = pane >= 0 && pane < 4 ? pane : 0; }
    int GetPane() const { return m_nPane; }

    // ---- Overridable behaviour (hooks do nothing in the engine) ----
    virtual void InitCells();
    virtual const CRuntimeClass* GetCellClass(int row, int column) const;
    virtual int GetLastRow(int column) const;
    virtual int GetLastColumn(int row) const;
    virtual int GetLeftColumn() const;
    virtual int GetTopRow() const;
    virtual void SetLeftColumn(int column);
    virtual void SetTopRow(int row);
    virtual void OnBeforeCopy() {}
    // Non-zero: the grid has pasted by itself and the engine does nothing.
    virtual int HandlePaste() { return 0; }
    virtual void OnAfterDrawCells(CGridPainter& painter, int pass) {}
    virtual int GetDefaultColumnWidth(int column, bool zoomed) const;
    virtual int GetDefaultRowHeight(int row, bool zoomed) const;
    virtual void OnBeforeKeyScroll(UINT key, int row, int column) {}
    // Applies a grid event to this engine's window. Events from an engine
    // that shows other grid data are ignored.
    virtual void OnGridEvent(CGridEngine* sender, int code, const void* data);
    virtual void OnColumnWidthChanging(int column, int* width) {}
    virtual void OnRowHeightChanging(int row, int* height) {}
    virtual void OnCurrentCellChanged(int row, int column, int flag) {}
    // Device rectangles.
    virtual RECT GetTextRect(const RECT& cellRect) const;
    virtual void DrawCellText(CGridPainter& painter, int row, int column, const RECT& textRect);
    virtual void FillCellBackground(CGridPainter& painter, const RECT& rect);
    virtual void OnFocusDrawing() {}
    virtual void GetCellText(int row, int column, std::string& text);
    virtual void GetEditText(int row, int column, std::string& text);
    virtual void GetHeaderText(int row, int column, std::string& text);
    virtual void GetCellValueText(int row, int column, std::string& text) { text.clear(); }
    // 1 = stored, -1 = refused (an editor then stays open with its text).
    virtual int SetCellText(int row, int column, const std::string& text) { return 1; }
    virtual void OnCellsChanged(const std::vector<CGridCellRef>& cells) {}
    virtual void GetSelectionText(std::string& text);
    virtual void DrawFocus(CGridPainter& painter, const RECT& rect);
    virtual void DrawSelection(CGridPainter& painter, const RECT& rect);
    virtual void SetupFonts();
    void SetStayFlag();
    // Passes a grid event to every window that shows this grid's data.
    virtual void Notify(int code, const void* data = nullptr);
    virtual void OnRButtonCellChanged(UINT flags, POINT point) {}
    virtual void OnRButtonDown(UINT flags, POINT point);
    virtual void OnHScroll(int code, int position);
    virtual void Relayout(int flag, int x = 0, int y = 0);
    virtual void OnVScroll(int code, int position);
    virtual void OnDraw(CGridPainter& painter);
    virtual void OnMouseMove(UINT flags, POINT point);
    virtual void OnLButtonDown(UINT flags, POINT point);
    virtual void OnLButtonUp(UINT flags, POINT point);
    virtual void OnTimer(UINT id);
    virtual void OnKeyDown(UINT key, UINT repeat, UINT flags);
    virtual void OnChar(UINT ch, UINT repeat, UINT flags) {}
    virtual void OnUndo() {}
    virtual void OnRedo() {}
    virtual void OnUpdateUndo(CGridCmdState& state) { state.Enable(false); }
    virtual void OnUpdateRedo(CGridCmdState& state) { state.Enable(false); }
    virtual void NotifyCurrentCell();
    virtual void RenotifyCurrentCell();
    // Makes the object of a cell from its class (null when the class makes no cell object).
    virtual CGridCellObject* CreateCellObject(int row, int column);

    // ---- Set-up ----
    void InitGrid();
    bool IsInitialised() const { return m_bInitialised; }
    // Reads the host's device metrics into the grid data (resolution, screen extent).
    void PrepareMetrics();

    // ---- Sizes and units ----
    int GetColumnWidth(int column, bool zoomed) const;
    int GetRowHeight(int row, bool zoomed) const;
    int LogicalToStoredX(int value) const;
    int LogicalToStoredY(int value) const;
    int StoredToLogicalX(int value) const;
    int StoredToLogicalY(int value) const;
    void StoredRectToLogical(RECT& rect) const;
    void LogicalRectToStored(RECT& rect) const;
    void SetColumnWidth(int column, int width, bool notify, bool zoomed, bool askHook);
    void SetRowHeight(int row, int height, bool notify, bool zoomed, bool askHook);
    void SetDefaultColumnWidth(int width, bool zoomed);
    int SetZoom(int percent);
    void SetRowCount(int count, bool notify);
    void SetColumnCount(int count, bool notify);
    void SetScrollLimits(int rows, int columns, bool notify);
    void ShowColumn(int column, bool show, bool notify);
    void ShowRow(int row, bool show, bool notify);
    bool IsColumnHidden(int column) const { return m_hiddenColumns.count(column) != 0; }
    bool IsRowHidden(int row) const { return m_hiddenRows.count(row) != 0; }
    void SetFirstScrollableColumn(int column);
    void SetFirstScrollableRow(int row);
    // Moves the first scrollable row and column, and the top row and left column, to the current cell.
    void ScrollOriginToCurrentCell();

    // ---- Layout ----
    void RecalcLayout();
    void Update(int code, int argument);
    // Sets the default sizes that follow the font and the scroll areas.
    void RefreshDefaults();
    int GetVisibleRowCount() const { return int(m_rowPos.size()); }
    int GetVisibleColumnCount() const { return int(m_colPos.size()); }
    bool RowsFit() const { return m_bRowsFit; }
    bool ColumnsFit() const { return m_bColumnsFit; }
    const RECT& GetGridRect() const { return m_gridRect; }
    const RECT& GetVertScrollArea() const { return m_vertScrollArea; }
    const RECT& GetHorzScrollArea() const { return m_horzScrollArea; }
    // Screen index of a grid row or column, -1 when it is not laid out now; and back.
    int RowToScreen(int row) const;
    int ColumnToScreen(int column) const;
    int ScreenToRow(int screenRow) const;
    int ScreenToColumn(int screenColumn) const;
    bool IsValidRow(int row) const { return RowToScreen(row) >= 0; }
    bool IsValidColumn(int column) const { return ColumnToScreen(column) >= 0; }
    // Device rectangle of a cell on screen; false (and empty) when it is not.
    bool GetCellRect(int row, int column, RECT& rect) const;
    // Device rectangle of the visible part of a selected range (empty when none).
    RECT GetRangeRect(int index) const;
    RECT GetRangeRect(const CGridRange& range) const;
    void InvalidateRows(int first, int last, bool erase);
    void InvalidateColumns(int first, int last, bool erase);
    void FitColumns();

    // ---- Scrolling ----
    int UpdateScrollRange(int bar);
    void UpdateScrollPositions();
    void ShowScrollBar(int bar, bool show);
    bool IsScrollBarShown(int bar) const { return bar == SB_VERT ? m_bVertBarShown : m_bHorzBarShown; }

    // ---- Cells ----
    CGridCellObject* GetCellObject(int row, int column) const;
    CGridCellObject* GetCurrentCellObject() const;
    // While a cell's handler runs, the cell objects are never rebuilt: a
    // rebuild asked for meanwhile waits until the outermost handler returns.
    void BeginCellCall() { ++m_nCellCalls; }
    void EndCellCall();
    bool CellsStale() const { return m_bCellsStale; }
    void OnCellEdited(int row, int column);
    // Input a host routes to the cell objects: the mouse to the cell under
    // the point, keys and characters to the current cell; where there is no
    // such cell object the engine's own handler runs.
    void CellLButtonDown(UINT flags, POINT point);
    void CellLButtonDblClk(UINT flags, POINT point);
    void CellMouseMove(UINT flags, POINT point);
    void CellKeyDown(UINT key, UINT repeat, UINT flags);
    void CellChar(UINT ch, UINT repeat, UINT flags);
    void CellListSelEndOk();
    void CellListDropDown();
    void CellListCloseUp();
    void CellEditorKillFocus();
    // True when the editor must leave the key alone.
    bool CellEditorKeyDown(UINT key, UINT repeat, UINT flags);
    void CommitCurrentCellEdit();

    // ---- Selection and current cell ----
    int GetCurrentRow() const { return m_pData ? m_pData->m_nCurrentRow : -1; }
    int GetCurrentColumn() const { return m_pData ? m_pData->m_nCurrentColumn : -1; }
    // flags: MK_SHIFT extends the main range, MK_CONTROL adds a range. Scroll
    // modes: 0 into view when off screen, 1 always to it, 2 never.
    void SetCurrentCell(int row, int column, UINT flags = 0, int rowScroll = 0, int columnScroll = 0);
    void SetSelection(const CGridRange& range, int index = 0, bool notify = true);
    void SelectWholeColumn(int column, int index, bool notify);
    void SelectColumn(int column, bool clear, bool notify);
    bool BuildSelectedCellList();
    int EnableRowResize(int flag);
    int EnableColumnResize(int flag);
    int EnableRowSelection(int flag);
    int EnableColumnSelection(int flag);
    void SetOptions(DWORD bits);

    // ---- Hit testing and dragging ----
    void HitTest(POINT point, CGridHitInfo& hit) const;
    bool IsMouseSelecting() const { return m_bMouseSelection; }
    bool IsResizing() const { return m_bColumnResizing || m_bRowResizing; }
    int GetCursorCode() const { return m_nCursorCode; }
    int GetFocusMode() const { return m_nFocusMode; }
    void SetFocusMode(int mode) { m_nFocusMode = mode; }

    // ---- Edit commands ----
    int CopyToClipboard();
    int Cut();
    int ClearSelection();
    void PasteFromClipboard();
    void Undo();
    void Redo();
    // Each answers whether it decided the state (0: the host decides).
    int OnUpdateEditClear(CGridCmdState& state);
    int OnUpdateEditCopy(CGridCmdState& state);
    int OnUpdateEditCut(CGridCmdState& state);
    int OnUpdateEditPaste(CGridCmdState& state);
    int OnUpdateEditUndo(CGridCmdState& state);
    int OnUpdateEditRedo(CGridCmdState& state);

    // Device and logical coordinates.
    static int LogicalToDeviceX(int x) { return MulDiv(x, 1, kLogicalPerPixel); }
    static int LogicalToDeviceY(int y) { return MulDiv(-y, 1, kLogicalPerPixel); }
    static int DeviceToLogicalX(int x) { return x * kLogicalPerPixel; }
    static int DeviceToLogicalY(int y) { return -y * kLogicalPerPixel; }
    int GetMarginX() const { return m_nMarginX; }
    int GetMarginY() const { return m_nMarginY; }

protected:
    struct CellCallScope {
        explicit CellCallScope(CGridEngine& engine) : m_engine(engine) { engine.BeginCellCall(); }
        ~CellCallScope() { m_engine.EndCellCall(); }
        CGridEngine& m_engine;
    };

    CGridData& Data() const { return *m_pData; }
    void RebuildCells();
    RECT ClientRect() const;
    int RowCount() const { return m_pData->m_nRowCount > 0 ? m_pData->m_nRowCount : 0; }
    int ColumnCount() const { return m_pData->m_nColumnCount > 0 ? m_pData->m_nColumnCount : 0; }
    int FrozenRows() const { return m_pData->m_nFrozenRows > 0 ? m_pData->m_nFrozenRows : 0; }
    int HeaderRows() const { return m_pData->m_nHeaderRows > 0 ? m_pData->m_nHeaderRows : 0; }
    int HeaderColumns() const { return m_pData->m_nHeaderColumns > 0 ? m_pData->m_nHeaderColumns : 0; }
    int Grip() const;
    void ClassifySelection(const CGridRange& range);
    CGridRange ClampRange(CGridRange range) const;
    void ScrollRowIntoLine(int row, int fromRow);
    void ScrollColumnIntoLine(int column, int fromColumn);
    // What a code of the bar (SB_VERT or SB_HORZ) does, for both bars alike:
    // moves the top row or the left column, scrolls or redraws, and keeps an
    // open editor with its cell.
    void Scroll(int bar, int code, int position);
    void ExtendDragSelection(const CGridHitInfo& hit);
    void InvalidateHighlights();
    RECT TrackerRect() const;
    void EndCurrentEdit();
    bool IsRowFullyVisible(int row) const;
    bool IsColumnFullyVisible(int column) const;
    int ScreenRowAtY(int y) const;
    int ScreenColumnAtX(int x) const;
    void InvalidateGrid(bool erase);

    CGridHost* m_pHost = nullptr;
    CGridData* m_pData = nullptr;
    int m_nPane = 0;
    bool m_bInitialised = false;
    std::set<int> m_hiddenRows;
    std::set<int> m_hiddenColumns;
    CGridObjectList m_cells;
    bool m_bVertBarShown = true;
    bool m_bHorzBarShown = true;
    bool m_bRowResizing = false;
    bool m_bColumnResizing = false;
    int m_nResizeIndex = -1;     // row or column being resized
    int m_nResizeStart = 0;      // its top or left edge, device
    POINT m_dragStart;
    int m_nTracker = -1;         // tracker line position, device (-1 none)
    bool m_bMouseSelection = false;
    int m_nFocusMode = GRID_FOCUS_ALL;
    bool m_bHighlightHidden = false;
    int m_nMarginX = kLogicalPerPixel;
    int m_nMarginY = kLogicalPerPixel;
    int m_nYDirection = -1;
    int m_nCursorCode = GRID_HIT_NONE;
    // Layout: (start, end) per screen column (x) and screen row (y), logical units.
    std::vector<std::pair<int, int>> m_colPos;
    std::vector<std::pair<int, int>> m_rowPos;
    SIZE m_screenExtent;
    bool m_bRowsFit = true;
    bool m_bColumnsFit = true;
    RECT m_gridRect;        // device
    RECT m_vertScrollArea;  // device: below the frozen rows
    RECT m_horzScrollArea;  // device: right of the header columns
    POINT m_relayoutPoint;
    int m_nCellCalls = 0;
    bool m_bCellsStale = false;
};
