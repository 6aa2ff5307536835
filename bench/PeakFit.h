// The problem the fit benchmarks share: a Gaussian peak on a background,
// y = A exp(-(x - mu)^2 / (2 sigma^2)) + B with A 2, mu 0.3, sigma 1.2 and
// B 0.5, plus a ripple of 0.01 sin(37 i), at n points from -6 to 6.
// bench/fit_scipy.py forms the same numbers by the same operations.
#pragma once

#include "equation/Equation.h"
#include "fitting/EquationSource.h"
#include "framework/DoubleColumns.h"
#include "framework/MyVector.h"

#include <cmath>
#include <string>

namespace bench_peak {

struct Data {
    CDoubleColumns x;
    CMyVector y, w;
};

inline Data Make(int n)
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

// The model as an equation of parameters A, mu, sigma and B.
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

} // namespace bench_peak
