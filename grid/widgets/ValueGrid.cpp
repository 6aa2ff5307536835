#include "grid/widgets/ValueGrid.h"

#include "framework/ArchiveHelpers.h"
#include "grid/EditCell.h"
#include "grid/HeaderCell.h"
#include "platform/Reporter.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <cstring>

CValueGrid::CValueGrid(QWidget* parent) : CGridCtrl(parent)
{
    const QString point = QLocale().decimalPoint();
    m_chDecimal = point.size() == 1 && point.at(0).unicode() < 0x80 ? char(point.at(0).unicode()) : '.';
    CGridData& d = m_data;
    d.m_nRowCount = 2;
    d.m_nColumnCount = 3;
    d.m_nHeaderRows = d.m_nFrozenRows = 1;
    d.m_nHeaderColumns = 1;
    d.m_nCurrentRow = 1;
    d.m_nCurrentColumn = 1;
    d.m_crText = RGB(0, 0, 0);
    d.m_crBack1 = GridSysColor(COLOR_WINDOW);
    std::strncpy(d.m_storedFont.lfFaceName, "MS Sans Serif", LF_FACESIZE - 1);
    d.m_nPointSize = 8;
    d.m_priorityRowClasses[0].pClass = RUNTIME_CLASS(CHeaderCell);
    d.m_columnClasses[1].pClass = RUNTIME_CLASS(CGridCellObject);
    d.m_columnClasses[2].pClass = RUNTIME_CLASS(CEditCell);
    d.m_pDefaultCellClass = RUNTIME_CLASS(CGridCellObject);
    // Column 0 is a hairline: the names are the row headings.
    d.m_columnWidths[0] = 0;
    // The names cannot be cut, pasted over or cleared.
    LimitEditCommands(2, {ID_EDIT_CUT, ID_EDIT_PASTE, ID_EDIT_CLEAR});
}

std::string CValueGrid::FormatValue(double value, char decimal)
{
    if (IsBlank(value))
        return {};
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 5);
    std::string text(buffer, result.ptr);
    for (char& c : text)
        if (c == '.')
            c = decimal;
    return text;
}

std::optional<double> CValueGrid::ParseValue(std::string_view text, char decimal)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    std::string s(text);
    for (char& c : s) {
        if (c == decimal)
            c = '.';
        else if (c == '.' && decimal != '.')
            return std::nullopt; // another decimal character than the user's
    }
    // Digits, a decimal point and an exponent only: no "inf", "nan" or hex.
    for (char c : s)
        if (!((c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '-' || c == '+'))
            return std::nullopt;
    double value = 0;
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::general);
    if (ec != std::errc() || ptr != s.data() + s.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

void CValueGrid::Refresh()
{
    SetRowCount(GetEntryCount() + 1, true);
    viewport()->update();
}

void CValueGrid::FitColumns()
{
    if (!IsInitialised())
        return;
    RECT client;
    GetClientRect(client);
    const int width = DeviceToLogicalX(int(client.right));
    SetColumnWidth(0, 0, false, false, false);
    SetColumnWidth(1, LogicalToStoredX(width / 2), false, false, false);
    SetColumnWidth(2, LogicalToStoredX(width - width / 2), false, false, false);
    Update(GRID_UPDATE_ALL, 0);
}

void CValueGrid::showEvent(QShowEvent* event)
{
    CGridCtrl::showEvent(event);
    Refresh();
    FitColumns();
}

void CValueGrid::resizeEvent(QResizeEvent* event)
{
    CGridCtrl::resizeEvent(event);
    FitColumns();
}

void CValueGrid::GetHeaderText(int row, int column, std::string& text)
{
    text.clear();
    if (row == 0 && column == 1)
        text = GetNameCaption();
    else if (row == 0 && column == 2)
        text = GetValueCaption();
}

void CValueGrid::GetCellValueText(int row, int column, std::string& text)
{
    text.clear();
    const int index = row - 1;
    if (index < 0 || index >= GetEntryCount())
        return;
    if (column == 1)
        text = GetEntryName(index);
    else if (column == 2)
        text = FormatValue(GetValue(index), m_chDecimal);
}

int CValueGrid::SetCellText(int row, int column, const std::string& text)
{
    const int index = row - 1;
    if (column != 2 || index < 0 || index >= GetEntryCount())
        return 1;
    std::string shown;
    GetCellValueText(row, column, shown);
    if (shown == text)
        return 1; // retyped as it was: nothing changes
    double value = BlankValue();
    if (!text.empty() && text.find_first_not_of(" \t") != std::string::npos) {
        const std::optional<double> parsed = ParseValue(text, m_chDecimal);
        if (!parsed) {
            MessageBeep(0);
            return 1; // the old value stays
        }
        value = *parsed;
    }
    const double old = GetValue(index);
    if (std::memcmp(&old, &value, sizeof value) != 0) {
        SetValue(index, value);
        OnValueChanged(index);
    }
    return 1;
}

void CValueGrid::OnContextMenu(const QPoint& position) { ShowEditMenu(position); }
