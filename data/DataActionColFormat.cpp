#include "data/DataActionColFormat.h"

#include "data/DataTableItem.h"
#include "data/MyData.h"
#include "platform/StringIds.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CDataActionColFormat, CDataAction)

namespace {

bool IsWholeTableKind(int kind)
{
    for (int k : {7, 8, 9, 11, 19, 20, 21, 27, 28, 29})
        if (kind == k)
            return true;
    return false;
}
} // namespace

CDataActionColFormat::CDataActionColFormat(const CDataFormat& format, CDataTableItem* item)
    : CDataAction(IDS_TABLE_COLUMN_FORMAT, item), m_format(format)
{
}

void CDataActionColFormat::Apply()
{
    CMyData& table = Table();
    CDataTableView* view = View();
    if (m_wholeTable)
        table.MergeDefaultFormat(m_format);
    for (const auto& [column, width] : m_oldWidths) {
        table.SetColumnFormat(column, m_format);
        if (view)
            view->SizeColumnToFit(column, false);
    }
    SetModified();
    if (view)
        view->Repaint();
}

int CDataActionColFormat::Do()
{
    SaveViewState();
    CDataTableView* view = View();
    if (!view)
        return 0;
    CMyData& table = Table();
    m_wholeTable = IsWholeTableKind(view->GetSelectionKind());
    m_oldDefault = table.GetDefaultFormat();
    m_oldFormats.clear();
    m_oldWidths.clear();
    auto keep = [&](int column) {
        if (m_oldWidths.count(column))
            return;
        m_oldWidths[column] = view->IsDefaultColumnWidth(column) ? -1 : view->GetColumnWidth(column);
        if (CColData* col = table.GetColumn(column))
            m_oldFormats.emplace(column, col->GetFormat());
    };
    if (m_wholeTable) {
        for (int c = 0; c <= table.GetLastColumn(); ++c)
            keep(c);
    } else {
        for (const RECT& r : view->GetSelectedRanges())
            for (int c = std::max<int>(r.left, 0); c <= std::min<int>(r.right, table.GetLastColumn() + 1); ++c)
                keep(c);
    }
    Apply();
    return 1;
}

int CDataActionColFormat::Redo()
{
    RestoreViewState();
    Apply();
    return 1;
}

int CDataActionColFormat::Undo()
{
    RestoreViewState();
    CMyData& table = Table();
    table.ReplaceDefaultFormat(m_oldDefault);
    CDataTableView* view = View();
    for (const auto& [column, width] : m_oldWidths) {
        auto it = m_oldFormats.find(column);
        table.ReplaceColumnFormat(column, it != m_oldFormats.end() ? it->second : m_oldDefault);
        if (view)
            view->SetColumnWidth(column, width);
    }
    SetModified();
    if (view)
        view->Repaint();
    return 1;
}
