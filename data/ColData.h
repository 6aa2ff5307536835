// One column of a data table: a sparse map from row to owned cell, the
// column's last row and its number format.
//
// Cells are kept in one vector sorted by row, sixteen bytes an entry. Plain
// numbers, by far the most common cells, live in blocks of CDataDouble objects
// that the column owns instead of one heap object each, so that a numeric cell
// costs about 32 bytes; a caller still sees a CData* for every cell.
#pragma once

#include "data/DataDouble.h"
#include "data/DataFormat.h"
#include "platform/Object.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_set>
#include <vector>

class CData;
class CData;
// The order in which a stored map lists its keys (the hash-table walk).
std::vector<int> StoredKeyOrder(std::vector<int> keys);
class CDataDouble;

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

    // Moves plain numbers that are heap objects (as loading leaves them) into
    // the number blocks. Call it once the archive that read them is closed.
    void CompactNumbers();

    int GetLastRow() const { return m_lastRow; }
    void RecalcLastRow();
    std::size_t GetCount() const { return m_entries.size(); }
    bool IsEmpty() const { return m_entries.empty(); }
    // Visits every association in ascending row order (cell may be null).
    void ForEach(const std::function<void(int row, CData* cell)>& visit) const;
    // Rows of every association, ascending.
    std::vector<int> GetRows() const;
    // Visits the associations of rows first..last in ascending order; the
    // work is that of the associations found, not of the rows spanned.
    void ForEachInRows(int first, int last, const std::function<void(int row, CData* cell)>& visit) const;

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
    // Index of the row's entry; the entry count when there is none.
    std::size_t FindIndex(int row) const;
    // The entries in the order the stored form lists them.
    std::vector<std::size_t> StoredEntryOrder() const;

    class LoadOwnersScope {
    public:
        explicit LoadOwnersScope(std::unordered_set<const CObject*>& owned);
        ~LoadOwnersScope();
    private:
        std::unordered_set<const CObject*>* m_previous;
    };

private:
    struct Entry {
        std::int32_t row;
        std::uint32_t pooled; // 1: cell is a slot of the number blocks
        CData* cell;
    };
    std::vector<Entry>::iterator Find(int row);
    std::vector<Entry>::const_iterator Find(int row) const;
    std::vector<Entry>::iterator LowerBound(int row);
    void Release(Entry& e); // deletes or returns the cell to the blocks
    CDataDouble* AllocNumber(double value);
    void DropBlocks();
    void Insert(int row, std::uint32_t pooled, CData* cell);

    std::vector<Entry> m_entries; // ascending rows
    int m_lastRow = -1;
    CDataFormat m_format;

    static constexpr std::size_t kBlockSize = 256;
    std::vector<std::unique_ptr<CDataDouble[]>> m_blocks;
    std::vector<CDataDouble*> m_free;
    std::size_t m_slots = 0;            // slots in all blocks
    CDataDouble* m_bumpNext = nullptr;  // next never-used slot of the newest block
    CDataDouble* m_bumpEnd = nullptr;
};
