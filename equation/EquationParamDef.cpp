#include "equation/EquationParamDef.h"

#include "framework/ArchiveHelpers.h"

std::optional<CEqnToken> CEquationParamDef::CreateVariable(std::string_view name)
{
    if (CompareNoCase(name, "INTERCEPT") == 0)
        return Named(kIntercept);
    if (CompareNoCase(name, "GRADIENT") == 0)
        return Named(kGradient);
    return CEquationMinMax::CreateVariable(name);
}

double CEquationParamDef::EvaluateParameterDefinition(int i)
{
    CompileLine(i);
    return Run(GetParameterDefinitionProgram());
}
