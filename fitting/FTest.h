// The F test between two fits of the same data, and the special functions it
// needs.
#pragma once

// ln Gamma(x) for x > 0.
double LnGamma(double x);
// The continued fraction of the incomplete beta function; sets converged to
// false (and answers 0) when it does not settle.
double BetaContinuedFraction(double a, double b, double x, bool* converged = nullptr);
// The regularised incomplete beta function I_x(a, b); 0 for x outside [0, 1].
double IncompleteBeta(double a, double b, double x, bool* converged = nullptr);

// Compares two fits of n points with p1 and p2 parameters and chi-squares chi1
// and chi2. Nested models (different parameter counts): F of the extra
// parameters and its upper-tail probability; a larger model that fits worse
// gives F = 0 and P = 1. Equal counts: the variance ratio, two-sided.
// Returns 0 (F and P untouched) when a degree of freedom is 0 or less, a
// chi-square is not a number, or the series does not converge.
int FTestProbability(int n, int p1, double chi1, int p2, double chi2, double& F, double& P);
