#include "equation/EquationTransCurve.h"

#include "framework/ArchiveHelpers.h"

std::optional<CEqnToken> ExtraXToken(std::string_view name)
{
    static constexpr const char* kNames[] = {"XDATA2", "XDATA3", "XDATA4", "XDATA5"};
    for (int i = 0; i < 4; ++i) {
        if (CompareNoCase(name, kNames[i]) == 0) {
            CEqnToken t;
            t.kind = CEqnToken::Operand;
            t.instr.op = EOpCode::PushExtraX;
            t.instr.arg = i;
            return t;
        }
    }
    return std::nullopt;
}

std::optional<CEqnToken> CEquationTransCurve::CreateVariable(std::string_view name)
{
    if (auto t = ExtraXToken(name))
        return t;
    return CEquation::CreateVariable(name);
}
