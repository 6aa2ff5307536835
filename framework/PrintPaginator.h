// Lays printable units out on pages. A form answers, for each unit, whether it
// fits on what is left of the page; the paginator records where each page
// starts and later hands each page its units.
#pragma once

#include <functional>
#include <vector>

// Answers of a unit printer.
enum : int {
    PRINT_UNIT_FITS = 0,      // fits (and was printed when drawing)
    PRINT_UNIT_END = 1,       // no more units (3 means the same)
    PRINT_UNIT_NO_ROOM = 2,   // does not fit on what is left of the page
    PRINT_UNIT_FITS_BREAK = 4 // fits, and the page may break right after it
};

class CPrintPaginator {
public:
    // (unit index, first on its page, draw) -> answer. With first-on-page set
    // the printer must print a unit that is taller than a page anyway (cut at
    // the page's end): such a unit gets a page of its own and is never dropped.
    using UnitPrinter = std::function<int(int unit, bool firstOnPage, bool draw)>;
    // Called before each new page is laid out (to reset the drawing area).
    using PageReset = std::function<void()>;

    // Walks the units without drawing and records the page starts.
    void Paginate(const UnitPrinter& printer, const PageReset& reset = {});
    // Draws the units of page (from 0); false for a page beyond the last.
    bool PrintPage(int page, const UnitPrinter& printer) const;

    int GetPageCount() const { return static_cast<int>(m_pageStarts.size()); }
    const std::vector<int>& GetPageStarts() const { return m_pageStarts; }

private:
    std::vector<int> m_pageStarts;
};
