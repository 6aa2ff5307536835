// The stored look and state of a grid: counts, frozen and heading rows and
// columns, sizes, selection, current cell, font, colours, zoom and options.
// Every grid engine points to one; the panes and views of one data table
// share one. The cell-class tables are filled by the hosts at run time and
// are not stored.
#pragma once

#include "grid/GridTypes.h"
#include "platform/Object.h"
#include "platform/Types.h"

#include <map>
#include <string>
#include <vector>

// Classic system colours: the defaults a new grid stores.
enum : int {
    COLOR_WINDOW = 5, COLOR_WINDOWFRAME = 6, COLOR_WINDOWTEXT = 8, COLOR_BTNFACE = 15,
    COLOR_BTNSHADOW = 16, COLOR_GRAYTEXT = 17, COLOR_BTNHIGHLIGHT = 20,
};
COLORREF GridSysColor(int index);

// The run-time class from which the engine creates the cell objects of a cell.
struct CGridClassEntry {
    const CRuntimeClass* pClass = nullptr;
};

class CGridData : public CObject {
    DECLARE_SERIAL(CGridData)
public:
    CGridData();
    ~CGridData() override;
    CGridData(const CGridData&) = delete;
    CGridData& operator=(const CGridData&) = delete;

    void Serialize(CArchive& ar) override;

    // Builds the working font from font and pointSize (when not 0) for a
    // drawing surface of dpiY dots per inch: the height is in the engine's
    // logical units (six per device pixel), zoomed unless zoom is suspended.
    void SetFont(int dpiY, const LOGFONT& font, int pointSize);
    // Height of the working font in device pixels (negative: a character height).
    int GetDeviceFontHeight() const { return m_nDeviceFontHeight; }
    // The working font with its height in device pixels, as a painter draws with it.
    LOGFONT GetDeviceFont() const;
    // The zoom percent in force; a stored zoom that is not positive counts as 100.
    int GetEffectiveZoom() const { return m_bZoomSuspended || m_nZoom <= 0 ? 100 : m_nZoom; }

    void ClearSelectedCells() { m_selectedCells.clear(); }
    void ClearSelectedRanges() { m_ranges.clear(); }

    // Cell-class tables (run time only), consulted in this order by the engine.
    std::map<int, CGridClassEntry> m_priorityRowClasses;
    std::map<int, CGridClassEntry> m_priorityColumnClasses;
    std::vector<CGridRange> m_classRanges;          // newest first
    std::vector<CGridClassEntry> m_classRangeEntries; // parallel to m_classRanges
    std::map<int, CGridClassEntry> m_rowClasses;
    std::map<int, CGridClassEntry> m_columnClasses;
    const CRuntimeClass* m_pDefaultCellClass = nullptr;
    // Adds a class range as the newest (it wins over older overlapping ranges).
    void AddClassRange(const CGridRange& range, const CRuntimeClass* cls);

    // Stored sizes in thousandths of an inch.
    std::map<int, int> m_columnWidths;
    std::map<int, int> m_rowHeights;

    RECT m_frameRect;          // logical units; a full re-layout starts from it
    int m_nColumnCount = 100;
    int m_nRowCount = 100;
    int m_nFirstScrollableColumn = 1;
    int m_nFirstScrollableRow = 1;
    int m_nOptionWord = 0;

    int m_bRowResize = 1;
    int m_bColumnResize = 1;
    int m_bKeepVertScrollBar = 1;
    int m_bKeepHorzScrollBar = 1;
    int m_bRowSelection = 1;
    int m_bColumnSelection = 1;

    std::vector<CGridRange> m_ranges;            // the first is the main selection
    std::vector<CGridCellRef> m_selectedCells;   // (column, row) pairs

    int m_bSelCells = 0;
    int m_bSelRows = 0;
    int m_bSelColumns = 0;

    int m_nDefaultRowHeight = 0;
    int m_nDefaultColumnWidth = 0;
    int m_nFixedDefaultRowHeight = 0;    // 0: follow the grid font
    int m_nFixedDefaultColumnWidth = 0;  // 0: follow the grid font
    int m_bShowFocus = 1;
    int m_bShowHighlight = 1;
    int m_nFitColumns = 0;               // non-zero: a full re-layout fits the columns to the window

    std::string m_text;

    int m_nResizeGrip = 3; // device pixels
    int m_nSpareAfterGrip = 0;
    int m_bStay = 0;       // run time: the next move of the current cell stops

    COLORREF m_crShadow;
    COLORREF m_crFrame;
    COLORREF m_crText;
    COLORREF m_crBack1;
    COLORREF m_crBack2;
    COLORREF m_crBack3; // run time only

    int m_nPointSize = 10;
    LOGFONT m_storedFont;

    int m_bLiveTracking = 1; // dragging the scroll thumb scrolls at once
    int m_bGridLines = 1;    // inner grid lines are drawn
    int m_nOption3 = 1;
    int m_nHeaderColumns = 1; // also the frozen columns
    int m_nFrozenRows = 1;
    int m_nHeaderRows = 1;

    int m_bFirstView = 0;
    int m_leftColumn[4] = {1, 1, 1, 1};
    int m_topRow[4] = {1, 1, 1, 1};

    int m_nZoom = 100;
    int m_bZoomSuspended = 0; // run time

    int m_nLogPixelsX = 96; // run time: of the last prepared drawing surface
    int m_nLogPixelsY = 96;

    // Words of the stored form that nothing reads yet: kept, stored and loaded in their places.
    int m_nSpareA = 0;
    int m_nSpareB = 0; // run time
    int m_nSpareC = 0;
    int m_nSpareD = 0;
    DWORD m_dwOptions = GRID_OPTION_MULTI_RANGE;
    int m_nSpareE = 0; // run time

    int m_nCurrentColumn = -1;
    int m_nCurrentRow = -1;

    int m_nScrollLimitRows = -1;
    int m_nScrollLimitColumns = -1;
    int m_nVertScrollStep = 1;
    int m_nHorzScrollStep = 1;

    // Copies refreshed after every load: the six words of the option block and four colours.
    struct SavedCopies {
        int option1 = 1, option2 = 1, option3 = 1, headerColumns = 1, frozenRows = 1, headerRows = 1;
        COLORREF shadow = 0, text = 0, back1 = 0, back2 = 0;
    } m_saved;

    LOGFONT m_workingFont; // heights in logical units once built
    int m_nDeviceFontHeight = 0;
    int m_cursorOverride = 0; // a cursor id shown instead of the hit-code cursors, 0 = none

    bool IsLiveTracking() const { return m_bLiveTracking != 0; }
    bool ShowsGridLines() const { return m_bGridLines != 0; }

    // The text every grid measures for its automatic default sizes.
    static const std::string& SampleText();

    // Largest row or column count (and index) a grid keeps: far beyond any
    // table, and small enough that index arithmetic never overflows.
    static constexpr int kMaxIndex = 1 << 30;

private:
    void RefreshSavedCopies();
    // Brings values a damaged file may hold into the ranges the engine works in.
    void ClampLoadedValues();
};
