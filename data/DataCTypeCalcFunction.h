// A column computed by an equation of the equation language, row by row,
// for a fixed number of rows or as many as another column has.
#pragma once

#include "data/ColumnFunction.h"
#include "data/DataCTypeMultiColumnBase.h"

#include <memory>

class CDataCTypeCalcFunction : public CDataCTypeMultiColumnBase {
    DECLARE_SERIAL(CDataCTypeCalcFunction)
public:
    enum RowCountMode : int { kFixedRows = 0, kRowsOfColumn = 1 };

    CDataCTypeCalcFunction() : CDataCTypeCalcFunction(-1) {}
    explicit CDataCTypeCalcFunction(int column);
    ~CDataCTypeCalcFunction() override;

    CData* Clone() const override { return new CDataCTypeCalcFunction(*this); }
    void ComputeValue(int row, CDataTableItem* item, BOOL updateViews) override;
    int EditSettings(CDataTableItem* item) override;
    int HasSettings() const override { return 1; }
    // Stores and reads the equation through the equation language; without it
    // a Calculated column can be neither stored nor read.
    void Serialize(CArchive& ar) override;

    CColumnFunction* GetFunction() const { return m_function.get(); }

    int m_rowCountMode = kFixedRows;
    int m_rowCountColumn = 0;
    int m_rows = 0;

protected:
    CDataCTypeCalcFunction(const CDataCTypeCalcFunction& other);

private:
    std::unique_ptr<CColumnFunction> m_function;
};
