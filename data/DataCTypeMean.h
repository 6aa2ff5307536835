// A column holding, row by row, the mean of the numbers in its source columns.
#pragma once

#include "data/DataCTypeMultiColumnBase.h"
#include "platform/StringIds.h"

class CDataCTypeMean : public CDataCTypeMultiColumn {
    DECLARE_SERIAL(CDataCTypeMean)
public:
    CDataCTypeMean() : CDataCTypeMean(-1) {}
    explicit CDataCTypeMean(int column) : CDataCTypeMultiColumn(kTypeMean, column, IDS_CALCULATE_MEAN) {}

    CData* Clone() const override { return new CDataCTypeMean(*this); }
    void ComputeValue(int row, CDataTableItem* item, BOOL updateViews) override;

protected:
    CDataCTypeMean(const CDataCTypeMean&) = default;

private:
    // Recomputes rows first..last (not empty) of the whole column.
    void ComputeColumn(CMyData& table, int first, int last);
};
