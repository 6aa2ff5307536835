#include "grid/widgets/XGrid.h"

#include "grid/HeaderCell.h"
#include "grid/widgets/EditCellNoSpace.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <QPushButton>
#include <QResizeEvent>

#include <algorithm>
#include <cstring>

namespace {

QPushButton* FindButton(QWidget* parent, int id)
{
    if (!parent)
        return nullptr;
    for (QPushButton* button : parent->findChildren<QPushButton*>())
        if (button->property("controlId").toInt() == id)
            return button;
    return nullptr;
}

} // namespace

CXGrid::CXGrid(QWidget* parent) : CGridCtrl(parent)
{
    CGridData& d = m_data;
    d.m_nRowCount = 2;
    d.m_nColumnCount = 3;
    d.m_nHeaderRows = d.m_nFrozenRows = d.m_nHeaderColumns = 1;
    d.m_bShowFocus = 1;
    d.m_bRowResize = d.m_bColumnResize = d.m_bKeepHorzScrollBar = d.m_bColumnSelection = 0;
    d.m_crText = RGB(0, 0, 0);
    d.m_crBack1 = GridSysColor(COLOR_WINDOW);
    std::strncpy(d.m_storedFont.lfFaceName, "MS Sans Serif", LF_FACESIZE - 1);
    d.m_nPointSize = 8;
    d.m_nCurrentRow = 1;
    d.m_nCurrentColumn = 1;
    d.m_rowClasses[0].pClass = RUNTIME_CLASS(CHeaderCell);
    d.m_priorityColumnClasses[0].pClass = RUNTIME_CLASS(CHeaderCell);
    d.m_priorityRowClasses[0].pClass = RUNTIME_CLASS(CHeaderCell);
    d.m_columnClasses[1].pClass = RUNTIME_CLASS(CEditCellNoSpace);
    d.m_pDefaultCellClass = RUNTIME_CLASS(CEditCell);
}

bool CXGrid::Attach(int* pending, std::vector<std::string>* symbols, std::vector<std::string>* descriptions,
                    bool attachButtons)
{
    m_pPending = pending;
    m_pSymbols = symbols;
    m_pDescriptions = descriptions;
    if (m_pSymbols && m_pDescriptions && m_pDescriptions->size() < m_pSymbols->size())
        m_pDescriptions->resize(m_pSymbols->size());
    bool ok = true;
    if (attachButtons) {
        QPushButton* deleteButton = FindButton(parentWidget(), IDC_XGRID_DELETE_ROW);
        QPushButton* insertButton = FindButton(parentWidget(), IDC_XGRID_INSERT_ROW);
        if (deleteButton)
            connect(deleteButton, &QPushButton::clicked, this, [this] { OnCommand(ID_EDIT_DELETE_ROW); });
        if (insertButton)
            connect(insertButton, &QPushButton::clicked, this, [this] { OnCommand(ID_EDIT_INSERT_ROW); });
        ok = deleteButton && insertButton;
    }
    SyncRowCount();
    Refresh();
    return ok;
}

void CXGrid::SyncRowCount()
{
    SetRowCount(GetCount() + 2, true);
    if (GetCurrentRow() > m_data.m_nRowCount - 1)
        SetCurrentCell(m_data.m_nRowCount - 1, std::max(1, GetCurrentColumn()));
}

void CXGrid::Changed(bool wasPending)
{
    if (wasPending || !m_pPending)
        if (m_onChanged)
            m_onChanged();
}

void CXGrid::SetRow(int index, const std::string& symbol, const std::string& description)
{
    if (!m_pSymbols || !m_pDescriptions || index < 0)
        return;
    if (int(m_pSymbols->size()) <= index)
        m_pSymbols->resize(std::size_t(index) + 1);
    if (int(m_pDescriptions->size()) < int(m_pSymbols->size()))
        m_pDescriptions->resize(m_pSymbols->size());
    (*m_pSymbols)[std::size_t(index)] = symbol;
    (*m_pDescriptions)[std::size_t(index)] = description;
    const bool wasPending = m_pPending && *m_pPending;
    if (m_pPending)
        *m_pPending = 0;
    SyncRowCount();
    Refresh();
    Changed(wasPending);
}

void CXGrid::GetRow(int index, std::string& symbol, std::string& description) const
{
    symbol.clear();
    description.clear();
    if (m_pSymbols && index >= 0 && index < int(m_pSymbols->size()))
        symbol = (*m_pSymbols)[std::size_t(index)];
    if (m_pDescriptions && index >= 0 && index < int(m_pDescriptions->size()))
        description = (*m_pDescriptions)[std::size_t(index)];
}

void CXGrid::Refresh() { FitNumberedColumns(2); }

void CXGrid::resizeEvent(QResizeEvent* event)
{
    CGridCtrl::resizeEvent(event);
    Refresh();
}

void CXGrid::GetHeaderText(int row, int column, std::string& text)
{
    text.clear();
    if (row == 0 && column == 1)
        text = LoadString(IDS_SYMBOL);
    else if (row == 0 && column == 2)
        text = LoadString(IDS_DESCRIPTION);
    else if (column == 0 && row >= 1 && row <= m_data.m_nRowCount - 2)
        text = std::to_string(row);
}

void CXGrid::GetCellValueText(int row, int column, std::string& text)
{
    text.clear();
    if (row < 1)
        return;
    const std::vector<std::string>* list = column == 1 ? m_pSymbols : column == 2 ? m_pDescriptions : nullptr;
    if (list && row - 1 < int(list->size()))
        text = (*list)[std::size_t(row - 1)];
}

int CXGrid::SetCellText(int row, int column, const std::string& text)
{
    if (!m_pSymbols || !m_pDescriptions || row < 1 || (column != 1 && column != 2))
        return 1;
    std::string current;
    GetCellValueText(row, column, current);
    if (current == text)
        return 1;
    const bool wasPending = m_pPending && *m_pPending;
    if (m_pPending)
        *m_pPending = 0;
    const std::size_t index = std::size_t(row - 1);
    if (m_pSymbols->size() <= index)
        m_pSymbols->resize(index + 1);
    if (m_pDescriptions->size() < m_pSymbols->size())
        m_pDescriptions->resize(m_pSymbols->size());
    (column == 1 ? *m_pSymbols : *m_pDescriptions)[index] = text;
    // Rows at the end without a symbol are no symbols.
    std::size_t used = m_pSymbols->size();
    while (used > 0 && (*m_pSymbols)[used - 1].empty())
        --used;
    m_pSymbols->resize(used);
    m_pDescriptions->resize(used);
    SyncRowCount();
    Changed(wasPending);
    return 1;
}

bool CXGrid::OnUpdateCommand(int id, CGridCmdState& state)
{
    if (id == ID_EDIT_DELETE_ROW || id == ID_EDIT_INSERT_ROW || id == IDC_XGRID_DELETE_ROW
        || id == IDC_XGRID_INSERT_ROW) {
        state.Enable(m_data.m_ranges.size() == 1 && !m_data.m_ranges.front().IsEmpty()
                     && m_data.m_ranges.front().top != m_data.m_nRowCount - 1);
        return true;
    }
    return CGridCtrl::OnUpdateCommand(id, state);
}

bool CXGrid::OnCommand(int id)
{
    if (id == IDC_XGRID_DELETE_ROW)
        id = ID_EDIT_DELETE_ROW;
    else if (id == IDC_XGRID_INSERT_ROW)
        id = ID_EDIT_INSERT_ROW;
    if (id != ID_EDIT_DELETE_ROW && id != ID_EDIT_INSERT_ROW)
        return CGridCtrl::OnCommand(id);
    // A button click that arrives while a command runs (re-entry) is dropped.
    if (m_bInCommand)
        return true;
    CGridCmdState state;
    OnUpdateCommand(id, state);
    if (!state.enabled)
        return true;
    m_bInCommand = true;
    CommitCurrentCellEdit();
    if (id == ID_EDIT_DELETE_ROW)
        DeleteRows();
    else
        InsertRow();
    m_bInCommand = false;
    return true;
}

void CXGrid::DeleteRows()
{
    if (!m_pSymbols || !m_pDescriptions || m_data.m_ranges.size() != 1)
        return;
    const CGridRange range = m_data.m_ranges.front();
    // Exactly the selected symbol rows go; the empty last row is never one.
    const int first = std::max(range.top, 1) - 1;
    const int last = std::min(range.bottom, m_data.m_nRowCount - 2) - 1;
    if (last < first)
        return;
    const int count = int(m_pSymbols->size());
    const int end = std::min(last + 1, count);
    if (first < end) {
        m_pSymbols->erase(m_pSymbols->begin() + first, m_pSymbols->begin() + end);
        if (int(m_pDescriptions->size()) > first)
            m_pDescriptions->erase(m_pDescriptions->begin() + first,
                                   m_pDescriptions->begin() + std::min<int>(end, int(m_pDescriptions->size())));
    }
    SetSelection(CGridRange{range.left, range.top, range.right, range.top}, 0, true);
    SyncRowCount();
    Refresh();
    Changed(true);
}

void CXGrid::InsertRow()
{
    if (!m_pSymbols || !m_pDescriptions || m_data.m_ranges.empty())
        return;
    const int index = std::clamp(m_data.m_ranges.front().top - 1, 0, int(m_pSymbols->size()));
    m_pSymbols->insert(m_pSymbols->begin() + index, std::string());
    if (int(m_pDescriptions->size()) >= index)
        m_pDescriptions->insert(m_pDescriptions->begin() + index, std::string());
    SyncRowCount();
    Refresh();
    Changed(true);
}

void CXGrid::RouteKeyDown(UINT key, UINT repeat, UINT flags)
{
    // On the empty last row, Down and Enter first store what was typed there
    // (which adds a row), then move onto the new empty row.
    if ((key == VK_DOWN || key == VK_RETURN) && GetCurrentRow() == m_data.m_nRowCount - 1)
        CommitCurrentCellEdit();
    CGridCtrl::RouteKeyDown(key, repeat, flags);
}

void CXGrid::OnContextMenu(const QPoint& position)
{
    ShowEditMenu(position, {{"&Delete Row", ID_EDIT_DELETE_ROW}, {"&Insert Row", ID_EDIT_INSERT_ROW}});
}
