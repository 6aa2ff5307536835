// The driver of the non-linear engine: a fit from its starting values
// through Marquardt steps to the criteria, with its one report of a failure,
// and the results that curves and tables ask of a fitted engine. The step,
// the passes over the points, the estimate search, the cycle shortcut and
// the stored form each have a file of their own.
#include "fitting/NonlinearFit.h"

#include "equation/Equation.h"
#include "equation/EquationBase.h"
#include "equation/MyError.h"
#include "equation/ParseErr.h"
#include "fitting/EquationSource.h"
#include "fitting/FitSettings.h"
#include "fitting/PassThreads.h"
#include "fitting/WorkerThread.h"
#include "framework/DoubleColumns.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <mutex>

namespace {

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
    m_dLastChange = 0.0;
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
    EFitOutcome outcome = EFitOutcome::NotConverged;
    UINT message = 0;
    // A model that loops may take long over one point: a stop ends it there.
    // The flag is this run's worker's: what the fit evaluates later (its
    // curve, the result columns) runs to its end, whatever the worker does.
    struct SStopFlag {
        CEquationBase& eq;
        ~SStopFlag() { eq.SetStopFlag(nullptr); }
    } stopFlag{*m_pEquation};
    m_pEquation->SetStopFlag(worker ? &worker->InterruptFlag() : nullptr);
    try {
        outcome = RunFit(settings, x, y, w, worker);
        message = FailureMessage(outcome);
    } catch (const CMyError& error) {
        // An error of the equation's arithmetic outside a trial step.
        m_strLastError.clear();
        if (auto math = dynamic_cast<const CMyMathError*>(&error))
            m_strLastError = FormatString(math->MessageId(), {math->m_name});
        else
            m_strLastError = LoadString(ErrorMessageId(error));
        message = ErrorMessageId(error);
    } catch (const CEvaluationStopped&) {
        outcome = EFitOutcome::Stopped;
    } catch (const CBlankError&) {
        message = IDS_FIT_NOT_CONVERGED;
    }
    if (message)
        Report(worker, report, message);
    m_pThreads.reset();
    m_threadEquations.clear();
    // Megabytes for a large fit: not kept between fits.
    std::vector<double>().swap(m_curvatureSums);
    std::vector<double>().swap(m_pointSums);
    std::vector<double>().swap(m_kept);
    if (outcome != EFitOutcome::Done) {
        m_nFitted = 0;
        m_nPoints = points;
    }
    return outcome == EFitOutcome::Done ? 1 : 0;
}

EFitOutcome CNonlinearFit::RunFit(const CFitSettings& settings, const CDoubleColumns& x, const CMyVector& y,
                                  const CMyVector& w, CWorkerThread* worker)
{
    CEquationBase& eq = *m_pEquation;
    const int n = x.GetColumnCount() > 0 ? std::min({x.GetRowCount(), y.GetSize(), w.GetSize()}) : 0;
    const int m = eq.GetParameterCount();
    if (n <= m)
        return EFitOutcome::TooFewPoints;
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

    EFitOutcome estimates = EFitOutcome::NoEstimates;
    try {
        estimates = InitialEstimates(settings, x, y, w, worker);
    } catch (const CParseErr&) {
        // A parameter definition that does not compile.
        estimates = EFitOutcome::NoEstimates;
    }
    if (estimates != EFitOutcome::Done)
        return Poll(worker) ? EFitOutcome::Stopped : EFitOutcome::NoEstimates;
    bool stopped = false;
    m_dChiSq = CalcChiSq(x, y, w, worker, stopped);
    if (stopped)
        return EFitOutcome::Stopped;
    if (!std::isfinite(m_dChiSq) || !IsFinite(eq.GetParameterValues()))
        return EFitOutcome::NotConverged;
    ReportProgress(worker);
    // Starting values that fit exactly leave nothing to improve.
    EFitOutcome step = EFitOutcome::Done;
    bool exact = m_dChiSq == 0.0;
    SCycleChain chain;
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
        step = Iterate(x, y, w, worker, central);
        if (step != EFitOutcome::Done)
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
        if (FollowCycle(chain, forceCentral))
            break;
    }
    if (step == EFitOutcome::Stopped)
        return EFitOutcome::Stopped;
    if (step == EFitOutcome::NotConverged || !std::isfinite(m_dChiSq) || !IsFinite(eq.GetParameterValues()))
        return EFitOutcome::NotConverged;
    ReportProgress(worker);
    m_nFitted = 1;
    return EFitOutcome::Done;
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
    const double change = std::fabs((previous - current) / current);
    m_dLastChange = change;
    const bool criterionMet = change <= m_dChangeFraction;
    if (m_nIterations >= m_nMaxIterations) {
        // Without the criterion a run that still moves the chi-square at its
        // last step has not settled either: it must not read as converged.
        if (m_nChiSqChange ? !criterionMet : !(change <= kSettledChange))
            m_bIterationLimit = true;
        return true;
    }
    if (!m_nChiSqChange)
        return false;
    return criterionMet;
}

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
