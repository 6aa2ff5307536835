#include "framework/PrintPaginator.h"

namespace {
// Guards against a unit printer that never reports the end.
constexpr int kMaxUnits = 10'000'000;
} // namespace

void CPrintPaginator::Paginate(const UnitPrinter& printer, const PageReset& reset)
{
    m_pageStarts.assign(1, 0);
    if (reset)
        reset();
    int unit = 0;
    int lastBreak = -1;
    bool first = true;
    while (unit < kMaxUnits) {
        int code = printer(unit, first, false);
        if (code == PRINT_UNIT_FITS) {
            first = false;
            ++unit;
        } else if (code == PRINT_UNIT_FITS_BREAK) {
            lastBreak = unit;
            first = false;
            ++unit;
        } else if (code == PRINT_UNIT_NO_ROOM) {
            int start;
            if (first)
                start = unit + 1; // the over-tall unit keeps this page to itself
            else if (lastBreak >= 0)
                start = lastBreak + 1;
            else
                start = unit;
            m_pageStarts.push_back(start);
            if (reset)
                reset();
            unit = start;
            lastBreak = -1;
            first = true;
        } else {
            // An over-tall last unit leaves no empty page behind it.
            if (first && m_pageStarts.size() > 1 && m_pageStarts.back() == unit)
                m_pageStarts.pop_back();
            break;
        }
    }
}

bool CPrintPaginator::PrintPage(int page, const UnitPrinter& printer) const
{
    if (page < 0 || page >= GetPageCount())
        return false;
    int end = page + 1 < GetPageCount() ? m_pageStarts[page + 1] : kMaxUnits;
    bool first = true;
    for (int unit = m_pageStarts[page]; unit < end; ++unit) {
        int code = printer(unit, first, true);
        if (first && code == PRINT_UNIT_NO_ROOM)
            code = PRINT_UNIT_FITS; // printed cut at the page's end
        first = false;
        if (code != PRINT_UNIT_FITS && code != PRINT_UNIT_FITS_BREAK)
            break;
    }
    return true;
}
