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
    col->ForEachRaw(firstRow, lastRow, [&](int row, const CColData::RawCell& cell) {
        if (cell.isNumber)
            m_cells.push_back({row, column, true, cell.number, nullptr});
        else
            m_cells.push_back({row, column, false, 0.0, std::unique_ptr<CData>(cell.object ? cell.object->Clone() : nullptr)});
    });
}

void CCellSnapshot::CaptureCell(const CMyData& table, int row, int column)
{
    KeepFormat(table, column);
    if (table.HasAssociation(row, column))
        CaptureRows(table, column, row, row);
}

void CCellSnapshot::Restore(CMyData& table) const
{
    for (const Cell& c : m_cells)
        if (c.isNumber)
            table.SetNumber(c.row, c.column, c.number);
        else
            table.SetCell(c.row, c.column, c.clone ? c.clone->Clone() : nullptr);
    for (const auto& [column, format] : m_formats)
        table.ReplaceColumnFormat(column, format);
}

void CCellSnapshot::Clear()
{
    m_cells.clear();
    m_formats.clear();
}
