// Fit engines on large synthetic data: a cubic by the linear engine, and a
// Gaussian peak on a background (A, mu, sigma and B) by the Marquardt
// engine on one thread and on all, with the chi-square criterion on.
#include "equation/Equation.h"
#include "fitting/EquationSource.h"
#include "fitting/FitSettings.h"
#include "fitting/LinearFit.h"
#include "fitting/NonlinearFit.h"
#include "framework/DoubleColumns.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

struct Data {
    CDoubleColumns x;
    CMyVector y, w;
};

Data Gaussian(int n)
{
    Data d;
    d.x.SetSize(1, n);
    d.y.SetSize(n);
    d.w.SetSize(n);
    for (int i = 0; i < n; ++i) {
        const double x = -6 + 12.0 * i / n;
        d.x[0][std::size_t(i)] = x;
        d.y[i] = 2.0 * std::exp(-(x - 0.3) * (x - 0.3) / (2 * 1.44)) + 0.5 + 0.01 * std::sin(37.0 * i);
        d.w[i] = 1.0;
    }
    return d;
}

class Source : public CEquationSource {
public:
    Source()
    {
        eq.SetYName("y");
        const char* names[] = {"A", "mu", "sigma", "B"};
        for (int i = 0; i < 4; ++i)
            eq.SetParameterName(i, names[i], "");
        eq.SetXName(0, "x", "");
        eq.SetSource("y = A*EXP(-((x - mu)^2)/(2*sigma^2)) + B");
        eq.Compile();
    }
    const CEquationBase* FindEquation(const std::string&) const override { return &eq; }
    CEquation eq;
};

void BM_LinearCubic(benchmark::State& state)
{
    Data d = Gaussian(int(state.range(0)));
    CLinearFit fit(3);
    for (auto _ : state)
        benchmark::DoNotOptimize(fit.Fit(CFitSettings(), d.x, d.y, d.w, nullptr, 0));
}
BENCHMARK(BM_LinearCubic)->Arg(100000)->Unit(benchmark::kMillisecond);

// Arguments: points, threads (0: all cores).
void BM_GaussianPeak(benchmark::State& state)
{
    Data d = Gaussian(int(state.range(0)));
    Source source;
    CFitSettings s;
    s.m_nChiSqChange = 1;
    s.m_dChiSqChangePercent = 1e-8;
    s.m_nMaxIterations = 100;
    s.m_estimateMatrix = {{1.5}, {0.2}, {1.5}, {0.3}};
    CNonlinearFit fit("peak", &source);
    fit.SetMaxThreads(int(state.range(1)));
    for (auto _ : state) {
        if (!fit.Fit(s, d.x, d.y, d.w, nullptr, 0))
            state.SkipWithError("the fit failed");
    }
    state.counters["iterations"] = fit.GetIterationCount();
}
BENCHMARK(BM_GaussianPeak)->Args({100000, 1})->Args({100000, 0})->Args({1000, 1})->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
