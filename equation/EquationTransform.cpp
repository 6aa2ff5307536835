#include "equation/EquationTransform.h"

#include "equation/EquationTransCurve.h"
#include "framework/ArchiveHelpers.h"

#include <cmath>

namespace {
constexpr int kHookYCalc = 1;
}

void CEquationTransform::Assign(const CEquationBase& equation, const std::string& xTransform,
                                const std::string& yTransform, IYCalcSource* source, int sourceIndex)
{
    SetXCount(equation.GetXCount());
    SetParameterCount(equation.GetParameterCount());
    SetConstantCount(equation.GetConstantCount());
    std::string name, label;
    for (int i = 0; i < equation.GetXCount(); ++i) {
        equation.GetXNames(i, name, label);
        SetXName(i, name.c_str(), label.c_str());
    }
    for (int i = 0; i < equation.GetParameterCount(); ++i) {
        equation.GetParameterNames(i, name, label);
        SetParameterName(i, name.c_str(), label.c_str());
    }
    for (int i = 0; i < equation.GetConstantCount(); ++i) {
        equation.GetConstantNames(i, name, label);
        SetConstantName(i, name.c_str(), label.c_str());
    }
    SetUseParameterDefinitions(equation.GetUseParameterDefinitions());
    SetXTransform(xTransform);
    SetYTransform(yTransform);
    m_named[kXData] = 0.0;
    m_named[kYData] = 0.0;
    m_pSource = source;
    m_nSourceIndex = sourceIndex;
    m_extraX = equation.GetExtraXValues();
    ResizeValues();
    for (int i = 0; i < GetParameterCount() && i < equation.GetParameterValues().GetSize(); ++i)
        m_paramValues[i] = equation.GetParameterValues()[i];
    for (int i = 0; i < GetConstantCount() && i < equation.GetConstantValues().GetSize(); ++i)
        m_constValues[i] = equation.GetConstantValues()[i];
}

std::optional<CEqnToken> CEquationTransform::CreateVariable(std::string_view name)
{
    CEqnToken t;
    t.kind = CEqnToken::Operand;
    if (CompareNoCase(name, "XDATA") == 0)
        return Named(kXData);
    if (auto extra = ExtraXToken(name))
        return extra;
    if (CompareNoCase(name, "YDATA") == 0)
        return Named(kYData);
    if (CompareNoCase(name, "YCALC") == 0) {
        t.instr.op = EOpCode::Hook;
        t.instr.arg = kHookYCalc;
        t.instr.aux = 0;
        return t;
    }
    return CEquationMinMax::CreateVariable(name);
}

double* CEquationTransform::RunHook(int code, double* sp)
{
    if (code != kHookYCalc)
        return sp;
    double y = m_named[kYData];
    double fitted = 0.0;
    if (m_pSource && m_pSource->CalculateY(m_named[kXData], m_nSourceIndex, m_extraX, fitted)
        && !std::isnan(fitted) && !IsBlank(fitted))
        y = fitted;
    *sp++ = y;
    return sp;
}

void CEquationTransform::Invalidate()
{
    CEquationMinMax::Invalidate();
    m_xCode.Clear();
    m_yCode.Clear();
}

void CEquationTransform::CompileX() { CompileStandalone(GetXTransform(), m_xCode); }

void CEquationTransform::CompileY() { CompileStandalone(GetYTransform(), m_yCode); }

double CEquationTransform::EvaluateX() { return Run(m_xCode); }

double CEquationTransform::EvaluateY() { return Run(m_yCode); }
