#!/usr/bin/python3
"""The peer of bench_fit_scaling's BM_FitPoints: scipy.optimize.curve_fit
(MINPACK, method 'lm') fitting A, mu, sigma and B of a Gaussian peak on a
background to the same 10^4, 10^5 and 10^6 points from the same start.

The data are formed point by point with the math module (the C library's
exp and sin, as the benchmark forms them), so both sides fit the same
numbers. Each fit runs --repetitions times; the median time is printed with
the fit's function evaluations, reduced chi-square and parameters.

Needs SciPy and NumPy (Debian: python3-scipy python3-numpy), a
benchmark-only dependency.
"""
import argparse
import math
import os
import statistics
import time

# One thread, as the benchmark's fits: no BLAS threads for the covariance.
for var in ("OMP_NUM_THREADS", "OPENBLAS_NUM_THREADS", "MKL_NUM_THREADS"):
    os.environ.setdefault(var, "1")

import numpy as np  # noqa: E402 (after the thread settings)
from scipy.optimize import curve_fit  # noqa: E402


def peak_data(n):
    x = np.empty(n)
    y = np.empty(n)
    for i in range(n):
        xi = -6 + 12.0 * i / n
        x[i] = xi
        y[i] = 2.0 * math.exp(-(xi - 0.3) * (xi - 0.3) / (2 * 1.44)) + 0.5 + 0.01 * math.sin(37.0 * i)
    return x, y


def model(x, a, mu, sigma, b):
    return a * np.exp(-((x - mu) ** 2) / (2 * sigma ** 2)) + b


START = (1.5, 0.2, 1.5, 0.3)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--repetitions", type=int, default=5)
    parser.add_argument("--points", type=int, nargs="*", default=[10000, 100000, 1000000])
    args = parser.parse_args()
    for n in args.points:
        x, y = peak_data(n)
        times = []
        for _ in range(args.repetitions):
            t0 = time.perf_counter()
            p, _, info, _, _ = curve_fit(model, x, y, p0=START, method="lm", full_output=True)
            times.append(time.perf_counter() - t0)
        r = y - model(x, *p)
        chisq = float(r @ r) / (n - len(p))
        print(f"curve_fit/{n}  median {statistics.median(times) * 1e3:.1f} ms  "
              f"min {min(times) * 1e3:.1f} ms  nfev={info['nfev']}  chisq={chisq:.10g}  "
              f"A={p[0]:.10g} mu={p[1]:.10g} sigma={p[2]:.10g} B={p[3]:.10g}")


if __name__ == "__main__":
    main()
