// Printing a data table: rows cut into pages inside the item's margins, the
// header on every page with its page number, each page holding its own rows.
#include "app/MXDoc.h"
#include "app/MXGrid.h"
#include "app/widgets/DataView.h"
#include "data/MyData.h"
#include "platform/widgets/CommandIds.h"

#include <QApplication>
#include <QImage>
#include <QPageLayout>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int kDpi = 100;
// US Letter, 8.5 x 11 inches, at 100 dots per inch.
constexpr int kPaperWidth = 850, kPaperHeight = 1100;

// Records the texts drawn and where they land in device pixels.
class TextEngine : public QPaintEngine {
public:
    TextEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawPath(const QPainterPath&) override {}
    void drawTextItem(const QPointF& p, const QTextItem& item) override
    {
        texts.push_back({item.text().toStdString(), painter()->transform().map(p)});
    }
    Type type() const override { return QPaintEngine::User; }
    struct Text {
        std::string text;
        QPointF position;
    };
    std::vector<Text> texts;
};

class TextDevice : public QPaintDevice {
public:
    QPaintEngine* paintEngine() const override { return &engine; }
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth: return kPaperWidth;
        case PdmHeight: return kPaperHeight;
        case PdmWidthMM: return kPaperWidth * 254 / 1000;
        case PdmHeightMM: return kPaperHeight * 254 / 1000;
        case PdmDpiX: case PdmDpiY: case PdmPhysicalDpiX: case PdmPhysicalDpiY: return kDpi;
        case PdmDepth: return 32;
        case PdmNumColors: return 0x7fffffff;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
        default: return 0;
        }
    }
    mutable TextEngine engine;
};

QPageLayout Letter() { return QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF()); }

struct PrintFixture {
    explicit PrintFixture(int rows)
    {
        doc.OnNewDocument();
        item = new CMXGrid(&doc);
        item->InitNewItem();
        for (int r = 0; r < rows; ++r)
            item->GetTable().SetNumber(r + 2, 0, 1000 + r); // table rows 0 and 1 hold types and names
        item->m_strHeader = "Page &P of &N";
        item->m_strFooter = "";
        view = std::make_unique<CDataView>(item);
        view->resize(600, 400);
        view->show();
        QApplication::processEvents();
    }
    std::string CellText(int row, int column)
    {
        std::string s;
        view->GetCellText(row, column, s);
        return s;
    }
    // Height of grid rows first..last in the engine's printing units.
    long long Height(int first, int last)
    {
        long long h = 0;
        for (int r = first; r <= last; ++r)
            h += std::abs(view->GetRowHeight(r, true));
        return h;
    }
    CMXDoc doc;
    CMXGrid* item = nullptr;
    std::unique_ptr<CDataView> view;
};

// Six engine units to a device pixel while printing.
constexpr long long kUnitsPerPixel = 6;

} // namespace

TEST(DataViewPrint, RowsFillEachPageInsideTheMargins)
{
    PrintFixture f(200);
    struct Case {
        int topMargin, bottomMargin; // thousandths of an inch
    } cases[] = {{1000, 1000}, {3000, 1000}, {500, 2500}};
    int previousRows = 0;
    for (const Case& c : cases) {
        f.item->m_rcMargins = RECT{1000, c.topMargin, 1000, c.bottomMargin};
        TextDevice device;
        const int count = f.view->BeginItemPrinting(device, Letter());
        ASSERT_GT(count, 1);
        const auto pages = f.view->GetPages();
        ASSERT_EQ(int(pages.size()), count);
        // The printable height: 11 in less both margins, at 100 dpi.
        const long long room = (11000 - c.topMargin - c.bottomMargin) / 10 * kUnitsPerPixel;
        const int frozen = CDataView::kHeadingRows;
        const long long headings = f.Height(0, frozen - 1);
        int next = frozen;
        for (std::size_t i = 0; i < pages.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(pages[i].firstRow, next); // no row lost or repeated
            next = pages[i].lastRow + 1;
            EXPECT_LE(headings + f.Height(pages[i].firstRow, pages[i].lastRow), room);
            if (i + 1 < pages.size()) { // full: one more row would not fit
                EXPECT_GT(headings + f.Height(pages[i].firstRow, pages[i].lastRow + 1), room);
            }
        }
        EXPECT_EQ(next, frozen + 200); // the last data row ends the last page
        const int rowsOnFirst = pages[0].lastRow - pages[0].firstRow + 1;
        if (previousRows) { // a taller margin leaves fewer rows, a smaller one more
            EXPECT_NE(rowsOnFirst, previousRows);
        }
        previousRows = rowsOnFirst;
        f.view->EndPrinting();
    }
}

TEST(DataViewPrint, EachPageShowsItsHeaderAndOnlyItsRows)
{
    PrintFixture f(150);
    TextDevice device;
    const int count = f.view->BeginItemPrinting(device, Letter());
    ASSERT_GE(count, 2);
    const auto pages = f.view->GetPages();
    for (int page = 1; page <= 2; ++page) {
        SCOPED_TRACE(page);
        device.engine.texts.clear();
        {
            QPainter painter(&device);
            f.view->PrintItemPage(painter, page);
        }
        const std::string header = "Page " + std::to_string(page) + " of " + std::to_string(count);
        std::set<std::string> seen;
        bool headerAboveArea = false;
        for (const auto& t : device.engine.texts) {
            seen.insert(t.text);
            // The top margin is one inch (100 pixels): the header stands above it.
            if (t.text == header && t.position.y() < 100)
                headerAboveArea = true;
        }
        EXPECT_TRUE(headerAboveArea) << header;
        const CGridPageRange& range = pages[std::size_t(page - 1)];
        EXPECT_TRUE(seen.count(f.CellText(range.firstRow, 1)));
        EXPECT_TRUE(seen.count(f.CellText(range.lastRow, 1)));
        // The heading rows repeat (a wrapped title comes word by word).
        EXPECT_TRUE(seen.count("Type") && (seen.count("Name") || seen.count("Column Name")));
        // Nothing of the neighbouring pages.
        if (range.firstRow > CDataView::kHeadingRows) {
            EXPECT_FALSE(seen.count(f.CellText(range.firstRow - 1, 1)));
        }
        EXPECT_FALSE(seen.count(f.CellText(range.lastRow + 1, 1)));
    }
    f.view->EndPrinting();
    EXPECT_FALSE(f.view->IsPrinting());
}

TEST(DataViewPrint, PageIsInkedOnlyInsideMarginsAndHeader)
{
    PrintFixture f(300);
    QImage image(kPaperWidth, kPaperHeight, QImage::Format_RGB32);
    image.setDotsPerMeterX(int(kDpi / 0.0254 + 0.5));
    image.setDotsPerMeterY(int(kDpi / 0.0254 + 0.5));
    image.fill(Qt::white);
    ASSERT_GE(f.view->BeginItemPrinting(image, Letter()), 2);
    {
        QPainter painter(&image);
        f.view->PrintItemPage(painter, 1);
    }
    f.view->EndPrinting();
    auto inked = [&](int left, int top, int right, int bottom) {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (image.pixel(x, y) != qRgb(255, 255, 255))
                    return true;
        return false;
    };
    // Margins of one inch (100 pixels); the header 0.3 inch below the top edge.
    EXPECT_TRUE(inked(100, 100, 750, 1000));   // the grid
    EXPECT_TRUE(inked(100, 20, 750, 100));     // the header, 0.3 in from the top
    EXPECT_FALSE(inked(0, 0, 99, kPaperHeight)); // left margin
    EXPECT_FALSE(inked(751, 0, kPaperWidth, kPaperHeight)); // right margin
    EXPECT_FALSE(inked(0, 1001, kPaperWidth, kPaperHeight)); // bottom margin: no footer text
}

TEST(DataViewPrint, PdfGetsEveryPageAndCommandsAreOffered)
{
    PrintFixture f(200);
    TextDevice device;
    QPageLayout layout = Letter();
    const int expected = f.view->BeginItemPrinting(device, layout);
    f.view->EndPrinting();
    QTemporaryDir dir;
    QPdfWriter writer(dir.filePath("table.pdf"));
    writer.setResolution(kDpi);
    writer.setPageLayout(layout);
    EXPECT_EQ(f.view->PrintTo(writer), expected);
    EXPECT_FALSE(f.view->IsPrinting());
    QPdfWriter ranged(dir.filePath("range.pdf"));
    ranged.setResolution(kDpi);
    ranged.setPageLayout(layout);
    EXPECT_EQ(f.view->PrintTo(ranged, 2, 2), 1);
    // A landscape item prints on turned paper: shorter pages, so more of them.
    f.item->m_nOrientation = 2;
    QPdfWriter turned(dir.filePath("turned.pdf"));
    turned.setResolution(kDpi);
    turned.setPageLayout(layout);
    EXPECT_GT(f.view->PrintTo(turned), expected);
    EXPECT_EQ(turned.pageLayout().orientation(), QPageLayout::Landscape);
    for (UINT id : {UINT(ID_FILE_PRINT), UINT(ID_FILE_PRINT_PREVIEW)}) {
        CCmdUI ui(id);
        EXPECT_TRUE(f.view->OnCmdMsg(id, &ui));
        EXPECT_TRUE(ui.m_enabled.value_or(false));
    }
}
