#include "fitting/LinearFit.h"

#include "fitting/WorkerThread.h"
#include "framework/ArchiveHelpers.h"
#include "framework/DoubleColumns.h"
#include "platform/Archive.h"
#include "platform/StringIds.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <vector>

IMPLEMENT_SERIAL(CLinearFit, CFit, VERSIONABLE_SCHEMA | 0)

CLinearFit::CLinearFit(int order) : m_nOrder(order) {}

void CLinearFit::CalcPowers(double x, double* powers) const
{
    double p = 1.0;
    for (int j = 0; j <= m_nOrder; ++j) {
        powers[j] = p;
        p *= x;
    }
}

double CLinearFit::CalcPolynomial(double x) const
{
    double sum = 0.0, p = 1.0;
    const int m = std::min(m_nOrder + 1, m_coefficients.GetSize());
    for (int j = 0; j < m; ++j) {
        sum += m_coefficients[j] * p;
        p *= x;
    }
    return sum;
}

int CLinearFit::Fit(const CFitSettings&, const CDoubleColumns& x, const CMyVector& y, const CMyVector& w,
                    CWorkerThread* worker, int report)
{
    const int n = x.GetColumnCount() > 0 ? std::min({x.GetRowCount(), y.GetSize(), w.GetSize()}) : 0;
    const int m = m_nOrder + 1;
    m_nFitted = 0;
    if (m_nOrder < 0 || n <= m) {
        Report(worker, report, IDS_FIT_TOO_FEW_POINTS);
        return 0;
    }
    m_covariance.SetSize(m, m);
    m_coefficients.SetSize(m);
    const int result = m_nOrder == 1 ? FitLine(x.Column(0), y, w, n, worker, report)
                                     : FitPolynomial(x.Column(0), y, w, n, worker, report);
    if (!result)
        return 0;
    bool finite = std::isfinite(m_dChiSq);
    for (int j = 0; j < m; ++j)
        finite = finite && std::isfinite(m_coefficients[j]);
    if (!finite) {
        Report(worker, report, IDS_FIT_SINGULAR);
        return 0;
    }
    m_nPoints = n;
    m_nFitted = 1;
    return 1;
}

int CLinearFit::FitLine(const double* x, const CMyVector& y, const CMyVector& w, int n, CWorkerThread* worker,
                        int report)
{
    // Sums about the weighted means: the raw sums cancel catastrophically
    // when x or y lie far from 0 compared with their spread.
    double s = 0, sx = 0, sy = 0;
    for (int i = 0; i < n; ++i) {
        if (i % 32 == 0 && IsStopRequested(worker))
            return 0;
        s += w[i];
        sx += w[i] * x[i];
        sy += w[i] * y[i];
    }
    if (!(s > 0.0) || !std::isfinite(s)) {
        Report(worker, report, IDS_FIT_SINGULAR);
        return 0;
    }
    const double xm = sx / s, ym = sy / s;
    double sxx = 0, sxy = 0, syy = 0;
    for (int i = 0; i < n; ++i) {
        if (i % 32 == 0 && IsStopRequested(worker))
            return 0;
        const double dx = x[i] - xm, dy = y[i] - ym;
        sxx += w[i] * dx * dx;
        sxy += w[i] * dx * dy;
        syy += w[i] * dy * dy;
    }
    if (!(sxx > 0.0) || !std::isfinite(sxx)) {
        // A single distinct x value: no slope can be found.
        Report(worker, report, IDS_FIT_SINGULAR);
        return 0;
    }
    const double b = sxy / sxx;
    const double a = ym - b * xm;
    m_coefficients[0] = a;
    m_coefficients[1] = b;
    m_covariance.ElementAt(0, 0) = 1.0 / s + xm * xm / sxx;
    m_covariance.ElementAt(0, 1) = m_covariance.ElementAt(1, 0) = -xm / sxx;
    m_covariance.ElementAt(1, 1) = 1.0 / sxx;
    double chi = 0;
    for (int i = 0; i < n; ++i) {
        if (i % 32 == 0 && IsStopRequested(worker))
            return 0;
        const double r = (y[i] - ym) - b * (x[i] - xm);
        chi += w[i] * r * r;
    }
    m_dChiSq = chi;
    m_dR = syy > 0.0 ? std::clamp(sxy / std::sqrt(sxx * syy), -1.0, 1.0) : 0.0;
    return 1;
}

int CLinearFit::FitPolynomial(const double* x, const CMyVector& y, const CMyVector& w, int n, CWorkerThread* worker,
                              int report)
{
    const int m = m_nOrder + 1;
    const std::size_t rows = std::size_t(n);
    // y is taken about its weighted mean, which the intercept column can
    // carry exactly: the residuals then do not depend on y's offset.
    double s = 0, sy = 0;
    for (int i = 0; i < n; ++i) {
        if (i % 32 == 0 && IsStopRequested(worker))
            return 0;
        s += w[i];
        sy += w[i] * y[i];
    }
    if (!(s > 0.0) || !std::isfinite(s)) {
        Report(worker, report, IDS_FIT_SINGULAR);
        return 0;
    }
    const double ym = sy / s;

    // The weighted design matrix, column by column, and the right-hand side.
    std::vector<double> a(rows * std::size_t(m)), b(rows), scale(static_cast<std::size_t>(m));
    std::vector<double> powers(static_cast<std::size_t>(m));
    for (int i = 0; i < n; ++i) {
        if (i % 32 == 0 && IsStopRequested(worker))
            return 0;
        const double sw = std::sqrt(w[i]);
        CalcPowers(x[i], powers.data());
        for (int j = 0; j < m; ++j)
            a[std::size_t(j) * rows + std::size_t(i)] = sw * powers[std::size_t(j)];
        b[std::size_t(i)] = sw * (y[i] - ym);
    }
    // Columns of unit length: the pivots then measure how independent the
    // powers are, whatever the scale of x.
    for (int j = 0; j < m; ++j) {
        double* col = &a[std::size_t(j) * rows];
        double sum = 0;
        for (std::size_t i = 0; i < rows; ++i)
            sum += col[i] * col[i];
        const double norm = std::sqrt(sum);
        if (!(norm > 0.0) || !std::isfinite(norm)) {
            Report(worker, report, IDS_FIT_SINGULAR);
            return 0;
        }
        scale[std::size_t(j)] = 1.0 / norm;
        for (std::size_t i = 0; i < rows; ++i)
            col[i] *= scale[std::size_t(j)];
    }

    // Householder QR; R overwrites the upper triangle, its diagonal kept apart.
    std::vector<double> diag(static_cast<std::size_t>(m));
    for (int k = 0; k < m; ++k) {
        if (IsStopRequested(worker))
            return 0;
        double* col = &a[std::size_t(k) * rows];
        double sum = 0;
        for (std::size_t i = std::size_t(k); i < rows; ++i)
            sum += col[i] * col[i];
        const double norm = std::sqrt(sum);
        const double alpha = col[k] > 0 ? -norm : norm;
        diag[std::size_t(k)] = alpha;
        if (norm == 0.0)
            continue;
        col[k] -= alpha; // the reflector v = col[k..] - alpha e_k, v'v = 2 norm (norm + |col[k]|)
        const double vv = -alpha * col[k];
        auto reflect = [&](double* target) {
            double dot = 0;
            for (std::size_t i = std::size_t(k); i < rows; ++i)
                dot += col[i] * target[i];
            const double f = dot / vv;
            for (std::size_t i = std::size_t(k); i < rows; ++i)
                target[i] -= f * col[i];
        };
        for (int j = k + 1; j < m; ++j)
            reflect(&a[std::size_t(j) * rows]);
        reflect(b.data());
    }
    double largest = 0;
    for (int k = 0; k < m; ++k)
        largest = std::max(largest, std::fabs(diag[std::size_t(k)]));
    const double tolerance = double(std::max(n, m)) * DBL_EPSILON * largest;
    for (int k = 0; k < m; ++k) {
        if (!(std::fabs(diag[std::size_t(k)]) > tolerance)) {
            // A zero pivot: the powers of x are not independent (fewer
            // distinct x values than coefficients).
            Report(worker, report, IDS_FIT_SINGULAR);
            return 0;
        }
    }
    auto r = [&](int i, int j) { return i == j ? diag[std::size_t(i)] : a[std::size_t(j) * rows + std::size_t(i)]; };

    // Back-substitution for the scaled coefficients.
    std::vector<double> c(static_cast<std::size_t>(m));
    for (int i = m - 1; i >= 0; --i) {
        double t = b[std::size_t(i)];
        for (int j = i + 1; j < m; ++j)
            t -= r(i, j) * c[std::size_t(j)];
        c[std::size_t(i)] = t / r(i, i);
    }
    // R^-1 (upper triangular), column by column.
    std::vector<double> rinv(std::size_t(m) * std::size_t(m), 0.0);
    auto ri = [&](int i, int j) -> double& { return rinv[std::size_t(i) * std::size_t(m) + std::size_t(j)]; };
    for (int j = 0; j < m; ++j) {
        ri(j, j) = 1.0 / r(j, j);
        for (int i = j - 1; i >= 0; --i) {
            double t = 0;
            for (int k = i + 1; k <= j; ++k)
                t += r(i, k) * ri(k, j);
            ri(i, j) = -t / r(i, i);
        }
    }
    // (A'A)^-1 = R^-1 R^-T, unscaled to the powers of x.
    for (int j = 0; j < m; ++j) {
        for (int k = 0; k <= j; ++k) {
            double t = 0;
            for (int l = j; l < m; ++l)
                t += ri(j, l) * ri(k, l);
            t *= scale[std::size_t(j)] * scale[std::size_t(k)];
            m_covariance.ElementAt(j, k) = t;
            m_covariance.ElementAt(k, j) = t;
        }
    }
    for (int j = 0; j < m; ++j)
        m_coefficients[j] = c[std::size_t(j)] * scale[std::size_t(j)];

    // Residuals about the mean of y, then the intercept takes the mean back.
    double chi = 0;
    for (int i = 0; i < n; ++i) {
        if (i % 32 == 0 && IsStopRequested(worker))
            return 0;
        const double res = (y[i] - ym) - CalcPolynomial(x[i]);
        chi += w[i] * res * res;
    }
    m_coefficients[0] += ym;
    m_dChiSq = chi;
    m_dR = 0.0;
    return 1;
}

bool CLinearFit::GetStandardError(int j, double& se) const
{
    const int dof = m_nPoints - m_nOrder - 1;
    if (!IsFitted() || dof <= 0 || j < 0 || j > m_nOrder || m_covariance.GetRows() <= j)
        return false;
    se = std::sqrt(std::fabs(m_covariance.GetAt(j, j) * m_dChiSq / dof));
    return true;
}

std::optional<CFitValue> CLinearFit::CalcY(double x, const CMyVector*)
{
    if (!IsFitted())
        return std::nullopt;
    return CFitValue::Number(CalcPolynomial(x));
}

std::optional<CFitValue> CLinearFit::CalcX(double y, double x1, double x2)
{
    if (!IsFitted())
        return std::nullopt;
    if (m_nOrder == 1) {
        const double slope = m_coefficients[1];
        if (slope == 0.0)
            return CFitValue::Message(IDS_ERROR_DIVIDE_BY_ZERO);
        return CFitValue::Number((y - m_coefficients[0]) / slope);
    }
    double lo = std::min(x1, x2), hi = std::max(x1, x2);
    if (lo == hi)
        return CFitValue::Number(lo);
    double mid = lo + (hi - lo) * 0.5;
    double fhi = CalcPolynomial(hi);
    for (int round = 0; round < 20; ++round) {
        const double f = CalcPolynomial(mid);
        if ((f - y) * (fhi - y) > 0) {
            hi = mid;
            fhi = f;
        } else {
            lo = mid;
        }
        mid = lo + (hi - lo) * 0.5;
    }
    return CFitValue::Number(mid);
}

void CLinearFit::Serialize(CArchive& ar)
{
    SerializeVersion(ar, 0);
    CFit::Serialize(ar);
    m_covariance.Serialize(ar);
    m_coefficients.Serialize(ar);
    if (ar.IsStoring()) {
        ar << std::int32_t(m_nOrder) << m_dR;
    } else {
        std::int32_t order = 0;
        ar >> order >> m_dR;
        if (order < 0 || order > 1000)
            ThrowArchiveError(CArchiveException::badIndex, "polynomial order out of range");
        m_nOrder = order;
        if (m_nFitted == 1 && m_coefficients.GetSize() != order + 1)
            ThrowArchiveError(CArchiveException::badIndex, "coefficient count does not match the order");
    }
}
