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
// How many cells ahead the walks in stored order fetch memory.
constexpr std::size_t kPrefetchAhead = 32;

bool IsPlainNumber(const CData* cell) { return cell && typeid(*cell) == typeid(CDataDouble); }

} // namespace

std::vector<int> StoredKeyOrder(std::vector<int> keys)
{
    std::stable_sort(keys.begin(), keys.end(), [](int a, int b) {
        std::uint32_t ba = (std::uint32_t(a) >> 4) % kHashBuckets;
        std::uint32_t bb = (std::uint32_t(b) >> 4) % kHashBuckets;
        if (ba != bb)
            return ba < bb;
        return a > b;
    });
    return keys;
}

std::vector<std::size_t> CColData::StoredEntryOrder() const
{
    // A counting sort by bucket: the entries are in ascending row order, so
    // walking them backwards leaves each bucket's rows descending.
    std::vector<std::size_t> start(kHashBuckets + 1, 0);
    auto bucket = [](std::int32_t row) { return (std::uint32_t(row) >> 4) % kHashBuckets; };
    for (const Entry& e : m_entries)
        ++start[bucket(e.row) + 1];
    for (std::size_t b = 1; b < start.size(); ++b)
        start[b] += start[b - 1];
    std::vector<std::size_t> order(m_entries.size());
    for (std::size_t i = m_entries.size(); i-- > 0;)
        order[start[bucket(m_entries[i].row)]++] = i;
    return order;
}

CColData::~CColData()
{
    for (Entry& e : m_entries)
        if (!e.pooled)
            delete e.cell;
}

std::vector<CColData::Entry>::iterator CColData::LowerBound(int row)
{
    return std::lower_bound(m_entries.begin(), m_entries.end(), row,
                            [](const Entry& e, int r) { return e.row < r; });
}

std::size_t CColData::FindIndex(int row) const
{
    // Most columns are filled without gaps from their first row: there the
    // row gives the entry's place at once; the search covers the rest.
    if (!m_entries.empty()) {
        std::int64_t guess = std::int64_t(row) - m_entries.front().row;
        if (guess >= 0 && std::uint64_t(guess) < m_entries.size() && m_entries[std::size_t(guess)].row == row)
            return std::size_t(guess);
    }
    auto it = std::lower_bound(m_entries.begin(), m_entries.end(), row,
                               [](const Entry& e, int r) { return e.row < r; });
    return it != m_entries.end() && it->row == row ? std::size_t(it - m_entries.begin()) : m_entries.size();
}

std::vector<CColData::Entry>::iterator CColData::Find(int row)
{
    return m_entries.begin() + std::ptrdiff_t(FindIndex(row));
}

std::vector<CColData::Entry>::const_iterator CColData::Find(int row) const
{
    return m_entries.begin() + std::ptrdiff_t(FindIndex(row));
}

CData* CColData::GetCell(int row) const
{
    auto it = Find(row);
    return it == m_entries.end() ? nullptr : it->cell;
}

bool CColData::HasAssociation(int row) const { return Find(row) != m_entries.end(); }

CDataDouble* CColData::AllocNumber(double value)
{
    CDataDouble* slot = nullptr;
    if (!m_free.empty()) {
        slot = m_free.back();
        m_free.pop_back();
    } else {
        if (m_bumpNext == m_bumpEnd) {
            // Blocks grow with the column (16, 16, 32, 64, ... up to kBlockSize
            // slots), so that short columns of a wide table waste little.
            const std::size_t size = std::clamp<std::size_t>(m_slots, 16, kBlockSize);
            m_blocks.push_back(std::make_unique<CDataDouble[]>(size));
            m_slots += size;
            m_bumpNext = m_blocks.back().get();
            m_bumpEnd = m_bumpNext + size;
        }
        slot = m_bumpNext++;
    }
    slot->m_value = value;
    return slot;
}

void CColData::DropBlocks()
{
    m_blocks.clear();
    m_free.clear();
    m_free.shrink_to_fit();
    m_slots = 0;
    m_bumpNext = m_bumpEnd = nullptr;
}

void CColData::Release(Entry& e)
{
    if (e.pooled)
        m_free.push_back(static_cast<CDataDouble*>(e.cell));
    else
        delete e.cell;
    e.cell = nullptr;
}

void CColData::Insert(int row, std::uint32_t pooled, CData* cell)
{
    if (m_entries.empty() || m_entries.back().row < row) {
        m_entries.push_back({row, pooled, cell});
    } else {
        auto it = LowerBound(row);
        if (it != m_entries.end() && it->row == row) {
            Release(*it);
            it->pooled = pooled;
            it->cell = cell;
        } else {
            m_entries.insert(it, {row, pooled, cell});
        }
    }
    m_lastRow = std::max(m_lastRow, row);
}

void CColData::SetCell(int row, CData* cell)
{
    if (IsPlainNumber(cell)) {
        double v = static_cast<CDataDouble*>(cell)->m_value;
        delete cell;
        SetNumber(row, v);
        return;
    }
    Insert(row, 0, cell);
}

void CColData::SetNumber(int row, double value)
{
    auto it = Find(row);
    if (it != m_entries.end() && it->pooled) {
        static_cast<CDataDouble*>(it->cell)->m_value = value;
        return;
    }
    Insert(row, 1, AllocNumber(value));
}

bool CColData::ExtractRaw(int row, RawCell& out)
{
    auto it = Find(row);
    if (it == m_entries.end())
        return false;
    out = RawCell();
    if (it->pooled) {
        out.isNumber = true;
        out.number = static_cast<CDataDouble*>(it->cell)->m_value;
        m_free.push_back(static_cast<CDataDouble*>(it->cell));
    } else {
        out.object = it->cell;
    }
    m_entries.erase(it);
    if (m_entries.empty()) {
        DropBlocks();
    }
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
    RawCell raw;
    if (!ExtractRaw(row, raw))
        return nullptr;
    return raw.isNumber ? new CDataDouble(raw.number) : raw.object;
}

bool CColData::RemoveCell(int row)
{
    RawCell raw;
    if (!ExtractRaw(row, raw))
        return false;
    DestroyRaw(raw);
    return true;
}

void CColData::RemoveRows(int first, int last)
{
    if (first > last)
        return;
    auto begin = LowerBound(first);
    auto end = std::upper_bound(begin, m_entries.end(), last, [](int r, const Entry& e) { return r < e.row; });
    for (auto it = begin; it != end; ++it)
        Release(*it);
    m_entries.erase(begin, end);
    if (m_entries.empty()) {
        DropBlocks();
    }
}

void CColData::ShiftRows(int fromRow, int delta)
{
    if (delta == 0)
        return;
    auto begin = LowerBound(fromRow);
    for (auto it = begin; it != m_entries.end(); ++it)
        it->row = std::int32_t(std::int64_t(it->row) + delta);
    // Rows never overflow: associations pushed past the largest row are dropped.
    if (delta > 0) {
        auto keep = begin;
        for (auto it = begin; it != m_entries.end(); ++it) {
            if (std::int64_t(it->row) < std::int64_t(fromRow) + delta) { // wrapped past INT_MAX
                Release(*it);
                continue;
            }
            *keep++ = *it;
        }
        m_entries.erase(keep, m_entries.end());
    }
    std::sort(m_entries.begin(), m_entries.end(), [](const Entry& a, const Entry& b) { return a.row < b.row; });
}

void CColData::CompactNumbers()
{
    for (Entry& e : m_entries) {
        if (!e.pooled && IsPlainNumber(e.cell)) {
            CDataDouble* slot = AllocNumber(static_cast<CDataDouble*>(e.cell)->m_value);
            delete e.cell;
            e.cell = slot;
            e.pooled = 1;
        }
    }
}

void CColData::PermuteRows(int first, const std::vector<int>& newRows)
{
    const std::int64_t last = std::int64_t(first) + std::int64_t(newRows.size()) - 1;
    for (Entry& e : m_entries)
        if (e.row >= first && e.row <= last)
            e.row = newRows[std::size_t(e.row - first)];
    std::sort(m_entries.begin(), m_entries.end(), [](const Entry& a, const Entry& b) { return a.row < b.row; });
    RecalcLastRow();
}

void CColData::RecalcLastRow() { m_lastRow = m_entries.empty() ? -1 : m_entries.back().row; }

void CColData::ForEach(const std::function<void(int, CData*)>& visit) const
{
    for (const Entry& e : m_entries)
        visit(e.row, e.cell);
}

void CColData::ForEachInRows(int first, int last, const std::function<void(int, CData*)>& visit) const
{
    auto it = std::lower_bound(m_entries.begin(), m_entries.end(), first,
                               [](const Entry& e, int r) { return e.row < r; });
    for (; it != m_entries.end() && it->row <= last; ++it)
        visit(it->row, it->cell);
}

std::vector<int> CColData::GetRows() const
{
    std::vector<int> rows;
    rows.reserve(m_entries.size());
    for (const Entry& e : m_entries)
        rows.push_back(e.row);
    return rows;
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
    SerializeVersion(ar, 0);
    if (ar.IsStoring()) {
        ar.WriteCount(std::uint32_t(m_entries.size()));
        const std::vector<std::size_t> order = StoredEntryOrder();
        for (std::size_t k = 0; k < order.size(); ++k) {
            // The bucket order jumps through the column every 16 rows, too
            // far for the processor to guess: fetch the entries and their
            // numbers some places ahead.
            if (k + 2 * kPrefetchAhead < order.size())
                __builtin_prefetch(&m_entries[order[k + 2 * kPrefetchAhead]]);
            if (k + kPrefetchAhead < order.size())
                __builtin_prefetch(m_entries[order[k + kPrefetchAhead]].cell);
            const Entry& e = m_entries[order[k]];
            ar << std::int32_t(e.row);
            // A cell belongs to one column only: nothing refers back to it.
            if (e.pooled) {
                // A plain number's stored form, written here without the call
                // through the object: its version word 0 and the value.
                ar.WriteUniqueObjectHeader(RUNTIME_CLASS(CDataDouble));
                ar << std::int32_t(0) << static_cast<const CDataDouble*>(e.cell)->m_value;
            } else {
                ar.WriteUniqueObject(e.cell);
            }
        }
        m_format.Serialize(ar);
        ar << std::int32_t(m_lastRow);
        return;
    }

    for (Entry& e : m_entries)
        Release(e);
    m_entries.clear();
    DropBlocks();
    std::uint32_t count = ar.ReadCount();
    // Each association takes at least a 4-byte key and a 2-byte object tag.
    ar.CheckRemaining(count, 6);
    // Plain numbers, by far the most common cells, are read as values and get
    // their slots in the number blocks once the rows are in order, so that
    // neighbouring rows lie side by side; other cells are built as objects.
    struct Loaded {
        int row;
        std::uint32_t pooled; // 1: value holds a plain number
        union {
            CData* cell;
            double value;
        };
    };
    std::vector<Loaded> loaded;
    loaded.reserve(count);
    auto dropLoaded = [&] {
        for (Loaded& l : loaded)
            if (!l.pooled)
                delete l.cell;
        loaded.clear();
    };
    std::int32_t minRow = INT32_MAX, maxRow = INT32_MIN;
    try {
        for (std::uint32_t i = 0; i < count; ++i) {
            std::int32_t row = 0;
            ar >> row;
            minRow = std::min(minRow, row);
            maxRow = std::max(maxRow, row);
            CArchive::ObjectTag tag = ar.ReadObjectTag(RUNTIME_CLASS(CData));
            // A reference back to an object read before would give a cell two owners.
            if (tag.earlier)
                ThrowArchiveError(CArchiveException::badIndex, "a cell is stored twice");
            Loaded& l = loaded.emplace_back();
            l.row = row;
            l.pooled = 0;
            l.cell = nullptr;
            if (!tag.newClass)
                continue;
            if (tag.newClass == RUNTIME_CLASS(CDataDouble)) {
                ar.MapLoadedObject(nullptr);
                SerializeVersion(ar, 0);
                // Read whole before it takes the place of the (null) cell pointer.
                double value = 0;
                ar >> value;
                l.value = value;
                l.pooled = 1;
            } else {
                std::unique_ptr<CObject> object(tag.newClass->CreateObject());
                if (!object)
                    ThrowArchiveError(CArchiveException::badClass);
                ar.MapLoadedObject(object.get());
                object->Serialize(ar);
                l.cell = static_cast<CData*>(object.release());
            }
        }
        m_format.Serialize(ar);
        std::int32_t lastRow = 0;
        ar >> lastRow;
    } catch (...) {
        dropLoaded();
        throw;
    }
    // Put the associations in row order. The stored order is by hash bucket;
    // where the rows are dense (nearly always), each row's place follows from
    // the row itself, without a general sort.
    const std::uint64_t span = loaded.empty() ? 0 : std::uint64_t(std::int64_t(maxRow) - minRow) + 1;
    if (span != 0 && span <= 2 * std::uint64_t(loaded.size()) + 64) {
        constexpr std::uint32_t kHole = 2;
        std::vector<Loaded> placed(static_cast<std::size_t>(span));
        for (Loaded& p : placed)
            p.pooled = kHole;
        for (std::size_t k = 0; k < loaded.size(); ++k) {
            if (k + kPrefetchAhead < loaded.size())
                __builtin_prefetch(&placed[std::size_t(std::int64_t(loaded[k + kPrefetchAhead].row) - minRow)], 1);
            const Loaded& l = loaded[k];
            Loaded& p = placed[std::size_t(std::int64_t(l.row) - minRow)];
            if (p.pooled != kHole) {
                dropLoaded();
                ThrowArchiveError(CArchiveException::badIndex, "a row is stored twice");
            }
            p = l;
        }
        std::vector<Loaded>().swap(loaded);
        m_entries.reserve(count);
        // Objects other than plain numbers stay as they are while the archive
        // may still refer to them; CompactNumbers moves them later.
        for (const Loaded& p : placed)
            if (p.pooled != kHole)
                m_entries.push_back({p.row, p.pooled, p.pooled ? AllocNumber(p.value) : p.cell});
    } else {
        std::sort(loaded.begin(), loaded.end(), [](const Loaded& a, const Loaded& b) { return a.row < b.row; });
        for (std::size_t i = 1; i < loaded.size(); ++i) {
            if (loaded[i].row == loaded[i - 1].row) {
                dropLoaded();
                ThrowArchiveError(CArchiveException::badIndex, "a row is stored twice");
            }
        }
        m_entries.reserve(loaded.size());
        for (const Loaded& l : loaded)
            m_entries.push_back({l.row, l.pooled, l.pooled ? AllocNumber(l.value) : l.cell});
    }
    // The last row follows from the keys, whatever a damaged file says.
    RecalcLastRow();
}
