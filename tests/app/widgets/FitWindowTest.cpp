// The fit windows as a researcher drives them: a table and an equation in a
// new workspace, Add Non-linear Fit (or Linear Fit), the table, columns and
// equation chosen on the Settings tab, Fit Data, and the parameters with
// their standard errors read off the Results tab. The numbers are checked
// against the engine run directly, against published and certified values,
// and a long fit is stopped through its progress window.
#include "app/MXDoc.h"
#include "app/MXEquation.h"
#include "app/MXGrid.h"
#include "app/MXLinear.h"
#include "app/MXNonLinear.h"
#include "app/widgets/FitGrids.h"
#include "app/widgets/FitTabForm.h"
#include "app/widgets/FitTabViews.h"
#include "app/widgets/InteractiveEstimate.h"
#include "data/DataString.h"
#include "framework/ArchiveHelpers.h"
#include "platform/StringIds.h"
#include "equation/Equation.h"
#include "fitting/FitSettings.h"
#include "fitting/NonlinearFit.h"
#include "fitting/NistProblem.h"
#include "framework/DoubleColumns.h"
#include "platform/widgets/CommandIds.h"
#include "ItemWindowTestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

namespace {

// Puromycin, treated cells: substrate concentration (ppm) and initial rate (counts/min/min).
const std::vector<double> kConc = {0.02, 0.02, 0.06, 0.06, 0.11, 0.11, 0.22, 0.22, 0.56, 0.56, 1.10, 1.10};
const std::vector<double> kRate = {76, 47, 97, 107, 123, 139, 159, 152, 191, 201, 207, 200};

class FitWindowTest : public ItemWindowTest {
protected:
    // A data table with x in column 0 and y in column 1, as the user types it.
    CMXGrid* AddTable(const std::vector<double>& x, const std::vector<double>& y)
    {
        EXPECT_TRUE(Run(ID_ADD_DATA));
        CMXGrid* table = nullptr;
        for (CMXProjectItem* item : doc()->ItemsInRowOrder())
            if (auto* grid = dynamic_cast<CMXGrid*>(item))
                table = grid;
        for (std::size_t i = 0; i < x.size(); ++i) {
            table->GetTable().SetNumber(2 + int(i), 0, x[i]);
            table->GetTable().SetNumber(2 + int(i), 1, y[i]);
        }
        return table;
    }
    // A table of a certified problem's x and y; null when the file cannot be read.
    CMXGrid* AddNistTable(const std::string& file, SNistProblem& p)
    {
        std::string error;
        const char* root = std::getenv("MARLOX_REFDATA");
        if (!root || !LoadNistProblem(std::string(root) + "/" + file, p, error)) {
            ADD_FAILURE() << file << ": " << error;
            return nullptr;
        }
        std::vector<double> xs, ys;
        for (int i = 0; i < p.y.GetSize(); ++i) {
            xs.push_back(p.x.GetAt(0, i));
            ys.push_back(p.y[i]);
        }
        return AddTable(xs, ys);
    }
    CMXEquation* AddEquation(const std::string& name, const std::string& source, const std::vector<std::string>& params)
    {
        auto* item = new CMXEquation(doc());
        item->InitNewItem();
        item->SetName(name, 0);
        CEquation& eq = item->GetCompiledEquation();
        eq.SetYName("y");
        eq.SetXName(0, "x", "");
        for (std::size_t i = 0; i < params.size(); ++i)
            eq.SetParameterName(int(i), params[i].c_str(), "");
        eq.SetModeFlag(1);
        eq.SetSource(source);
        EXPECT_NO_THROW(eq.Compile());
        return item;
    }
    // Picks an entry of a settings combo as the user does.
    static void Choose(QComboBox* combo, const QString& text)
    {
        const int index = combo->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        combo->setCurrentIndex(index);
        emit combo->activated(index);
        Settle();
    }
    static void Choose(QComboBox* combo, int index)
    {
        ASSERT_LT(index, combo->count());
        combo->setCurrentIndex(index);
        emit combo->activated(index);
        Settle();
    }
    // Lets the worker run and its notices arrive until the item is no longer calculating.
    bool WaitForFit(CMXResult* item, int seconds = 50)
    {
        QElapsedTimer clock;
        clock.start();
        do {
            QTest::qWait(5);
        } while ((item->IsCalculating() || item->GetState() == CMXResult::kCalculating)
                 && clock.elapsed() < seconds * 1000);
        Settle();
        return !item->IsCalculating() && item->GetState() != CMXResult::kCalculating;
    }
    static std::string Cell(CGridCtrl* grid, int row, int column)
    {
        std::string text;
        grid->GetCellValueText(row, column, text);
        return text;
    }
};

} // namespace

TEST_F(FitWindowTest, AMichaelisMentenFitIsReadOffTheResultsTab)
{
    CMXGrid* table = AddTable(kConc, kRate);
    CMXEquation* equation = AddEquation("Michaelis-Menten", "y = Vmax * x / (Km + x)", {"Vmax", "Km"});
    ASSERT_TRUE(Enabled(ID_ADD_NONLINEAR));
    ASSERT_TRUE(Run(ID_ADD_NONLINEAR));
    auto* frame = dynamic_cast<CNonlinProjectWnd*>(main->GetActiveItemFrame());
    ASSERT_NE(frame, nullptr);
    CNonlinFitTabForm* form = frame->GetForm();
    ASSERT_EQ(form->GetTabCount(), NL_TAB_COUNT);
    CMXNonLinear* item = form->GetNonlinItem();
    EXPECT_EQ(Pane(), "Not Fitted");

    // Fit Data before anything is chosen says what is missing.
    ASSERT_TRUE(Run(ID_CALCULATE_FIT));
    EXPECT_EQ(reporter->Ids(), std::vector<UINT>{217});

    auto* settings = Tab<CNonlinFitView>(form, NL_TAB_SETTINGS);
    ASSERT_NE(settings, nullptr);
    Choose(settings->GetEquationCombo(), QString::fromStdString(equation->GetName()));
    Choose(settings->GetTableCombo(), QString::fromStdString(table->GetName()));
    Choose(settings->GetXCombo(), 0);
    Choose(settings->GetYCombo(), 1);
    EXPECT_EQ(item->GetEquationName(), equation->GetName());
    EXPECT_EQ(item->GetSourceName(), table->GetName());
    EXPECT_EQ(item->m_nXColumn, 0);
    EXPECT_EQ(item->m_nYColumn, 1);
    // Simple weighting leaves the error column off.
    EXPECT_FALSE(settings->GetErrorCombo()->isEnabled());

    // Starting values typed into the Estimatrix.
    auto* estimates = Tab<CNonlinFitEstimateView>(form, NL_TAB_ESTIMATRIX);
    ASSERT_NE(estimates, nullptr);
    CEstimatrixGrid* grid = estimates->GetGrid();
    grid->SetCellText(1, 2, "200");
    grid->SetCellText(2, 2, "0.1");
    EXPECT_EQ(item->GetRangeFrom(0), 200.0);
    EXPECT_EQ(item->GetRangeSteps(1), 1);
    // Run to the minimum: no chi-square criterion, 50 iterations.
    auto* criteria = Tab<CNonlinFitCriteriaView>(form, NL_TAB_CRITERIA);
    criteria->GetCriterionBox()->click();
    criteria->GetMaximum()->setValue(50);

    ASSERT_TRUE(Enabled(ID_CALCULATE_FIT));
    ASSERT_TRUE(Run(ID_CALCULATE_FIT));
    ASSERT_TRUE(WaitForFit(item));
    EXPECT_EQ(reporter->Ids(), std::vector<UINT>{217});
    ASSERT_EQ(item->GetState(), CMXResult::kFitted);
    EXPECT_EQ(Pane(), "Fitted");
    // A short fit never shows its progress window; the results tab comes forward.
    EXPECT_EQ(frame->GetProgressWnd(), nullptr);
    EXPECT_EQ(form->GetCurrentTab(), NL_TAB_RESULTS);
    auto* results = dynamic_cast<CNonlinFitResView*>(form->GetCurrentView());
    ASSERT_NE(results, nullptr);
    CResultGrid* rg = results->GetGrid();
    ASSERT_EQ(rg->GetResultCount(), 2);
    EXPECT_EQ(Cell(rg, 1, 1), "Vmax");
    EXPECT_EQ(Cell(rg, 2, 1), "Km");
    EXPECT_EQ(results->GetPointsEdit()->text(), "12");

    // The same numbers as the engine gives on its own.
    auto direct = equation->GetCompiledEquation().Clone();
    struct Source : CEquationSource {
        const CEquationBase* eq;
        const CEquationBase* FindEquation(const std::string&) const override { return eq; }
    } source;
    source.eq = direct.get();
    CNonlinearFit engine("Michaelis-Menten", &source);
    CFitSettings fs;
    fs.m_estimateMatrix = {{200.0}, {0.1}};
    fs.m_nEstimatesFromMatrix = 1;
    fs.m_nChiSqChange = 0;
    fs.m_nMaxIterations = 50;
    CDoubleColumns x;
    x.SetSize(1, int(kConc.size()));
    CMyVector y, w;
    for (std::size_t i = 0; i < kConc.size(); ++i) {
        x.SetValue(0, int(i), kConc[i]);
        y.Add(kRate[i]);
        w.Add(1.0);
    }
    ASSERT_EQ(engine.Fit(fs, x, y, w, nullptr, 0), 1);
    const CDataFormat& format = item->GetNumberFormat();
    for (int p = 0; p < 2; ++p) {
        double value = 0, error = 0, se = 0;
        ASSERT_TRUE(item->GetParameter(0, p, value, error));
        ASSERT_TRUE(engine.GetStandardError(p, se));
        EXPECT_EQ(value, engine.GetEquation()->GetParameterValues()[p]);
        EXPECT_EQ(error, se);
        EXPECT_EQ(Cell(rg, p + 1, 2), format.FormatNumber(value));
        EXPECT_EQ(Cell(rg, p + 1, 3), format.FormatNumber(error));
    }
    // Published least-squares values for these data: Vmax 212.68 (SE 6.947), Km 0.06412 (SE 0.008281).
    double vmax = 0, vmaxSE = 0, km = 0, kmSE = 0;
    item->GetParameter(0, 0, vmax, vmaxSE);
    item->GetParameter(0, 1, km, kmSE);
    EXPECT_NEAR(vmax, 212.68, 0.01);
    EXPECT_NEAR(vmaxSE, 6.947, 0.001);
    EXPECT_NEAR(km, 0.06412, 0.00001);
    EXPECT_NEAR(kmSE, 0.008281, 0.000001);
    EXPECT_EQ(results->GetStatus()->text(), "Converged");

    // A changed setting discards the results at once.
    Tab<CNonlinFitView>(form, NL_TAB_SETTINGS);
    settings->GetRobustBox()->click();
    Settle();
    EXPECT_EQ(item->GetState(), CMXResult::kNotFitted);
    EXPECT_EQ(Pane(), "Not Fitted");
    settings->GetRobustBox()->click();
    Settle();

    // Fitted again, saved and opened again: the same results come back.
    ASSERT_TRUE(Run(ID_CALCULATE_FIT));
    ASSERT_TRUE(WaitForFit(item));
    QTemporaryDir dir;
    const std::string path = (dir.path() + "/fit.mxf").toStdString();
    ASSERT_TRUE(doc()->OnSaveDocument(path));
    CMXDoc copy;
    ASSERT_TRUE(copy.OnOpenDocument(path));
    auto* reopened = dynamic_cast<CMXNonLinear*>(copy.FindItem(item->GetName()));
    ASSERT_NE(reopened, nullptr);
    double v2 = 0, e2 = 0;
    ASSERT_TRUE(reopened->GetParameter(0, 0, v2, e2));
    EXPECT_EQ(v2, vmax);
    EXPECT_EQ(e2, vmaxSE);
}

TEST_F(FitWindowTest, TheCertifiedValuesOfANistProblemComeThroughTheWindow)
{
    SNistProblem p;
    CMXGrid* table = AddNistTable("nist-nls/Misra1d.dat", p);
    ASSERT_NE(table, nullptr);
    CMXEquation* equation = AddEquation("Misra1d", "y = b1*b2*x*((1+b2*x)^(-1))", {"b1", "b2"});
    ASSERT_TRUE(Run(ID_ADD_NONLINEAR));
    auto* frame = dynamic_cast<CNonlinProjectWnd*>(main->GetActiveItemFrame());
    ASSERT_NE(frame, nullptr);
    CNonlinFitTabForm* form = frame->GetForm();
    CMXNonLinear* item = form->GetNonlinItem();
    auto* settings = Tab<CNonlinFitView>(form, NL_TAB_SETTINGS);
    Choose(settings->GetEquationCombo(), QString::fromStdString(equation->GetName()));
    Choose(settings->GetTableCombo(), QString::fromStdString(table->GetName()));
    Choose(settings->GetXCombo(), 0);
    Choose(settings->GetYCombo(), 1);
    auto* estimates = Tab<CNonlinFitEstimateView>(form, NL_TAB_ESTIMATRIX);
    estimates->GetGrid()->SetCellText(1, 2, "500");
    estimates->GetGrid()->SetCellText(2, 2, "0.0001");
    // The certified values ask for a fit run to its end: the criterion off, 100 iterations.
    auto* criteria = Tab<CNonlinFitCriteriaView>(form, NL_TAB_CRITERIA);
    ASSERT_NE(criteria, nullptr);
    criteria->GetCriterionBox()->click();
    EXPECT_FALSE(criteria->GetMinimum()->isEnabled());
    EXPECT_EQ(criteria->GetMaximum()->minimum(), 1);
    criteria->GetMaximum()->setValue(100);
    Settle();
    EXPECT_EQ(item->m_nChiSqChange, 0);
    EXPECT_EQ(item->m_nMaxIterations, 100);

    ASSERT_TRUE(Run(ID_CALCULATE_FIT));
    ASSERT_TRUE(WaitForFit(item));
    ASSERT_EQ(item->GetState(), CMXResult::kFitted);
    for (int j = 0; j < 2; ++j) {
        double value = 0, se = 0;
        ASSERT_TRUE(item->GetParameter(0, j, value, se));
        EXPECT_GE(LogRelativeError(value, p.certified[std::size_t(j)]), 7.0) << j;
        EXPECT_GE(LogRelativeError(se, p.certifiedSE[std::size_t(j)]), 6.0) << j;
    }
    auto* results = Tab<CNonlinFitResView>(form, NL_TAB_RESULTS);
    EXPECT_EQ(results->GetPointsEdit()->text().toInt(), p.y.GetSize());
    // Converged within the 100 iterations: the status says so.
    EXPECT_EQ(results->GetStatus()->text(), "Converged");
}

TEST_F(FitWindowTest, ALinearFitOfACertifiedLineThroughTheWindow)
{
    SNistProblem p;
    CMXGrid* table = AddNistTable("nist-linear/Norris.dat", p);
    ASSERT_NE(table, nullptr);
    ASSERT_TRUE(Enabled(ID_ADD_LINEAR));
    ASSERT_TRUE(Run(ID_ADD_LINEAR));
    auto* frame = dynamic_cast<CLinearProjectWnd*>(main->GetActiveItemFrame());
    ASSERT_NE(frame, nullptr);
    CLinearFitTabForm* form = frame->GetForm();
    ASSERT_EQ(form->GetTabCount(), LIN_TAB_COUNT);
    CMXLinear* item = form->GetLinearItem();
    auto* settings = Tab<CLinearFitView>(form, LIN_TAB_SETTINGS);
    EXPECT_EQ(settings->GetEquationCombo()->count(), 8);
    Choose(settings->GetTableCombo(), QString::fromStdString(table->GetName()));
    Choose(settings->GetXCombo(), 0);
    Choose(settings->GetYCombo(), 1);
    ASSERT_TRUE(Run(ID_CALCULATE_FIT));
    ASSERT_TRUE(WaitForFit(item));
    ASSERT_EQ(item->GetState(), CMXResult::kFitted);
    EXPECT_EQ(form->GetCurrentTab(), LIN_TAB_RESULTS);
    auto* results = dynamic_cast<CLinearFitResView*>(form->GetCurrentView());
    ASSERT_NE(results, nullptr);
    EXPECT_EQ(Cell(results->GetGrid(), 1, 1), "a (intercept)");
    EXPECT_EQ(Cell(results->GetGrid(), 2, 1), "b (gradient)");
    EXPECT_FALSE(results->GetCorrelationEdit()->text().isEmpty());
    for (int j = 0; j < 2; ++j) {
        double value = 0, se = 0;
        ASSERT_TRUE(item->GetParameter(0, j, value, se));
        EXPECT_GE(LogRelativeError(value, p.certified[std::size_t(j)]), 9.0) << j;
        EXPECT_GE(LogRelativeError(se, p.certifiedSE[std::size_t(j)]), 9.0) << j;
    }
    // A quadratic shows three letters and no correlation coefficient.
    Tab<CLinearFitView>(form, LIN_TAB_SETTINGS);
    Choose(settings->GetEquationCombo(), 1);
    EXPECT_EQ(item->GetOrder(), 2);
    EXPECT_EQ(item->GetState(), CMXResult::kNotFitted);
    ASSERT_TRUE(Run(ID_CALCULATE_FIT));
    ASSERT_TRUE(WaitForFit(item));
    EXPECT_EQ(Cell(results->GetGrid(), 3, 1), "c");
    EXPECT_TRUE(results->GetCorrelationEdit()->isHidden());
}

TEST_F(FitWindowTest, AbortEndsALongFitAtOnceAndLeavesItNotFitted)
{
    // A slow model over many points: every evaluation runs a long loop, so
    // that one pass over the points takes minutes.
    std::vector<double> xs, ys;
    for (int i = 0; i < 40000; ++i) {
        xs.push_back(1.0 + i * 1e-5);
        ys.push_back(2.0 * (1.0 + i * 1e-5) + 1.0);
    }
    CMXGrid* table = AddTable(xs, ys);
    CMXEquation* equation = AddEquation("Slow",
                                        "s = 0\r\nFOR i = 1 TO 200000\r\ns = s + a * x / 200000\r\nNEXT\r\ny = s + b",
                                        {"a", "b"});
    ASSERT_TRUE(Run(ID_ADD_NONLINEAR));
    auto* frame = dynamic_cast<CNonlinProjectWnd*>(main->GetActiveItemFrame());
    ASSERT_NE(frame, nullptr);
    CNonlinFitTabForm* form = frame->GetForm();
    CMXNonLinear* item = form->GetNonlinItem();
    auto* settings = Tab<CNonlinFitView>(form, NL_TAB_SETTINGS);
    Choose(settings->GetEquationCombo(), QString::fromStdString(equation->GetName()));
    Choose(settings->GetTableCombo(), QString::fromStdString(table->GetName()));
    Choose(settings->GetXCombo(), 0);
    Choose(settings->GetYCombo(), 1);
    ASSERT_TRUE(Run(ID_CALCULATE_FIT));
    // No progress window in the first half second; then it shows, with the parameters.
    QTest::qWait(200);
    ASSERT_TRUE(item->IsCalculating());
    EXPECT_EQ(frame->GetProgressWnd(), nullptr) << "shown before half a second";
    QElapsedTimer clock;
    clock.start();
    while (!frame->GetProgressWnd() && clock.elapsed() < 10000)
        QTest::qWait(10);
    auto* progress = qobject_cast<CNonlinearFitProgressDlg*>(frame->GetProgressWnd());
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->GetParameterList()->topLevelItemCount(), 2);
    EXPECT_FALSE(form->isEnabled());
    EXPECT_EQ(Pane(), "Calculating...");
    EXPECT_TRUE(Enabled(ID_CALCULATE_ABORT));

    // Abort: the worker stops inside the pass, not at its end, and the item
    // is not fitted. (How fast it stops is measured by the fit benchmark; the
    // bound here only has to be far below a pass, whatever the machine's load.)
    clock.restart();
    progress->GetAbortButton()->click();
    while (item->IsCalculating() && clock.elapsed() < 5000)
        QThread::msleep(1);
    const qint64 stopped = clock.elapsed();
    EXPECT_LT(stopped, 3000) << stopped << " ms";
    Settle();
    EXPECT_EQ(frame->GetProgressWnd(), nullptr);
    EXPECT_TRUE(form->isEnabled());
    EXPECT_EQ(item->GetState(), CMXResult::kNotFitted);
    EXPECT_EQ(Pane(), "Not Fitted");
    EXPECT_FALSE(Enabled(ID_CALCULATE_ABORT));
    EXPECT_TRUE(reporter->Ids().empty());
}

TEST_F(FitWindowTest, TheEstimatrixKeepsItsRangesWithinBounds)
{
    CMXEquation* equation = AddEquation("Line", "y = a + b * x", {"a", "b"});
    ASSERT_TRUE(Run(ID_ADD_NONLINEAR));
    auto* frame = dynamic_cast<CNonlinProjectWnd*>(main->GetActiveItemFrame());
    CNonlinFitTabForm* form = frame->GetForm();
    CMXNonLinear* item = form->GetNonlinItem();
    auto* settings = Tab<CNonlinFitView>(form, NL_TAB_SETTINGS);
    Choose(settings->GetEquationCombo(), QString::fromStdString(equation->GetName()));
    auto* estimates = Tab<CNonlinFitEstimateView>(form, NL_TAB_ESTIMATRIX);
    CEstimatrixGrid* grid = estimates->GetGrid();
    auto cell = [&](int row, int column) {
        std::string text;
        grid->GetCellValueText(row, column, text);
        return text;
    };
    struct Case {
        int column;
        const char* typed;
        const char* start;
        const char* end;
        const char* steps;
        int values;
    };
    // Each row types into row 1 after the rows before it.
    const Case cases[] = {
        {2, "10", "10", "", "", 1},       // a start alone: one value; end and steps stay empty
        {3, "100", "10", "100", "5", 5},  // an end above it: a range of five values
        {4, "1", "10", "100", "2", 2},    // fewer than two values become two
        {4, "25", "10", "100", "20", 20}, // more than twenty become twenty
        {4, "x", "10", "100", "5", 5},    // no number: five, with a beep
        {3, "3", "10", "", "", 1},        // an end below the start is the start
        {2, "", "", "", "", 0},           // no start: nothing is tried
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        grid->SetCellText(1, c.column, c.typed);
        EXPECT_EQ(cell(1, 2), c.start);
        EXPECT_EQ(cell(1, 3), c.end);
        EXPECT_EQ(cell(1, 4), c.steps);
        EXPECT_EQ(item->GetRangeSteps(0), c.values);
    }
    // Geometric values between two numbers of one sign: 10, 100 in two.
    grid->SetCellText(1, 2, "1");
    grid->SetCellText(1, 3, "100");
    grid->SetCellText(1, 4, "3");
    EXPECT_EQ(item->GetRangeValue(0, 1), 10.0);
}

TEST_F(FitWindowTest, SettingsOfLimitsAndWeightsFollowTheirRules)
{
    EXPECT_EQ(CResultSettingsView::ParseLimit("abc").n, 0);
    EXPECT_EQ(CResultSettingsView::ParseLimit("").n, 0);
    EXPECT_EQ(CResultSettingsView::ParseLimit("2.5x").n, 0);
    const IntDoubleRecord zero = CResultSettingsView::ParseLimit("0");
    EXPECT_EQ(zero.n, 1);
    EXPECT_EQ(zero.value, 0.0);
    const IntDoubleRecord spaced = CResultSettingsView::ParseLimit(" \t-1.5e3 \t");
    EXPECT_EQ(spaced.n, 1);
    EXPECT_EQ(spaced.value, -1500.0);
    EXPECT_EQ(CResultSettingsView::FormatLimit(spaced), "-1500");

    CMXGrid* table = AddTable({1, 2, 3}, {2, 4, 6});
    ASSERT_TRUE(Run(ID_ADD_LINEAR));
    auto* frame = dynamic_cast<CLinearProjectWnd*>(main->GetActiveItemFrame());
    CLinearFitTabForm* form = frame->GetForm();
    CMXLinear* item = form->GetLinearItem();
    auto* settings = Tab<CLinearFitView>(form, LIN_TAB_SETTINGS);
    Choose(settings->GetTableCombo(), QString::fromStdString(table->GetName()));
    Choose(settings->GetXCombo(), 0);
    Choose(settings->GetYCombo(), 1);
    // A typed limit that is no number is emptied and leaves the limit unset.
    settings->GetLimitBox()->click();
    EXPECT_TRUE(settings->GetLowerEdit()->isEnabled());
    settings->GetLowerEdit()->setText("abc");
    emit settings->GetLowerEdit()->editingFinished();
    EXPECT_TRUE(settings->GetLowerEdit()->text().isEmpty());
    EXPECT_EQ(item->m_lower.n, 0);
    settings->GetLowerEdit()->setText("0");
    emit settings->GetLowerEdit()->editingFinished();
    EXPECT_EQ(item->m_lower.n, 1);
    // Explicit weights offer the error column in a single data set only.
    Choose(settings->GetWeightingCombo(), 3);
    EXPECT_TRUE(settings->GetErrorCombo()->isEnabled());
    Choose(settings->GetLayoutCombo(), 1);
    EXPECT_FALSE(settings->GetErrorCombo()->isEnabled());
    // Choosing another table resets the columns.
    CMXGrid* other = AddTable({1}, {1});
    Tab<CLinearFitView>(form, LIN_TAB_SETTINGS);
    Choose(settings->GetTableCombo(), QString::fromStdString(other->GetName()));
    EXPECT_EQ(item->m_nXColumn, -1);
    EXPECT_EQ(item->m_nYColumn, -1);
}

TEST_F(FitWindowTest, EachSettingsChangeIsOneUndoStepThatLeavesTheFitNotFitted)
{
    CMXGrid* table = AddTable(kConc, kRate);
    CMXEquation* equation = AddEquation("Michaelis-Menten", "y = Vmax * x / (Km + x)", {"Vmax", "Km"});
    ASSERT_TRUE(Run(ID_ADD_NONLINEAR));
    auto* frame = dynamic_cast<CNonlinProjectWnd*>(main->GetActiveItemFrame());
    CNonlinFitTabForm* form = frame->GetForm();
    CMXNonLinear* item = form->GetNonlinItem();
    CActionList& actions = item->GetActionList();
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));
    auto* settings = Tab<CNonlinFitView>(form, NL_TAB_SETTINGS);
    Choose(settings->GetEquationCombo(), QString::fromStdString(equation->GetName()));
    Choose(settings->GetTableCombo(), QString::fromStdString(table->GetName()));
    Choose(settings->GetXCombo(), 0);
    Choose(settings->GetYCombo(), 1);
    EXPECT_EQ(actions.GetCount(), 4);
    // Choosing what is chosen already changes nothing and records nothing.
    Choose(settings->GetYCombo(), 1);
    EXPECT_EQ(actions.GetCount(), 4);
    auto* estimates = Tab<CNonlinFitEstimateView>(form, NL_TAB_ESTIMATRIX);
    estimates->GetGrid()->SetCellText(1, 2, "200");
    estimates->GetGrid()->SetCellText(2, 2, "0.1");
    auto* criteria = Tab<CNonlinFitCriteriaView>(form, NL_TAB_CRITERIA);
    criteria->GetCriterionBox()->click();
    criteria->GetMaximum()->setValue(50);
    Settle();
    // Only the last ten steps are kept.
    EXPECT_EQ(actions.GetCount(), 8);
    EXPECT_EQ(main->GetRouter().Query(ID_EDIT_UNDO).m_text.value_or(""), "&Undo Fitting Criteria\tCtrl+Z");

    ASSERT_TRUE(Run(ID_CALCULATE_FIT));
    ASSERT_TRUE(WaitForFit(item));
    ASSERT_EQ(item->GetState(), CMXResult::kFitted);

    // A robust fit chosen on the Settings tab: one step, results gone.
    Tab<CNonlinFitView>(form, NL_TAB_SETTINGS);
    settings->GetRobustBox()->click();
    Settle();
    EXPECT_TRUE(item->GetRobust());
    EXPECT_EQ(main->GetRouter().Query(ID_EDIT_UNDO).m_text.value_or(""), "&Undo Settings\tCtrl+Z");
    ASSERT_TRUE(Run(ID_CALCULATE_FIT));
    ASSERT_TRUE(WaitForFit(item));
    ASSERT_EQ(item->GetState(), CMXResult::kFitted);
    // Undo puts the plain weighting back, on the item and on the page, and
    // the robust results no longer stand.
    ASSERT_TRUE(Enabled(ID_EDIT_UNDO));
    ASSERT_TRUE(Run(ID_EDIT_UNDO));
    EXPECT_FALSE(item->GetRobust());
    EXPECT_FALSE(settings->GetRobustBox()->isChecked());
    EXPECT_EQ(item->GetState(), CMXResult::kNotFitted);
    EXPECT_EQ(Pane(), "Not Fitted");
    // Redo takes it again.
    ASSERT_TRUE(Enabled(ID_EDIT_REDO));
    ASSERT_TRUE(Run(ID_EDIT_REDO));
    EXPECT_TRUE(item->GetRobust());
    EXPECT_TRUE(settings->GetRobustBox()->isChecked());
    ASSERT_TRUE(Run(ID_EDIT_UNDO));

    // Undo walks back through the criteria, the estimates and the columns, one step each.
    ASSERT_TRUE(Run(ID_EDIT_UNDO));
    EXPECT_EQ(item->m_nMaxIterations, 20);
    EXPECT_EQ(item->m_nChiSqChange, 0);
    ASSERT_TRUE(Run(ID_EDIT_UNDO));
    EXPECT_EQ(item->m_nChiSqChange, 1);
    Tab<CNonlinFitCriteriaView>(form, NL_TAB_CRITERIA);
    EXPECT_TRUE(criteria->GetCriterionBox()->isChecked());
    EXPECT_EQ(criteria->GetMaximum()->value(), 20);
    ASSERT_TRUE(Run(ID_EDIT_UNDO));
    EXPECT_EQ(item->GetRangeSteps(1), 0);
    EXPECT_EQ(item->GetRangeSteps(0), 1);
    EXPECT_EQ(item->GetRangeFrom(0), 200.0);
    Tab<CNonlinFitEstimateView>(form, NL_TAB_ESTIMATRIX);
    EXPECT_EQ(Cell(estimates->GetGrid(), 2, 2), "");
    EXPECT_EQ(Cell(estimates->GetGrid(), 1, 2), "200");
    ASSERT_TRUE(Run(ID_EDIT_UNDO));
    ASSERT_TRUE(Run(ID_EDIT_UNDO));
    EXPECT_EQ(item->m_nYColumn, -1);
    EXPECT_EQ(item->m_nXColumn, 0);
    Tab<CNonlinFitView>(form, NL_TAB_SETTINGS);
    EXPECT_EQ(settings->GetYCombo()->currentIndex(), -1);
    EXPECT_EQ(settings->GetXCombo()->currentIndex(), 0);
    EXPECT_EQ(item->GetState(), CMXResult::kNotFitted);
}

TEST(EstimatePlot, TickStepsLabelsAndDevicePositionsByHand)
{
    struct Case {
        double from, to, step;
    } cases[] = {{0, 7, 2}, {0, 20, 5}, {0, 4, 1}, {0, 0.05, 0.01}, {3, 3, 0.2}, {-250, 1000, 200}};
    for (const Case& c : cases)
        EXPECT_NEAR(CEstimatePlotWnd::TickStep(c.from, c.to), c.step, c.step * 1e-12) << c.from << " " << c.to;
    // A span that is no finite number has no step, and then no ticks.
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(CEstimatePlotWnd::TickStep(0, inf), 0.0);
    EXPECT_EQ(CEstimatePlotWnd::TickStep(-inf, inf), 0.0);
    EXPECT_EQ(CEstimatePlotWnd::TickStep(std::nan(""), 1), 0.0);
    EXPECT_TRUE(CEstimatePlotWnd::Ticks(0, inf, 1, 0).empty());
    EXPECT_TRUE(CEstimatePlotWnd::Ticks(0, 1, 0, 0).empty());
    EXPECT_TRUE(CEstimatePlotWnd::Ticks(0, 1e300, 1, 0).empty());
    EXPECT_EQ(CEstimatePlotWnd::LabelExponent(0, 0), 0);
    EXPECT_EQ(CEstimatePlotWnd::LabelExponent(0, inf), 0);

    // 0 to 0.05: steps of 0.01, labels scaled by 10^2, so "x 10" to the -2 in the title.
    EXPECT_EQ(CEstimatePlotWnd::LabelExponent(0, 0.05), 2);
    const auto ticks = CEstimatePlotWnd::Ticks(0, 0.05, 0.01, 2);
    std::vector<std::string> labels;
    for (const auto& t : ticks)
        labels.push_back(t.second);
    EXPECT_EQ(labels, (std::vector<std::string>{"0", "1", "2", "3", "4", "5"}));
    EXPECT_EQ(CEstimatePlotWnd::LabelExponent(-250, 1000), -3);

    // Value to device: bottom 1000, top 0 over 0..10; far outside, held at the 16-bit ends.
    EXPECT_EQ(CEstimatePlotWnd::ToDevice(2.5, 0, 10, 1000, 0), 750);
    EXPECT_EQ(CEstimatePlotWnd::ToDevice(1e9, 0, 10, 0, 1000), 32767);
    EXPECT_EQ(CEstimatePlotWnd::ToDevice(-1e9, 0, 10, 0, 1000), -32768);
}

TEST_F(FitWindowTest, TheInteractiveEstimatorDrawsTheCurveOfTheEstimatesAndHandsThemBackAsStartValues)
{
    CMXGrid* table = AddTable(kConc, kRate);
    // A row whose y is text is no point.
    table->GetTable().SetNumber(14, 0, 0.5);
    table->GetTable().SetCell(14, 1, new CDataString("n/a"));
    CMXEquation* equation = AddEquation("Michaelis-Menten", "y = Vmax * x / (Km + x)", {"Vmax", "Km"});
    ASSERT_TRUE(Run(ID_ADD_NONLINEAR));
    auto* frame = dynamic_cast<CNonlinProjectWnd*>(main->GetActiveItemFrame());
    CNonlinFitTabForm* form = frame->GetForm();
    CMXNonLinear* item = form->GetNonlinItem();
    auto* estimates = Tab<CNonlinFitEstimateView>(form, NL_TAB_ESTIMATRIX);
    // Without an equation there is nothing to draw.
    EXPECT_FALSE(estimates->GetEstimatorButton()->isEnabled());
    auto* settings = Tab<CNonlinFitView>(form, NL_TAB_SETTINGS);
    Choose(settings->GetEquationCombo(), QString::fromStdString(equation->GetName()));
    estimates = Tab<CNonlinFitEstimateView>(form, NL_TAB_ESTIMATRIX);
    ASSERT_TRUE(estimates->GetEstimatorButton()->isEnabled());

    // No table chosen yet: the estimator says so and ends as cancelled.
    int runs = 0;
    CNonlinFitEstimateView::SetEstimatorRunner([&](CInteractiveEstimate& dialog) {
        ++runs;
        return dialog.OnInitDialog() ? QDialog::Accepted : QDialog::Rejected;
    });
    estimates->GetEstimatorButton()->click();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(reporter->Ids(), std::vector<UINT>{IDS_ESTIMATOR_NO_TABLE});
    // One usable row is too few.
    Tab<CNonlinFitView>(form, NL_TAB_SETTINGS);
    Choose(settings->GetTableCombo(), QString::fromStdString(table->GetName()));
    Choose(settings->GetXCombo(), 0);
    Choose(settings->GetYCombo(), 0);
    item->m_nYColumn = 2; // an empty column
    estimates = Tab<CNonlinFitEstimateView>(form, NL_TAB_ESTIMATRIX);
    estimates->GetEstimatorButton()->click();
    EXPECT_EQ(reporter->Ids().back(), IDS_ESTIMATOR_TOO_FEW_POINTS);
    Tab<CNonlinFitView>(form, NL_TAB_SETTINGS);
    Choose(settings->GetYCombo(), 1);
    estimates = Tab<CNonlinFitEstimateView>(form, NL_TAB_ESTIMATRIX);
    // A start already typed for Vmax comes into the estimator.
    estimates->GetGrid()->SetCellText(1, 2, "150");
    const int stepsBefore = item->GetActionList().GetCount();

    CNonlinFitEstimateView::SetEstimatorRunner([&](CInteractiveEstimate& dialog) {
        if (!dialog.OnInitDialog())
            return int(QDialog::Rejected);
        CEstimatePlotWnd* plot = dialog.GetPlot();
        auto status = [&] { return dialog.GetStatus()->text().toStdString(); };
        // Twelve points (the text row left out), scaled to the data: y 47..207 and 10 % more each way.
        EXPECT_EQ(plot->GetDataX().size(), 12u);
        double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
        plot->GetRange(x0, x1, y0, y1);
        EXPECT_EQ(x0, 0.02);
        EXPECT_EQ(x1, 1.10);
        EXPECT_NEAR(y0, 31.0, 1e-12);
        EXPECT_NEAR(y1, 223.0, 1e-12);
        EXPECT_EQ(dialog.GetRangeEdit(IDC_ESTIMATOR_Y_MAX)->text(), "223");
        EXPECT_EQ(dialog.m_estimates[0], 150.0);
        EXPECT_TRUE(IsBlank(dialog.m_estimates[1]));
        // Km not given: no curve yet.
        EXPECT_EQ(status(), "Not all parameter estimates are specified");
        EXPECT_TRUE(plot->GetCurveX().empty());
        // The user types the estimates: 101 points over the x range, by hand
        // at the middle x = 0.02 + 1.08 / 2 = 0.56: 200 x 0.56 / 0.66.
        dialog.GetGrid()->SetCellText(1, 2, "200");
        dialog.GetGrid()->SetCellText(2, 2, "0.1");
        EXPECT_EQ(status(), "OK");
        EXPECT_EQ(plot->GetCurveX().size(), 101u);
        EXPECT_NEAR(plot->GetCurveX()[50], 0.56, 1e-12);
        EXPECT_NEAR(plot->GetCurveY()[50], 200 * 0.56 / 0.66, 1e-9);
        // Text that is no number beeps and leaves the estimate blank.
        dialog.GetGrid()->SetCellText(2, 2, "abc");
        EXPECT_EQ(status(), "Not all parameter estimates are specified");
        dialog.GetGrid()->SetCellText(2, 2, "0.06");
        // X max typed below X min is raised to X min, and the curve follows the range.
        dialog.GetRangeEdit(IDC_ESTIMATOR_X_MAX)->setText("0.01");
        dialog.OnRangeEdited();
        EXPECT_EQ(dialog.m_dXMax, 0.02);
        EXPECT_EQ(dialog.GetRangeEdit(IDC_ESTIMATOR_X_MAX)->text(), "0.02");
        dialog.GetRangeEdit(IDC_ESTIMATOR_X_MIN)->setText("0");
        dialog.GetRangeEdit(IDC_ESTIMATOR_X_MAX)->setText("2");
        dialog.OnRangeEdited();
        EXPECT_EQ(plot->GetCurveX().back(), 2.0);
        EXPECT_NEAR(plot->GetCurveY().back(), 200 * 2 / 2.06, 1e-9);
        // A Km that puts a pole at x = 1 makes the arithmetic fail: status 4, no curve, still open.
        dialog.GetGrid()->SetCellText(2, 2, "-1");
        EXPECT_EQ(status(), "Error calculating theoretical curve. The parameter estimates and/or the graph scale are inappropriate.");
        EXPECT_TRUE(plot->GetCurveX().empty());
        dialog.GetGrid()->SetCellText(2, 2, "0.06");
        // Auto Scale goes back to the data's ranges.
        dialog.OnAutoScale();
        EXPECT_EQ(dialog.m_dXMax, 1.10);
        EXPECT_EQ(status(), "OK");
        // Paints without trouble at a small size.
        dialog.resize(500, 300);
        EXPECT_FALSE(plot->grab().isNull());
        return int(QDialog::Accepted);
    });
    estimates->GetEstimatorButton()->click();
    CNonlinFitEstimateView::SetEstimatorRunner({});
    // Accept wrote the estimates as start values, one value each, as one undo step.
    EXPECT_EQ(item->GetRangeFrom(0), 200.0);
    EXPECT_EQ(item->GetRangeFrom(1), 0.06);
    EXPECT_EQ(item->GetRangeSteps(0), 1);
    EXPECT_EQ(item->GetRangeSteps(1), 1);
    EXPECT_EQ(Cell(estimates->GetGrid(), 2, 2), "0.06");
    EXPECT_EQ(item->GetActionList().GetCount(), stepsBefore + 1);
    ASSERT_TRUE(Run(ID_EDIT_UNDO));
    EXPECT_EQ(item->GetRangeFrom(0), 150.0);
    EXPECT_EQ(item->GetRangeSteps(1), 0);
}

TEST_F(FitWindowTest, TheEstimatorSaysWhenTheEquationHasMoreThanOneX)
{
    CMXGrid* table = AddTable({1, 2, 3}, {2, 4, 6});
    auto* item = new CMXEquation(doc());
    item->InitNewItem();
    item->SetName("Plane", 0);
    CEquation& eq = item->GetCompiledEquation();
    eq.SetYName("y");
    eq.SetXName(0, "x", "");
    eq.SetXName(1, "z", "");
    eq.SetParameterName(0, "a", "");
    eq.SetModeFlag(1);
    eq.SetSource("y = a*x + z");
    ASSERT_NO_THROW(eq.Compile());
    ASSERT_TRUE(Run(ID_ADD_NONLINEAR));
    auto* frame = dynamic_cast<CNonlinProjectWnd*>(main->GetActiveItemFrame());
    CMXNonLinear* fit = frame->GetForm()->GetNonlinItem();
    fit->SetEquationName("Plane");
    fit->Select(table->GetName(), 0, 0, 1, -1, 0);
    // The button stays greyed for it; the dialog itself says why.
    auto* estimates = Tab<CNonlinFitEstimateView>(frame->GetForm(), NL_TAB_ESTIMATRIX);
    EXPECT_FALSE(estimates->GetEstimatorButton()->isEnabled());
    CInteractiveEstimate dialog(fit);
    ASSERT_TRUE(dialog.OnInitDialog());
    dialog.GetGrid()->SetCellText(1, 2, "2");
    EXPECT_EQ(dialog.GetStatus()->text(), "Equation not suitable");
    EXPECT_TRUE(dialog.GetPlot()->GetCurveX().empty());
}
