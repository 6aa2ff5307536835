// Starting values for a fit: the equation's own estimates (its parameter
// definitions) and, from the estimate matrix, every combination of the
// candidate values, kept when it gives the least chi-square.
#include "fitting/NonlinearFit.h"

#include "equation/EquationBase.h"
#include "equation/MyError.h"
#include "fitting/FitSettings.h"

#include <cmath>
#include <vector>

EFitOutcome CNonlinearFit::InitialEstimates(const CFitSettings& settings, const CDoubleColumns& x,
                                            const CMyVector& y, const CMyVector& w, CWorkerThread* worker)
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
            return EFitOutcome::NoEstimates;
        m_nEstimateSource = 0;
        m_initialEstimates = params;
        ReportProgress(worker);
    }
    if (Poll(worker))
        return EFitOutcome::Stopped;
    if (useDefinitions && !fromMatrix)
        return found ? EFitOutcome::Done : EFitOutcome::NoEstimates;

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
            return EFitOutcome::Stopped;
    }
    CMyVector kept = params;
    std::vector<int> index(static_cast<std::size_t>(m), 0);
    for (;;) {
        for (int i = 0; i < m; ++i)
            params[i] = candidates(i) ? (*candidates(i))[std::size_t(index[std::size_t(i)])] : 1.0;
        try {
            const double value = CalcChiSq(x, y, w, worker, stopped);
            if (stopped)
                return EFitOutcome::Stopped;
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
            return EFitOutcome::Stopped;
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
    return found ? EFitOutcome::Done : EFitOutcome::NoEstimates;
}
