// Small pieces the graph wizard pages share: list filling, the grid layout
// of a page, item kinds, and how chosen columns follow the workspace.
#pragma once

#include "graphui/widgets/GraphWizard.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPalette>

#include <initializer_list>
#include <string>
#include <vector>

class CMyData;
class CUpdateNotification;
class MeasurementUnit;

namespace pages {

inline QString Q(const std::string& s) { return QString::fromStdString(s); }

inline bool IsFit(int kind) { return kind == WizardKind::LinearFit || kind == WizardKind::NonlinearFit; }
inline bool IsEquation(int kind) { return kind == WizardKind::Equation || kind == WizardKind::DllEquation; }

// Widths of the pages are shown in points.
const MeasurementUnit& PointUnit();
// A colour of the system palette (window, window text) as the pages store colours.
COLORREF SystemColour(QPalette::ColorRole role);
// Lengths in the user's preferred unit (page units of 1/720 inch).
MeasurementUnit PreferredUnit();

// "None", then the five pen styles: list index = pen style + 1.
void FillLineStyles(QComboBox* combo);
void SetItems(QComboBox* combo, const std::vector<std::string>& names);
// The column names of a table, first to last (none without a table).
std::vector<std::string> ColumnNames(const CMyData* table);

// Selects the entry, or none when the index is not in the list.
void SelectIndex(QComboBox* combo, int index);
// Hides a control together with the label that names it (its buddy).
void HideWithLabel(QWidget* page, QWidget* control);

QGridLayout* Grid(QWidget* page);
void AddRow(QGridLayout* grid, const QString& label, QWidget* control);

// The extent of a column over its data rows, each value widened by the
// error column's (when not -1); a logarithmic extent leaves out values at
// or below 0. count grows by the usable points.
void ColumnExtent(const CMyData& table, int column, int error, bool logarithmic, double& min, double& max, int& count);

// Column choices follow columns inserted into or deleted from their table:
// a choice inside a deleted range becomes -1. False when the notice is not
// about column moves.
bool RenumberColumns(const CUpdateNotification& notice, std::initializer_list<int*> columns);

} // namespace pages
