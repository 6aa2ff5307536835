// The settings dialogs of the columns that show fit and equation results and
// of the summary column: each lists the workspace's choices, shows the type's
// settings and stores what the user picked only on OK.
#include "app/DataCTypeCalc.h"
#include "app/DataCTypeDiff.h"
#include "app/DataCTypeEqn.h"
#include "app/DataCTypeFTest.h"
#include "app/DataCTypeFitResults.h"
#include "app/MXDoc.h"
#include "app/MXEquation.h"
#include "app/MXGrid.h"
#include "app/MXLinear.h"
#include "app/MXNonLinear.h"
#include "app/widgets/ColumnStatsDlg.h"
#include "app/widgets/ColumnTypeEditor.h"
#include "app/widgets/DataView.h"
#include "app/widgets/EquationColumnDlg.h"
#include "app/widgets/FitColumnDlg.h"
#include "data/DataCTypeSummary.h"
#include "data/MyData.h"
#include "app/FitTestPump.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

struct Workspace {
    Workspace()
    {
        doc.OnNewDocument();
        table = new CMXGrid(&doc);
        table->InitNewItem();
        table->SetName("Table");
        for (const char* name : {"Line A", "Line B"}) {
            auto* fit = new CMXLinear(&doc);
            fit->InitNewItem();
            fit->SetName(name);
            fits.push_back(fit);
        }
        auto* equation = new CMXEquation(&doc);
        equation->InitNewItem();
        equation->SetName("Decay");
        for (int c = 0; c < 3; ++c)
            table->GetTable().SetNumber(2, c, c + 1.0);
    }
    CMXDoc doc;
    CMXGrid* table = nullptr;
    std::vector<CMXLinear*> fits;
};

// Acts on the dialog once it is open, then lets it run its own OK or Cancel.
template <class Dialog>
bool Answer(std::function<void(Dialog&)> act, int& seen)
{
    QTimer::singleShot(0, [act, &seen] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            ++seen;
            act(*dialog);
        }
    });
    return true;
}

QStringList Items(const QComboBox* combo)
{
    QStringList out;
    for (int i = 0; i < combo->count(); ++i)
        out << combo->itemText(i);
    return out;
}

CColumnTypeEditor editor;

} // namespace

TEST(ResultColumnDialogs, CalculatedXShowsItsSettingsAndStoresTheChoicesOnOk)
{
    Workspace w;
    CDataCTypeCalcX type(4);
    type.m_strFit = "Line B";
    type.m_nFit = 1;      // shown from 1
    type.m_dLower = -2.5;
    type.m_dUpper = 7;
    int seen = 0;
    Answer<CFitColumnDlg>([](CFitColumnDlg& d) {
        EXPECT_EQ(d.windowTitle(), "Calculated X Values");
        EXPECT_EQ(Items(d.FitCombo()), (QStringList{"Line A", "Line B"}));
        EXPECT_EQ(d.FitCombo()->currentText(), "Line B");
        EXPECT_EQ(d.FitNumberEdit()->text(), "2");
        EXPECT_EQ(d.LowerEdit()->text(), "-2.5");
        EXPECT_EQ(d.UpperEdit()->text(), "7");
        EXPECT_FALSE(d.EstimatesCheck()->isChecked());
        EXPECT_EQ(d.Sources()->currentRow(), 0); // the fit's own y column
        d.FitCombo()->setCurrentIndex(0);
        d.FitNumberEdit()->setText("3");
        d.LowerEdit()->setText("0.125");
        d.UpperEdit()->setText("1e3");
        d.EstimatesCheck()->setChecked(true);
        d.Sources()->setCurrentRow(2); // table column 1
        d.accept();
    }, seen);
    EXPECT_EQ(editor.Edit(type, w.table), 1);
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(type.m_strFit, "Line A");
    EXPECT_EQ(type.m_nFit, 2);
    EXPECT_EQ(type.m_dLower, 0.125);
    EXPECT_EQ(type.m_dUpper, 1000.0);
    EXPECT_EQ(type.m_nUseEstimates, 1);
    EXPECT_EQ(type.GetSource(), 1);
}

// "(The fit's x column)" is the dialog's first choice: kept, the column takes
// y at each x of the fit's own data (here from the fit's initial estimates,
// y = 2x + 1, by hand: 3, 5, 7).
TEST(ResultColumnDialogs, KeepingTheFitsXColumnFillsTheColumnFromTheFitsData)
{
    Workspace w;
    RecordingReporter reporter;
    AddEquation(w.doc, "Line", "y = m*x + c", {"m", "c"});
    auto* fit = AddItem<CMXNonLinear>(w.doc);
    fit->SetName("Estimated", 0);
    fit->SetEquationName("Line");
    fit->SetParamEstimate(0, 2);
    fit->SetParamEstimate(1, 1);
    CMyData& table = w.table->GetTable();
    for (int r = 0; r < 3; ++r)
        table.SetNumber(2 + r, 0, r + 1.0);
    fit->Select("Table", 0, 0, 1, -1, 0);
    auto* type = new CDataCTypeCalcY(4);
    type->m_source = 2; // a table column chosen before
    table.SetCell(0, 4, type);
    int seen = 0;
    Answer<CFitColumnDlg>([](CFitColumnDlg& d) {
        EXPECT_EQ(d.Sources()->item(0)->text(), "(The fit's x column)");
        d.Sources()->setCurrentRow(0);
        d.FitCombo()->setCurrentIndex(d.FitCombo()->findText("Estimated"));
        d.EstimatesCheck()->setChecked(true);
        d.accept();
    }, seen);
    // The column's own Settings, through the program's editor of column settings.
    CColumnSettingsEditor* previous = SetColumnSettingsEditor(&editor);
    EXPECT_EQ(type->EditSettings(w.table), 1);
    SetColumnSettingsEditor(previous);
    EXPECT_EQ(seen, 1);
    EXPECT_TRUE(reporter.Ids().empty());
    EXPECT_EQ(type->GetSource(), -1);
    const double expected[] = {3, 5, 7};
    for (int r = 0; r < 3; ++r) {
        double y = 0;
        ASSERT_TRUE(table.GetNumber(2 + r, 4, y)) << r;
        EXPECT_EQ(y, expected[r]) << r;
    }
    EXPECT_EQ(table.GetCell(5, 4), nullptr);
}

TEST(ResultColumnDialogs, RefusalsKeepTheDialogOpenAndCancelChangesNothing)
{
    Workspace w;
    RecordingReporter reporter;
    CDataCTypeCalcY type(1);
    type.m_strFit = "Line A";
    struct Case {
        int sourceRow;
        const char* fitNumber;
        UINT message;
    } cases[] = {
        {2, "1", 208},      // the column being defined as its own source
        {0, "0", 61714},    // data sets count from 1
        {0, "two", 61714},  // not a number
    };
    for (const Case& c : cases) {
        CFitColumnDlg dialog(CFitColumnDlg::kCalcY, w.table, 1);
        dialog.show();
        dialog.Sources()->setCurrentRow(c.sourceRow);
        dialog.FitNumberEdit()->setText(c.fitNumber);
        const std::size_t before = reporter.Ids().size();
        dialog.accept();
        EXPECT_TRUE(dialog.isVisible()) << c.fitNumber;
        ASSERT_EQ(reporter.Ids().size(), before + 1);
        EXPECT_EQ(reporter.Ids().back(), c.message);
    }
    int seen = 0;
    Answer<CFitColumnDlg>([](CFitColumnDlg& d) {
        d.FitCombo()->setCurrentIndex(1);
        d.reject();
    }, seen);
    EXPECT_EQ(editor.Edit(type, w.table), 0);
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(type.m_strFit, "Line A");
}

TEST(ResultColumnDialogs, DifferenceAndFTestStoreTheirFits)
{
    Workspace w;
    CDataCTypeDiff diff(3);
    int seen = 0;
    Answer<CFitColumnDlg>([](CFitColumnDlg& d) {
        EXPECT_EQ(d.windowTitle(), "Difference Between Experiment and Fitted y Data");
        EXPECT_EQ(d.Sources(), nullptr);
        d.FitCombo()->setCurrentIndex(1);
        d.FitNumberEdit()->setText("4");
        d.accept();
    }, seen);
    EXPECT_EQ(editor.Edit(diff, w.table), 1);
    EXPECT_EQ(diff.m_strFit, "Line B");
    EXPECT_EQ(diff.m_nFit, 3);

    CDataCTypeFTest ftest(3);
    Answer<CFitColumnDlg>([](CFitColumnDlg& d) {
        EXPECT_EQ(d.windowTitle(), "F Test");
        EXPECT_EQ(Items(d.Fit2Combo()), (QStringList{"Line A", "Line B"}));
        d.FitCombo()->setCurrentIndex(1);
        d.Fit2Combo()->setCurrentIndex(0);
        d.accept();
    }, seen);
    EXPECT_EQ(editor.Edit(ftest, w.table), 1);
    EXPECT_EQ(seen, 2);
    EXPECT_EQ(ftest.m_strFit1, "Line B");
    EXPECT_EQ(ftest.m_strFit2, "Line A");
}

TEST(ResultColumnDialogs, FitResultsListTheFitsEntriesAndStoreTheCheckedOnes)
{
    Workspace w;
    CDataCTypeFitResults results(3);
    results.m_strFit = "Line A";
    results.m_indices = {1};
    int seen = 0;
    const int parameters = w.fits[0]->GetParameterCount();
    ASSERT_GE(parameters, 2); // a straight line has two coefficients
    Answer<CFitColumnDlg>([&](CFitColumnDlg& d) {
        EXPECT_EQ(d.windowTitle(), "Data Fitting Results");
        ASSERT_EQ(d.Entries()->count(), parameters);
        EXPECT_EQ(d.Entries()->item(0)->checkState(), Qt::Unchecked);
        EXPECT_EQ(d.Entries()->item(1)->checkState(), Qt::Checked);
        EXPECT_TRUE(d.ValueButton()->isChecked());
        EXPECT_TRUE(d.NameCheck()->isChecked());
        d.Entries()->item(0)->setCheckState(Qt::Checked);
        d.ErrorButton()->setChecked(true);
        d.NameCheck()->setChecked(false);
        d.accept();
    }, seen);
    EXPECT_EQ(editor.Edit(results, w.table), 1);
    EXPECT_EQ(results.m_indices, (std::vector<int>{0, 1}));
    EXPECT_EQ(results.m_nValueChoice, 1);
    EXPECT_EQ(results.m_nShowName, 0);

    CDataCTypeFitInfo info(4);
    info.m_strFit = "Line B";
    Answer<CFitColumnDlg>([&](CFitColumnDlg& d) {
        EXPECT_EQ(d.windowTitle(), "Data Fitting Information");
        EXPECT_EQ(d.ValueButton(), nullptr);
        EXPECT_EQ(d.Entries()->count(), w.fits[1]->GetSummaryCount());
        d.Entries()->item(d.Entries()->count() - 1)->setCheckState(Qt::Checked);
        d.accept();
    }, seen);
    EXPECT_EQ(editor.Edit(info, w.table), 1);
    EXPECT_EQ(seen, 2);
    EXPECT_EQ(info.m_indices, std::vector<int>{w.fits[1]->GetSummaryCount() - 1});
}

TEST(ResultColumnDialogs, ParameterAndConstantColumnsChooseAnEquation)
{
    Workspace w;
    for (bool constants : {false, true}) {
        std::unique_ptr<CDataCTypeEqn> type(constants ? static_cast<CDataCTypeEqn*>(new CDataCTypeConstants(5))
                                                      : new CDataCTypeParameters(5));
        int seen = 0;
        Answer<CEquationColumnDlg>([constants](CEquationColumnDlg& d) {
            EXPECT_EQ(d.windowTitle(), constants ? "Constants Column" : "Parameters Column");
            EXPECT_EQ(Items(d.EquationCombo()), QStringList{"Decay"});
            d.EquationCombo()->setCurrentIndex(0);
            d.accept();
        }, seen);
        EXPECT_EQ(editor.Edit(*type, w.table), 1);
        EXPECT_EQ(seen, 1);
        EXPECT_EQ(type->m_strEquation, "Decay");
    }
}

TEST(ResultColumnDialogs, ChosenNamesAreFoundWithoutRegardToCaseAndLostOnesEmptied)
{
    Workspace w;
    CEquationColumnDlg equation(false, w.table);
    equation.m_equation = "DECAY";
    equation.show();
    EXPECT_EQ(equation.EquationCombo()->currentText(), "Decay");
    CEquationColumnDlg gone(true, w.table);
    gone.m_equation = "Renamed";
    gone.show();
    EXPECT_EQ(gone.EquationCombo()->currentIndex(), -1);
    EXPECT_EQ(gone.m_equation, "");

    CFitColumnDlg ftest(CFitColumnDlg::kFTest, w.table, 1);
    ftest.m_fit = "line b";
    ftest.m_fit2 = "Deleted";
    ftest.show();
    EXPECT_EQ(ftest.FitCombo()->currentText(), "Line B");
    EXPECT_EQ(ftest.Fit2Combo()->currentIndex(), -1);
    EXPECT_EQ(ftest.m_fit2, "");

    // A non-linear fit without an equation has no parameters: the list says so, greyed.
    auto* empty = new CMXNonLinear(&w.doc);
    empty->InitNewItem();
    empty->SetName("Empty");
    CFitColumnDlg results(CFitColumnDlg::kResults, w.table, 1);
    results.m_fit = "Empty";
    results.show();
    ASSERT_EQ(results.Entries()->count(), 1);
    EXPECT_EQ(results.Entries()->item(0)->text(), "(No parameters available)");
    EXPECT_FALSE(results.Entries()->isEnabled());
    // Choosing a fit checks all its parameters.
    const int a = results.FitCombo()->findText("Line A");
    results.FitCombo()->setCurrentIndex(a);
    emit results.FitCombo()->activated(a);
    ASSERT_EQ(results.Entries()->count(), 2);
    EXPECT_EQ(results.Entries()->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(results.Entries()->item(1)->checkState(), Qt::Checked);
}

TEST(ResultColumnDialogs, ColumnSummaryNeedsASourceOtherThanItself)
{
    Workspace w;
    RecordingReporter reporter;
    {
        CColumnStatsDlg dialog(w.table, 2);
        dialog.show();
        EXPECT_EQ(dialog.windowTitle(), "Column Summary Statistics");
        EXPECT_EQ(dialog.Sources()->count(), 3); // columns 0 to 2
        dialog.Sources()->setCurrentRow(-1);
        dialog.accept();
        dialog.Sources()->setCurrentRow(2);
        dialog.accept();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(reporter.Ids(), (std::vector<UINT>{496, 208}));
    }
    CDataCTypeSummary summary(2);
    int seen = 0;
    Answer<CColumnStatsDlg>([](CColumnStatsDlg& d) {
        d.Sources()->setCurrentRow(0);
        d.accept();
    }, seen);
    EXPECT_EQ(editor.Edit(summary, w.table), 1);
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(summary.GetSource(), 0);
}

TEST(ResultColumnDialogs, ASummaryColumnTakesTheWidthOfItsEntriesAfterProperties)
{
    Workspace w;
    CColumnTypeEditor installed;
    CColumnSettingsEditor* previous = SetColumnSettingsEditor(&installed);
    CDataView view(w.table);
    view.resize(600, 400);
    view.show();
    QApplication::processEvents();
    for (int r = 0; r < 4; ++r) // 1, 2, 3, 4 in column 1
        w.table->GetTable().SetNumber(2 + r, 0, r + 1.0);
    int seen = 0;
    // Choosing the type asks for the source at once.
    Answer<CColumnStatsDlg>([](CColumnStatsDlg& d) {
        d.Sources()->setCurrentRow(0);
        d.accept();
    }, seen);
    ASSERT_EQ(view.SetCellText(1, 4, std::to_string(kTypeSummary)), 1);
    ASSERT_EQ(seen, 1);
    view.SetColumnWidth(4, 60, false, false, false); // too narrow for "Median 2.5"
    const int narrow = view.GetColumnWidth(4, false);
    view.GetGridData()->m_ranges.assign(1, CGridRange{4, 3, 4, 3});
    view.GetGridData()->m_nCurrentColumn = 4;
    view.GetGridData()->m_nCurrentRow = 3;
    Answer<CColumnStatsDlg>([](CColumnStatsDlg& d) {
        EXPECT_EQ(d.Sources()->currentRow(), 0); // the stored source is shown
        d.accept();
    }, seen);
    EXPECT_TRUE(view.OnCmdMsg(ID_EDIT_PROPERTIES, nullptr));
    EXPECT_EQ(seen, 2);
    EXPECT_GT(view.GetColumnWidth(4, false), narrow);
    SetColumnSettingsEditor(previous);
}
