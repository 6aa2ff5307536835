// The engine of the linear-fit item: a weighted least-squares polynomial of
// a chosen order. A straight line is fitted from centred sums; any other
// order by Householder QR of the weighted design matrix with its columns
// scaled to unit length, which keeps the accuracy that the normal
// equations lose for wide x ranges and high orders.
#pragma once

#include "fitting/Fit.h"
#include "framework/MyMatrix.h"
#include "framework/MyVector.h"

class CLinearFit : public CFit {
    DECLARE_SERIAL(CLinearFit)
public:
    CLinearFit() : CLinearFit(1) {}
    explicit CLinearFit(int order);

    int Fit(const CFitSettings& settings, const CDoubleColumns& x, const CMyVector& y, const CMyVector& w,
            CWorkerThread* worker, int report) override;
    std::optional<CFitValue> CalcY(double x, const CMyVector* otherX) override;
    // Order 1 solves the line (x1 and x2 unused); other orders bisect
    // between x1 and x2.
    std::optional<CFitValue> CalcX(double y, double x1, double x2) override;

    int GetOrder() const { return m_nOrder; }
    // Correlation coefficient of a straight-line fit.
    double GetCorrelation() const { return m_dR; }
    // The inverse of the weighted normal matrix.
    const CMyMatrix& GetCovariance() const { return m_covariance; }
    // Coefficient j multiplies x^j.
    const CMyVector& GetCoefficients() const { return m_coefficients; }
    // sqrt(|covariance(j,j) chi-square / (points - order - 1)|); false when
    // not fitted or when there are no degrees of freedom left.
    bool GetStandardError(int j, double& se) const;
    // The polynomial at x with the current coefficients.
    double CalcPolynomial(double x) const;

    // Version word 0, the fit record, covariance, coefficients, order, r.
    void Serialize(CArchive& ar) override;

private:
    // powers[j] = x^j for j up to the order, by repeated multiplication.
    void CalcPowers(double x, double* powers) const;
    int FitLine(const double* x, const CMyVector& y, const CMyVector& w, int n, CWorkerThread* worker, int report);
    int FitPolynomial(const double* x, const CMyVector& y, const CMyVector& w, int n, CWorkerThread* worker,
                      int report);

    int m_nOrder = 1;
    double m_dR = 0.0;
    CMyMatrix m_covariance;
    CMyVector m_coefficients;
};
