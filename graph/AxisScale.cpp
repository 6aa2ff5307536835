#include "graph/AxisScale.h"

#include <cmath>

namespace AxisScale {

namespace {

// The power of ten f that brings f * span into [3, 30).
double SpanFactor(double span)
{
    double f = 1.0;
    // Each loop stops within the double range: 700 decades cover it.
    for (int i = 0; i < 700 && f * span < 3.0; ++i)
        f *= 10.0;
    for (int i = 0; i < 700 && f * span >= 30.0; ++i)
        f *= 0.1;
    return f;
}

bool Walkable(double min, double max, double step)
{
    return std::isfinite(min) && std::isfinite(max) && std::isfinite(step) && step > 0.0 && max >= min;
}

// First value of the walk at or above min, and the number of steps to max.
bool WalkStart(double min, double max, double step, double& start, long long& n)
{
    if (!Walkable(min, max, step))
        return false;
    start = min - std::fmod(min, step);
    if (start < min)
        start += step;
    const double count = std::trunc((max - start) / step * 1.000001);
    if (!(count >= -1.0) || count > kMaxTicks)
        return false;
    n = static_cast<long long>(count);
    return true;
}

} // namespace

void DefaultRange(bool logarithmic, double& min, double& max)
{
    min = logarithmic ? 1.0 : 0.0;
    max = 10.0;
}

bool MendRange(bool logarithmic, double& min, double& max)
{
    bool bad = !std::isfinite(min) || !std::isfinite(max);
    if (logarithmic && !bad)
        bad = !(min > 0.0) || !(max > 0.0);
    if (bad) {
        DefaultRange(logarithmic, min, max);
        return true;
    }
    if (max > min)
        return false;
    if (min > max)
        std::swap(min, max);
    if (max <= min) {
        // Equal ends: widen by one unit, or by a share of the value where
        // one unit is lost in the value's digits.
        const double widen = std::fmax(1.0, std::fabs(min) * 1e-6);
        max = min + widen;
        if (!std::isfinite(max) || max <= min) {
            DefaultRange(logarithmic, min, max);
            return true;
        }
    }
    return true;
}

void MakeNiceRange(bool logarithmic, double& min, double& max)
{
    if (!std::isfinite(min) || !std::isfinite(max)) {
        DefaultRange(logarithmic, min, max);
        return;
    }
    const double pad = (max - min) * 0.05;
    const bool minNotNegative = min >= 0.0;
    max = max + pad;
    if (max <= min)
        max = min + 1.0;
    if (logarithmic) {
        min = min * 0.5;
        if (min > 0.0) {
            double scaled = min;
            double power = 1.0;
            for (int i = 0; i < 700 && scaled < 1.0; ++i) {
                scaled *= 10.0;
                power /= 10.0;
            }
            for (int i = 0; i < 700 && scaled >= 10.0; ++i) {
                scaled /= 10.0;
                power *= 10.0;
            }
            min = std::floor(scaled) * power;
        }
        if (!(min > 0.0))
            min = max * 0.1;
        if (max <= min)
            max = min + 10.0;
        MendRange(true, min, max);
        return;
    }
    min = min - pad;
    if (minNotNegative && min < 0.0)
        min = 0.0;
    const double f = SpanFactor(max - min);
    max = std::ceil(f * max) / f;
    min = std::floor(f * min) / f;
    MendRange(false, min, max);
}

void ChooseTickSteps(bool logarithmic, double min, double max, double& major, double& minor, double& origin)
{
    if (logarithmic) {
        major = 10.0;
        minor = 10.0;
        origin = min;
        return;
    }
    major = 2.0;
    minor = 1.0;
    origin = min;
    if (!(max > min) || !std::isfinite(max - min))
        return;
    origin = min > 0.0 ? min : (max < 0.0 ? max : 0.0);
    const double f = SpanFactor(max - min);
    const int n = static_cast<int>(std::trunc(f * (max - min)));
    if (n <= 3) {
        major = 1.0 / f;
        minor = 0.5 / f;
    } else if (n <= 5) {
        major = 2.0 / f;
        minor = 0.5 / f;
    } else {
        major = 2.0 / f;
        minor = 1.0 / f;
    }
}

std::vector<double> MajorTicks(bool logarithmic, double min, double max, double step)
{
    std::vector<double> ticks;
    if (logarithmic) {
        // The step is a factor: at or below 1 the walk would never end.
        if (!(min > 0.0) || !(max > 0.0) || !(step > 1.0))
            return ticks;
        min = std::log10(min);
        max = std::log10(max);
        step = std::log10(step);
    }
    double start = 0.0;
    long long n = 0;
    if (!WalkStart(min, max, step, start, n))
        return ticks;
    ticks.reserve(std::size_t(n + 1));
    for (long long i = 0; i <= n; ++i) {
        const double v = start + double(i) * step;
        ticks.push_back(logarithmic ? std::pow(10.0, v) : v);
    }
    return ticks;
}

std::vector<double> MinorTicks(bool logarithmic, double min, double max, double major, double minor)
{
    std::vector<double> ticks;
    if (logarithmic) {
        if (!(min > 0.0) || !(max > 0.0) || !(minor > 1.0) || !(major > 1.0))
            return ticks;
        const double lo = std::log10(min), hi = std::log10(max), s = std::log10(minor);
        if (s < 1.0 || !std::isfinite(lo) || !std::isfinite(hi) || hi < lo || (hi - lo) / s > kMaxTicks)
            return ticks;
        double rem = std::fmod(lo, s);
        if (rem < 0.0)
            rem += s;
        const double first = lo - rem;
        double majorStart = 0.0;
        long long majorCount = 0;
        const double majorStep = std::log10(major);
        if (!WalkStart(lo, hi, majorStep, majorStart, majorCount))
            return ticks;
        if (majorStart > first)
            majorStart -= majorStep;
        long long r = static_cast<long long>(std::trunc(majorStep / s * 1.000001));
        if (r <= 0)
            r = 1;
        long long counter = static_cast<long long>(std::trunc(std::fabs(first - majorStart) * 1.000001 / s));
        for (double d = first; d < hi; d += s, ++counter) {
            for (int k = 1; k <= 9; ++k) {
                const double candidate = k == 1 ? d : d + std::log10(double(k)) * s;
                if (candidate < lo || candidate > hi)
                    continue;
                if (k == 1 && counter % r == 0)
                    continue;
                ticks.push_back(std::pow(10.0, candidate));
            }
        }
        return ticks;
    }
    double start = 0.0, majorStart = 0.0;
    long long n = 0, majorCount = 0;
    if (!WalkStart(min, max, minor, start, n) || !WalkStart(min, max, major, majorStart, majorCount))
        return ticks;
    if (majorStart > start)
        majorStart -= major;
    long long r = static_cast<long long>(std::trunc(major / minor * 1.000001));
    if (r <= 0)
        r = 1;
    const long long counter = static_cast<long long>(std::trunc(std::fabs(start - majorStart) * 1.000001 / minor));
    for (long long i = 0; i <= n; ++i) {
        if ((counter + i) % r == 0)
            continue;
        ticks.push_back(start + double(i) * minor);
    }
    return ticks;
}

} // namespace AxisScale
