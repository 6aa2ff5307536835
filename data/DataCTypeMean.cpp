#include "data/DataCTypeMean.h"

#include "data/MyData.h"
#include "framework/ArchiveHelpers.h"

#include <algorithm>
#include <cstdint>
#include <vector>

IMPLEMENT_SERIAL(CDataCTypeMean, CDataCTypeMultiColumn, VERSIONABLE_SCHEMA | 0)

namespace {

// False when none of a block's 64 numbers is a NaN, as no blank is (a blank
// is a NaN of one bit pattern). Sums in eight lanes, which run in vectors:
// a NaN anywhere makes its lane's sum a NaN (and infinities may make one
// too, which only sends the block to the closer look).
bool MayHoldNaNs(const double* block)
{
    double lane[8] = {};
    for (int k = 0; k < 64; k += 8)
        for (int j = 0; j < 8; ++j)
            lane[j] += block[k + j];
    double all = 0.0;
    for (double sum : lane)
        all += sum * 0.0;
    return all != all;
}

} // namespace

void CDataCTypeMean::ComputeColumn(CMyData& table, int first, int last)
{
    // The whole column at once: each row's numbers are summed in the order
    // of the sources, as the row-by-row mean takes them, so that every mean
    // is the same to the bit. Rows go in slices, each written back as one
    // run. Within a slice, 64 rows that every source fills with numbers
    // other than blanks (the usual table) are summed straight from the
    // sources' blocks; other rows walk each source's numbers.
    const std::vector<const CColData*> sources = SourceColumns(table);
    const bool allSources = !sources.empty() && sources.size() == m_sources.size();
    const std::int64_t slice = std::int64_t(SliceRows());
    std::vector<double> means;
    std::vector<std::uint8_t> present;
    std::vector<const double*> blocks(sources.size());
    double sums[64];
    std::uint32_t counts[64];
    for (std::int64_t from = first; from <= last; from += slice) {
        const int lo = int(from), hi = int(std::min<std::int64_t>(last, from + slice - 1));
        const std::size_t n = std::size_t(hi - lo) + 1;
        means.resize(n);
        present.resize(n);
        for (std::int64_t r = lo; r <= hi;) {
            const std::int64_t end = std::min<std::int64_t>(hi, (r | 63));
            double* mean = means.data() + (r - lo);
            std::uint8_t* has = present.data() + (r - lo);
            bool dense = allSources && (r & 63) == 0 && end - r == 63;
            for (std::size_t s = 0; dense && s < sources.size(); ++s) {
                const double* block = sources[s]->NumberBlock(int(r));
                blocks[s] = block;
                dense = block && !(MayHoldNaNs(block) && std::any_of(block, block + 64, IsBlank));
            }
            if (dense) {
                // Source by source across the 64 rows: each row's sum still
                // takes its numbers in the sources' order, from 0.0.
                std::fill(sums, sums + 64, 0.0);
                for (const double* block : blocks)
                    for (int k = 0; k < 64; ++k)
                        sums[k] += block[k];
                const double count = double(sources.size());
                for (int k = 0; k < 64; ++k)
                    mean[k] = sums[k] / count;
                std::fill(has, has + 64, std::uint8_t(1));
            } else {
                const std::size_t rows = std::size_t(end - r) + 1;
                std::fill(sums, sums + rows, 0.0);
                std::fill(counts, counts + rows, 0u);
                for (const CColData* col : sources)
                    col->VisitNumbers(int(r), int(end), [&](int row, double v) {
                        sums[row - r] += v;
                        ++counts[row - r];
                    });
                // A row without numbers stays empty.
                for (std::size_t i = 0; i < rows; ++i) {
                    has[i] = counts[i] != 0;
                    mean[i] = counts[i] ? sums[i] / double(counts[i]) : 0.0;
                }
            }
            r = end + 1;
        }
        table.SetNumberRun(m_column, lo, means, present);
    }
}

void CDataCTypeMean::ComputeValue(int row, CDataTableItem* item, BOOL updateViews)
{
    CMyData& table = item->GetTable();
    const int last = LastRowOfSources(table);
    int first = kFirstDataRow, end = last;
    if (row != -1) {
        first = std::max(row, kFirstDataRow);
        end = first <= last ? first : first - 1;
    }
    if (row == -1 && first <= end) {
        ComputeColumn(table, first, end);
        if (updateViews)
            item->UpdateViews(kHintColumnsChanged, m_column + 1, m_column + 1);
        NotifyDependents(item);
        item->SetModified();
        return;
    }
    std::vector<double> numbers;
    for (int r = first; r <= end; ++r) {
        CollectRow(table, r, numbers);
        table.DeleteCell(r, m_column);
        if (!numbers.empty()) {
            double sum = 0.0;
            for (double x : numbers)
                sum += x;
            table.SetNumber(r, m_column, sum / double(numbers.size()));
        }
        if (row != -1 && updateViews)
            item->UpdateViews(kHintCellChanged, m_column + 1, r + 1);
    }
    if (row == -1 && updateViews)
        item->UpdateViews(kHintColumnsChanged, m_column + 1, m_column + 1);
    NotifyDependents(item);
    item->SetModified();
}
