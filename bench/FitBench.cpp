// Fit engines on large synthetic data: a cubic by the linear engine, and a
// Gaussian peak on a background (A, mu, sigma and B) by the Marquardt
// engine on one thread and on all, with the chi-square criterion on.
#include "PeakFit.h"
#include "fitting/FitSettings.h"
#include "fitting/LinearFit.h"
#include "fitting/NonlinearFit.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using bench_peak::Data;
using bench_peak::Source;

void BM_LinearCubic(benchmark::State& state)
{
    Data d = bench_peak::Make(int(state.range(0)));
    CLinearFit fit(3);
    for (auto _ : state)
        benchmark::DoNotOptimize(fit.Fit(CFitSettings(), d.x, d.y, d.w, nullptr, 0));
}
BENCHMARK(BM_LinearCubic)->Arg(100000)->Unit(benchmark::kMillisecond);

// Arguments: points, threads (0: all cores).
void BM_GaussianPeak(benchmark::State& state)
{
    Data d = bench_peak::Make(int(state.range(0)));
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
