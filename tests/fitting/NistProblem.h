// A NIST StRD regression problem read from its published file: data,
// starting values, certified results, and the model written into the
// equation language (shared by the fit tests and the nist_fit benchmark).
#pragma once

#include "equation/Equation.h"
#include "framework/DoubleColumns.h"
#include "framework/MyVector.h"

#include <memory>
#include <string>
#include <vector>

struct SNistProblem {
    std::string name;                      // file name without folder
    std::vector<std::string> params;       // b1.. or B0..
    std::vector<std::string> xNames;       // x, or x1, x2, ...
    std::vector<std::vector<double>> starts; // one vector per start (none for linear files)
    std::vector<double> certified;         // parameter values
    std::vector<double> certifiedSE;       // their standard deviations
    double certifiedRSS = 0.0;             // residual sum of squares
    CDoubleColumns x;                      // predictors, one column each
    CMyVector y;                           // the response as the model sees it (transformed)
    std::string model;                     // the model as published, error term dropped
    std::string source;                    // the model in the equation language
    // A polynomial in one x with every power from 0 to the order: the order
    // and, for each power, the index of its parameter; -1 otherwise.
    int polynomialOrder = -1;
    std::vector<int> powerParam;
};

// Reads a problem; false with a reason in error.
bool LoadNistProblem(const std::string& path, SNistProblem& problem, std::string& error);
// A compiled equation of the problem's model (throws CParseErr when it does not compile).
std::unique_ptr<CEquation> MakeNistEquation(const SNistProblem& problem);
// Log relative error of x against certified c, capped at 11 (exact: 11; c = 0: -log10|x|).
double LogRelativeError(double x, double c);
