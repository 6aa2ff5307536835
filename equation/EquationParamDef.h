// The equation in which parameter definitions are written: the data range
// plus INTERCEPT and GRADIENT of the straight line through the transformed data.
#pragma once

#include "equation/EquationMinMax.h"

class CEquationParamDef : public CEquationMinMax {
public:
    void SetLine(double intercept, double gradient)
    {
        m_named[kIntercept] = intercept;
        m_named[kGradient] = gradient;
    }
    // Compiles parameter definition i and returns its value.
    double EvaluateParameterDefinition(int i);

protected:
    std::optional<CEqnToken> CreateVariable(std::string_view name) override;
};
