// A column holding, row by row, the sample standard deviation of the numbers in the row.
#pragma once

#include "data/DataCTypeMultiColumnBase.h"
#include "platform/StringIds.h"

class CDataCTypeStdDev : public CDataCTypeMultiColumn {
    DECLARE_SERIAL(CDataCTypeStdDev)
public:
    CDataCTypeStdDev() : CDataCTypeStdDev(-1) {}
    explicit CDataCTypeStdDev(int column) : CDataCTypeMultiColumn(kTypeStdDev, column, IDS_STANDARD_DEVIATION) {}

    CData* Clone() const override { return new CDataCTypeStdDev(*this); }
    void ComputeValue(int row, CDataTableItem* item, BOOL updateViews) override;

protected:
    CDataCTypeStdDev(const CDataCTypeStdDev&) = default;
};
