#include "data/CellSnapshot.h"

#include "data/MyData.h"

void CCellSnapshot::KeepFormat(const CMyData& table, int column)
{
    if (!m_formats.count(column) && table.GetColumn(column))
        m_formats.emplace(column, table.GetColumn(column)->GetFormat());
}

void CCellSnapshot::CaptureRows(const CMyData& table, int column, int firstRow, int lastRow)
{
    KeepFormat(table, column);
    CColData* col = table.GetColumn(column);
    if (!col)
        return;
    col->ForEachInRows(firstRow, lastRow, [&](int row, CData* cell) {
        m_cells.push_back({row, column, std::unique_ptr<CData>(cell ? cell->Clone() : nullptr)});
    });
}

void CCellSnapshot::CaptureCell(const CMyData& table, int row, int column)
{
    KeepFormat(table, column);
    if (table.HasAssociation(row, column)) {
        CData* cell = table.GetColumn(column)->GetCell(row);
        m_cells.push_back({row, column, std::unique_ptr<CData>(cell ? cell->Clone() : nullptr)});
    }
}

void CCellSnapshot::Restore(CMyData& table) const
{
    for (const Cell& c : m_cells)
        table.SetCell(c.row, c.column, c.clone ? c.clone->Clone() : nullptr);
    for (const auto& [column, format] : m_formats)
        table.ReplaceColumnFormat(column, format);
}

void CCellSnapshot::Clear()
{
    m_cells.clear();
    m_formats.clear();
}
