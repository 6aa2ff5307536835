#include "data/DataActionPasteBase.h"

#include "data/DataTableItem.h"
#include "data/MyData.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"

#include <algorithm>
#include <set>
#include <string>

IMPLEMENT_DYNAMIC(CDataActionPasteBase, CDataAction)
IMPLEMENT_DYNAMIC(CDataActionPaste, CDataActionPasteBase)

namespace {

int Width(const RECT& r) { return r.right - r.left + 1; }
int Height(const RECT& r) { return r.bottom - r.top + 1; }
} // namespace

CDataActionPasteBase::CDataActionPasteBase(UINT descriptionId, CDataTableItem* item) : CDataAction(descriptionId, item) {}
CDataActionPasteBase::~CDataActionPasteBase() = default;

bool CDataActionPasteBase::BlockFitsTable(const RECT& block)
{
    if (block.right < kTableColumns && block.bottom < kTableRows)
        return true;
    ReportMessage(IDS_PASTE_LARGER_THAN_TABLE, {}, MB_OK | MB_ICONEXCLAMATION);
    return false;
}

int CDataActionPasteBase::Do()
{
    SaveViewState();
    CDataTableView* view = View();
    if (!view)
        return 0;
    m_mode = view->GetSelectionKind();
    if (m_mode != 1 && m_mode != 2 && m_mode != 4 && m_mode != 5 && m_mode != 7 && m_mode != 8)
        return 0;
    m_source = ReadSource(m_block);
    if (!m_source || Width(m_block) < 1 || Height(m_block) < 1 || !BlockFitsTable(m_block)) {
        m_source.reset();
        return 0;
    }
    std::vector<RECT> selection = view->GetSelectedRanges();
    const RECT target = selection.empty() ? RECT{0, 0, 0, 0} : selection.front();
    m_column = target.left;
    m_row = target.top;
    if (m_mode == 1) {
        const CDataViewState state = view->GetViewState();
        m_column = state.current.x;
        m_row = state.current.y;
    } else if (m_mode == 2) {
        if (Width(target) != Width(m_block) || Height(target) != Height(m_block)) {
            const int answer = ReportMessage(IDS_PASTE_SIZES_DIFFER, {}, MB_YESNOCANCEL | MB_ICONQUESTION);
            if (answer == IDCANCEL)
                return 0;
            if (answer == IDYES) {
                m_block.right = m_block.left + std::min(Width(target), Width(m_block)) - 1;
                m_block.bottom = m_block.top + std::min(Height(target), Height(m_block)) - 1;
            }
        }
    } else {
        // Whole columns keep the rows the block came from, whole rows its columns,
        // so that type and name rows land on type and name rows.
        if (m_mode == 4 || m_mode == 5)
            m_row = m_block.top;
        else
            m_column = m_block.left;
        const int answer = view->AskPasteInsert(m_mode == 4 || m_mode == 5);
        if (answer == 0)
            return 0;
        m_insert = answer == 1;
    }
    if (!m_insert && !FitBlockAtTarget())
        return 0;
    return Apply();
}

bool CDataActionPasteBase::FitBlockAtTarget()
{
    // What reaches past the last column or row is never dropped in silence:
    // the user hears how much fits and may paste that part or nothing.
    const int columnsFree = kTableColumns - m_column, rowsFree = kTableRows - m_row;
    const int width = Width(m_block), height = Height(m_block);
    if (width <= columnsFree && height <= rowsFree)
        return true;
    if (columnsFree < 1 || rowsFree < 1)
        return false;
    const int answer = ReportMessage(IDS_PASTE_PARTLY_FITS,
                                     {std::to_string(width), std::to_string(height),
                                      std::to_string(std::min(width, columnsFree)),
                                      std::to_string(std::min(height, rowsFree))},
                                     MB_OKCANCEL | MB_ICONQUESTION);
    if (answer != IDOK)
        return false;
    m_block.right = m_block.left + std::min(width, columnsFree) - 1;
    m_block.bottom = m_block.top + std::min(height, rowsFree) - 1;
    return true;
}

int CDataActionPasteBase::Apply()
{
    CDataTableView* view = View();
    if (!view || !m_source)
        return 0;
    const bool columns = m_mode == 4 || m_mode == 5;
    const bool rows = m_mode == 7 || m_mode == 8;
    if (m_insert) {
        const bool done = columns ? view->InsertColumns(m_column, Width(m_block), true)
                                  : view->InsertRows(m_row, Height(m_block), true);
        if (!done)
            return 0;
    }
    CMyData& table = Table();
    m_overwritten.Clear();
    m_typeRow.Clear();
    const bool overwrite = !m_insert || (!columns && !rows);
    if (overwrite)
        for (int c = m_column; c < m_column + Width(m_block); ++c)
            m_overwritten.CaptureRows(table, c, m_row, m_row + Height(m_block) - 1);
    // Inserted columns go with their type rows on Undo; otherwise the type
    // row is kept unless the block's own capture holds it.
    m_typeRowKept = !(m_insert && columns) && !(overwrite && m_row == 0);
    if (m_typeRowKept)
        for (int c = m_column; c < m_column + Width(m_block); ++c)
            m_typeRow.CaptureRows(table, c, 0, 0);
    std::set<int> before = BlockColumns();
    view->FillFromSource(*m_source, m_block, m_column, m_row);
    SetModified();
    EnsureGridSize();
    NotifyBlockColumns(std::move(before));
    return 1;
}

int CDataActionPasteBase::Redo()
{
    RestoreViewState();
    return Apply();
}

int CDataActionPasteBase::Undo()
{
    RestoreViewState();
    CDataTableView* view = View();
    if (!view)
        return 0;
    const bool columns = m_mode == 4 || m_mode == 5;
    const bool rows = m_mode == 7 || m_mode == 8;
    if (!columns && !rows && m_mode != 1 && m_mode != 2)
        return 0;
    std::set<int> before = BlockColumns();
    if (m_insert && columns) {
        if (!view->DeleteColumns(m_column, Width(m_block), true))
            return 0;
    } else if (m_insert && rows) {
        if (!view->DeleteRows(m_row, Height(m_block), true))
            return 0;
    } else {
        CMyData& table = Table();
        for (int c = m_column; c < m_column + Width(m_block); ++c)
            table.DeleteCells(c, m_row, m_row + Height(m_block) - 1);
        m_overwritten.Restore(table);
    }
    if (m_typeRowKept) {
        CMyData& table = Table();
        for (int c = m_column; c < m_column + Width(m_block); ++c)
            table.DeleteCells(c, 0, 0);
        m_typeRow.Restore(table);
    }
    SetModified();
    NotifyBlockColumns(std::move(before));
    return 1;
}

std::set<int> CDataActionPasteBase::BlockColumns() const
{
    std::set<int> columns;
    const int end = m_column + Width(m_block);
    for (int c : Table().GetColumnNumbers())
        if (c >= m_column && c < end)
            columns.insert(c);
    return columns;
}

void CDataActionPasteBase::NotifyBlockColumns(std::set<int> columns)
{
    // One notice for every column of the block that holds cells now or held
    // them before: a block may be thousands of columns wide, and a notice a
    // column would recompute the table once for each.
    columns.merge(BlockColumns());
    std::vector<CDataColumnRef> changes;
    for (int c : columns)
        changes.push_back(CDataColumnRef{m_item, c, -1});
    if (!changes.empty())
        m_item->BroadcastColumnChanges(changes);
}

CDataActionPaste::CDataActionPaste(CDataTableItem* item) : CDataActionPasteBase(IDS_TABLE_PASTE, item) {}

std::unique_ptr<CMyData> CDataActionPaste::ReadSource(RECT& block)
{
    CDataTableView* view = View();
    return view ? view->ReadClipboardTable(block) : nullptr;
}
