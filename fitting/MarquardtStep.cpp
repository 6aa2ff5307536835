// One step of the Marquardt method (D. W. Marquardt, "An algorithm for
// least-squares estimation of nonlinear parameters", J. SIAM 11 (1963)
// 431-441): the curvature and gradient at the current parameters, then trial
// steps with a damping lambda that grows tenfold while a trial raises the
// chi-square, solved from the triangle of the weighted Jacobian rather than
// from the curvature matrix.
#include "fitting/NonlinearPass.h"

#include "equation/EquationBase.h"
#include "equation/MyError.h"
#include "fitting/GivensRows.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// A trial may raise the chi-square by this fraction and still be taken.
constexpr double kRiseTolerance = 0.001;
// Lambda past this ends the search for a step that does not raise the chi-square.
constexpr double kGiveUpLambda = 1e8;

} // namespace

EFitOutcome CNonlinearFit::Iterate(const CDoubleColumns& x, const CMyVector& y, const CMyVector& w,
                                   CWorkerThread* worker, bool central)
{
    CEquationBase& eq = *m_pEquation;
    const int n = m_nPoints;
    const int m = eq.GetParameterCount();
    CMyVector& params = eq.GetParameterValues();
    const CMyVector a0 = params;
    m_bPureStep = false;

    SPass pass(EPassKind::Curvature, x, y, w, n, m, eq.GetXCount(), m_curvatureSums);
    pass.central = central;
    if (!RunPass(pass, worker))
        return EFitOutcome::Stopped;
    m_curvature.SetSize(m, m);
    for (int j = 0; j < m; ++j) {
        for (int k = 0; k <= j; ++k) {
            const double a = pass.Total(1 + m + j * (j + 1) / 2 + k);
            m_curvature.ElementAt(j, k) = a;
            m_curvature.ElementAt(k, j) = a;
        }
    }
    // The same sum that the chi-square of a0 gives, formed in the same order.
    const double chi0 = pass.Total(0) / double(n - m);

    // The triangle of the whole weighted Jacobian from the blocks' triangles,
    // in block order. Solving the damped step from it, rather than from the
    // curvature matrix, keeps the digits that squaring the Jacobian loses.
    const std::size_t mm = std::size_t(m) * std::size_t(m);
    std::vector<double> R(mm, 0.0), qtr(static_cast<std::size_t>(m), 0.0), row(static_cast<std::size_t>(m));
    AddTriangles(R.data(), qtr.data(), pass.Block(0) + pass.TriangleOffset(), std::size_t(pass.stride), pass.Blocks(),
                 m);
    // Scaled to the curvature's unit diagonal, so that lambda damps every
    // parameter alike whatever its units; a parameter without effect keeps a
    // diagonal of 1 and a step of 0.
    std::vector<double> scale(static_cast<std::size_t>(m));
    for (int j = 0; j < m; ++j) {
        const double a = m_curvature.GetAt(j, j);
        scale[std::size_t(j)] = a > 0.0 ? 1.0 / std::sqrt(a) : 0.0;
        for (int k = 0; k <= j; ++k)
            R[std::size_t(k) * m + j] *= scale[std::size_t(j)];
        if (a == 0.0)
            R[std::size_t(j) * m + j] = 1.0;
    }

    std::vector<double> Rl(mm), ql(static_cast<std::size_t>(m)), step(static_cast<std::size_t>(m));
    double chi1 = 0.0;
    bool giveUp = false;
    bool first = true;
    bool undamped = false;
    for (;;) {
        if (Poll(worker))
            return EFitOutcome::Stopped;
        // The trial matrix is the scaled curvature with 1 + lambda on its
        // diagonal: lambda counts only as far as 1 + lambda differs from 1.
        const double damping = (1.0 + m_dLambda) - 1.0;
        undamped = damping == 0.0;
        Rl = R;
        ql = qtr;
        if (!undamped) {
            const double root = std::sqrt(damping);
            for (int k = 0; k < m; ++k) {
                std::fill(row.begin(), row.end(), 0.0);
                row[std::size_t(k)] = root;
                AddRow(Rl.data(), ql.data(), row.data(), 0.0, m);
            }
        }
        const bool solved = SolveUpper(Rl.data(), ql.data(), step.data(), m);
        m_dLambda *= 10.0;
        giveUp = m_dLambda > kGiveUpLambda;
        chi1 = std::nan("");
        if (solved) {
            for (int i = 0; i < m; ++i)
                params[i] = a0[i] + step[std::size_t(i)] * scale[std::size_t(i)];
            try {
                bool stopped = false;
                chi1 = CalcChiSq(x, y, w, worker, stopped);
                if (stopped)
                    return EFitOutcome::Stopped;
            } catch (const CMyError&) {
                // The trial left the equation's domain: a step too long.
                chi1 = std::nan("");
            }
        }
        // A singular system or a trial that cannot be evaluated counts as a
        // rise: lambda grows and the step shortens.
        const bool rose = !(chi1 - chi0 <= kRiseTolerance * chi0);
        if (!rose || giveUp)
            break;
        first = false;
    }
    // The covariance: the inverse of the last trial matrix, (Rl' Rl)^-1.
    m_covariance.SetSize(m, m);
    std::vector<double> inv(mm, 0.0);
    for (int j = 0; j < m; ++j) {
        inv[std::size_t(j) * m + j] = 1.0 / Rl[std::size_t(j) * m + j];
        for (int i = j - 1; i >= 0; --i) {
            double t = 0;
            for (int k = i + 1; k <= j; ++k)
                t += Rl[std::size_t(i) * m + k] * inv[std::size_t(k) * m + j];
            inv[std::size_t(i) * m + j] = -t / Rl[std::size_t(i) * m + i];
        }
    }
    for (int j = 0; j < m; ++j) {
        for (int k = 0; k <= j; ++k) {
            double t = 0;
            for (int l = j; l < m; ++l)
                t += inv[std::size_t(j) * m + l] * inv[std::size_t(k) * m + l];
            m_covariance.ElementAt(j, k) = t;
            m_covariance.ElementAt(k, j) = t;
        }
    }

    m_dLambda *= 0.001;
    if (giveUp && !(chi1 < chi0)) {
        m_dChiSq = chi1;
        return EFitOutcome::NotConverged;
    }
    if (m_nRobust) {
        SPass robust(EPassKind::RobustScale, x, y, w, n, m, eq.GetXCount(), m_pointSums);
        if (!RunPass(robust, worker))
            return EFitOutcome::Stopped;
        m_dRobustScale = 6.0 / n * robust.Total(0);
    }
    m_dChiSq = chi1;
    m_bPureStep = first && undamped && central;
    return EFitOutcome::Done;
}
