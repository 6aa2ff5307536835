#include "app/widgets/ColumnTypeEditor.h"

#include "equation/widgets/SyntaxEdit.h"
#include "app/widgets/FitColumnDlg.h"

#include "data/DataCTypeCalcFunction.h"
#include "data/DataCTypeMultiColumnBase.h"
#include "data/DataCTypePair.h"
#include "data/DataCTypeSeries.h"
#include "data/DataCTypeSmooth.h"
#include "data/DataCTypeSubset.h"
#include "data/DataCTypeX2.h"
#include "data/DataCTypeXNData.h"
#include "data/DataTableItem.h"
#include "data/MyData.h"
#include "equation/FunctionEquation.h"
#include "equation/ParseErr.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QRadioButton>
#include <QTextCursor>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

bool ParseNumber(const QLineEdit* edit, double& value)
{
    const std::string text = edit->text().trimmed().toStdString();
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size();
}

std::string NumberText(double v)
{
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, end);
}

QDialogButtonBox* OkCancel(QDialog* dialog)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

} // namespace

std::string ColumnListText(const CMyData& table, int column)
{
    std::string name = table.GetColumnName(column);
    return std::to_string(column + 1) + (name.empty() ? std::string() : " " + name);
}

// ---------------------------------------------------------------- series

CSeriesDlg::CSeriesDlg(QWidget* parent)
    : QDialog(parent)
    , m_startEdit(new QLineEdit(this))
    , m_incrementEdit(new QLineEdit(this))
    , m_pointsEdit(new QLineEdit(this))
{
    setWindowTitle("Data Series");
    auto* form = new QFormLayout;
    form->addRow("&Start value:", m_startEdit);
    form->addRow("&Increment:", m_incrementEdit);
    form->addRow("&Number of data points:", m_pointsEdit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(OkCancel(this));
}

void CSeriesDlg::showEvent(QShowEvent* event)
{
    m_startEdit->setText(QString::fromStdString(NumberText(m_start)));
    m_incrementEdit->setText(QString::fromStdString(NumberText(m_increment)));
    m_pointsEdit->setText(QString::number(m_points));
    QDialog::showEvent(event);
}

void CSeriesDlg::accept()
{
    double start = 0, increment = 0, points = 0;
    for (auto [edit, value] : {std::pair{m_startEdit, &start}, std::pair{m_incrementEdit, &increment}}) {
        if (!ParseNumber(edit, *value)) {
            ReportMessage(IDS_ENTER_NUMBER, {}, MB_OK | MB_ICONEXCLAMATION);
            edit->setFocus();
            return;
        }
    }
    // No more points than the table has rows.
    constexpr int kMaxPoints = kTableRows - kFirstDataRow;
    if (!ParseNumber(m_pointsEdit, points) || points != std::floor(points) || points < 0 || points > kMaxPoints) {
        ReportMessage(IDS_ENTER_INTEGER_RANGE, {"0", std::to_string(kMaxPoints)}, MB_OK | MB_ICONEXCLAMATION);
        m_pointsEdit->setFocus();
        return;
    }
    m_start = start;
    m_increment = increment;
    m_points = int(points);
    QDialog::accept();
}

// ---------------------------------------------------------------- columns

CMultiColumnDlg::CMultiColumnDlg(CDataCTypeMultiColumn& type, CDataTableItem* item, QWidget* parent)
    : QDialog(parent)
    , m_type(type)
    , m_item(item)
    , m_list(new QListWidget(this))
    , m_count(new QLabel(this))
{
    setWindowTitle(type.m_captionId ? QString::fromStdString(LoadString(type.m_captionId)) : QString());
    const CMyData& table = item->GetTable();
    const int last = std::max(table.GetLastColumn(), type.GetColumn());
    for (int c = 0; c <= last; ++c) {
        auto* line = new QListWidgetItem(QString::fromStdString(ColumnListText(table, c)), m_list);
        const bool self = c == type.GetColumn();
        line->setFlags(self ? Qt::ItemIsUserCheckable : Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        const auto& sources = type.GetSourceColumns();
        line->setCheckState(std::find(sources.begin(), sources.end(), c) != sources.end() ? Qt::Checked : Qt::Unchecked);
    }
    connect(m_list, &QListWidget::itemChanged, this, [this] { UpdateCount(); });
    auto* label = new QLabel("Data &columns", this);
    label->setBuddy(m_list);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_list);
    layout->addWidget(m_count);
    layout->addWidget(OkCancel(this));
    UpdateCount();
}

void CMultiColumnDlg::UpdateCount()
{
    int n = 0;
    for (int i = 0; i < m_list->count(); ++i)
        n += m_list->item(i)->checkState() == Qt::Checked;
    std::string text = LoadString(IDS_COLUMNS_SELECTED);
    if (std::size_t at = text.find("%d"); at != std::string::npos)
        text.replace(at, 2, std::to_string(n));
    m_count->setText(QString::fromStdString(text));
}

void CMultiColumnDlg::accept()
{
    std::vector<int> chosen;
    for (int i = 0; i < m_list->count(); ++i)
        if (m_list->item(i)->checkState() == Qt::Checked)
            chosen.push_back(i);
    // A column made from nothing would only be emptied.
    if (chosen.empty()) {
        ReportMessage(IDS_NO_SOURCE, {}, MB_OK | MB_ICONEXCLAMATION);
        m_list->setFocus();
        return;
    }
    if (UINT message = m_type.SetSourceColumns(m_item, chosen)) {
        ReportMessage(message, {}, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    QDialog::accept();
}

// ---------------------------------------------------------------- pairs

CPairColumnDlg::CPairColumnDlg(CDataCTypePair& type, CDataTableItem* item, QWidget* parent)
    : QDialog(parent)
    , m_type(type)
    , m_item(item)
    , m_a(new QComboBox(this))
    , m_b(new QComboBox(this))
{
    setWindowTitle(QString::fromStdString(LoadString(UINT(type.m_captionId))));
    const CMyData& table = item->GetTable();
    const int last = std::max(table.GetLastColumn(), type.GetColumn());
    for (int c = 0; c <= last; ++c) {
        const QString text = QString::fromStdString(ColumnListText(table, c));
        m_a->addItem(text);
        m_b->addItem(text);
    }
    m_a->setCurrentIndex(type.m_columnA);
    m_b->setCurrentIndex(type.m_columnB);
    auto* form = new QFormLayout;
    form->addRow("Data column &A", m_a);
    form->addRow("Data column &B", m_b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(OkCancel(this));
}

void CPairColumnDlg::accept()
{
    if (UINT message = m_type.SetColumns(m_item, m_a->currentIndex(), m_b->currentIndex())) {
        ReportMessage(message, {}, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    QDialog::accept();
}

// ---------------------------------------------------------------- x values

CXDataColumnDlg::CXDataColumnDlg(bool associated, std::string defaultLabel, QWidget* parent)
    : QDialog(parent)
    , m_bAssociated(associated)
    , m_defaultLabel(std::move(defaultLabel))
    , m_labelEdit(new QLineEdit(this))
{
    setWindowTitle(associated ? "Y Data Column with Associated x[n] Value" : "X (n) Data Column");
    auto* form = new QFormLayout;
    if (associated) {
        for (int i = 0; i < 4; ++i) {
            m_xEdits[i] = new QLineEdit(this);
            form->addRow(QString("x[%1]:").arg(i + 2), m_xEdits[i]);
        }
    } else {
        m_nEdit = new QLineEdit(this);
        form->addRow("X data set number:", m_nEdit);
    }
    form->addRow("Label:", m_labelEdit);
    if (!associated)
        form->addRow(new QLabel("(use the placeholder \"%1\" where you wish to display the x data set #)", this));
    auto* load = new QPushButton("Load &Default Label", this);
    connect(load, &QPushButton::clicked, this, &CXDataColumnDlg::LoadDefaultLabel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(load);
    layout->addWidget(OkCancel(this));
}

void CXDataColumnDlg::LoadDefaultLabel() { m_labelEdit->setText(QString::fromStdString(m_defaultLabel)); }

void CXDataColumnDlg::showEvent(QShowEvent* event)
{
    if (m_nEdit)
        m_nEdit->setText(QString::number(m_n));
    for (int i = 0; i < 4; ++i)
        if (m_xEdits[i])
            m_xEdits[i]->setText(QString::fromStdString(NumberText(m_x[i])));
    m_labelEdit->setText(QString::fromStdString(m_label));
    QDialog::showEvent(event);
}

void CXDataColumnDlg::accept()
{
    double values[4] = {};
    for (int i = 0; i < 4; ++i)
        if (m_xEdits[i] && !ParseNumber(m_xEdits[i], values[i])) {
            ReportMessage(IDS_ENTER_NUMBER, {}, MB_OK | MB_ICONEXCLAMATION);
            m_xEdits[i]->setFocus();
            return;
        }
    int n = m_n;
    if (m_nEdit) {
        bool ok = false;
        n = m_nEdit->text().trimmed().toInt(&ok);
        if (!ok || n < 1 || n > 100) {
            ReportMessage(IDS_ENTER_INTEGER_RANGE, {"1", "100"}, MB_OK | MB_ICONEXCLAMATION);
            m_nEdit->setFocus();
            return;
        }
    }
    m_n = n;
    if (m_bAssociated)
        std::copy(values, values + 4, m_x);
    m_label = m_labelEdit->text().toStdString();
    QDialog::accept();
}

// ---------------------------------------------------------------- calculated function

CCalcFunctionDlg::CCalcFunctionDlg(CDataTableItem* item, int column, QWidget* parent)
    : QDialog(parent)
    , m_item(item)
    , m_column(column)
    , m_number(new QRadioButton("&Number:", this))
    , m_fromColumn(new QRadioButton("From &column", this))
    , m_rowsEdit(new QLineEdit(this))
    , m_columns(new QComboBox(this))
    , m_equation(new CColumnSyntaxEdit(this))
    , m_triggerList(new QListWidget(this))
    , m_count(new QLabel(this))
{
    setWindowTitle("Calculated Function");
    const CMyData& table = item->GetTable();
    const int last = std::max({table.GetLastColumn(), column - 1, 1});
    for (int c = 0; c <= last; ++c)
        m_columns->addItem(QString::fromStdString(table.GetColumnName(c)));
    for (int c = 0; c <= std::max(table.GetLastColumn(), column); ++c) {
        auto* line = new QListWidgetItem(QString::fromStdString(ColumnListText(table, c)), m_triggerList);
        line->setFlags(c == column ? Qt::ItemIsUserCheckable : Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        line->setCheckState(Qt::Unchecked);
    }
    auto* rows = new QGroupBox("Number of Rows", this);
    auto* rowsLayout = new QFormLayout(rows);
    rowsLayout->addRow(m_number, m_rowsEdit);
    rowsLayout->addRow(m_fromColumn, m_columns);
    connect(m_number, &QRadioButton::clicked, this, [this] { ApplyMode(); });
    connect(m_fromColumn, &QRadioButton::clicked, this, [this] { ApplyMode(); });
    connect(m_columns, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { ApplyMode(); });
    auto updateCount = [this] {
        int n = 0;
        for (int i = 0; i < m_triggerList->count(); ++i)
            n += m_triggerList->item(i)->checkState() == Qt::Checked;
        std::string text = LoadString(IDS_COLUMNS_SELECTED);
        if (std::size_t at = text.find("%d"); at != std::string::npos)
            text.replace(at, 2, std::to_string(n));
        m_count->setText(QString::fromStdString(text));
    };
    connect(m_triggerList, &QListWidget::itemChanged, this, updateCount);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(rows);
    auto* resultLabel = new QLabel("&Result = ", this);
    resultLabel->setBuddy(m_equation);
    layout->addWidget(resultLabel);
    layout->addWidget(m_equation);
    auto* triggerLabel = new QLabel("&Update after changes to these columns", this);
    triggerLabel->setBuddy(m_triggerList);
    layout->addWidget(triggerLabel);
    layout->addWidget(m_triggerList);
    layout->addWidget(m_count);
    layout->addWidget(OkCancel(this));
    updateCount();
}

void CCalcFunctionDlg::showEvent(QShowEvent* event)
{
    (m_mode == 1 ? m_fromColumn : m_number)->setChecked(true);
    m_rowsEdit->setText(QString::number(m_rows));
    m_columns->setCurrentIndex(m_rowColumn);
    m_equation->SetText(QString::fromStdString(m_text));
    for (int c : m_triggers)
        if (QListWidgetItem* line = m_triggerList->item(c))
            line->setCheckState(Qt::Checked);
    ApplyMode();
    QDialog::showEvent(event);
}

void CCalcFunctionDlg::ApplyMode()
{
    const bool fromColumn = m_fromColumn->isChecked();
    m_rowsEdit->setEnabled(!fromColumn);
    m_columns->setEnabled(fromColumn);
    if (fromColumn) {
        // The chosen column's rows: its last row less one, never below 0.
        const int last = m_item->GetTable().GetLastRow(std::max(m_columns->currentIndex(), 0)) - 1;
        m_rowsEdit->setText(QString::number(std::max(last, 0)));
    }
}

void CCalcFunctionDlg::accept()
{
    const int mode = m_fromColumn->isChecked() ? 1 : 0;
    int rows = m_rows;
    if (mode == 0) {
        bool ok = false;
        rows = m_rowsEdit->text().trimmed().toInt(&ok);
        if (!ok || rows < 0 || rows > 1073741823) {
            ReportMessage(IDS_ENTER_INTEGER_RANGE, {"0", "1073741823"}, MB_OK | MB_ICONEXCLAMATION);
            m_rowsEdit->setFocus();
            return;
        }
    }
    std::vector<int> triggers;
    for (int i = 0; i < m_triggerList->count(); ++i)
        if (m_triggerList->item(i)->checkState() == Qt::Checked)
            triggers.push_back(i);
    const CMyData& table = m_item->GetTable();
    for (int c : triggers) {
        if (c == m_column) {
            ReportMessage(IDS_CURRENT_COLUMN, {}, MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        if (CDataColumnType* type = table.GetColumnType(c); type && type->DependsOn(m_item, m_column, m_item)) {
            ReportMessage(IDS_CIRCULAR_REFERENCES, {}, MB_OK | MB_ICONEXCLAMATION);
            return;
        }
    }
    if (mode == 1 && m_columns->currentIndex() == m_column) {
        ReportMessage(IDS_CURRENT_COLUMN, {}, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const std::string text = m_equation->toPlainText().toStdString();
    CFunctionEquation scratch;
    scratch.SetYName("Result");
    scratch.SetSource(text);
    try {
        scratch.Compile();
    } catch (const CParseErr& error) {
        error.ReportError();
        // The error's range is in bytes of the text; the editor counts characters.
        m_equation->SelectRange(SourceOffsetToEditor(text, error.m_nStart), SourceOffsetToEditor(text, error.m_nEnd));
        m_equation->setFocus();
        return;
    }
    m_mode = mode;
    m_rows = rows;
    m_rowColumn = std::max(m_columns->currentIndex(), 0);
    m_text = text;
    m_triggers = triggers;
    QDialog::accept();
}

// ---------------------------------------------------------------- one source column

CSourceColumnDlg::CSourceColumnDlg(Kind kind, CDataTableItem* item, int column, QWidget* parent)
    : QDialog(parent)
    , m_kind(kind)
    , m_item(item)
    , m_column(column)
    , m_sources(new QListWidget(this))
{
    setWindowTitle(kind == kSmooth ? "Savitzky-Golay Smoothing"
                   : kind == kDerivative ? "Derivative Calculation" : "Create Column Subset");
    const CMyData& table = item->GetTable();
    for (int c = 0; c <= std::max(table.GetLastColumn(), column); ++c)
        m_sources->addItem(QString::fromStdString(ColumnListText(table, c)));
    auto* layout = new QVBoxLayout(this);
    auto* sourceLabel = new QLabel("&Source data column", this);
    sourceLabel->setBuddy(m_sources);
    layout->addWidget(sourceLabel);
    layout->addWidget(m_sources);
    auto* form = new QFormLayout;
    m_width = new QLineEdit(this);
    if (kind == kSubset) {
        form->addRow("&Retain 1 point in every:", m_width);
    } else {
        m_order = new QComboBox(this);
        m_order->addItems({"0", "2", "4", "6"});
        form->addRow("&Polynomial order", m_order);
        form->addRow("&Window width:", m_width);
        form->addRow(new QLabel("points (must be odd number)", this));
        if (kind == kDerivative) {
            m_derivOrder = new QComboBox(this);
            m_derivOrder->addItems({"0", "1", "2", "3", "4"});
            form->addRow("Derivative &order", m_derivOrder);
        }
        form->addRow(new QLabel("N.B. It is assumed that the source data are already sorted.\n"
                                "If this is not the case, you first need to sort them.",
                                this));
    }
    layout->addLayout(form);
    layout->addWidget(OkCancel(this));
}

void CSourceColumnDlg::showEvent(QShowEvent* event)
{
    m_sources->setCurrentRow(m_source);
    if (m_order)
        m_order->setCurrentIndex(m_orderIndex);
    if (m_derivOrder)
        m_derivOrder->setCurrentIndex(m_derivative);
    m_width->setText(QString::number(m_kind == kSubset ? m_step : m_window));
    QDialog::showEvent(event);
}

void CSourceColumnDlg::accept()
{
    const int source = m_sources->currentRow();
    const int order = m_order ? std::max(m_order->currentIndex(), 0) : 0;
    const int minimum = m_kind == kSubset ? 2 : std::max(2 * order + 1, 3);
    const int maximum = m_kind == kSubset ? 100 : 101;
    bool ok = false;
    const int width = m_width->text().trimmed().toInt(&ok);
    if (!ok || width < minimum || width > maximum) {
        ReportMessage(IDS_ENTER_INTEGER_RANGE, {std::to_string(minimum), std::to_string(maximum)},
                      MB_OK | MB_ICONEXCLAMATION);
        m_width->setFocus();
        return;
    }
    UINT message = 0;
    if (source < 0)
        message = IDS_NO_SOURCE;
    else if (source == m_column)
        message = IDS_CURRENT_COLUMN;
    else if (CDataColumnType* type = m_item->GetTable().GetColumnType(source);
             m_kind != kSubset && type && type->DependsOn(m_item, m_column, m_item))
        message = IDS_CIRCULAR_REFERENCES;
    else if (m_kind != kSubset && width % 2 == 0)
        message = IDS_EVEN_WINDOW;
    if (message) {
        ReportMessage(message, {}, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    m_source = source;
    m_orderIndex = order;
    if (m_kind == kSubset)
        m_step = width;
    else
        m_window = width;
    if (m_derivOrder)
        m_derivative = std::max(m_derivOrder->currentIndex(), 0);
    QDialog::accept();
}

// ---------------------------------------------------------------- editor

int CColumnTypeEditor::Edit(CDataColumnType& type, CDataTableItem* item)
{
    QWidget* parent = QApplication::activeWindow();
    if (auto* series = dynamic_cast<CDataCTypeSeries*>(&type)) {
        CSeriesDlg dialog(parent);
        dialog.m_start = series->m_start;
        dialog.m_increment = series->m_increment;
        dialog.m_points = series->m_points;
        if (dialog.exec() != QDialog::Accepted)
            return 0;
        series->m_start = dialog.m_start;
        series->m_increment = dialog.m_increment;
        series->m_points = dialog.m_points;
        return 1;
    }
    if (auto* multi = dynamic_cast<CDataCTypeMultiColumn*>(&type))
        return item && CMultiColumnDlg(*multi, item, parent).exec() == QDialog::Accepted ? 1 : 0;
    if (auto* pair = dynamic_cast<CDataCTypePair*>(&type))
        return item && CPairColumnDlg(*pair, item, parent).exec() == QDialog::Accepted ? 1 : 0;
    if (auto* x2 = dynamic_cast<CDataCTypeX2*>(&type)) {
        CXDataColumnDlg dialog(true, LoadString(IDS_COLUMN_TYPE_NONE + UINT(x2->GetTypeNumber())), parent);
        std::copy(x2->m_x.begin(), x2->m_x.end(), dialog.m_x);
        dialog.m_label = x2->GetName();
        if (dialog.exec() != QDialog::Accepted)
            return 0;
        x2->SetXValues({dialog.m_x[0], dialog.m_x[1], dialog.m_x[2], dialog.m_x[3]});
        x2->SetLabel(dialog.m_label);
        return 1;
    }
    if (auto* xn = dynamic_cast<CDataCTypeXNData*>(&type)) {
        CXDataColumnDlg dialog(false, LoadString(IDS_COLUMN_TYPE_NONE + UINT(xn->GetTypeNumber())), parent);
        dialog.m_n = xn->m_n;
        dialog.m_label = xn->GetName();
        if (dialog.exec() != QDialog::Accepted)
            return 0;
        xn->SetLabel(dialog.m_n, dialog.m_label);
        return 1;
    }
    if (auto* calc = dynamic_cast<CDataCTypeCalcFunction*>(&type)) {
        if (!item)
            return 0;
        CCalcFunctionDlg dialog(item, calc->GetColumn(), parent);
        dialog.m_mode = calc->m_rowCountMode;
        dialog.m_rows = calc->m_rows;
        dialog.m_rowColumn = calc->m_rowCountColumn;
        dialog.m_triggers = calc->GetSourceColumns();
        if (CColumnFunction* function = calc->GetFunction())
            dialog.m_text = function->GetText();
        if (dialog.exec() != QDialog::Accepted)
            return 0;
        calc->m_rowCountMode = dialog.m_mode;
        calc->m_rows = dialog.m_rows;
        calc->m_rowCountColumn = dialog.m_rowColumn;
        calc->SetSourceColumns(item, dialog.m_triggers);
        if (CColumnFunction* function = calc->GetFunction())
            function->SetText(dialog.m_text);
        return 1;
    }
    if (auto* smooth = dynamic_cast<CDataCTypeSmooth*>(&type)) {
        if (!item)
            return 0;
        auto* deriv = dynamic_cast<CDataCTypeDeriv*>(smooth);
        CSourceColumnDlg dialog(deriv ? CSourceColumnDlg::kDerivative : CSourceColumnDlg::kSmooth, item,
                                smooth->GetColumn(), parent);
        dialog.m_source = smooth->GetSource();
        dialog.m_orderIndex = smooth->m_orderIndex;
        dialog.m_window = smooth->m_window;
        if (deriv)
            dialog.m_derivative = deriv->m_derivative;
        if (dialog.exec() != QDialog::Accepted)
            return 0;
        if (smooth->SetSource(item, dialog.m_source))
            return 0;
        smooth->m_orderIndex = dialog.m_orderIndex;
        smooth->m_window = dialog.m_window;
        if (deriv)
            deriv->m_derivative = dialog.m_derivative;
        return 1;
    }
    if (auto* subset = dynamic_cast<CDataCTypeSubset*>(&type)) {
        if (!item)
            return 0;
        CSourceColumnDlg dialog(CSourceColumnDlg::kSubset, item, subset->GetColumn(), parent);
        dialog.m_source = subset->GetSource();
        dialog.m_step = subset->m_step;
        if (dialog.exec() != QDialog::Accepted)
            return 0;
        if (subset->SetSource(item, dialog.m_source))
            return 0;
        subset->m_step = dialog.m_step;
        return 1;
    }
    if (int result = EditResultColumn(type, item, parent); result >= 0)
        return result;
    // Kinds without a dialog here keep their settings.
    return 1;
}
