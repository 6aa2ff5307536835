#include "app/widgets/MyEditCell.h"

#include "app/MXGrid.h"
#include "app/widgets/DataView.h"
#include "app/widgets/MyHeaderCell.h"
#include "data/Data.h"
#include "data/DataColumnType.h"
#include "grid/GridEngine.h"
#include "grid/GridPainter.h"
#include "platform/Reporter.h"

IMPLEMENT_DYNCREATE(CMyEditCell, CEditCell)

bool CMyEditCell::ColumnEditable() const
{
    CDataView* view = DataViewOf(m_pEngine);
    if (!view || !view->GetFrameItem() || m_nColumn < 1)
        return true;
    CDataColumnType* type = view->GetFrameItem()->GetTable().GetColumnType(m_nColumn - 1);
    return !type || type->IsEditable();
}

void CMyEditCell::Draw(CGridPainter& painter, int row, int column, const RECT& cell, const RECT& textRect)
{
    CDataView* view = DataViewOf(m_pEngine);
    CGridData* data = m_pEngine ? m_pEngine->GetGridData() : nullptr;
    if (!view || !data || !view->GetFrameItem())
        return;
    std::string text;
    m_pEngine->GetCellText(row, column, text);
    if (text.empty())
        return;
    const CMyData& table = view->GetFrameItem()->GetTable();
    UINT align = DT_LEFT;
    if (CData* value = table.GetCell(row - 1, column - 1); value && value->GetAlignment() == CData::kAlignRight)
        align = DT_RIGHT;
    COLORREF colour = view->ColumnTextColour(column - 1);
    RECT r{textRect.left + 1, textRect.top, textRect.right - 1, textRect.bottom};
    painter.DrawText(r, text, align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, colour, data->GetDeviceFont());
}

void CMyEditCell::OnLButtonDblClk(UINT flags, POINT point)
{
    if (!ColumnEditable()) {
        MessageBeep(0);
        return;
    }
    CEditCell::OnLButtonDblClk(flags, point);
}

void CMyEditCell::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    if (ColumnEditable()) {
        CEditCell::OnKeyDown(key, repeat, flags);
        return;
    }
    if (key == VK_F2)
        MessageBeep(0);
    // Arrows and the rest still move the current cell.
    CGridCellObject::OnKeyDown(key, repeat, flags);
}

void CMyEditCell::OnChar(UINT ch, UINT repeat, UINT flags)
{
    if (ColumnEditable())
        CEditCell::OnChar(ch, repeat, flags);
}
