// The base of computed columns that read one source column of their own
// table: the dependency walk, the propagation of changes and the following
// of inserted and deleted columns.
#pragma once

#include "data/DataColumnType.h"

class CDataCTypeOneSource : public CDataColumnType {
    DECLARE_DYNAMIC(CDataCTypeOneSource)
public:
    void PropagateChange(CDataTableItem* changedItem, CDataTableItem* ownItem, int column,
                         std::vector<CDataColumnRef>& changes, std::map<int, int>& visited) override;
    using CDataColumnType::DependsOn;
    int DependsOn(CDataTableItem* item, int column, CDataTableItem* ownItem, std::set<int>& walked) const override;
    void OnColumnsDeleted(CDataTableItem* item, CDataTableItem* ownItem, int first, int count) override;
    void OnColumnsInserted(CDataTableItem* item, CDataTableItem* ownItem, int first, int count) override;
    int HasSettings() const override { return 1; }
    int IsEditable() const override { return 0; }

    int GetSource() const { return m_source; }
    // Sets the source; 0, or the message (496, 208, 209) when it cannot be used.
    UINT SetSource(CDataTableItem* item, int source);

    int m_source = -1;

protected:
    CDataCTypeOneSource(int type, int column) : CDataColumnType(type, column) {}
    CDataCTypeOneSource(const CDataCTypeOneSource&) = default;
    // Whether a change of some source rows recomputes just those rows (else the whole column).
    virtual bool RecomputesRows() const { return false; }
    // Deletes the own cells of the data rows.
    void ClearOwnRows(CDataTableItem* item);
    // Deletes the own cells of the data rows; without a source, shows
    // "(None selected)" and ends the computation. Whether there is a source.
    bool ClearOwnRowsForSource(CDataTableItem* item, BOOL updateViews);
    // Whether the notice says that the name row of the source column changed.
    bool IsSourceNameChange(CDataTableItem* item, CDataTableItem* subject, const CUpdateNotification& note) const;
};
