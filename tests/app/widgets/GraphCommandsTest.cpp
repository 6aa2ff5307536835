// The graph commands of a graph window, driven through the program's own
// command route over the sample workspace: the gallery and the XY wizard
// build a graph of the measured rates with error bars and the fitted curve
// of their fit, Add Data and Cancel, the graph tool, the property sheets of
// a graph and of a dataset, and why each command is greyed when it is.
#include "app/FitTestPump.h"
#include "app/MXDoc.h"
#include "app/MXGraph.h"
#include "app/MXGrid.h"
#include "app/widgets/EqnSourcePage.h"
#include "app/widgets/FitSourcePages.h"
#include "app/widgets/GraphProjectWnd.h"
#include "app/widgets/GraphPropertySheet.h"
#include "app/widgets/MXApp.h"
#include "app/widgets/MXMainWnd.h"
#include "data/DataString.h"
#include "draw/DrawRect.h"
#include "draw/widgets/DrawCommands.h"
#include "draw/widgets/DrawTool.h"
#include "framework/ActionList.h"
#include "graph/CatText.h"
#include "graph/DrawGraph.h"
#include "graph/GraphSources.h"
#include "graph/GraphText.h"
#include "graph/Legend.h"
#include "graph/ScaleText.h"
#include "graph/XYAxis.h"
#include "graph/DrawResults.h"
#include "graph/XYDatasetChart.h"
#include "graph/XYDatasetFit.h"
#include "graph/XYDatasetHisto.h"
#include "graph/XYDatasetTable.h"
#include "graphui/widgets/AxisManager.h"
#include "graphui/widgets/AxisPages.h"
#include "graphui/widgets/CategoryPages.h"
#include "graphui/widgets/DatasetPages.h"
#include "graphui/widgets/DrawStylePages.h"
#include "graphui/widgets/ChartPages.h"
#include "graphui/widgets/ChartWizard.h"
#include "graphui/widgets/HistoWizard.h"
#include "graphui/widgets/XYScaleFormat.h"
#include "graphui/widgets/XYWizard.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "platform/widgets/CommandIds.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

namespace {

const char* const kTable = "Initial rates";
const char* const kFit = "Michaelis-Menten fit";

// The program started on the sample workspace with a graph window open.
class GraphCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CShapeTool::ResetToSelect();
        app = std::make_unique<CMXApp>();
        ASSERT_TRUE(app->InitInstance({"marlox", MARLOX_SOURCE_DIR "/examples/Sample.mxf"}));
        reporter = std::make_unique<RecordingReporter>();
        main = app->GetMainFrame();
        main->activateWindow();
        QApplication::processEvents();
        ASSERT_TRUE(Run(ID_ADD_GRAPH));
        auto* frame = dynamic_cast<CGraphProjectWnd*>(main->GetActiveItemFrame());
        ASSERT_NE(frame, nullptr);
        view = frame->GetGraphView();
        ASSERT_NE(view, nullptr);
        CGraphView::SetDialogRunner([this](QDialog& dialog) {
            ++dialogs;
            if (answers.empty()) {
                ADD_FAILURE() << "an unexpected dialog: " << dialog.windowTitle().toStdString();
                return int(QDialog::Rejected);
            }
            auto answer = std::move(answers.front());
            answers.erase(answers.begin());
            return answer(dialog);
        });
    }
    void TearDown() override
    {
        CGraphView::SetDialogRunner({});
        CShapeTool::ResetToSelect();
        if (CMXDoc* d = doc())
            d->SetModifiedFlag(false);
        reporter.reset();
        view = nullptr;
        if (app)
            app->ExitInstance();
        app.reset();
    }

    CMXDoc* doc() const { return dynamic_cast<CMXDoc*>(app->GetProjectDoc()); }
    bool Run(UINT id)
    {
        main->GetRouter().UpdateAll();
        const bool ran = main->GetRouter().Execute(id);
        QApplication::processEvents();
        return ran;
    }
    // Why the command is greyed, as its menu entry says; empty while it is enabled.
    std::string ReasonOf(UINT id)
    {
        main->GetRouter().UpdateAll();
        QAction* action = main->GetRouter().Action(id);
        if (!action)
            return "(no menu entry)";
        return action->isEnabled() ? std::string() : action->statusTip().toStdString();
    }
    CMXDrawData& Page() const { return view->GetGraph()->GetPage(); }
    CActionList& Undo() const { return view->GetGraph()->GetActionList(); }
    // The sample's table gains a column of standard deviations, 4% of each rate.
    void AddErrorColumn()
    {
        auto* grid = dynamic_cast<CMXGrid*>(doc()->FindItem(kTable));
        ASSERT_NE(grid, nullptr);
        CMyData& t = grid->GetTable();
        t.SetCell(1, 2, new CDataString("SD"));
        for (int row = 2; row <= t.GetLastRow(1); ++row) {
            double rate = 0.0;
            ASSERT_TRUE(t.GetNumber(row, 1, rate));
            t.SetNumber(row, 2, 0.04 * rate);
        }
    }
    // The gallery answered with a kind of graph.
    void AnswerGallery(int kind)
    {
        answers.push_back([kind](QDialog& dialog) {
            auto* gallery = dynamic_cast<CSelectGraphTypeDlg*>(&dialog);
            EXPECT_NE(gallery, nullptr);
            if (!gallery)
                return int(QDialog::Rejected);
            gallery->List()->setCurrentRow(kind);
            gallery->OnCreate();
            return gallery->result();
        });
    }
    // The XY wizard walked from its first page to Finish over a source.
    void AnswerXYWizard(std::function<void(CXYWizardSheet&)> choose)
    {
        answers.push_back([choose](QDialog& dialog) {
            auto* sheet = dynamic_cast<CXYWizardSheet*>(&dialog);
            EXPECT_NE(sheet, nullptr);
            if (!sheet)
                return int(QDialog::Rejected);
            EXPECT_EQ(sheet->GetActivePage(), &sheet->m_data);
            choose(*sheet);
            // Next until the wizard can finish.
            for (int step = 0; step < 10 && !(sheet->GetWizardButtons() & PSWIZB_FINISH); ++step)
                if (!sheet->PressNext())
                    break;
            EXPECT_TRUE(sheet->PressFinish());
            return sheet->result();
        });
    }
    // The next dialog is a graph part's property sheet: body works it and closes it.
    void AnswerSheet(std::function<void(CGraphPropertySheet&)> body)
    {
        answers.push_back([body](QDialog& dialog) {
            auto* sheet = dynamic_cast<CGraphPropertySheet*>(&dialog);
            EXPECT_NE(sheet, nullptr) << dialog.windowTitle().toStdString();
            if (!sheet)
                return int(QDialog::Rejected);
            body(*sheet);
            return sheet->result();
        });
    }
    // A chart wizard walked to Finish over the rates: a new chart takes its
    // categories from the concentrations; upper is the plotted column.
    void AnswerChartWizard(bool newGraph, int upper)
    {
        answers.push_back([newGraph, upper](QDialog& dialog) {
            auto* sheet = dynamic_cast<CChartWizardSheet*>(&dialog);
            EXPECT_NE(sheet, nullptr);
            if (!sheet)
                return int(QDialog::Rejected);
            EXPECT_EQ(sheet->IsNewGraph(), newGraph);
            sheet->m_source.m_source->setCurrentIndex(sheet->m_source.m_source->findText(kTable));
            if (newGraph)
                sheet->m_source.m_category->setCurrentIndex(0);
            sheet->m_source.m_upper->setCurrentIndex(upper);
            while (!(sheet->GetWizardButtons() & PSWIZB_FINISH) && sheet->PressNext()) {
            }
            EXPECT_TRUE(sheet->PressFinish());
            return sheet->result();
        });
    }
    // A column (kind 1) or bar (kind 2) chart of the rates.
    CDrawGraph* BuildSampleChart(int kind)
    {
        AnswerGallery(kind);
        AnswerChartWizard(true, 1);
        EXPECT_TRUE(Run(ID_GRAPH_NEW));
        return view->GetSelectedGraph();
    }
    CDrawGraph* BuildSampleGraph()
    {
        AddErrorColumn();
        AnswerGallery(0);
        AnswerXYWizard([](CXYWizardSheet& sheet) {
            sheet.m_data.m_source->setCurrentIndex(sheet.m_data.m_source->findText(kTable));
            sheet.m_data.m_x->setCurrentIndex(0);
            sheet.m_data.m_y->setCurrentIndex(1);
            sheet.m_data.m_errorCheck->setChecked(true);
            sheet.m_data.m_error->setCurrentIndex(2);
        });
        EXPECT_TRUE(Run(ID_GRAPH_NEW));
        return view->GetSelectedGraph();
    }

    std::unique_ptr<CMXApp> app;
    std::unique_ptr<RecordingReporter> reporter;
    CMXMainWnd* main = nullptr;
    CGraphView* view = nullptr;
    std::vector<std::function<int(QDialog&)>> answers;
    int dialogs = 0;
};

template <class T>
std::vector<T*> PagesOf(const CHelpPropertySheet& sheet)
{
    std::vector<T*> pages;
    for (int i = 0; i < sheet.GetPageCount(); ++i)
        if (auto* page = dynamic_cast<T*>(sheet.GetPage(i)))
            pages.push_back(page);
    return pages;
}

} // namespace

TEST_F(GraphCommandsTest, TheGalleryAndTheXYWizardBuildTheRatesWithErrorBarsAndTheFittedCurve)
{
    CDrawGraph* graph = BuildSampleGraph();
    ASSERT_NE(graph, nullptr);
    EXPECT_EQ(dialogs, 2);
    EXPECT_NE(dynamic_cast<CDrawXYGraph*>(graph), nullptr);
    // Where the New Graph command puts it.
    EXPECT_EQ(graph->GetPosition(), CGraphView::kNewGraphRect);
    ASSERT_EQ(graph->GetDatasetCount(), 1);
    auto* points = dynamic_cast<CXYDatasetTable*>(graph->GetDataset(0));
    ASSERT_NE(points, nullptr);
    EXPECT_EQ(points->m_strSource, kTable);
    EXPECT_EQ(points->m_nXColumn, 0);
    EXPECT_EQ(points->m_nYColumn, 1);
    // Error bars from the SD column, plus and minus.
    EXPECT_EQ(points->m_nYPlusColumn, 2);
    EXPECT_EQ(points->m_nYErrorMode, 4);
    EXPECT_EQ(graph->GetXAxis(0)->GetTitle()->GetText(), "Substrate (ppm)");
    EXPECT_EQ(graph->GetYAxis(0)->GetTitle()->GetText(), "Rate");
    // The Y axis reaches over the highest rate and its error bar: 207 + 4%.
    EXPECT_GE(graph->GetYAxis(0)->m_dMax, 207 * 1.04);
    EXPECT_LE(graph->GetYAxis(0)->m_dMin, 47 * 0.96);
    EXPECT_EQ(Undo().GetCount(), 1);
    EXPECT_EQ(Undo().GetUndoText(), FormatString(IDS_UNDO_TEXT, {LoadString(IDS_UNDO_NEW_GRAPH)}));

    // Add Data puts the fit's curve on the same graph.
    AnswerXYWizard([](CXYWizardSheet& sheet) {
        EXPECT_FALSE(sheet.IsNewGraph());
        sheet.m_data.m_source->setCurrentIndex(sheet.m_data.m_source->findText(kFit));
    });
    ASSERT_TRUE(Run(ID_GRAPH_ADD_DATA));
    EXPECT_EQ(dialogs, 3);
    ASSERT_EQ(graph->GetDatasetCount(), 2);
    auto* curve = dynamic_cast<CXYDatasetFit*>(graph->GetDataset(1));
    ASSERT_NE(curve, nullptr);
    EXPECT_EQ(curve->m_strFit, kFit);
    EXPECT_EQ(curve->m_nFit, 0);
    EXPECT_EQ(curve->CurveRefusal(), 0u);
    EXPECT_FALSE(curve->CurveSamples(*graph->GetXAxis(0)).empty());
    // The fitted curve against the certified Michaelis-Menten parameters of
    // the treated Puromycin data (Bates & Watts 1988): Vmax 212.68370711,
    // Km 0.06412123.
    CGraphFitSource* fit = curve->GetFit();
    ASSERT_NE(fit, nullptr);
    for (double s : {0.02, 0.2, 1.1}) {
        double y = 0.0;
        ASSERT_TRUE(fit->CalcY(s, 0, nullptr, y));
        const double expected = 212.68370711 * s / (0.06412123 + s);
        EXPECT_NEAR(y, expected, 1e-5 * expected) << s;
    }
    EXPECT_EQ(Undo().GetCount(), 2);
    EXPECT_EQ(Undo().GetUndoText(), FormatString(IDS_UNDO_TEXT, {LoadString(IDS_UNDO_ADD_DATA)}));
    EXPECT_TRUE(reporter->messages.empty());

    // Each build is one step back.
    ASSERT_TRUE(Run(ID_EDIT_UNDO));
    graph = nullptr;
    for (CDrawObj* obj : Page().GetObjects())
        if (auto* g = dynamic_cast<CDrawGraph*>(obj))
            graph = g;
    ASSERT_NE(graph, nullptr);
    EXPECT_EQ(graph->GetDatasetCount(), 1);
    ASSERT_TRUE(Run(ID_EDIT_UNDO));
    for (CDrawObj* obj : Page().GetObjects())
        EXPECT_EQ(dynamic_cast<CDrawGraph*>(obj), nullptr);
}

TEST_F(GraphCommandsTest, CancelAnywhereBuildsNothing)
{
    // The gallery cancelled; then the wizard cancelled on its first page.
    answers.push_back([](QDialog&) { return int(QDialog::Rejected); });
    ASSERT_TRUE(Run(ID_GRAPH_NEW));
    AnswerGallery(0);
    answers.push_back([](QDialog& dialog) {
        auto* sheet = dynamic_cast<CXYWizardSheet*>(&dialog);
        EXPECT_NE(sheet, nullptr);
        if (sheet)
            sheet->PressCancel();
        return dialog.result();
    });
    ASSERT_TRUE(Run(ID_GRAPH_NEW));
    EXPECT_EQ(dialogs, 3);
    EXPECT_TRUE(Page().GetObjects().empty());
    EXPECT_EQ(Undo().GetCount(), 0);
}

// The gallery's column and bar charts run their wizards; Finish builds the
// chart, and Add Data gives it a second series, one undo step each.
TEST_F(GraphCommandsTest, TheChartWizardsBuildColumnAndBarChartsOfTheRates)
{
    for (int kind : {1, 2}) {
        AnswerGallery(kind);
        AnswerChartWizard(true, 1);
        const int before = Undo().GetCount();
        ASSERT_TRUE(Run(ID_GRAPH_NEW));
        CDrawGraph* graph = view->GetSelectedGraph();
        ASSERT_NE(graph, nullptr) << kind;
        if (kind == 1)
            EXPECT_NE(dynamic_cast<CDrawColumnGraph*>(graph), nullptr);
        else
            EXPECT_NE(dynamic_cast<CDrawBarGraph*>(graph), nullptr);
        ASSERT_EQ(graph->GetDatasetCount(), 1) << kind;
        auto* series = dynamic_cast<CXYDatasetChart*>(graph->GetDataset(0));
        ASSERT_NE(series, nullptr);
        EXPECT_EQ(series->m_nUpperColumn, 1);
        EXPECT_EQ(Undo().GetCount(), before + 1);
        EXPECT_EQ(ReasonOf(ID_GRAPH_ADD_DATA), "");

        AnswerChartWizard(false, 0);
        ASSERT_TRUE(Run(ID_GRAPH_ADD_DATA));
        ASSERT_EQ(graph->GetDatasetCount(), 2) << kind;
        auto* second = dynamic_cast<CXYDatasetChart*>(graph->GetDataset(1));
        ASSERT_NE(second, nullptr);
        EXPECT_EQ(second->m_nUpperColumn, 0);
        EXPECT_EQ(Undo().GetCount(), before + 2);

        // The first series' legend sample opens the series' sheet; its data
        // source page plots another column, as one undo step.
        ASSERT_NE(graph->GetLegend(), nullptr);
        CDataPointBox* sample = graph->GetLegend()->FindEntry(0);
        ASSERT_NE(sample, nullptr);
        view->Select(sample);
        answers.push_back([kind](QDialog& dialog) {
            auto* sheet = dynamic_cast<CGraphPropertySheet*>(&dialog);
            EXPECT_NE(sheet, nullptr);
            if (!sheet)
                return int(QDialog::Rejected);
            EXPECT_EQ(sheet->windowTitle().toStdString(),
                      LoadString(kind == 1 ? IDS_COLUMN_DATA_PROPERTIES : IDS_BAR_DATA_PROPERTIES));
            EXPECT_EQ(PagesOf<CDataPointChartPage>(*sheet).size(), 1u);
            EXPECT_EQ(PagesOf<CChartErrorsPage>(*sheet).size(), 1u);
            EXPECT_EQ(PagesOf<CColumnAssocProp>(*sheet).size(), 1u);
            const auto sources = PagesOf<CChartEditDataSourcePage>(*sheet);
            EXPECT_EQ(sources.size(), 1u);
            if (sources.size() == 1) {
                EXPECT_EQ(sources[0]->m_upper->currentIndex(), 1);
                sources[0]->m_upper->setCurrentIndex(0);
                sources[0]->SetModified(true);
            }
            sheet->GetButtons()->button(QDialogButtonBox::Ok)->click();
            return sheet->result();
        });
        ASSERT_TRUE(Run(ID_OBJECT_PROPERTIES));
        EXPECT_EQ(series->m_nUpperColumn, 0) << kind;
        EXPECT_EQ(Undo().GetCount(), before + 3);
    }
}

TEST_F(GraphCommandsTest, TheGraphToolOpensTheGalleryAfterTheMouseIsLetGo)
{
    ASSERT_TRUE(Run(ID_DRAW_GRAPH));
    EXPECT_EQ(CShapeTool::GetCurrentShape(), SHAPE_GRAPH);
    view->resize(900, 700);
    QWidget* port = view->viewport();
    const QPoint from = view->DocToClient(POINT{720, -720});
    const QPoint to = view->DocToClient(POINT{3600, -2880});
    RECT placed{};
    answers.push_back([&](QDialog&) {
        // The marker is gone from the page when the gallery shows.
        EXPECT_TRUE(Page().GetObjects().empty());
        return int(QDialog::Rejected);
    });
    QTest::mousePress(port, Qt::LeftButton, {}, from);
    for (const QPoint& p : {(from + to) / 2, to}) {
        QMouseEvent move(QEvent::MouseMove, QPointF(p), port->mapToGlobal(QPointF(p)), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(port, &move);
    }
    QTest::mouseRelease(port, Qt::LeftButton, {}, to);
    // Nothing runs inside the mouse handler.
    EXPECT_EQ(dialogs, 0);
    EXPECT_TRUE(Page().GetObjects().empty());
    QApplication::processEvents();
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(CShapeTool::GetCurrentShape(), SHAPE_SELECT);
    EXPECT_TRUE(Page().GetObjects().empty());
    EXPECT_EQ(Undo().GetCount(), 0);

    // Again, to the end: the graph takes the dragged rectangle.
    AddErrorColumn();
    ASSERT_TRUE(Run(ID_DRAW_GRAPH));
    AnswerGallery(0);
    AnswerXYWizard([](CXYWizardSheet& sheet) {
        sheet.m_data.m_source->setCurrentIndex(sheet.m_data.m_source->findText(kTable));
        sheet.m_data.m_x->setCurrentIndex(0);
        sheet.m_data.m_y->setCurrentIndex(1);
    });
    QTest::mousePress(port, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), port->mapToGlobal(QPointF(to)), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(port, &move);
    QTest::mouseRelease(port, Qt::LeftButton, {}, to);
    QApplication::processEvents();
    EXPECT_EQ(dialogs, 3);
    CDrawGraph* graph = view->GetSelectedGraph();
    ASSERT_NE(graph, nullptr);
    placed = graph->GetFrame();
    const RECT expected = NormalizedRect(RECT{view->ClientToDoc(from).x, view->ClientToDoc(from).y,
                                              view->ClientToDoc(to).x, view->ClientToDoc(to).y});
    EXPECT_EQ(placed, expected);
    EXPECT_EQ(graph->GetDatasetCount(), 1);
    EXPECT_EQ(Undo().GetCount(), 1);
}

TEST_F(GraphCommandsTest, PropertiesOpenTheGraphsSheetAndApplyIsOneStepBack)
{
    CDrawGraph* graph = BuildSampleGraph();
    ASSERT_NE(graph, nullptr);
    const int steps = Undo().GetCount();
    CXYAxis* y = graph->GetYAxis(0);
    ASSERT_TRUE(y->m_bAutoMax);
    const double before = y->m_dMax;
    answers.push_back([&](QDialog& dialog) {
        auto* sheet = dynamic_cast<CGraphPropertySheet*>(&dialog);
        EXPECT_NE(sheet, nullptr);
        if (!sheet)
            return int(QDialog::Rejected);
        EXPECT_EQ(sheet->windowTitle().toStdString(), LoadString(IDS_XY_GRAPH_PROPERTIES));
        EXPECT_EQ(PagesOf<CGraphFramePage>(*sheet).size(), 1u);
        EXPECT_EQ(PagesOf<CAxisTicksPage>(*sheet).size(), 2u);
        const auto scales = PagesOf<CAxisScalePage>(*sheet);
        EXPECT_EQ(scales.size(), 2u);
        if (scales.size() != 2)
            return int(QDialog::Rejected);
        // The Y scale: a manual finish of 400.
        CAxisScalePage* yScale = scales[1];
        if (yScale->m_autos[1]->isChecked())
            yScale->m_autos[1]->click();
        EXPECT_TRUE(yScale->m_edits[1]->isEnabled());
        yScale->m_edits[1]->setText("400");
        sheet->GetButtons()->button(QDialogButtonBox::Apply)->click();
        EXPECT_DOUBLE_EQ(y->m_dMax, 400.0);
        EXPECT_FALSE(y->m_bAutoMax);
        // Cancel now only closes: Apply has been written.
        sheet->reject();
        return sheet->result();
    });
    ASSERT_TRUE(Run(ID_OBJECT_PROPERTIES));
    EXPECT_EQ(dialogs, 3);
    EXPECT_DOUBLE_EQ(y->m_dMax, 400.0);
    ASSERT_EQ(Undo().GetCount(), steps + 1);
    EXPECT_EQ(Undo().GetUndoText(), FormatString(IDS_UNDO_TEXT, {LoadString(IDS_UNDO_PROPERTIES)}));
    ASSERT_TRUE(Run(ID_EDIT_UNDO));
    CDrawGraph* restored = nullptr;
    for (CDrawObj* obj : Page().GetObjects())
        if (auto* g = dynamic_cast<CDrawGraph*>(obj))
            restored = g;
    ASSERT_NE(restored, nullptr);
    EXPECT_TRUE(restored->GetYAxis(0)->m_bAutoMax);
    EXPECT_DOUBLE_EQ(restored->GetYAxis(0)->m_dMax, before);
}

TEST_F(GraphCommandsTest, AFittedCurvesSheetChoosesItsFitOnItsDataSourcePage)
{
    CDrawGraph* graph = BuildSampleGraph();
    ASSERT_NE(graph, nullptr);
    AnswerXYWizard([](CXYWizardSheet& sheet) {
        sheet.m_data.m_source->setCurrentIndex(sheet.m_data.m_source->findText(kFit));
    });
    ASSERT_TRUE(Run(ID_GRAPH_ADD_DATA));
    ASSERT_EQ(graph->GetDatasetCount(), 2);
    CLegend* legend = graph->GetLegend();
    ASSERT_NE(legend, nullptr);
    CDataPointBox* sample = legend->FindEntry(1);
    ASSERT_NE(sample, nullptr);
    view->Select(sample);
    answers.push_back([&](QDialog& dialog) {
        auto* sheet = dynamic_cast<CGraphPropertySheet*>(&dialog);
        EXPECT_NE(sheet, nullptr);
        if (!sheet)
            return int(QDialog::Rejected);
        EXPECT_EQ(sheet->windowTitle().toStdString(), LoadString(IDS_FITTED_DATA_PROPERTIES));
        EXPECT_EQ(PagesOf<CDataPointPage>(*sheet).size(), 1u);
        EXPECT_EQ(PagesOf<CJoinPointPropPage>(*sheet).size(), 1u);
        EXPECT_EQ(PagesOf<CCurveStylePropPage>(*sheet).size(), 1u);
        EXPECT_EQ(PagesOf<CXYErrorsPage>(*sheet).size(), 1u);
        EXPECT_EQ(PagesOf<CAxisAssociationProp>(*sheet).size(), 1u);
        const auto sources = PagesOf<CFitSourcePage>(*sheet);
        EXPECT_EQ(sources.size(), 1u);
        if (sources.size() == 1) {
            EXPECT_EQ(sources[0]->GetResultsCombo()->currentText().toStdString(), kFit);
            EXPECT_EQ(sources[0]->GetFitNumberEdit()->text(), "1");
        }
        // OK with nothing touched leaves the dataset as it was.
        sheet->GetButtons()->button(QDialogButtonBox::Ok)->click();
        return sheet->result();
    });
    ASSERT_TRUE(Run(ID_OBJECT_PROPERTIES));
    EXPECT_EQ(dialogs, 4);
    auto* curve = dynamic_cast<CXYDatasetFit*>(graph->GetDataset(1));
    ASSERT_NE(curve, nullptr);
    EXPECT_EQ(curve->m_strFit, kFit);
    EXPECT_EQ(curve->m_nFit, 0);
    EXPECT_TRUE(reporter->messages.empty());

    // The table's sample opens the sheet of plotted columns.
    view->Select(legend->FindEntry(0));
    answers.push_back([&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle().toStdString(), LoadString(IDS_DATA_PROPERTIES));
        auto* sheet = dynamic_cast<CGraphPropertySheet*>(&dialog);
        if (sheet) {
            EXPECT_EQ(PagesOf<CDataSourcePage>(*sheet).size(), 1u);
        }
        return int(QDialog::Rejected);
    });
    ASSERT_TRUE(Run(ID_OBJECT_PROPERTIES));
    EXPECT_EQ(dialogs, 5);
}

TEST_F(GraphCommandsTest, GraphCommandsAreGreyedWithTheirReasons)
{
    for (UINT id : {ID_GRAPH_ADD_DATA, ID_GRAPH_AXIS_MANAGER, ID_GRAPH_SHOW_LEGEND})
        EXPECT_EQ(ReasonOf(id), LoadString(IDS_REASON_SELECT_GRAPH)) << id;
    EXPECT_EQ(ReasonOf(ID_GRAPH_NEW), "");
    EXPECT_EQ(ReasonOf(ID_DRAW_GRAPH), "");
    EXPECT_EQ(ReasonOf(ID_DRAW_RESULTS_LISTING), "");
    // A rectangle is no graph.
    auto* rect = new CDrawRect({100, -100, 1000, -800}, &Page());
    Page().AddObject(rect);
    view->Select(rect);
    EXPECT_EQ(ReasonOf(ID_GRAPH_ADD_DATA), LoadString(IDS_REASON_SELECT_GRAPH));
    // A graph or a chart: its commands are there.
    CDrawGraph* graph = new CDrawXYGraph({1500, -300, 4000, -2000}, &Page());
    view->Select(graph);
    for (UINT id : {ID_GRAPH_ADD_DATA, ID_GRAPH_AXIS_MANAGER, ID_GRAPH_SHOW_LEGEND})
        EXPECT_EQ(ReasonOf(id), "") << id;
    CDrawGraph* chart = new CDrawColumnGraph({1500, -2500, 4000, -4000}, &Page());
    view->Select(chart);
    EXPECT_EQ(ReasonOf(ID_GRAPH_ADD_DATA), "");
    EXPECT_EQ(ReasonOf(ID_GRAPH_AXIS_MANAGER), "");

    // Without a graph window the graph commands say what to open.
    main->CloseAllItemWindows();
    QApplication::processEvents();
    view = nullptr;
    for (UINT id : {ID_GRAPH_NEW, ID_GRAPH_ADD_DATA, ID_GRAPH_AXIS_MANAGER, ID_GRAPH_SHOW_LEGEND, ID_DRAW_RESULTS_LISTING,
                    ID_DRAW_GRAPH, ID_DRAW_SELECT, ID_DRAW_TEXT})
        EXPECT_EQ(ReasonOf(id), LoadString(IDS_REASON_NO_GRAPH_PAGE)) << id;
}

TEST_F(GraphCommandsTest, ShowLegendAndTheAxisManagerChangeTheGraphAsOneStepEach)
{
    CDrawGraph* graph = BuildSampleGraph();
    ASSERT_NE(graph, nullptr);
    const int steps = Undo().GetCount();
    ASSERT_TRUE(graph->GetLegend()->IsShown());
    ASSERT_TRUE(Run(ID_GRAPH_SHOW_LEGEND));
    EXPECT_FALSE(graph->GetLegend()->IsShown());
    EXPECT_EQ(Undo().GetCount(), steps + 1);

    // A second Y axis through the axis manager.
    answers.push_back([](QDialog& dialog) {
        auto* sheet = dynamic_cast<CAxisManagerSheet*>(&dialog);
        EXPECT_NE(sheet, nullptr);
        if (!sheet)
            return int(QDialog::Rejected);
        sheet->m_main.m_options[1]->setChecked(true);
        EXPECT_TRUE(sheet->PressNext());
        EXPECT_TRUE(sheet->PressFinish());
        return sheet->result();
    });
    ASSERT_TRUE(Run(ID_GRAPH_AXIS_MANAGER));
    EXPECT_EQ(graph->GetYAxisCount(), 2);
    EXPECT_EQ(Undo().GetCount(), steps + 2);
    EXPECT_EQ(Undo().GetUndoText(), FormatString(IDS_UNDO_TEXT, {LoadString(IDS_UNDO_AXIS_MANAGER)}));
}

TEST_F(GraphCommandsTest, ARunningWizardFollowsTheRenameOfItsSource)
{
    AnswerGallery(0);
    answers.push_back([this](QDialog& dialog) {
        auto* sheet = dynamic_cast<CXYWizardSheet*>(&dialog);
        EXPECT_NE(sheet, nullptr);
        if (!sheet)
            return int(QDialog::Rejected);
        EXPECT_EQ(view->GetRunningWizard(), sheet);
        sheet->m_data.m_source->setCurrentIndex(sheet->m_data.m_source->findText(kTable));
        sheet->m_data.m_x->setCurrentIndex(0);
        sheet->m_data.m_y->setCurrentIndex(1);
        EXPECT_TRUE(sheet->PressNext());
        // The workspace renames the table while the wizard is open: the
        // notice reaches the wizard through the view.
        doc()->FindItem(kTable)->SetName("Rates of run 1");
        EXPECT_EQ(sheet->m_data.m_strSource, "Rates of run 1");
        EXPECT_EQ(sheet->m_data.m_source->currentText(), "Rates of run 1");
        while (!(sheet->GetWizardButtons() & PSWIZB_FINISH) && sheet->PressNext()) {
        }
        EXPECT_TRUE(sheet->PressFinish());
        return sheet->result();
    });
    ASSERT_TRUE(Run(ID_GRAPH_NEW));
    EXPECT_EQ(view->GetRunningWizard(), nullptr);
    CDrawGraph* graph = view->GetSelectedGraph();
    ASSERT_NE(graph, nullptr);
    ASSERT_EQ(graph->GetDatasetCount(), 1);
    EXPECT_EQ(graph->GetDataset(0)->m_strSource, "Rates of run 1");
}

TEST_F(GraphCommandsTest, TheHistogramWizardBuildsAHistogramOfTheRates)
{
    AnswerGallery(3);
    answers.push_back([](QDialog& dialog) {
        auto* sheet = dynamic_cast<CHistoWizardSheet*>(&dialog);
        EXPECT_NE(sheet, nullptr);
        if (!sheet)
            return int(QDialog::Rejected);
        sheet->m_source.m_source->setCurrentIndex(sheet->m_source.m_source->findText(kTable));
        sheet->m_source.m_values->setCurrentIndex(1);
        sheet->m_source.m_width->setText("100");
        while (!(sheet->GetWizardButtons() & PSWIZB_FINISH) && sheet->PressNext()) {
        }
        EXPECT_TRUE(sheet->PressFinish());
        return sheet->result();
    });
    ASSERT_TRUE(Run(ID_GRAPH_NEW));
    auto* graph = dynamic_cast<CDrawHistoGraph*>(view->GetSelectedGraph());
    ASSERT_NE(graph, nullptr);
    ASSERT_EQ(graph->GetDatasetCount(), 1);
    auto* bins = dynamic_cast<CXYDatasetHisto*>(graph->GetDataset(0));
    ASSERT_NE(bins, nullptr);
    EXPECT_EQ(bins->m_nColumn, 1);
    EXPECT_DOUBLE_EQ(bins->m_dBinWidth, 100.0);
    // The twelve rates in bins of 100 from 0 (counted by hand): 47, 76, 97;
    // six from 107 to 191; 200, 201, 207.
    double low = 0.0, high = 0.0;
    ASSERT_TRUE(bins->GetYRange(false, low, high));
    EXPECT_DOUBLE_EQ(low, 3.0);
    EXPECT_DOUBLE_EQ(high, 6.0);
    EXPECT_EQ(Undo().GetCount(), 1);

    // Add Data gives the histogram graph a second histogram, of the substrates.
    answers.push_back([](QDialog& dialog) {
        auto* sheet = dynamic_cast<CHistoWizardSheet*>(&dialog);
        EXPECT_NE(sheet, nullptr);
        if (!sheet)
            return int(QDialog::Rejected);
        EXPECT_FALSE(sheet->IsNewGraph());
        sheet->m_source.m_source->setCurrentIndex(sheet->m_source.m_source->findText(kTable));
        sheet->m_source.m_values->setCurrentIndex(0);
        sheet->m_source.m_width->setText("0.5");
        while (!(sheet->GetWizardButtons() & PSWIZB_FINISH) && sheet->PressNext()) {
        }
        EXPECT_TRUE(sheet->PressFinish());
        return sheet->result();
    });
    ASSERT_TRUE(Run(ID_GRAPH_ADD_DATA));
    ASSERT_EQ(graph->GetDatasetCount(), 2);
    auto* second = dynamic_cast<CXYDatasetHisto*>(graph->GetDataset(1));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->m_nColumn, 0);
    EXPECT_DOUBLE_EQ(second->m_dBinWidth, 0.5);
    EXPECT_EQ(Undo().GetCount(), 2);
}

TEST_F(GraphCommandsTest, ResultsListingPlacesTheChosenFitAndItsSheetChangesIt)
{
    answers.push_back([](QDialog& dialog) {
        auto* chooser = dynamic_cast<CResultsListingDlg*>(&dialog);
        EXPECT_NE(chooser, nullptr);
        if (!chooser)
            return int(QDialog::Rejected);
        QComboBox* source = chooser->Fields()->Source();
        EXPECT_GE(source->findText(kFit), 0);
        source->setCurrentIndex(source->findText(kFit));
        chooser->accept();
        return chooser->result();
    });
    ASSERT_TRUE(Run(ID_DRAW_RESULTS_LISTING));
    ASSERT_EQ(view->GetSelection().size(), 1u);
    auto* listing = dynamic_cast<CDrawResults*>(view->GetSelection().front());
    ASSERT_NE(listing, nullptr);
    EXPECT_EQ(listing->GetItemName(), kFit);
    EXPECT_EQ(listing->GetFitNumber(), 0);
    EXPECT_EQ(Undo().GetCount(), 1);
    EXPECT_EQ(Undo().GetUndoText(), FormatString(IDS_UNDO_TEXT, {LoadString(IDS_UNDO_RESULTS_LISTING)}));

    // Its sheet begins with the Source page.
    answers.push_back([](QDialog& dialog) {
        auto* sheet = dynamic_cast<CGraphPropertySheet*>(&dialog);
        EXPECT_NE(sheet, nullptr);
        if (!sheet)
            return int(QDialog::Rejected);
        EXPECT_EQ(sheet->windowTitle().toStdString(), LoadString(IDS_RESULTS_PROPERTIES));
        const auto sources = PagesOf<CResultsListingPage>(*sheet);
        EXPECT_EQ(sources.size(), 1u);
        if (sources.size() == 1)
            sources[0]->Fields()->NumberEdit()->setText("2");
        sheet->GetButtons()->button(QDialogButtonBox::Ok)->click();
        return sheet->result();
    });
    ASSERT_TRUE(Run(ID_OBJECT_PROPERTIES));
    EXPECT_EQ(listing->GetFitNumber(), 1);
    EXPECT_EQ(Undo().GetCount(), 2);
}

TEST_F(GraphCommandsTest, TheLegendBoxSheetOrdersTheEntries)
{
    CDrawGraph* graph = BuildSampleGraph();
    ASSERT_NE(graph, nullptr);
    AnswerXYWizard([](CXYWizardSheet& sheet) {
        sheet.m_data.m_source->setCurrentIndex(sheet.m_data.m_source->findText(kFit));
    });
    ASSERT_TRUE(Run(ID_GRAPH_ADD_DATA));
    CLegend* legend = graph->GetLegend();
    ASSERT_NE(legend, nullptr);
    ASSERT_NE(legend->GetBox(), nullptr);
    view->Select(legend->GetBox());
    answers.push_back([](QDialog& dialog) {
        auto* sheet = dynamic_cast<CGraphPropertySheet*>(&dialog);
        EXPECT_NE(sheet, nullptr);
        if (!sheet)
            return int(QDialog::Rejected);
        EXPECT_EQ(sheet->windowTitle().toStdString(), LoadString(IDS_LEGEND_BOX_PROPERTIES));
        const auto orders = PagesOf<CLegendOrderPage>(*sheet);
        EXPECT_EQ(orders.size(), 1u);
        if (orders.size() == 1) {
            orders[0]->m_list->setCurrentRow(1);
            orders[0]->MoveUp();
        }
        sheet->GetButtons()->button(QDialogButtonBox::Ok)->click();
        return sheet->result();
    });
    ASSERT_TRUE(Run(ID_OBJECT_PROPERTIES));
    // The fitted curve now comes first in the legend (and is drawn first).
    EXPECT_EQ(graph->GetLegendEntryDataset(0), graph->GetDataset(1));
    EXPECT_EQ(graph->GetLegendEntryDataset(1), graph->GetDataset(0));
}

TEST_F(GraphCommandsTest, ADoubleClickOpensTheGraphsSheetOnTheScaleOfTheAxisUnderTheMouse)
{
    CDrawGraph* graph = BuildSampleGraph();
    ASSERT_NE(graph, nullptr);
    view->resize(900, 700);
    view->ClearSelection();
    const RECT frame = graph->GetFrame();
    const LONG midX = (frame.left + frame.right) / 2, midY = (frame.top + frame.bottom) / 2;
    struct Case {
        POINT at;
        int scale; // which scale page opens: 0 X, 1 Y, -1 the first page
    };
    for (const Case& c : {Case{{midX, frame.top}, 0}, Case{{midX, frame.bottom}, 0}, Case{{frame.left, midY}, 1},
                          Case{{frame.right, midY}, 1}, Case{{midX, midY}, -1}}) {
        int shown = -2;
        answers.push_back([&](QDialog& dialog) {
            auto* sheet = dynamic_cast<CGraphPropertySheet*>(&dialog);
            EXPECT_NE(sheet, nullptr);
            if (!sheet)
                return int(QDialog::Rejected);
            const auto scales = PagesOf<CAxisScalePage>(*sheet);
            QWidget* active = sheet->GetPage(sheet->GetActiveIndex());
            shown = active == sheet->GetPage(0) ? -1 : -2;
            for (std::size_t i = 0; i < scales.size(); ++i)
                if (active == scales[i])
                    shown = int(i);
            return int(QDialog::Rejected);
        });
        const QPoint client = view->DocToClient(c.at);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, client);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, client);
        QApplication::processEvents();
        EXPECT_EQ(shown, c.scale) << c.at.x << ", " << c.at.y;
    }
    EXPECT_EQ(dialogs, 2 + 5);
}

TEST_F(GraphCommandsTest, AnEquationCurvesSheetChoosesItsEquationOnItsEquationPage)
{
    CDrawGraph* graph = new CDrawXYGraph(CGraphView::kNewGraphRect, &Page());
    auto* curve = new CXYDatasetCurve("Michaelis-Menten", graph);
    curve->m_params = {200.0, 0.1};
    graph->AddDataset(curve, "Rate law");
    view->Select(graph->GetLegend()->FindEntry(0));
    answers.push_back([](QDialog& dialog) {
        auto* sheet = dynamic_cast<CGraphPropertySheet*>(&dialog);
        EXPECT_NE(sheet, nullptr);
        if (!sheet)
            return int(QDialog::Rejected);
        EXPECT_EQ(sheet->windowTitle().toStdString(), LoadString(IDS_CURVE_PROPERTIES));
        EXPECT_EQ(PagesOf<CCurveStylePropPage>(*sheet).size(), 1u);
        EXPECT_EQ(PagesOf<CAxisAssociationProp>(*sheet).size(), 1u);
        // Style, equation, parameters, constants, axes: in that order.
        EXPECT_NE(dynamic_cast<CCurveStylePropPage*>(sheet->GetPage(0)), nullptr);
        EXPECT_NE(dynamic_cast<CEqnSourcePage*>(sheet->GetPage(1)), nullptr);
        auto* params = dynamic_cast<CCurveParamsProp*>(sheet->GetPage(2));
        EXPECT_NE(params, nullptr);
        EXPECT_NE(dynamic_cast<CCurveConstProp*>(sheet->GetPage(3)), nullptr);
        EXPECT_NE(dynamic_cast<CAxisAssociationProp*>(sheet->GetPage(4)), nullptr);
        if (params) {
            EXPECT_EQ(params->m_grid->rowCount(), 2);
            if (params->m_grid->rowCount() == 2) {
                EXPECT_EQ(params->m_grid->item(0, 1)->text(), "200");
                EXPECT_EQ(params->m_grid->item(1, 1)->text(), "0.1");
            }
        }
        const auto equations = PagesOf<CEqnSourcePage>(*sheet);
        EXPECT_EQ(equations.size(), 1u);
        if (equations.size() == 1) {
            QComboBox* list = equations[0]->GetEquationList();
            EXPECT_EQ(list->count(), 1);
            EXPECT_EQ(list->currentText().toStdString(), "Michaelis-Menten");
            // The compiled equation can be drawn: no complaint under the list.
            EXPECT_TRUE(equations[0]->GetStatus()->text().isEmpty());
        }
        sheet->GetButtons()->button(QDialogButtonBox::Ok)->click();
        return sheet->result();
    });
    ASSERT_TRUE(Run(ID_OBJECT_PROPERTIES));
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(curve->m_strFit, "Michaelis-Menten");
    EXPECT_TRUE(curve->IsReady());
}

TEST_F(GraphCommandsTest, AnotherEquationOnTheSheetListsItsOwnParameters)
{
    // Km and Vmax again, in another order, and a third parameter.
    AddEquation(*doc(), "Hill", "y = Vmax * x^n / (Km^n + x^n)", {"Km", "n", "Vmax"});
    CDrawGraph* graph = new CDrawXYGraph(CGraphView::kNewGraphRect, &Page());
    auto* curve = new CXYDatasetCurve("Michaelis-Menten", graph);
    curve->m_params = {200.0, 0.1};
    graph->AddDataset(curve, "Rate law");
    view->Select(graph->GetLegend()->FindEntry(0));
    answers.push_back([this](QDialog& dialog) {
        auto* sheet = dynamic_cast<CGraphPropertySheet*>(&dialog);
        auto* params = sheet ? dynamic_cast<CCurveParamsProp*>(sheet->GetPage(2)) : nullptr;
        const auto equations = sheet ? PagesOf<CEqnSourcePage>(*sheet) : std::vector<CEqnSourcePage*>{};
        EXPECT_NE(params, nullptr);
        EXPECT_EQ(equations.size(), 1u);
        if (!params || equations.size() != 1)
            return int(QDialog::Rejected);
        // A value typed before the switch stays with its name.
        params->m_grid->item(0, 1)->setText("250");
        QComboBox* list = equations[0]->GetEquationList();
        const int hill = list->findText("Hill");
        EXPECT_GE(hill, 0);
        list->setCurrentIndex(hill);
        emit list->activated(hill);
        auto cells = [params] {
            std::vector<std::string> shown;
            for (int r = 0; r < params->m_grid->rowCount(); ++r)
                for (int c = 0; c < 2; ++c)
                    shown.push_back(params->m_grid->item(r, c) ? params->m_grid->item(r, c)->text().toStdString() : "?");
            return shown;
        };
        EXPECT_EQ(cells(), (std::vector<std::string>{"Km", "0.1", "n", "", "Vmax", "250"}));
        // n is still blank: OK is refused until it is given.
        sheet->GetButtons()->button(QDialogButtonBox::Ok)->click();
        EXPECT_EQ(reporter->Ids(), std::vector<UINT>{IDS_NUMERIC_ENTRIES_INVALID});
        params->m_grid->item(1, 1)->setText("2");
        sheet->GetButtons()->button(QDialogButtonBox::Ok)->click();
        return sheet->result();
    });
    ASSERT_TRUE(Run(ID_OBJECT_PROPERTIES));
    EXPECT_EQ(curve->m_strFit, "Hill");
    EXPECT_EQ(curve->m_params, (std::vector<double>{0.1, 2.0, 250.0}));
    EXPECT_TRUE(curve->IsReady());
}

TEST_F(GraphCommandsTest, AGraphsContextMenuOffersItsCommands)
{
    CDrawGraph* graph = BuildSampleGraph();
    ASSERT_NE(graph, nullptr);
    const RECT frame = graph->GetFrame();
    auto idsOf = [](QMenu* menu) {
        std::vector<UINT> ids;
        for (QAction* a : menu->actions())
            if (!a->isSeparator() && !a->menu())
                ids.push_back(a->data().toUInt());
        return ids;
    };
    std::unique_ptr<QMenu> menu(
        view->BuildContextMenu(view->DocToClient(POINT{(frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2})));
    ASSERT_NE(menu, nullptr);
    const std::vector<UINT> ids = idsOf(menu.get());
    ASSERT_GE(ids.size(), 4u);
    EXPECT_EQ(std::vector<UINT>(ids.begin(), ids.begin() + 4),
              (std::vector<UINT>{ID_OBJECT_PROPERTIES, ID_GRAPH_ADD_DATA, ID_GRAPH_AXIS_MANAGER, ID_GRAPH_SHOW_LEGEND}));
    for (QAction* a : menu->actions()) {
        if (a->data().toUInt() == ID_GRAPH_SHOW_LEGEND) {
            EXPECT_TRUE(a->isChecked());
        }
    }
    // Another object's menu has none of them.
    auto* rect = new CDrawRect({100, -5000, 1000, -5800}, &Page());
    Page().AddObject(rect);
    menu.reset(view->BuildContextMenu(view->DocToClient(POINT{500, -5400})));
    ASSERT_NE(menu, nullptr);
    for (UINT id : idsOf(menu.get()))
        EXPECT_NE(id, UINT(ID_GRAPH_ADD_DATA));
}

TEST_F(GraphCommandsTest, ATickLabelBlocksSheetWritesItsNumbersWithTheChosenDecimals)
{
    CDrawGraph* graph = BuildSampleGraph();
    ASSERT_NE(graph, nullptr);
    CXYAxis* x = graph->GetXAxis(0);
    x->m_bAutoMin = x->m_bAutoMax = x->m_bAutoMajor = 0;
    x->m_dMin = 0.0;
    x->m_dMax = 10.0;
    x->m_dMajor = 2.0;
    CXYScaleText* labels = x->GetTickLabels();
    ASSERT_NE(labels, nullptr);
    auto texts = [labels] {
        std::vector<std::string> out;
        for (const CTickLabel& label : labels->Labels())
            out.push_back(label.text);
        return out;
    };
    const std::vector<std::string> plain{"0", "2", "4", "6", "8", "10"};
    ASSERT_EQ(texts(), plain);
    view->Select(labels);
    const int steps = Undo().GetCount();
    AnswerSheet([&](CGraphPropertySheet& sheet) {
        EXPECT_EQ(sheet.windowTitle().toStdString(), LoadString(IDS_AXIS_SCALE_PROPERTIES));
        EXPECT_EQ(sheet.windowTitle().toStdString(), "Axis Scale Properties");
        EXPECT_NE(dynamic_cast<CXYScaleFormat*>(sheet.GetPage(0)), nullptr);
        EXPECT_EQ(PagesOf<CDrawFontPage>(sheet).size(), 1u);
        EXPECT_EQ(PagesOf<CLocationPage>(sheet).size(), 1u);
        const auto formats = PagesOf<CXYScaleFormat>(sheet);
        if (formats.size() != 1)
            return;
        // Out of range: refused with a message, the sheet stays on the page.
        formats[0]->m_decimals->setText("16");
        sheet.GetButtons()->button(QDialogButtonBox::Apply)->click();
        EXPECT_EQ(reporter->Ids().back(), IDS_ENTER_INTEGER_RANGE);
        EXPECT_EQ(sheet.GetActiveIndex(), 0);
        EXPECT_EQ(texts(), plain);
        formats[0]->m_decimals->setText("2");
        formats[0]->m_zeros->setCurrentIndex(0);
        sheet.GetButtons()->button(QDialogButtonBox::Apply)->click();
        EXPECT_EQ(texts(), (std::vector<std::string>{"0.00", "2.00", "4.00", "6.00", "8.00", "10.00"}));
        sheet.reject();
    });
    ASSERT_TRUE(Run(ID_OBJECT_PROPERTIES));
    EXPECT_EQ(labels->GetNumberFormat().m_decimals, 2);
    EXPECT_EQ(Undo().GetCount(), steps + 1);

    // Cancel without Apply leaves the block as it was.
    AnswerSheet([&](CGraphPropertySheet& sheet) {
        for (CXYScaleFormat* page : PagesOf<CXYScaleFormat>(sheet)) {
            EXPECT_EQ(page->m_decimals->text(), "2");
            page->m_decimals->setText("4");
            page->m_alignment->setCurrentIndex(0);
        }
        sheet.reject();
    });
    const WORD alignment = labels->GetParaFormat(nullptr)->wAlignment;
    ASSERT_TRUE(Run(ID_OBJECT_PROPERTIES));
    EXPECT_EQ(labels->GetNumberFormat().m_decimals, 2);
    EXPECT_EQ(labels->GetParaFormat(nullptr)->wAlignment, alignment);
    EXPECT_EQ(texts().front(), "0.00");
    EXPECT_EQ(Undo().GetCount(), steps + 1);
}

namespace {

// A column chart (1) and a bar chart (2) of the rates, with a column of dose
// names beside them.
class ChartSheetTest : public GraphCommandsTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        GraphCommandsTest::SetUp();
        auto* grid = dynamic_cast<CMXGrid*>(doc()->FindItem(kTable));
        ASSERT_NE(grid, nullptr);
        CMyData& t = grid->GetTable();
        t.SetCell(1, 3, new CDataString("Dose"));
        for (int row = 2; row <= t.GetLastRow(1); ++row)
            t.SetCell(row, 3, new CDataString("D" + std::to_string(row - 1)));
        graph = BuildSampleChart(GetParam());
        ASSERT_NE(graph, nullptr);
        axis = graph->GetCategoryAxis();
        ASSERT_NE(axis, nullptr);
        ASSERT_EQ(axis->m_category.column, 0);
    }
    bool IsColumnChart() const { return GetParam() == 1; }

    CDrawGraph* graph = nullptr;
    CXYAxis* axis = nullptr;
};

// What a page of a graph's sheet is, the most derived kind first.
std::string KindOfPage(QWidget* page)
{
    if (dynamic_cast<CGraphFramePage*>(page))
        return "frame";
    if (dynamic_cast<CCategoryTicksPage*>(page))
        return "category ticks";
    if (dynamic_cast<CCategoryAxisPage*>(page))
        return "categories";
    if (dynamic_cast<CAxisTicksPage*>(page))
        return "ticks";
    if (dynamic_cast<CAxisScalePage*>(page))
        return "scale";
    if (dynamic_cast<CLocationPage*>(page))
        return "location";
    return "style";
}

} // namespace

TEST_P(ChartSheetTest, PropertiesShowTheCategoryPagesOfTheCategoryAxisAndApplyThem)
{
    EXPECT_EQ(axis, IsColumnChart() ? graph->GetXAxis(0) : graph->GetYAxis(0));
    const int steps = Undo().GetCount();
    AnswerSheet([&](CGraphPropertySheet& sheet) {
        EXPECT_EQ(sheet.windowTitle().toStdString(),
                  LoadString(IsColumnChart() ? IDS_COLUMN_GRAPH_PROPERTIES : IDS_BAR_GRAPH_PROPERTIES));
        std::vector<std::string> kinds;
        for (int i = 0; i < sheet.GetPageCount(); ++i)
            if (KindOfPage(sheet.GetPage(i)) != "style")
                kinds.push_back(KindOfPage(sheet.GetPage(i)));
        const std::vector<std::string> expected =
            IsColumnChart()
                ? std::vector<std::string>{"frame", "category ticks", "categories", "ticks", "scale", "location"}
                : std::vector<std::string>{"frame", "ticks", "scale", "category ticks", "categories", "location"};
        EXPECT_EQ(kinds, expected);
        EXPECT_EQ(sheet.GetActiveIndex(), 0);
        const auto categories = PagesOf<CCategoryAxisPage>(sheet);
        const auto ticks = PagesOf<CCategoryTicksPage>(sheet);
        EXPECT_EQ(categories.size(), 1u);
        EXPECT_EQ(ticks.size(), 1u);
        if (categories.size() != 1 || ticks.size() != 1)
            return;
        // The names in column 4, series overlapping by a tenth, ticks both sides.
        EXPECT_EQ(categories[0]->m_column->currentIndex(), 0);
        categories[0]->m_column->setCurrentIndex(3);
        categories[0]->m_overlap->setText("10");
        ticks[0]->m_firstTicks->setCurrentIndex(2);
        sheet.GetButtons()->button(QDialogButtonBox::Apply)->click();
        EXPECT_EQ(axis->m_category.column, 3);
        EXPECT_DOUBLE_EQ(axis->m_category.overlap, 10.0);
        EXPECT_EQ(axis->m_nTickStyle1, 2);
        const std::vector<CTickLabel> labels = CategoryLabels(axis);
        EXPECT_GE(labels.size(), 2u);
        if (labels.size() >= 2) {
            EXPECT_EQ(labels[0].text, "D1");
            EXPECT_EQ(labels[1].text, "D2");
        }
        sheet.reject();
    });
    ASSERT_TRUE(Run(ID_OBJECT_PROPERTIES));
    EXPECT_EQ(axis->m_category.column, 3);
    EXPECT_EQ(Undo().GetCount(), steps + 1);

    // Cancel without Apply leaves the axis as it was.
    AnswerSheet([&](CGraphPropertySheet& sheet) {
        for (CCategoryAxisPage* page : PagesOf<CCategoryAxisPage>(sheet)) {
            EXPECT_EQ(page->m_column->currentIndex(), 3);
            page->m_column->setCurrentIndex(0);
            page->m_overlap->setText("50");
        }
        for (CCategoryTicksPage* page : PagesOf<CCategoryTicksPage>(sheet))
            page->m_firstTicks->setCurrentIndex(0);
        sheet.reject();
    });
    ASSERT_TRUE(Run(ID_OBJECT_PROPERTIES));
    EXPECT_EQ(axis->m_category.column, 3);
    EXPECT_DOUBLE_EQ(axis->m_category.overlap, 10.0);
    EXPECT_EQ(axis->m_nTickStyle1, 2);
    EXPECT_EQ(CategoryLabels(axis).front().text, "D1");
    EXPECT_EQ(Undo().GetCount(), steps + 1);
}

TEST_P(ChartSheetTest, ADoubleClickOpensTheSheetOnThePageOfTheSideUnderTheMouse)
{
    view->resize(900, 700);
    view->ClearSelection();
    const RECT frame = graph->GetFrame();
    const LONG midX = (frame.left + frame.right) / 2, midY = (frame.top + frame.bottom) / 2;
    // The category axis page opens for the category side, the scale page for the value side.
    const std::string xSide = IsColumnChart() ? "categories" : "scale";
    const std::string ySide = IsColumnChart() ? "scale" : "categories";
    struct Case {
        POINT at;
        std::string page;
    };
    for (const Case& c : {Case{{midX, frame.top}, xSide}, Case{{midX, frame.bottom}, xSide},
                          Case{{frame.left, midY}, ySide}, Case{{frame.right, midY}, ySide},
                          Case{{midX, midY}, "frame"}}) {
        std::string shown;
        AnswerSheet([&](CGraphPropertySheet& sheet) { shown = KindOfPage(sheet.GetPage(sheet.GetActiveIndex())); });
        const QPoint client = view->DocToClient(c.at);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, client);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, client);
        QApplication::processEvents();
        EXPECT_EQ(shown, c.page) << c.at.x << ", " << c.at.y;
    }
}

TEST_P(ChartSheetTest, ADoubleClickOnTheCategoryLabelsOpensTheirSheet)
{
    view->resize(900, 700);
    view->ClearSelection();
    CXYScaleText* labels = axis->GetTickLabels();
    ASSERT_NE(labels, nullptr);
    const RECT r = NormalizedRect(labels->GetPosition());
    const QPoint client = view->DocToClient(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    const int orientation = int(labels->GetTextOrientation());
    AnswerSheet([&](CGraphPropertySheet& sheet) {
        EXPECT_EQ(sheet.windowTitle().toStdString(), "Category Scale Properties");
        EXPECT_EQ(PagesOf<CXYScaleFormat>(sheet).size(), 0u);
        EXPECT_EQ(PagesOf<CDrawFontPage>(sheet).size(), 1u);
        EXPECT_EQ(PagesOf<CLocationPage>(sheet).size(), 1u);
        const auto formats = PagesOf<CCategoryFormat>(sheet);
        EXPECT_EQ(formats.size(), 1u);
        for (CCategoryFormat* page : formats)
            page->m_orientation->setCurrentIndex(2);
        // Cancel: nothing changes.
        sheet.reject();
    });
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, client);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, client);
    QApplication::processEvents();
    EXPECT_EQ(dialogs, 3);
    EXPECT_EQ(int(labels->GetTextOrientation()), orientation);
}

INSTANTIATE_TEST_SUITE_P(ColumnAndBar, ChartSheetTest, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(info.param == 1 ? "ColumnChart" : "BarChart");
                         });
