// A typed-in column of the n-th independent variable of a multi-variable fit.
#pragma once

#include "data/DataColumnType.h"

class CDataCTypeXNData : public CDataColumnType {
    DECLARE_SERIAL(CDataCTypeXNData)
public:
    CDataCTypeXNData() : CDataCTypeXNData(-1) {}
    explicit CDataCTypeXNData(int column) : CDataColumnType(kTypeXNData, column) {}

    void GetDisplayText(std::string& out, const CDataFormat& format) const override;
    void GetPlainText(std::string& out) const override;
    CData* Clone() const override { return new CDataCTypeXNData(*this); }
    int EditSettings(CDataTableItem* item) override;
    int HasSettings() const override { return 1; }
    void Serialize(CArchive& ar) override;

    // Takes n and a label; the label counts as the default when it equals the default name.
    void SetLabel(int n, const std::string& label);

    int m_n = 1;
    int m_defaultLabel = 1;

protected:
    CDataCTypeXNData(const CDataCTypeXNData&) = default;
};
