// A column holding, row by row, the number of source columns whose cell in the row is a number.
#pragma once

#include "data/DataCTypeMultiColumnBase.h"
#include "platform/StringIds.h"

class CDataCTypeNPoints : public CDataCTypeMultiColumn {
    DECLARE_SERIAL(CDataCTypeNPoints)
public:
    CDataCTypeNPoints() : CDataCTypeNPoints(-1) {}
    explicit CDataCTypeNPoints(int column) : CDataCTypeMultiColumn(kTypeNPoints, column, IDS_NUMBER_OF_DATA_POINTS) {}

    CData* Clone() const override { return new CDataCTypeNPoints(*this); }
    void ComputeValue(int row, CDataTableItem* item, BOOL updateViews) override;

protected:
    CDataCTypeNPoints(const CDataCTypeNPoints&) = default;
};
