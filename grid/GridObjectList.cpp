#include "grid/GridObjectList.h"

std::vector<std::unique_ptr<CGridCellObject>> CGridObjectList::MakeRow(int screenRow)
{
    std::vector<std::unique_ptr<CGridCellObject>> row;
    row.reserve(std::size_t(m_nColumns > 0 ? m_nColumns : 0));
    for (int c = 0; c < m_nColumns; ++c) {
        std::unique_ptr<CGridCellObject> object(m_factory ? m_factory(screenRow, c) : nullptr);
        if (object)
            object->Initialize();
        row.push_back(std::move(object));
    }
    return row;
}

void CGridObjectList::AddRow() { m_rows.push_back(MakeRow(int(m_rows.size()))); }

void CGridObjectList::InsertRow(int index)
{
    if (index < 0 || index > int(m_rows.size()))
        return;
    m_rows.insert(m_rows.begin() + index, MakeRow(index));
}

void CGridObjectList::RemoveRow(int index)
{
    if (index < 0 || index >= int(m_rows.size()))
        return;
    m_rows.erase(m_rows.begin() + index);
}

void CGridObjectList::Rebuild(int rows, int columns)
{
    Clear();
    m_nColumns = columns;
    for (int r = 0; r < rows; ++r)
        AddRow();
}

CGridCellObject* CGridObjectList::GetAt(int screenRow, int screenColumn) const
{
    if (screenRow < 0 || screenColumn < 0 || screenRow >= int(m_rows.size()))
        return nullptr;
    const auto& row = m_rows[std::size_t(screenRow)];
    if (screenColumn >= int(row.size()))
        return nullptr;
    return row[std::size_t(screenColumn)].get();
}

std::unique_ptr<CGridCellObject> CGridObjectList::Take(int screenRow, int screenColumn)
{
    if (!GetAt(screenRow, screenColumn))
        return nullptr;
    return std::move(m_rows[std::size_t(screenRow)][std::size_t(screenColumn)]);
}

void CGridObjectList::Put(int screenRow, int screenColumn, std::unique_ptr<CGridCellObject> object)
{
    if (screenRow < 0 || screenColumn < 0 || screenRow >= int(m_rows.size()))
        return;
    auto& row = m_rows[std::size_t(screenRow)];
    if (screenColumn >= int(row.size()))
        return;
    row[std::size_t(screenColumn)] = std::move(object);
}
