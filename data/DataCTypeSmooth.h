// Savitzky-Golay smoothing of one source column, and its variant that takes
// a derivative. The numbers of the source are filtered as one sequence with
// unit spacing; rows whose source cell is not a number stay empty.
#pragma once

#include "data/DataCTypeOneSource.h"
#include "framework/MyMatrix.h"

class CDataCTypeSmooth : public CDataCTypeOneSource {
    DECLARE_SERIAL(CDataCTypeSmooth)
public:
    CDataCTypeSmooth() : CDataCTypeSmooth(-1) {}
    explicit CDataCTypeSmooth(int column) : CDataCTypeSmooth(kTypeSmooth, column) {}

    CData* Clone() const override { return new CDataCTypeSmooth(*this); }
    void ComputeValue(int row, CDataTableItem* item, BOOL updateViews) override;
    int EditSettings(CDataTableItem* item) override;
    // Version 0, the coefficient matrix, the source, the polynomial-order index, the window width.
    void Serialize(CArchive& ar) override;

    virtual int GetDerivativeOrder() const { return 0; }
    // Stores the window and order and computes the filter matrix.
    void SetFilter(int windowWidth, int orderIndex);

    int m_orderIndex = 2; // polynomial order = 2 x index
    int m_window = 9;
    CMyMatrix m_matrix;

protected:
    CDataCTypeSmooth(int type, int column) : CDataCTypeOneSource(type, column) {}
    CDataCTypeSmooth(const CDataCTypeSmooth&) = default;
};

class CDataCTypeDeriv : public CDataCTypeSmooth {
    DECLARE_SERIAL(CDataCTypeDeriv)
public:
    CDataCTypeDeriv() : CDataCTypeDeriv(-1) {}
    explicit CDataCTypeDeriv(int column) : CDataCTypeSmooth(kTypeDerivative, column) {}

    CData* Clone() const override { return new CDataCTypeDeriv(*this); }
    int GetDerivativeOrder() const override { return m_derivative; }
    // The smoothing record, version 0, the derivative order.
    void Serialize(CArchive& ar) override;

    int m_derivative = 1;

protected:
    CDataCTypeDeriv(const CDataCTypeDeriv&) = default;
};
