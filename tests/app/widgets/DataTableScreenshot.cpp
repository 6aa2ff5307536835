// Shows a data table with typed, calculated and locked columns and saves a
// picture of its window:   data_table_screenshot out.png
#include "app/MXDoc.h"
#include "app/MXGrid.h"
#include "app/widgets/DataView.h"
#include "data/DataCTypeSeries.h"
#include "data/DataColumnType.h"
#include "data/DataString.h"

#include <QApplication>
#include <QPixmap>

#include <cmath>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    CMXDoc doc;
    doc.OnNewDocument();
    auto* item = new CMXGrid(&doc);
    item->InitNewItem();
    CMyData& t = item->GetTable();
    // Column 1: time, typed; column 2: absorbance, typed, locked; column 3: a series.
    t.SetCell(0, 0, CreateColumnType(1, 0));
    t.SetCell(1, 0, new CDataString("Time (min)"));
    auto* locked = CreateColumnType(2, 1);
    t.SetCell(0, 1, locked);
    t.SetCell(1, 1, new CDataString("Absorbance at 340 nm"));
    for (int i = 0; i < 12; ++i) {
        t.SetNumber(2 + i, 0, 0.5 * i);
        t.SetNumber(2 + i, 1, std::round(1000.0 * (0.92 * std::exp(-0.21 * 0.5 * i) + 0.05)) / 1000.0);
    }
    t.SetCell(6, 1, new CDataString("bubble"));
    locked->SetLocked(item, TRUE);
    auto* series = new CDataCTypeSeries(2);
    series->m_start = 1.0;
    series->m_increment = 0.25;
    series->m_points = 12;
    t.SetCell(0, 2, series);
    t.SetCell(1, 2, new CDataString("Dilution"));
    series->ComputeValue(-1, item, FALSE);
    t.SetCell(1, 3, new CDataString("Notes"));
    t.SetCell(2, 3, new CDataString("blank subtracted"));

    CDataView view(item);
    view.setWindowTitle("Data1");
    view.resize(760, 420);
    view.show();
    view.SizeColumnToFit(3, true);
    view.SetCurrentCell(5, 1);
    app.processEvents();
    view.grab().save(argv[1]);
    return 0;
}
