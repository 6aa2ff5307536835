// The grid format as a data-table item stores it: a version word of its own,
// then the grid's stored form.
#pragma once

#include "grid/GridData.h"

class CMXGridData : public CGridData {
    DECLARE_SERIAL(CMXGridData)
public:
    CMXGridData() = default;
    void Serialize(CArchive& ar) override;
};
