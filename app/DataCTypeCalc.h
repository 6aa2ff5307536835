// Columns that evaluate a fit's curve at the values of a source column: y at
// each x ("y = ?") and x at each y ("x = ?").
#pragma once

#include "app/DataCTypeFitLinked.h"
#include "data/DataCTypeOneSource.h"
#include "fitting/FitValue.h"

#include <optional>
#include <string>

class CMXResult;

class CDataCTypeCalc : public CDataCTypeFitLinked<CDataCTypeOneSource> {
    DECLARE_SERIAL(CDataCTypeCalc)
public:
    CDataCTypeCalc() : CDataCTypeCalc(kTypeCalcY, -1) {}
    CData* Clone() const override { return new CDataCTypeCalc(*this); }

    void ComputeValue(int row, CDataTableItem* item, BOOL updateViews) override;

    // Version 1: source, fit name, status, estimates flag, fit number.
    // Version 0 had no fit number: such a column uses fit 1.
    void Serialize(CArchive& ar) override;

    int m_nUseEstimates = 0;

protected:
    CDataCTypeCalc(int type, int column) : CDataCTypeFitLinked(type, column) {}
    CDataCTypeCalc(const CDataCTypeCalc&) = default;
    bool RecomputesRows() const override { return true; }
    bool UsesEstimates() const override { return m_nUseEstimates != 0; }
    // The fit's answer for one source value.
    virtual std::optional<CFitValue> Evaluate(CMXResult& fit, double value) const { return std::nullopt; }
    // The column of the fit's data table read when no source column is chosen.
    virtual int FitDataColumn(const CMXResult& fit) const { return -1; }
};

class CDataCTypeCalcY : public CDataCTypeCalc {
    DECLARE_SERIAL(CDataCTypeCalcY)
public:
    CDataCTypeCalcY() : CDataCTypeCalcY(-1) {}
    explicit CDataCTypeCalcY(int column) : CDataCTypeCalc(kTypeCalcY, column) {}
    CData* Clone() const override { return new CDataCTypeCalcY(*this); }
    // The calculated column's record, then version 0.
    void Serialize(CArchive& ar) override;

protected:
    CDataCTypeCalcY(const CDataCTypeCalcY&) = default;
    std::optional<CFitValue> Evaluate(CMXResult& fit, double x) const override;
    int FitDataColumn(const CMXResult& fit) const override;
};

class CDataCTypeCalcX : public CDataCTypeCalc {
    DECLARE_SERIAL(CDataCTypeCalcX)
public:
    CDataCTypeCalcX() : CDataCTypeCalcX(-1) {}
    explicit CDataCTypeCalcX(int column) : CDataCTypeCalc(kTypeCalcX, column) {}
    CData* Clone() const override { return new CDataCTypeCalcX(*this); }
    // The calculated column's record, version 0, the lower and upper x limits.
    void Serialize(CArchive& ar) override;

    double m_dLower = 1.0;
    double m_dUpper = 1.0;

protected:
    CDataCTypeCalcX(const CDataCTypeCalcX&) = default;
    std::optional<CFitValue> Evaluate(CMXResult& fit, double y) const override;
    int FitDataColumn(const CMXResult& fit) const override;
};

// The cell for a fit's answer: a number, or the text it gave in its place.
CData* MakeFitValueCell(const CFitValue& value);
