#include "grid/EditCell.h"

#include "grid/GridEngine.h"

IMPLEMENT_DYNCREATE(CEditCell, CGridCellObject)

namespace {

constexpr int kTextEnd = 0xFFFF; // a selection position meaning the end of the text

// Characters that never start an edit: controls, including Enter and Tab.
bool IsControlCharacter(UINT ch) { return ch < 0x20 || ch == 0x7F; }

} // namespace

CEditCell::~CEditCell() { DestroyEditor(); }

bool CEditCell::CellOnScreen() const
{
    return m_pEngine && m_pEngine->IsValidRow(m_nRow) && m_pEngine->IsValidColumn(m_nColumn);
}

bool CEditCell::CreateEditor()
{
    CGridHost* host = m_pEngine ? m_pEngine->GetHost() : nullptr;
    if (!host)
        return false;
    m_pEditor = host->CreateEditor(GRID_EDITOR_TEXT);
    if (!m_pEditor)
        return false;
    m_pEditor->SetModified(false);
    if (m_pEngine->GetGridData())
        m_pEditor->SetFont(m_pEngine->GetGridData()->GetDeviceFont());
    return true;
}

void CEditCell::DestroyEditor()
{
    // The pointer is cleared before the editor goes, so nothing its
    // destruction sets off can find it and end the edit a second time.
    std::unique_ptr<CGridEditor> editor = std::move(m_pEditor);
    editor.reset();
}

void CEditCell::SetEditing(bool begin)
{
    if (!begin) {
        Commit();
        return;
    }
    if (!CellOnScreen())
        return;
    if (m_pEditor) {
        if (m_pEditor->IsModified()) {
            m_pEditor->SetModified(false);
            if (m_pEngine->SetCellText(m_nRow, m_nColumn, m_pEditor->GetText()) == -1) {
                m_pEditor->SetModified(true);
            } else {
                CGridCellRef cell{m_nColumn, m_nRow, 0};
                m_pEngine->Notify(GRID_EVENT_CELL, &cell);
                m_pEngine->OnCellEdited(m_nRow, m_nColumn);
            }
            if (m_pEditor) {
                m_pEditor->SetFocus();
                m_pEditor->SetSel(kTextEnd, kTextEnd);
            }
        }
        return;
    }
    if (!CreateEditor())
        return;
    std::string text;
    m_pEngine->GetEditText(m_nRow, m_nColumn, text);
    if (!text.empty())
        m_pEditor->SetText(text);
    RECT rect;
    m_pEngine->GetCellRect(m_nRow, m_nColumn, rect);
    m_pEditor->MoveTo(rect);
    m_pEditor->Show();
    m_pEditor->SetFocus();
    m_pEditor->SetSel(kTextEnd, kTextEnd);
    m_pEditor->SetModified(false);
}

void CEditCell::Commit()
{
    if (!m_pEditor || m_bCommitting || !m_pEngine || !m_pEngine->GetGridData())
        return;
    struct Guard {
        bool& flag;
        explicit Guard(bool& f) : flag(f) { flag = true; }
        ~Guard() { flag = false; }
    } guard(m_bCommitting);
    CGridData& data = *m_pEngine->GetGridData();
    if (m_pEditor->IsModified() && !data.m_bStay) {
        m_pEditor->SetModified(false);
        if (m_pEngine->SetCellText(m_nRow, m_nColumn, m_pEditor->GetText()) == -1) {
            // Refused: the editor stays open with the typed text, still marked
            // modified so that leaving the cell tries the store again.
            if (m_pEditor) {
                m_pEditor->SetModified(true);
                m_pEditor->SetFocus();
            }
            return;
        }
        CGridCellRef cell{m_nColumn, m_nRow, 0};
        m_pEngine->Notify(GRID_EVENT_CELL, &cell);
        m_pEngine->OnCellEdited(m_nRow, m_nColumn);
    }
    if (!m_pEditor)
        return;
    if (data.m_bStay) {
        m_pEditor->SetFocus();
        m_pEditor->SetSel(0, kTextEnd);
        m_pEditor->SetModified(true);
        return;
    }
    RECT area = m_pEditor->GetRect();
    DestroyEditor();
    if (CGridHost* host = m_pEngine->GetHost(); host && !RectIsEmpty(area))
        host->InvalidateRect(area, true);
}

void CEditCell::EndEdit()
{
    if (m_pEditor)
        SetEditing(false);
}

void CEditCell::OnLeaveCell() { SetEditing(false); }

void CEditCell::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    if (key == VK_F2) {
        SetEditing(true);
        if (m_pEditor)
            m_pEditor->SetSel(0, kTextEnd);
        return;
    }
    CGridCellObject::OnKeyDown(key, repeat, flags);
}

void CEditCell::OnChar(UINT ch, UINT repeat, UINT flags)
{
    if (!m_pEngine)
        return;
    if (!CellOnScreen())
        m_pEngine->SetCurrentCell(m_nRow, m_nColumn);
    if (IsControlCharacter(ch))
        return;
    const bool opening = !m_pEditor;
    SetEditing(true);
    if (opening && m_pEditor && m_pEditor->HasFocus()) {
        // Typing over a cell replaces its text.
        m_pEditor->SetText("");
        m_pEditor->SendChar(ch, repeat, flags);
    }
}

void CEditCell::OnLButtonDblClk(UINT flags, POINT point)
{
    SetEditing(true);
    if (m_pEditor && m_pEditor->HasFocus()) {
        RECT r = m_pEditor->GetRect();
        m_pEditor->SendLButtonDown(flags, POINT{point.x - r.left, point.y - r.top});
    }
}

int CEditCell::Copy()
{
    if (m_pEditor)
        m_pEditor->Copy();
    return 1;
}

void CEditCell::Cut()
{
    if (m_pEditor)
        m_pEditor->Cut();
}

void CEditCell::Clear()
{
    if (!m_pEditor)
        return;
    int start = 0, end = 0;
    m_pEditor->GetSel(start, end);
    if (start == end)
        m_pEditor->SetSel(start, start + 1);
    m_pEditor->Clear();
}

void CEditCell::Paste()
{
    if (m_pEditor)
        m_pEditor->Paste();
}

void CEditCell::Undo()
{
    if (m_pEditor)
        m_pEditor->Undo();
}

void CEditCell::SelectAll()
{
    if (m_pEditor)
        m_pEditor->SetSel(0, kTextEnd);
}

void CEditCell::OnUpdateCopy(CGridCmdState& state)
{
    int start = 0, end = 0;
    if (m_pEditor)
        m_pEditor->GetSel(start, end);
    state.Enable(m_pEditor && start != end);
}

void CEditCell::OnUpdateCut(CGridCmdState& state) { OnUpdateCopy(state); }
void CEditCell::OnUpdateClear(CGridCmdState& state) { state.Enable(true); }

void CEditCell::OnUpdatePaste(CGridCmdState& state)
{
    CGridHost* host = m_pEngine ? m_pEngine->GetHost() : nullptr;
    state.Enable(host && host->ClipboardHasText());
}

void CEditCell::OnUpdateUndo(CGridCmdState& state) { state.Enable(m_pEditor && m_pEditor->CanUndo()); }
void CEditCell::OnUpdateRedo(CGridCmdState& state) { state.Enable(false); }

void CEditCell::OnUpdateSelectAll(CGridCmdState& state)
{
    if (!m_pEditor) {
        state.Enable(false);
        return;
    }
    int start = 0, end = 0;
    m_pEditor->GetSel(start, end);
    state.Enable(!(start == 0 && end >= int(m_pEditor->GetText().size())));
}

int CEditCell::EditCell()
{
    SetEditing(true);
    if (m_pEditor)
        m_pEditor->SetSel(0, kTextEnd);
    return 1;
}

void CEditCell::OnGridMoved()
{
    if (!m_pEditor || !m_pEngine)
        return;
    RECT rect;
    m_pEngine->GetCellRect(m_nRow, m_nColumn, rect);
    m_pEditor->MoveTo(rect);
}

bool CEditCell::OnEditorKeyDown(UINT key, UINT repeat, UINT flags)
{
    if (!m_pEditor || !m_pEngine)
        return false;
    CGridHost* host = m_pEngine->GetHost();
    switch (key) {
    case VK_ESCAPE: {
        // Nothing is stored: the cell keeps its old text.
        m_pEditor->SetModified(false);
        RECT area = m_pEditor->GetRect();
        DestroyEditor();
        if (host && !RectIsEmpty(area))
            host->InvalidateRect(area, true);
        return true;
    }
    case VK_LEFT:
    case VK_RIGHT: {
        int start = 0, end = 0;
        m_pEditor->GetSel(start, end);
        const int length = int(m_pEditor->GetText().size());
        const bool atEdge = start == end && (key == VK_LEFT ? start == 0 : start >= length);
        if (atEdge && host)
            host->PostKeyDown(key, repeat, flags);
        return false;
    }
    case VK_DOWN:
    case VK_UP:
    case VK_NEXT:
    case VK_PRIOR:
        if (host)
            host->PostKeyDown(key, repeat, flags);
        return false;
    case VK_RETURN:
    case VK_TAB:
        // A one-line box neither breaks lines nor holds tabs: the grid moves.
        if (host)
            host->PostKeyDown(key, repeat, flags);
        return true;
    default:
        return false;
    }
}
