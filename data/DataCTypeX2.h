// A typed-in y column that carries four associated values x[2] to x[5] for
// the fits.
#pragma once

#include "data/DataColumnType.h"

#include <array>
#include <vector>

class CDataCTypeX2 : public CDataColumnType {
    DECLARE_SERIAL(CDataCTypeX2)
public:
    CDataCTypeX2() : CDataCTypeX2(-1) {}
    explicit CDataCTypeX2(int column) : CDataColumnType(kTypeX2, column) {}

    void GetDisplayText(std::string& out, const CDataFormat& format) const override;
    void GetPlainText(std::string& out) const override;
    CData* Clone() const override { return new CDataCTypeX2(*this); }
    int EditSettings(CDataTableItem* item) override;
    int HasSettings() const override { return 1; }
    void Serialize(CArchive& ar) override;

    void GetXValues(std::vector<double>& out) const { out.assign(m_x.begin(), m_x.end()); }
    void SetXValues(const std::array<double, 4>& values) { m_x = values; }
    void SetLabel(const std::string& label);

    std::array<double, 4> m_x{1.0, 1.0, 1.0, 1.0};
    int m_defaultLabel = 1;

protected:
    CDataCTypeX2(const CDataCTypeX2&) = default;
};
