#include "equation/EquationMath.h"

#include "equation/MyError.h"
#include "framework/ArchiveHelpers.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <random>
#include <thread>

namespace {

struct BuiltinName {
    const char* name;
    EBuiltinFunction function;
};

constexpr BuiltinName kFunctions[] = {
    {"LN", EBuiltinFunction::Ln},     {"SIN", EBuiltinFunction::Sin},   {"TAN", EBuiltinFunction::Tan},
    {"COS", EBuiltinFunction::Cos},   {"EXP", EBuiltinFunction::Exp},   {"ASIN", EBuiltinFunction::Asin},
    {"ATAN", EBuiltinFunction::Atan}, {"ACOS", EBuiltinFunction::Acos}, {"ABS", EBuiltinFunction::Abs},
    {"FRAC", EBuiltinFunction::Frac}, {"INT", EBuiltinFunction::Int},   {"SQR", EBuiltinFunction::Sqr},
    {"SQRT", EBuiltinFunction::Sqrt}, {"LOG", EBuiltinFunction::Log},   {"ALOG", EBuiltinFunction::Alog},
};

// xoshiro-style 64-bit state per thread: fast, and no thread ever sees
// another's sequence, so fits on worker threads do not disturb each other.
struct RandomState {
    std::uint64_t s = 0;
    bool cached = false;
    double cache = 0.0;
    bool seeded = false;
};

thread_local RandomState t_random;

std::uint64_t SplitMix(std::uint64_t& s)
{
    std::uint64_t z = (s += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

bool FindBuiltinFunction(std::string_view name, EBuiltinFunction& out)
{
    for (const BuiltinName& f : kFunctions) {
        if (CompareNoCase(name, f.name) == 0) {
            out = f.function;
            return true;
        }
    }
    return false;
}

namespace {

[[noreturn]] void ThrowMath(int type, const char* name, double a, double b, double r)
{
    throw CMyMathError(type, name, a, b, r);
}

double PowChecked(const char* name, double a, double b)
{
    double r = std::pow(a, b);
    if (std::isnan(a) || std::isnan(b))
        return r; // not-a-number passes through quietly, as in every other operator
    if (std::isnan(r))
        ThrowMath(CMyMathError::domainError, name, a, b, r);
    if (std::isinf(r) && std::isfinite(a) && std::isfinite(b)) {
        if (a == 0.0)
            ThrowMath(CMyMathError::singularityError, name, a, b, r);
        ThrowMath(CMyMathError::overflowError, name, a, b, r);
    }
    return r;
}

} // namespace

double CheckedPow(double a, double b) { return PowChecked("pow", a, b); }

void ThrowPowOverflow(double a, double b, double r) { ThrowMath(CMyMathError::overflowError, "pow", a, b, r); }

double CheckedAlog(double x) { return PowChecked("pow", 10.0, x); }

double CheckedAsin(double x)
{
    if (x < -1.0 || x > 1.0)
        ThrowMath(CMyMathError::domainError, "asin", x, 0.0, std::nan(""));
    return std::asin(x);
}

double CheckedAcos(double x)
{
    if (x < -1.0 || x > 1.0)
        ThrowMath(CMyMathError::domainError, "acos", x, 0.0, std::nan(""));
    return std::acos(x);
}

void SeedEquationRandom(std::uint64_t seed)
{
    t_random.s = seed;
    t_random.cached = false;
    t_random.seeded = true;
}

int EquationRandom15()
{
    if (!t_random.seeded) {
        std::random_device device;
        std::uint64_t seed = (std::uint64_t(device()) << 32) ^ device();
        seed ^= std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
        seed ^= std::hash<std::thread::id>()(std::this_thread::get_id());
        SeedEquationRandom(seed);
    }
    return int(SplitMix(t_random.s) >> 49); // the top 15 bits: 0 .. 32767
}

double EquationUniform() { return EquationRandom15() * (1.0 / 32767.0); }

double EquationGaussian()
{
    if (t_random.cached) {
        t_random.cached = false;
        return t_random.cache;
    }
    double u, v, s;
    do {
        u = EquationRandom15() * (2.0 / 32767.0) - 1.0;
        v = EquationRandom15() * (2.0 / 32767.0) - 1.0;
        s = u * u + v * v;
    } while (!(s > 0.0 && s < 1.0));
    double f = std::sqrt(-2.0 * std::log(s) / s);
    t_random.cache = u * f;
    t_random.cached = true;
    return v * f;
}

int ScanDecimalNumber(std::string_view text, double& value)
{
    std::size_t i = 0;
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    std::size_t mantissaEnd = i;
    bool negativeExponent = false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            negativeExponent = text[j] == '-';
            ++j;
        }
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j]))
                ++j;
            i = j;
        }
    }
    if (i == mantissaEnd)
        negativeExponent = false;
    // from_chars takes the same grammar without a leading sign and is never
    // affected by the locale.
    double v = 0.0;
    auto result = std::from_chars(text.data(), text.data() + i, v, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Out of range: too large unless the exponent is negative or the
        // mantissa itself is below one with no exponent (impossible here).
        v = negativeExponent ? 0.0 : HUGE_VAL;
    } else if (result.ec != std::errc() || result.ptr != text.data() + i) {
        return 0;
    }
    value = v;
    return int(i);
}
