#include "grid/EditCell.h"
#include "grid/HeaderCell.h"
#include "grid/widgets/GridEditWnd.h"
#include "grid/widgets/GridView.h"
#include "grid/widgets/MagnificationDlg.h"

#include <QApplication>
#include <QComboBox>
#include <QTimer>
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QTest>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

// A view whose cells show "r,c" and that records the cells painted and the events it got.
class TextView : public CGridView {
public:
    void GetCellValueText(int row, int column, std::string& text) override
    {
        text = std::to_string(row) + "," + std::to_string(column);
    }
    void DrawCellText(CGridPainter& painter, int row, int column, const RECT& textRect) override
    {
        painted.emplace(row, column);
        CGridView::DrawCellText(painter, row, column, textRect);
    }
    void GetHeaderText(int row, int column, std::string& text) override
    {
        painted.emplace(row, column);
        CGridView::GetHeaderText(row, column, text);
    }
    void OnGridEvent(CGridEngine* sender, int code, const void* data) override
    {
        events.push_back(code);
        CGridView::OnGridEvent(sender, code, data);
    }
    std::set<std::pair<int, int>> painted;
    std::vector<int> events;
};

// rows x columns with one heading row and column; cells an inch wide and a
// quarter inch high: 96 x 24 pixels on a 96 dpi page.
void SetUpData(CGridData& data, int rows, int columns)
{
    data.m_nRowCount = rows;
    data.m_nColumnCount = columns;
    data.m_nHeaderRows = data.m_nFrozenRows = data.m_nHeaderColumns = 1;
    data.m_nFixedDefaultColumnWidth = 1000;
    data.m_nFixedDefaultRowHeight = 250;
    data.m_pDefaultCellClass = RUNTIME_CLASS(CEditCell);
    data.m_rowClasses[0].pClass = RUNTIME_CLASS(CHeaderCell);
    data.m_columnClasses[0].pClass = RUNTIME_CLASS(CHeaderCell);
}

// A 96 dpi page of 400 x 300 pixels: a heading column and three data
// columns across (96 + 3 x 96 = 384 <= 400), a heading row and eleven data
// rows down (24 + 11 x 24 = 288 <= 300).
QImage Page()
{
    QImage image(400, 300, QImage::Format_RGB32);
    image.setDotsPerMeterX(3780); // 96.012 dpi, which Qt reports as 96
    image.setDotsPerMeterY(3780);
    image.fill(Qt::white);
    return image;
}

struct ViewFixture {
    ViewFixture(int rows, int columns)
    {
        SetUpData(data, rows, columns);
        view.SetGridData(&data);
        view.resize(500, 400);
        view.show();
    }
    // Prints every page and returns the data cells each page painted.
    std::vector<std::set<std::pair<int, int>>> PrintAll()
    {
        QImage image = Page();
        const int count = view.BeginPrinting(image, image.size());
        std::vector<std::set<std::pair<int, int>>> pages;
        for (int i = 0; i < count; ++i) {
            QImage page = Page();
            QPainter painter(&page);
            view.painted.clear();
            view.PrintPage(painter, i);
            pages.push_back(view.painted);
        }
        return pages;
    }
    CGridData data;
    TextView view;
};

std::vector<CGridPageRange> Expected(std::initializer_list<CGridPageRange> pages) { return pages; }

} // namespace

TEST(GridViewTest, PagesRunDownFirstThenAcross)
{
    ViewFixture f(30, 5); // data rows 1-29, data columns 1-4
    QImage image = Page();
    ASSERT_EQ(f.view.BeginPrinting(image, image.size()), 6);
    EXPECT_EQ(f.view.GetPages(), Expected({{1, 11, 1, 3}, {12, 22, 1, 3}, {23, 29, 1, 3},
                                           {1, 11, 4, 4}, {12, 22, 4, 4}, {23, 29, 4, 4}}));
    f.view.EndPrinting();
}

TEST(GridViewTest, EveryRowLandsOnItsPageWithTheHeadingsRepeated)
{
    ViewFixture f(30, 5);
    const auto pages = f.PrintAll();
    ASSERT_EQ(pages.size(), 6u);
    const auto& ranges = std::vector<CGridPageRange>{{1, 11, 1, 3}, {12, 22, 1, 3}, {23, 29, 1, 3},
                                                     {1, 11, 4, 4}, {12, 22, 4, 4}, {23, 29, 4, 4}};
    for (std::size_t i = 0; i < pages.size(); ++i) {
        std::set<std::pair<int, int>> expected;
        const CGridPageRange& r = ranges[i];
        for (int row = r.firstRow; row <= r.lastRow; ++row) {
            expected.emplace(row, 0); // the heading column
            for (int column = r.firstColumn; column <= r.lastColumn; ++column)
                expected.emplace(row, column);
        }
        expected.emplace(0, 0);
        for (int column = r.firstColumn; column <= r.lastColumn; ++column)
            expected.emplace(0, column); // the heading row
        EXPECT_EQ(pages[i], expected) << "page " << i + 1;
    }
    f.view.EndPrinting();
}

TEST(GridViewTest, ARowTallerThanThePageGetsAPageOfItsOwn)
{
    ViewFixture f(30, 2); // one data column
    f.view.SetRowHeight(5, 5000, false, false, false); // five inches: 480 px > 300
    QImage image = Page();
    ASSERT_EQ(f.view.BeginPrinting(image, image.size()), 5);
    EXPECT_EQ(f.view.GetPages(), Expected({{1, 4, 1, 1}, {5, 5, 1, 1}, {6, 16, 1, 1}, {17, 27, 1, 1}, {28, 29, 1, 1}}));
    f.view.EndPrinting();

    const auto pages = f.PrintAll();
    ASSERT_EQ(pages.size(), 5u);
    EXPECT_TRUE(pages[1].count({5, 1}));   // printed, clipped
    EXPECT_FALSE(pages[1].count({6, 1}));  // and alone
    EXPECT_FALSE(pages[0].count({5, 1}));
    f.view.EndPrinting();
}

TEST(GridViewTest, AGridWithoutDataRowsPrintsOnePage)
{
    ViewFixture f(1, 1);
    QImage image = Page();
    EXPECT_EQ(f.view.BeginPrinting(image, image.size()), 1);
    f.view.EndPrinting();
}

TEST(GridViewTest, PrintingIgnoresTheZoomAndTheScreenGetsItBack)
{
    ViewFixture f(30, 5);
    f.view.SetZoom(200);
    const int screenFont = f.data.GetDeviceFontHeight();
    const int top = f.view.GetTopRow();
    QImage image = Page();
    f.view.BeginPrinting(image, image.size());
    EXPECT_EQ(f.data.GetDeviceFontHeight(), -13); // 10 pt at 96 dpi, unzoomed: 13.3 px
    EXPECT_EQ(f.view.GetPages().front(), (CGridPageRange{1, 11, 1, 3}));
    f.view.EndPrinting();
    EXPECT_EQ(f.data.GetDeviceFontHeight(), screenFont);
    EXPECT_EQ(f.view.GetTopRow(), top);
    EXPECT_EQ(f.data.m_bZoomSuspended, 0);
}

TEST(GridViewTest, FontHeightFollowsThePointSizeAtFullZoom)
{
    ViewFixture f(10, 3);
    // 10 pt is 10/72 inch: at the screen's logical dpi that many pixels.
    const int dpi = f.view.logicalDpiY();
    EXPECT_EQ(-f.data.GetDeviceFontHeight(), (10 * dpi + 36) / 72);
}

TEST(GridViewTest, GridEventsReachOnlyViewsOfTheSameGridData)
{
    CGridData shared, other;
    SetUpData(shared, 10, 3);
    SetUpData(other, 10, 3);
    TextView a, b, c;
    a.SetGridData(&shared);
    b.SetGridData(&shared);
    c.SetGridData(&other);
    for (TextView* v : {&a, &b, &c})
        v->show();
    int relayed = 0;
    a.SetDocumentNotifier([&](CGridView&, int code, const void*) { relayed += code == GRID_EVENT_REDRAW; });
    a.events.clear();
    b.events.clear();
    c.events.clear();
    a.Notify(GRID_EVENT_REDRAW);
    EXPECT_EQ(a.events, std::vector<int>{GRID_EVENT_REDRAW});
    EXPECT_EQ(b.events, std::vector<int>{GRID_EVENT_REDRAW});
    EXPECT_TRUE(c.events.empty());
    EXPECT_EQ(relayed, 1);

    // A document update from a view on other grid data is ignored.
    c.events.clear();
    c.OnUpdate(&a, GRID_EVENT_REDRAW, nullptr);
    EXPECT_TRUE(c.events.empty());
    b.events.clear();
    b.OnUpdate(&a, GRID_EVENT_REDRAW, nullptr);
    EXPECT_EQ(b.events, std::vector<int>{GRID_EVENT_REDRAW});
}

TEST(GridViewTest, PanesScrollTogetherAlongTheirSplitterRowAndColumn)
{
    CGridData shared;
    SetUpData(shared, 200, 50);
    TextView topLeft, topRight, bottomLeft;
    for (TextView* v : {&topLeft, &topRight, &bottomLeft}) {
        v->SetGridData(&shared);
        v->resize(300, 200);
    }
    topLeft.SetupPane(0, 0);
    topRight.SetupPane(0, 1);
    bottomLeft.SetupPane(1, 0);
    topLeft.SetPaneNeighbours(&topRight, &bottomLeft);
    topRight.SetPaneNeighbours(&topLeft, nullptr);
    bottomLeft.SetPaneNeighbours(nullptr, &topLeft);
    for (TextView* v : {&topLeft, &topRight, &bottomLeft})
        v->show();
    EXPECT_TRUE(bottomLeft.IsRowHidden(0));   // frozen rows only in the top panes
    EXPECT_TRUE(topRight.IsColumnHidden(0));  // heading columns only in the left panes
    EXPECT_FALSE(topLeft.IsRowHidden(0));

    topLeft.OnVScroll(SB_THUMBPOSITION, 40);
    EXPECT_EQ(topRight.GetTopRow(), 40);
    EXPECT_EQ(bottomLeft.GetTopRow(), 1);
    topLeft.OnHScroll(SB_THUMBPOSITION, 7);
    EXPECT_EQ(bottomLeft.GetLeftColumn(), 7);
    EXPECT_EQ(topRight.GetLeftColumn(), 1);
}

TEST(GridViewTest, PrintingToAPrinterWritesTheChosenPages)
{
    ViewFixture f(200, 5);
    const QString path = QDir::temp().filePath("marlox-grid-print-test.pdf");
    QFile::remove(path);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setFromTo(2, 3);
    f.view.Print(printer);
    EXPECT_FALSE(f.view.IsPrinting());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    // Each page of a PDF is one "/Type /Page" object (the tree is "/Type /Pages").
    int pages = 0;
    for (qsizetype at = pdf.indexOf("/Type /Page"); at >= 0; at = pdf.indexOf("/Type /Page", at + 1))
        pages += pdf.mid(at, 12) != "/Type /Pages" ? 1 : 0;
    EXPECT_EQ(pages, 2);
    file.close();
    QFile::remove(path);
}

TEST(GridViewTest, KeysAndDoubleClicksReachTheCells)
{
    ViewFixture f(30, 5);
    f.view.SetCurrentCell(2, 2);
    QTest::keyClick(&f.view, Qt::Key_Tab); // no Tab walk: the engine moves one column
    EXPECT_EQ(f.view.GetCurrentColumn(), 3);
    QTest::keyClick(&f.view, Qt::Key_Down);
    EXPECT_EQ(f.view.GetCurrentRow(), 3);

    RECT cell;
    ASSERT_TRUE(f.view.GetCellRect(4, 1, cell));
    QTest::mouseDClick(f.view.viewport(), Qt::LeftButton, Qt::NoModifier,
                       QPoint(int(cell.left + 3), int(cell.top + cell.bottom) / 2));
    EXPECT_EQ(f.view.GetCurrentRow(), 4);
    EXPECT_EQ(f.view.GetCurrentColumn(), 1);
    CGridEditWnd* editor = nullptr;
    for (CGridEditWnd* e : f.view.viewport()->findChildren<CGridEditWnd*>())
        if (e->isVisible())
            editor = e;
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "4,1");
    EXPECT_EQ(editor->cursorPosition(), 0); // the caret where the click was
}

TEST(GridViewTest, ChosenZoomScalesTheFontAndCancelKeepsIt)
{
    ViewFixture f(30, 5);
    const int font = f.data.GetDeviceFontHeight();
    auto answer = [](const char* text, bool ok) {
        QTimer::singleShot(0, [text, ok] {
            auto* dialog = qobject_cast<CMagnificationDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->GetCombo()->setEditText(QString::fromLatin1(text));
            if (ok)
                dialog->accept();
            else
                dialog->reject();
        });
    };
    answer("200%", false);
    EXPECT_FALSE(f.view.ChooseZoom());
    EXPECT_EQ(f.data.m_nZoom, 100);
    answer("200%", true);
    EXPECT_TRUE(f.view.ChooseZoom());
    EXPECT_EQ(f.data.m_nZoom, 200);
    // Twice the size, give or take the rounding of each to whole pixels.
    EXPECT_NEAR(f.data.GetDeviceFontHeight(), 2 * font, 1);
}
