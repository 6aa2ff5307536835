#include "grid/CheckBoxCell.h"

#include "grid/GridEngine.h"
#include "grid/GridPainter.h"

IMPLEMENT_DYNCREATE(CCheckBoxCell, CGridCellObject)

void CCheckBoxCell::Initialize()
{
    if (!m_pEngine || !m_pEngine->GetGridData())
        return;
    const CGridData& d = *m_pEngine->GetGridData();
    // A 4 mm box (400 hundredths of a millimetre) in pixels of the surface.
    m_nBoxWidth = MulDiv(400, d.m_nLogPixelsX, 2540);
    m_nBoxHeight = MulDiv(m_nBoxWidth, d.m_nLogPixelsX, d.m_nLogPixelsY);
}

void CCheckBoxCell::Draw(CGridPainter& painter, int, int, const RECT& cell, const RECT&)
{
    if (cell.Width() <= m_nBoxWidth || cell.Height() <= m_nBoxHeight)
        return;
    const int left = cell.left + (cell.Width() - m_nBoxWidth) / 2;
    const int top = cell.top + (cell.Height() - m_nBoxHeight) / 2;
    const RECT box{left, top, left + m_nBoxWidth, top + m_nBoxHeight};
    painter.FillRect(box, RGB(255, 255, 255));
    // Sunken: grey above and left, white below and right.
    painter.DrawLine(box.left, box.top, box.right, box.top, RGB(128, 128, 128));
    painter.DrawLine(box.left, box.top, box.left, box.bottom, RGB(128, 128, 128));
    painter.DrawLine(box.left, box.bottom - 1, box.right, box.bottom - 1, RGB(255, 255, 255));
    painter.DrawLine(box.right - 1, box.top, box.right - 1, box.bottom, RGB(255, 255, 255));
    if (IsChecked()) {
        const int w = m_nBoxWidth, h = m_nBoxHeight;
        painter.DrawLine(box.left + w / 5, box.top + h / 2, box.left + w * 2 / 5, box.top + h * 3 / 4, RGB(0, 0, 0));
        painter.DrawLine(box.left + w * 2 / 5, box.top + h * 3 / 4, box.left + w * 4 / 5, box.top + h / 4, RGB(0, 0, 0));
    }
}

void CCheckBoxCell::OnLButtonDown(UINT flags, POINT point)
{
    CGridCellObject::OnLButtonDown(flags, point);
    SetChecked(!IsChecked());
    RECT rect;
    if (m_pEngine && m_pEngine->GetHost() && m_pEngine->GetCellRect(m_nRow, m_nColumn, rect))
        m_pEngine->GetHost()->InvalidateRect(rect, true);
}

void CCheckBoxCell::SetChecked(bool checked)
{
    if (!m_pEngine)
        return;
    m_pEngine->SetCellText(m_nRow, m_nColumn, checked ? "1" : "0");
    CGridCellRef cell{m_nColumn, m_nRow, 0};
    m_pEngine->Notify(GRID_EVENT_CELL, &cell);
}

bool CCheckBoxCell::IsChecked() const
{
    if (!m_pEngine)
        return false;
    std::string text;
    m_pEngine->GetCellText(m_nRow, m_nColumn, text);
    return text == "1";
}
