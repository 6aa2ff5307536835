#include "data/ColumnStatistics.h"

#include <algorithm>

SampleStatistics ComputeSampleStatistics(const double* values, std::size_t n)
{
    SampleStatistics s;
    double m2 = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        ++s.count;
        const double delta = values[i] - s.mean;
        s.mean += delta / double(s.count);
        m2 += delta * (values[i] - s.mean);
    }
    if (s.count > 1)
        s.variance = std::max(0.0, m2 / double(s.count - 1));
    return s;
}
