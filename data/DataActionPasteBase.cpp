#include "data/DataActionPasteBase.h"

#include "data/DataTableItem.h"
#include "data/MyData.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CDataActionPasteBase, CDataAction)
IMPLEMENT_DYNAMIC(CDataActionPaste, CDataActionPasteBase)

namespace {

int Width(const RECT& r) { return r.right - r.left + 1; }
int Height(const RECT& r) { return r.bottom - r.top + 1; }
} // namespace

CDataActionPasteBase::CDataActionPasteBase(UINT descriptionId, CDataTableItem* item) : CDataAction(descriptionId, item) {}
CDataActionPasteBase::~CDataActionPasteBase() = default;

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
    if (!m_source || Width(m_block) < 1 || Height(m_block) < 1)
        return 0;
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
    return Apply();
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
    if (!m_insert || (!columns && !rows))
        for (int c = m_column; c < m_column + Width(m_block); ++c)
            m_overwritten.CaptureRows(table, c, m_row, m_row + Height(m_block) - 1);
    view->FillFromSource(*m_source, m_block, m_column, m_row);
    SetModified();
    EnsureGridSize();
    for (int c = m_column; c < m_column + Width(m_block); ++c)
        m_item->NotifyColumnChanged(c, -1);
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
    SetModified();
    for (int c = m_column; c < m_column + Width(m_block); ++c)
        m_item->NotifyColumnChanged(c, -1);
    return 1;
}

CDataActionPaste::CDataActionPaste(CDataTableItem* item) : CDataActionPasteBase(IDS_TABLE_PASTE, item) {}

std::unique_ptr<CMyData> CDataActionPaste::ReadSource(RECT& block)
{
    CDataTableView* view = View();
    return view ? view->ReadClipboardTable(block) : nullptr;
}
