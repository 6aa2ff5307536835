// The straight-line fit that the program exports for equation libraries.
#include "equation/EquationLibrary.h"

#include <cmath>

extern "C" void MX4_LinearRegression(int n, const double* x, const double* y, const double* weights,
                                     double* intercept, double* slope, double* seIntercept, double* seSlope,
                                     double* r)
{
    double s = 0, sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
    for (int i = 0; i < n; ++i) {
        const double w = weights ? weights[i] : 1.0;
        s += w;
        sx += w * x[i];
        sy += w * y[i];
        sxx += w * x[i] * x[i];
        syy += w * y[i] * y[i];
        sxy += w * x[i] * y[i];
    }
    const double d = s * sxx - sx * sx;
    const double a = (sxx * sy - sxy * sx) / d;
    const double b = (s * sxy - sx * sy) / d;
    double s2 = 0.0;
    if (n > 2) {
        // The degrees of freedom are n - 2 with weights too.
        s2 = (a * a * s + b * b * sxx + syy - 2 * (a * sy + b * sxy - a * b * sx)) / (n - 2);
        if (!(s2 >= 0.0))
            s2 = 0.0; // negative by rounding, or not a number
    }
    const double q = (s * syy - sy * sy) * d;
    if (intercept)
        *intercept = a;
    if (slope)
        *slope = b;
    if (seIntercept)
        *seIntercept = std::sqrt(s2 * sxx / d);
    if (seSlope)
        *seSlope = std::sqrt(s2 * s / d);
    if (r)
        *r = q > 0 ? (s * sxy - sx * sy) / std::sqrt(q) : 0.0;
}
