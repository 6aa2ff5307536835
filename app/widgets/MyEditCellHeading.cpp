#include "app/widgets/MyEditCellHeading.h"

#include "app/widgets/DataView.h"
#include "app/widgets/MyHeaderCell.h"
#include "grid/GridEngine.h"
#include "grid/GridPainter.h"

IMPLEMENT_DYNCREATE(CMyEditCellHeading, CEditCell)

void CMyEditCellHeading::Draw(CGridPainter& painter, int row, int column, const RECT& cell, const RECT& textRect)
{
    CGridData* data = m_pEngine ? m_pEngine->GetGridData() : nullptr;
    if (!data)
        return;
    CDataView* view = DataViewOf(m_pEngine);
    COLORREF colour = view ? view->GetTextColour(CDataView::kHeadingText) : data->m_crText;
    std::string text;
    if (row < data->m_nHeaderRows || column < data->m_nHeaderColumns) {
        m_pEngine->GetHeaderText(row, column, text);
        DrawDataHeading(painter, *m_pEngine, cell, textRect, text, colour);
        return;
    }
    m_pEngine->GetEditText(row, column, text);
    painter.DrawLine(cell.right - 1, cell.top, cell.right - 1, cell.bottom, data->m_crShadow);
    painter.DrawLine(cell.left, cell.top, cell.right, cell.top, GridSysColor(COLOR_BTNSHADOW));
    RECT r{textRect.left + 1, textRect.top, textRect.right - 1, textRect.bottom};
    painter.DrawText(r, text, DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_NOPREFIX, colour, data->GetDeviceFont());
}

bool CMyEditCellHeading::IsTitle() const
{
    const CGridData* data = m_pEngine ? m_pEngine->GetGridData() : nullptr;
    return !data || m_nColumn < data->m_nHeaderColumns || m_nRow < data->m_nHeaderRows;
}

void CMyEditCellHeading::OnLButtonDblClk(UINT flags, POINT point)
{
    if (!IsTitle())
        CEditCell::OnLButtonDblClk(flags, point);
}

void CMyEditCellHeading::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    if (IsTitle())
        CGridCellObject::OnKeyDown(key, repeat, flags);
    else
        CEditCell::OnKeyDown(key, repeat, flags);
}

void CMyEditCellHeading::OnChar(UINT ch, UINT repeat, UINT flags)
{
    if (!IsTitle())
        CEditCell::OnChar(ch, repeat, flags);
}
