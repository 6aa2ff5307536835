// Saves pictures of the graph wizards' pages over a sample table and its
// fit (run under a display):
//   wizard_screenshots docs/xy-wizard
// writes docs/xy-wizard-1-source.png and the following pages;
//   wizard_screenshots docs/histogram-wizard histogram
//   wizard_screenshots docs/axis-manager axes
//   wizard_screenshots docs/chart-wizard chart
// the histogram wizard's, the axis manager's, and the column chart wizard's
// with a column chart's category and bar style pages.
#include "WizardSupport.h"

#include "data/DataString.h"
#include "graph/DrawGraph.h"
#include "graph/XYDatasetChart.h"
#include "graphui/widgets/AxisManager.h"
#include "graphui/widgets/CategoryPages.h"
#include "graphui/widgets/ChartPages.h"
#include "graphui/widgets/ChartWizard.h"
#include "graphui/widgets/HistoWizard.h"
#include "graphui/widgets/XYWizard.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPixmap>
#include <QLineEdit>
#include <QRadioButton>

#include <string>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const std::string prefix = argv[1];
    GraphFixture f;
    CMyData& t = f.doc.AddTable("Initial rates");
    t.SetCell(1, 0, new CDataString("Substrate (ppm)"));
    t.SetCell(1, 1, new CDataString("Rate"));
    t.SetCell(1, 2, new CDataString("Rate error"));
    FillColumn(t, 0, {0.5, 1, 2, 4, 8, 16});
    FillColumn(t, 1, {12, 21, 34, 49, 61, 70});
    FillColumn(t, 2, {1.5, 2, 2, 3, 3, 4});
    FakeFit& fit = f.doc.AddFit("Michaelis-Menten fit");
    fit.table = &t;
    TestCatalog catalog(f.doc);
    auto shootSheet = [&](CWizardSheet& sheet, const char* name) {
        app.processEvents();
        sheet.grab().save(QString::fromStdString(prefix + "-" + name + ".png"));
    };
    const std::string which = argc > 2 ? argv[2] : "xy";
    if (which == "histogram") {
        CHistoWizardSheet sheet(&catalog, &f.doc);
        sheet.resize(560, 460);
        sheet.Start();
        sheet.show();
        sheet.m_source.m_source->setCurrentIndex(sheet.m_source.m_source->findText("Initial rates"));
        sheet.m_source.m_values->setCurrentIndex(1);
        sheet.m_source.m_width->setText("10");
        shootSheet(sheet, "1-source");
        const char* names[] = {"2-scaling", "3-ticks", "4-bars"};
        for (const char* name : names) {
            if (!sheet.PressNext())
                return 1;
            shootSheet(sheet, name);
        }
        return 0;
    }
    if (which == "chart") {
        CColChartWizardSheet sheet(&catalog, &f.doc);
        sheet.resize(560, 520);
        sheet.Start();
        sheet.show();
        CChartDataSourcePage& s = sheet.m_source;
        s.m_source->setCurrentIndex(s.m_source->findText("Initial rates"));
        s.m_category->setCurrentIndex(0);
        s.m_upper->setCurrentIndex(1);
        s.m_errorCheck->setChecked(true);
        s.m_error->setCurrentIndex(2);
        shootSheet(sheet, "1-source");
        const char* names[] = {"2-scaling", "3-ticks", "4-bars", "5-points", "6-join"};
        for (const char* name : names) {
            if (!sheet.PressNext())
                return 1;
            shootSheet(sheet, name);
        }
        if (!sheet.PressFinish())
            return 1;
        CDrawGraph* graph = BuildChart(sheet, &f.page, RECT{1000, -1000, 5000, -4000});
        auto* series = dynamic_cast<CXYDatasetChart*>(graph->GetDataset(0));
        auto shootPage = [&](QWidget& page, const char* name) {
            page.resize(480, 420);
            page.show();
            app.processEvents();
            page.grab().save(QString::fromStdString(prefix + "-" + name + ".png"));
        };
        CCategoryAxisPage categories(graph, graph->GetCategoryAxis(), &catalog);
        shootPage(categories, "page-categories");
        CDataPointChartPage bars(series);
        shootPage(bars, "page-bar-style");
        return 0;
    }
    if (which == "axes") {
        auto* graph = new CDrawXYGraph(RECT{1000, -1000, 5000, -4000}, &f.page);
        CAxisManagerSheet sheet(graph, nullptr, true, true);
        sheet.resize(480, 360);
        sheet.Start();
        sheet.show();
        shootSheet(sheet, "1-options");
        sheet.m_main.m_options[2]->setChecked(true);
        if (!sheet.PressNext())
            return 1;
        sheet.m_split.m_axisList->setCurrentIndex(0);
        emit sheet.m_split.m_axisList->activated(0);
        shootSheet(sheet, "2-split");
        return 0;
    }

    CXYWizardSheet sheet(&catalog, &f.doc);
    sheet.resize(560, 420);
    sheet.Start();
    sheet.show();
    auto shoot = [&](const char* name) {
        app.processEvents();
        sheet.grab().save(QString::fromStdString(prefix + "-" + name + ".png"));
    };
    sheet.m_data.m_source->setCurrentIndex(sheet.m_data.m_source->findText("Initial rates"));
    sheet.m_data.m_x->setCurrentIndex(0);
    sheet.m_data.m_y->setCurrentIndex(1);
    sheet.m_data.m_errorCheck->setChecked(true);
    sheet.m_data.m_error->setCurrentIndex(2);
    shoot("1-source");
    const char* names[] = {"2-scaling", "3-ticks", "4-points", "5-join"};
    for (const char* name : names) {
        if (!sheet.PressNext())
            return 1;
        shoot(name);
    }
    // The fit's road goes on to the curve's style.
    sheet.SetActivePage(0);
    sheet.m_data.m_source->setCurrentIndex(sheet.m_data.m_source->findText("Michaelis-Menten fit"));
    for (int i = 0; i < 5; ++i)
        if (!sheet.PressNext())
            return 1;
    shoot("6-curve");
    return 0;
}
