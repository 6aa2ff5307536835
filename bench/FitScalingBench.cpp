// The Marquardt engine on a Gaussian peak on a background (A, mu, sigma and
// B), the problem that bench/fit_scipy.py gives scipy.optimize.curve_fit
// (MINPACK, method 'lm') on the same data from the same start:
//
//   BM_FitPoints/<points>           on one thread, 10^4, 10^5 and 10^6 points;
//   BM_FitThreads/<points>/<threads> 10^6 points on 1, 2, 4 and 8 threads.
//
// Counters: the fit's iterations, its reduced chi-square and parameters (the
// same at every thread count, bit for bit: the sums go block by block) and,
// for the thread runs, the speed-up against one thread in the same run.
#include "PeakFit.h"
#include "fitting/FitSettings.h"
#include "fitting/NonlinearFit.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <map>
#include <memory>

namespace {

using bench_peak::Data;
using bench_peak::Source;

// The start of fit_scipy.py; the chi-square criterion stops the fit when an
// iteration changes the chi-square by less than 1e-8 of it.
CFitSettings Settings()
{
    CFitSettings s;
    s.m_nChiSqChange = 1;
    s.m_dChiSqChangePercent = 1e-6;
    s.m_nMaxIterations = 100;
    s.m_estimateMatrix = {{1.5}, {0.2}, {1.5}, {0.3}};
    return s;
}

// Fits d on threads threads for every iteration of state; returns the
// seconds of one fit.
double FitEach(benchmark::State& state, const Data& d, int threads)
{
    Source source;
    const CFitSettings s = Settings();
    CNonlinearFit fit("peak", &source);
    fit.SetMaxThreads(threads);
    double seconds = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        if (!fit.Fit(s, d.x, d.y, d.w, nullptr, 0))
            state.SkipWithError("the fit failed");
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    state.counters["iterations"] = fit.GetIterationCount();
    state.counters["chisq"] = fit.GetReducedChiSq();
    const CMyVector& p = fit.GetEquation()->GetParameterValues();
    const char* names[] = {"A", "mu", "sigma", "B"};
    for (int i = 0; i < 4; ++i)
        state.counters[names[i]] = p[i];
    return seconds / double(state.iterations());
}

const Data& Cached(int n)
{
    static std::map<int, Data> cache;
    auto it = cache.find(n);
    if (it == cache.end())
        it = cache.emplace(n, bench_peak::Make(n)).first;
    return it->second;
}

void BM_FitPoints(benchmark::State& state)
{
    const double seconds = FitEach(state, Cached(int(state.range(0))), 1);
    state.counters["fit_s"] = seconds;
}
BENCHMARK(BM_FitPoints)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// One thread's time for the points of the last one-thread run, for the speed-up.
double g_oneThreadSeconds = 0;

void BM_FitThreads(benchmark::State& state)
{
    const int threads = int(state.range(1));
    const double seconds = FitEach(state, Cached(int(state.range(0))), threads);
    if (threads == 1)
        g_oneThreadSeconds = seconds;
    state.counters["fit_s"] = seconds;
    if (g_oneThreadSeconds > 0)
        state.counters["speedup"] = g_oneThreadSeconds / seconds;
}
BENCHMARK(BM_FitThreads)
    ->Args({1000000, 1})
    ->Args({1000000, 2})
    ->Args({1000000, 4})
    ->Args({1000000, 8})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
