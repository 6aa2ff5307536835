#include "data/ColData.h"

#include "data/Data.h"
#include "data/DataDouble.h"
#include "framework/ArchiveHelpers.h"
#include "platform/Archive.h"

#include <algorithm>
#include <climits>
#include <typeinfo>

IMPLEMENT_SERIAL(CColData, CObject, VERSIONABLE_SCHEMA | 0)

namespace {

// The stored map order: buckets of (key >> 4) mod 17 in ascending order, the
// keys of one bucket newest first, which for rows filled top down is
// descending order.
constexpr std::uint32_t kHashBuckets = 17;

bool IsPlainNumber(const CData* cell) { return cell && typeid(*cell) == typeid(CDataDouble); }

std::uint32_t BucketOf(int row) { return (std::uint32_t(row) >> 4) % kHashBuckets; }

} // namespace

std::vector<int> StoredKeyOrder(std::vector<int> keys)
{
    std::stable_sort(keys.begin(), keys.end(), [](int a, int b) {
        std::uint32_t ba = BucketOf(a);
        std::uint32_t bb = BucketOf(b);
        if (ba != bb)
            return ba < bb;
        return a > b;
    });
    return keys;
}

std::vector<CColData::Other>::iterator CColData::Page::FindOther(std::uint32_t off)
{
    auto it = std::lower_bound(others.begin(), others.end(), off,
                               [](const Other& o, std::uint32_t v) { return o.offset < v; });
    return it != others.end() && it->offset == off ? it : others.end();
}

std::vector<CColData::Other>::const_iterator CColData::Page::FindOther(std::uint32_t off) const
{
    auto it = std::lower_bound(others.begin(), others.end(), off,
                               [](const Other& o, std::uint32_t v) { return o.offset < v; });
    return it != others.end() && it->offset == off ? it : others.end();
}

CColData::~CColData() { Clear(); }

void CColData::Clear()
{
    for (auto& page : m_pages)
        for (Other& o : page->others)
            delete o.cell;
    m_pages.clear();
    m_views.clear();
    m_count = 0;
}

std::size_t CColData::PageIndex(std::int32_t number) const
{
    // Most columns are filled without gaps from their first page: there the
    // number gives the page's place at once; the search covers the rest.
    if (!m_pages.empty()) {
        const std::int64_t guess = std::int64_t(number) - m_pages.front()->number;
        if (guess >= 0 && std::uint64_t(guess) < m_pages.size() && m_pages[std::size_t(guess)]->number == number)
            return std::size_t(guess);
    }
    auto it = std::lower_bound(m_pages.begin(), m_pages.end(), number,
                               [](const std::unique_ptr<Page>& p, std::int32_t n) { return p->number < n; });
    return std::size_t(it - m_pages.begin());
}

CColData::Page* CColData::FindPage(std::int32_t number) const
{
    const std::size_t i = PageIndex(number);
    return i < m_pages.size() && m_pages[i]->number == number ? m_pages[i].get() : nullptr;
}

CColData::Page& CColData::EnsurePage(std::int32_t number)
{
    if (!m_pages.empty() && m_pages.back()->number < number) {
        m_pages.push_back(std::make_unique<Page>());
        m_pages.back()->number = number;
        return *m_pages.back();
    }
    const std::size_t i = PageIndex(number);
    if (i < m_pages.size() && m_pages[i]->number == number)
        return *m_pages[i];
    auto page = std::make_unique<Page>();
    page->number = number;
    return **m_pages.insert(m_pages.begin() + std::ptrdiff_t(i), std::move(page));
}

void CColData::DropPageIfEmpty(Page& page)
{
    if (page.count != 0)
        return;
    const std::size_t i = PageIndex(page.number);
    m_pages.erase(m_pages.begin() + std::ptrdiff_t(i));
}

bool CColData::FitsValues(const Page& page, std::uint32_t off)
{
    // A number far beyond the others of its page would leave a long stretch
    // of unused doubles; it is kept as an object instead until the numbers
    // below it fill in.
    const std::size_t need = std::size_t(off) + 1;
    return need <= page.values.size() || need <= 64 || need <= 2 * (std::size_t(page.numbers) + 1);
}

void CColData::PutNumber(Page& page, std::uint32_t off, double value)
{
    // The caller has made the position free.
    if (!FitsValues(page, off)) {
        PutObject(page, off, new CDataDouble(value));
        return;
    }
    if (off >= page.values.size()) {
        const std::size_t need = std::size_t(off) + 1;
        if (need > page.values.capacity())
            page.values.reserve(std::min<std::size_t>(kPageRows, std::bit_ceil(need)));
        page.values.resize(need);
    }
    page.values[off] = value;
    page.numberBits[off >> 6] |= 1ULL << (off & 63);
    ++page.numbers;
    ++page.count;
    ++m_count;
}

void CColData::PutObject(Page& page, std::uint32_t off, CData* cell)
{
    // The caller has made the position free.
    if (page.others.empty() || page.others.back().offset < off) {
        page.others.push_back({off, cell});
    } else {
        auto it = std::lower_bound(page.others.begin(), page.others.end(), off,
                                   [](const Other& o, std::uint32_t v) { return o.offset < v; });
        page.others.insert(it, {off, cell});
    }
    page.otherBits[off >> 6] |= 1ULL << (off & 63);
    ++page.count;
    ++m_count;
}

bool CColData::Take(Page& page, std::uint32_t off, RawCell& out)
{
    out = RawCell();
    if (page.IsNumber(off)) {
        out.isNumber = true;
        out.number = page.values[off];
        page.numberBits[off >> 6] &= ~(1ULL << (off & 63));
        --page.numbers;
    } else if (page.IsOther(off)) {
        auto it = page.FindOther(off);
        out.object = it->cell;
        page.others.erase(it);
        page.otherBits[off >> 6] &= ~(1ULL << (off & 63));
    } else {
        return false;
    }
    --page.count;
    --m_count;
    return true;
}

void CColData::DropView(int row) const
{
    if (!m_views.empty())
        m_views.erase(row);
}

CData* CColData::GetCell(int row) const
{
    Page* page = FindPage(PageOf(row));
    if (!page)
        return nullptr;
    const std::uint32_t off = OffsetOf(row);
    if (page->IsNumber(off)) {
        std::unique_ptr<CDataDouble>& view = m_views[row];
        if (!view)
            view = std::make_unique<CDataDouble>(page->values[off]);
        else
            view->m_value = page->values[off];
        return view.get();
    }
    if (page->IsOther(off))
        return page->FindOther(off)->cell;
    return nullptr;
}

const CData* CColData::PeekCell(int row, CDataDouble& scratch) const
{
    const Page* page = FindPage(PageOf(row));
    if (!page)
        return nullptr;
    const std::uint32_t off = OffsetOf(row);
    if (page->IsNumber(off)) {
        scratch.m_value = page->values[off];
        return &scratch;
    }
    return page->IsOther(off) ? page->FindOther(off)->cell : nullptr;
}

bool CColData::GetNumberValue(int row, double& value) const
{
    const Page* page = FindPage(PageOf(row));
    if (!page)
        return false;
    const std::uint32_t off = OffsetOf(row);
    if (page->IsNumber(off)) {
        value = page->values[off];
        return true;
    }
    if (!page->IsOther(off))
        return false;
    const CData* cell = page->FindOther(off)->cell;
    if (!cell || cell->GetKind() != CData::kNumber)
        return false;
    value = static_cast<const CDataDouble*>(cell)->m_value;
    return true;
}

const double* CColData::NumberBlock(int row) const
{
    const Page* page = FindPage(PageOf(row));
    const std::uint32_t w = OffsetOf(row) >> 6;
    // A full word of numbers has its doubles: values reaches past its last row.
    return page && (row & 63) == 0 && page->numberBits[w] == ~0ULL ? page->values.data() + (w << 6) : nullptr;
}

bool CColData::HasAssociation(int row) const
{
    const Page* page = FindPage(PageOf(row));
    const std::uint32_t off = OffsetOf(row);
    return page && (page->IsNumber(off) || page->IsOther(off));
}

void CColData::SetCell(int row, CData* cell)
{
    if (IsPlainNumber(cell)) {
        double v = static_cast<CDataDouble*>(cell)->m_value;
        delete cell;
        SetNumber(row, v);
        return;
    }
    Page& page = EnsurePage(PageOf(row));
    const std::uint32_t off = OffsetOf(row);
    if (page.IsOther(off)) {
        auto it = page.FindOther(off);
        delete it->cell;
        it->cell = cell;
    } else {
        RawCell old;
        if (Take(page, off, old))
            DropView(row);
        PutObject(page, off, cell);
    }
    m_lastRow = std::max(m_lastRow, row);
}

void CColData::SetNumber(int row, double value)
{
    Page& page = EnsurePage(PageOf(row));
    const std::uint32_t off = OffsetOf(row);
    if (page.IsNumber(off)) {
        page.values[off] = value;
        if (!m_views.empty())
            if (auto it = m_views.find(row); it != m_views.end())
                it->second->m_value = value;
        return;
    }
    if (page.IsOther(off)) {
        auto it = page.FindOther(off);
        // A number kept as an object stays the same object.
        if (IsPlainNumber(it->cell)) {
            static_cast<CDataDouble*>(it->cell)->m_value = value;
            return;
        }
        RawCell old;
        Take(page, off, old);
        DestroyRaw(old);
    }
    PutNumber(page, off, value);
    m_lastRow = std::max(m_lastRow, row);
}

bool CColData::ExtractRaw(int row, RawCell& out)
{
    Page* page = FindPage(PageOf(row));
    if (!page || !Take(*page, OffsetOf(row), out))
        return false;
    if (out.isNumber)
        DropView(row);
    DropPageIfEmpty(*page);
    return true;
}

void CColData::InsertRaw(int row, const RawCell& cell)
{
    if (cell.isNumber)
        SetNumber(row, cell.number);
    else
        SetCell(row, cell.object);
}

void CColData::DestroyRaw(RawCell& cell)
{
    delete cell.object;
    cell.object = nullptr;
}

CData* CColData::DetachCell(int row)
{
    // A number handed out before keeps its object: the caller gets that one.
    std::unique_ptr<CDataDouble> view;
    if (!m_views.empty())
        if (auto it = m_views.find(row); it != m_views.end())
            view = std::move(it->second);
    RawCell raw;
    if (!ExtractRaw(row, raw))
        return nullptr;
    if (!raw.isNumber)
        return raw.object;
    if (view) {
        view->m_value = raw.number;
        return view.release();
    }
    return new CDataDouble(raw.number);
}

bool CColData::RemoveCell(int row)
{
    RawCell raw;
    if (!ExtractRaw(row, raw))
        return false;
    DestroyRaw(raw);
    return true;
}

std::vector<CColData::Moved> CColData::TakeRange(int first, int last)
{
    std::vector<Moved> moved;
    ForEachRaw(first, last, [&](int row, const RawCell& cell) { moved.push_back({row, cell}); });
    if (!moved.empty())
        EraseRange(first, last, false);
    return moved;
}

void CColData::EraseRange(int first, int last, bool deleteObjects)
{
    if (first > last)
        return;
    const std::int32_t firstPage = PageOf(first), lastPage = PageOf(last);
    std::size_t p = PageIndex(firstPage);
    std::size_t keep = p; // pages kept are moved down over the ones dropped
    for (; p < m_pages.size() && m_pages[p]->number <= lastPage; ++p) {
        Page& page = *m_pages[p];
        const std::uint32_t lo = page.number == firstPage ? OffsetOf(first) : 0;
        const std::uint32_t hi = page.number == lastPage ? OffsetOf(last) : kPageRows - 1;
        if (lo == 0 && hi == kPageRows - 1) {
            m_count -= page.count;
            if (deleteObjects)
                for (Other& o : page.others)
                    delete o.cell;
            m_pages[p].reset();
            continue;
        }
        RawCell dropped;
        for (std::uint32_t off = lo; off <= hi; ++off)
            if (Take(page, off, dropped) && deleteObjects)
                DestroyRaw(dropped);
        if (page.count == 0) {
            m_pages[p].reset();
            continue;
        }
        if (keep != p)
            m_pages[keep] = std::move(m_pages[p]);
        ++keep;
    }
    if (keep != p)
        m_pages.erase(m_pages.begin() + std::ptrdiff_t(keep), m_pages.begin() + std::ptrdiff_t(p));
}

void CColData::ClearOffsets(Page& page, std::uint32_t lo, std::uint32_t hi, bool deleteObjects)
{
    std::uint32_t removed = 0;
    for (std::uint32_t w = lo >> 6; w <= hi >> 6; ++w) {
        const std::uint64_t mask = WordMask(w, lo, hi);
        const std::uint32_t numbers = std::uint32_t(std::popcount(page.numberBits[w] & mask));
        page.numbers -= numbers;
        removed += numbers + std::uint32_t(std::popcount(page.otherBits[w] & mask));
        page.numberBits[w] &= ~mask;
        page.otherBits[w] &= ~mask;
    }
    auto byOffset = [](const Other& o, std::uint32_t v) { return o.offset < v; };
    auto from = std::lower_bound(page.others.begin(), page.others.end(), lo, byOffset);
    auto to = std::lower_bound(from, page.others.end(), hi + 1, byOffset);
    if (deleteObjects)
        for (auto it = from; it != to; ++it)
            delete it->cell;
    page.others.erase(from, to);
    page.count -= removed;
    m_count -= removed;
}

void CColData::SetNumberRun(int first, std::span<const double> values, std::span<const std::uint8_t> present)
{
    std::size_t n = values.size();
    if (!present.empty())
        n = std::min(n, present.size());
    // Rows past the largest row number do not exist.
    n = std::size_t(std::min<std::int64_t>(std::int64_t(n), std::int64_t(INT_MAX) - first + 1));
    if (n == 0)
        return;
    const int last = int(std::int64_t(first) + std::int64_t(n) - 1);
    if (!m_views.empty())
        m_views.erase(m_views.lower_bound(first), m_views.upper_bound(last));
    PutRun(first, last, values.data(), present.empty() ? nullptr : present.data(), true);
    RecalcLastRow();
}

void CColData::PutRun(int first, int last, const double* values, const std::uint8_t* present, bool deleteObjects)
{
    const std::int32_t firstPage = PageOf(first), lastPage = PageOf(last);
    for (std::int32_t number = firstPage;; ++number) {
        const std::uint32_t lo = number == firstPage ? OffsetOf(first) : 0;
        const std::uint32_t hi = number == lastPage ? OffsetOf(last) : kPageRows - 1;
        // values[origin + off] belongs at offset off of this page.
        const std::int64_t origin = std::int64_t(RowOf(number, 0)) - first;
        std::uint64_t bits[kWords] = {};
        std::uint32_t adding = 0, top = 0;
        if (!present) {
            for (std::uint32_t w = lo >> 6; w <= hi >> 6; ++w)
                bits[w] = WordMask(w, lo, hi);
            adding = hi - lo + 1;
            top = hi;
        } else {
            for (std::uint32_t off = lo; off <= hi; ++off) {
                if (present[origin + off]) {
                    bits[off >> 6] |= 1ULL << (off & 63);
                    ++adding;
                    top = off;
                }
            }
        }
        Page* page = FindPage(number);
        if (page)
            ClearOffsets(*page, lo, hi, deleteObjects);
        if (adding) {
            if (!page)
                page = &EnsurePage(number);
            const std::size_t need = std::size_t(top) + 1;
            if (need <= page->values.size() || need <= 64 || need <= 2 * (std::size_t(page->numbers) + adding)) {
                // The numbers' doubles go in as one block; the bits say which rows hold one.
                if (need > page->values.size())
                    page->values.resize(need);
                const double* from = values + (origin + lo);
                std::copy(from, from + (top - lo + 1), page->values.begin() + lo);
                for (std::uint32_t w = lo >> 6; w <= top >> 6; ++w)
                    page->numberBits[w] |= bits[w];
                page->numbers += adding;
                page->count += adding;
                m_count += adding;
            } else {
                // Numbers too scattered for a block of doubles: one by one, as SetNumber puts them.
                for (std::uint32_t w = lo >> 6; w <= top >> 6; ++w)
                    for (std::uint64_t b = bits[w]; b; b &= b - 1) {
                        const std::uint32_t off = (w << 6) | std::uint32_t(std::countr_zero(b));
                        PutNumber(*page, off, values[origin + off]);
                    }
            }
        }
        if (page)
            DropPageIfEmpty(*page);
        if (number == lastPage)
            break;
    }
}

void CColData::PutAll(const std::vector<Moved>& cells)
{
    Page* page = nullptr;
    for (const Moved& m : cells) {
        if (!page || page->number != PageOf(m.row))
            page = &EnsurePage(PageOf(m.row));
        const std::uint32_t off = OffsetOf(m.row);
        RawCell old;
        if (Take(*page, off, old)) // rows collide only when a caller broke its promise
            DestroyRaw(old);
        if (m.cell.isNumber)
            PutNumber(*page, off, m.cell.number);
        else
            PutObject(*page, off, m.cell.object);
    }
}

void CColData::Append(int row, const RawCell& cell)
{
    Page& page = m_pages.empty() || m_pages.back()->number != PageOf(row) ? EnsurePage(PageOf(row)) : *m_pages.back();
    if (cell.isNumber)
        PutNumber(page, OffsetOf(row), cell.number);
    else
        PutObject(page, OffsetOf(row), cell.object);
}

void CColData::RemoveRows(int first, int last)
{
    if (first > last)
        return;
    EraseRange(first, last, true);
    if (!m_views.empty())
        m_views.erase(m_views.lower_bound(first), m_views.upper_bound(last));
}

void CColData::ShiftRows(int fromRow, int delta)
{
    if (delta == 0)
        return;
    std::vector<Moved> moved = TakeRange(fromRow, INT_MAX);
    // Rows never overflow: associations pushed past the largest row are dropped.
    std::size_t keep = 0;
    for (Moved& m : moved) {
        const std::int64_t to = std::int64_t(m.row) + delta;
        if (to > INT32_MAX || to < INT32_MIN) {
            DestroyRaw(m.cell);
            continue;
        }
        m.row = int(to);
        moved[keep++] = m;
    }
    moved.resize(keep);
    PutAll(moved);
    if (!m_views.empty()) {
        std::map<int, std::unique_ptr<CDataDouble>> views;
        for (auto& [row, view] : m_views) {
            const std::int64_t to = row >= fromRow ? std::int64_t(row) + delta : row;
            if (to <= INT32_MAX && to >= INT32_MIN)
                views[int(to)] = std::move(view);
        }
        m_views.swap(views);
        // Keep only objects of rows that still hold a plain number.
        for (auto it = m_views.begin(); it != m_views.end();) {
            const Page* page = FindPage(PageOf(it->first));
            it = page && page->IsNumber(OffsetOf(it->first)) ? std::next(it) : m_views.erase(it);
        }
    }
}

void CColData::CompactNumbers()
{
    for (auto& pagePtr : m_pages) {
        Page& page = *pagePtr;
        for (std::size_t i = 0; i < page.others.size();) {
            Other o = page.others[i];
            if (!IsPlainNumber(o.cell) || !FitsValues(page, o.offset)) {
                ++i;
                continue;
            }
            const double value = static_cast<CDataDouble*>(o.cell)->m_value;
            page.others.erase(page.others.begin() + std::ptrdiff_t(i));
            page.otherBits[o.offset >> 6] &= ~(1ULL << (o.offset & 63));
            --page.count;
            --m_count;
            delete o.cell;
            PutNumber(page, o.offset, value);
        }
    }
}

void CColData::PermuteRows(int first, const std::vector<int>& newRows)
{
    if (newRows.empty())
        return;
    const std::size_t n = newRows.size();
    const std::int64_t last64 = std::int64_t(first) + std::int64_t(n) - 1;
    if (last64 > INT32_MAX)
        return;
    const int last = int(last64);
    // Each cell moves once: into its new place in a scratch row of values,
    // then back into the pages, which are written over in place.
    std::vector<double> values(n);
    std::vector<std::uint8_t> isNumber(n, 0);
    std::vector<std::pair<int, CData*>> objects;
    WalkWords(first, last, [&](const Page& page, std::uint32_t w, std::uint64_t mask, auto& other) {
        const std::size_t base = std::size_t(std::int64_t(RowOf(page.number, w << 6)) - first);
        std::uint64_t nbits = page.numberBits[w] & mask;
        while (nbits) {
            const int k = std::countr_zero(nbits);
            nbits &= nbits - 1;
            const std::size_t to = std::size_t(newRows[base + std::size_t(k)] - first);
            values[to] = page.values[(w << 6) | std::uint32_t(k)];
            isNumber[to] = 1;
        }
        std::uint64_t obits = page.otherBits[w] & mask;
        while (obits) {
            const std::uint32_t off = (w << 6) | std::uint32_t(std::countr_zero(obits));
            obits &= obits - 1;
            while (other->offset < off)
                ++other;
            const std::size_t to = std::size_t(newRows[base + (off & 63)] - first);
            objects.emplace_back(first + int(to), other->cell);
        }
    });
    // The objects are the column's still: taken out of their rows, not deleted.
    PutRun(first, last, values.data(), isNumber.data(), false);
    std::sort(objects.begin(), objects.end());
    Page* page = nullptr;
    for (const auto& [row, cell] : objects) {
        if (!page || page->number != PageOf(row))
            page = &EnsurePage(PageOf(row));
        PutObject(*page, OffsetOf(row), cell);
    }
    if (!m_views.empty()) {
        std::vector<std::pair<int, std::unique_ptr<CDataDouble>>> moved;
        for (auto it = m_views.lower_bound(first); it != m_views.end() && it->first <= last;) {
            moved.emplace_back(newRows[std::size_t(it->first - first)], std::move(it->second));
            it = m_views.erase(it);
        }
        for (auto& [row, view] : moved)
            m_views[row] = std::move(view);
    }
    RecalcLastRow();
}

void CColData::RecalcLastRow()
{
    if (m_pages.empty()) {
        m_lastRow = -1;
        return;
    }
    const Page& page = *m_pages.back();
    for (int w = kWords - 1; w >= 0; --w) {
        const std::uint64_t bits = page.numberBits[w] | page.otherBits[w];
        if (bits) {
            m_lastRow = RowOf(page.number, std::uint32_t(w * 64 + 63 - std::countl_zero(bits)));
            return;
        }
    }
    m_lastRow = -1; // not reached: empty pages are dropped
}

void CColData::ForEachRaw(int first, int last, const std::function<void(int, const RawCell&)>& visit) const
{
    WalkWords(first, last, [&](const Page& page, std::uint32_t w, std::uint64_t mask, auto& other) {
        std::uint64_t all = (page.numberBits[w] | page.otherBits[w]) & mask;
        while (all) {
            const std::uint32_t off = (w << 6) | std::uint32_t(std::countr_zero(all));
            all &= all - 1;
            RawCell cell;
            if (page.IsNumber(off)) {
                cell.isNumber = true;
                cell.number = page.values[off];
            } else {
                while (other->offset < off)
                    ++other;
                cell.object = other->cell;
            }
            visit(RowOf(page.number, off), cell);
        }
    });
}

void CColData::ForEach(const std::function<void(int, CData*)>& visit) const
{
    ForEachInRows(INT_MIN, INT_MAX, visit);
}

void CColData::ForEachInRows(int first, int last, const std::function<void(int, CData*)>& visit) const
{
    // The rows first: GetCell may add number objects while the walk runs.
    std::vector<int> rows;
    ForEachRaw(first, last, [&](int row, const RawCell&) { rows.push_back(row); });
    for (int row : rows)
        visit(row, GetCell(row));
}

std::vector<int> CColData::GetRows() const
{
    std::vector<int> rows;
    rows.reserve(m_count);
    ForEachRaw(INT_MIN, INT_MAX, [&](int row, const RawCell&) { rows.push_back(row); });
    return rows;
}

std::size_t CColData::MemoryBytes() const
{
    std::size_t bytes = m_pages.capacity() * sizeof(m_pages[0]);
    for (const auto& page : m_pages)
    {
        bytes += sizeof(Page) + page->values.capacity() * sizeof(double) + page->others.capacity() * sizeof(Other);
        for (const Other& o : page->others)
            bytes += IsPlainNumber(o.cell) ? sizeof(CDataDouble) : 0;
    }
    return bytes + m_views.size() * (sizeof(CDataDouble) + 48);
}

namespace {
thread_local std::unordered_set<const CObject*>* t_loadOwners = nullptr;
}

CColData::LoadOwnersScope::LoadOwnersScope(std::unordered_set<const CObject*>& owned)
    : m_previous(t_loadOwners)
{
    t_loadOwners = &owned;
}

CColData::LoadOwnersScope::~LoadOwnersScope() { t_loadOwners = m_previous; }

void CColData::Serialize(CArchive& ar)
{
    if (t_loadOwners) {
        SerializeCells(ar, *t_loadOwners);
        return;
    }
    std::unordered_set<const CObject*> owned;
    SerializeCells(ar, owned);
}

void CColData::SerializeCells(CArchive& ar, std::unordered_set<const CObject*>& owned)
{
    // A plain number's record: its key, its object tag, then its data (the
    // version word and the value).
    constexpr std::size_t kNumberData = 12;
    constexpr std::size_t kRecord = 6 + kNumberData;
    SerializeVersion(ar, 0);
    if (ar.IsStoring()) {
        ar.WriteCount(std::uint32_t(m_count));
        // The stored order goes bucket by bucket; within one bucket, rows
        // descend. A bucket holds whole groups of 16 rows, every 17th group.
        constexpr int kGroups = kPageRows / 16;
        // The groups of one bucket in stored order: page by page down, in
        // each every 17th group down. Listed first, so that the numbers of
        // the group some places on can be fetched from memory ahead.
        struct SGroup {
            const Page* page;
            std::uint32_t lowOff;
        };
        std::vector<SGroup> groups;
        constexpr std::size_t kAhead = 4;
        for (std::uint32_t b = 0; b < kHashBuckets; ++b) {
            groups.clear();
            for (std::size_t p = m_pages.size(); p-- > 0;) {
                const Page& page = *m_pages[p];
                // Each group down the page is in the bucket before its
                // neighbour's: from the last group's bucket, the first of b.
                const int top = kGroups - 1;
                const std::uint32_t last = BucketOf(RowOf(page.number, std::uint32_t(top) * 16));
                const int first = top - int((last + kHashBuckets - b) % kHashBuckets);
                for (int g = first; g >= 0; g -= int(kHashBuckets))
                    groups.push_back({&page, std::uint32_t(g) * 16});
            }
            for (std::size_t i = 0; i < groups.size(); ++i) {
                if (i + kAhead < groups.size()) {
                    const SGroup& next = groups[i + kAhead];
                    if (next.page->values.size() >= next.lowOff + 16) {
                        // Both cache lines of its 16 numbers.
                        __builtin_prefetch(next.page->values.data() + next.lowOff);
                        __builtin_prefetch(next.page->values.data() + next.lowOff + 8);
                    }
                }
                const Page& page = *groups[i].page;
                const std::uint32_t lowOff = groups[i].lowOff;
                const std::uint32_t shift = lowOff & 63;
                const std::uint64_t nbits = (page.numberBits[lowOff >> 6] >> shift) & 0xffff;
                const std::uint64_t obits = (page.otherBits[lowOff >> 6] >> shift) & 0xffff;
                // A group of plain numbers only, the common case, in one go.
                auto writeNumber = [&](std::uint32_t k, BYTE* record) {
                    const std::uint32_t off = lowOff + 15 - k;
                    const std::int32_t row = RowOf(page.number, off);
                    const std::int32_t version = 0;
                    std::memcpy(record, &row, 4);
                    std::memcpy(record + 6, &version, 4);
                    std::memcpy(record + 10, &page.values[off], 8);
                };
                if (nbits == 0xffff && ar.WriteRecordsInPlace(RUNTIME_CLASS(CDataDouble), kNumberData, 16, writeNumber))
                    continue;
                std::uint64_t all = nbits | obits;
                while (all) {
                    const int k = 63 - std::countl_zero(all);
                    all &= ~(1ULL << k);
                    const std::uint32_t off = lowOff + std::uint32_t(k);
                    const std::int32_t row = RowOf(page.number, off);
                    // A cell belongs to one column only: nothing refers back to it.
                    if ((nbits >> k) & 1) {
                        // A plain number's stored form, written here without the
                        // call through the object: its version word 0 and the value.
                        BYTE data[kNumberData] = {};
                        std::memcpy(data + 4, &page.values[off], 8);
                        ar.WriteRecordInPlace(row, RUNTIME_CLASS(CDataDouble), data, sizeof data);
                    } else {
                        ar << row;
                        ar.WriteUniqueObject(page.FindOther(off)->cell);
                    }
                }
            }
        }
        m_format.Serialize(ar);
        ar << std::int32_t(m_lastRow);
        return;
    }

    Clear();
    std::uint32_t count = ar.ReadCount();
    // Each association takes at least a 4-byte key and a 2-byte object tag.
    ar.CheckRemaining(count, 6);
    // Plain numbers, by far the most common cells, go straight into their
    // pages as they are read; other cells are built as objects and put in
    // row order at the end. The stored order jumps through the column, so a
    // page gets room for all its rows at once, within a budget that the
    // count (bounded by the file's size) sets: a file of scattered rows
    // cannot make the column claim a page of doubles for each.
    const std::size_t budget = 2 * std::size_t(count) + 4 * kPageRows;
    std::size_t used = 0;
    std::vector<std::pair<int, CData*>> objects;
    auto dropAll = [&](std::size_t from) {
        for (std::size_t i = from; i < objects.size(); ++i)
            delete objects[i].second;
        objects.clear();
        Clear();
    };
    try {
        // The page of the row read last, which the next rows are likely in.
        Page* page = nullptr;
        auto pageFor = [&](std::int32_t row) {
            if (!page || page->number != PageOf(row))
                page = &EnsurePage(PageOf(row));
        };
        // A plain number into its page; false when the budget leaves it to
        // be an object instead.
        auto putNumber = [&](std::int32_t row, double value) {
            pageFor(row);
            const std::uint32_t off = OffsetOf(row);
            if (page->IsNumber(off))
                ThrowArchiveError(CArchiveException::badIndex, "a row is stored twice");
            if (off >= page->values.size()) {
                const std::size_t more = kPageRows - page->values.size();
                if (used + more > budget)
                    return false;
                used += more;
                page->values.resize(kPageRows);
            }
            page->values[off] = value;
            page->numberBits[off >> 6] |= 1ULL << (off & 63);
            ++page->numbers;
            ++page->count;
            ++m_count;
            return true;
        };
        // A run of 16 records that fills a group of rows (stored downwards)
        // with plain numbers, the common case, in one go; false leaves them
        // to be read one by one.
        auto putGroup = [&](const BYTE* records) {
            std::int32_t top;
            std::memcpy(&top, records, 4);
            if ((top & 15) != 15)
                return false;
            bool plain = true;
            for (int k = 0; k < 16; ++k) {
                std::int32_t row, version;
                std::memcpy(&row, records + k * kRecord, 4);
                std::memcpy(&version, records + k * kRecord + 6, 4);
                plain &= (row == top - k) & (version <= 0);
            }
            if (!plain)
                return false;
            pageFor(top);
            const std::uint32_t low = OffsetOf(top) - 15;
            std::uint64_t& bits = page->numberBits[low >> 6];
            if (page->values.size() != kPageRows || ((bits >> (low & 63)) & 0xffff))
                return false;
            double* values = page->values.data() + low;
            for (int k = 0; k < 16; ++k)
                std::memcpy(&values[15 - k], records + k * kRecord + 10, 8);
            bits |= 0xffffULL << (low & 63);
            page->numbers += 16;
            page->count += 16;
            m_count += 16;
            return true;
        };
        for (std::uint32_t i = 0; i < count;) {
            // Runs of plain numbers straight from the archive's buffer: the
            // version word (0 or below, as SerializeVersion takes it) and
            // the value of each; anything else goes the long way below.
            const CArchive::SRecordRun run =
                ar.RecordsInPlace(RUNTIME_CLASS(CData), RUNTIME_CLASS(CDataDouble), kNumberData, count - i);
            std::uint32_t done = 0;
            while (done < run.count) {
                const BYTE* record = run.first + std::size_t(done) * kRecord;
                if (run.count - done >= 16 && putGroup(record)) {
                    done += 16;
                    continue;
                }
                std::int32_t row, version;
                double value;
                std::memcpy(&row, record, 4);
                std::memcpy(&version, record + 6, 4);
                std::memcpy(&value, record + 10, 8);
                if (version > 0 || !putNumber(row, value))
                    break;
                ++done;
            }
            ar.TakeRecordsInPlace(kNumberData, done);
            i += done;
            if (i == count)
                break;
            ++i;
            std::int32_t row = 0;
            ar >> row;
            CArchive::ObjectTag tag = ar.ReadObjectTag(RUNTIME_CLASS(CData));
            // A reference back to an object read before would give a cell two owners.
            if (tag.earlier)
                ThrowArchiveError(CArchiveException::badIndex, "a cell is stored twice");
            if (!tag.newClass) {
                objects.emplace_back(row, nullptr);
                continue;
            }
            if (tag.newClass != RUNTIME_CLASS(CDataDouble)) {
                std::unique_ptr<CObject> object(tag.newClass->CreateObject());
                if (!object)
                    ThrowArchiveError(CArchiveException::badClass);
                ar.MapLoadedObject(object.get());
                object->Serialize(ar);
                objects.emplace_back(row, static_cast<CData*>(object.get()));
                object.release();
                continue;
            }
            ar.MapLoadedObject(nullptr);
            LoadVersion(ar, 0);
            double value = 0;
            ar >> value;
            if (!putNumber(row, value))
                objects.emplace_back(row, new CDataDouble(value));
        }
        m_format.Serialize(ar);
        std::int32_t lastRow = 0;
        ar >> lastRow;
    } catch (...) {
        dropAll(0);
        throw;
    }
    // Objects other than plain numbers stay as they are while the archive
    // may still refer to them; CompactNumbers moves them later.
    std::stable_sort(objects.begin(), objects.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const int row = objects[i].first;
        Page& page = EnsurePage(PageOf(row));
        const std::uint32_t off = OffsetOf(row);
        if ((i > 0 && objects[i - 1].first == row) || page.IsNumber(off)) {
            dropAll(i);
            ThrowArchiveError(CArchiveException::badIndex, "a row is stored twice");
        }
        PutObject(page, off, objects[i].second);
    }
    // Pages keep room up to their last number only, and none stays empty.
    std::erase_if(m_pages, [](const std::unique_ptr<Page>& page) { return page->count == 0; });
    for (auto& page : m_pages) {
        std::size_t size = 0;
        for (int w = kWords - 1; w >= 0 && !size; --w)
            if (page->numberBits[w])
                size = std::size_t(w) * 64 + 64 - std::size_t(std::countl_zero(page->numberBits[w]));
        page->values.resize(size);
        if (page->values.capacity() > 2 * size + 64)
            page->values.shrink_to_fit();
    }
    // The last row follows from the keys, whatever a damaged file says.
    RecalcLastRow();
}
