// Builders shared by the equation tests.
#pragma once

#include "equation/Equation.h"

#include <initializer_list>
#include <memory>
#include <string>

// An equation with Y name "y", the given symbols and source; not compiled.
template <class T = CEquation>
std::unique_ptr<T> MakeEquation(const std::string& source, std::initializer_list<const char*> params = {},
                                std::initializer_list<const char*> xs = {}, std::initializer_list<const char*> consts = {},
                                int lenient = 1)
{
    auto eq = std::make_unique<T>();
    eq->SetYName("y");
    int i = 0;
    for (const char* p : params)
        eq->SetParameterName(i++, p, "");
    i = 0;
    for (const char* x : xs)
        eq->SetXName(i++, x, "");
    i = 0;
    for (const char* c : consts)
        eq->SetConstantName(i++, c, "");
    eq->SetModeFlag(lenient);
    eq->SetSource(source);
    return eq;
}

// Compiles and evaluates a lenient equation without symbols.
inline double Evaluate(const std::string& source)
{
    auto eq = MakeEquation(source);
    eq->Compile();
    eq->ResizeValues();
    return eq->Calculate();
}
