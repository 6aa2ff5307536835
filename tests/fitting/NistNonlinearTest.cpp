// The NIST StRD non-linear problems of lower and average difficulty from
// both starting points, fitted with the chi-square criterion off and 100
// iterations, against the certified values.
#include "fitting/NonlinearFit.h"

#include "FitTestSupport.h"
#include "NistProblem.h"
#include "fitting/EquationSource.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

namespace {

class OneEquation : public CEquationSource {
public:
    explicit OneEquation(const CEquationBase* eq) : m_eq(eq) {}
    const CEquationBase* FindEquation(const std::string&) const override { return m_eq; }

private:
    const CEquationBase* m_eq;
};

// ctest passes parameterised names no environment: one test walks the table.
TEST(NistNonlinear, CertifiedValuesFromBothStarts)
{
    const char* root = std::getenv("MARLOX_REFDATA");
    ASSERT_NE(root, nullptr) << "MARLOX_REFDATA is not set";
    const char* files[] = {"Chwirut1", "Chwirut2", "DanWood", "ENSO",     "Gauss1",   "Gauss2",  "Gauss3",
                           "Hahn1",    "Kirby2",   "Lanczos1", "Lanczos2", "Lanczos3", "MGH17",   "Misra1a",
                           "Misra1b",  "Misra1c",  "Misra1d",  "Nelson",   "Roszman1"};
    // Runs the stated digits are not asked of: ill-conditioned data given to
    // few digits (Lanczos) and starts far from the solution.
    const std::set<std::string> lenient = {"Lanczos1/1", "Lanczos1/2", "Lanczos2/1", "Lanczos2/2", "Lanczos3/1",
                                           "Lanczos3/2", "Nelson/1",   "MGH17/1"};
    double sum = 0;
    int runs = 0;
    for (const char* file : files) {
        SNistProblem p;
        std::string error;
        ASSERT_TRUE(LoadNistProblem(std::string(root) + "/nist-nls/" + file + ".dat", p, error)) << file << error;
        auto eq = MakeNistEquation(p);
        OneEquation source(eq.get());
        for (std::size_t s = 0; s < p.starts.size(); ++s) {
            const std::string run = std::string(file) + "/" + std::to_string(s + 1);
            SCOPED_TRACE(run);
            CFitSettings settings;
            settings.m_nChiSqChange = 0;
            settings.m_nMaxIterations = 100;
            for (double v : p.starts[s])
                settings.m_estimateMatrix.push_back({v});
            CNonlinearFit fit("model", &source);
            auto result = RunFit(fit, settings, p.x, p.y, Ones(p.y.GetSize()));
            double worstParam = 11, worstSE = 11;
            if (result.result == 1) {
                for (std::size_t j = 0; j < p.params.size(); ++j) {
                    double se = 0;
                    fit.GetStandardError(int(j), se);
                    worstParam = std::min(worstParam, LogRelativeError(Param(fit, int(j)), p.certified[j]));
                    worstSE = std::min(worstSE, LogRelativeError(se, p.certifiedSE[j]));
                }
            } else {
                worstParam = worstSE = 0;
            }
            sum += worstParam;
            ++runs;
            if (lenient.count(run))
                continue;
            EXPECT_EQ(result.result, 1);
            EXPECT_GE(worstParam, 7.0);
            EXPECT_GE(worstSE, 6.0);
            EXPECT_GE(LogRelativeError(fit.GetChiSq(), p.certifiedRSS), 9.0) << fit.GetChiSq();
        }
    }
    EXPECT_EQ(runs, 38);
    EXPECT_GE(sum / runs, 8.0) << "mean of the worst parameter LRE";
}

} // namespace

namespace {

// The NIST StRD linear problems without intercept, y = B1*x, through the
// non-linear engine.
TEST(NistNonlinear, LinearWithoutIntercept)
{
    const char* root = std::getenv("MARLOX_REFDATA");
    ASSERT_NE(root, nullptr);
    for (const char* file : {"NoInt1", "NoInt2"}) {
        SCOPED_TRACE(file);
        SNistProblem p;
        std::string error;
        ASSERT_TRUE(LoadNistProblem(std::string(root) + "/nist-linear/" + file + ".dat", p, error)) << error;
        ASSERT_EQ(p.polynomialOrder, -1); // no intercept: not a job for the linear engine
        auto eq = MakeNistEquation(p);
        OneEquation source(eq.get());
        CFitSettings settings;
        settings.m_nChiSqChange = 0;
        settings.m_nMaxIterations = 100;
        CNonlinearFit fit("model", &source);
        ASSERT_EQ(RunFit(fit, settings, p.x, p.y, Ones(p.y.GetSize())).result, 1);
        double se = 0;
        ASSERT_TRUE(fit.GetStandardError(0, se));
        EXPECT_GE(LogRelativeError(Param(fit, 0), p.certified[0]), 10.0) << Param(fit, 0);
        EXPECT_GE(LogRelativeError(se, p.certifiedSE[0]), 9.0) << se;
        EXPECT_GE(LogRelativeError(fit.GetChiSq(), p.certifiedRSS), 9.0) << fit.GetChiSq();
    }
}

} // namespace
