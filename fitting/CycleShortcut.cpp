// The cycle shortcut: once steps are undamped, a step depends on the
// parameters alone, so when the parameters come back to an earlier state bit
// for bit the rest of the run repeats a cycle. The state at the last
// iteration is then taken from the cycle instead of running the remaining
// steps; the result is the same as running them, bit for bit.
#include "fitting/NonlinearFit.h"

#include "equation/EquationBase.h"

#include <cmath>
#include <cstring>
#include <utility>

namespace {

// States of the fit kept to find a cycle of steps.
constexpr std::size_t kCycleStates = 16;

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

} // namespace

bool CNonlinearFit::FollowCycle(SCycleChain& chain, bool forceCentral)
{
    CEquationBase& eq = *m_pEquation;
    // Once 1 + lambda is 1, a step depends on the parameters alone: when
    // they come back to an earlier state bit for bit, every later step
    // repeats the cycle, and the state at the last iteration is known
    // without running the rest.
    if (!m_bSkipCycles || (!m_bPureStep && (1.0 + m_dLambda) - 1.0 != 0.0)) {
        // Neither this step nor the next can belong to a cycle.
        chain.states.clear();
        return false;
    }
    SStepState current{m_nIterations, eq.GetParameterValues(), m_dChiSq, m_dRobustScale, m_covariance,
                       m_curvature};
    if (!m_bPureStep || forceCentral) {
        chain.states.clear();
    } else {
        if (chain.states.empty())
            chain.states.push_back(chain.last);
        if (SkipCycle(chain.states, current))
            return true;
        chain.states.push_back(current);
        if (chain.states.size() > kCycleStates)
            chain.states.pop_front();
    }
    chain.last = std::move(current);
    return false;
}

bool CNonlinearFit::SkipCycle(const std::deque<SStepState>& chain, const SStepState& current)
{
    for (std::size_t i = 0; i < chain.size(); ++i) {
        const SStepState& earlier = chain[i];
        if (earlier.iteration < 1 || (m_nChiSqChange && earlier.iteration + 1 < m_nMinIterations))
            continue;
        if (!earlier.params.SameBits(current.params) || !SameBits(earlier.robustScale, current.robustScale))
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
