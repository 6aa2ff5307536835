// Saves pictures of the XY graph wizard's pages over a sample table and its
// fit (run under a display):
//   wizard_screenshots docs/xy-wizard
// writes docs/xy-wizard-1-source.png and the following pages.
#include "WizardSupport.h"

#include "data/DataString.h"
#include "graphui/widgets/XYWizard.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPixmap>

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
