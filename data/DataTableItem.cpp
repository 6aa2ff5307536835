#include "data/DataTableItem.h"

#include "data/DataColumnType.h"
#include "data/MyData.h"

#include <algorithm>
#include <map>

void CDataTableItem::BroadcastColumnChanges(const std::vector<CDataColumnRef>& changes)
{
    ReceiveColumnChanges(this, changes);
}

void CDataTableItem::NotifyColumnChanged(int column, int row)
{
    BroadcastColumnChanges({CDataColumnRef{this, column, row}});
}

void CDataTableItem::ReceiveColumnChanges(CDataTableItem* changedItem, const std::vector<CDataColumnRef>& changes)
{
    if (m_inPass) {
        m_held.emplace_back(changedItem, changes);
        return;
    }
    std::vector<CDataColumnRef> covered;
    std::vector<std::pair<CDataTableItem*, std::vector<CDataColumnRef>>> pending{{changedItem, changes}};
    // Every pass recomputes at least one column it has not covered before, so
    // the number of passes is bounded by the number of columns; the limit is a
    // guard against a damaged table, not a part of the algorithm.
    int passes = 0;
    const int maxPasses = 4 * (GetTable().GetLastColumn() + 2);
    m_inPass = true;
    try {
        while (!pending.empty() && passes++ < maxPasses) {
            auto [item, list] = std::move(pending.front());
            pending.erase(pending.begin());
            std::map<int, int> visited;
            CMyData& table = GetTable();
            for (int c = 0; c <= table.GetLastColumn(); ++c)
                if (CDataColumnType* type = table.GetColumnType(c))
                    type->PropagateChange(item, this, c, list, visited);
            covered.insert(covered.end(), list.begin(), list.end());
            for (auto& held : m_held) {
                std::vector<CDataColumnRef> fresh;
                for (const CDataColumnRef& ref : held.second)
                    // A column the pass already followed has had its dependents
                    // recomputed for the rows it changed.
                    if (std::none_of(covered.begin(), covered.end(), [&](const CDataColumnRef& c) {
                            return c.item == ref.item && c.column == ref.column;
                        }))
                        fresh.push_back(ref);
                if (!fresh.empty())
                    pending.emplace_back(held.first, std::move(fresh));
            }
            m_held.clear();
        }
    } catch (...) {
        m_inPass = false;
        m_held.clear();
        throw;
    }
    m_inPass = false;
    m_held.clear();
}

void CDataTableItem::ColumnsInserted(int first, int count)
{
    CMyData& table = GetTable();
    for (int c = 0; c <= table.GetLastColumn(); ++c)
        if (CDataColumnType* type = table.GetColumnType(c))
            type->OnColumnsInserted(this, this, first, count);
}

void CDataTableItem::ColumnsDeleted(int first, int count)
{
    CMyData& table = GetTable();
    for (int c = 0; c <= table.GetLastColumn(); ++c)
        if (CDataColumnType* type = table.GetColumnType(c))
            type->OnColumnsDeleted(this, this, first, count);
}
