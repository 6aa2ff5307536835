// Shows a grid control with every cell kind and saves a picture of it:
//   grid_screenshot out.png
#include "grid/CheckBoxCell.h"
#include "grid/DropDownListCell.h"
#include "grid/EditCell.h"
#include "grid/HeaderCell.h"
#include "grid/widgets/GridCtrl.h"

#include <QApplication>
#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <QVBoxLayout>

#include <map>
#include <string>

namespace {

class UnitCell : public CDropDownListCell {
    DECLARE_DYNCREATE(UnitCell)
public:
    void FillList(CGridEditor& list) override
    {
        for (const char* unit : {"mg/L", "mmol/L", "ng/mL"})
            list.AddItem(unit);
    }
};

class SampleGrid : public CGridCtrl {
public:
    explicit SampleGrid(QWidget* parent) : CGridCtrl(parent)
    {
        CGridData& d = m_data;
        d.m_nRowCount = 40;
        d.m_nColumnCount = 6;
        d.m_nHeaderRows = d.m_nFrozenRows = d.m_nHeaderColumns = 1;
        d.m_nPointSize = 10;
        d.m_pDefaultCellClass = RUNTIME_CLASS(CEditCell);
        d.m_priorityRowClasses[0].pClass = RUNTIME_CLASS(CHeaderCell);
        d.m_columnClasses[0].pClass = RUNTIME_CLASS(CHeaderCell);
        d.m_columnClasses[4].pClass = RUNTIME_CLASS(CCheckBoxCell);
        d.m_columnClasses[5].pClass = RUNTIME_CLASS(UnitCell);
        d.m_nCurrentRow = 1;
        d.m_nCurrentColumn = 1;
        d.m_columnWidths[3] = 1400; // thousandths of an inch
        const char* headings[] = {"", "Sample", "Time (h)", "Concentration", "Included", "Unit"};
        for (int c = 0; c < 6; ++c)
            text[{0, c}] = headings[c];
        const char* names[] = {"Control A", "Control B", "Dose 1", "Dose 2", "Dose 3", "Dose 4", "Dose 5"};
        for (int r = 1; r <= 7; ++r) {
            text[{r, 0}] = std::to_string(r);
            text[{r, 1}] = names[r - 1];
            text[{r, 2}] = std::to_string(r * 2 - 1) + ".0";
            text[{r, 3}] = std::to_string(100 / (r + 1)) + ".25";
            text[{r, 4}] = r % 3 == 0 ? "0" : "1";
            text[{r, 5}] = r < 4 ? "mg/L" : "mmol/L";
        }
        for (int r = 8; r < 40; ++r)
            text[{r, 0}] = std::to_string(r);
    }
    void GetCellValueText(int row, int column, std::string& t) override
    {
        auto it = text.find({row, column});
        t = it == text.end() ? std::string() : it->second;
    }
    int SetCellText(int row, int column, const std::string& t) override
    {
        text[{row, column}] = t;
        return 1;
    }
    std::map<std::pair<int, int>, std::string> text;
};

IMPLEMENT_DYNCREATE(UnitCell, CDropDownListCell)

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("Grid control");
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel("Headings, text, check-box and drop-down list cells; a selected range; "
                                 "an open drop-down list"));
    auto* grid = new SampleGrid(&window);
    layout->addWidget(grid);
    window.resize(760, 330);
    window.show();
    grid->setFocus();
    grid->SetCurrentCell(2, 2);
    grid->SetCurrentCell(4, 3, MK_SHIFT);
    grid->SetCurrentCell(6, 5, MK_CONTROL);
    grid->CellChar('m', 1, 0); // opens the unit list
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("grid.png");
    QTimer::singleShot(300, [&] {
        window.grab().save(out);
        app.quit();
    });
    return app.exec();
}
