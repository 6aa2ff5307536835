#include "grid/widgets/ParamEstGrid.h"

#include "equation/EquationBase.h"
#include "grid/EditCell.h"
#include "grid/HeaderCell.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <QResizeEvent>

#include <cstring>

CParamEstGrid::CParamEstGrid(QWidget* parent) : CGridCtrl(parent)
{
    setObjectName("CParamEstGrid");
    CGridData& d = m_data;
    d.m_nRowCount = 1;
    d.m_nColumnCount = 3;
    d.m_nHeaderRows = d.m_nFrozenRows = d.m_nHeaderColumns = 1;
    d.m_nCurrentRow = 1;
    d.m_nCurrentColumn = 2;
    d.m_crText = RGB(0, 0, 0);
    d.m_crBack1 = GridSysColor(COLOR_WINDOW);
    std::strncpy(d.m_storedFont.lfFaceName, "MS Sans Serif", LF_FACESIZE - 1);
    d.m_nPointSize = 8;
    d.m_priorityRowClasses[0].pClass = RUNTIME_CLASS(CHeaderCell);
    d.m_priorityColumnClasses[0].pClass = RUNTIME_CLASS(CHeaderCell);
    d.m_columnClasses[1].pClass = RUNTIME_CLASS(CGridCellObject);
    d.m_columnClasses[2].pClass = RUNTIME_CLASS(CEditCell);
    d.m_pDefaultCellClass = RUNTIME_CLASS(CGridCellObject);
    // Only the definitions are copied, pasted over or cleared.
    LimitEditCommands(2, {ID_EDIT_COPY, ID_EDIT_PASTE, ID_EDIT_CLEAR});
}

bool CParamEstGrid::Attach(CEquationBase* equation, QWidget* dialog, int controlId)
{
    m_pEquation = equation;
    if (!CreateInDialog(dialog, controlId, QRect()))
        return false;
    UpdateRowCount();
    FitNumberedColumns(1);
    return true;
}

void CParamEstGrid::UpdateRowCount()
{
    if (!m_pEquation)
        return;
    SetRowCount(m_pEquation->GetParameterCount() + 1, true);
    viewport()->update();
}

void CParamEstGrid::GetHeaderText(int row, int column, std::string& text)
{
    text.clear();
    if (row == 0 && column == 1)
        text = LoadString(IDS_PARAMETER);
    else if (row == 0 && column == 2)
        text = LoadString(IDS_DEFINITION);
    else if (row >= 1 && column == 0)
        text = std::to_string(row);
}

void CParamEstGrid::GetCellValueText(int row, int column, std::string& text)
{
    text.clear();
    if (!m_pEquation || row < 1)
        return;
    if (column == 1)
        text = m_pEquation->GetParameterName(row - 1);
    else if (column == 2)
        text = m_pEquation->GetParameterDefinition(row - 1);
}

int CParamEstGrid::SetCellText(int row, int column, const std::string& text)
{
    if (!m_pEquation || row < 1 || column != 2)
        return 1;
    std::string current;
    GetCellValueText(row, column, current);
    if (current == text)
        return 1; // retyped as it was: the equation stays compiled
    const bool wasValid = m_pEquation->IsValid();
    m_pEquation->Invalidate();
    m_pEquation->SetParameterDefinition(row - 1, text);
    if (m_onChanged)
        m_onChanged(wasValid);
    return 1;
}

void CParamEstGrid::resizeEvent(QResizeEvent* event)
{
    CGridCtrl::resizeEvent(event);
    if (!isMinimized())
        FitNumberedColumns(1);
}

void CParamEstGrid::showEvent(QShowEvent* event)
{
    CGridCtrl::showEvent(event);
    FitNumberedColumns(1);
}

void CParamEstGrid::OnContextMenu(const QPoint& position) { ShowEditMenu(position); }
