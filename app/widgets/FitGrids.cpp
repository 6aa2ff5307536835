#include "app/widgets/FitGrids.h"

#include "app/MXNonLinear.h"
#include "equation/EquationBase.h"
#include "grid/EditCell.h"
#include "grid/HeaderCell.h"
#include "grid/widgets/ValueGrid.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "platform/widgets/CommandIds.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

CFitGridBase::CFitGridBase(QWidget* parent) : CGridCtrl(parent)
{
    CGridData& d = m_data;
    d.m_nHeaderRows = d.m_nFrozenRows = 1;
    d.m_nHeaderColumns = 1;
    d.m_nCurrentRow = 1;
    d.m_nCurrentColumn = 1;
    d.m_crText = RGB(0, 0, 0);
    d.m_crBack1 = GridSysColor(COLOR_WINDOW);
    std::strncpy(d.m_storedFont.lfFaceName, "MS Sans Serif", LF_FACESIZE - 1);
    d.m_nPointSize = 8;
    d.m_priorityRowClasses[0].pClass = RUNTIME_CLASS(CHeaderCell);
    d.m_pDefaultCellClass = RUNTIME_CLASS(CGridCellObject);
    // Column 0 is a hairline: the names are the row headings.
    d.m_columnWidths[0] = 0;
}

int CFitGridBase::ClientWidth()
{
    RECT client;
    GetClientRect(client);
    return DeviceToLogicalX(std::max<int>(0, client.right - 1));
}

void CFitGridBase::resizeEvent(QResizeEvent* event)
{
    CGridCtrl::resizeEvent(event);
    if (!isMinimized() && IsInitialised())
        FitColumns();
}

void CFitGridBase::showEvent(QShowEvent* event)
{
    CGridCtrl::showEvent(event);
    if (IsInitialised())
        FitColumns();
}

void CFitGridBase::OnContextMenu(const QPoint& position) { ShowEditMenu(position); }

namespace {

char UserDecimal()
{
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 && point.at(0).unicode() < 0x80 ? char(point.at(0).unicode()) : '.';
}

} // namespace

// ---------------------------------------------------------------- results

CResultGrid::CResultGrid(QWidget* parent) : CFitGridBase(parent)
{
    setObjectName("CResultGrid");
    CGridData& d = m_data;
    d.m_nRowCount = 2;
    d.m_nColumnCount = 4;
    // Results are read, never typed over: only Copy stays.
    LimitEditCommands(1000, {ID_EDIT_CUT, ID_EDIT_PASTE, ID_EDIT_CLEAR});
}

void CResultGrid::SetResult(int row, const std::string& name, double value, double error)
{
    if (row < 0)
        return;
    const std::size_t r = std::size_t(row);
    if (m_names.size() <= r) {
        m_names.resize(r + 1);
        m_values.resize(r + 1, BlankValue());
        m_errors.resize(r + 1, BlankValue());
    }
    m_names[r] = name;
    m_values[r] = value;
    m_errors[r] = error;
    if (IsInitialised())
        SetRowCount(std::max(RowCount(), row + 2), true);
    else
        m_data.m_nRowCount = std::max(m_data.m_nRowCount, row + 2);
    viewport()->update();
}

void CResultGrid::Clear()
{
    m_names.clear();
    m_values.clear();
    m_errors.clear();
    if (IsInitialised())
        SetRowCount(2, true);
    else
        m_data.m_nRowCount = 2;
    viewport()->update();
}

void CResultGrid::GetHeaderText(int row, int column, std::string& text)
{
    text.clear();
    if (row != 0)
        return;
    if (column == 1)
        text = LoadString(IDS_RESULT_GRID_PARAMETER);
    else if (column == 2)
        text = LoadString(IDS_CURVE_VALUE);
    else if (column == 3)
        text = LoadString(IDS_RESULT_GRID_STD_ERROR);
}

void CResultGrid::GetCellValueText(int row, int column, std::string& text)
{
    text.clear();
    const int i = row - 1;
    if (i < 0 || i >= int(m_names.size()))
        return;
    const std::size_t r = std::size_t(i);
    if (column == 1) {
        text = m_names[r];
    } else if (column == 2 || column == 3) {
        const double v = column == 2 ? m_values[r] : m_errors[r];
        if (!IsBlank(v) && !std::isnan(v))
            m_format.FormatNumber(text, v);
    }
}

void CResultGrid::FitColumns()
{
    const int w = ClientWidth();
    SetColumnWidth(0, 0, false, false, false);
    SetColumnWidth(1, LogicalToStoredX(w / 3), false, false, false);
    SetColumnWidth(2, LogicalToStoredX(w / 3), false, false, false);
    SetColumnWidth(3, LogicalToStoredX(w - 2 * (w / 3)), false, false, false);
    Update(GRID_UPDATE_ALL, 0);
}


// ---------------------------------------------------------------- rows of parameters

bool CParameterRowsGrid::CreateFor(CMXNonLinear* item, QWidget* dialog, int placeholderId)
{
    m_pItem = item;
    if (!CreateInDialog(dialog, placeholderId, QRect()))
        return false;
    Refresh();
    return true;
}

int CParameterRowsGrid::ParameterCount() const
{
    CEquationBase* eq = m_pItem ? m_pItem->GetEquation() : nullptr;
    return eq ? eq->GetParameterCount() : 0;
}

void CParameterRowsGrid::Refresh()
{
    const int n = ParameterCount();
    if (IsInitialised())
        SetRowCount(n + 1, true);
    else
        m_data.m_nRowCount = n + 1;
    viewport()->update();
}

// ---------------------------------------------------------------- estimate ranges

CEstimatrixGrid::CEstimatrixGrid(QWidget* parent) : CParameterRowsGrid(parent)
{
    setObjectName("CEstimatrixGrid");
    CGridData& d = m_data;
    d.m_nRowCount = 2;
    d.m_nColumnCount = 5;
    d.m_columnClasses[1].pClass = RUNTIME_CLASS(CGridCellObject);
    for (int c = 2; c <= 4; ++c)
        d.m_columnClasses[c].pClass = RUNTIME_CLASS(CEditCell);
    // The names cannot be cut, pasted over or cleared.
    LimitEditCommands(2, {ID_EDIT_CUT, ID_EDIT_PASTE, ID_EDIT_CLEAR});
}


void CEstimatrixGrid::GetHeaderText(int row, int column, std::string& text)
{
    text.clear();
    static constexpr UINT kCaptions[5] = {0, IDS_PARAMETER, IDS_ESTIMATE_START, IDS_ESTIMATE_END, IDS_ESTIMATE_STEPS};
    if (row == 0 && column >= 1 && column <= 4)
        text = LoadString(kCaptions[column]);
}

void CEstimatrixGrid::GetCellValueText(int row, int column, std::string& text)
{
    text.clear();
    const int p = row - 1;
    if (!m_pItem || p < 0 || p >= ParameterCount())
        return;
    const char decimal = UserDecimal();
    const double from = m_pItem->GetRangeFrom(p), to = m_pItem->GetRangeTo(p);
    const bool given = m_pItem->GetRangeSteps(p) > 0;
    switch (column) {
    case 1:
        if (CEquationBase* eq = m_pItem->GetEquation())
            text = eq->GetParameterName(p);
        break;
    case 2:
        if (given)
            text = CValueGrid::FormatValue(from, decimal);
        break;
    case 3:
        if (given && to != from)
            text = CValueGrid::FormatValue(to, decimal);
        break;
    case 4:
        if (given && to != from)
            text = std::to_string(m_pItem->GetRangeCode(p));
        break;
    default: break;
    }
}

int CEstimatrixGrid::SetCellText(int row, int column, const std::string& text)
{
    const int p = row - 1;
    if (!m_pItem || p < 0 || p >= ParameterCount() || column < 2 || column > 4)
        return 1;
    std::string shown;
    GetCellValueText(row, column, shown);
    if (shown == text)
        return 1;
    const char decimal = UserDecimal();
    const std::optional<double> number = CValueGrid::ParseValue(text, decimal);
    const double from = m_pItem->GetRangeFrom(p), to = m_pItem->GetRangeTo(p);
    const int steps = m_pItem->GetRangeSteps(p);
    const int code = m_pItem->GetRangeCode(p);
    // The stored number of values: none without a start, one for a start
    // alone, else the range's count.
    auto store = [&](bool given, double newFrom, double newTo, int newCode) {
        if (m_onChanging)
            m_onChanging();
        m_pItem->SetRangeFrom(p, newFrom);
        m_pItem->SetRangeTo(p, newTo);
        m_pItem->SetRangeCode(p, newCode);
        m_pItem->SetRangeSteps(p, !given ? 0 : newTo == newFrom ? 1 : newCode);
    };
    switch (column) {
    case 2: {
        if (!text.empty() && !number)
            MessageBeep(0);
        const bool given = number.has_value();
        const double value = number.value_or(1.0);
        if (given == (steps > 0) && value == from)
            return 1;
        store(given, value, to == from ? value : std::max(to, value), code);
        break;
    }
    case 3: {
        if (!number)
            MessageBeep(0);
        double value = number.value_or(from);
        if (value <= from)
            value = from;
        if (value == to)
            return 1;
        store(steps > 0 || value != from, from, value, code);
        break;
    }
    default: {
        int value = 5;
        if (number) {
            const double t = std::trunc(*number);
            value = t < 3 ? 2 : t >= 20 ? 20 : int(t);
        } else if (!text.empty()) {
            MessageBeep(0);
        }
        if (value == code)
            return 1;
        store(steps > 0, from, to, value);
        break;
    }
    }
    InvalidateRows(row, row, false);
    viewport()->update();
    if (m_onChanged)
        m_onChanged();
    return 1;
}

void CEstimatrixGrid::FitColumns()
{
    const int w = ClientWidth();
    SetColumnWidth(0, 0, false, false, false);
    for (int c = 1; c <= 3; ++c)
        SetColumnWidth(c, LogicalToStoredX(w / 4), false, false, false);
    SetColumnWidth(4, LogicalToStoredX(w - 3 * (w / 4)), false, false, false);
    Update(GRID_UPDATE_ALL, 0);
}

// ---------------------------------------------------------------- interactive estimates

CEstimatorGrid::CEstimatorGrid(QWidget* parent) : CParameterRowsGrid(parent)
{
    setObjectName("CEstimatorGrid");
    CGridData& d = m_data;
    d.m_nRowCount = 2;
    d.m_nColumnCount = 3;
    d.m_columnClasses[1].pClass = RUNTIME_CLASS(CGridCellObject);
    d.m_columnClasses[2].pClass = RUNTIME_CLASS(CEditCell);
    // The names cannot be cut, pasted over or cleared.
    LimitEditCommands(2, {ID_EDIT_CUT, ID_EDIT_PASTE, ID_EDIT_CLEAR});
}

bool CEstimatorGrid::CreateFor(CMXNonLinear* item, std::vector<double>* estimates, QWidget* dialog, int placeholderId)
{
    m_pEstimates = estimates;
    return CParameterRowsGrid::CreateFor(item, dialog, placeholderId);
}

void CEstimatorGrid::GetHeaderText(int row, int column, std::string& text)
{
    text.clear();
    if (row == 0 && (column == 1 || column == 2))
        text = LoadString(column == 1 ? IDS_PARAMETER : IDS_ESTIMATED_VALUE);
}

void CEstimatorGrid::GetCellValueText(int row, int column, std::string& text)
{
    text.clear();
    const int p = row - 1;
    if (!m_pItem || p < 0 || p >= ParameterCount())
        return;
    if (column == 1) {
        if (CEquationBase* eq = m_pItem->GetEquation())
            text = eq->GetParameterName(p);
    } else if (column == 2 && m_pEstimates && std::size_t(p) < m_pEstimates->size()) {
        text = CValueGrid::FormatValue((*m_pEstimates)[std::size_t(p)], UserDecimal());
    }
}

int CEstimatorGrid::SetCellText(int row, int column, const std::string& text)
{
    const int p = row - 1;
    if (!m_pEstimates || column != 2 || p < 0 || p >= ParameterCount())
        return 1;
    std::string shown;
    GetCellValueText(row, column, shown);
    if (shown == text)
        return 1;
    double value = BlankValue();
    if (!text.empty()) {
        if (const std::optional<double> number = CValueGrid::ParseValue(text, UserDecimal()))
            value = *number;
        else
            MessageBeep(0);
    }
    if (m_pEstimates->size() <= std::size_t(p))
        m_pEstimates->resize(std::size_t(p) + 1, BlankValue());
    double& stored = (*m_pEstimates)[std::size_t(p)];
    if (std::memcmp(&stored, &value, sizeof value) == 0)
        return 1;
    stored = value;
    InvalidateRows(row, row, false);
    viewport()->update();
    if (m_onChanged)
        m_onChanged();
    return 1;
}

void CEstimatorGrid::FitColumns()
{
    const int w = ClientWidth();
    SetColumnWidth(0, 0, false, false, false);
    SetColumnWidth(1, LogicalToStoredX(w / 2), false, false, false);
    SetColumnWidth(2, LogicalToStoredX(w - w / 2), false, false, false);
    Update(GRID_UPDATE_ALL, 0);
}
