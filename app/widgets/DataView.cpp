#include "app/widgets/DataView.h"

#include "app/MXDoc.h"
#include "app/MXGrid.h"
#include "app/widgets/ConvertFileDlg.h"
#include "app/widgets/ColumnWidthDlg.h"
#include "app/widgets/GotoCellDlg.h"
#include "app/widgets/GridColorsPage.h"
#include "app/widgets/PasteColumnsDlg.h"
#include "app/widgets/MyEditCell.h"
#include "app/widgets/MyEditCellHeading.h"
#include "app/widgets/MyHeaderCell.h"
#include "app/widgets/MyTypeCellHeading.h"
#include "app/widgets/NumberFormatPage.h"
#include "app/widgets/PasteOptionsDlg.h"
#include "app/widgets/SortDataDlg.h"
#include "data/Data.h"
#include "data/DataActionCellChange.h"
#include "data/DataActionClearBase.h"
#include "data/DataActionColChangeToFit.h"
#include "data/DataActionColumnLock.h"
#include "data/DataActionColumnWidth.h"
#include "data/DataActionGoto.h"
#include "data/ColData.h"
#include "data/DataActionPasteBase.h"
#include "data/DataActionPasteFromFile.h"
#include "data/DataActionStructure.h"
#include "data/DataActionTypeChange.h"
#include "data/DataTableView.h"
#include "data/DataFilters.h"
#include "framework/ArchiveHelpers.h"
#include "platform/Archive.h"
#include "platform/Clipboard.h"
#include "platform/Exceptions.h"
#include "platform/File.h"
#include "data/DataCTypeX2.h"
#include "data/DataColumnType.h"
#include "data/DataString.h"
#include "data/DataDouble.h"
#include "data/MyData.h"
#include "framework/UpdateNotification.h"
#include "framework/widgets/HeaderFooterPainter.h"
#include "grid/widgets/MagnificationDlg.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "platform/widgets/FileChooser.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <algorithm>
#include <array>
#include <charconv>
#include <set>

namespace {

// Column type numbers and the commands that set them, with their menu texts.
struct TypeCommand {
    int type;
    UINT id;
    const char* text;
};
constexpr TypeCommand kTypeCommands[] = {
    {0, 32854, "(General)"}, {1, 32855, "x Data"}, {2, 32856, "y Data"}, {3, 32857, "x(n) Data..."},
    {4, 32858, "Mean..."}, {5, 32859, "Standard Deviation..."}, {6, 32870, "Calculated Function..."},
    {7, 32861, "x Values..."}, {8, 32862, "y Values..."}, {9, 32863, "Difference..."},
    {10, 32864, "Series..."}, {11, 32865, "Derivative..."}, {12, 32871, "A - B..."}, {13, 32872, "A + B..."},
    {14, 32873, "A / B..."}, {15, 32874, "A . B..."}, {16, 32876, "No. Data Points..."},
    {17, 32877, "Standard Error of the Mean..."}, {18, 32999, "y Data with Associated Value..."},
    {19, 33000, "Smooth..."}, {20, 33001, "Results..."}, {21, 33005, "Information..."},
    {22, 33007, "Column Summary..."}, {23, 33017, "Subset..."}, {24, 33024, "F Test..."},
    {25, 33211, "Parameter Entry..."}, {26, 33212, "Constants Entry..."},
};

constexpr std::array<int, 7> kZoomSteps = {25, 50, 75, 100, 120, 150, 200};
constexpr UINT kFirstZoomCommand = 32985;

const std::string& TypeHeading()
{
    static const std::string text = LoadString(IDS_TYPE_HEADING);
    return text;
}
const std::string& NameHeading()
{
    static const std::string text = LoadString(IDS_COLUMN_NAME_HEADING);
    return text;
}

// A file dialog's filters from "Name|*.a;*.b|...||".
bool In(int kind, std::initializer_list<int> kinds) { return std::find(kinds.begin(), kinds.end(), kind) != kinds.end(); }

// Shifts the keys at or beyond first of a size map by delta; with delta < 0
// the keys first .. first - delta - 1 are removed first.
void ShiftSizes(std::map<int, int>& sizes, int first, int delta)
{
    std::map<int, int> out;
    for (const auto& [key, value] : sizes) {
        if (key < first)
            out[key] = value;
        else if (delta > 0)
            out[key + delta] = value;
        else if (key >= first - delta)
            out[key + delta] = value;
    }
    sizes.swap(out);
}

} // namespace

// ---------------------------------------------------------------- the actions' view

// The undo actions speak table coordinates (grid row and column minus one);
// this host turns their requests into the view's grid operations.
class CDataView::ActionHost : public CDataTableView {
public:
    explicit ActionHost(CDataView& view) : m_view(view) {}

    CDataViewState GetViewState() const override
    {
        CDataViewState state;
        const CGridData* d = m_view.GetGridData();
        if (!d)
            return state;
        for (const CGridRange& r : d->m_ranges)
            state.selection.push_back(RECT{r.left - 1, r.top - 1, r.right - 1, r.bottom - 1});
        state.current = POINT{d->m_nCurrentColumn - 1, d->m_nCurrentRow - 1};
        state.rows = d->m_nRowCount;
        state.columns = d->m_nColumnCount;
        return state;
    }
    void SetViewState(const CDataViewState& state) override
    {
        CGridData* d = m_view.GetGridData();
        if (!d)
            return;
        m_view.CommitCurrentCellEdit();
        d->m_ranges.clear();
        for (const RECT& r : state.selection)
            d->m_ranges.push_back(CGridRange{int(r.left) + 1, int(r.top) + 1, int(r.right) + 1, int(r.bottom) + 1});
        d->m_nRowCount = std::max(state.rows, d->m_nRowCount);
        d->m_nColumnCount = std::max(state.columns, d->m_nColumnCount);
        if (state.current.x >= 0 && state.current.y >= 0) {
            d->m_nCurrentColumn = state.current.x + 1;
            d->m_nCurrentRow = state.current.y + 1;
        }
        Repaint();
    }
    void EnsureGridSize() override
    {
        CGridData* d = m_view.GetGridData();
        if (!d)
            return;
        d->m_nRowCount = std::max(d->m_nRowCount, kDataRows + kHeadingRows);
        d->m_nColumnCount = std::max(d->m_nColumnCount, kDataColumns + 1);
    }
    int GetSelectionKind() const override { return m_view.GetSelectionKind(); }
    std::vector<RECT> GetSelectedRanges() const override
    {
        std::vector<RECT> out;
        const CGridData* d = m_view.GetGridData();
        if (!d || !m_view.m_pItem)
            return out;
        const CMyData& table = m_view.m_pItem->GetTable();
        // Whole rows and columns reach no further than the table's cells.
        const int lastColumn = std::max(table.GetLastColumn(), 0);
        const int lastRow = std::max(table.GetLastRow(-1), 0);
        for (const CGridRange& r : d->m_ranges) {
            RECT t{std::max(r.left, 1) - 1, std::max(r.top, 1) - 1, r.right - 1, r.bottom - 1};
            if (r.left == 0)
                t.right = std::max<LONG>(std::min<LONG>(t.right, lastColumn), t.left);
            if (r.top == 0)
                t.bottom = std::max<LONG>(std::min<LONG>(t.bottom, lastRow), t.top);
            out.push_back(t);
        }
        return out;
    }
    bool InsertColumns(int first, int count, bool refresh) override { return m_view.InsertColumns(first + 1, count, refresh); }
    bool DeleteColumns(int first, int count, bool refresh) override { return m_view.DeleteColumns(first + 1, count, refresh); }
    bool InsertRows(int first, int count, bool refresh) override { return m_view.InsertRows(first + 1, count, refresh); }
    bool DeleteRows(int first, int count, bool refresh) override { return m_view.DeleteRows(first + 1, count, refresh); }
    bool InsertCells(const RECT& b) override
    {
        return m_view.InsertCells(CGridRange{int(b.left) + 1, int(b.top) + 1, int(b.right) + 1, int(b.bottom) + 1});
    }
    bool DeleteCells(const RECT& b) override
    {
        return m_view.DeleteCells(CGridRange{int(b.left) + 1, int(b.top) + 1, int(b.right) + 1, int(b.bottom) + 1});
    }
    int GetColumnWidth(int column) const override { return m_view.CGridEngine::GetColumnWidth(column + 1, false); }
    bool IsDefaultColumnWidth(int column) const override
    {
        return m_view.GetGridData()->m_columnWidths.count(column + 1) == 0;
    }
    void SetColumnWidth(int column, int width) override
    {
        if (width < 0)
            m_view.GetGridData()->m_columnWidths.erase(column + 1);
        else
            m_view.CGridEngine::SetColumnWidth(column + 1, width, false, false, false);
        m_view.RefreshGrid(GRID_UPDATE_ALL, 0);
    }
    int GetRowHeight(int row) const override { return m_view.CGridEngine::GetRowHeight(row + 1, false); }
    bool IsDefaultRowHeight(int row) const override { return m_view.GetGridData()->m_rowHeights.count(row + 1) == 0; }
    void SetRowHeight(int row, int height) override
    {
        if (height < 0)
            m_view.GetGridData()->m_rowHeights.erase(row + 1);
        else
            m_view.CGridEngine::SetRowHeight(row + 1, height, false, false, false);
        m_view.RefreshGrid(GRID_UPDATE_ALL, 0);
    }
    void SizeColumnToFit(int column, bool refresh) override { m_view.SizeColumnToFit(column, refresh); }
    bool AskColumnWidth(int& width, bool& useDefault) override { return AskSize(false, width, useDefault); }
    bool AskRowHeight(int& height, bool& useDefault) override { return AskSize(true, height, useDefault); }
    void SetCurrentCell(int column, int row) override
    {
        m_view.SetCurrentCell(row + 1, column + 1, 0, 1, 1);
        m_view.SetSelection(CGridRange{column + 1, row + 1, column + 1, row + 1});
    }
    void SelectColumns(const std::vector<int>& columns) override
    {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (i == 0)
                m_view.GetGridData()->m_ranges.clear();
            m_view.SelectWholeColumn(columns[i] + 1, int(i), true);
        }
    }
    bool CopyToClipboard() override { return m_view.CGridEngine::CopyToClipboard() != 0; }
    std::unique_ptr<CMyData> ReadClipboardTable(RECT& block) override
    {
        std::unique_ptr<CMyData> table = m_view.ReadClipboardTable(block);
        if (!table || !m_view.m_bPasteTranspose)
            return table;
        // A turned block: row r, column c of the source lands at row top + (c - left), column left + (r - top).
        const RECT turnedBlock{block.left, block.top, block.left + (block.bottom - block.top),
                               block.top + (block.right - block.left)};
        if (!CDataActionPasteBase::BlockFitsTable(turnedBlock))
            return nullptr;
        auto turned = std::make_unique<CMyData>();
        for (int c : table->GetColumnNumbers()) {
            if (c < block.left || c > block.right)
                continue;
            table->GetColumn(c)->ForEachInRows(block.top, block.bottom, [&](int r, CData* cell) {
                if (cell && cell->GetKind() != CData::kColumnType)
                    turned->SetCell(block.top + (c - block.left), block.left + (r - block.top), cell->Clone());
            });
        }
        block = turnedBlock;
        return turned;
    }
    int AskPasteInsert(bool columns) override
    {
        CPasteColumnsDlg dialog(!columns, &m_view);
        const CGridData* d = m_view.GetGridData();
        RECT block{};
        std::unique_ptr<CMyData> table = m_view.ReadClipboardTable(block);
        if (d && !d->m_ranges.empty() && table) {
            const CGridRange& r = d->m_ranges.front();
            dialog.m_bOverwriteAllowed = columns ? (r.right - r.left == block.right - block.left)
                                                 : (r.bottom - r.top == block.bottom - block.top);
        }
        if (dialog.exec() != QDialog::Accepted)
            return 0;
        return dialog.m_nChoice == 1 ? 2 : 1;
    }
    void FillFromSource(const CMyData& source, const RECT& block, int column, int row) override
    {
        RECT b = block;
        m_view.FillFromSource(source, b, column, row, m_view.m_bPasteBlanks, false, m_view.m_nPasteOperation);
    }
    CDataGridPrefs GetGridPrefs() const override
    {
        CDataGridPrefs prefs;
        const CGridData* d = m_view.GetGridData();
        if (!d || !m_view.m_pItem)
            return prefs;
        prefs.first = int(d->m_crShadow);
        prefs.second = int(d->m_crText);
        for (int i = 0; i < 4; ++i)
            prefs.colours[i] = m_view.m_pItem->m_colours[std::size_t(i)];
        prefs.font = d->m_storedFont;
        prefs.last = d->m_nPointSize;
        return prefs;
    }
    void SetGridPrefs(const CDataGridPrefs& prefs) override
    {
        CGridData* d = m_view.GetGridData();
        if (!d || !m_view.m_pItem)
            return;
        d->m_crShadow = COLORREF(prefs.first);
        d->m_crText = COLORREF(prefs.second);
        for (int i = 0; i < 4; ++i)
            m_view.m_pItem->m_colours[std::size_t(i)] = prefs.colours[i];
        d->m_storedFont = prefs.font;
        d->m_nPointSize = prefs.last;
        m_view.SetupFonts();
        m_view.RefreshGrid(GRID_UPDATE_ALL, 0);
        m_view.Notify(GRID_EVENT_RELAYOUT);
        Repaint();
    }
    void RedrawCell(int column, int row) override
    {
        CGridCellRef cell{column + 1, row + 1, 0};
        m_view.Notify(GRID_EVENT_CELL, &cell);
    }
    void Repaint() override
    {
        m_view.RefreshGrid(GRID_UPDATE_ALL, 0);
        m_view.Invalidate(false);
        m_view.Notify(GRID_EVENT_RELAYOUT);
    }

private:
    bool AskSize(bool rows, int& size, bool& useDefault)
    {
        CColumnWidthDlg dialog(rows, &m_view);
        dialog.m_nChoice = size < 0 ? 0 : 1;
        dialog.m_nSize = size < 0 ? 0 : (rows ? m_view.LogicalToStoredY(size) : m_view.LogicalToStoredX(size));
        if (dialog.exec() != QDialog::Accepted)
            return false;
        useDefault = dialog.m_nChoice == 0;
        size = rows ? m_view.StoredToLogicalY(dialog.m_nSize) : m_view.StoredToLogicalX(dialog.m_nSize);
        return true;
    }
    CDataView& m_view;
};

CDataTableView* CDataView::GetTableView() const { return m_pActionHost.get(); }

bool CDataView::RunAction(CAction* action)
{
    if (!m_pItem) {
        delete action;
        return false;
    }
    m_pItem->SetActiveView(m_pActionHost.get());
    return m_pItem->GetActionList()->Add(action) != 0;
}

void CDataView::SetPasteOptions(int operation, bool pasteBlanks, bool transpose)
{
    m_nPasteOperation = operation;
    m_bPasteBlanks = pasteBlanks;
    m_bPasteTranspose = transpose;
}

void CDataView::focusInEvent(QFocusEvent* event)
{
    CGridView::focusInEvent(event);
    if (m_pItem)
        m_pItem->SetActiveView(m_pActionHost.get());
}

void CDataView::OnColumnWidthChanging(int column, int* width)
{
    if (!width || column < 1)
        return;
    // A width dragged by the user becomes an undoable step.
    RunAction(new CDataActionColWidthChange(column - 1, CGridEngine::GetColumnWidth(column, false), *width, m_pItem));
}

void CDataView::OnRowHeightChanging(int row, int* height)
{
    if (!height || row < 1)
        return;
    RunAction(new CDataActionRowHeightChange(row - 1, CGridEngine::GetRowHeight(row, false), *height, m_pItem));
}

CDataView::CDataView(CMXGrid* item, QWidget* parent)
    : CGridView(parent)
    , m_pItem(item)
    , m_pActionHost(std::make_unique<ActionHost>(*this))
{
    setObjectName("DataView");
    if (!m_pItem)
        return;
    SetGridData(&m_pItem->GetGridData());
    InitCells();
    m_pItem->SetActiveView(m_pActionHost.get());
    if (CProjectDocBase* doc = m_pItem->GetDocument())
        doc->AddView(this);
}

CDataView::~CDataView() { Detach(); }

void CDataView::Detach()
{
    if (!m_pItem)
        return;
    CommitCurrentCellEdit();
    if (CProjectDocBase* doc = m_pItem->GetDocument())
        doc->RemoveView(this);
    // Another window on the item takes over the actions' requests.
    if (m_pItem->GetActiveView() == m_pActionHost.get()) {
        CDataTableView* other = nullptr;
        for (CGridView* view : ViewsOf(GetGridData()))
            if (auto* data = qobject_cast<CDataView*>(view); data && data != this && data->m_pItem == m_pItem)
                other = data->GetTableView();
        m_pItem->SetActiveView(other);
    }
    m_pItem = nullptr;
}

CMXDoc* CDataView::GetMXDocument() const { return m_pItem ? dynamic_cast<CMXDoc*>(m_pItem->GetDocument()) : nullptr; }

COLORREF CDataView::GetTextColour(TextColour which) const
{
    if (which == kEditableText || !m_pItem)
        return GetGridData() ? GetGridData()->m_crText : RGB(0, 0, 0);
    return m_pItem->m_colours[std::size_t(which)];
}

COLORREF CDataView::ColumnTextColour(int tableColumn) const
{
    CDataColumnType* type = m_pItem ? m_pItem->GetTable().GetColumnType(tableColumn) : nullptr;
    if (type && type->IsLocked())
        return GetTextColour(kLockedText);
    if (type && !type->IsEditable())
        return GetTextColour(kCalculatedText);
    return GetTextColour(kEditableText);
}

// ---------------------------------------------------------------- engine hooks

void CDataView::InitCells()
{
    CGridData* data = GetGridData();
    if (!data)
        return;
    data->m_nHeaderRows = 1;
    data->m_nHeaderColumns = 1;
    data->m_nFrozenRows = kHeadingRows;
    data->m_nFirstScrollableRow = std::max(data->m_nFirstScrollableRow, kHeadingRows);
    for (int& top : data->m_topRow)
        top = std::max(top, kHeadingRows);
    // A stored grid of an older size still takes the table's full extent.
    data->m_nRowCount = std::max(data->m_nRowCount, kDataRows + kHeadingRows);
    data->m_nColumnCount = std::max(data->m_nColumnCount, kDataColumns + 1);
    data->m_rowClasses.clear();
    data->m_columnClasses.clear();
    // The row classes come first: the Type and Column Name titles of column 0
    // are drawn as their rows' headings are (small, wrapped).
    data->m_columnClasses[0].pClass = RUNTIME_CLASS(CMyHeaderCell);
    data->m_rowClasses[0].pClass = RUNTIME_CLASS(CMyHeaderCell);
    data->m_rowClasses[1].pClass = RUNTIME_CLASS(CMyTypeCellHeading);
    data->m_rowClasses[2].pClass = RUNTIME_CLASS(CMyEditCellHeading);
    data->m_pDefaultCellClass = RUNTIME_CLASS(CMyEditCell);
}

int CDataView::GetLastRow(int column) const
{
    if (!m_pItem)
        return 0;
    return m_pItem->GetTable().GetLastRow(column >= 1 ? column - 1 : -1) + 1;
}

int CDataView::GetLastColumn(int) const { return m_pItem ? m_pItem->GetTable().GetLastColumn() + 1 : 0; }

void CDataView::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    const CGridData* data = GetGridData();
    if ((key != VK_HOME && key != VK_END) || !data || GetCurrentRow() < 0 || GetCurrentColumn() < 0) {
        CGridView::OnKeyDown(key, repeat, flags);
        return;
    }
    const UINT modifiers = GetKeyModifiers();
    const bool control = (modifiers & MK_CONTROL) != 0;
    const int firstDataRow = kFirstDataRow + 1;
    int row = GetCurrentRow(), column = GetCurrentColumn();
    if (key == VK_HOME) {
        column = 1;
        if (control)
            row = firstDataRow;
    } else {
        column = std::max(GetLastColumn(row), 1);
        if (control)
            row = std::max(GetLastRow(-1), firstDataRow);
    }
    row = std::clamp(row, 1, std::max(1, data->m_nRowCount - 1));
    column = std::clamp(column, 1, std::max(1, data->m_nColumnCount - 1));
    SetCurrentCell(row, column, (modifiers & MK_SHIFT) ? UINT(MK_SHIFT) : 0u);
    Notify(GRID_EVENT_UPDATE_WINDOW);
}

void CDataView::GetCellText(int row, int column, std::string& text)
{
    text.clear();
    if (row < 1 || column < 1) {
        GetHeaderText(row, column, text);
        return;
    }
    if (!m_pItem)
        return;
    const CMyData& table = m_pItem->GetTable();
    if (CData* cell = table.GetCell(row - 1, column - 1))
        cell->GetDisplayText(text, table.GetColumnFormat(column - 1));
}

void CDataView::GetEditText(int row, int column, std::string& text)
{
    text.clear();
    if (row < 1 || column < 1 || !m_pItem)
        return;
    if (CData* cell = m_pItem->GetTable().GetCell(row - 1, column - 1))
        cell->GetPlainText(text);
}

void CDataView::GetHeaderText(int row, int column, std::string& text)
{
    text.clear();
    if (row == 0) {
        if (column > 0)
            text = std::to_string(column);
    } else if (column == 0) {
        if (row == 1)
            text = TypeHeading();
        else if (row == 2)
            text = NameHeading();
        else
            text = std::to_string(row - 2);
    } else {
        GetCellText(row, column, text);
    }
}

int CDataView::SetCellText(int row, int column, const std::string& text)
{
    if (!m_pItem || row < 1 || column < 1)
        return -1;
    // The Type row takes a type number; every other row a value or a name.
    if (row == 1)
        return RunAction(new CDataActionTypeChange(column - 1, text, m_pItem)) ? 1 : 0;
    return RunAction(new CDataActionCellChange(row - 1, column - 1, text, m_pItem)) ? 1 : 0;
}

void CDataView::OnCellsChanged(const std::vector<CGridCellRef>& cells)
{
    if (!m_pItem || cells.empty())
        return;
    std::vector<CColumnRef> refs;
    refs.reserve(cells.size());
    bool typeRow = false, nameRow = false, dataRow = false;
    for (const CGridCellRef& cell : cells) {
        refs.push_back(CColumnRef{m_pItem, cell.column - 1, cell.row - 1});
        if (cell.row == 1)
            typeRow = true;
        else if (cell.row == 2)
            nameRow = true;
        else if (cell.row > 2)
            dataRow = true;
    }
    CMXDoc* doc = GetMXDocument();
    auto send = [&](int kind) {
        CUpdateNotification note(kind, &refs, m_pItem);
        if (doc) {
            doc->NotifyItems(note, true);
            doc->UpdateAllViews(this, UPDATE_HINT_NOTIFICATION, &note);
        } else {
            m_pItem->OnItemNotify(note);
        }
    };
    if (dataRow)
        send(UN_CELLS_CHANGED);
    if (nameRow)
        send(UN_NAME_ROW_CHANGED);
    if (typeRow)
        send(UN_TYPE_ROW_CHANGED);
}

int CDataView::GetDefaultColumnWidth(int column, bool zoomed) const
{
    if (column != 0 || m_nColumn0Width <= 0)
        return CGridView::GetDefaultColumnWidth(column, zoomed);
    return zoomed ? MulDiv(m_nColumn0Width, GetGridData()->GetEffectiveZoom(), 100) : m_nColumn0Width;
}

int CDataView::GetDefaultRowHeight(int row, bool zoomed) const
{
    if (row != 2 || m_nRow2Height <= 0)
        return CGridView::GetDefaultRowHeight(row, zoomed);
    return -(zoomed ? MulDiv(m_nRow2Height, GetGridData()->GetEffectiveZoom(), 100) : m_nRow2Height);
}

void CDataView::SetupFonts()
{
    CGridView::SetupFonts();
    CGridData* data = GetGridData();
    if (!data)
        return;
    const int zoom = data->GetEffectiveZoom();
    // The row headings are as wide as "Column" in the heading font; the name
    // row takes two lines of the grid font.
    LOGFONT small = data->GetDeviceFont();
    small.lfHeight = small.lfHeight * 7 / 10;
    SIZE word = MeasureText(small, LoadString(IDS_COLUMN_HEADING));
    SIZE digit = MeasureText(data->GetDeviceFont(), "0");
    // Wide enough, too, for the seven digits of the last row's number.
    SIZE number = MeasureText(data->GetDeviceFont(), "8888888");
    m_nColumn0Width = int(std::int64_t(DeviceToLogicalX(std::max(word.cx, number.cx) + 8)) * 100 / zoom);
    m_nRow2Height = int(std::int64_t(kLogicalPerPixel) * (2 * digit.cy + 4) * 100 / zoom);
}

// ---------------------------------------------------------------- notifications

void CDataView::RefreshGrid(int code, int argument)
{
    if (IsInitialised())
        Update(code, argument);
}

void CDataView::SendNotification(int kind, int first, int count)
{
    if (!m_pItem)
        return;
    CUpdateNotification note(kind, first, count, m_pItem);
    if (CMXDoc* doc = GetMXDocument()) {
        doc->NotifyItems(note, true);
        doc->UpdateAllViews(this, UPDATE_HINT_NOTIFICATION, &note);
    } else {
        m_pItem->OnItemNotify(note);
    }
}

void CDataView::SendBlockNotification(int kind, const RECT& block)
{
    if (!m_pItem)
        return;
    CUpdateNotification note;
    note.kind = kind;
    note.item = m_pItem;
    note.left = block.left;
    note.top = block.top;
    note.right = block.right;
    note.bottom = block.bottom;
    if (CMXDoc* doc = GetMXDocument()) {
        doc->NotifyItems(note, true);
        doc->UpdateAllViews(this, UPDATE_HINT_NOTIFICATION, &note);
    } else {
        m_pItem->OnItemNotify(note);
    }
}

void CDataView::AfterStructureChange(bool refresh)
{
    RefreshGrid(GRID_UPDATE_ALL, 0);
    Invalidate(false);
    if (refresh)
        Notify(GRID_EVENT_RELAYOUT);
    if (m_pItem)
        m_pItem->SetModified(true);
}

void CDataView::OnUpdate(CDocView* sender, int hint, CObject* object)
{
    if (hint != UPDATE_HINT_NOTIFICATION) {
        CGridView::OnUpdate(sender, hint, object);
        return;
    }
    auto* note = dynamic_cast<CUpdateNotification*>(object);
    if (!note || sender == this)
        return;
    switch (note->kind) {
    case UN_COLUMNS_INSERTED:
    case UN_COLUMNS_DELETED:
    case UN_ROWS_INSERTED:
    case UN_ROWS_DELETED:
    case UN_BLOCK_CHANGED:
    case UN_BLOCK_DELETED:
        RefreshGrid(GRID_UPDATE_CELLS_ONLY, 0);
        Invalidate(false);
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------- table operations

bool CDataView::InsertColumns(int first, int count, bool refresh)
{
    if (!m_pItem || first <= 0 || count <= 0)
        return false;
    CGridData& d = *GetGridData();
    if (GetLastColumn(-1) + count >= d.m_nColumnCount) {
        ReportMessage(IDS_TOO_MANY_COLUMNS, {}, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    ShiftSizes(d.m_columnWidths, first, count);
    m_pItem->GetTable().InsertColumns(first - 1, count);
    SendNotification(UN_COLUMNS_INSERTED, first - 1, count);
    AfterStructureChange(refresh);
    return true;
}

bool CDataView::DeleteColumns(int first, int count, bool refresh)
{
    if (!m_pItem || first <= 0 || count <= 0)
        return false;
    ShiftSizes(GetGridData()->m_columnWidths, first, -count);
    m_pItem->GetTable().DeleteColumns(first - 1, count);
    SendNotification(UN_COLUMNS_DELETED, first - 1, count);
    AfterStructureChange(refresh);
    return true;
}

bool CDataView::InsertRows(int first, int count, bool refresh)
{
    if (!m_pItem || first <= 0 || count <= 0)
        return false;
    CGridData& d = *GetGridData();
    if (GetLastRow(-1) + count >= d.m_nRowCount) {
        ReportMessage(IDS_TOO_MANY_ROWS, {}, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    ShiftSizes(d.m_rowHeights, first, count);
    m_pItem->GetTable().InsertRows(first - 1, count);
    SendNotification(UN_ROWS_INSERTED, first - 1, count);
    AfterStructureChange(refresh);
    return true;
}

bool CDataView::DeleteRows(int first, int count, bool refresh)
{
    if (!m_pItem || first <= 0 || count <= 0)
        return false;
    ShiftSizes(GetGridData()->m_rowHeights, first, -count);
    m_pItem->GetTable().DeleteRows(first - 1, count);
    SendNotification(UN_ROWS_DELETED, first - 1, count);
    AfterStructureChange(refresh);
    return true;
}

bool CDataView::InsertCells(const CGridRange& block)
{
    if (!m_pItem || block.IsEmpty() || block.left < 1 || block.top < 1)
        return false;
    // Refused when the used rows and the opened block would pass the grid's last row.
    const int height = block.bottom - block.top + 1;
    if (std::int64_t(GetLastRow(-1)) + height > std::int64_t(GetGridData()->m_nRowCount) - 1) {
        ReportMessage(IDS_TOO_MANY_ROWS, {}, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    RECT rect{block.left - 1, block.top - 1, block.right - 1, block.bottom - 1};
    m_pItem->GetTable().InsertCellRange(rect, TRUE);
    SendBlockNotification(UN_BLOCK_CHANGED, rect);
    AfterStructureChange(true);
    return true;
}

bool CDataView::DeleteCells(const CGridRange& block)
{
    if (!m_pItem || block.IsEmpty() || block.left < 1 || block.top < 1)
        return false;
    RECT rect{block.left - 1, block.top - 1, block.right - 1, block.bottom - 1};
    m_pItem->GetTable().DeleteCellRange(rect, TRUE);
    SendBlockNotification(UN_BLOCK_DELETED, rect);
    AfterStructureChange(true);
    return true;
}

void CDataView::FillFromSource(const CMyData& source, RECT& block, int destColumn, int destRow, bool pasteBlanks,
                               bool transpose, int operation)
{
    if (!m_pItem || block.right < block.left || block.bottom < block.top)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    CMyData& table = m_pItem->GetTable();
    CGridData& d = *GetGridData();
    d.m_selectedCells.clear();
    const int left = block.left, top = block.top;
    if (transpose) {
        const int right = block.right;
        block.right = left + (block.bottom - top);
        block.bottom = top + (right - left);
    }
    // The table's limits: nothing is written beyond the grid's extent.
    const int lastRow = std::min<std::int64_t>(d.m_nRowCount - 2, kDataRows + kHeadingRows - 2);
    const int lastColumn = std::min(d.m_nColumnCount - 2, kDataColumns - 1);
    // The work is that of the cells the source holds and of the cells the
    // destination holds, never that of the block's area: a block may span the
    // whole table while the clipboard holds a few bytes.
    auto toDest = [&](int sr, int sc, int& dr, int& dc) {
        dc = destColumn + (transpose ? sr - top : sc - left);
        dr = destRow + (transpose ? sc - left : sr - top);
        return dc >= 0 && dc <= lastColumn && dr >= 0 && dr <= lastRow;
    };
    std::vector<CGridCellRef> changed;
    if (pasteBlanks) {
        // Cells of the destination whose source cell is blank are emptied.
        const int firstColumn = std::max(destColumn, 0);
        const int endColumn = std::min<std::int64_t>(std::int64_t(destColumn) + (block.right - block.left), lastColumn);
        const int firstRow = std::max(destRow, 0);
        const int endRow = std::min<std::int64_t>(std::int64_t(destRow) + (block.bottom - block.top), lastRow);
        for (int dc : table.GetColumnNumbers()) {
            if (dc < firstColumn || dc > endColumn)
                continue;
            std::vector<int> blanks;
            table.GetColumn(dc)->ForEachRaw(firstRow, endRow, [&](int dr, const CColData::RawCell&) {
                const int sr = transpose ? top + (dc - destColumn) : top + (dr - destRow);
                const int sc = transpose ? left + (dr - destRow) : left + (dc - destColumn);
                if (!source.GetCell(sr, sc))
                    blanks.push_back(dr);
            });
            for (int dr : blanks) {
                table.DeleteCell(dr, dc);
                changed.push_back(CGridCellRef{dc + 1, dr + 1, 0});
            }
        }
    }
    for (int c : source.GetColumnNumbers()) {
        if (c < left || c > (transpose ? left + (block.bottom - block.top) : block.right))
            continue;
        const int sourceBottom = transpose ? top + (block.right - left) : block.bottom;
        std::vector<std::pair<int, CData*>> cells;
        source.GetColumn(c)->ForEachInRows(top, sourceBottom, [&](int r, CData* from) {
            if (from)
                cells.emplace_back(r, from);
        });
        for (auto [r, from] : cells) {
            int dr = 0, dc = 0;
            if (!toDest(r, c, dr, dc))
                continue;
            if (operation >= 1 && operation <= 4) {
                double a = 0, b = 0;
                CData* to = table.GetCell(dr, dc);
                if (from->GetKind() == CData::kNumber && to && to->GetKind() == CData::kNumber &&
                    table.GetNumber(dr, dc, a) && source.GetNumber(r, c, b)) {
                    if (operation == 4 && b == 0.0) {
                        table.SetCell(dr, dc, new CDataString(LoadString(IDS_ERROR_DIVIDE_BY_ZERO)));
                    } else {
                        double v = operation == 1 ? a + b : operation == 2 ? a - b : operation == 3 ? a * b : a / b;
                        table.SetNumber(dr, dc, v);
                    }
                }
            } else if (from->GetKind() == CData::kColumnType) {
                if (dr == 0) {
                    auto* type = static_cast<CDataColumnType*>(from->Clone());
                    type->SetColumn(dc);
                    table.SetCell(0, dc, type);
                } else {
                    table.DeleteCell(dr, dc);
                }
            } else {
                table.SetCell(dr, dc, from->Clone());
            }
            changed.push_back(CGridCellRef{dc + 1, dr + 1, 0});
        }
    }
    d.m_selectedCells = changed;
    // Columns of x-value pairs follow their source column's type.
    std::vector<CGridCellRef> typeCells;
    for (int c : source.GetColumnNumbers()) {
        const int dc = destColumn + (c - left);
        if (c < block.left || c > block.right || dc < 0 || dc > lastColumn)
            continue;
        if (auto* x2 = dynamic_cast<CDataCTypeX2*>(source.GetCell(0, c))) {
            auto* type = static_cast<CDataColumnType*>(x2->Clone());
            type->SetColumn(dc);
            table.SetCell(0, dc, type);
            typeCells.push_back(CGridCellRef{dc + 1, 1, 0});
        }
    }
    if (!typeCells.empty())
        OnCellsChanged(typeCells);
    if (CMXDoc* doc = GetMXDocument()) {
        CHintRecord hint(destColumn + 1, destColumn + 1 + (block.right - block.left));
        doc->UpdateAllViews(nullptr, kHintColumnsChanged, &hint);
    }
    RefreshGrid(GRID_UPDATE_CELLS_ONLY, 0);
    Invalidate(false);
    OnCellsChanged(changed);
    m_pItem->SetModified(true);
    QApplication::restoreOverrideCursor();
}

void CDataView::SizeColumnToFit(int tableColumn, bool refresh)
{
    if (!m_pItem || tableColumn < 0)
        return;
    CGridData& d = *GetGridData();
    const CMyData& table = m_pItem->GetTable();
    const CDataFormat& format = table.GetColumnFormat(tableColumn);
    const LOGFONT font = d.GetDeviceFont();
    std::string sample;
    format.GetWidestSample(sample);
    int base = std::max(CGridView::GetDefaultColumnWidth(tableColumn + 1, true),
                        DeviceToLogicalX(MeasureText(font, sample).cx));
    int extra = 0;
    const int space = MeasureText(font, " ").cx;
    const int last = table.GetLastRow(tableColumn);
    for (int row = kFirstDataRow; row <= last; ++row) {
        CData* cell = table.GetCell(row, tableColumn);
        if (!cell)
            continue;
        std::string text;
        cell->GetDisplayText(text, format);
        int w = MeasureText(font, text).cx;
        if (w > 0)
            extra = std::max(extra, DeviceToLogicalX(w + space));
    }
    SetColumnWidth(tableColumn + 1, std::min(base + extra, kMaxLogicalSize), false, true, false);
    if (refresh) {
        RefreshGrid(GRID_UPDATE_CELLS_ONLY, 0);
        Notify(GRID_EVENT_RELAYOUT);
    }
    m_pItem->SetModified(true);
}

int CDataView::GetSelectionKind() const
{
    const CGridData* data = GetGridData();
    if (!data)
        return 0;
    if (CGridCellObject* cell = GetCurrentCellObject(); cell && cell->IsEditing())
        return 12;
    const auto& ranges = data->m_ranges;
    if (ranges.empty())
        return 0;
    bool typeRow = false, notEditable = false;
    const int lastColumn = GetLastColumn(-1);
    const CMyData* table = m_pItem ? &m_pItem->GetTable() : nullptr;
    for (const CGridRange& r : ranges) {
        if (r.top == 1)
            typeRow = true;
        if (!notEditable && table) {
            for (int c = std::max(r.left, 1); c <= std::min(r.right, lastColumn); ++c) {
                CDataColumnType* type = table->GetColumnType(c - 1);
                if (type && !type->IsEditable()) {
                    notEditable = true;
                    break;
                }
            }
        }
    }
    enum Class { kCells, kColumns, kRows };
    std::set<int> classes;
    bool several = false;
    for (const CGridRange& r : ranges) {
        if (r.top == 0 && r.left == 0)
            return notEditable ? 23 : 11;
        if (r.top == 0) {
            classes.insert(kColumns);
            several = r.right > r.left;
        } else if (r.left == 0) {
            classes.insert(kRows);
            several = r.bottom > r.top;
        } else {
            classes.insert(kCells);
            several = r.right > r.left || r.bottom > r.top;
        }
    }
    if (ranges.size() == 1) {
        switch (*classes.begin()) {
        case kColumns: return notEditable ? (several ? 17 : 16) : (several ? 5 : 4);
        case kRows:
            if (typeRow)
                return several ? 28 : 27;
            return notEditable ? (several ? 20 : 19) : (several ? 8 : 7);
        default:
            if (typeRow)
                return several ? 25 : 24;
            return notEditable ? (several ? 14 : 13) : (several ? 2 : 1);
        }
    }
    if (classes.size() > 1)
        return typeRow ? 30 : notEditable ? 22 : 10;
    switch (*classes.begin()) {
    case kColumns: return notEditable ? 18 : 6;
    case kRows: return typeRow ? 29 : notEditable ? 21 : 9;
    default: return typeRow ? 26 : notEditable ? 15 : 3;
    }
}

void CDataView::GetLockState(int& enable, int& state) const
{
    enable = 1;
    state = 0;
    const CGridData* data = GetGridData();
    CGridCellObject* cell = GetCurrentCellObject();
    if (!data || !m_pItem || (cell && cell->IsEditing()) || data->m_ranges.empty()) {
        enable = 0;
        return;
    }
    const CMyData& table = m_pItem->GetTable();
    const int lastColumn = GetLastColumn(-1);
    bool first = true;
    for (const CGridRange& r : data->m_ranges) {
        for (int c = std::max(r.left, 1); c <= std::min(r.right, lastColumn); ++c) {
            int locked = 0;
            if (CDataColumnType* type = table.GetColumnType(c - 1)) {
                locked = type->IsLocked();
                if (!locked && !type->IsEditable()) {
                    enable = 0;
                    return;
                }
            }
            if (first)
                state = locked;
            else if (state != locked)
                state = 2;
            first = false;
        }
    }
}

std::unique_ptr<CMyData> CDataView::CopySelectionToTable(RECT& bounds) const
{
    const CGridData* data = GetGridData();
    if (!data || !m_pItem || data->m_ranges.empty())
        return nullptr;
    const CMyData& table = m_pItem->GetTable();
    auto copy = std::make_unique<CMyData>();
    bool any = false;
    bounds = RECT{INT_MAX, INT_MAX, -1, -1};
    const int lastColumn = table.GetLastColumn();
    for (const CGridRange& r : data->m_ranges) {
        const int c0 = std::max(r.left, 1) - 1, c1 = std::min(r.right - 1, lastColumn);
        const int r0 = std::max(r.top, 1) - 1;
        for (int c = c0; c <= c1; ++c) {
            const int r1 = std::min(r.bottom - 1, table.GetLastRow(c));
            bounds.left = std::min<LONG>(bounds.left, c);
            bounds.right = std::max<LONG>(bounds.right, c);
            bounds.top = std::min<LONG>(bounds.top, r0);
            bounds.bottom = std::max<LONG>(bounds.bottom, std::max(r0, r1));
            for (int row = r0; row <= r1; ++row)
                if (CData* cell = table.GetCell(row, c)) {
                    copy->SetCell(row, c, cell->Clone());
                    any = true;
                }
        }
    }
    if (bounds.right < 0)
        return nullptr;
    (void)any;
    return copy;
}

void CDataView::SetZoomPercent(int percent)
{
    percent = std::clamp(percent, 5, 600);
    if (!GetGridData())
        return;
    SetZoom(percent);
    RefreshGrid(GRID_UPDATE_ALL, 0);
    Notify(GRID_EVENT_RELAYOUT);
}

int CDataView::GetZoomPercent() const
{
    const CGridData* data = GetGridData();
    return !data || data->m_bZoomSuspended ? 100 : data->m_nZoom;
}

// ---------------------------------------------------------------- clipboard and undo

void CDataView::PasteText(const std::string& text, int operation, bool pasteBlanks, bool transpose)
{
    const CGridData* data = GetGridData();
    if (!m_pItem || !data || data->m_ranges.empty() || text.empty())
        return;
    CMyData source(text);
    RECT block{0, 0, source.GetLastColumn(), source.GetLastRow(-1)};
    const CGridRange& target = data->m_ranges.front();
    // Whole columns take the paste from the Type row, whole rows from the first column.
    int destRow = std::max(target.top, 1) - 1;
    int destColumn = std::max(target.left, 1) - 1;
    FillFromSource(source, block, destColumn, destRow, pasteBlanks, transpose, operation);
}

int CDataView::HandlePaste()
{
    SetPasteOptions(0, true, false);
    RunAction(new CDataActionPaste(m_pItem));
    return 1;
}

void CDataView::OnBeforeCopy()
{
    m_copyFormats.clear();
    RECT bounds{};
    std::unique_ptr<CMyData> copy = CopySelectionToTable(bounds);
    if (!copy)
        return;
    try {
        CMemFile file;
        {
            // The held value, the block's four corners, then the table: no version word.
            CArchive ar(&file, CArchive::store);
            ar << std::int32_t(GetSelectionKind()) << std::int32_t(bounds.left) << std::int32_t(bounds.top)
               << std::int32_t(bounds.right) << std::int32_t(bounds.bottom);
            copy->Serialize(ar);
            ar.Close();
        }
        m_copyFormats.emplace_back(kPrivateDataFormat, file.Data());
    } catch (const CException&) {
        m_copyFormats.clear();
    }
    const CDataFilters& filters = CDataFilters::Current();
    for (const std::string& mime : filters.GetExportMimeTypes()) {
        std::vector<BYTE> bytes;
        if (filters.RenderFormat(*copy, bounds, mime, bytes))
            m_copyFormats.emplace_back(mime, std::move(bytes));
    }
}

void CDataView::SetClipboardText(const std::string& text)
{
    ClipboardFormats formats;
    formats["text/plain"] = std::vector<BYTE>(text.begin(), text.end());
    for (auto& [mime, bytes] : m_copyFormats)
        formats[mime] = std::move(bytes);
    m_copyFormats.clear();
    GetClipboard().SetData(formats);
}

bool CDataView::GetClipboardText(std::string& text)
{
    if (!GetClipboard().HasFormat("text/plain"))
        return false;
    std::vector<BYTE> bytes = GetClipboard().GetData("text/plain");
    text.assign(bytes.begin(), bytes.end());
    return true;
}

bool CDataView::ClipboardHasText() const
{
    CClipboard& clipboard = GetClipboard();
    if (clipboard.HasFormat("text/plain") || clipboard.HasFormat(kPrivateDataFormat))
        return true;
    for (const std::string& mime : CDataFilters::Current().GetExportMimeTypes())
        if (clipboard.HasFormat(mime))
            return true;
    return false;
}

std::unique_ptr<CMyData> CDataView::ReadClipboardTable(RECT& block) const
{
    CClipboard& clipboard = GetClipboard();
    if (clipboard.HasFormat(kPrivateDataFormat)) {
        std::vector<BYTE> bytes = clipboard.GetData(kPrivateDataFormat);
        try {
            CMemFile file(bytes);
            CArchive ar(&file, CArchive::load);
            std::int32_t kind = 0, left = 0, top = 0, right = 0, bottom = 0;
            ar >> kind >> left >> top >> right >> bottom;
            if (left < 0 || top < 0 || right < left || bottom < top)
                return nullptr;
            // The declared block is checked before its cells are read.
            block = RECT{left, top, right, bottom};
            if (!CDataActionPasteBase::BlockFitsTable(block))
                return nullptr;
            auto table = std::make_unique<CMyData>();
            table->Serialize(ar);
            return table;
        } catch (const CException&) {
            return nullptr;
        }
    }
    int result = 0;
    std::unique_ptr<CMyData> table = CDataFilters::Current().ImportFromClipboard(result);
    if (!table && clipboard.HasFormat("text/plain")) {
        std::vector<BYTE> bytes = clipboard.GetData("text/plain");
        // Reading text makes at most one cell per byte; its extent is checked below.
        table = std::make_unique<CMyData>(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }
    if (!table)
        return nullptr;
    block = RECT{0, 0, std::max(table->GetLastColumn(), 0), std::max(table->GetLastRow(-1), 0)};
    return CDataActionPasteBase::BlockFitsTable(block) ? std::move(table) : nullptr;
}

void CDataView::PasteTable(const CMyData& source, RECT block, int operation, bool pasteBlanks, bool transpose)
{
    const CGridData* data = GetGridData();
    if (!m_pItem || !data || data->m_ranges.empty())
        return;
    const CGridRange& target = data->m_ranges.front();
    FillFromSource(source, block, std::max(target.left, 1) - 1, std::max(target.top, 1) - 1, pasteBlanks, transpose,
                   operation);
}

bool CDataView::PasteFromFile(const std::string& path)
{
    std::size_t dot = path.find_last_of('.');
    std::string extension = dot == std::string::npos ? std::string() : path.substr(dot + 1);
    SetPasteOptions(0, true, false);
    return RunAction(new CDataActionPasteFromFile(
        m_pItem, path, extension, [this](const std::vector<std::string>& entries, int preselected) {
            return CConvertFileDlg::Choose(entries, preselected, this);
        }));
}

bool CDataView::CopyToFile(const std::string& path)
{
    CommitCurrentCellEdit();
    RECT bounds{};
    std::unique_ptr<CMyData> copy = CopySelectionToTable(bounds);
    if (!copy)
        return false;
    return CDataFilters::Current().ExportToFile(*copy, bounds, path);
}

void CDataView::OnUndo()
{
    if (m_pItem)
        m_pItem->GetActionList()->Undo();
}

void CDataView::OnRedo()
{
    if (m_pItem)
        m_pItem->GetActionList()->Redo();
}

void CDataView::OnUpdateUndo(CGridCmdState& state)
{
    if (!m_pItem)
        return state.Enable(false);
    state.Enable(m_pItem->GetActionList()->CanUndo() != 0);
    state.SetText(m_pItem->GetActionList()->GetUndoText());
}

void CDataView::OnUpdateRedo(CGridCmdState& state)
{
    if (!m_pItem)
        return state.Enable(false);
    state.Enable(m_pItem->GetActionList()->CanRedo() != 0);
    state.SetText(m_pItem->GetActionList()->GetRedoText());
}

// ---------------------------------------------------------------- commands

int CDataView::TypeOfCommand(UINT id)
{
    for (const TypeCommand& t : kTypeCommands)
        if (t.id == id)
            return t.type;
    return -1;
}

std::vector<std::pair<UINT, std::string>> CDataView::TypeCommands()
{
    std::vector<std::pair<UINT, std::string>> out;
    for (const TypeCommand& t : kTypeCommands)
        out.emplace_back(t.id, t.text);
    return out;
}

UINT CDataView::CommandOfType(int type)
{
    for (const TypeCommand& t : kTypeCommands)
        if (t.type == type)
            return t.id;
    return 0;
}

void CDataView::SetColumnType(int column, int type)
{
    if (column < 1)
        return;
    if (SetCellText(1, column, std::to_string(type)) != 1)
        return;
    std::vector<CGridCellRef> cells{CGridCellRef{column, 1, 0}};
    OnCellsChanged(cells);
    GetGridData()->m_ranges.clear();
    SelectWholeColumn(column, 0, true);
    RefreshGrid(GRID_UPDATE_CELLS_ONLY, 0);
    Invalidate(false);
}

void CDataView::UpdateTableCommand(UINT id, CCmdUI& ui)
{
    const int kind = GetSelectionKind();
    const CGridData* data = GetGridData();
    const CGridRange first = data && !data->m_ranges.empty() ? data->m_ranges.front() : CGridRange{};
    // Whole rows, or cells, that take in a calculated column stay as its
    // sources make them: the commands that would move them say so.
    if (In(kind, {13, 14, 15, 19, 20, 21, 22, 23}))
        ui.SetReason(LoadString(IDS_REASON_CALCULATED_ROWS));
    switch (id) {
    case ID_TABLE_INSERT_COLUMN:
        ui.Enable(In(kind, {1, 2, 4, 5, 13, 14, 16, 17, 24, 25}));
        ui.SetText(LoadString(first.right > first.left ? IDS_MENU_INSERT_COLUMNS : IDS_MENU_INSERT_COLUMN));
        break;
    case ID_TABLE_INSERT_ROW:
        ui.Enable(In(kind, {1, 2, 7, 8}));
        ui.SetText(LoadString(first.bottom > first.top ? IDS_MENU_INSERT_ROWS : IDS_MENU_INSERT_ROW));
        break;
    case ID_TABLE_INSERT_CELLS: ui.Enable(In(kind, {1, 2})); break;
    case ID_TABLE_DELETE: {
        UINT text = 0;
        switch (kind) {
        case 1: text = IDS_MENU_DELETE_CELL; break;
        case 2: text = IDS_MENU_DELETE_CELLS; break;
        case 4: text = IDS_MENU_DELETE_COLUMN; break;
        case 5: case 16: case 17: text = IDS_MENU_DELETE_COLUMNS; break;
        case 7: text = IDS_MENU_DELETE_ROW; break;
        case 8: text = IDS_MENU_DELETE_ROWS; break;
        default: break;
        }
        ui.Enable(text != 0);
        if (text)
            ui.SetText(LoadString(text));
        break;
    }
    case ID_TABLE_SIZE_TO_FIT:
    case ID_TABLE_PREFERENCES:
    case ID_TABLE_SORT:
    case ID_TABLE_GOTO_CELL: ui.Enable(true); break;
    case ID_TABLE_COLUMN_WIDTH:
    case ID_TABLE_ROW_HEIGHT: ui.Enable(kind != 0 && kind != 12); break;
    case ID_TABLE_COLUMN_FORMAT: ui.Enable(!In(kind, {0, 10, 12, 22, 30})); break;
    case ID_TABLE_LOCK_COLUMN: {
        int enable = 0, state = 0;
        GetLockState(enable, state);
        ui.Enable(enable != 0);
        ui.SetCheck(state);
        break;
    }
    case ID_EDIT_PASTE_OPTIONS: ui.Enable(ClipboardHasText() && In(kind, {1, 2})); break;
    case ID_EDIT_CURRENT_CELL: {
        CGridCellObject* cell = GetCurrentCellObject();
        if (cell) {
            CGridCmdState state;
            cell->OnUpdateEditCell(state);
            ui.Enable(state.enabled);
        } else {
            ui.Enable(false);
        }
        break;
    }
    case ID_EDIT_PASTE_FROM: ui.Enable(In(kind, {1, 2, 4, 5, 7, 8})); break;
    case ID_EDIT_COPY_TO: ui.Enable(kind != 0 && kind != 12); break;
    case ID_EDIT_PROPERTIES: {
        CDataColumnType* type = m_pItem && GetCurrentColumn() >= 1
                                    ? m_pItem->GetTable().GetColumnType(GetCurrentColumn() - 1)
                                    : nullptr;
        ui.Enable(In(kind, {1, 4, 13, 16, 24}) && type && type->HasSettings());
        break;
    }
    default: break;
    }
}

void CDataView::RunTableCommand(UINT id)
{
    const int kind = GetSelectionKind();
    const CGridData* data = GetGridData();
    if (!data)
        return;
    const CGridRange first = !data->m_ranges.empty() ? data->m_ranges.front() : CGridRange{};
    switch (id) {
    case ID_TABLE_INSERT_COLUMN:
        if (In(kind, {1, 2, 4, 5, 13, 14, 16, 17, 24, 25}))
            RunAction(new CDataActionInsertColumns(first.left - 1, first.right - first.left + 1, m_pItem));
        break;
    case ID_TABLE_INSERT_ROW:
        if (In(kind, {1, 2, 7, 8}))
            RunAction(new CDataActionInsertRows(first.top - 1, first.bottom - first.top + 1, m_pItem));
        break;
    case ID_TABLE_INSERT_CELLS:
        if (In(kind, {1, 2}))
            RunAction(new CDataActionInsertCells(
                RECT{first.left - 1, first.top - 1, first.right - 1, first.bottom - 1}, m_pItem));
        break;
    case ID_TABLE_DELETE:
        if (In(kind, {1, 2}))
            RunAction(new CDataActionDeleteCellRange(m_pItem));
        else if (In(kind, {4, 5, 16, 17}))
            RunAction(new CDataActionDeleteColumns(first.left - 1, first.right - first.left + 1, m_pItem));
        else if (In(kind, {7, 8}))
            RunAction(new CDataActionDeleteRows(first.top - 1, first.bottom - first.top + 1, m_pItem));
        break;
    case ID_TABLE_COLUMN_WIDTH:
        if (kind != 0 && kind != 12)
            RunAction(new CDataActionColumnWidth(m_pItem));
        break;
    case ID_TABLE_ROW_HEIGHT:
        if (kind != 0 && kind != 12)
            RunAction(new CDataActionRowHeight(m_pItem));
        break;
    case ID_TABLE_SIZE_TO_FIT:
        RunAction(new CDataActionColChangeToFit(In(kind, {7, 8, 9, 11, 19, 20, 21, 27, 28, 29}) ? 1 : 0, m_pItem));
        break;
    case ID_TABLE_GOTO_CELL: {
        CGotoCellDlg dialog(this);
        dialog.m_nColumn = std::max(GetCurrentColumn(), 1);
        dialog.m_nRow = GetCurrentRow() - 2;
        // Larger numbers are refused with the range, not clamped in silence.
        dialog.m_nMaxRow = kDataRows;
        dialog.m_nMaxColumn = kDataColumns;
        if (dialog.exec() == QDialog::Accepted)
            RunAction(new CDataActionGoto(dialog.m_nColumn - 1, dialog.m_nRow + 1, m_pItem));
        break;
    }
    case ID_TABLE_LOCK_COLUMN: {
        int enable = 0, state = 0;
        GetLockState(enable, state);
        // Everything locked: unlock; otherwise lock them all.
        if (enable)
            RunAction(new CDataActionColumnLock(state == 1 ? FALSE : TRUE, m_pItem));
        break;
    }
    case ID_EDIT_PASTE_OPTIONS: {
        if (!In(kind, {1, 2}))
            break;
        CPasteOptionsDlg dialog(this);
        dialog.m_nOperation = 0;
        if (dialog.exec() != QDialog::Accepted)
            break;
        SetPasteOptions(std::max(dialog.m_nOperation, 0), !dialog.m_bSkipBlanks, dialog.m_bTranspose != 0);
        RunAction(new CDataActionPaste(m_pItem));
        SetPasteOptions(0, true, false);
        break;
    }
    case ID_EDIT_CURRENT_CELL:
        if (CGridCellObject* cell = GetCurrentCellObject()) {
            CellCallScope scope(*this);
            cell->EditCell();
        }
        break;
    case ID_EDIT_PROPERTIES:
        if (m_pItem && GetCurrentColumn() >= 1 && m_pItem->GetTable().GetColumnType(GetCurrentColumn() - 1))
            if (RunAction(new CDataActionTypeChange(GetCurrentColumn() - 1, m_pItem))) {
                // Result and summary columns show labelled entries: the column takes their width.
                if (CDataColumnType* type = m_pItem->GetTable().GetColumnType(GetCurrentColumn() - 1);
                    type && type->GetTypeNumber() >= kTypeFitResults && type->GetTypeNumber() <= kTypeConstants)
                    SizeColumnToFit(GetCurrentColumn() - 1, false);
                std::vector<CGridCellRef> cells{CGridCellRef{GetCurrentColumn(), 0, 0}};
                OnCellsChanged(cells);
                RefreshGrid(GRID_UPDATE_CELLS_ONLY, 0);
                Invalidate(false);
            }
        break;
    case ID_TABLE_PREFERENCES:
        CGridColorsPage::RunPreferences(this);
        break;
    case ID_TABLE_COLUMN_FORMAT:
        if (!In(kind, {0, 10, 12, 22, 30}))
            CNumberFormatPage::RunColumnFormat(this);
        break;
    case ID_TABLE_SORT: {
        if (!m_pItem)
            break;
        CSortDataDlg dialog(m_pItem, std::max(GetCurrentColumn(), 1) - 1, this);
        dialog.InitFromSelection(*this);
        if (dialog.exec() == QDialog::Accepted)
            dialog.RecordUndo(*this);
        break;
    }
    case ID_EDIT_PASTE_FROM: {
        if (!In(kind, {1, 2, 4, 5, 7, 8}))
            break;
        FileRequest request;
        request.title = "Paste From File";
        request.filters = FilterTextsFromBars(CDataFilters::Current().GetImportFilterString());
        if (std::optional<FileAnswer> answer = ChooseFile(this, request); answer && !answer->path.empty())
            PasteFromFile(answer->path);
        break;
    }
    case ID_EDIT_COPY_TO: {
        FileRequest request;
        request.mode = FileRequest::SaveFile;
        request.title = "Copy To File";
        request.filters = FilterTextsFromBars(CDataFilters::Current().GetExportFilterString());
        if (std::optional<FileAnswer> answer = ChooseFile(this, request); answer && !answer->path.empty())
            CopyToFile(answer->path);
        break;
    }
    default: break;
    }
}

// ---------------------------------------------------------------- printing

int CDataView::BeginItemPrinting(QPaintDevice& device, const QPageLayout& layout)
{
    if (!m_pItem)
        return 0;
    m_nPrintResolution = std::max(1, device.logicalDpiY());
    m_printPaper = PaperSizeThousandths(layout);
    const QRect area = GetPrintableRect(*m_pItem, m_printPaper);
    const double perThousandth = m_nPrintResolution / 1000.0;
    m_printArea = QRect(int(std::lround(area.left() * perThousandth)), int(std::lround(area.top() * perThousandth)),
                        std::max(1, int(std::lround(area.width() * perThousandth))),
                        std::max(1, int(std::lround(area.height() * perThousandth))));
    return BeginPrinting(device, m_printArea.size());
}

void CDataView::PrintItemPage(QPainter& painter, int page)
{
    if (!m_pItem || !IsPrinting() || page < 1 || page > int(GetPages().size()))
        return;
    painter.save();
    painter.scale(m_nPrintResolution / 1000.0, m_nPrintResolution / 1000.0);
    PrintHeaderFooter(painter, *m_pItem, m_printPaper, page, int(GetPages().size()));
    painter.restore();
    painter.save();
    painter.translate(m_printArea.topLeft());
    PrintPage(painter, page - 1);
    painter.restore();
}

int CDataView::PrintTo(QPagedPaintDevice& device, int fromPage, int toPage)
{
    if (!m_pItem)
        return 0;
    // The item's margins place everything: the device prints from the paper's corner.
    device.setPageMargins(QMarginsF(0, 0, 0, 0));
    device.setPageOrientation(m_pItem->m_nOrientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    QPainter painter(&device);
    if (!painter.isActive())
        return 0;
    const int count = BeginItemPrinting(device, device.pageLayout());
    if (fromPage <= 0) {
        fromPage = 1;
        toPage = count;
    }
    toPage = std::min(toPage, count);
    int printed = 0;
    for (int page = fromPage; page <= toPage; ++page) {
        if (printed++ > 0)
            device.newPage();
        PrintItemPage(painter, page);
    }
    EndPrinting();
    return printed;
}

void CDataView::PrintItem()
{
    if (!m_pItem)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(m_pItem->m_nOrientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        PrintTo(printer, printer.fromPage(), printer.toPage());
}

void CDataView::PrintPreviewItem()
{
    if (!m_pItem)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(m_pItem->m_nOrientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    QPrintPreviewDialog dialog(&printer, this);
    dialog.setObjectName("PrintPreview");
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* device) { PrintTo(*device); });
    dialog.exec();
}

bool CDataView::OnCmdMsg(UINT id, CCmdUI* ui)
{
    switch (id) {
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_PREVIEW:
        if (ui)
            ui->Enable(m_pItem != nullptr);
        else if (id == ID_FILE_PRINT)
            PrintItem();
        else
            PrintPreviewItem();
        return true;
    case ID_TABLE_INSERT_COLUMN:
    case ID_TABLE_INSERT_ROW:
    case ID_TABLE_INSERT_CELLS:
    case ID_TABLE_DELETE:
    case ID_TABLE_COLUMN_WIDTH:
    case ID_TABLE_ROW_HEIGHT:
    case ID_TABLE_PREFERENCES:
    case ID_TABLE_SORT:
    case ID_TABLE_COLUMN_FORMAT:
    case ID_TABLE_SIZE_TO_FIT:
    case ID_TABLE_GOTO_CELL:
    case ID_TABLE_LOCK_COLUMN:
    case ID_EDIT_PASTE_OPTIONS:
    case ID_EDIT_CURRENT_CELL:
    case ID_EDIT_PROPERTIES:
    case ID_EDIT_PASTE_FROM:
    case ID_EDIT_COPY_TO:
        if (ui)
            UpdateTableCommand(id, *ui);
        else
            RunTableCommand(id);
        return true;
    case ID_EDIT_SELECT_ALL:
        // In a cell being edited, its text; otherwise every used data cell
        // of the table (the current cell alone in an empty one).
        if (ui) {
            ui->Enable(m_pItem != nullptr && GetGridData() != nullptr);
        } else if (GetSelectionKind() == 12) {
            CellCallScope scope(*this);
            GetCurrentCellObject()->SelectAll();
        } else if (m_pItem && GetGridData()) {
            const int firstRow = kFirstDataRow + 1;
            const int lastColumn = std::max(GetLastColumn(-1), 1);
            const int lastRow = std::max(GetLastRow(-1), firstRow);
            SetCurrentCell(firstRow, 1, 0);
            SetSelection(CGridRange{1, firstRow, lastColumn, lastRow}, 0, true);
            Notify(GRID_EVENT_UPDATE_WINDOW);
        }
        return true;
    case ID_EDIT_CUT:
    case ID_EDIT_CLEAR: {
        const int kind = GetSelectionKind();
        if (kind == 12)
            break; // the editor decides
        if (ui)
            ui->Enable(In(kind, {1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 16, 17, 18}));
        else if (In(kind, {1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 16, 17, 18}))
            RunAction(id == ID_EDIT_CUT ? static_cast<CAction*>(new CDataActionCutCells(m_pItem))
                                        : static_cast<CAction*>(new CDataActionClearCells(m_pItem)));
        return true;
    }
    case ID_EDIT_PASTE: {
        const int kind = GetSelectionKind();
        if (kind != 12 && (!ClipboardHasText() || !In(kind, {1, 2, 4, 5, 7, 8}))) {
            if (ui)
                ui->Enable(false);
            return true;
        }
        break;
    }
    default: break;
    }
    if (int type = TypeOfCommand(id); type >= 0) {
        if (ui) {
            ui->Enable(In(GetSelectionKind(), {1, 4, 13, 16, 24}));
            CDataColumnType* current = m_pItem && GetCurrentColumn() >= 1
                                           ? m_pItem->GetTable().GetColumnType(GetCurrentColumn() - 1)
                                           : nullptr;
            ui->SetCheck(current && current->GetTypeNumber() == type);
        } else {
            SetColumnType(GetCurrentColumn(), type);
        }
        return true;
    }
    if (id >= kFirstZoomCommand && id < kFirstZoomCommand + kZoomSteps.size()) {
        const int percent = kZoomSteps[id - kFirstZoomCommand];
        if (ui) {
            ui->Enable(GetSelectionKind() != 12);
            ui->SetCheck(GetZoomPercent() == percent);
        } else {
            SetZoomPercent(percent);
        }
        return true;
    }
    if (id == ID_VIEW_ZOOM_CUSTOM) {
        if (ui) {
            ui->Enable(GetSelectionKind() != 12);
            ui->SetCheck(std::find(kZoomSteps.begin(), kZoomSteps.end(), GetZoomPercent()) == kZoomSteps.end());
        } else {
            ChooseZoom();
        }
        return true;
    }
    if (!ui)
        return CGridView::OnCommand(int(id));
    CGridCmdState state;
    if (!CGridView::OnUpdateCommand(int(id), state))
        return false;
    ui->Enable(state.enabled);
    if (state.hasText)
        ui->SetText(state.text);
    return true;
}

// ---------------------------------------------------------------- context menus

void CDataView::ShowMenu(QMenu& menu, const QPoint& position)
{
    for (QAction* action : menu.actions()) {
        if (action->isSeparator() || action->menu())
            continue;
        const UINT id = action->data().toUInt();
        CCmdUI ui(id);
        OnCmdMsg(id, &ui);
        action->setEnabled(ui.m_enabled.value_or(false));
        if (!action->isEnabled() && ui.m_reason)
            action->setStatusTip(QString::fromStdString(*ui.m_reason));
        if (ui.m_checked) {
            action->setCheckable(true);
            action->setChecked(*ui.m_checked);
        }
        if (ui.m_text)
            action->setText(QString::fromStdString(*ui.m_text));
    }
    if (QAction* chosen = menu.exec(viewport()->mapToGlobal(position)))
        OnCmdMsg(chosen->data().toUInt(), nullptr);
}

// The window shows the context menu after the right button has moved the
// current cell; showing it here as well would open it twice.
void CDataView::OnRButtonCellChanged(UINT, POINT) {}

void CDataView::OnContextMenu(const QPoint& position)
{
    QMenu menu(this);
    auto add = [&menu](UINT id, const char* text) { menu.addAction(QString::fromUtf8(text))->setData(id); };
    if (GetCurrentRow() == 1) {
        for (const TypeCommand& t : kTypeCommands)
            add(t.id, t.text);
        menu.addSeparator();
        add(ID_EDIT_PROPERTIES, "Column &Properties...");
    } else {
        add(ID_EDIT_UNDO, "&Undo");
        menu.addSeparator();
        add(ID_EDIT_CUT, "Cu&t");
        add(ID_EDIT_COPY, "&Copy");
        add(ID_EDIT_PASTE, "&Paste");
        add(ID_EDIT_CLEAR, "Cle&ar");
        menu.addSeparator();
        add(ID_TABLE_DELETE, "&Delete");
        add(ID_TABLE_INSERT_COLUMN, "Insert &Column");
        add(ID_TABLE_INSERT_ROW, "Insert &Row");
        add(ID_TABLE_INSERT_CELLS, "Insert C&ells");
        menu.addSeparator();
        add(ID_TABLE_LOCK_COLUMN, "&Lock Column");
        add(ID_TABLE_COLUMN_FORMAT, "Column &Format...");
        add(ID_TABLE_GOTO_CELL, "&Go to Cell...");
        add(ID_TABLE_SORT, "&Sort Column(s)...");
        add(ID_TABLE_PREFERENCES, "Pr&eferences...");
        add(ID_EDIT_PROPERTIES, "P&roperties...");
    }
    ShowMenu(menu, position);
}
