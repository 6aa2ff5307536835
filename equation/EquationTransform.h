// A pair of data transformations, X and Y, evaluated for one data point at a
// time: XDATA, XDATA2 to XDATA5, YDATA and YCALC, plus the data range.
#pragma once

#include "equation/EquationMinMax.h"

// Whatever computes the fitted y for YCALC (a fit's results).
class IYCalcSource {
public:
    virtual ~IYCalcSource() = default;
    // The fitted y at x for data set index with the given extra X values;
    // false when there is none.
    virtual bool CalculateY(double x, int index, const CMyVector& extraX, double& y) = 0;
};

class CEquationTransform : public CEquationMinMax {
public:
    // Takes the names, labels, flag and values of equation, the two
    // transform texts, and the source of YCALC (may be null).
    void Assign(const CEquationBase& equation, const std::string& xTransform, const std::string& yTransform,
                IYCalcSource* source, int sourceIndex);
    // Also drops the transform programs: they index the old symbols.
    void Invalidate() override;
    void CompileX();
    void CompileY();
    double EvaluateX();
    double EvaluateY();
    void SetPoint(double x, double y)
    {
        m_named[kXData] = x;
        m_named[kYData] = y;
    }

protected:
    std::optional<CEqnToken> CreateVariable(std::string_view name) override;
    double* RunHook(int code, double* sp) override;

private:
    IYCalcSource* m_pSource = nullptr;
    int m_nSourceIndex = 0;
    SEqnProgram m_xCode;
    SEqnProgram m_yCode;
};
