#include "equation/EquationMinMax.h"

#include "framework/ArchiveHelpers.h"

CEqnToken CEquationMinMax::Named(int slot)
{
    CEqnToken t;
    t.kind = CEqnToken::Operand;
    t.instr.op = EOpCode::PushNamed;
    t.instr.arg = slot;
    return t;
}

std::optional<CEqnToken> CEquationMinMax::CreateVariable(std::string_view name)
{
    static constexpr struct {
        const char* name;
        int slot;
    } kNames[] = {{"MAX", kMax}, {"MIN", kMin}, {"MAXX", kMaxX}, {"MINX", kMinX}};
    for (const auto& n : kNames)
        if (CompareNoCase(name, n.name) == 0)
            return Named(n.slot);
    return CEquation::CreateVariable(name);
}
