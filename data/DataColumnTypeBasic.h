// The plain column kinds: none, x data and y data. The user types their
// values; they can be locked against typing.
#pragma once

#include "data/DataColumnType.h"

class CDataColumnTypeBasic : public CDataColumnType {
    DECLARE_SERIAL(CDataColumnTypeBasic)
public:
    CDataColumnTypeBasic() = default;
    CDataColumnTypeBasic(int type, int column) : CDataColumnType(type, column) {}

    CData* Clone() const override { return new CDataColumnTypeBasic(*this); }
    int CanLock() const override { return 1; }
    int IsEditable() const override { return IsLocked() ? 0 : 1; }
    void Serialize(CArchive& ar) override;

protected:
    CDataColumnTypeBasic(const CDataColumnTypeBasic&) = default;
};
