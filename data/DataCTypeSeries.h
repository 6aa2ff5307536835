// A column filled with an arithmetic series: start, start + increment, ...
#pragma once

#include "data/DataColumnType.h"

class CDataCTypeSeries : public CDataColumnType {
    DECLARE_SERIAL(CDataCTypeSeries)
public:
    CDataCTypeSeries() : CDataCTypeSeries(-1) {}
    explicit CDataCTypeSeries(int column) : CDataColumnType(kTypeSeries, column) {}

    CData* Clone() const override { return new CDataCTypeSeries(*this); }
    void ComputeValue(int row, CDataTableItem* item, BOOL updateViews) override;
    int EditSettings(CDataTableItem* item) override;
    int HasSettings() const override { return 1; }
    int IsEditable() const override { return 0; }
    void Serialize(CArchive& ar) override;

    double m_start = 0.0;
    double m_increment = 0.0;
    int m_points = 0;

protected:
    CDataCTypeSeries(const CDataCTypeSeries&) = default;
};
