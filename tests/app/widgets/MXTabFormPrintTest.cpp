// The item forms' printout: sections laid out on pages inside the item's
// margins, a section taller than a page on a page of its own, and the two
// columns of a text block.
#include "app/MXDoc.h"
#include "app/MXNotes.h"
#include "app/widgets/MXTabForm.h"

#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

// A form whose sections are text blocks of given line counts.
class BlockForm : public CMXTabForm {
public:
    BlockForm(CMXProjectItem* item, std::vector<int> lines) : CMXTabForm(3510, item), m_lines(std::move(lines)) {}
    int PrintSection(CPrintContext& pc, bool draw, int section, bool firstOnPage) override
    {
        if (section >= int(m_lines.size()))
            return PRINT_UNIT_END;
        std::string text;
        for (int i = 0; i < m_lines[std::size_t(section)]; ++i)
            text += (i ? "\n" : "") + std::string("line");
        if (draw)
            ++drawn;
        LOGFONT font{};
        std::strcpy(font.lfFaceName, "Arial");
        return PrintLabelLine(pc, draw, firstOnPage, font, 100, 0, 0, 0, text);
    }
    int drawn = 0;

private:
    std::vector<int> m_lines;
};

struct PrintFixture {
    PrintFixture()
    {
        doc.OnNewDocument();
        item = new CMXNotes(&doc);
        item->InitNewItem();
    }
    int Pages(BlockForm& form)
    {
        QPdfWriter pdf(dir.filePath("out.pdf"));
        return form.PrintTo(pdf);
    }
    CMXDoc doc;
    CMXNotes* item;
    QTemporaryDir dir;
};

} // namespace

TEST(MXTabFormPrint, AFormWithoutSectionsPrintsOnePage)
{
    PrintFixture f;
    BlockForm form(f.item, {});
    EXPECT_EQ(f.Pages(form), 1);
    EXPECT_EQ(form.GetPageCount(), 1);
}

TEST(MXTabFormPrint, SectionsFillPagesAndATallOneGetsAPageOfItsOwn)
{
    PrintFixture f;
    // 10 pt lines on a letter or A4 page inside one-inch margins: some 60 fit on a page.
    BlockForm fitting(f.item, std::vector<int>(30, 1));
    EXPECT_EQ(f.Pages(fitting), 1);
    EXPECT_EQ(fitting.drawn, 30);

    BlockForm overflowing(f.item, std::vector<int>(200, 1));
    const int pages = f.Pages(overflowing);
    EXPECT_GE(pages, 3);
    EXPECT_EQ(overflowing.drawn, 200); // every section once, none lost at a break

    // A section taller than a page is printed cut on a page of its own, and the next goes on.
    BlockForm tall(f.item, {1, 400, 1});
    EXPECT_EQ(f.Pages(tall), 3);
    EXPECT_EQ(tall.drawn, 3);
}

TEST(MXTabFormPrint, ALabelWithoutAValueTakesTheWholeWidth)
{
    PrintFixture f;
    BlockForm form(f.item, {});
    QPdfWriter pdf(f.dir.filePath("widths.pdf"));
    QPainter painter(&pdf);
    painter.scale(pdf.logicalDpiX() / 1000.0, pdf.logicalDpiY() / 1000.0);
    CPrintContext pc;
    pc.painter = &painter;
    pc.area = QRect(1000, 1000, 6500, 9000);
    LOGFONT font{};
    std::strcpy(font.lfFaceName, "Arial");
    const std::string words(400, 'w');
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "word ";
    auto height = [&](const std::string& second) {
        pc.top = pc.area.top();
        EXPECT_TRUE(form.PrintTextBlock(pc, font, 100, 0, 1500, text, second, false, false));
        return pc.top - pc.area.top();
    };
    // Beside a value the label wraps at the second indent; alone it runs to the right edge.
    EXPECT_GT(height("value"), 2 * height(""));
    // A block that does not fit and is not forced is not printed.
    pc.top = pc.area.top() + pc.area.height() - 10;
    EXPECT_FALSE(form.PrintTextBlock(pc, font, 100, 0, 1500, text, "", false, false));
    EXPECT_EQ(pc.top, pc.area.top() + pc.area.height() - 10);
}
