#include "framework/PrintPaginator.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Units of given heights on pages of a given height; a unit that breaks
// marks itself with a negative height.
struct Form {
    explicit Form(std::vector<int> h) : heights(std::move(h)) {}
    std::vector<int> heights;
    int pageHeight = 100;
    int used = 0;
    std::vector<std::pair<int, int>> drawn; // (unit, page-local top)

    int operator()(int unit, bool first, bool draw)
    {
        if (unit >= static_cast<int>(heights.size()))
            return PRINT_UNIT_END;
        int h = std::abs(heights[unit]);
        if (used + h > pageHeight && !(first && draw))
            return PRINT_UNIT_NO_ROOM;
        if (draw)
            drawn.emplace_back(unit, used);
        used += h;
        return heights[unit] < 0 ? PRINT_UNIT_FITS_BREAK : PRINT_UNIT_FITS;
    }
};

} // namespace

TEST(PrintPaginatorTest, UnitsFillPagesInOrder)
{
    Form f({40, 40, 40, 40, 40});
    CPrintPaginator p;
    p.Paginate(std::ref(f), [&] { f.used = 0; });
    EXPECT_EQ(p.GetPageStarts(), (std::vector<int>{0, 2, 4}));
}

TEST(PrintPaginatorTest, PagesBreakAfterTheLastBreakPoint)
{
    Form f({30, -30, 30, 30});
    CPrintPaginator p;
    p.Paginate(std::ref(f), [&] { f.used = 0; });
    EXPECT_EQ(p.GetPageStarts(), (std::vector<int>{0, 2}));
}

TEST(PrintPaginatorTest, NoUnitsGiveOnePage)
{
    Form f({});
    CPrintPaginator p;
    p.Paginate(std::ref(f));
    EXPECT_EQ(p.GetPageCount(), 1);
}

TEST(PrintPaginatorTest, AnOverTallUnitGetsItsOwnPageAndIsPrinted)
{
    Form f({40, 250, 40});
    CPrintPaginator p;
    p.Paginate(std::ref(f), [&] { f.used = 0; });
    ASSERT_EQ(p.GetPageStarts(), (std::vector<int>{0, 1, 2}));
    for (int page = 0; page < p.GetPageCount(); ++page) {
        f.used = 0;
        ASSERT_TRUE(p.PrintPage(page, std::ref(f)));
    }
    EXPECT_FALSE(p.PrintPage(3, std::ref(f)));
    ASSERT_EQ(f.drawn.size(), 3u); // every unit, the tall one included
    EXPECT_EQ(f.drawn[1], std::make_pair(1, 0));
}

TEST(PrintPaginatorTest, AnOverTallLastUnitLeavesNoEmptyPage)
{
    Form f({250});
    CPrintPaginator p;
    p.Paginate(std::ref(f), [&] { f.used = 0; });
    EXPECT_EQ(p.GetPageStarts(), (std::vector<int>{0}));
    f.used = 0;
    p.PrintPage(0, std::ref(f));
    ASSERT_EQ(f.drawn.size(), 1u);
}
