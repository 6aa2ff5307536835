// A column of summary statistics of one source column: its name, the number
// of values, minimum, maximum, range, total, mean, median, and the variances
// and standard deviations of the population and of the sample.
#pragma once

#include "data/DataCTypeOneSource.h"

class CDataCTypeSummary : public CDataCTypeOneSource {
    DECLARE_SERIAL(CDataCTypeSummary)
public:
    CDataCTypeSummary() : CDataCTypeSummary(-1) {}
    explicit CDataCTypeSummary(int column) : CDataCTypeOneSource(kTypeSummary, column) {}

    CData* Clone() const override { return new CDataCTypeSummary(*this); }
    void ComputeValue(int row, CDataTableItem* item, BOOL updateViews) override;
    int EditSettings(CDataTableItem* item) override;
    void OnNotify(CDataTableItem* item, CDataTableItem* subject, CUpdateNotification& note) override;
    // Version 0, the source column.
    void Serialize(CArchive& ar) override;

protected:
    CDataCTypeSummary(const CDataCTypeSummary&) = default;
};
