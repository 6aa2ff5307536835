// Column kinds computed row by row from a list of source columns, and the
// base of those whose settings are just that list.
#pragma once

#include "data/DataColumnType.h"

#include <cstdint>
#include <functional>
#include <vector>

class CColData;

class CDataCTypeMultiColumnBase : public CDataColumnType {
    DECLARE_SERIAL(CDataCTypeMultiColumnBase)
public:
    CDataCTypeMultiColumnBase() : CDataColumnType(kTypeNone, -1) {}
    CDataCTypeMultiColumnBase(int type, int column) : CDataColumnType(type, column) {}

    CData* Clone() const override { return new CDataCTypeMultiColumnBase(*this); }
    int IsEditable() const override { return 0; }
    void PropagateChange(CDataTableItem* changedItem, CDataTableItem* ownItem, int column,
                         std::vector<CDataColumnRef>& changes, std::map<int, int>& visited) override;
    using CDataColumnType::DependsOn;
    int DependsOn(CDataTableItem* item, int column, CDataTableItem* ownItem, std::set<int>& walked) const override;
    void OnColumnsDeleted(CDataTableItem* item, CDataTableItem* ownItem, int first, int count) override;
    void OnColumnsInserted(CDataTableItem* item, CDataTableItem* ownItem, int first, int count) override;
    void Serialize(CArchive& ar) override;

    // Replaces the sources; 0 and the message id (208, 209) when one of them
    // is this column or depends on it, and the list is then left as it was.
    UINT SetSourceColumns(CDataTableItem* item, const std::vector<int>& sources);
    const std::vector<int>& GetSourceColumns() const { return m_sources; }

    std::vector<int> m_sources;

protected:
    CDataCTypeMultiColumnBase(const CDataCTypeMultiColumnBase&) = default;
    // The largest last row of this column and of every source (-1: the table's).
    int LastRowOfSources(const CMyData& table) const;
    // The numbers of row in the source columns, in source order.
    void CollectRow(const CMyData& table, int row, std::vector<double>& numbers) const;
    // The rows a whole-column computation takes at once: few enough that
    // one slice's numbers of every source stay in the cache.
    std::size_t SliceRows() const;
    // The source columns that hold cells, in source order (a source without
    // a column has no numbers, as for CMyData::GetNumber).
    std::vector<const CColData*> SourceColumns(const CMyData& table) const;
    // CollectRow for rows lo..hi at once, walking each source's numbers
    // block by block: row lo + i has counts[i] numbers, in source order, from
    // numbers[i * m_sources.size()].
    void CollectSlice(const CMyData& table, int lo, int hi, std::vector<double>& numbers,
                      std::vector<std::uint32_t>& counts) const;
};

// A multi-column kind whose settings are the list of source columns, edited
// in the columns dialog with the kind's own caption.
class CDataCTypeMultiColumn : public CDataCTypeMultiColumnBase {
    DECLARE_SERIAL(CDataCTypeMultiColumn)
public:
    CDataCTypeMultiColumn() = default;
    CDataCTypeMultiColumn(int type, int column, UINT captionId)
        : CDataCTypeMultiColumnBase(type, column), m_captionId(captionId) {}

    CData* Clone() const override { return new CDataCTypeMultiColumn(*this); }
    int EditSettings(CDataTableItem* item) override;
    int HasSettings() const override { return 1; }

    UINT m_captionId = 0;

protected:
    CDataCTypeMultiColumn(const CDataCTypeMultiColumn&) = default;
    // Computes the statistics kinds: rows 2 to the last row of the sources
    // for row -1, else row alone when it lies inside. valueOf gets the row's
    // numbers and gives the value, or false for an empty row.
    void ComputeStatistic(int row, CDataTableItem* item, BOOL updateViews,
                          const std::function<bool(const std::vector<double>&, double&)>& valueOf);
};
