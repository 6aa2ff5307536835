// A column of a fit item's parameter values (or their standard errors), one
// row per data set and chosen parameter, labelled with the parameter names.
#pragma once

#include "app/DataCTypeFitLinked.h"
#include "data/DataColumnType.h"

#include <string>
#include <vector>

class CMXResult;

class CDataCTypeFitResults : public CDataCTypeFitLinked<CDataColumnType> {
    DECLARE_SERIAL(CDataCTypeFitResults)
public:
    CDataCTypeFitResults() : CDataCTypeFitResults(-1) {}
    explicit CDataCTypeFitResults(int column) : CDataCTypeFitResults(kTypeFitResults, column) {}

    CData* Clone() const override { return new CDataCTypeFitResults(*this); }
    void ComputeValue(int row, CDataTableItem* item, BOOL updateViews) override;
    int HasSettings() const override { return 1; }
    int IsEditable() const override { return 0; }

    // Version 0, indices, show-name flag, fit name, value choice, last fit state.
    void Serialize(CArchive& ar) override;

    std::vector<int> m_indices;
    int m_nShowName = 1;
    int m_nValueChoice = 0; // 0 value, 1 standard error
    int m_nLastState = 0;

protected:
    CDataCTypeFitResults(int type, int column) : CDataCTypeFitLinked(type, column) {}
    CDataCTypeFitResults(const CDataCTypeFitResults&) = default;
    // Any state change recomputes, but for an unfitted fit that stays unfitted.
    bool StateChangeRecomputes(CDataTableItem*, CMXResult& fit) const override
    {
        return m_nLastState != 0 || fit.GetState() != 0;
    }
    // The count of entries per record (parameters, or information items).
    virtual int GetEntryCount(CMXResult& fit) const;
    // The cell of entry index of a fitted record; null leaves the row empty.
    virtual CData* MakeEntry(CMXResult& fit, int record, int index) const;
};

// A column of a fit's information items (points, chi-square, ...), one row
// per data set and chosen item.
class CDataCTypeFitInfo : public CDataCTypeFitResults {
    DECLARE_SERIAL(CDataCTypeFitInfo)
public:
    CDataCTypeFitInfo() : CDataCTypeFitInfo(-1) {}
    explicit CDataCTypeFitInfo(int column) : CDataCTypeFitResults(kTypeFitInfo, column) {}

    CData* Clone() const override { return new CDataCTypeFitInfo(*this); }
    void OnNotify(CDataTableItem* item, CDataTableItem* subject, CUpdateNotification& note) override;
    // Version 0, indices, show-name flag, fit name, last fit state.
    void Serialize(CArchive& ar) override;

protected:
    CDataCTypeFitInfo(const CDataCTypeFitInfo&) = default;
    int GetEntryCount(CMXResult& fit) const override;
    CData* MakeEntry(CMXResult& fit, int record, int index) const override;
};
