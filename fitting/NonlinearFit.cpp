#include "fitting/NonlinearFit.h"

#include "equation/Equation.h"
#include "equation/EquationBase.h"
#include "equation/MyError.h"
#include "equation/ParseErr.h"
#include "fitting/EquationSource.h"
#include "fitting/FitSettings.h"
#include "fitting/PassThreads.h"
#include "fitting/WorkerThread.h"
#include "framework/ArchiveHelpers.h"
#include "framework/DoubleColumns.h"
#include "platform/Archive.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <algorithm>
#include <cfloat>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <exception>
#include <limits>
#include <thread>

IMPLEMENT_SERIAL(CNonlinearFit, CFit, VERSIONABLE_SCHEMA | 2)

namespace {

// Points per block of a pass: the unit of work of a thread and of the
// partial sums, which are added in block order.
constexpr int kBlockPoints = 32;
// A pass expected to take less than this stays on the calling thread:
// waking the threads costs some tens of microseconds, more on a busy machine.
constexpr double kThreadedPassSeconds = 1e-3;
// A trial may raise the chi-square by this fraction and still be taken.
constexpr double kRiseTolerance = 0.001;
constexpr double kGiveUpLambda = 1e8;

enum class EPassKind { ChiSq, Curvature, RobustScale };

// Adds the row (v, rv) of a least-squares system to its triangle R (m x m,
// row by row) and transformed right side qtr, by Givens rotations; v is
// used up. Rows may come in any order: the triangle of all of them is the
// same up to rounding, whatever the grouping.
void AddRow(double* R, double* qtr, double* v, double rv, int m)
{
    for (int k = 0; k < m; ++k) {
        const double b = v[k];
        if (b == 0.0)
            continue;
        double* row = R + k * m;
        const double a = row[k];
        double r = std::sqrt(a * a + b * b);
        if (!(r > 0.0) || std::isinf(r))
            r = std::hypot(a, b);
        const double c = a / r, sn = b / r;
        row[k] = r;
        for (int j = k + 1; j < m; ++j) {
            const double t = row[j];
            row[j] = c * t + sn * v[j];
            v[j] = c * v[j] - sn * t;
        }
        const double t = qtr[k];
        qtr[k] = c * t + sn * rv;
        rv = c * rv - sn * t;
    }
}

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

// Solves R x = b for upper triangular R (m x m, row by row); false when a
// diagonal entry is 0 or the result is not finite.
bool SolveUpper(const double* R, const double* b, double* x, int m)
{
    for (int i = m - 1; i >= 0; --i) {
        double t = b[i];
        for (int j = i + 1; j < m; ++j)
            t -= R[i * m + j] * x[j];
        if (R[i * m + i] == 0.0)
            return false;
        x[i] = t / R[i * m + i];
        if (!std::isfinite(x[i]))
            return false;
    }
    return true;
}

// States of the fit kept to find a cycle of steps.
constexpr std::size_t kCycleStates = 16;
// A step that changes the chi-square by less than this fraction is near the
// minimum: the next step takes the equation's own (central) derivatives.
constexpr double kCentralChange = 1e-4;

bool SameBits(const CMyVector& a, const CMyVector& b)
{
    return a.GetSize() == b.GetSize()
        && (a.GetSize() == 0 || std::memcmp(a.GetData(), b.GetData(), sizeof(double) * std::size_t(a.GetSize())) == 0);
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool IsFinite(const CMyVector& v)
{
    for (int i = 0; i < v.GetSize(); ++i)
        if (!std::isfinite(v[i]))
            return false;
    return true;
}

// The string id of an equation error's message.
UINT ErrorMessageId(const CMyError& error)
{
    if (auto math = dynamic_cast<const CMyMathError*>(&error))
        return math->MessageId();
    if (dynamic_cast<const CMyDivideByZeroError*>(&error))
        return IDS_DIVISION_BY_ZERO;
    if (dynamic_cast<const CMyRunLimitError*>(&error))
        return IDS_RUN_LIMIT;
    return IDS_FIT_NOT_CONVERGED;
}

} // namespace

struct CNonlinearFit::SPass {
    EPassKind kind;
    const CDoubleColumns* x;
    const CMyVector* y;
    const CMyVector* w;
    int n = 0;
    int m = 0;
    int stride = 0; // sums per block
    std::vector<const double*> columns;
    std::vector<double> sums;
    bool central = true; // derivatives by the equation's own CalculateDerivatives

    SPass(EPassKind k, const CDoubleColumns& xs, const CMyVector& ys, const CMyVector& ws, int points, int params,
          int xCount)
        : kind(k), x(&xs), y(&ys), w(&ws), n(points), m(params)
    {
        // Curvature: chi-square, beta, alpha's lower triangle, the block's
        // triangle R of the weighted Jacobian and its right side.
        stride = kind == EPassKind::Curvature ? 1 + m + m * (m + 1) / 2 + m * m + m : 1;
        const int count = std::min(xCount, xs.GetColumnCount());
        for (int j = 0; j < count; ++j)
            columns.push_back(xs.Column(j));
    }
    int Blocks() const { return (n + kBlockPoints - 1) / kBlockPoints; }
    int TriangleOffset() const { return 1 + m + m * (m + 1) / 2; }
    double* Block(int b) { return &sums[std::size_t(b) * std::size_t(stride)]; }
    // The sum of entry k over the blocks, in block order.
    double Total(int k) const
    {
        double t = 0;
        for (int b = 0; b < Blocks(); ++b)
            t += sums[std::size_t(b) * std::size_t(stride) + std::size_t(k)];
        return t;
    }
};

CNonlinearFit::CNonlinearFit() = default;

CNonlinearFit::CNonlinearFit(const std::string& equationName, const CEquationSource* source)
    : m_strEquationName(equationName), m_pSource(source)
{
    if (source)
        if (const CEquationBase* equation = source->FindEquation(equationName))
            SetEquation(equation);
}

CNonlinearFit::~CNonlinearFit()
{
    m_pThreads.reset();
}

void CNonlinearFit::SetEquation(const CEquationBase* equation)
{
    m_pEquation = equation ? equation->Clone() : nullptr;
}

double CNonlinearFit::GetChiSq() const
{
    const int m = m_pEquation ? m_pEquation->GetParameterCount() : 0;
    return double(m_nPoints - m) * m_dChiSq;
}

bool CNonlinearFit::GetStandardError(int i, double& se) const
{
    if (!IsFitted() || i < 0 || i >= m_covariance.GetRows() || i >= m_curvature.GetRows())
        return false;
    const double a = m_curvature.GetAt(i, i);
    se = a == 0.0 ? 0.0 : std::sqrt(std::fabs(m_covariance.GetAt(i, i) * m_dChiSq / a));
    return true;
}

void CNonlinearFit::ReportProgress(CWorkerThread* worker)
{
    {
        std::lock_guard guard(m_progressLock);
        if (m_pEquation)
            m_progressParams = m_pEquation->GetParameterValues();
        m_nProgressIteration = m_nIterations;
        m_dProgressChiSq = m_dChiSq;
    }
    CFit::ReportProgress(worker);
}

void CNonlinearFit::GetProgress(CMyVector& parameters, int& iteration, double& reducedChiSq) const
{
    std::lock_guard guard(m_progressLock);
    parameters = m_progressParams;
    iteration = m_nProgressIteration;
    reducedChiSq = m_dProgressChiSq;
}

// --- passes over the points ---

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
    const bool reuseValues = !keepValues && m_bValuesValid && SameBits(m_valuesParams, m_pEquation->GetParameterValues());
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

// --- the fit ---

int CNonlinearFit::Fit(const CFitSettings& settings, const CDoubleColumns& x, const CMyVector& y,
                       const CMyVector& w, CWorkerThread* worker, int report)
{
    m_nChiSqChange = settings.m_nChiSqChange;
    m_nMinIterations = settings.m_nMinIterations;
    m_nMaxIterations = settings.m_nMaxIterations;
    m_dChangeFraction = settings.m_dChiSqChangePercent * 0.01;
    m_nRobust = settings.m_nRobust;
    m_nFitted = 0;
    m_bIterationLimit = false;
    m_bStopSeen = false;
    m_strLastError.clear();

    const CEquationBase* source = m_pSource ? m_pSource->FindEquation(m_strEquationName) : nullptr;
    if (!source)
        return 0;
    if (!source->IsValid()) {
        Report(worker, report, IDS_FIT_NOT_COMPILED);
        return 0;
    }
    SetEquation(source);
    if (!m_pEquation->IsValid()) {
        Report(worker, report, IDS_FIT_NOT_COMPILED);
        return 0;
    }
    const int points = m_nPoints; // the count of the last successful fit stays until another succeeds
    int result = 0;
    try {
        result = RunFit(settings, x, y, w, worker, report);
    } catch (const CMyError& error) {
        // An error of the equation's arithmetic outside a trial step.
        m_strLastError.clear();
        if (auto math = dynamic_cast<const CMyMathError*>(&error))
            m_strLastError = FormatString(math->MessageId(), {math->m_name});
        else
            m_strLastError = LoadString(ErrorMessageId(error));
        Report(worker, report, ErrorMessageId(error));
        result = 0;
    } catch (const CEvaluationStopped&) {
        result = 0;
    } catch (const CBlankError&) {
        Report(worker, report, IDS_FIT_NOT_CONVERGED);
        result = 0;
    }
    m_pThreads.reset();
    m_threadEquations.clear();
    if (result != 1) {
        m_nFitted = 0;
        m_nPoints = points;
    }
    return result;
}

int CNonlinearFit::RunFit(const CFitSettings& settings, const CDoubleColumns& x, const CMyVector& y,
                          const CMyVector& w, CWorkerThread* worker, int report)
{
    CEquationBase& eq = *m_pEquation;
    const int n = x.GetColumnCount() > 0 ? std::min({x.GetRowCount(), y.GetSize(), w.GetSize()}) : 0;
    const int m = eq.GetParameterCount();
    if (n <= m) {
        Report(worker, report, IDS_FIT_TOO_FEW_POINTS);
        return 0;
    }
    eq.ResizeValues();
    m_nPoints = n; // the passes run over this many points; restored when the fit fails
    m_bValuesValid = false;
    m_dSecondsPerEvaluation = -1.0;
    m_pThreads.reset();
    m_threadEquations.clear();
    m_nIterations = 0;
    m_dLambda = 0.001;
    m_dRobustScale = 0.0;
    double previous = 1e10;

    int found = 0;
    try {
        found = InitialEstimates(settings, x, y, w, worker);
    } catch (const CParseErr&) {
        // A parameter definition that does not compile.
        found = 0;
    }
    if (!found) {
        if (Poll(worker))
            return 0;
        Report(worker, report, IDS_FIT_ESTIMATE_ERROR);
        return 0;
    }
    bool stopped = false;
    m_dChiSq = CalcChiSq(x, y, w, worker, stopped);
    if (stopped)
        return 0;
    if (!std::isfinite(m_dChiSq) || !IsFinite(eq.GetParameterValues())) {
        Report(worker, report, IDS_FIT_NOT_CONVERGED);
        return 0;
    }
    ReportProgress(worker);
    // Starting values that fit exactly leave nothing to improve.
    int r = 1;
    bool exact = m_dChiSq == 0.0;
    // States linked by steps that depended on the parameters alone.
    std::deque<SStepState> chain;
    SStepState last;
    // Far from the minimum a step needs no more than forward differences;
    // the equation's own derivatives take over once the chi-square settles,
    // for the last possible step, and for the step that ends the fit, so that
    // the parameters, curvature and covariance all come from them.
    const bool mayForward = dynamic_cast<CEquation*>(m_pEquation.get()) != nullptr;
    double change = std::numeric_limits<double>::infinity();
    bool forceCentral = false;
    while (!exact) {
        ++m_nIterations;
        const bool central = !mayForward || forceCentral || change < kCentralChange
            || m_nIterations >= m_nMaxIterations;
        forceCentral = false;
        const double before = m_dChiSq;
        r = Iterate(x, y, w, worker, central);
        if (r != 1)
            break;
        change = std::fabs((before - m_dChiSq) / m_dChiSq);
        if (m_dChiSq == 0.0)
            break;
        if (IsConverged(previous, m_dChiSq)) {
            if (central || m_nIterations >= m_nMaxIterations)
                break;
            // Converged on a forward step: one more with the equation's own derivatives.
            forceCentral = true;
        }
        previous = m_dChiSq;
        ReportProgress(worker);
        // Once 1 + lambda is 1, a step depends on the parameters alone: when
        // they come back to an earlier state bit for bit, every later step
        // repeats the cycle, and the state at the last iteration is known
        // without running the rest.
        if (!m_bSkipCycles || (!m_bPureStep && (1.0 + m_dLambda) - 1.0 != 0.0)) {
            // Neither this step nor the next can belong to a cycle.
            chain.clear();
            continue;
        }
        SStepState current{m_nIterations, eq.GetParameterValues(), m_dChiSq, m_dRobustScale, m_covariance,
                           m_curvature};
        if (!m_bPureStep || forceCentral) {
            chain.clear();
        } else {
            if (chain.empty())
                chain.push_back(last);
            if (SkipCycle(chain, current))
                break;
            chain.push_back(current);
            if (chain.size() > kCycleStates)
                chain.pop_front();
        }
        last = std::move(current);
    }
    if (r == 0)
        return 0;
    if (r == 2 || !std::isfinite(m_dChiSq) || !IsFinite(eq.GetParameterValues())) {
        Report(worker, report, IDS_FIT_NOT_CONVERGED);
        return 0;
    }
    ReportProgress(worker);
    m_nFitted = 1;
    return 1;
}

bool CNonlinearFit::SkipCycle(const std::deque<SStepState>& chain, const SStepState& current)
{
    for (std::size_t i = 0; i < chain.size(); ++i) {
        const SStepState& earlier = chain[i];
        if (earlier.iteration < 1 || (m_nChiSqChange && earlier.iteration + 1 < m_nMinIterations))
            continue;
        if (!SameBits(earlier.params, current.params) || !SameBits(earlier.robustScale, current.robustScale))
            continue;
        // Every step of the cycle must stay with the equation's own
        // derivatives: the chi-square changes between its states are small.
        bool settled = true;
        for (std::size_t t = i; t < chain.size(); ++t) {
            const double next = t + 1 < chain.size() ? chain[t + 1].chi : current.chi;
            settled = settled && std::fabs((chain[t].chi - next) / next) < kCentralChange;
        }
        if (!settled)
            continue;
        const int j = earlier.iteration, k = current.iteration, period = k - j;
        const int last = m_nMaxIterations;
        auto stateAt = [&](int iteration) -> const SStepState& {
            const int t = j + (iteration - j) % period;
            return t == k ? current : chain[i + std::size_t(t - j)];
        };
        const SStepState& final = stateAt(last);
        const double before = stateAt(last - 1).chi;
        m_pEquation->GetParameterValues() = final.params;
        m_dChiSq = final.chi;
        m_dRobustScale = final.robustScale;
        m_covariance = final.covariance;
        m_curvature = final.curvature;
        for (int t = k; t < last; ++t)
            m_dLambda = m_dLambda * 10.0 * 0.001;
        m_nIterations = last;
        IsConverged(before, m_dChiSq); // records whether the criterion was met at the limit
        return true;
    }
    return false;
}

bool CNonlinearFit::Poll(CWorkerThread* worker)
{
    if (!m_bStopSeen.load(std::memory_order_relaxed) && IsStopRequested(worker))
        m_bStopSeen = true;
    return m_bStopSeen.load(std::memory_order_relaxed);
}

bool CNonlinearFit::IsConverged(double previous, double current)
{
    if (m_nChiSqChange && m_nIterations < m_nMinIterations)
        return false;
    const bool criterionMet = std::fabs((previous - current) / current) <= m_dChangeFraction;
    if (m_nIterations >= m_nMaxIterations) {
        if (m_nChiSqChange && !criterionMet)
            m_bIterationLimit = true;
        return true;
    }
    if (!m_nChiSqChange)
        return false;
    return criterionMet;
}

int CNonlinearFit::InitialEstimates(const CFitSettings& settings, const CDoubleColumns& x, const CMyVector& y,
                                    const CMyVector& w, CWorkerThread* worker)
{
    CEquationBase& eq = *m_pEquation;
    const int m = eq.GetParameterCount();
    CMyVector& params = eq.GetParameterValues();
    CMyVector& consts = eq.GetConstantValues();
    for (int i = 0; i < eq.GetConstantCount(); ++i)
        consts[i] = i < int(settings.m_constants.size()) ? settings.m_constants[std::size_t(i)] : 0.0;
    for (int i = 0; i < m; ++i)
        params[i] = 1.0;
    m_nEstimateSource = -1;
    m_initialEstimates.SetSize(0);
    const bool fromMatrix = settings.m_nEstimatesFromMatrix != 0;
    const bool useDefinitions = eq.GetUseParameterDefinitions() != 0;

    int found = 0;
    if (useDefinitions) {
        const int estimated = eq.CalculateEstimates(x, y, w);
        found = estimated ? 1 : 0;
        if (!estimated && !fromMatrix)
            return 0;
        m_nEstimateSource = 0;
        m_initialEstimates = params;
        ReportProgress(worker);
    }
    if (Poll(worker))
        return 0;
    if (useDefinitions && !fromMatrix)
        return found;

    // Every combination of the candidate values, the last parameter fastest.
    auto candidates = [&](int i) -> const std::vector<double>* {
        if (i < int(settings.m_estimateMatrix.size()) && !settings.m_estimateMatrix[std::size_t(i)].empty())
            return &settings.m_estimateMatrix[std::size_t(i)];
        return nullptr;
    };
    auto better = [](double value, double best) {
        // Not a number is worse than any number.
        return !std::isnan(value) && (std::isnan(best) || value < best);
    };
    double best = 0.0;
    bool stopped = false;
    if (found) {
        try {
            best = CalcChiSq(x, y, w, worker, stopped);
        } catch (const CMyError&) {
            best = std::nan("");
            eq.ResizeValues();
        }
        if (stopped)
            return 0;
    }
    CMyVector kept = params;
    std::vector<int> index(static_cast<std::size_t>(m), 0);
    for (;;) {
        for (int i = 0; i < m; ++i)
            params[i] = candidates(i) ? (*candidates(i))[std::size_t(index[std::size_t(i)])] : 1.0;
        try {
            const double value = CalcChiSq(x, y, w, worker, stopped);
            if (stopped)
                return 0;
            if (!found || better(value, best)) {
                best = value;
                kept = params;
                found = 1;
                m_nEstimateSource = 1;
                m_initialEstimates = params;
                ReportProgress(worker);
            }
        } catch (const CMyError&) {
            // This combination cannot be evaluated: try the next.
            eq.ResizeValues();
        }
        if (Poll(worker))
            return 0;
        int i = m - 1;
        for (; i >= 0; --i) {
            const int count = candidates(i) ? int(candidates(i)->size()) : 1;
            if (++index[std::size_t(i)] < count)
                break;
            index[std::size_t(i)] = 0;
        }
        if (i < 0)
            break;
    }
    params = kept;
    return found;
}

int CNonlinearFit::Iterate(const CDoubleColumns& x, const CMyVector& y, const CMyVector& w, CWorkerThread* worker,
                           bool central)
{
    CEquationBase& eq = *m_pEquation;
    const int n = m_nPoints;
    const int m = eq.GetParameterCount();
    CMyVector& params = eq.GetParameterValues();
    const CMyVector a0 = params;
    m_bPureStep = false;

    SPass pass(EPassKind::Curvature, x, y, w, n, m, eq.GetXCount());
    pass.central = central;
    if (!RunPass(pass, worker))
        return 0;
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
    for (int b = 0; b < pass.Blocks(); ++b) {
        const double* tri = pass.Block(b) + pass.TriangleOffset();
        for (int k = 0; k < m; ++k) {
            std::copy(tri + k * m, tri + (k + 1) * m, row.begin());
            AddRow(R.data(), qtr.data(), row.data(), tri[mm + std::size_t(k)], m);
        }
    }
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
            return 0;
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
                    return 0;
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
        return 2;
    }
    if (m_nRobust) {
        SPass robust(EPassKind::RobustScale, x, y, w, n, m, eq.GetXCount());
        if (!RunPass(robust, worker))
            return 0;
        m_dRobustScale = 6.0 / n * robust.Total(0);
    }
    m_dChiSq = chi1;
    m_bPureStep = first && undamped && central;
    return 1;
}

// --- results ---

std::optional<CFitValue> CNonlinearFit::CalcY(double x, const CMyVector* otherX)
{
    if (!IsFitted() || !m_pEquation)
        return std::nullopt;
    CEquationBase& eq = *m_pEquation;
    eq.ResizeValues();
    CMyVector& xs = eq.GetXValues();
    for (int i = 0; i < xs.GetSize(); ++i)
        xs[i] = i == 0 ? x : (otherX && i - 1 < otherX->GetSize() ? (*otherX)[i - 1] : 1.0);
    try {
        return CFitValue::Number(eq.Calculate());
    } catch (const CMyError& error) {
        eq.ResizeValues();
        return CFitValue::Text(error.ShortMessage());
    }
}

std::optional<CFitValue> CNonlinearFit::CalcX(double y, double x1, double x2)
{
    if (!IsFitted() || !m_pEquation)
        return std::nullopt;
    CEquationBase& eq = *m_pEquation;
    eq.ResizeValues();
    if (eq.GetXValues().GetSize() == 0)
        return CFitValue::Message(IDS_FIT_OUT_OF_RANGE);
    double lo = std::min(x1, x2), hi = std::max(x1, x2);
    if (lo == hi)
        return CFitValue::Message(IDS_FIT_OUT_OF_RANGE);
    double& x0 = eq.GetXValues()[0];
    try {
        double mid = lo + (hi - lo) * 0.5;
        x0 = hi;
        double fhi = eq.Calculate();
        for (int round = 0; round < 10; ++round) {
            for (int k = 0; k < 20; ++k) {
                x0 = mid;
                const double f = eq.Calculate();
                if ((fhi - y) * (f - y) <= 0) {
                    lo = mid;
                } else {
                    hi = mid;
                    fhi = f;
                }
                mid = lo + (hi - lo) * 0.5;
            }
            x0 = mid;
            const double f = eq.Calculate();
            if (std::fabs(y - f) / std::fabs(std::max(f, y)) <= 0.0001)
                return CFitValue::Number(mid);
        }
    } catch (const CMyError& error) {
        eq.ResizeValues();
        return CFitValue::Text(error.ShortMessage());
    }
    return CFitValue::Message(IDS_FIT_OUT_OF_RANGE);
}

void CNonlinearFit::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        SerializeVersion(ar, 2);
        CFit::Serialize(ar);
        ar.WriteObject(m_pEquation.get());
        m_covariance.Serialize(ar);
        m_curvature.Serialize(ar);
        m_initialEstimates.Serialize(ar);
        ar.WriteString(m_strEquationName);
        ar << std::int32_t(m_nEstimateSource) << std::int32_t(m_nIterations);
        return;
    }
    const int version = SerializeVersion(ar, 2);
    CFit::Serialize(ar);
    if (version >= 2) {
        m_pEquation.reset(static_cast<CEquationBase*>(ar.ReadObject(RUNTIME_CLASS(CEquationBase))));
    } else {
        // Older records hold the equation without its class header.
        auto equation = std::make_unique<CEquation>();
        equation->Serialize(ar);
        m_pEquation = std::move(equation);
    }
    m_covariance.Serialize(ar);
    m_curvature.Serialize(ar);
    m_initialEstimates.Serialize(ar);
    m_strEquationName = ar.ReadString();
    std::int32_t source = -1, iterations = 0;
    ar >> source;
    if (version >= 1)
        ar >> iterations;
    m_nEstimateSource = source;
    m_nIterations = iterations;
    m_pSource = dynamic_cast<const CEquationSource*>(ar.m_pDocument);
    // A loaded equation is not compiled; curves of a loaded fit need it.
    if (auto equation = dynamic_cast<CEquation*>(m_pEquation.get())) {
        try {
            equation->Compile();
        } catch (const CParseErr&) {
            m_nFitted = 0;
        }
    }
    if (m_nFitted == 1 && !m_pEquation)
        m_nFitted = 0;
}
