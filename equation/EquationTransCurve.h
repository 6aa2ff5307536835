// An equation for graph curves: XDATA2 to XDATA5 read the extra X values.
#pragma once

#include "equation/Equation.h"

class CEquationTransCurve : public CEquation {
protected:
    std::optional<CEqnToken> CreateVariable(std::string_view name) override;
};

// The token of XDATA2 .. XDATA5 (extra X value 0 .. 3), if name is one.
std::optional<CEqnToken> ExtraXToken(std::string_view name);
