// Cost per data point of a compiled equation (value, and value plus central-
// difference derivatives) against muParser on the same expressions. The
// ratio Marlox / muParser is what to read: below 1 is faster.
#include "equation/Equation.h"

#include <benchmark/benchmark.h>
#include <muParser.h>

#include <cfloat>
#include <cmath>
#include <string>
#include <vector>

namespace {

struct Model {
    const char* name;
    const char* marlox;  // in the equation language
    const char* muparser; // the same expression for muParser
    std::vector<const char*> params;
    std::vector<double> values;
};

const Model kModels[] = {
    {"Exponential", "y = a*exp(-b*x)", "a*exp(-b*x)", {"a", "b"}, {2.5, 0.3}},
    {"Rational33", "y = (b1+b2*x+b3*x^2+b4*x^3)/(1+b5*x+b6*x^2+b7*x^3)",
     "(b1+b2*x+b3*x^2+b4*x^3)/(1+b5*x+b6*x^2+b7*x^3)", {"b1", "b2", "b3", "b4", "b5", "b6", "b7"},
     {1.08, -0.12, 0.0041, -1.4e-6, -0.0058, 0.00024, -1.2e-7}},
    {"TwoGaussiansExp", "y = b1*exp(-b2*x) + b3*exp(-((x-b4)^2)/b5^2) + b6*exp(-((x-b7)^2)/b8^2)",
     "b1*exp(-b2*x) + b3*exp(-((x-b4)^2)/b5^2) + b6*exp(-((x-b7)^2)/b8^2)",
     {"b1", "b2", "b3", "b4", "b5", "b6", "b7", "b8"}, {98.8, 0.0105, 100.5, 67.5, 23.1, 72.0, 179.0, 18.4}},
    // A Horner sum by a loop; muParser has no loops and gets the sum unrolled.
    {"ForLoop", "s = 0\r\nFOR i = 1 TO 6\r\ns = s*x + c\r\nNEXT\r\ny = a*s",
     "a*((((((c)*x+c)*x+c)*x+c)*x+c)*x+c)", {"a", "c"}, {1.5, 0.25}},
};

constexpr int kPoints = 1000;

std::vector<double> Xs()
{
    std::vector<double> xs(kPoints);
    for (int i = 0; i < kPoints; ++i)
        xs[std::size_t(i)] = 1.0 + 0.25 * i;
    return xs;
}

std::unique_ptr<CEquation> Compiled(const Model& m)
{
    auto eq = std::make_unique<CEquation>();
    eq->SetYName("y");
    eq->SetXName(0, "x", "");
    for (std::size_t i = 0; i < m.params.size(); ++i)
        eq->SetParameterName(int(i), m.params[i], "");
    eq->SetSource(m.marlox);
    eq->Compile();
    eq->ResizeValues();
    for (std::size_t i = 0; i < m.values.size(); ++i)
        eq->GetParameterValues()[int(i)] = m.values[i];
    return eq;
}

struct MuModel {
    mu::Parser parser;
    double x = 0;
    std::vector<double> p;
    explicit MuModel(const Model& m) : p(m.values)
    {
        parser.DefineVar("x", &x);
        for (std::size_t i = 0; i < m.params.size(); ++i)
            parser.DefineVar(m.params[i], &p[i]);
        parser.SetExpr(m.muparser);
        parser.Eval();
    }
};

void BM_Marlox(benchmark::State& state, const Model& m)
{
    auto eq = Compiled(m);
    const auto xs = Xs();
    double* x = eq->GetXValues().GetData();
    for (auto _ : state) {
        double sum = 0;
        for (double v : xs) {
            *x = v;
            sum += eq->Calculate();
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}

void BM_MuParser(benchmark::State& state, const Model& m)
{
    MuModel mp(m);
    const auto xs = Xs();
    for (auto _ : state) {
        double sum = 0;
        for (double v : xs) {
            mp.x = v;
            sum += mp.parser.Eval();
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}

void BM_MarloxDerivatives(benchmark::State& state, const Model& m)
{
    auto eq = Compiled(m);
    const auto xs = Xs();
    double* x = eq->GetXValues().GetData();
    CMyVector d(int(m.params.size()));
    for (auto _ : state) {
        for (double v : xs) {
            *x = v;
            eq->Calculate();
            eq->CalculateDerivatives(d);
        }
        benchmark::DoNotOptimize(d.GetData());
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}

// The same central differences as the equation's own, driven by hand.
void BM_MuParserDerivatives(benchmark::State& state, const Model& m)
{
    MuModel mp(m);
    const auto xs = Xs();
    const double step = std::cbrt(DBL_EPSILON);
    std::vector<double> d(m.params.size());
    for (auto _ : state) {
        for (double v : xs) {
            mp.x = v;
            mp.parser.Eval();
            for (std::size_t i = 0; i < mp.p.size(); ++i) {
                const double p = mp.p[i];
                const double h = p == 0 ? step : step * std::fabs(p);
                const double up = p + h, down = p - h;
                mp.p[i] = up;
                const double y1 = mp.parser.Eval();
                mp.p[i] = down;
                const double y2 = mp.parser.Eval();
                d[i] = (y1 - y2) / (up - down);
                mp.p[i] = p;
            }
        }
        benchmark::DoNotOptimize(d.data());
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
}

int Register()
{
    for (const Model& m : kModels) {
        benchmark::RegisterBenchmark((std::string("Value/Marlox/") + m.name).c_str(), BM_Marlox, m);
        benchmark::RegisterBenchmark((std::string("Value/muParser/") + m.name).c_str(), BM_MuParser, m);
        benchmark::RegisterBenchmark((std::string("Derivatives/Marlox/") + m.name).c_str(), BM_MarloxDerivatives, m);
        benchmark::RegisterBenchmark((std::string("Derivatives/muParser/") + m.name).c_str(), BM_MuParserDerivatives,
                                     m);
    }
    return 0;
}

const int s_registered = Register();

} // namespace

BENCHMARK_MAIN();
