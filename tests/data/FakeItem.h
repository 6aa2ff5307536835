// A data-table item without a workspace: records what the table model tells
// its views and how often it marks itself modified.
#pragma once

#include "data/DataColumnType.h"
#include "data/DataTableItem.h"
#include "data/MyData.h"

#include <tuple>
#include <vector>

class FakeItem : public CDataTableItem {
public:
    CMyData& GetTable() override { return table; }
    void SetModified(bool modified) override { modifiedCount += modified ? 1 : 0; }
    void UpdateViews(int hint, int first, int second) override { hints.emplace_back(hint, first, second); }
    void BroadcastColumnChanges(const std::vector<CDataColumnRef>& changes) override
    {
        ++broadcasts;
        CDataTableItem::BroadcastColumnChanges(changes);
    }

    // Places a new type of that number in row 0 of column and returns it.
    template <class T = CDataColumnType>
    T* SetType(int column, int type)
    {
        CDataColumnType* t = CreateColumnType(type, column);
        table.SetCell(0, column, t);
        return static_cast<T*>(t);
    }
    // Writes numbers down a column from row 2.
    void Fill(int column, std::initializer_list<double> values)
    {
        int row = kFirstDataRow;
        for (double v : values)
            table.SetNumber(row++, column, v);
    }
    bool Number(int row, int column, double& v) const { return table.GetNumber(row, column, v); }

    CMyData table;
    int modifiedCount = 0;
    int broadcasts = 0;
    std::vector<std::tuple<int, int, int>> hints;
};
