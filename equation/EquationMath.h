// Numeric kernels of the equation language: the built-in functions, the
// powers that report their errors, the random deviates and the number scanner.
#pragma once

#include <cmath>
#include <cstdint>
#include <string_view>

// The built-in functions of one argument, in the order of the name table.
enum class EBuiltinFunction : std::uint8_t {
    Ln, Sin, Tan, Cos, Exp, Asin, Atan, Acos, Abs, Frac, Int, Sqr, Sqrt, Log, Alog,
};

// The function of that name (case-blind); false when there is none.
bool FindBuiltinFunction(std::string_view name, EBuiltinFunction& out);
inline double ApplyBuiltin(EBuiltinFunction f, double x);

// a to the power b. Throws CMyMathError ("pow") for a negative base with a
// fractional exponent (domain), a zero base with a negative exponent
// (singularity) and a finite pair whose power overflows. A power that
// underflows gives 0 or a subnormal quietly: that is a representable answer.
double CheckedPow(double a, double b);
// Throws the overflow error of a^b that gave r.
[[noreturn]] void ThrowPowOverflow(double a, double b, double r);
// x^2 and x^3 by multiplication; a finite x whose power overflows is the
// overflow error of CheckedPow.
inline double CheckedSquare(double x)
{
    const double r = x * x;
    if (r > 1.7976931348623157e308 && x - x == 0.0)
        ThrowPowOverflow(x, 2.0, r);
    return r;
}
inline double CheckedCube(double x)
{
    const double r = x * x * x;
    if ((r > 1.7976931348623157e308 || r < -1.7976931348623157e308) && x - x == 0.0)
        ThrowPowOverflow(x, 3.0, r);
    return r;
}
// 10 to the power x, with the errors of CheckedPow.
double CheckedAlog(double x);
// Arc sine and arc cosine; an argument outside [-1, 1] is a domain error.
double CheckedAsin(double x);
double CheckedAcos(double x);

// The rounded constants the language has always given _PI_ and _E_.
inline constexpr double kEquationPi = 3.1415926536;
inline constexpr double kEquationE = 2.7182818285;

// A whole number in [0, 32767] from the calling thread's own generator.
int EquationRandom15();
// Seeds the calling thread's generator and drops its cached normal deviate.
void SeedEquationRandom(std::uint64_t seed);
// _RND_: uniform in [0, 1], both ends possible.
double EquationUniform();
// _GRND_: a standard normal deviate (polar method; the second deviate of
// each pair is cached per thread).
double EquationGaussian();

// Reads a decimal number at the start of text: digits, at most one point,
// at least one digit, then optionally e or E, a sign and digits. Returns the
// count of characters read (0 when text does not begin with a number) and
// the value, rounded correctly and independent of any locale. A magnitude
// beyond the double range gives an infinity, one below it 0.
int ScanDecimalNumber(std::string_view text, double& value);

// Inline: the run loop calls it for every function instruction.
inline double ApplyBuiltin(EBuiltinFunction f, double x)
{
    switch (f) {
    case EBuiltinFunction::Ln: return std::log(x);
    case EBuiltinFunction::Sin: return std::sin(x);
    case EBuiltinFunction::Tan: return std::tan(x);
    case EBuiltinFunction::Cos: return std::cos(x);
    case EBuiltinFunction::Exp: return std::exp(x);
    case EBuiltinFunction::Asin: return CheckedAsin(x);
    case EBuiltinFunction::Atan: return std::atan(x);
    case EBuiltinFunction::Acos: return CheckedAcos(x);
    case EBuiltinFunction::Abs: return std::fabs(x);
    case EBuiltinFunction::Frac: return x - std::floor(x);
    case EBuiltinFunction::Int: return std::floor(x);
    case EBuiltinFunction::Sqr: return x * x;
    case EBuiltinFunction::Sqrt: return std::sqrt(x);
    case EBuiltinFunction::Log: return std::log10(x);
    case EBuiltinFunction::Alog: return CheckedAlog(x);
    }
    return x;
}
