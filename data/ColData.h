// One column of a data table: a sparse map from row to owned cell, the
// column's last row and its number format.
//
// Rows are kept in pages of 1,024. Plain numbers, by far the most common
// cells, sit in a page as contiguous doubles with one bit each saying the row
// holds a number; text, numbers with a descriptor, column types and
// associations without a cell sit beside them as objects, sorted by row. A
// column of numbers thus costs a little over eight bytes a cell, and its
// numbers can be walked block by block without a lookup per row.
//
// A caller still sees a CData* for every cell: GetCell builds a number object
// for a plain number on first request and keeps it, updated, until the cell
// is removed or replaced (the pointer lives as long as the cell does, as with
// any other cell). Bulk readers use GetNumberValue, VisitNumbers or
// ForEachRaw, which build nothing.
#pragma once

#include "data/BlockArena.h"
#include "data/DataDouble.h"
#include "data/DataFormat.h"
#include "framework/ArchiveHelpers.h"
#include "platform/Object.h"

#include <bit>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <unordered_set>
#include <vector>

class CData;
// The order in which a stored map lists its keys (the hash-table walk).
std::vector<int> StoredKeyOrder(std::vector<int> keys);

class CColData : public CObject {
    DECLARE_SERIAL(CColData)
public:
    CColData() = default;
    explicit CColData(const CDataFormat& format) { m_format.Merge(format); }
    ~CColData() override;
    CColData(const CColData&) = delete;
    CColData& operator=(const CColData&) = delete;

    // A cell taken out of a column without being built as a heap object:
    // either a plain number or an owned object (null for an empty association).
    struct RawCell {
        bool isNumber = false;
        double number = 0.0;
        CData* object = nullptr;
    };

    // The cell at row, or null (also for an association without a cell).
    CData* GetCell(int row) const;
    bool HasAssociation(int row) const;
    // The cell at row for a short look, without keeping an object for a
    // plain number: that one is copied into scratch, whose address comes back.
    const CData* PeekCell(int row, CDataDouble& scratch) const;
    // The value of a number cell (plain or with a descriptor, blanks
    // included); false for anything else.
    bool GetNumberValue(int row, double& value) const;
    // Stores cell (owned from now on; null makes an association without a
    // cell), deleting a cell that was there.
    void SetCell(int row, CData* cell);
    void SetNumber(int row, double value);
    // Removes the association and gives its cell to the caller (null when absent).
    CData* DetachCell(int row);
    // Removes the association and deletes its cell; false when there was none.
    bool RemoveCell(int row);
    // Moves the association out and back in without building heap objects.
    bool ExtractRaw(int row, RawCell& out);
    void InsertRaw(int row, const RawCell& cell);
    static void DestroyRaw(RawCell& cell);

    // Moves every association at or past fromRow by delta (rows must not
    // collide: the caller has emptied the rows moved over). Associations
    // pushed past the largest row number are deleted.
    void ShiftRows(int fromRow, int delta);
    // Moves the association of each row first + i to row newRows[i]; the new
    // rows must be a permutation of first..first + newRows.size() - 1.
    void PermuteRows(int first, const std::vector<int>& newRows);
    // Deletes every association in [first, last].
    void RemoveRows(int first, int last);
    // Replaces rows first..first + values.size() - 1 at once: row first + i
    // gets the number values[i] where present[i] is not 0 (every row when
    // present is empty) and is emptied otherwise, as RemoveRows followed by
    // SetNumber for each number would leave it. Pages that hold numbers
    // already are written over in place, so a column computed again costs
    // no allocation.
    void SetNumberRun(int first, std::span<const double> values, std::span<const std::uint8_t> present = {});

    // Moves plain numbers that are heap objects (as loading leaves them) into
    // the number blocks. Call it once the archive that read them is closed.
    void CompactNumbers();

    int GetLastRow() const { return m_lastRow; }
    void RecalcLastRow();
    std::size_t GetCount() const { return m_count; }
    bool IsEmpty() const { return m_count == 0; }
    // Visits every association in ascending row order (cell may be null).
    void ForEach(const std::function<void(int row, CData* cell)>& visit) const;
    // Rows of every association, ascending.
    std::vector<int> GetRows() const;
    // Visits the associations of rows first..last in ascending order; the
    // work is that of the associations found, not of the rows spanned.
    void ForEachInRows(int first, int last, const std::function<void(int row, CData* cell)>& visit) const;
    // The same walk without building number objects: a plain number comes as
    // its value, any other cell as the object the column owns.
    void ForEachRaw(int first, int last, const std::function<void(int row, const RawCell& cell)>& visit) const;
    // The 64 numbers of rows row..row + 63 (row a multiple of 64) when all of
    // them are plain numbers, blanks included; else null.
    const double* NumberBlock(int row) const;
    // Calls visit(row, value) for every number of rows first..last that
    // counts as a value (not blank), in ascending row order.
    template <class Visit> void VisitNumbers(int first, int last, Visit&& visit) const;

    const CDataFormat& GetFormat() const { return m_format; }
    // Merges format into the column's own.
    void SetFormat(const CDataFormat& format) { m_format.Merge(format); }
    // Replaces the format whole (undo puts back an earlier format this way).
    void ReplaceFormat(const CDataFormat& format) { m_format = format; }

    void Serialize(CArchive& ar) override;
    // Loading refuses an object that the file refers to twice, since each cell
    // has one owner; owned collects every object of one table being read.
    void SerializeCells(CArchive& ar, std::unordered_set<const CObject*>& owned);

    // While one lives, columns read through the archive share the owner set.
    class LoadOwnersScope {
    public:
        explicit LoadOwnersScope(std::unordered_set<const CObject*>& owned);
        ~LoadOwnersScope();
    private:
        std::unordered_set<const CObject*>* m_previous;
    };

    // Bytes the column holds for its numbers: its pages and the number
    // objects it keeps (other cells' own sizes are left out).
    std::size_t MemoryBytes() const;

private:
    static constexpr int kPageShift = 10;
    static constexpr int kPageRows = 1 << kPageShift;
    static constexpr int kWords = kPageRows / 64;

    struct Other {
        std::uint32_t offset;
        CData* cell; // may be null: an association without a cell
    };
    static_assert(kPageRows * sizeof(double) == kNumberPageBytes, "a whole page of numbers is one arena block");
    struct Page {
        std::int32_t number = 0;    // row >> kPageShift
        std::uint32_t count = 0;    // associations in the page
        std::uint32_t numbers = 0;  // of them plain numbers held in values
        std::uint64_t numberBits[kWords] = {};
        std::uint64_t otherBits[kWords] = {};
        // By offset; valid where numberBits says so. A whole page's room comes
        // from the arena of number pages.
        std::vector<double, CNumberPageAllocator<double>> values;
        std::vector<Other> others;  // ascending offset

        bool IsNumber(std::uint32_t off) const { return (numberBits[off >> 6] >> (off & 63)) & 1; }
        bool IsOther(std::uint32_t off) const { return (otherBits[off >> 6] >> (off & 63)) & 1; }
        std::vector<Other>::iterator FindOther(std::uint32_t off);
        std::vector<Other>::const_iterator FindOther(std::uint32_t off) const;
    };

    static std::int32_t PageOf(int row) { return std::int32_t(row >> kPageShift); }
    static std::uint32_t OffsetOf(int row) { return std::uint32_t(row) & (kPageRows - 1); }
    static int RowOf(std::int32_t page, std::uint32_t off)
    {
        return int(std::uint32_t(page) << kPageShift | off);
    }

    std::size_t PageIndex(std::int32_t number) const; // index of the first page >= number
    Page* FindPage(std::int32_t number) const;
    Page& EnsurePage(std::int32_t number);
    void DropPageIfEmpty(Page& page);
    // Whether a number at off may go into values without wasting much room.
    static bool FitsValues(const Page& page, std::uint32_t off);
    void PutNumber(Page& page, std::uint32_t off, double value);
    void PutObject(Page& page, std::uint32_t off, CData* cell);
    // Removes the association at off from the page; its cell goes to out.
    bool Take(Page& page, std::uint32_t off, RawCell& out);
    void DropView(int row) const;
    // Removes every association at offsets lo..hi of page, deleting the
    // cells or leaving them to a caller who took them.
    void ClearOffsets(Page& page, std::uint32_t lo, std::uint32_t hi, bool deleteObjects);
    // Replaces rows first..last by the numbers values[i] where present[i] is
    // not 0 (every row for null present); pages holding numbers are written
    // over in place. Leaves the last row and the number objects to the caller.
    void PutRun(int first, int last, const double* values, const std::uint8_t* present, bool deleteObjects);
    void Clear();
    // Takes every association of rows first..last out, ascending.
    struct Moved {
        int row;
        RawCell cell;
    };
    std::vector<Moved> TakeRange(int first, int last);
    // Removes every association of rows first..last, deleting the cells or
    // leaving them to a caller who took them; number objects are the caller's.
    void EraseRange(int first, int last, bool deleteObjects);
    // Puts associations back; rows must be free.
    void PutAll(const std::vector<Moved>& cells);
    void Append(int row, const RawCell& cell);
    // Calls visit(page, word, mask, other) for each 64-row word of the pages
    // that rows first..last touch; mask keeps the word's rows in range and
    // other walks the page's objects in step (advanced by the visitor).
    template <class Visit> void WalkWords(int first, int last, Visit&& visit) const;
    // The bits of word w that lie in offsets lo..hi of a page.
    static std::uint64_t WordMask(std::uint32_t w, std::uint32_t lo, std::uint32_t hi)
    {
        std::uint64_t mask = ~0ULL;
        if (w == lo >> 6)
            mask &= ~0ULL << (lo & 63);
        if (w == hi >> 6 && (hi & 63) != 63)
            mask &= (2ULL << (hi & 63)) - 1;
        return mask;
    }

    std::vector<std::unique_ptr<Page>> m_pages; // ascending page number
    std::size_t m_count = 0;
    int m_lastRow = -1;
    CDataFormat m_format;
    // Number objects handed out by GetCell, by row.
    mutable std::map<int, std::unique_ptr<CDataDouble>> m_views;
};

template <class Visit> void CColData::WalkWords(int first, int last, Visit&& visit) const
{
    if (first > last)
        return;
    const std::int32_t firstPage = PageOf(first), lastPage = PageOf(last);
    for (std::size_t p = PageIndex(firstPage); p < m_pages.size() && m_pages[p]->number <= lastPage; ++p) {
        const Page& page = *m_pages[p];
        const std::uint32_t lo = page.number == firstPage ? OffsetOf(first) : 0;
        const std::uint32_t hi = page.number == lastPage ? OffsetOf(last) : kPageRows - 1;
        auto other = page.others.begin();
        while (other != page.others.end() && other->offset < lo)
            ++other;
        for (std::uint32_t w = lo >> 6; w <= hi >> 6; ++w)
            visit(page, w, WordMask(w, lo, hi), other);
    }
}

template <class Visit> void CColData::VisitNumbers(int first, int last, Visit&& visit) const
{
    WalkWords(first, last, [&](const Page& page, std::uint32_t w, std::uint64_t mask, auto& other) {
        const int base = RowOf(page.number, 0);
        std::uint64_t nbits = page.numberBits[w] & mask;
        const std::uint64_t obits = page.otherBits[w] & mask;
        if (!obits) {
            // The common case: only plain numbers in these 64 rows, most
            // often all 64 of them, which go by as one block.
            if (nbits == ~0ULL) {
                const double* block = page.values.data() + (w << 6);
                const int row = base + int(w << 6);
                bool blanks = false;
                for (int k = 0; k < 64; ++k)
                    blanks |= IsBlank(block[k]);
                // Without blanks the visit runs unconditioned, which lets
                // the compiler vectorise a simple visitor.
                if (!blanks) {
                    for (int k = 0; k < 64; ++k)
                        visit(row + k, block[k]);
                    return;
                }
                for (int k = 0; k < 64; ++k)
                    if (!IsBlank(block[k]))
                        visit(row + k, block[k]);
                return;
            }
            while (nbits) {
                const std::uint32_t off = (w << 6) | std::uint32_t(std::countr_zero(nbits));
                nbits &= nbits - 1;
                const double v = page.values[off];
                if (!IsBlank(v))
                    visit(base + int(off), v);
            }
            return;
        }
        std::uint64_t all = nbits | obits;
        while (all) {
            const std::uint32_t off = (w << 6) | std::uint32_t(std::countr_zero(all));
            all &= all - 1;
            double v = 0.0;
            if (page.IsNumber(off)) {
                v = page.values[off];
            } else {
                while (other->offset < off)
                    ++other;
                const CData* cell = other->cell;
                if (!cell || cell->GetKind() != CData::kNumber)
                    continue;
                v = static_cast<const CDataDouble*>(cell)->m_value;
            }
            if (!IsBlank(v))
                visit(base + int(off), v);
        }
    });
}
