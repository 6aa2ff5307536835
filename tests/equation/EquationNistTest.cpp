// The models of the NIST StRD non-linear regression problems, written by
// hand in the equation language, evaluated at the certified parameters: the
// residual sum of squares must agree with the certified one.
#include "EquationTestSupport.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

struct NistModel {
    const char* file;
    const char* source;
    std::vector<const char*> xs;
    bool logResponse = false; // the model gives ln(y)
};

// Lanczos1 is left out: its certified sum of squares (1.4e-25) lies far
// below what its parameters, printed to 11 digits, reproduce (about 4e-21).
// Gaussian peaks are written -((x - b4)^2): a unary minus binds tighter than
// the power in this language, so -(x - b4)^2 would be the square of -(x - b4).
const NistModel kModels[] = {
    {"Misra1a", "y = b1*(1-EXP(-b2*x))", {"x"}},
    {"Chwirut2", "y = EXP(-b1*x)/(b2+b3*x)", {"x"}},
    {"Chwirut1", "y = EXP(-b1*x)/(b2+b3*x)", {"x"}},
    {"Lanczos3", "y = b1*EXP(-b2*x) + b3*EXP(-b4*x) + b5*EXP(-b6*x)", {"x"}},
    {"Gauss1", "y = b1*EXP(-b2*x) + b3*EXP(-((x-b4)^2)/b5^2) + b6*EXP(-((x-b7)^2)/b8^2)", {"x"}},
    {"Gauss2", "y = b1*EXP(-b2*x) + b3*EXP(-((x-b4)^2)/b5^2) + b6*EXP(-((x-b7)^2)/b8^2)", {"x"}},
    {"DanWood", "y = b1*x^b2", {"x"}},
    {"Misra1b", "y = b1 * (1-(1+b2*x/2)^(-2))", {"x"}},
    {"Kirby2", "' Horner form with local variables\r\nnum = b1 + x*(b2 + x*b3)\r\nden = 1 + x*(b4 + x*b5)\r\ny = num/den", {"x"}},
    {"Hahn1", "y = (b1+b2*x+b3*x^2+b4*x^3)/(1+b5*x+b6*x^2+b7*x^3)", {"x"}},
    {"Nelson", "y = b1 - b2*x1 * EXP(-b3*x2)", {"x1", "x2"}, true},
    {"MGH17", "y = b1 + b2*EXP(-x*b4) + b3*EXP(-x*b5)", {"x"}},
    {"Lanczos2", "y = b1*EXP(-b2*x) + b3*EXP(-b4*x) + b5*EXP(-b6*x)", {"x"}},
    {"Gauss3", "y = b1*EXP(-b2*x) + b3*EXP(-((x-b4)^2)/b5^2) + b6*EXP(-((x-b7)^2)/b8^2)", {"x"}},
    {"Misra1c", "y = b1 * (1-(1+2*b2*x)^(-.5))", {"x"}},
    {"Misra1d", "y = b1*b2*x*((1+b2*x)^(-1))", {"x"}},
    {"Roszman1", "pi = 3.14159265358979323846\r\ny = b1 - b2*x - ATAN(b3/(x-b4))/pi", {"x"}},
    {"ENSO",
     "pi = 3.14159265358979323846\r\nw = 2*pi*x\r\n"
     "y = b1 + b2*COS(w/12) + b3*SIN(w/12) + b5*COS(w/b4) + b6*SIN(w/b4) + b8*COS(w/b7) + b9*SIN(w/b7)",
     {"x"}},
};

double Number(const std::string& token)
{
    double v = 0;
    const char* b = token.data();
    if (*b == '+')
        ++b;
    auto r = std::from_chars(b, token.data() + token.size(), v);
    EXPECT_EQ(r.ec, std::errc()) << token;
    return v;
}

std::vector<std::string> Tokens(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> out;
    std::string t;
    while (in >> t)
        out.push_back(t);
    return out;
}

// One model; ctest gives parameterised names no environment, so the models
// are run in a loop by one test instead.
void CheckModel(const NistModel& m)
{
    SCOPED_TRACE(m.file);
    const char* root = std::getenv("MARLOX_REFDATA");
    ASSERT_NE(root, nullptr) << "MARLOX_REFDATA is not set";
    std::ifstream file(std::string(root) + "/nist-nls/" + m.file + ".dat");
    ASSERT_TRUE(file) << m.file;
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    // "Data (lines A to B)" in the header gives the data rows.
    int first = 0, last = 0;
    std::vector<double> certified;
    double rss = 0;
    for (const std::string& line : lines) {
        auto t = Tokens(line);
        if (first == 0 && t.size() >= 5 && t[0] == "Data" && t[1] == "(lines")
            first = int(Number(t[2])), last = int(Number(t[4].substr(0, t[4].find(')'))));
        if (t.size() >= 5 && t[0].size() >= 2 && t[0][0] == 'b' && t[1] == "=")
            certified.push_back(Number(t[t.size() - 2]));
        if (line.find("Residual Sum of Squares:") != std::string::npos)
            rss = Number(t.back());
    }
    ASSERT_GT(first, 0);
    ASSERT_FALSE(certified.empty());

    auto eq = std::make_unique<CEquation>();
    eq->SetYName("y");
    for (std::size_t i = 0; i < certified.size(); ++i) {
        const std::string name = "b" + std::to_string(i + 1);
        eq->SetParameterName(int(i), name.c_str(), "");
    }
    for (std::size_t i = 0; i < m.xs.size(); ++i)
        eq->SetXName(int(i), m.xs[i], "");
    eq->SetSource(m.source);
    eq->Compile(); // strict: every parameter and X variable must be used
    eq->ResizeValues();
    for (std::size_t i = 0; i < certified.size(); ++i)
        eq->GetParameterValues()[int(i)] = certified[i];

    long double sum = 0;
    int rows = 0;
    for (int l = first; l <= last; ++l) {
        auto t = Tokens(lines[std::size_t(l - 1)]);
        ASSERT_EQ(t.size(), m.xs.size() + 1) << lines[std::size_t(l - 1)];
        for (std::size_t i = 0; i < m.xs.size(); ++i)
            eq->GetXValues()[int(i)] = Number(t[i + 1]);
        double y = Number(t[0]);
        if (m.logResponse)
            y = std::log(y);
        const long double r = (long double)y - eq->Calculate();
        sum += r * r;
        ++rows;
    }
    EXPECT_GT(rows, 0);
    EXPECT_LT(std::fabs(double(sum) - rss) / rss, 1e-9) << "computed " << double(sum) << " certified " << rss;
}

TEST(NistModels, CertifiedResidualSumOfSquares)
{
    for (const NistModel& m : kModels)
        CheckModel(m);
}

} // namespace
