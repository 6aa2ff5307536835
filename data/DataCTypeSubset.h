// A column that keeps every n-th cell of one source column, from the first data row on.
#pragma once

#include "data/DataCTypeOneSource.h"

class CDataCTypeSubset : public CDataCTypeOneSource {
    DECLARE_SERIAL(CDataCTypeSubset)
public:
    CDataCTypeSubset() : CDataCTypeSubset(-1) {}
    explicit CDataCTypeSubset(int column) : CDataCTypeOneSource(kTypeSubset, column) {}

    CData* Clone() const override { return new CDataCTypeSubset(*this); }
    void ComputeValue(int row, CDataTableItem* item, BOOL updateViews) override;
    int EditSettings(CDataTableItem* item) override;
    void OnNotify(CDataTableItem* item, CDataTableItem* subject, CUpdateNotification& note) override;
    // Version 0, the source column, the step.
    void Serialize(CArchive& ar) override;

    static constexpr int kMinStep = 2;
    static constexpr int kMaxStep = 100;
    int m_step = 2;

protected:
    CDataCTypeSubset(const CDataCTypeSubset&) = default;
};
