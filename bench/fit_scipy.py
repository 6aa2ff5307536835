#!/usr/bin/python3
"""The peer of bench_fit_scaling's BM_FitPoints: scipy.optimize.curve_fit
(MINPACK, method 'lm') fitting A, mu, sigma and B of a Gaussian peak on a
background to the same 10^4, 10^5 and 10^6 points from the same start.

The data are formed point by point with the math module (the C library's
exp and sin, as the benchmark forms them), so both sides fit the same
numbers. Each fit runs --repetitions times; the median time is printed with
the fit's function evaluations, reduced chi-square and parameters.

With --marlox PATH (the bench_fit_scaling program) both sides run in turn,
round by round, so that a machine whose load changes during the run
weighs on both alike; the median of each side's rounds and their ratio
(Marlox's time over SciPy's) are printed per size.

Needs SciPy and NumPy (Debian: python3-scipy python3-numpy), a
benchmark-only dependency.
"""
import argparse
import json
import math
import os
import statistics
import subprocess
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


def scipy_seconds(x, y):
    t0 = time.perf_counter()
    curve_fit(model, x, y, p0=START, method="lm")
    return time.perf_counter() - t0


def marlox_seconds(program, n):
    """The mean time of one fit of n points in one run of bench_fit_scaling."""
    out = subprocess.run([program, f"--benchmark_filter=BM_FitPoints/{n}$", "--benchmark_format=json"],
                         check=True, capture_output=True, text=True).stdout
    return json.loads(out)["benchmarks"][0]["fit_s"]


def in_turn(args):
    for n in args.points:
        x, y = peak_data(n)
        ours, theirs = [], []
        for _ in range(args.rounds):
            ours.append(marlox_seconds(args.marlox, n))
            theirs.append(statistics.median(scipy_seconds(x, y) for _ in range(args.repetitions)))
        a, b = statistics.median(ours), statistics.median(theirs)
        print(f"points {n}  marlox {a * 1e3:.2f} ms  scipy {b * 1e3:.2f} ms  ratio {a / b:.2f}  "
              f"(medians of {args.rounds} rounds)")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--repetitions", type=int, default=5)
    parser.add_argument("--points", type=int, nargs="*", default=[10000, 100000, 1000000])
    parser.add_argument("--marlox", help="bench_fit_scaling, to run in turn with SciPy")
    parser.add_argument("--rounds", type=int, default=7, help="rounds of each side with --marlox")
    args = parser.parse_args()
    if args.marlox:
        in_turn(args)
        return
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
