// Fit engines on large synthetic data: a cubic by the linear engine, and a
// Gaussian peak on a background (A, mu, sigma and B) by the Marquardt
// engine on one thread and on all, with the chi-square criterion on; and
// how long a stop of a running fit takes to end it.
#include "PeakFit.h"
#include "fitting/FitSettings.h"
#include "fitting/LinearFit.h"
#include "fitting/NonlinearFit.h"
#include "fitting/WorkerThread.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <thread>

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

// A stop while a fit runs on its worker, as the window's Abort does: the
// time until the worker has ended. Argument 0: the peak at 10^6 points on
// all cores; 1: a model that loops 10^5 times over each of 10^4 points, so
// that one point takes longer than the stop may.
void BM_StopLatency(benchmark::State& state)
{
    const bool looping = state.range(0) == 1;
    Data d = bench_peak::Make(looping ? 10000 : 1000000);
    Source source;
    if (looping) {
        source.eq.SetModeFlag(1);
        source.eq.SetSource("s = 0\r\nFOR i = 1 TO 100000\r\ns = s + A * x / 100000\r\nNEXT\r\ny = s + B");
        source.eq.Compile();
    }
    CFitSettings s;
    s.m_nMaxIterations = 100;
    s.m_estimateMatrix = {{1.5}, {0.2}, {1.5}, {0.3}};
    SetWorkerMessageSink([](UINT, std::intptr_t, std::intptr_t) {});
    for (auto _ : state) {
        CNonlinearFit fit("peak", &source);
        CWorkerThread worker;
        worker.Start([&](CWorkerThread& w, void*) { return fit.Fit(s, d.x, d.y, d.w, &w, 0); }, nullptr, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const auto start = std::chrono::steady_clock::now();
        worker.Stop();
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    SetWorkerMessageSink({});
}
BENCHMARK(BM_StopLatency)->Arg(0)->Arg(1)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
