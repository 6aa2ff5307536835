// A column of a fit's residuals: each row's experimental y minus the fitted
// y at its x, taken from the fit's own data columns.
#pragma once

#include "app/DataCTypeFitLinked.h"
#include "data/DataColumnType.h"

#include <string>

class CMXResult;

class CDataCTypeDiff : public CDataCTypeFitLinked<CDataColumnType> {
    DECLARE_SERIAL(CDataCTypeDiff)
public:
    CDataCTypeDiff() : CDataCTypeDiff(-1) {}
    explicit CDataCTypeDiff(int column) : CDataCTypeFitLinked(kTypeDifference, column) {}

    CData* Clone() const override { return new CDataCTypeDiff(*this); }
    void ComputeValue(int row, CDataTableItem* item, BOOL updateViews) override;
    int HasSettings() const override { return 1; }
    int IsEditable() const override { return 0; }

    // Version 0, fit name, status, fit number.
    void Serialize(CArchive& ar) override;

protected:
    CDataCTypeDiff(const CDataCTypeDiff&) = default;
};
