#include "graphui/widgets/PageHelpers.h"

#include "data/MyData.h"
#include "framework/UpdateNotification.h"
#include "ui/MeasurementUnit.h"
#include "ui/widgets/ColourCombo.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <cmath>

namespace pages {

const MeasurementUnit& PointUnit()
{
    static const MeasurementUnit unit(2, 720);
    return unit;
}

COLORREF SystemColour(QPalette::ColorRole role) { return FromQColor(QGuiApplication::palette().color(role)); }

MeasurementUnit PreferredUnit() { return MeasurementUnit(MeasurementUnit::Preference().GetUnit(), 720); }

void FillLineStyles(QComboBox* combo)
{
    for (const char* s : {"None", "Solid", "Dash", "Dot", "Dash Dot", "Dash Dot Dot"})
        combo->addItem(QObject::tr(s));
}

void SetItems(QComboBox* combo, const std::vector<std::string>& names)
{
    combo->clear();
    for (const std::string& n : names)
        combo->addItem(Q(n));
}

std::vector<std::string> ColumnNames(const CMyData* table)
{
    std::vector<std::string> names;
    if (!table)
        return names;
    // A table's column count comes from its own record: bound it before listing.
    const int last = std::min(table->GetLastColumn(), 100000);
    for (int c = 0; c <= last; ++c)
        names.push_back(table->GetColumnName(c));
    return names;
}

void SelectIndex(QComboBox* combo, int index) { combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1); }

void HideWithLabel(QWidget* page, QWidget* control)
{
    control->hide();
    for (QLabel* label : page->findChildren<QLabel*>())
        if (label->buddy() == control)
            label->hide();
}

QGridLayout* Grid(QWidget* page)
{
    auto* grid = new QGridLayout(page);
    grid->setColumnStretch(1, 1);
    return grid;
}

void AddRow(QGridLayout* grid, const QString& label, QWidget* control)
{
    const int row = grid->rowCount();
    if (!label.isEmpty()) {
        // The label's mnemonic moves the focus to its control.
        auto* text = new QLabel(label);
        text->setBuddy(control);
        grid->addWidget(text, row, 0);
    }
    grid->addWidget(control, row, 1);
}

// The extent of a column (each value widened by the error column's when given) over the data rows.
void ColumnExtent(const CMyData& table, int column, int error, bool logarithmic, double& min, double& max, int& count)
{
    if (column < 0)
        return;
    const int last = table.GetLastRow(column);
    for (int row = 2; row <= last; ++row) {
        double v = 0.0;
        if (!table.GetNumber(row, column, v) || !std::isfinite(v))
            continue;
        double e = 0.0;
        if (error >= 0 && (!table.GetNumber(row, error, e) || !std::isfinite(e)))
            e = 0.0;
        for (double w : {v - std::fabs(e), v + std::fabs(e)}) {
            if (logarithmic && w <= 0.0)
                continue;
            min = std::min(min, w);
            max = std::max(max, w);
        }
        ++count;
    }
}

bool RenumberColumns(const CUpdateNotification& notice, std::initializer_list<int*> columns)
{
    if (notice.count <= 0)
        return false;
    if (notice.kind == UN_COLUMNS_INSERTED) {
        for (int* c : columns)
            if (*c >= notice.first)
                *c += notice.count;
        return true;
    }
    if (notice.kind == UN_COLUMNS_DELETED) {
        for (int* c : columns) {
            if (*c >= notice.first + notice.count)
                *c -= notice.count;
            else if (*c >= notice.first)
                *c = -1;
        }
        return true;
    }
    return false;
}

} // namespace pages
