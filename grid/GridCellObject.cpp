#include "grid/GridCellObject.h"

#include "grid/GridEngine.h"

IMPLEMENT_DYNCREATE(CGridCellObject, CObject)

void CGridCellObject::Draw(CGridPainter& painter, int row, int column, const RECT&, const RECT& textRect)
{
    if (m_pEngine)
        m_pEngine->DrawCellText(painter, row, column, textRect);
}

void CGridCellObject::OnMouseMove(UINT flags, POINT point)
{
    if (m_pEngine)
        m_pEngine->OnMouseMove(flags, point);
}

void CGridCellObject::OnLButtonDown(UINT flags, POINT point)
{
    if (m_pEngine)
        m_pEngine->OnLButtonDown(flags, point);
}

void CGridCellObject::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    if (m_pEngine)
        m_pEngine->OnKeyDown(key, repeat, flags);
}

void CGridCellObject::OnChar(UINT ch, UINT repeat, UINT flags)
{
    if (m_pEngine)
        m_pEngine->OnChar(ch, repeat, flags);
}

void CGridCellObject::GetFitWidths(int& minWidth, int& maxWidth)
{
    int w = m_pEngine ? m_pEngine->GetColumnWidth(m_nColumn, true) : 0;
    minWidth = w;
    maxWidth = w;
}
