#include "grid/HeaderCell.h"

#include "grid/GridEngine.h"
#include "grid/GridPainter.h"

IMPLEMENT_DYNCREATE(CHeaderCell, CGridCellObject)

void CHeaderCell::Draw(CGridPainter& painter, int row, int column, const RECT& cell, const RECT& textRect)
{
    if (!m_pEngine || !m_pEngine->GetGridData())
        return;
    const bool printing = painter.IsPrinting();
    if (!printing) {
        painter.FillRect(cell, GridSysColor(COLOR_BTNFACE));
        painter.DrawLine(cell.left, cell.top, cell.right - 1, cell.top, GridSysColor(COLOR_BTNHIGHLIGHT));
        painter.DrawLine(cell.left, cell.top, cell.left, cell.bottom - 1, GridSysColor(COLOR_BTNHIGHLIGHT));
    }
    // The shadow edge runs one pixel inside the bottom and the right.
    painter.DrawLine(cell.left, cell.bottom - 2, cell.right - 1, cell.bottom - 2, GridSysColor(COLOR_BTNSHADOW));
    painter.DrawLine(cell.right - 2, cell.top, cell.right - 2, cell.bottom - 1, GridSysColor(COLOR_BTNSHADOW));
    std::string text;
    m_pEngine->GetHeaderText(row, column, text);
    if (text.empty())
        return;
    RECT r{textRect.left + 1, textRect.top, textRect.right - 1, textRect.bottom};
    painter.DrawText(r, text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX,
                     m_pEngine->GetGridData()->m_crText, m_pEngine->GetGridData()->GetDeviceFont());
}
