// The paged column store against a plain reference model: random edits,
// walks, the stored bytes, the lifetime of the number objects GetCell hands
// out, and the memory a column of numbers takes.
#include "data/ColData.h"
#include "data/DataActionSort.h"
#include "data/DataDouble.h"
#include "data/DataString.h"
#include "data/MyData.h"
#include "framework/ArchiveHelpers.h"
#include "platform/Archive.h"
#include "platform/StringIds.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <map>
#include <numeric>
#include <random>

namespace {

// What a row holds in the reference: a number, a text or an empty association.
struct RefCell {
    int kind = 0; // 1 number, 2 text, 3 empty association
    double number = 0.0;
    std::string text;
};
using Reference = std::map<int, RefCell>;

void ExpectSame(const CColData& col, const Reference& ref, const std::string& where)
{
    SCOPED_TRACE(where);
    ASSERT_EQ(col.GetCount(), ref.size());
    std::vector<int> rows;
    for (const auto& [row, cell] : ref)
        rows.push_back(row);
    EXPECT_EQ(col.GetRows(), rows);
    EXPECT_EQ(col.GetLastRow(), rows.empty() ? -1 : rows.back());
    std::vector<std::pair<int, double>> numbers, visited;
    for (const auto& [row, cell] : ref) {
        double v = 0;
        EXPECT_EQ(col.GetNumberValue(row, v), cell.kind == 1) << row;
        if (cell.kind == 1) {
            EXPECT_EQ(std::bit_cast<std::uint64_t>(v), std::bit_cast<std::uint64_t>(cell.number)) << row;
            if (!IsBlank(cell.number))
                numbers.emplace_back(row, cell.number);
        }
        CDataDouble scratch;
        const CData* peek = col.PeekCell(row, scratch);
        if (cell.kind == 3) {
            EXPECT_EQ(peek, nullptr) << row;
        } else if (cell.kind == 2) {
            ASSERT_NE(peek, nullptr);
            std::string text;
            peek->GetPlainText(text);
            EXPECT_EQ(text, cell.text) << row;
        }
    }
    col.VisitNumbers(INT_MIN, INT_MAX, [&](int row, double v) { visited.emplace_back(row, v); });
    EXPECT_EQ(visited, numbers);
}

TEST(ColDataTest, RandomEditsMatchAPlainMap)
{
    std::mt19937 random(20240611);
    CColData col;
    Reference ref;
    // Rows over several pages, below zero and near the largest row as well.
    auto randomRow = [&] {
        const int pick = int(random() % 20);
        if (pick == 0)
            return INT_MAX - int(random() % 40);
        return int(random() % 6000) - 1000;
    };
    for (int step = 0; step < 4000; ++step) {
        const int op = int(random() % 100);
        const int row = randomRow();
        if (op < 45) {
            const double v = op < 3 ? BlankValue() : double(int(random() % 100000)) / 8.0;
            col.SetNumber(row, v);
            ref[row] = {1, v, {}};
        } else if (op < 55) {
            const std::string text = "t" + std::to_string(step);
            col.SetCell(row, new CDataString(text));
            ref[row] = {2, 0.0, text};
        } else if (op < 58) {
            col.SetCell(row, nullptr);
            ref[row] = {3, 0.0, {}};
        } else if (op < 62) {
            const double v = double(step);
            col.SetCell(row, new CDataDouble(v)); // a plain number given as an object
            ref[row] = {1, v, {}};
        } else if (op < 80) {
            EXPECT_EQ(col.RemoveCell(row), ref.erase(row) == 1);
        } else if (op < 84) {
            const int last = int(std::min<std::int64_t>(std::int64_t(row) + random() % 300, INT_MAX));
            col.RemoveRows(row, last);
            ref.erase(ref.lower_bound(row), ref.upper_bound(last));
        } else if (op < 90 && row < 5000) {
            // Rows move by delta; the rows moved over are emptied first, as callers do.
            const int delta = int(random() % 200) - 100;
            if (delta < 0) {
                col.RemoveRows(row + delta, row - 1);
                ref.erase(ref.lower_bound(row + delta), ref.lower_bound(row));
            }
            col.ShiftRows(row, delta);
            Reference moved;
            for (auto& [r, cell] : ref) {
                const std::int64_t to = r >= row ? std::int64_t(r) + delta : r;
                if (to <= INT_MAX)
                    moved[int(to)] = cell;
            }
            ref.swap(moved);
            col.RecalcLastRow();
        } else if (op < 96) {
            const int first = int(random() % 3000) - 500;
            const int n = int(random() % 2500) + 1;
            std::vector<int> newRows(static_cast<std::size_t>(n));
            std::iota(newRows.begin(), newRows.end(), first);
            std::shuffle(newRows.begin(), newRows.end(), random);
            col.PermuteRows(first, newRows);
            Reference moved;
            for (auto& [r, cell] : ref)
                moved[r >= first && r < first + n ? newRows[std::size_t(r - first)] : r] = cell;
            ref.swap(moved);
        } else {
            col.CompactNumbers();
        }
        if (step % 250 == 0)
            ExpectSame(col, ref, "step " + std::to_string(step));
    }
    ExpectSame(col, ref, "end");
}

// The stored form as a map of row to object writes it: rows in the stored
// key order, each cell as an archived object.
Bytes ReferenceBytes(const Reference& ref, const CDataFormat& format)
{
    std::vector<int> rows;
    for (const auto& [row, cell] : ref)
        rows.push_back(row);
    return StoreBytes([&](CArchive& ar) {
        ar << std::int32_t(0);
        ar.WriteCount(std::uint32_t(rows.size()));
        for (int row : StoredKeyOrder(rows)) {
            const RefCell& cell = ref.at(row);
            ar << std::int32_t(row);
            if (cell.kind == 1) {
                CDataDouble number(cell.number);
                ar.WriteUniqueObject(&number);
            } else if (cell.kind == 2) {
                CDataString text(cell.text);
                ar.WriteUniqueObject(&text);
            } else {
                ar.WriteUniqueObject(nullptr);
            }
        }
        CDataFormat(format).Serialize(ar);
        ar << std::int32_t(rows.empty() ? -1 : rows.back());
    });
}

TEST(ColDataTest, StoredBytesAreThoseOfTheRowMap)
{
    struct Case {
        const char* name;
        std::vector<int> numberRows;
        std::vector<int> textRows;
    };
    std::vector<int> dense(5000), sparse, negative;
    std::iota(dense.begin(), dense.end(), 2);
    for (int r = 0; r < 200000; r += 977)
        sparse.push_back(r);
    for (int r = -3000; r < 3000; r += 7)
        negative.push_back(r);
    const std::vector<Case> cases = {
        {"dense column", dense, {1}},
        {"sparse rows across pages", sparse, {1, 5, 70000}},
        {"rows below zero", negative, {-2999, 0, 2999}},
        {"largest rows", {INT_MAX, INT_MAX - 17, INT_MAX - 1024}, {INT_MAX - 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CColData col;
        Reference ref;
        // Filled from the bottom up, so that the store's order of filling differs from the rows'.
        for (auto it = c.numberRows.rbegin(); it != c.numberRows.rend(); ++it) {
            col.SetNumber(*it, *it * 0.25);
            ref[*it] = {1, *it * 0.25, {}};
        }
        for (int row : c.textRows) {
            col.SetCell(row, new CDataString("r" + std::to_string(row)));
            ref[row] = {2, 0.0, "r" + std::to_string(row)};
        }
        const Bytes bytes = StoreBytes([&](CArchive& ar) { col.Serialize(ar); });
        EXPECT_EQ(ToHex(bytes), ToHex(ReferenceBytes(ref, col.GetFormat())));
        CColData back;
        LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); });
        ExpectSame(back, ref, "read back");
        EXPECT_EQ(ToHex(StoreBytes([&](CArchive& ar) { back.Serialize(ar); })), ToHex(bytes));
    }
}

// A number cell in the middle of a run of them whose version word is
// later than this program knows stops the load with the later-version
// message; one below 0 reads as the numbers around it do.
TEST(ColDataTest, ALaterCellVersionAmongNumbersIsRefused)
{
    struct Case {
        std::int32_t version;
        bool refused;
    } cases[] = {{1, true}, {7, true}, {-1, false}, {0, false}};
    std::vector<int> rows(3000);
    std::iota(rows.begin(), rows.end(), 2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        const Bytes bytes = StoreBytes([&](CArchive& ar) {
            ar << std::int32_t(0);
            ar.WriteCount(std::uint32_t(rows.size()));
            int written = 0;
            for (int row : StoredKeyOrder(rows)) {
                ar << std::int32_t(row);
                if (++written == 1500) {
                    // The 1,500th cell, deep in a run of plain numbers, by hand.
                    ar.WriteUniqueObjectHeader(RUNTIME_CLASS(CDataDouble));
                    ar << c.version << row * 0.25;
                } else {
                    CDataDouble number(row * 0.25);
                    ar.WriteUniqueObject(&number);
                }
            }
            CDataFormat().Serialize(ar);
            ar << std::int32_t(rows.back());
        });
        RecordingReporter reporter;
        CColData back;
        if (c.refused) {
            EXPECT_ANY_THROW(LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); }));
            EXPECT_EQ(reporter.Ids(), (std::vector<UINT>{IDS_LATER_VERSION}));
            continue;
        }
        LoadBytes(bytes, [&](CArchive& ar) { back.Serialize(ar); });
        EXPECT_TRUE(reporter.Ids().empty());
        for (int row : {2, 1000, 2999, 3001}) {
            double v = 0;
            ASSERT_TRUE(back.GetNumberValue(row, v)) << row;
            EXPECT_EQ(v, row * 0.25);
        }
    }
}

// Runs of plain numbers that fill a group of 16 rows are read together;
// each record's own key still places its number, and a row given twice
// anywhere is refused, whether or not its record looks like part of a run.
TEST(ColDataTest, NumbersReadInRunsKeepTheirOwnRows)
{
    std::vector<int> rows(3000);
    std::iota(rows.begin(), rows.end(), 2);
    // Rows 40 and 41 lie inside one group of 16, row 800 in another.
    struct Case {
        const char* name;
        std::map<int, int> keyFor; // a row's record carries this key instead
        bool refused;
    } cases[] = {
        {"as written", {}, false},
        {"two rows of a group swapped", {{40, 41}, {41, 40}}, false},
        {"a row of another group twice", {{41, 800}}, true},
        {"a row of its own group twice", {{41, 40}}, true},
        {"a row far below the column", {{41, -5}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reference ref;
        const Bytes bytes = StoreBytes([&](CArchive& ar) {
            ar << std::int32_t(0);
            ar.WriteCount(std::uint32_t(rows.size()));
            for (int row : StoredKeyOrder(rows)) {
                auto it = c.keyFor.find(row);
                const int key = it == c.keyFor.end() ? row : it->second;
                ar << std::int32_t(key);
                CDataDouble number(key * 0.25);
                ar.WriteUniqueObject(&number);
                ref[key] = {1, key * 0.25, {}};
            }
            CDataFormat().Serialize(ar);
            ar << std::int32_t(rows.back());
        });
        // A small buffer splits some runs between its fillings; a large one
        // holds every run whole.
        for (std::size_t buffer : {std::size_t(4096), std::size_t(1) << 20}) {
            SCOPED_TRACE(buffer);
            CMemFile file(bytes);
            CArchive ar(&file, CArchive::load, buffer);
            CColData back;
            if (c.refused) {
                try {
                    back.Serialize(ar);
                    ADD_FAILURE() << "loaded";
                } catch (const CArchiveException& e) {
                    EXPECT_EQ(e.m_cause, CArchiveException::badIndex);
                }
                EXPECT_EQ(back.GetCount(), 0u);
                continue;
            }
            back.Serialize(ar);
            ExpectSame(back, ref, "read back");
        }
    }
}

TEST(ColDataTest, ANumberObjectLivesAsLongAsItsCell)
{
    CColData col;
    for (int r = 2; r < 3000; ++r)
        col.SetNumber(r, r);
    CData* cell = col.GetCell(100);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->GetKind(), CData::kNumber);
    EXPECT_EQ(col.GetCell(100), cell); // asked again: the same object
    col.SetNumber(100, 7.5);           // a new value shows through it
    EXPECT_EQ(static_cast<CDataDouble*>(cell)->GetValue(), 7.5);
    col.SetNumber(101, 1.0);
    col.RemoveCell(2000);
    EXPECT_EQ(static_cast<CDataDouble*>(cell)->GetValue(), 7.5);
    // A sort moves the object with its cell.
    std::vector<int> reversed(2998);
    for (int i = 0; i < 2998; ++i)
        reversed[std::size_t(i)] = 2999 - i;
    col.PermuteRows(2, reversed);
    EXPECT_EQ(col.GetCell(2999 - 98), cell);
    // Rows shifted down take it along too.
    col.RemoveRows(2, 11);
    col.ShiftRows(12, -10);
    EXPECT_EQ(col.GetCell(2999 - 98 - 10), cell);
    // Detaching hands that very object over.
    std::unique_ptr<CData> detached(col.DetachCell(2999 - 98 - 10));
    EXPECT_EQ(detached.get(), cell);
    EXPECT_EQ(static_cast<CDataDouble*>(detached.get())->GetValue(), 7.5);
}

TEST(ColDataTest, NumbersTakeLittleMoreThanTheirEightBytes)
{
    struct Case {
        const char* name;
        int first, count, step;
        double maxBytesPerCell;
    };
    // A dense column is its doubles plus a bit each; a row alone in its page
    // pays for the page's bookkeeping but not for a page of doubles.
    const std::vector<Case> cases = {
        {"dense", 2, 200000, 1, 8.5},
        {"every other row", 2, 100000, 2, 17.0},
        {"one row in a thousand", 2, 2000, 1000, 400.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CColData col;
        for (int i = 0; i < c.count; ++i)
            col.SetNumber(c.first + i * c.step, i);
        EXPECT_LE(double(col.MemoryBytes()) / c.count, c.maxBytesPerCell);
    }
}

// A run of numbers written at once leaves the column as removing the rows
// and setting each number one by one does: the same cells, the same walks and
// the same stored bytes.
TEST(ColDataTest, ANumberRunIsTheCellsWrittenOneByOne)
{
    struct Case {
        const char* name;
        int first;
        int count;
        int hole;      // every hole-th row of the run stays empty (0: none)
        int spread;    // only every spread-th row holds a number (1: all)
        bool filledBefore;
    };
    const std::vector<Case> cases = {
        {"dense run over pages, from mid-page", 1500, 5000, 0, 1, false},
        {"dense run over numbers and text", 2, 4000, 0, 1, true},
        {"run with holes", 700, 3000, 7, 1, true},
        {"scattered numbers in a run", 10, 9000, 0, 500, true},
        {"rows below zero", -2100, 3000, 5, 1, true},
        {"run cut at the largest row", INT_MAX - 1500, 3000, 0, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CColData run, single;
        Reference ref;
        auto both = [&](auto&& edit) {
            edit(run);
            edit(single);
        };
        if (c.filledBefore) {
            // Numbers, texts, numbers kept as objects and empty associations around and inside the run.
            for (int r = c.first - 300; r < c.first + c.count + 300 && r > INT_MIN + 400; r += 3) {
                const int kind = ((r / 3) % 5 + 5) % 5;
                if (kind == 0)
                    both([&](CColData& col) { col.SetCell(r, new CDataString("t" + std::to_string(r))); });
                else if (kind == 1)
                    both([&](CColData& col) { col.SetCell(r, nullptr); });
                else
                    both([&](CColData& col) { col.SetNumber(r, r * 0.5); });
            }
        }
        std::vector<double> values(std::size_t(c.count));
        std::vector<std::uint8_t> present(std::size_t(c.count));
        for (int i = 0; i < c.count; ++i) {
            values[std::size_t(i)] = i % 11 == 3 ? BlankValue() : 1000.0 + i / 4.0;
            present[std::size_t(i)] = (c.hole && i % c.hole == 0) || i % c.spread != 0 ? 0 : 1;
        }
        run.SetNumberRun(c.first, values, present);
        const std::int64_t end = std::min<std::int64_t>(std::int64_t(c.first) + c.count - 1, INT_MAX);
        single.RemoveRows(c.first, int(end));
        for (std::int64_t r = c.first; r <= end; ++r)
            if (present[std::size_t(r - c.first)])
                single.SetNumber(int(r), values[std::size_t(r - c.first)]);
        single.RecalcLastRow();
        single.ForEachRaw(INT_MIN, INT_MAX, [&](int row, const CColData::RawCell& cell) {
            if (cell.isNumber) {
                ref[row] = {1, cell.number, {}};
            } else if (!cell.object) {
                ref[row] = {3, 0.0, {}};
            } else if (cell.object->GetKind() == CData::kNumber) {
                ref[row] = {1, static_cast<const CDataDouble*>(cell.object)->m_value, {}};
            } else {
                std::string text;
                cell.object->GetPlainText(text);
                ref[row] = {2, 0.0, text};
            }
        });
        ExpectSame(run, ref, "run");
        EXPECT_EQ(ToHex(StoreBytes([&](CArchive& ar) { run.Serialize(ar); })),
                  ToHex(StoreBytes([&](CArchive& ar) { single.Serialize(ar); })));
    }
    // A run without present flags writes every row; an empty run changes nothing.
    CColData col;
    col.SetNumber(5, 1.0);
    col.SetNumberRun(3, std::vector<double>{7.0, 8.0, 9.0});
    col.SetNumberRun(4, std::vector<double>{});
    EXPECT_EQ(col.GetRows(), (std::vector<int>{3, 4, 5}));
    double v = 0;
    ASSERT_TRUE(col.GetNumberValue(5, v));
    EXPECT_EQ(v, 9.0);
    EXPECT_EQ(col.GetLastRow(), 5);
}

TEST(ColDataTest, ANumberRunDropsTheNumberObjectsOfItsRows)
{
    CColData col;
    for (int r = 2; r < 3000; ++r)
        col.SetNumber(r, r);
    CData* outside = col.GetCell(2500);
    ASSERT_NE(col.GetCell(100), nullptr);
    col.SetNumberRun(50, std::vector<double>(100, 4.0));
    // The row inside the run shows its new number; the object outside lives on.
    CData* inside = col.GetCell(100);
    ASSERT_NE(inside, nullptr);
    EXPECT_EQ(static_cast<CDataDouble*>(inside)->GetValue(), 4.0);
    EXPECT_EQ(col.GetCell(2500), outside);
    EXPECT_EQ(static_cast<CDataDouble*>(outside)->GetValue(), 2500.0);
}

// Heap sort as any textbook gives it, for the order among equal keys.
std::vector<int> HeapSortedIndex(const std::vector<double>& v)
{
    auto less = [&](int a, int b) {
        const double x = v[std::size_t(a)], y = v[std::size_t(b)];
        const bool lastX = IsBlank(x) || std::isnan(x), lastY = IsBlank(y) || std::isnan(y);
        if (lastX)
            return false;
        if (lastY)
            return true;
        return x < y;
    };
    const int n = int(v.size());
    std::vector<int> index(v.size());
    std::iota(index.begin(), index.end(), 0);
    auto sift = [&](int root, int end) {
        while (2 * root + 1 < end) {
            int child = 2 * root + 1;
            if (child + 1 < end && less(index[std::size_t(child)], index[std::size_t(child) + 1]))
                ++child;
            if (!less(index[std::size_t(root)], index[std::size_t(child)]))
                return;
            std::swap(index[std::size_t(root)], index[std::size_t(child)]);
            root = child;
        }
    };
    for (int s = n / 2 - 1; s >= 0; --s)
        sift(s, n);
    for (int e = n - 1; e > 0; --e) {
        std::swap(index[0], index[std::size_t(e)]);
        sift(0, e);
    }
    return index;
}

TEST(ColDataTest, LargeSortsGiveTheHeapSortsOrder)
{
    std::mt19937_64 random(77);
    struct Case {
        const char* name;
        int n;
        int distinct; // 0: all values distinct
        bool blanks;
    };
    const std::vector<Case> cases = {
        {"distinct values of both signs", 50000, 0, false},
        {"distinct values and one blank", 20000, 0, true},
        {"many equal values", 30000, 50, false},
        {"equal values and blanks", 9000, 200, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<double> v(std::size_t(c.n));
        for (int i = 0; i < c.n; ++i) {
            const std::uint64_t r = random();
            v[std::size_t(i)] = c.distinct ? double(r % std::uint64_t(c.distinct)) - 20
                                           : std::ldexp(double(r >> 11), int(r % 60) - 40) * (r & 1 ? -1 : 1) + i * 1e-9;
        }
        if (!c.distinct) {
            std::sort(v.begin(), v.end());
            if (std::adjacent_find(v.begin(), v.end()) != v.end())
                GTEST_SKIP() << "random values collided";
            std::shuffle(v.begin(), v.end(), random);
            v[1] = -std::numeric_limits<double>::infinity();
            v[2] = std::numeric_limits<double>::infinity();
        }
        if (c.blanks)
            v[std::size_t(c.n / 2)] = BlankValue();
        std::vector<int> index(v.size());
        SortIndexByValueBlanksLast(index.data(), v.data(), c.n);
        EXPECT_EQ(index, HeapSortedIndex(v));
    }
}

// The sort action's order of a large key column: the heap sort's order of
// its numbers, with text, empty rows, blanks and NaN last.
TEST(ColDataTest, TheSortOrderOfALargeColumnIsTheHeapSorts)
{
    std::mt19937_64 random(4711);
    struct Case {
        const char* name;
        int n;
        int distinct;  // 0: all values distinct
        int specials;  // 1: infinities, a negative zero and one NaN; 2: also text, empty rows, blanks, both zeros
        int magnitude; // spread of the binary exponents of the values
    };
    const std::vector<Case> cases = {
        {"distinct values of one size", 60000, 0, 0, 1},
        {"distinct values of every size and sign", 40000, 0, 0, 200},
        {"distinct values, infinities and one NaN", 30000, 0, 1, 30},
        {"distinct values and rows that sort last", 30000, 0, 2, 30},
        {"many equal values", 20000, 300, 0, 1},
        {"equal values and rows that sort last", 9000, 40, 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CMyData table;
        std::vector<double> keys(std::size_t(c.n));
        for (int i = 0; i < c.n; ++i) {
            const std::uint64_t r = random();
            double v = c.distinct ? double(r % std::uint64_t(c.distinct)) - 20
                                  : std::ldexp(1.0 + double(r >> 12) * 0x1p-52, int(r % std::uint64_t(c.magnitude)) - c.magnitude / 2)
                                        * (c.magnitude > 1 && (r & 1) ? -1 : 1);
            keys[std::size_t(i)] = v;
        }
        if (!c.distinct) {
            std::vector<double> sorted = keys;
            std::sort(sorted.begin(), sorted.end());
            if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end())
                GTEST_SKIP() << "random values collided";
        }
        for (int i = 0; i < c.n; ++i)
            table.SetNumber(kFirstDataRow + i, 0, keys[std::size_t(i)]);
        if (c.specials) {
            const double nan = std::numeric_limits<double>::quiet_NaN();
            const double inf = std::numeric_limits<double>::infinity();
            std::vector<std::pair<int, double>> numbers = {{8, nan}, {21, -inf}, {34, inf}, {55, -0.0}};
            if (c.specials == 2) {
                numbers.emplace_back(3, BlankValue());
                numbers.emplace_back(13, 0.0);
            }
            for (const auto& [i, v] : numbers) {
                table.SetNumber(kFirstDataRow + i, 0, v);
                keys[std::size_t(i)] = v;
            }
        }
        if (c.specials == 2) {
            table.SetCell(kFirstDataRow + 89, 0, new CDataString("text"));
            keys[89] = BlankValue();
            table.DeleteCell(kFirstDataRow + 144, 0);
            keys[144] = BlankValue();
        }
        EXPECT_EQ(ComputeSortOrder(table, 0, kFirstDataRow + c.n - 1), HeapSortedIndex(keys));
    }
}

} // namespace
