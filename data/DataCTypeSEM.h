// A column holding, row by row, the standard error of the mean of the numbers in the row.
#pragma once

#include "data/DataCTypeMultiColumnBase.h"
#include "platform/StringIds.h"

class CDataCTypeSEM : public CDataCTypeMultiColumn {
    DECLARE_SERIAL(CDataCTypeSEM)
public:
    CDataCTypeSEM() : CDataCTypeSEM(-1) {}
    explicit CDataCTypeSEM(int column) : CDataCTypeMultiColumn(kTypeSEM, column, IDS_STANDARD_ERROR_OF_MEAN) {}

    CData* Clone() const override { return new CDataCTypeSEM(*this); }
    void ComputeValue(int row, CDataTableItem* item, BOOL updateViews) override;

protected:
    CDataCTypeSEM(const CDataCTypeSEM&) = default;
};
