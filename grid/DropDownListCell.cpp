#include "grid/DropDownListCell.h"

#include "grid/GridEngine.h"

IMPLEMENT_DYNCREATE(CDropDownListCell, CGridCellObject)

CDropDownListCell::~CDropDownListCell() { DestroyEditor(); }

bool CDropDownListCell::CreateEditor()
{
    DestroyEditor();
    CGridHost* host = m_pEngine ? m_pEngine->GetHost() : nullptr;
    if (!host)
        return false;
    m_pEditor = host->CreateEditor(GRID_EDITOR_LIST);
    if (!m_pEditor)
        return false;
    RECT rect;
    m_pEngine->GetCellRect(m_nRow, m_nColumn, rect);
    m_pEditor->MoveTo(rect);
    if (m_pEngine->GetGridData())
        m_pEditor->SetFont(m_pEngine->GetGridData()->GetDeviceFont());
    return true;
}

void CDropDownListCell::DestroyEditor()
{
    std::unique_ptr<CGridEditor> editor = std::move(m_pEditor);
    editor.reset();
}

void CDropDownListCell::SetEditing(bool begin)
{
    if (!m_pEngine)
        return;
    if (begin) {
        if (m_pEditor || !m_pEngine->IsValidRow(m_nRow) || !m_pEngine->IsValidColumn(m_nColumn))
            return;
        if (!CreateEditor())
            return;
        FillList(*m_pEditor);
        std::string text;
        m_pEngine->GetCellText(m_nRow, m_nColumn, text);
        m_pEditor->SelectItem(text);
        m_pEditor->Show();
        m_pEditor->SetFocus();
        return;
    }
    if (!m_pEditor)
        return;
    RECT area = m_pEditor->GetRect();
    DestroyEditor();
    if (CGridHost* host = m_pEngine->GetHost(); host && !RectIsEmpty(area))
        host->InvalidateRect(area, false);
    m_pEngine->Notify(GRID_EVENT_UPDATE_WINDOW);
}

void CDropDownListCell::OnChar(UINT ch, UINT, UINT)
{
    if (ch < 0x20 || ch == 0x7F)
        return; // Enter, Tab and other controls never open the list
    SetEditing(true);
}

void CDropDownListCell::OnLButtonDblClk(UINT flags, POINT point)
{
    SetEditing(true);
    if (m_pEditor && m_pEditor->HasFocus()) {
        RECT r = m_pEditor->GetRect();
        m_pEditor->SendLButtonDown(flags, POINT{point.x - r.left, point.y - r.top});
    }
}

void CDropDownListCell::OnListSelEndOk()
{
    if (!m_pEditor || !m_pEngine)
        return;
    int index = m_pEditor->GetCurSel();
    if (index < 0)
        return;
    if (m_pEngine->SetCellText(m_nRow, m_nColumn, m_pEditor->GetItemText(index)) == -1)
        return;
    CGridCellRef cell{m_nColumn, m_nRow, 0};
    m_pEngine->Notify(GRID_EVENT_CELL, &cell);
    m_pEngine->OnCellEdited(m_nRow, m_nColumn);
}

void CDropDownListCell::OnListDropDown()
{
    if (!m_pEditor || !m_pEngine)
        return;
    RECT rect;
    m_pEngine->GetCellRect(m_nRow, m_nColumn, rect);
    rect.bottom += 4 * m_pEditor->GetItemHeight();
    m_pEditor->MoveTo(rect);
}

void CDropDownListCell::OnListCloseUp()
{
    if (!m_pEditor || !m_pEngine)
        return;
    RECT rect;
    m_pEngine->GetCellRect(m_nRow, m_nColumn, rect);
    m_pEditor->MoveTo(rect);
}

bool CDropDownListCell::OnEditorKeyDown(UINT key, UINT repeat, UINT flags)
{
    switch (key) {
    case VK_DOWN:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_NEXT:
    case VK_PRIOR:
    case VK_RETURN:
    case VK_TAB:
        if (m_pEngine && m_pEngine->GetHost())
            m_pEngine->GetHost()->PostKeyDown(key, repeat, flags);
        break;
    default:
        break;
    }
    return true; // the list itself handles no keys
}
