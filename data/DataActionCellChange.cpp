#include "data/DataActionCellChange.h"

#include "data/DataColumnType.h"
#include "data/DataTableItem.h"
#include "data/MyData.h"
#include "platform/StringIds.h"

IMPLEMENT_DYNAMIC(CDataActionCellChange, CDataAction)

CDataActionCellChange::CDataActionCellChange(int row, int column, std::string text, CDataTableItem* item)
    : CDataAction(IDS_TABLE_EDIT, item), m_row(row), m_column(column), m_text(std::move(text))
{
}

int CDataActionCellChange::Apply()
{
    SetModified();
    CMyData& table = Table();
    if (m_text.empty()) {
        table.DeleteCell(m_row, m_column);
    } else {
        CDataColumnType* type = table.GetColumnType(m_column);
        // Columns that compute their cells or are locked take no typing.
        if (type && m_row >= kFirstDataRow && !type->IsEditable())
            return 0;
        CData* cell = type ? type->MakeDataFromText(m_row, m_text) : MakeDataFromString(m_text);
        if (!cell)
            return 0;
        table.SetCell(m_row, m_column, cell);
    }
    EnsureGridSize();
    return 1;
}

void CDataActionCellChange::NotifyChange() { m_item->NotifyColumnChanged(m_column, m_row); }

int CDataActionCellChange::Do()
{
    SaveViewState();
    m_old.Clear();
    m_old.CaptureCell(Table(), m_row, m_column);
    if (!Apply())
        return 0;
    // Columns computed from this one follow at once.
    NotifyChange();
    return 1;
}

int CDataActionCellChange::Redo()
{
    RestoreViewState();
    if (!Apply())
        return 0;
    NotifyChange();
    return 1;
}

int CDataActionCellChange::Undo()
{
    SetModified();
    CMyData& table = Table();
    table.DeleteCell(m_row, m_column);
    m_old.Restore(table);
    NotifyChange();
    RestoreViewState();
    return 1;
}
