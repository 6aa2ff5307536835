// A 12-parameter model with a FOR loop evaluated by the compiled equation
// over 1,000,000 x values, against the same model written by hand in C++ in
// the same run: point by point (Calculate) and in blocks of points
// (CalculatePoints, as a fit's passes evaluate). "ratio" is equation time /
// hand-written time; "agree" is the largest relative difference between the
// two at every thousandth point (0 when bit-identical). Each side writes
// its values to an array of its own.
#include "equation/Equation.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kPoints = 1000000;

struct Model {
    const char* source;
    double (*hand)(double x, const double* p);
};

double ArithmeticByHand(double x, const double* p)
{
    double s = 0;
    for (int i = 1; i <= 4; ++i)
        s = s * x + p[0] * i;
    return p[1] * s + p[2] * x + p[3] * x * x + (p[4] + p[5] * x) / (p[6] + p[7] * x * x) + p[8] - p[9] * x +
           p[10] * p[11];
}

double ExponentialByHand(double x, const double* p)
{
    double s = 0;
    for (int i = 1; i <= 3; ++i)
        s = s + p[0] * std::exp(-p[1] * i * x);
    return s + p[2] * std::exp(-((x - p[3]) * (x - p[3])) / (p[4] * p[4])) +
           p[5] * std::exp(-((x - p[6]) * (x - p[6])) / (p[7] * p[7])) + p[8] * std::exp(-p[9] * x) + p[10] + p[11] * x;
}

const Model kArithmetic = {
    "s = 0\r\nFOR i = 1 TO 4\r\ns = s*x + p1*i\r\nNEXT\r\n"
    "y = p2*s + p3*x + p4*x*x + (p5 + p6*x)/(p7 + p8*x*x) + p9 - p10*x + p11*p12",
    ArithmeticByHand};
const Model kExponential = {
    "s = 0\r\nFOR i = 1 TO 3\r\ns = s + p1*exp(-p2*i*x)\r\nNEXT\r\n"
    "y = s + p3*exp(-((x-p4)*(x-p4))/(p5*p5)) + p6*exp(-((x-p7)*(x-p7))/(p8*p8)) + p9*exp(-p10*x) + p11 + p12*x",
    ExponentialByHand};

const double kParams[12] = {0.75, 0.012, 98.8, 67.5, 23.1, 72.0, 179.0, 18.4, 3.5, 0.0105, 1.25, -0.002};

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

void BM_EquationVsHandWritten(benchmark::State& state, const Model& m, bool blocks)
{
    auto eq = std::make_unique<CEquation>();
    eq->SetYName("y");
    eq->SetXName(0, "x", "");
    for (int i = 0; i < 12; ++i)
        eq->SetParameterName(i, ("p" + std::to_string(i + 1)).c_str(), "");
    eq->SetSource(m.source);
    eq->Compile();
    eq->ResizeValues();
    for (int i = 0; i < 12; ++i)
        eq->GetParameterValues()[i] = kParams[i];
    std::vector<double> xs(kPoints);
    for (int i = 0; i < kPoints; ++i)
        xs[std::size_t(i)] = 0.25 + 250.0 * i / kPoints;
    std::vector<double> ys(kPoints), hs(kPoints);
    benchmark::DoNotOptimize(hs.data());
    benchmark::DoNotOptimize(ys.data());
    double* x = eq->GetXValues().GetData();
    double equation = 0, hand = 0, agree = 0;
    // Both sides fill an array of the values, as a fit's pass does.
    for (auto _ : state) {
        using clock = std::chrono::steady_clock;
        auto t0 = clock::now();
        for (std::size_t i = 0; i < xs.size(); ++i)
            hs[i] = m.hand(xs[i], kParams);
        benchmark::ClobberMemory();
        auto t1 = clock::now();
        if (blocks) {
            const double* columns[] = {xs.data()};
            eq->CalculatePoints(columns, 1, kPoints, ys.data());
        } else {
            for (std::size_t i = 0; i < xs.size(); ++i) {
                *x = xs[i];
                ys[i] = eq->Calculate();
            }
        }
        benchmark::ClobberMemory();
        auto t2 = clock::now();
        hand += Seconds(t1 - t0);
        equation += Seconds(t2 - t1);
    }
    const double n = double(state.iterations());
    state.counters["equation_s"] = equation / n;
    state.counters["hand_s"] = hand / n;
    state.counters["ratio"] = equation / hand;
    // Agreement point by point over every thousandth x.
    for (std::size_t i = 0; i < xs.size(); i += 1000) {
        *x = xs[i];
        const double e = blocks ? ys[i] : eq->Calculate(), h = m.hand(xs[i], kParams);
        agree = std::max(agree, std::fabs(e - h) / std::max(std::fabs(h), 1e-300));
    }
    state.counters["agree"] = agree;
}

} // namespace

BENCHMARK_CAPTURE(BM_EquationVsHandWritten, Arithmetic, kArithmetic, false)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_EquationVsHandWritten, Exponential, kExponential, false)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_EquationVsHandWritten, ArithmeticBlocks, kArithmetic, true)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_EquationVsHandWritten, ExponentialBlocks, kExponential, true)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_MAIN();
