#include "data/DataActionTypeChange.h"

#include "data/DataColumnType.h"
#include "data/DataTableItem.h"
#include "data/MyData.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"

#include <charconv>

IMPLEMENT_DYNAMIC(CDataActionTypeChange, CDataAction)

namespace {

int ParseTypeNumber(const std::string& text)
{
    if (text.empty())
        return 0;
    int value = -1;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && ptr == text.data() + text.size() ? value : -1;
}
} // namespace

CDataActionTypeChange::CDataActionTypeChange(int column, const std::string& typeText, CDataTableItem* item)
    : CDataAction(IDS_TABLE_COLUMN_TYPE, item), m_column(column), m_newType(ParseTypeNumber(typeText))
{
    if (CDataColumnType* old = item->GetTable().GetColumnType(column))
        m_oldType.reset(static_cast<CDataColumnType*>(old->Clone()));
}

CDataActionTypeChange::CDataActionTypeChange(int column, CDataTableItem* item)
    : CDataAction(IDS_TABLE_COLUMN_TYPE, item), m_column(column), m_newType(0)
{
    if (CDataColumnType* old = item->GetTable().GetColumnType(column)) {
        m_oldType.reset(static_cast<CDataColumnType*>(old->Clone()));
        m_newType = old->GetTypeNumber();
    }
}

CDataActionTypeChange::~CDataActionTypeChange() = default;

void CDataActionTypeChange::SetType(CDataColumnType* type, bool store)
{
    SetModified();
    if (store)
        Table().SetCell(0, m_column, type);
    EnsureGridSize();
    // The type is in place before the workspace hears of it, so that the
    // dependency walk sees the column as it now is.
    type->NotifyDependents(m_item);
}

void CDataActionTypeChange::PutBackCells(const CCellSnapshot& cells)
{
    CMyData& table = Table();
    table.DeleteCells(m_column, kFirstDataRow, std::max(table.GetLastRow(m_column), kFirstDataRow));
    cells.Restore(table);
}

int CDataActionTypeChange::Do()
{
    SaveViewState();
    CMyData& table = Table();
    m_oldCells.Clear();
    m_oldCells.CaptureRows(table, m_column, kFirstDataRow, std::max(table.GetLastRow(m_column), kFirstDataRow));
    if (m_newType < kFirstTypeNumber || m_newType > kLastTypeNumber) {
        MessageBeep(MB_ICONEXCLAMATION);
        return 0;
    }
    std::unique_ptr<CDataColumnType> type;
    if (m_oldType && m_oldType->GetTypeNumber() == m_newType)
        type.reset(static_cast<CDataColumnType*>(m_oldType->Clone()));
    else
        type.reset(CreateColumnType(m_newType, m_column));
    if (!type) {
        // A kind whose model is not available here.
        MessageBeep(MB_ICONEXCLAMATION);
        return 0;
    }
    type->SetColumn(m_column);
    if (!type->EditSettings(m_item)) {
        PutBackCells(m_oldCells);
        return 0;
    }
    m_newTypeClone.reset(static_cast<CDataColumnType*>(type->Clone()));
    SetType(type.release(), true);
    return 1;
}

int CDataActionTypeChange::Undo()
{
    SetModified();
    CMyData& table = Table();
    RestoreViewState();
    // The old cells and type are back before anyone is told, so that the
    // columns that depend on this one recompute from the old values.
    PutBackCells(m_oldCells);
    if (m_oldType)
        table.SetCell(0, m_column, m_oldType->Clone());
    else
        table.DeleteCell(0, m_column);
    m_oldCells.Restore(table); // the formats, should the column have emptied
    m_item->NotifyColumnChanged(m_column, -1);
    return 1;
}

int CDataActionTypeChange::Redo()
{
    RestoreViewState();
    if (!m_newTypeClone)
        return 0;
    PutBackCells(m_oldCells);
    auto* type = static_cast<CDataColumnType*>(m_newTypeClone->Clone());
    Table().SetCell(0, m_column, type);
    type->ComputeValue(-1, m_item, TRUE);
    SetType(type, false);
    return 1;
}
