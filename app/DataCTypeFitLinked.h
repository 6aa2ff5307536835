// The base of the columns that show one fit item's results: it follows the
// fit by name (renamed, removed), keeps the link when the column is copied
// between workspaces, recomputes after its settings are edited or the fit's
// calculation state changes, and writes the status text in place of cells.
// TBase is the column type the column is otherwise (with or without a source
// column); the stored form stays with each column, this adds no bytes.
#pragma once

#include "app/ResultColumnLookup.h"
#include "data/DataColumnType.h"
#include "data/DataString.h"
#include "data/MyData.h"
#include "framework/UpdateNotification.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <algorithm>
#include <string>
#include <vector>

template <class TBase>
class CDataCTypeFitLinked : public TBase {
public:
    int EditSettings(CDataTableItem* item) override { return this->EditThenRecompute(item); }

    void OnNotify(CDataTableItem* item, CDataTableItem*, CUpdateNotification& note) override
    {
        switch (note.kind) {
        case UN_ITEM_RENAMED:
            if (!m_strFit.empty() && m_strFit == note.oldName)
                m_strFit = note.newName;
            return;
        case UN_ITEM_REMOVING:
            if (!m_strFit.empty() && m_strFit == note.oldName) {
                m_strFit.clear();
                this->ComputeValue(-1, item, TRUE);
            }
            return;
        case UN_CALC_STATE: {
            CMXResult* fit = GetFitItem(item);
            if (fit && note.item == fit && StateChangeRecomputes(item, *fit))
                this->ComputeValue(-1, item, TRUE);
            return;
        }
        default:
            return;
        }
    }

    std::vector<std::string> GetLinks() const override
    {
        return m_strFit.empty() ? std::vector<std::string>() : std::vector<std::string>{m_strFit};
    }

    void RestoreLinks(CDataTableItem* item, const std::vector<std::string>& links) override
    {
        if (!m_strFit.empty() || links.empty())
            return;
        m_strFit = links.front();
        this->ComputeValue(-1, item, TRUE);
    }

    CMXResult* GetFitItem(CDataTableItem* item) const { return FindFitItem(item, m_strFit); }

    // 0 when values can be computed, else the message shown in the first data row.
    UINT GetStatus(CDataTableItem* item) const
    {
        CMXResult* fit = GetFitItem(item);
        if (!fit)
            return IDS_NONE_SELECTED;
        if (fit->GetXKind() != CMXResult::kOneSet)
            return IDS_COL_INVALID_LAYOUT;
        if (fit->GetState() == CMXResult::kFitted || UsesEstimates())
            return 0;
        if (fit->GetState() == CMXResult::kCalculating)
            return IDS_COL_CALCULATING;
        if (fit->GetState() == CMXResult::kFailed)
            return IDS_COL_FAILED;
        return IDS_COL_NOT_FITTED;
    }

    std::string m_strFit;
    UINT m_nStatus = IDS_NONE_SELECTED;
    int m_nFit = 0; // 0-based

protected:
    CDataCTypeFitLinked(int type, int column) : TBase(type, column) {}
    CDataCTypeFitLinked(const CDataCTypeFitLinked&) = default;

    // Whether an unfitted fit still gives values (from its estimates).
    virtual bool UsesEstimates() const { return false; }

    // Whether a change of the fit's calculation state calls for new cells: not
    // while the column keeps showing the same message.
    virtual bool StateChangeRecomputes(CDataTableItem* item, CMXResult&) const
    {
        const UINT status = GetStatus(item);
        return !(status == m_nStatus && status != 0);
    }

    // Recomputes the data rows up to last (all, or the one row when row is not
    // -1): each gets cellAt(table, r, fit) while the status is 0, else stays
    // empty and the first data row shows the status text.
    template <class CellAt>
    void ComputeFitRows(int row, CDataTableItem* item, BOOL updateViews, int last, CellAt cellAt)
    {
        CMyData& table = item->GetTable();
        const int column = this->m_column;
        int first = kFirstDataRow, end = last;
        if (row != -1) {
            first = row;
            end = row >= kFirstDataRow && row <= last ? row : row - 1;
        }
        m_nStatus = GetStatus(item);
        CMXResult* fit = GetFitItem(item);
        for (int r = first; r <= end; ++r) {
            table.DeleteCell(r, column);
            if (m_nStatus == 0 && fit)
                if (CData* cell = cellAt(table, r, *fit))
                    table.SetCell(r, column, cell);
            if (row != -1 && updateViews)
                item->UpdateViews(kHintCellChanged, column + 1, r + 1);
        }
        if (m_nStatus != 0) {
            table.SetCell(kFirstDataRow, column, new CDataString(LoadString(m_nStatus)));
            if (row != -1 && updateViews)
                item->UpdateViews(kHintCellChanged, column + 1, kFirstDataRow + 1);
        }
        if (row == -1 && updateViews)
            item->UpdateViews(kHintColumnsChanged, column + 1, column + 1);
        this->NotifyDependents(item);
        item->SetModified();
    }
};
