// The engine of the non-linear fit item: weighted damped least squares by
// the Marquardt method on the item's equation, with optional biweight
// re-weighting, a search for starting values, the item's fitting criteria,
// progress notices and polling of the worker, through which a stop or a new
// request ends a running fit.
//
// The engine fits its own clone of the equation, taken at the start of each
// fit. Large data sets are evaluated on several threads, each with its own
// clone; the sums are formed in fixed blocks of points and added in block
// order, so the results do not depend on the number of threads.
//
// Its files: NonlinearFit.cpp the fit from start to end and its results,
// MarquardtStep.cpp one step, NonlinearPasses.cpp the passes over the points
// and their threads, EstimateSearch.cpp the starting values,
// CycleShortcut.cpp the end of a run that repeats a cycle, and
// NonlinearFitStore.cpp the stored form.
#pragma once

#include "fitting/Fit.h"
#include "fitting/FitOutcome.h"
#include "framework/MyMatrix.h"
#include "framework/MyVector.h"

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CEquationSource;
class CMyError;
class CPassThreads;

class CNonlinearFit : public CFit {
    DECLARE_SERIAL(CNonlinearFit)
public:
    CNonlinearFit();
    // Takes a clone of the named equation when the source has it.
    CNonlinearFit(const std::string& equationName, const CEquationSource* source);
    ~CNonlinearFit() override;

    int Fit(const CFitSettings& settings, const CDoubleColumns& x, const CMyVector& y, const CMyVector& w,
            CWorkerThread* worker, int report) override;
    // Takes a snapshot of the parameters for the progress display, then notifies.
    void ReportProgress(CWorkerThread* worker) override;
    std::optional<CFitValue> CalcY(double x, const CMyVector* otherX) override;
    std::optional<CFitValue> CalcX(double y, double x1, double x2) override;
    // The unreduced weighted sum of squared residuals.
    double GetChiSq() const override;
    CEquationBase* GetEquation() override { return m_pEquation.get(); }

    // Replaces the engine's equation by a clone of equation (null clears it).
    void SetEquation(const CEquationBase* equation);
    const std::string& GetEquationName() const { return m_strEquationName; }
    void SetEquationName(const std::string& name) { m_strEquationName = name; }
    void SetEquationSource(const CEquationSource* source) { m_pSource = source; }

    // The weighted sum of squares divided by (points - parameters).
    double GetReducedChiSq() const { return m_dChiSq; }
    // sqrt(|covariance(i,i) reduced chi-square / alpha(i,i)|), 0 when alpha(i,i)
    // is 0; false when not fitted.
    bool GetStandardError(int i, double& se) const;
    const CMyMatrix& GetCovariance() const { return m_covariance; }
    const CMyMatrix& GetCurvature() const { return m_curvature; }
    const CMyVector& GetInitialEstimates() const { return m_initialEstimates; }
    // -1 none, 0 the equation's own estimates, 1 the estimate-matrix search.
    int GetEstimateSource() const { return m_nEstimateSource; }
    // 0 while estimating, then the number of the step.
    int GetIterationCount() const { return m_nIterations; }
    double GetLambda() const { return m_dLambda; }
    // The fit ran to its maximum iterations with the chi-square criterion on
    // but not met: fitted, yet the results may not be converged.
    bool IsIterationLimitReached() const { return m_bIterationLimit; }
    // The relative change of the chi-square in the last iteration of this run.
    double GetLastRelativeChange() const { return m_dLastChange; }
    // The full text of the last equation error that failed a fit (its string
    // id went through the worker), empty otherwise.
    const std::string& GetLastErrorText() const { return m_strLastError; }
    // The progress snapshot: parameter values and chi-square of the last notice.
    void GetProgress(CMyVector& parameters, int& iteration, double& reducedChiSq) const;

    // The most threads a large fit uses; 1 evaluates every point on the
    // calling thread. Defaults to the machine's cores (at most 8).
    void SetMaxThreads(int threads) { m_nMaxThreads = threads; }
    // Whether a cycle of undamped steps ends the run early with the state the
    // last iteration would reach (on by default; off only to compare).
    void SetSkipCycles(bool skip) { m_bSkipCycles = skip; }

    // Version word 2, the fit record, the equation as an object, covariance,
    // curvature, initial estimates, equation name, estimate source,
    // iteration count; version 3, written only by a fit that stopped at its
    // iteration limit, adds that mark and the last relative change. Versions
    // 0 and 1 are read too.
    void Serialize(CArchive& ar) override;

    // A state of the fit after a step.
    struct SStepState {
        int iteration = 0;
        CMyVector params;
        double chi = 0.0;
        double robustScale = 0.0;
        CMyMatrix covariance;
        CMyMatrix curvature;
    };

private:
    struct SPass;
    // The states of the fit linked by steps that depended on the parameters
    // alone, and the state of the step before them.
    struct SCycleChain {
        std::deque<SStepState> states;
        SStepState last;
    };

    // A step that changes the chi-square by less than this fraction is near
    // the minimum: the next step takes the equation's own (central) derivatives.
    static constexpr double kCentralChange = 1e-4;
    // With the chi-square criterion off, a last step that changes the
    // chi-square by more than this fraction leaves the fit unsettled.
    static constexpr double kSettledChange = 1e-9;

    // Done (fitted), Stopped, or the failure whose message the fit reports.
    EFitOutcome RunFit(const CFitSettings& settings, const CDoubleColumns& x, const CMyVector& y, const CMyVector& w,
                       CWorkerThread* worker);
    // Done with the starting values in the equation, Stopped, or NoEstimates.
    EFitOutcome InitialEstimates(const CFitSettings& settings, const CDoubleColumns& x, const CMyVector& y,
                                 const CMyVector& w, CWorkerThread* worker);
    // One Marquardt step: Done when it was taken, Stopped, or NotConverged
    // when lambda passed the give-up mark without a better chi-square.
    // central: derivatives from the equation's CalculateDerivatives, else forward differences.
    EFitOutcome Iterate(const CDoubleColumns& x, const CMyVector& y, const CMyVector& w, CWorkerThread* worker,
                        bool central);
    // Reduced chi-square at the current parameters; aborted sets stopped.
    double CalcChiSq(const CDoubleColumns& x, const CMyVector& y, const CMyVector& w, CWorkerThread* worker,
                     bool& stopped);
    bool IsConverged(double previous, double current);
    // Adds the state after a step to the chain of undamped steps; true when
    // the run repeats a cycle and the state at the last iteration was taken
    // from it, which ends the run.
    bool FollowCycle(SCycleChain& chain, bool forceCentral);
    // When current repeats a state of chain, takes the state of the last
    // iteration from the cycle; true when it did.
    bool SkipCycle(const std::deque<SStepState>& chain, const SStepState& current);
    // Asks the worker whether to give up; once it said so, the answer stays yes.
    bool Poll(CWorkerThread* worker);
    double RobustWeight(double y, double w, double f) const;
    // Runs kind of pass over all points, on as many threads as pay.
    bool RunPass(SPass& pass, CWorkerThread* worker);
    void PrepareThreads(int points);
    // Marks the values of a complete pass as those of the current parameters.
    void KeepValues(bool complete);

    std::string m_strEquationName;
    const CEquationSource* m_pSource = nullptr;
    std::unique_ptr<CEquationBase> m_pEquation;
    CMyMatrix m_covariance;
    CMyMatrix m_curvature;
    CMyVector m_initialEstimates;
    int m_nEstimateSource = -1;
    int m_nChiSqChange = 1;
    int m_nMinIterations = 2;
    int m_nMaxIterations = 20;
    double m_dChangeFraction = 0.01;
    int m_nRobust = 0;
    double m_dLambda = 0.001;
    int m_nIterations = 0;
    double m_dRobustScale = 0.0;
    bool m_bIterationLimit = false;
    double m_dLastChange = 0.0;
    std::string m_strLastError;
    std::atomic<bool> m_bStopSeen{false};

    mutable std::mutex m_progressLock;
    CMyVector m_progressParams;
    int m_nProgressIteration = 0;
    double m_dProgressChiSq = 0.0;

    int m_nMaxThreads = 0;
    // Threads and their clones of the equation for the current fit.
    std::unique_ptr<CPassThreads> m_pThreads;
    std::vector<std::unique_ptr<CEquationBase>> m_threadEquations;
    // The last step took its first trial, undamped (1 + lambda was 1): the
    // step then depended on the parameters alone.
    bool m_bPureStep = false;
    bool m_bSkipCycles = true;
    // What one evaluation of the model costs, measured on the first pass of a fit (-1 before).
    double m_dSecondsPerEvaluation = -1.0;
    // The model's values at every point for m_valuesParams, left by the last
    // pass that computed them (a trial's chi-square): the next curvature
    // pass at the same parameters takes them instead of evaluating again.
    std::vector<double> m_values;
    CMyVector m_valuesParams;
    bool m_bValuesValid = false;
    // With them, what the model's program kept for the derivative runs at
    // the same parameters (m_keptCount values a point, value j of point i
    // at j * points + i), and for each group of points whether all of it
    // was kept.
    std::vector<double> m_kept;
    int m_keptCount = 0;
    std::vector<unsigned char> m_keptGroups;
    // The blocks' sums of the passes of the current fit: of the curvature
    // pass, and of the chi-square and robust-scale passes.
    std::vector<double> m_curvatureSums;
    std::vector<double> m_pointSums;
};
