#include "data/DataActionColumnWidth.h"

#include "data/DataTableItem.h"
#include "platform/StringIds.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CDataActionColumnWidth, CDataAction)
IMPLEMENT_DYNAMIC(CDataActionRowHeight, CDataActionColumnWidth)

namespace {
// Blocks of whole columns or rows reach to the grid's end; the sizes kept
// for undo stop at a bound that no grid reaches in one selection.
constexpr int kMaxSized = 100000;
} // namespace

CDataActionColumnWidth::CDataActionColumnWidth(CDataTableItem* item, bool rows)
    : CDataAction(rows ? IDS_TABLE_ROW_HEIGHT : IDS_TABLE_COLUMN_WIDTH, item), m_rows(rows)
{
}

void CDataActionColumnWidth::Apply()
{
    CDataTableView* view = View();
    const int size = m_default ? -1 : m_size;
    for (const auto& [index, old] : m_old) {
        if (m_rows)
            view->SetRowHeight(index, size);
        else
            view->SetColumnWidth(index, size);
    }
    SetModified();
    view->Repaint();
}

int CDataActionColumnWidth::Do()
{
    SaveViewState();
    CDataTableView* view = View();
    if (!view)
        return 0;
    const int kind = view->GetSelectionKind();
    if (kind == 0 || kind == 12)
        return 0;
    m_old.clear();
    for (const RECT& r : view->GetSelectedRanges()) {
        const int first = m_rows ? r.top : r.left;
        const int last = std::min<int>(m_rows ? r.bottom : r.right, first + kMaxSized);
        for (int i = std::max(first, 0); i <= last; ++i) {
            const bool isDefault = m_rows ? view->IsDefaultRowHeight(i) : view->IsDefaultColumnWidth(i);
            m_old.emplace(i, isDefault ? -1 : (m_rows ? view->GetRowHeight(i) : view->GetColumnWidth(i)));
        }
    }
    if (m_old.empty())
        return 0;
    // The current size is offered only when every selected one shares it.
    int offered = m_rows ? view->GetRowHeight(m_old.begin()->first) : view->GetColumnWidth(m_old.begin()->first);
    for (const auto& [index, old] : m_old)
        if ((m_rows ? view->GetRowHeight(index) : view->GetColumnWidth(index)) != offered)
            offered = -1;
    m_size = offered;
    const bool ok = m_rows ? view->AskRowHeight(m_size, m_default) : view->AskColumnWidth(m_size, m_default);
    if (!ok)
        return 0;
    Apply();
    return 1;
}

int CDataActionColumnWidth::Redo()
{
    RestoreViewState();
    if (!View())
        return 0;
    Apply();
    return 1;
}

int CDataActionColumnWidth::Undo()
{
    RestoreViewState();
    CDataTableView* view = View();
    if (!view)
        return 0;
    for (const auto& [index, old] : m_old) {
        if (m_rows)
            view->SetRowHeight(index, old);
        else
            view->SetColumnWidth(index, old);
    }
    SetModified();
    view->Repaint();
    return 1;
}
