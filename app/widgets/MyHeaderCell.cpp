#include "app/widgets/MyHeaderCell.h"

#include "app/MXGrid.h"
#include "app/widgets/DataView.h"
#include "grid/GridEngine.h"
#include "grid/GridPainter.h"

IMPLEMENT_DYNCREATE(CMyHeaderCell, CHeaderCell)

CDataView* DataViewOf(CGridEngine* engine) { return dynamic_cast<CDataView*>(engine); }

void DrawDataHeading(CGridPainter& painter, CGridEngine& engine, const RECT& cell, const RECT& textRect,
                     const std::string& text, COLORREF colour)
{
    CGridData* data = engine.GetGridData();
    if (!data)
        return;
    const bool printing = painter.IsPrinting();
    if (!printing) {
        painter.FillRect(cell, GridSysColor(COLOR_BTNFACE));
        painter.DrawLine(cell.left, cell.top, cell.right - 1, cell.top, GridSysColor(COLOR_BTNHIGHLIGHT));
        painter.DrawLine(cell.left, cell.top, cell.left, cell.bottom - 1, GridSysColor(COLOR_BTNHIGHLIGHT));
    }
    painter.DrawLine(cell.left, cell.bottom - 2, cell.right - 1, cell.bottom - 2, GridSysColor(COLOR_BTNSHADOW));
    painter.DrawLine(cell.right - 2, cell.top, cell.right - 2, cell.bottom - 1, GridSysColor(COLOR_BTNSHADOW));
    if (text.empty())
        return;
    // A long column type or name wraps in a smaller font rather than being cut.
    LOGFONT font = data->GetDeviceFont();
    font.lfHeight = font.lfHeight * 7 / 10;
    painter.DrawText(textRect, text, DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_NOPREFIX, colour, font);
}

void CMyHeaderCell::Draw(CGridPainter& painter, int row, int column, const RECT& cell, const RECT& textRect)
{
    CDataView* view = DataViewOf(m_pEngine);
    CGridData* data = m_pEngine ? m_pEngine->GetGridData() : nullptr;
    if (!view || !data) {
        CHeaderCell::Draw(painter, row, column, cell, textRect);
        return;
    }
    // The heading base draws in the grid's text colour: lend it the heading colour.
    COLORREF saved = data->m_crText;
    data->m_crText = view->GetTextColour(CDataView::kRowColumnText);
    CHeaderCell::Draw(painter, row, column, cell, textRect);
    data->m_crText = saved;
}
