#include "fitting/FTest.h"

#include <algorithm>
#include <cmath>

namespace {
// Tight enough that P keeps every digit a double can hold; the series
// converges in a few dozen rounds for the degrees of freedom of real fits.
constexpr double kEpsilon = 1e-15;
constexpr int kMaxRounds = 1000;
constexpr double kTiny = 1e-300;
} // namespace

double LnGamma(double x)
{
    // The library's log-gamma is accurate to the last digit; the sign is
    // positive for every x > 0, the only arguments used here.
    return std::lgamma(x);
}

double BetaContinuedFraction(double a, double b, double x, bool* converged)
{
    // Modified Lentz evaluation of the same continued fraction: it avoids the
    // rescaling of the classic recurrence and reaches full precision.
    double qab = a + b, qap = a + 1.0, qam = a - 1.0;
    double c = 1.0;
    double d = 1.0 - qab * x / qap;
    if (std::fabs(d) < kTiny)
        d = kTiny;
    d = 1.0 / d;
    double h = d;
    for (int m = 1; m <= kMaxRounds; ++m) {
        double m2 = 2.0 * m;
        double aa = m * (b - m) * x / ((qam + m2) * (a + m2));
        d = 1.0 + aa * d;
        if (std::fabs(d) < kTiny)
            d = kTiny;
        c = 1.0 + aa / c;
        if (std::fabs(c) < kTiny)
            c = kTiny;
        d = 1.0 / d;
        h *= d * c;
        aa = -(a + m) * (qab + m) * x / ((a + m2) * (qap + m2));
        d = 1.0 + aa * d;
        if (std::fabs(d) < kTiny)
            d = kTiny;
        c = 1.0 + aa / c;
        if (std::fabs(c) < kTiny)
            c = kTiny;
        d = 1.0 / d;
        double delta = d * c;
        h *= delta;
        if (std::fabs(delta - 1.0) < kEpsilon) {
            if (converged)
                *converged = true;
            return h;
        }
    }
    if (converged)
        *converged = false;
    return 0.0;
}

double IncompleteBeta(double a, double b, double x, bool* converged)
{
    if (converged)
        *converged = true;
    if (!(x >= 0.0 && x <= 1.0))
        return 0.0;
    if (x == 0.0)
        return 0.0;
    if (x == 1.0)
        return 1.0;
    double front = std::exp(LnGamma(a + b) - LnGamma(a) - LnGamma(b) + a * std::log(x) + b * std::log1p(-x));
    if (x < (a + 1.0) / (a + b + 2.0))
        return front * BetaContinuedFraction(a, b, x, converged) / a;
    return 1.0 - front * BetaContinuedFraction(b, a, 1.0 - x, converged) / b;
}

int FTestProbability(int n, int p1, double chi1, int p2, double chi2, double& F, double& P)
{
    double df1 = double(n - p1), df2 = double(n - p2);
    if (df1 <= 0.0 || df2 <= 0.0 || std::isnan(chi1) || std::isnan(chi2) || chi1 < 0.0 || chi2 < 0.0)
        return 0;
    bool ok1 = true, ok2 = true;
    if (p1 != p2) {
        // The fit with more parameters is the larger model.
        bool oneIsLarger = p1 > p2;
        double chiL = oneIsLarger ? chi1 : chi2, chiS = oneIsLarger ? chi2 : chi1;
        double dfL = oneIsLarger ? df1 : df2, dfS = oneIsLarger ? df2 : df1;
        if (chiL >= chiS) {
            // The extra parameters did not help: no evidence for the larger model.
            F = 0.0;
            P = 1.0;
            return 1;
        }
        if (chiL == 0.0)
            return 0;
        double f = ((chiS - chiL) / (dfS - dfL)) / (chiL / dfL);
        double p = IncompleteBeta(dfL / 2.0, (dfS - dfL) / 2.0, dfL / (dfL + (dfS - dfL) * f), &ok1);
        if (!ok1 || !std::isfinite(f))
            return 0;
        F = f;
        P = p;
        return 1;
    }
    bool twoIsA = chi1 <= chi2;
    double chiA = twoIsA ? chi2 : chi1, chiB = twoIsA ? chi1 : chi2;
    double dfA = twoIsA ? df2 : df1, dfB = twoIsA ? df1 : df2;
    if (chiA == chiB) {
        F = 1.0;
        P = 1.0;
        return 1;
    }
    if (chiB == 0.0)
        return 0;
    double f = (chiA / dfA) / (chiB / dfB);
    double p = IncompleteBeta(dfB / 2.0, dfA / 2.0, dfB / (dfA * f + dfB), &ok1) + 1.0
        - IncompleteBeta(dfA / 2.0, dfB / 2.0, dfA / (dfB / f + dfA), &ok2);
    if (!ok1 || !ok2 || !std::isfinite(f))
        return 0;
    F = f;
    P = std::min(p, 1.0);
    return 1;
}
