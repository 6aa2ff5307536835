#include "app/widgets/FitColumnDlg.h"

#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include "app/DataCTypeCalc.h"
#include "app/DataCTypeDiff.h"
#include "app/DataCTypeEqn.h"
#include "app/DataCTypeFTest.h"
#include "app/DataCTypeFitResults.h"
#include "app/MXDoc.h"
#include "app/widgets/ColumnStatsDlg.h"
#include "app/widgets/EquationColumnDlg.h"
#include "data/DataCTypeSummary.h"
#include "app/MXResult.h"
#include "app/ResultColumnLookup.h"
#include "app/widgets/ColumnTypeEditor.h"
#include "data/DataTableItem.h"
#include "data/MyData.h"
#include "platform/Reporter.h"
#include "platform/StringIds.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <charconv>

namespace {

const char* Title(CFitColumnDlg::Kind kind)
{
    switch (kind) {
    case CFitColumnDlg::kCalcY: return "Calculated Y Values";
    case CFitColumnDlg::kCalcX: return "Calculated X Values";
    case CFitColumnDlg::kDifference: return "Difference Between Experiment and Fitted y Data";
    case CFitColumnDlg::kResults: return "Data Fitting Results";
    case CFitColumnDlg::kInfo: return "Data Fitting Information";
    case CFitColumnDlg::kFTest: return "F Test";
    }
    return "";
}

// Reads a number without the C locale; false when the text is not one.
bool ParseNumber(const QString& text, double& value)
{
    const std::string s = text.trimmed().toStdString();
    if (s.empty())
        return false;
    const char* first = s.data() + (s[0] == '+' ? 1 : 0);
    auto [end, error] = std::from_chars(first, s.data() + s.size(), value);
    return error == std::errc() && end == s.data() + s.size();
}

QString NumberText(double value)
{
    char buffer[64];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? QString::fromLatin1(buffer, int(end - buffer)) : QString();
}

// The workspace's fit items, by name.
QStringList FitNames(CDataTableItem* item)
{
    QStringList names;
    if (CMXDoc* doc = WorkspaceOf(item))
        for (CProjectItemBase* p : doc->GetProjectItems())
            if (dynamic_cast<CMXResult*>(p))
                names << QString::fromStdString(p->GetName());
    return names;
}

} // namespace

CFitColumnDlg::CFitColumnDlg(Kind kind, CDataTableItem* item, int column, QWidget* parent)
    : QDialog(parent), m_kind(kind), m_item(item), m_column(column)
{
    setObjectName("FitColumnDlg");
    setWindowTitle(Title(kind));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    if (kind == kCalcY || kind == kCalcX) {
        m_sources = new QListWidget(this);
        m_sources->addItem(kind == kCalcY ? "(The fit's x column)" : "(The fit's y column)");
        if (item) {
            const CMyData& table = item->GetTable();
            for (int c = 0; c <= std::max(table.GetLastColumn(), column); ++c)
                m_sources->addItem(QString::fromStdString(ColumnListText(table, c)));
        }
        auto* sourceLabel = new QLabel("&Source data column", this);
        sourceLabel->setBuddy(m_sources); // "&" marks the key, not a character to show
        layout->addWidget(sourceLabel);
        layout->addWidget(m_sources);
    }
    const QStringList fits = FitNames(item);
    m_fitCombo = new QComboBox(this);
    m_fitCombo->addItems(fits);
    form->addRow(kind == kFTest ? "Fitting results &1" : "&Fit", m_fitCombo);
    if (kind == kFTest) {
        m_fit2Combo = new QComboBox(this);
        m_fit2Combo->addItems(fits);
        form->addRow("Fitting results &2", m_fit2Combo);
    }
    if (kind == kCalcY || kind == kCalcX || kind == kDifference) {
        m_fitNumberEdit = new QLineEdit(this);
        form->addRow("&Data set", m_fitNumberEdit);
    }
    if (kind == kCalcX) {
        m_lowerEdit = new QLineEdit(this);
        m_upperEdit = new QLineEdit(this);
        form->addRow("&Lower x limit", m_lowerEdit);
        form->addRow("&Upper x limit", m_upperEdit);
    }
    layout->addLayout(form);
    if (kind == kCalcY || kind == kCalcX) {
        m_estimates = new QCheckBox("Use initial &estimates", this);
        layout->addWidget(m_estimates);
    }
    if (kind == kResults || kind == kInfo) {
        m_entries = new QListWidget(this);
        layout->addWidget(m_entries);
        if (kind == kResults) {
            m_value = new QRadioButton("Parameter &value", this);
            m_error = new QRadioButton("Std. &error value", this);
            layout->addWidget(m_value);
            layout->addWidget(m_error);
        }
        m_name = new QCheckBox(kind == kResults ? "Value &name" : "Display value &name", this);
        layout->addWidget(m_name);
        connect(m_fitCombo, &QComboBox::currentTextChanged, this, [this] { FillEntries(); });
        // Another fit chosen by the user: all its entries are checked.
        connect(m_fitCombo, qOverload<int>(&QComboBox::activated), this, [this] {
            m_indices.clear();
            for (int i = 0; m_entries && i < m_entries->count(); ++i)
                if (m_entries->item(i)->flags() & Qt::ItemIsUserCheckable) {
                    m_entries->item(i)->setCheckState(Qt::Checked);
                    m_indices.push_back(i);
                }
        });
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void CFitColumnDlg::FillEntries()
{
    if (!m_entries)
        return;
    m_entries->clear();
    CMXResult* fit = FindFitItem(m_item, m_fitCombo->currentText().toStdString());
    const int count = !fit ? 0 : m_kind == kResults ? fit->GetParameterCount() : fit->GetSummaryCount();
    m_entries->setEnabled(count > 0);
    if (count == 0) {
        // Nothing to choose: the list says so and takes no input.
        new QListWidgetItem(QString::fromStdString(
                                LoadString(m_kind == kResults ? IDS_NO_PARAMETERS_AVAILABLE : IDS_NO_INFORMATION_AVAILABLE)),
                            m_entries);
        return;
    }
    for (int i = 0; i < count; ++i) {
        std::string name, text;
        double number = 0;
        if (m_kind == kResults)
            fit->GetParameterName(i, name);
        else
            fit->GetSummaryValue(0, i, name, text, number);
        auto* line = new QListWidgetItem(QString::fromStdString(name), m_entries);
        line->setFlags(line->flags() | Qt::ItemIsUserCheckable);
        line->setCheckState(std::count(m_indices.begin(), m_indices.end(), i) ? Qt::Checked : Qt::Unchecked);
    }
}

void CFitColumnDlg::showEvent(QShowEvent* event)
{
    if (m_sources)
        m_sources->setCurrentRow(std::clamp(m_source + 1, 0, m_sources->count() - 1));
    // A chosen fit that was renamed or deleted leaves nothing chosen.
    m_fitCombo->setCurrentIndex(m_fitCombo->findText(QString::fromStdString(m_fit), Qt::MatchFixedString));
    if (m_fitCombo->currentIndex() < 0)
        m_fit.clear();
    if (m_fit2Combo) {
        m_fit2Combo->setCurrentIndex(m_fit2Combo->findText(QString::fromStdString(m_fit2), Qt::MatchFixedString));
        if (m_fit2Combo->currentIndex() < 0)
            m_fit2.clear();
    }
    if (m_fitNumberEdit)
        m_fitNumberEdit->setText(QString::number(m_fitNumber));
    if (m_estimates)
        m_estimates->setChecked(m_useEstimates);
    if (m_lowerEdit) {
        m_lowerEdit->setText(NumberText(m_lower));
        m_upperEdit->setText(NumberText(m_upper));
    }
    FillEntries();
    if (m_value) {
        m_value->setChecked(m_valueChoice == 0);
        m_error->setChecked(m_valueChoice == 1);
    }
    if (m_name)
        m_name->setChecked(m_showName);
    QDialog::showEvent(event);
}

void CFitColumnDlg::accept()
{
    int source = m_source;
    if (m_sources) {
        // Row 0 is the fit's own data column (-1); the others are table columns.
        source = std::max(-1, m_sources->currentRow() - 1);
        const UINT message = source < 0 ? 0
                             : m_item ? CheckSourceColumn(m_item, m_column, source)
                             : source == m_column ? UINT(IDS_CURRENT_COLUMN)
                                                  : 0;
        if (message) {
            ReportMessage(message, {}, MB_OK | MB_ICONEXCLAMATION);
            m_sources->setFocus();
            return;
        }
    }
    int fitNumber = m_fitNumber;
    if (m_fitNumberEdit) {
        bool ok = false;
        fitNumber = m_fitNumberEdit->text().trimmed().toInt(&ok);
        if (!ok || fitNumber < 1 || fitNumber > 1000000) {
            ReportMessage(IDS_ENTER_INTEGER_RANGE, {"1", "1000000"}, MB_OK | MB_ICONEXCLAMATION);
            m_fitNumberEdit->setFocus();
            return;
        }
    }
    double lower = m_lower, upper = m_upper;
    for (auto [edit, value] : {std::pair{m_lowerEdit, &lower}, std::pair{m_upperEdit, &upper}}) {
        if (edit && !ParseNumber(edit->text(), *value)) {
            ReportMessage(IDS_ENTER_NUMBER, {}, MB_OK | MB_ICONEXCLAMATION);
            edit->setFocus();
            return;
        }
    }
    m_source = source;
    m_fitNumber = fitNumber;
    m_lower = lower;
    m_upper = upper;
    m_fit = m_fitCombo->currentText().toStdString();
    if (m_fit2Combo)
        m_fit2 = m_fit2Combo->currentText().toStdString();
    if (m_estimates)
        m_useEstimates = m_estimates->isChecked();
    if (m_entries && m_entries->isEnabled() && m_entries->count() > 0) {
        m_indices.clear();
        for (int i = 0; i < m_entries->count(); ++i)
            if (m_entries->item(i)->checkState() == Qt::Checked)
                m_indices.push_back(i);
    }
    if (m_value)
        m_valueChoice = m_error->isChecked() ? 1 : 0;
    if (m_name)
        m_showName = m_name->isChecked();
    QDialog::accept();
}

int EditResultColumn(CDataColumnType& type, CDataTableItem* item, QWidget* parent)
{
    if (auto* calc = dynamic_cast<CDataCTypeCalc*>(&type)) {
        auto* calcX = dynamic_cast<CDataCTypeCalcX*>(calc);
        CFitColumnDlg dialog(calcX ? CFitColumnDlg::kCalcX : CFitColumnDlg::kCalcY, item, calc->GetColumn(), parent);
        dialog.m_source = calc->GetSource();
        dialog.m_fit = calc->m_strFit;
        dialog.m_fitNumber = calc->m_nFit + 1;
        dialog.m_useEstimates = calc->m_nUseEstimates != 0;
        if (calcX) {
            dialog.m_lower = calcX->m_dLower;
            dialog.m_upper = calcX->m_dUpper;
        }
        if (dialog.exec() != QDialog::Accepted)
            return 0;
        // The dialog has checked the source; keeping "(The fit's x column)"
        // (or y column) stores -1, which reads the fit's own data.
        if (dialog.m_source < 0)
            calc->m_source = -1;
        else if (item && calc->SetSource(item, dialog.m_source))
            return 0;
        calc->m_strFit = dialog.m_fit;
        calc->m_nFit = dialog.m_fitNumber - 1;
        calc->m_nUseEstimates = dialog.m_useEstimates ? 1 : 0;
        if (calcX) {
            calcX->m_dLower = dialog.m_lower;
            calcX->m_dUpper = dialog.m_upper;
        }
        return 1;
    }
    if (auto* diff = dynamic_cast<CDataCTypeDiff*>(&type)) {
        CFitColumnDlg dialog(CFitColumnDlg::kDifference, item, diff->GetColumn(), parent);
        dialog.m_fit = diff->m_strFit;
        dialog.m_fitNumber = diff->m_nFit + 1;
        if (dialog.exec() != QDialog::Accepted)
            return 0;
        diff->m_strFit = dialog.m_fit;
        diff->m_nFit = dialog.m_fitNumber - 1;
        return 1;
    }
    if (auto* results = dynamic_cast<CDataCTypeFitResults*>(&type)) {
        const bool info = dynamic_cast<CDataCTypeFitInfo*>(results) != nullptr;
        CFitColumnDlg dialog(info ? CFitColumnDlg::kInfo : CFitColumnDlg::kResults, item, results->GetColumn(), parent);
        dialog.m_fit = results->m_strFit;
        dialog.m_indices = results->m_indices;
        dialog.m_showName = results->m_nShowName != 0;
        dialog.m_valueChoice = results->m_nValueChoice;
        if (dialog.exec() != QDialog::Accepted)
            return 0;
        results->m_strFit = dialog.m_fit;
        results->m_indices = dialog.m_indices;
        results->m_nShowName = dialog.m_showName ? 1 : 0;
        if (!info)
            results->m_nValueChoice = dialog.m_valueChoice;
        return 1;
    }
    if (auto* ftest = dynamic_cast<CDataCTypeFTest*>(&type)) {
        CFitColumnDlg dialog(CFitColumnDlg::kFTest, item, ftest->GetColumn(), parent);
        dialog.m_fit = ftest->m_strFit1;
        dialog.m_fit2 = ftest->m_strFit2;
        if (dialog.exec() != QDialog::Accepted)
            return 0;
        ftest->m_strFit1 = dialog.m_fit;
        ftest->m_strFit2 = dialog.m_fit2;
        return 1;
    }
    if (auto* eqn = dynamic_cast<CDataCTypeEqn*>(&type)) {
        CEquationColumnDlg dialog(dynamic_cast<CDataCTypeConstants*>(eqn) != nullptr, item, parent);
        dialog.m_equation = eqn->m_strEquation;
        if (dialog.exec() != QDialog::Accepted)
            return 0;
        eqn->m_strEquation = dialog.m_equation;
        return 1;
    }
    if (auto* summary = dynamic_cast<CDataCTypeSummary*>(&type)) {
        if (!item)
            return 0;
        CColumnStatsDlg dialog(item, summary->GetColumn(), parent);
        dialog.m_source = summary->GetSource();
        if (dialog.exec() != QDialog::Accepted)
            return 0;
        return summary->SetSource(item, dialog.m_source) ? 0 : 1;
    }
    return -1;
}
