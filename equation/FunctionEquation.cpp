#include "equation/FunctionEquation.h"

#include "equation/FunctionTable.h"
#include "equation/MyError.h"
#include "framework/ArchiveHelpers.h"

#include <algorithm>
#include <cmath>

IMPLEMENT_SERIAL(CFunctionEquation, CEquation, VERSIONABLE_SCHEMA | 0)

namespace {

enum EHook : int { kHookColumn = 1, kHookRow, kHookData, kHookValidData, kHookSetBlank };

// Far beyond any table, yet column - 1 and row + 1 stay inside an int.
constexpr double kArgumentLimit = 1.0e9;

int TruncatedArgument(double v) { return int(std::clamp(v, -kArgumentLimit, kArgumentLimit)); }

CEqnToken HookToken(EHook hook, int arguments)
{
    CEqnToken t;
    t.instr.op = EOpCode::Hook;
    t.instr.arg = hook;
    t.instr.aux = std::uint8_t(arguments);
    if (arguments == 0) {
        t.kind = CEqnToken::Operand;
    } else {
        t.kind = CEqnToken::Prefix;
        t.precedence = kPrecPrefix;
        t.commas = arguments - 1;
    }
    return t;
}

} // namespace

CFunctionEquation::CFunctionEquation() = default;

void CFunctionEquation::Assign(const CFunctionEquation& other)
{
    if (this == &other)
        return;
    CopyDefinition(other);
    m_row = other.m_row;
    m_column = other.m_column;
    m_pTable = other.m_pTable;
    try {
        Compile();
    } catch (const CParseErr&) {
        // Stays invalid, as the original was.
    }
}

std::unique_ptr<CEquationBase> CFunctionEquation::Clone() const
{
    auto copy = std::make_unique<CFunctionEquation>();
    copy->Assign(*this);
    return copy;
}

std::optional<CEqnToken> CFunctionEquation::CreateVariable(std::string_view name)
{
    if (CompareNoCase(name, "COLUMN") == 0)
        return HookToken(kHookColumn, 0);
    if (CompareNoCase(name, "ROW") == 0)
        return HookToken(kHookRow, 0);
    if (CompareNoCase(name, "DATA") == 0)
        return HookToken(kHookData, 2);
    if (CompareNoCase(name, "VALIDDATA") == 0)
        return HookToken(kHookValidData, 2);
    if (CompareNoCase(name, "SETBLANK") == 0)
        return HookToken(kHookSetBlank, 0);
    return CEquation::CreateVariable(name);
}

bool CFunctionEquation::ReadCell(double x, double y, double& value) const
{
    if (!m_pTable || std::isnan(x) || std::isnan(y))
        return false;
    const int column = TruncatedArgument(x) - 1;
    const int row = TruncatedArgument(y);
    bool found = false;
    double v = 0.0;
    if (row == -1)
        found = m_pTable->AssociatedX(column, v);
    else
        found = m_pTable->CellNumber(column, row + 1, v);
    // A stored blank, or a NaN that a calculation left, is a missing value.
    if (!found || IsBlank(v) || std::isnan(v))
        return false;
    value = v;
    return true;
}

double* CFunctionEquation::RunHook(int code, double* sp)
{
    switch (code) {
    case kHookColumn: *sp++ = double(m_column); break;
    case kHookRow: *sp++ = double(m_row); break;
    case kHookData:
    case kHookValidData: {
        // y is on top; the result takes the place of x.
        double value = 0.0;
        const bool found = ReadCell(sp[-2], sp[-1], value);
        --sp;
        sp[-1] = code == kHookData ? (found ? value : 0.0) : (found ? -1.0 : 0.0);
        break;
    }
    case kHookSetBlank: throw CBlankError();
    default: break;
    }
    return sp;
}
