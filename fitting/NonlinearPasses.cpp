// The passes over the points: the chi-square of the current parameters, the
// curvature and gradient of a Marquardt step with the triangle of the
// weighted Jacobian, and the robust scale; and the threads that share a long
// pass out, block by block.
#include "fitting/NonlinearPass.h"

#include "equation/EquationBase.h"
#include "fitting/GivensRows.h"
#include "fitting/PassThreads.h"

#include <atomic>
#include <cfloat>
#include <chrono>
#include <cmath>
#include <exception>
#include <thread>

namespace {

// A pass expected to take less than this stays on the calling thread:
// waking the threads costs some tens of microseconds, more on a busy machine.
constexpr double kThreadedPassSeconds = 1e-3;

// Forward differences of the model at the current parameters, whose value
// is f: one evaluation a parameter where central differences take two.
// The step, sqrt(epsilon) relative to the parameter, balances truncation
// against rounding for a one-sided quotient.
void ForwardDerivatives(CEquationBase& eq, double f, CMyVector& out)
{
    static const double kStep = std::sqrt(DBL_EPSILON);
    CMyVector& params = eq.GetParameterValues();
    const int n = std::min(eq.GetParameterCount(), params.GetSize());
    for (int i = 0; i < n; ++i) {
        const double p = params[i];
        const double h = p == 0.0 ? kStep : std::max(kStep * std::fabs(p), DBL_MIN);
        const double up = p + h;
        params[i] = up;
        try {
            out[i] = (eq.Calculate() - f) / (up - p);
        } catch (...) {
            params[i] = p;
            throw;
        }
        params[i] = p;
    }
}

} // namespace

void CNonlinearFit::PrepareThreads(int points)
{
    const int m = m_pEquation->GetParameterCount();
    // Asking for the cores reads a system file: once is enough.
    static const int cores = int(std::min(8u, std::max(1u, std::thread::hardware_concurrency())));
    int threads = m_nMaxThreads > 0 ? m_nMaxThreads : cores;
    const int blocks = (points + kBlockPoints - 1) / kBlockPoints;
    if (double(points) * (2 * m + 1) * m_dSecondsPerEvaluation < kThreadedPassSeconds)
        threads = 1;
    threads = std::max(1, std::min(threads, blocks));
    if (m_pThreads && m_pThreads->GetCount() == threads && int(m_threadEquations.size()) == threads - 1)
        return;
    m_pThreads.reset();
    m_threadEquations.clear();
    for (int t = 1; t < threads; ++t) {
        m_threadEquations.push_back(m_pEquation->Clone());
        m_threadEquations.back()->ResizeValues();
    }
    if (threads > 1)
        m_pThreads = std::make_unique<CPassThreads>(threads);
}

bool CNonlinearFit::RunPass(SPass& pass, CWorkerThread* worker)
{
    const int blocks = pass.Blocks();
    pass.sums.assign(std::size_t(blocks) * std::size_t(pass.stride), 0.0);
    std::atomic<bool> stop{false};
    const int m = pass.m;
    const bool keepValues = pass.kind != EPassKind::Curvature;
    const bool reuseValues =
        !keepValues && m_bValuesValid && m_valuesParams.SameBits(m_pEquation->GetParameterValues());
    if (keepValues) {
        m_bValuesValid = false;
        m_values.resize(std::size_t(pass.n));
    }
    double* const values = m_values.data();

    auto runBlock = [&](CEquationBase& eq, int block, CMyVector& d, std::vector<double>& row) {
        const int begin = block * kBlockPoints;
        const int end = std::min(pass.n, begin + kBlockPoints);
        double* acc = pass.Block(block);
        double* xv = eq.GetXValues().GetData();
        const int xc = int(pass.columns.size());
        const double* ys = pass.y->GetData();
        const double* ws = pass.w->GetData();
        for (int i = begin; i < end; ++i) {
            if (i % 32 == 0 && (stop.load(std::memory_order_relaxed) || Poll(worker))) {
                stop = true;
                return;
            }
            for (int j = 0; j < xc; ++j)
                xv[j] = pass.columns[std::size_t(j)][i];
            switch (pass.kind) {
            case EPassKind::ChiSq: {
                const double f = values[i] = eq.Calculate();
                double weight = ws[i];
                if (m_nRobust)
                    weight *= RobustWeight(ys[i], ws[i], f);
                const double r = ys[i] - f;
                acc[0] += weight * r * r;
                break;
            }
            case EPassKind::RobustScale: {
                const double f = values[i] = eq.Calculate();
                acc[0] += std::fabs(std::sqrt(ws[i]) * (ys[i] - f));
                break;
            }
            case EPassKind::Curvature: {
                double f;
                if (pass.central) {
                    eq.CalculateDerivatives(d);
                    f = reuseValues ? values[i] : eq.Calculate();
                } else {
                    f = reuseValues ? values[i] : eq.Calculate();
                    ForwardDerivatives(eq, f, d);
                }
                double weight = ws[i];
                if (m_nRobust)
                    weight *= RobustWeight(ys[i], ws[i], f);
                const double r = ys[i] - f;
                const double dy = r * weight;
                acc[0] += weight * r * r;
                double* beta = acc + 1;
                double* alpha = acc + 1 + m;
                const double* dd = d.GetData();
                for (int j = 0; j < m; ++j) {
                    const double dj = dd[j];
                    beta[j] += dy * dj;
                    const double wdj = dj * weight;
                    double* arow = alpha + j * (j + 1) / 2;
                    for (int k = 0; k <= j; ++k)
                        arow[k] += dd[k] * wdj;
                }
                // The weighted row of the Jacobian goes into the block's triangle.
                const double sw = std::sqrt(weight);
                for (int j = 0; j < m; ++j)
                    row[std::size_t(j)] = sw * dd[j];
                double* tri = acc + pass.TriangleOffset();
                AddRow(tri, tri + m * m, row.data(), sw * r, m);
                break;
            }
            }
        }
    };

    const bool threaded = m_pThreads && blocks > 1
        && double(pass.n) * (pass.kind == EPassKind::Curvature ? 2 * m + 1 : 1) * m_dSecondsPerEvaluation
            >= kThreadedPassSeconds;
    if (!threaded) {
        CMyVector d(m);
        std::vector<double> row(static_cast<std::size_t>(m));
        for (int b = 0; b < blocks && !stop; ++b)
            runBlock(*m_pEquation, b, d, row);
        KeepValues(keepValues && !stop);
        return !stop;
    }

    // Every block runs even after an error, so that the error reported is
    // the one a single thread would have met first.
    std::vector<std::exception_ptr> errors(static_cast<std::size_t>(blocks));
    std::atomic<int> next{0};
    for (auto& clone : m_threadEquations) {
        clone->GetParameterValues() = m_pEquation->GetParameterValues();
        clone->GetConstantValues() = m_pEquation->GetConstantValues();
        clone->GetXValues() = m_pEquation->GetXValues();
    }
    m_pThreads->Run([&](int t) {
        CEquationBase& eq = t == 0 ? *m_pEquation : *m_threadEquations[std::size_t(t - 1)];
        CMyVector d(m);
        std::vector<double> row(static_cast<std::size_t>(m));
        for (int b; (b = next.fetch_add(1)) < blocks && !stop.load(std::memory_order_relaxed);) {
            try {
                runBlock(eq, b, d, row);
            } catch (...) {
                errors[std::size_t(b)] = std::current_exception();
            }
        }
    });
    for (auto& e : errors)
        if (e)
            std::rethrow_exception(e);
    KeepValues(keepValues && !stop);
    return !stop;
}

void CNonlinearFit::KeepValues(bool complete)
{
    if (!complete)
        return;
    m_valuesParams = m_pEquation->GetParameterValues();
    m_bValuesValid = true;
}

double CNonlinearFit::CalcChiSq(const CDoubleColumns& x, const CMyVector& y, const CMyVector& w,
                                CWorkerThread* worker, bool& stopped)
{
    const int n = m_nPoints;
    const int m = m_pEquation->GetParameterCount();
    SPass pass(EPassKind::ChiSq, x, y, w, n, m, m_pEquation->GetXCount());
    // The first pass of a fit runs on this thread and tells what an
    // evaluation costs, which decides whether later passes share out.
    const bool timing = m_dSecondsPerEvaluation < 0.0;
    const auto start = std::chrono::steady_clock::now();
    stopped = !RunPass(pass, worker);
    if (timing && !stopped) {
        m_dSecondsPerEvaluation = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / n;
        PrepareThreads(n);
    }
    return pass.Total(0) / double(n - m);
}

double CNonlinearFit::RobustWeight(double y, double w, double f) const
{
    if (m_nIterations <= 1)
        return 1.0;
    const double u = (y - f) * std::sqrt(w) / m_dRobustScale;
    const double u2 = u * u;
    return u2 < 1.0 ? (1.0 - u2) * (1.0 - u2) : 0.0;
}
