// Statistics kernels of the computed columns. Variances use Welford's
// updates and are clamped at 0, so equal values give exactly 0 instead of a
// rounding residue (or the square root of a negative number).
#pragma once

#include <cstddef>

struct SampleStatistics {
    std::size_t count = 0;
    double mean = 0.0;
    double variance = 0.0; // sample variance (divisor count - 1); 0 for fewer than two values
};

SampleStatistics ComputeSampleStatistics(const double* values, std::size_t n);
