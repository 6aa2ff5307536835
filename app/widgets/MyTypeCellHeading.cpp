#include "app/widgets/MyTypeCellHeading.h"

#include "app/widgets/DataView.h"
#include "app/widgets/MyHeaderCell.h"
#include "grid/GridEngine.h"
#include "grid/GridPainter.h"

IMPLEMENT_DYNCREATE(CMyTypeCellHeading, CGridCellObject)

void CMyTypeCellHeading::Draw(CGridPainter& painter, int row, int column, const RECT& cell, const RECT& textRect)
{
    if (!m_pEngine)
        return;
    std::string text;
    m_pEngine->GetCellText(row, column, text);
    CDataView* view = DataViewOf(m_pEngine);
    COLORREF colour = view ? view->GetTextColour(CDataView::kHeadingText) : GridSysColor(COLOR_WINDOWTEXT);
    DrawDataHeading(painter, *m_pEngine, cell, textRect, text, colour);
}

void CMyTypeCellHeading::OnLButtonDblClk(UINT flags, POINT point)
{
    if (m_pEngine)
        m_pEngine->OnRButtonCellChanged(flags, point);
}
