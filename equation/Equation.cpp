#include "equation/Equation.h"

#include "equation/EquationMath.h"
#include "equation/EquationParamDef.h"
#include "equation/EquationTransform.h"
#include "equation/MyError.h"
#include "framework/ArchiveHelpers.h"
#include "framework/DoubleColumns.h"
#include "platform/Archive.h"
#include "platform/CodePage.h"

#include <algorithm>
#include <cmath>
#include <cstring>

IMPLEMENT_SERIAL(CEquation, CEquationBase, VERSIONABLE_SCHEMA | 1)

CEquation::CEquation() = default;

CEquation& CEquation::operator=(const CEquation& other)
{
    if (this != &other) {
        Copy(other);
        m_extraX = other.m_extraX;
    }
    return *this;
}

void CEquation::Invalidate()
{
    CEquationBase::Invalidate();
    m_program.Clear();
    m_reuse.params = -1;
    m_paramDefProgram.Clear();
    m_bYAssigned = false;
    m_xUsed.assign(m_xNames.size(), 0);
    m_paramUsed.assign(m_paramNames.size(), 0);
    m_constUsed.assign(m_constNames.size(), 0);
}

std::unique_ptr<CEquationBase> CEquation::Clone() const
{
    auto copy = std::make_unique<CEquation>();
    copy->CopyDefinition(*this);
    try {
        copy->Compile();
    } catch (const CParseErr&) {
        // The clone stays invalid, as its original was.
    }
    return copy;
}

void CEquation::CopyDefinition(const CEquation& other)
{
    Copy(other);
    m_localNames = other.m_localNames;
    m_strSource = other.m_strSource;
    m_formatted = other.m_formatted;
    m_strXTransform = other.m_strXTransform;
    m_strYTransform = other.m_strYTransform;
    Invalidate();
}

void CEquation::SetSource(const std::string& text)
{
    if (text != m_strSource) {
        m_strSource = text;
        Invalidate();
    }
}

void CEquation::SetXTransform(const std::string& text)
{
    if (text != m_strXTransform) {
        m_strXTransform = text;
        Invalidate();
    }
}

void CEquation::SetYTransform(const std::string& text)
{
    if (text != m_strYTransform) {
        m_strYTransform = text;
        Invalidate();
    }
}

void CEquation::ResizeValues()
{
    CEquationBase::ResizeValues();
    m_localValues.SetSize(int(m_localNames.size()));
}

void CEquation::ResetRunValues()
{
    for (int i = 0; i < m_localValues.GetSize(); ++i)
        m_localValues[i] = 0.0;
    m_result = 0.0;
}

bool CEquation::PrepareRun()
{
    if (!m_bValid)
        return false;
    // Callers are meant to resize after compiling; a forgotten resize must
    // not read past the arrays.
    if (m_paramValues.GetSize() < GetParameterCount() || m_constValues.GetSize() < GetConstantCount()
        || m_xValues.GetSize() < GetXCount() || m_localValues.GetSize() < int(m_localNames.size()))
        ResizeValues();
    return true;
}

double CEquation::Calculate()
{
    if (!PrepareRun())
        return 0.0;
    return Run(m_program);
}

double* CEquation::RunHook(int, double* sp) { return sp; }

// Out of the run loop, so that the loop keeps its counters in registers.
[[noreturn, gnu::noinline, gnu::cold]] static void StopRun(bool overBudget, std::int64_t budget)
{
    if (overBudget)
        throw CMyRunLimitError(budget);
    throw CEvaluationStopped();
}

double CEquation::Run(const SEqnProgram& program)
{
    const SEqnInstruction* const code = program.code.data();
    if (program.code.empty())
        return m_result;
    ReserveStack(program);
    const double* const pool = program.pool.data();
    const double* const xs = m_xValues.GetData();
    const double* const ps = m_paramValues.GetData();
    const double* const cs = m_constValues.GetData();
    const double* const extra = m_extraX.GetData();
    double* const locals = m_localValues.GetData();
    double* sp = m_stack.data();
    const double* const sources[kSourceCount] = {pool, xs, ps, cs, locals, extra, m_named, &m_result};
    // With no stop flag, one that never turns true: a jump then tests it
    // without a null test.
    static const std::atomic<bool> s_neverStop{false};
    const std::atomic<bool>& stop = m_pStop ? *m_pStop : s_neverStop;
    const std::int64_t budget = m_nBudget;
    // The budget that is left, in bytes of instructions (8 per instruction),
    // so that a jump subtracts the bytes of the straight run it ends without
    // dividing; past "more than budget instructions" it is negative. A budget
    // too large to count in bytes is never reached.
    std::int64_t left = std::clamp<std::int64_t>(budget, -1, INT64_MAX / std::int64_t(sizeof(SEqnInstruction)))
        * std::int64_t(sizeof(SEqnInstruction));
    const SEqnInstruction* segment = code;
    const SEqnInstruction* ip = code;
    int target = 0;

    // Every program ends with Stop (a failed compile leaves none behind), so
    // the loop needs no bounds test.
    for (;;) {
        const SEqnInstruction& in = *ip; // fields are read where a handler needs them
        switch (in.op) {
        case EOpCode::Number: *sp++ = pool[in.arg]; break;
        case EOpCode::PushY: *sp++ = m_result; break;
        case EOpCode::PushX: *sp++ = xs[in.arg]; break;
        case EOpCode::PushParam: *sp++ = ps[in.arg]; break;
        case EOpCode::PushConst: *sp++ = cs[in.arg]; break;
        case EOpCode::PushLocal: *sp++ = locals[in.arg]; break;
        case EOpCode::PushExtraX: *sp++ = extra[in.arg]; break;
        case EOpCode::PushNamed: *sp++ = m_named[in.arg]; break;
        case EOpCode::PushRandom: *sp++ = EquationUniform(); break;
        case EOpCode::PushGauss: *sp++ = EquationGaussian(); break;
        case EOpCode::Function: sp[-1] = ApplyBuiltin(EBuiltinFunction(in.arg), sp[-1]); break;
        case EOpCode::Negate: sp[-1] = -sp[-1]; break;
        case EOpCode::Add: --sp; sp[-1] = sp[-1] + sp[0]; break;
        case EOpCode::Subtract: --sp; sp[-1] = sp[-1] - sp[0]; break;
        case EOpCode::Multiply: --sp; sp[-1] = sp[-1] * sp[0]; break;
        case EOpCode::Divide:
            --sp;
            // Zero (either sign) and not-a-number divisors are errors.
            if (sp[0] == 0.0 || std::isnan(sp[0]))
                throw CMyDivideByZeroError();
            sp[-1] = sp[-1] / sp[0];
            break;
        case EOpCode::Power: --sp; sp[-1] = CheckedPow(sp[-1], sp[0]); break;
        // Comparisons: true is -1; "=", "<" and "<=" count not-a-number as true.
        case EOpCode::Equal:
            --sp;
            sp[-1] = (sp[-1] == sp[0] || std::isnan(sp[-1]) || std::isnan(sp[0])) ? -1.0 : 0.0;
            break;
        case EOpCode::Less: --sp; sp[-1] = !(sp[-1] >= sp[0]) ? -1.0 : 0.0; break;
        case EOpCode::LessEqual: --sp; sp[-1] = !(sp[-1] > sp[0]) ? -1.0 : 0.0; break;
        case EOpCode::Greater: --sp; sp[-1] = sp[-1] > sp[0] ? -1.0 : 0.0; break;
        case EOpCode::GreaterEqual: --sp; sp[-1] = sp[-1] >= sp[0] ? -1.0 : 0.0; break;
        case EOpCode::StoreY: m_result = *--sp; break;
        case EOpCode::StoreLocal: locals[in.arg] = *--sp; break;
        case EOpCode::Jump:
            target = in.arg;
            goto jump;
        case EOpCode::JumpIfFalse: {
            const double v = *--sp;
            if (v == 0.0 || std::isnan(v)) {
                target = in.arg;
                goto jump;
            }
            break;
        }
        case EOpCode::Stop: return m_result;
        case EOpCode::Hook: sp = RunHook(in.arg, sp); break;
        case EOpCode::Push: *sp++ = sources[in.aux][in.arg]; break;
        case EOpCode::AddS: sp[-1] += sources[in.aux][in.arg]; break;
        case EOpCode::SubtractS: sp[-1] -= sources[in.aux][in.arg]; break;
        case EOpCode::MultiplyS: sp[-1] *= sources[in.aux][in.arg]; break;
        case EOpCode::DivideS: {
            const double b = sources[in.aux][in.arg];
            if (b == 0.0 || std::isnan(b))
                throw CMyDivideByZeroError();
            sp[-1] /= b;
            break;
        }
        case EOpCode::Square: sp[-1] = CheckedSquare(sp[-1]); break;
        case EOpCode::Cube: sp[-1] = CheckedCube(sp[-1]); break;
        case EOpCode::PushProduct: {
            const std::uint32_t at = std::uint32_t(in.arg);
            *sp++ = sources[in.aux & 15][at & 0xFFFF] * sources[in.aux >> 4][at >> 16];
            break;
        }
        case EOpCode::AddProduct: {
            const std::uint32_t at = std::uint32_t(in.arg);
            sp[-1] += sources[in.aux & 15][at & 0xFFFF] * sources[in.aux >> 4][at >> 16];
            break;
        }
        case EOpCode::SubtractProduct: {
            const std::uint32_t at = std::uint32_t(in.arg);
            sp[-1] -= sources[in.aux & 15][at & 0xFFFF] * sources[in.aux >> 4][at >> 16];
            break;
        }
        case EOpCode::PushNegProduct: {
            const std::uint32_t at = std::uint32_t(in.arg);
            *sp++ = -(sources[in.aux & 15][at & 0xFFFF] * sources[in.aux >> 4][at >> 16]);
            break;
        }
        case EOpCode::StoreYStop: m_result = sp[-1]; return m_result;
        case EOpCode::PushSquare: *sp++ = CheckedSquare(sources[in.aux][in.arg]); break;
        case EOpCode::PushCube: *sp++ = CheckedCube(sources[in.aux][in.arg]); break;
        case EOpCode::AddToLocal: {
            const std::uint32_t at = std::uint32_t(in.arg);
            locals[at & 0xFFFF] += sources[in.aux][at >> 16];
            break;
        }
        case EOpCode::JumpUnlessEqual:
            sp -= 2;
            if (!(sp[0] == sp[1] || std::isnan(sp[0]) || std::isnan(sp[1]))) {
                target = in.arg;
                goto jump;
            }
            break;
        case EOpCode::JumpUnlessLess: // "<" is true unless a >= b
            sp -= 2;
            if (sp[0] >= sp[1]) {
                target = in.arg;
                goto jump;
            }
            break;
        case EOpCode::JumpUnlessLessEqual: // "<=" is true unless a > b
            sp -= 2;
            if (sp[0] > sp[1]) {
                target = in.arg;
                goto jump;
            }
            break;
        case EOpCode::JumpUnlessGreater:
            sp -= 2;
            if (!(sp[0] > sp[1])) {
                target = in.arg;
                goto jump;
            }
            break;
        case EOpCode::JumpUnlessGreaterEqual:
            sp -= 2;
            if (!(sp[0] >= sp[1])) {
                target = in.arg;
                goto jump;
            }
            break;
        case EOpCode::ForNextTo: {
            double& v = locals[in.wide];
            v += sources[ip[1].aux][ip[1].arg];
            // "<=" is true unless v > limit (not-a-number counts as true).
            if (!(v > sources[ip[2].aux][ip[2].arg])) {
                target = in.arg;
                goto jump;
            }
            ip += 3;
            continue;
        }
        case EOpCode::ForNextDownTo: {
            double& v = locals[in.wide];
            v += sources[ip[1].aux][ip[1].arg];
            if (v >= sources[ip[2].aux][ip[2].arg]) {
                target = in.arg;
                goto jump;
            }
            ip += 3;
            continue;
        }
        case EOpCode::StoreProductAdd: {
            double v = sources[in.aux][in.arg] * sources[ip[1].aux][ip[1].arg];
            v += sources[ip[2].aux][ip[2].arg];
            locals[in.wide] = v;
            ip += 3;
            continue;
        }
        case EOpCode::StoreProductSubtract: {
            double v = sources[in.aux][in.arg] * sources[ip[1].aux][ip[1].arg];
            v -= sources[ip[2].aux][ip[2].arg];
            locals[in.wide] = v;
            ip += 3;
            continue;
        }
        case EOpCode::CopyToLocal: locals[in.wide] = sources[in.aux][in.arg]; break;
        case EOpCode::ForEnterTo:
            if (locals[in.wide] > sources[ip[2].aux][ip[2].arg]) {
                target = in.arg;
                goto jump;
            }
            ip += 3;
            continue;
        case EOpCode::ForEnterDownTo:
            if (!(locals[in.wide] >= sources[ip[2].aux][ip[2].arg])) {
                target = in.arg;
                goto jump;
            }
            ip += 3;
            continue;
        case EOpCode::ForStartTo: {
            double& v = locals[in.wide];
            v = sources[ip[1].aux][ip[1].arg];
            if (v > sources[ip[2].aux][ip[2].arg]) {
                target = in.arg;
                goto jump;
            }
            ip += 3;
            continue;
        }
        case EOpCode::ForStartDownTo: {
            double& v = locals[in.wide];
            v = sources[ip[1].aux][ip[1].arg];
            if (!(v >= sources[ip[2].aux][ip[2].arg])) {
                target = in.arg;
                goto jump;
            }
            ip += 3;
            continue;
        }
        case EOpCode::StoreYProduct: {
            const std::uint32_t at = std::uint32_t(in.arg);
            m_result = sources[in.aux & 15][at & 0xFFFF] * sources[in.aux >> 4][at >> 16];
            break;
        }
        case EOpCode::StoreYProductStop: {
            const std::uint32_t at = std::uint32_t(in.arg);
            m_result = sources[in.aux & 15][at & 0xFFFF] * sources[in.aux >> 4][at >> 16];
            return m_result;
        }
        case EOpCode::Operand: break; // skipped by the instruction before it
        default: __builtin_unreachable();
        }
        ++ip;
        continue;
    jump:
        // Counts the instructions of the straight run that the jump ends;
        // a run past the budget, or a caller that asks to stop, ends here.
        left -= reinterpret_cast<const char*>(ip + 1) - reinterpret_cast<const char*>(segment);
        if (left < 0 || stop.load(std::memory_order_relaxed))
            StopRun(left < 0, budget);
        ip = code + target;
        segment = ip;
    }
    return m_result;
}

int CEquation::CalculateEstimates(const CDoubleColumns& x, const CMyVector& y, const CMyVector&)
{
    m_strEstimateError.clear();
    // The straight line through the transformed data needs one X column and two rows.
    const int rows = std::min(x.GetColumnCount() > 0 ? x.GetRowCount() : 0, y.GetSize());
    if (x.GetColumnCount() != 1 || rows < 2)
        return 0;

    double maxY = y[0], minY = y[0], maxX = x.GetAt(0, 0), minX = x.GetAt(0, 0);
    for (int i = 1; i < rows; ++i) {
        maxY = std::max(maxY, y[i]);
        minY = std::min(minY, y[i]);
        maxX = std::max(maxX, x.GetAt(0, i));
        minX = std::min(minX, x.GetAt(0, i));
    }

    try {
        CEquationTransform transform;
        transform.Assign(*this, m_strXTransform, m_strYTransform, nullptr, 0);
        transform.SetRange(maxY, minY, maxX, minX);
        transform.CompileX();
        transform.CompileY();
        double sx = 0, sxx = 0, sy = 0, sxy = 0;
        for (int i = 0; i < rows; ++i) {
            transform.SetPoint(x.GetAt(0, i), y[i]);
            const double tx = transform.EvaluateX();
            const double ty = transform.EvaluateY();
            sx += tx;
            sxx += tx * tx;
            sy += ty;
            sxy += tx * ty;
        }
        const double n = rows;
        const double d = n * sxx - sx * sx;
        const double gradient = (n * sxy - sy * sx) / d;
        const double intercept = (sxx * sy - sxy * sx) / d;

        CEquationParamDef definitions;
        definitions.Copy(*this);
        definitions.Invalidate();
        definitions.SetRange(maxY, minY, maxX, minX);
        definitions.SetLine(intercept, gradient);
        definitions.ResizeValues();
        m_paramValues.SetSize(std::max(m_paramValues.GetSize(), GetParameterCount()));
        for (int i = 0; i < GetParameterCount(); ++i)
            m_paramValues[i] = definitions.EvaluateParameterDefinition(i);
    } catch (const CMyError& error) {
        error.GetShortMessage(m_strEstimateError);
        return 0;
    }
    return 1;
}

void CEquation::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        SerializeVersion(ar, 1);
        CEquationBase::Serialize(ar);
        m_formatted.Serialize(ar);
        ArchiveStoreStrings(ar, m_localNames);
        ar.WriteString(m_strSource);
        ar.WriteString(m_strXTransform);
        ar.WriteString(m_strYTransform);
        return;
    }
    const int version = SerializeVersion(ar, 1);
    if (version >= 1) {
        CEquationBase::Serialize(ar);
        m_formatted.Serialize(ar);
        ArchiveLoadStrings(ar, m_localNames);
        m_strSource = ar.ReadString();
        m_strXTransform = ar.ReadString();
        m_strYTransform = ar.ReadString();
    } else {
        m_formatted.Serialize(ar);
        ArchiveLoadStrings(ar, m_paramNames);
        ArchiveLoadStrings(ar, m_paramLabels);
        ArchiveLoadStrings(ar, m_xNames);
        ArchiveLoadStrings(ar, m_xLabels);
        ArchiveLoadStrings(ar, m_constNames);
        ArchiveLoadStrings(ar, m_constLabels);
        ArchiveLoadStrings(ar, m_localNames);
        ArchiveLoadStrings(ar, m_paramDefs);
        m_paramValues.Serialize(ar);
        std::int32_t lenient = 0, use = 0;
        ar >> lenient;
        m_strYName = ar.ReadString();
        m_strSource = ar.ReadString();
        ar >> use;
        m_strXTransform = ar.ReadString();
        m_strYTransform = ar.ReadString();
        m_nLenient = lenient;
        m_nUseParamDefs = use;
        m_paramLabels.resize(m_paramNames.size());
        m_xLabels.resize(m_xNames.size());
        m_constLabels.resize(m_constNames.size());
    }
    try {
        Compile();
    } catch (const CParseErr&) {
        // Loads as not valid; the user sees the error when compiling.
    }
}

namespace {

// A NUL-terminated text within a field of the old record.
std::string Field(const unsigned char* record, std::size_t offset, std::size_t width)
{
    const char* p = reinterpret_cast<const char*>(record + offset);
    std::size_t n = 0;
    while (n < width && p[n] != '\0')
        ++n;
    return Cp1252ToUtf8(std::string_view(p, n));
}

int Word(const unsigned char* record, std::size_t offset)
{
    return int(std::uint16_t(record[offset] | (record[offset + 1] << 8)));
}

} // namespace

bool CEquation::ImportOldDefinition(const unsigned char* record, std::size_t size)
{
    constexpr std::size_t kRecordSize = 5790;
    if (!record || size < kRecordSize)
        return false;
    m_nLenient = 0;
    m_bValid = false;
    // Counts beyond the record's fields would read past them.
    const int params = std::min(Word(record, 2686), 30);
    const int consts = std::min(Word(record, 2688), 10);
    const int useDefs = std::int16_t(Word(record, 3590));
    const int xs = std::clamp(int(std::int16_t(Word(record, 5788))), 0, 10);
    SetParameterCount(params);
    SetConstantCount(consts);
    SetXCount(xs);
    for (int i = 0; i < params; ++i) {
        m_paramNames[std::size_t(i)] = Field(record, 1060 + std::size_t(i) * 12, 12);
        m_paramLabels[std::size_t(i)] = Field(record, 60 + std::size_t(i) * 25, 25);
    }
    for (int i = 0; i < consts; ++i) {
        m_constNames[std::size_t(i)] = Field(record, 1540 + std::size_t(i) * 12, 12);
        m_constLabels[std::size_t(i)] = Field(record, 810 + std::size_t(i) * 25, 25);
    }
    for (int i = 0; i < xs; ++i) {
        m_xNames[std::size_t(i)] = Field(record, 1420 + std::size_t(i) * 12, 12);
        m_xLabels[std::size_t(i)].clear();
    }
    m_strYName.assign(1, 'y');
    m_strSource = Field(record, 1660, 2686 - 1660);
    m_nUseParamDefs = useDefs;
    m_strXTransform = Field(record, 3592, 61);
    m_strYTransform = Field(record, 3653, 61);
    m_paramDefs.clear();
    if (useDefs) {
        m_paramDefs.resize(std::size_t(params));
        for (int i = 0; i < params; ++i)
            m_paramDefs[std::size_t(i)] = Field(record, 3958 + std::size_t(i) * 61, 61);
    }
    try {
        Compile();
    } catch (const CParseErr&) {
    }
    return true;
}
