// The block run of a compiled program: each instruction applied to the x
// values of many points at once, so that dispatching an instruction costs
// once per block instead of once per point, and the arithmetic runs in loops
// over plain arrays that the compiler vectorises.
//
// A value of the run is either the same for every point (held once, as a
// parameter or a loop counter is) or one value per point (its lanes). Every
// point computes exactly what Run computes for it, with the same operations
// in the same order, so the results are the same bit for bit. A block whose
// points would part ways runs point by point instead, from the same start:
// a jump that some points take and others not, an error at any point (so
// that the error and the results before it are those of Run), a local or
// the result that one point reads before writing it and so takes from the
// point before, the budget and the stop flag. Nothing is kept of a block
// run that gives up.
#include "equation/Equation.h"

#include "equation/EquationMath.h"
#include "equation/MyError.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr int kMaxLanes = 1024;
// The lanes of one equation take at most this many doubles (1 MB); a
// program with too many values for kMinLanes points runs point by point.
constexpr std::size_t kLaneStoreDoubles = std::size_t(1) << 17;
constexpr int kMinLanes = 32;
// Lanes of room between the lanes of two values.
constexpr int kLanePad = 24;
// Fewer points than this run point by point: a block does not pay.
constexpr int kMinBlockPoints = 4;
constexpr double kLargest = 1.7976931348623157e308;

// What a local (or the result) went through in the current block run.
enum : unsigned char {
    kUntouched,
    kReadFirst, // read before written: the value the point before left
    kWritten,   // written: its value is the run's own
};

struct SLanes {
    const double* p; // one value per point, or null for the one value s
    double s;
};

// How many points meet the condition: 0 or n when all go the same way.
template <class F>
int Count2(SLanes a, SLanes b, int n, F f)
{
    if (!a.p && !b.p)
        return f(a.s, b.s) ? n : 0;
    int count = 0;
    if (a.p && b.p) {
        for (int l = 0; l < n; ++l)
            count += f(a.p[l], b.p[l]) ? 1 : 0;
    } else if (a.p) {
        for (int l = 0; l < n; ++l)
            count += f(a.p[l], b.s) ? 1 : 0;
    } else {
        for (int l = 0; l < n; ++l)
            count += f(a.s, b.p[l]) ? 1 : 0;
    }
    return count;
}

// The conditions of the jumps, as Run tests them (true: the jump is taken).
inline bool IsFalse(double v) { return v == 0.0 || std::isnan(v); }
inline bool NotEqual(double a, double b) { return !(a == b || std::isnan(a) || std::isnan(b)); }

// The loops over lanes, one set for each instruction set they are compiled
// for (EquationLanes.inc).
struct SLaneKernels {
    // out = a op b for the operators from Add to GreaterEqual, where a or b
    // has lanes; false on an error (a divisor of zero or not a number).
    bool (*binary[10])(double* out, SLanes a, SLanes b, int n);
    // A product and a third value, where a or b has lanes: form 0 c + a b,
    // 1 c - a b, 2 a b + c, 3 a b - c, 4 a b c, 5 a b / c; false on an error
    // (a divisor of zero or not a number).
    bool (*productSum)(double* out, SLanes a, SLanes b, SLanes c, int form, int n);
    void (*function)(EBuiltinFunction f, double* out, const double* a, int n);
    // out = x^2 or x^3; false where a finite x overflows.
    bool (*powerBy)(double* out, const double* x, bool cube, int n);
    void (*negate)(double* out, const double* a, int n);
    // The difference quotients of derivative runs: out = (up - down) / step.
    void (*quotient)(double* out, const double* up, const double* down, double step, int n);
    // Row l of d (stride doubles apart) = entry l of each of the m rows of
    // ds (lanes doubles apart).
    void (*transpose)(double* d, int stride, const double* ds, int lanes, int n, int m);
};

namespace base {
#define MX_LANE_TARGET
#include "equation/EquationLanes.inc"
#undef MX_LANE_TARGET
} // namespace base

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define MX_WIDE_LANES 1
// Four lanes to a register where the processor has AVX2. Not "fma": a fused
// multiply-add rounds once where Run rounds twice.
namespace wide {
#define MX_LANE_TARGET __attribute__((target("avx2")))
#include "equation/EquationLanes.inc"
#undef MX_LANE_TARGET
} // namespace wide
#endif

std::atomic<bool> g_wideLanes{true};
std::atomic<bool> g_reuse{true};
std::atomic<long> g_reusedRuns{0};

// Programs longer than this are not planned for reuse: the plan's table
// has a row of instructions for each parameter.
constexpr int kMaxReuseInstructions = 1 << 14;
// At most this many values a point are kept for a caller between a pass of
// values and one of derivatives: more would cost more memory than they save.
constexpr int kMaxKeptValues = 8;

const SLaneKernels& LaneKernels()
{
#ifdef MX_WIDE_LANES
    static const bool s_avx2 = __builtin_cpu_supports("avx2");
    if (s_avx2 && g_wideLanes.load(std::memory_order_relaxed))
        return wide::kKernels;
#endif
    return base::kKernels;
}

} // namespace

void CEquation::EnableWideLanes(bool on) { g_wideLanes = on; }
void CEquation::EnableReuse(bool on) { g_reuse = on; }
long CEquation::ReusedRuns() { return g_reusedRuns.load(); }

// How a block run takes part in reuse: the base run keeps the values that
// the plan names (slot), a derivative run of parameter k takes them where
// its row of the plan says (skip).
struct CEquation::SReuseRun {
    SReusePlan& plan;
    const int* skip; // null: the base run, which keeps the values
    // Where the values are kept: the plan's own store (slot k's lanes at
    // k * stride, or its one value where the plan marks it uniform), or a
    // caller's (external: always lanes, slot k's at k * stride).
    double* store;
    std::size_t stride;
    bool external;
};

struct CEquation::SBlockRun {
    CEquation& eq;
    const double* const* columns;
    int columnCount;
    int n;
    bool strict;
    int slots;  // stack slots; value slots + k is local k, value slots + locals the result
    int locals;
    const double** ref;
    double* scalar;
    double** owned;
    unsigned char* state; // per local, then the result
    const SReuseRun* reuse;
    const SLaneKernels& lanes = LaneKernels();

    SLanes Value(int v) const { return {ref[v], scalar[v]}; }
    void Set(int v, SLanes a)
    {
        ref[v] = a.p;
        scalar[v] = a.s;
    }
    void SetUniform(int v, double s)
    {
        ref[v] = nullptr;
        scalar[v] = s;
    }
    // The lanes that value v computes into; the inputs are taken before.
    double* Out(int v)
    {
        ref[v] = owned[v];
        return owned[v];
    }

    bool Source(int aux, int arg, SLanes& v)
    {
        switch (ESource(aux)) {
        case srcPool: v = {nullptr, m_pool[arg]}; return true;
        case srcX: v = arg < columnCount ? SLanes{columns[arg], 0.0} : SLanes{nullptr, eq.m_xValues[arg]}; return true;
        case srcParam: v = {nullptr, eq.m_paramValues[arg]}; return true;
        case srcConst: v = {nullptr, eq.m_constValues[arg]}; return true;
        case srcLocal: return Read(arg, v);
        case srcExtraX: v = {nullptr, eq.m_extraX[arg]}; return true;
        case srcNamed: v = {nullptr, eq.m_named[arg]}; return true;
        case srcY: return Read(locals, v);
        case kSourceCount: break;
        }
        return false;
    }
    bool Source(const SEqnInstruction& in, SLanes& v) { return Source(in.aux, in.arg, v); }

    // Whether value arg of source aux has lanes, read without reading it.
    bool Varies(int aux, int arg) const
    {
        switch (ESource(aux)) {
        case srcX: return arg < columnCount;
        case srcLocal: return state[arg] == kWritten && ref[slots + arg];
        case srcY: return state[locals] == kWritten && ref[slots + locals];
        default: return false;
        }
    }

    // Local k (locals: the result) as this run has it.
    bool Read(int k, SLanes& v)
    {
        if (state[k] == kWritten) {
            v = Value(slots + k);
            return true;
        }
        // What the point before left: the same for every point as long as
        // no point writes it (then the block gives up).
        if (strict)
            return false;
        state[k] = kReadFirst;
        v = {nullptr, k < locals ? eq.m_localValues[k] : eq.m_result};
        return true;
    }

    // Makes local k ready for a new value while live stack slots are in use.
    bool BeginWrite(int k, int live)
    {
        if (state[k] == kReadFirst)
            return false;
        state[k] = kWritten;
        const int v = slots + k;
        for (int s = 0; s < live; ++s) {
            if (ref[s] == owned[v]) {
                std::memcpy(owned[s], owned[v], sizeof(double) * std::size_t(n));
                ref[s] = owned[s];
            }
        }
        return true;
    }

    // Local k = a, which stack slot from (-1: none) held.
    bool Store(int k, SLanes a, int from, int live)
    {
        if (!BeginWrite(k, live))
            return false;
        const int v = slots + k;
        if (!a.p) {
            SetUniform(v, a.s);
        } else if (a.p == owned[v]) {
            ref[v] = owned[v];
        } else if (from >= 0 && a.p == owned[from]) {
            // The slot is free again: the local takes its lanes.
            std::swap(owned[from], owned[v]);
            ref[v] = owned[v];
        } else {
            std::memcpy(owned[v], a.p, sizeof(double) * std::size_t(n));
            ref[v] = owned[v];
        }
        return true;
    }

    // dst = a op b for the operators from Add to GreaterEqual; false on an error.
    bool Binary(EOpCode op, int dst, SLanes a, SLanes b)
    {
        const int k = int(op) - int(EOpCode::Add);
        if (a.p || b.p)
            return lanes.binary[k](Out(dst), a, b, n);
        double r = 0.0;
        switch (op) {
        case EOpCode::Add: r = a.s + b.s; break;
        case EOpCode::Subtract: r = a.s - b.s; break;
        case EOpCode::Multiply: r = a.s * b.s; break;
        case EOpCode::Divide:
            // Zero (either sign) and not-a-number divisors are errors.
            if (!(std::fabs(b.s) > 0.0))
                return false;
            r = a.s / b.s;
            break;
        case EOpCode::Power: r = CheckedPow(a.s, b.s); break;
        case EOpCode::Equal: r = NotEqual(a.s, b.s) ? 0.0 : -1.0; break;
        case EOpCode::Less: r = !(a.s >= b.s) ? -1.0 : 0.0; break;
        case EOpCode::LessEqual: r = !(a.s > b.s) ? -1.0 : 0.0; break;
        case EOpCode::Greater: r = a.s > b.s ? -1.0 : 0.0; break;
        case EOpCode::GreaterEqual: r = a.s >= b.s ? -1.0 : 0.0; break;
        default: return false;
        }
        SetUniform(dst, r);
        return true;
    }

    // dst = a product and c in one of the forms of SLaneKernels::productSum,
    // the product rounded first as Run rounds it; false on an error.
    bool ProductSum(int dst, SLanes a, SLanes b, SLanes c, int form)
    {
        if (a.p || b.p)
            return lanes.productSum(Out(dst), a, b, c, form, n);
        const SLanes product{nullptr, a.s * b.s};
        static constexpr EOpCode kOps[] = {EOpCode::Add, EOpCode::Subtract, EOpCode::Add,
                                           EOpCode::Subtract, EOpCode::Multiply, EOpCode::Divide};
        return form < 2 ? Binary(kOps[form], dst, c, product) : Binary(kOps[form], dst, product, c);
    }

    static constexpr int kNoForm = -2; // a value could not be read: the block gives up
    // The form in which instruction next combines the product on the top of
    // the stack with a simple value c, which it reads; -1 when it does not.
    int FusedForm(const SEqnInstruction& next, SLanes& c)
    {
        int form = -1;
        switch (next.op) {
        case EOpCode::AddS: form = 2; break;
        case EOpCode::SubtractS: form = 3; break;
        case EOpCode::MultiplyS: form = 4; break;
        case EOpCode::DivideS: form = 5; break;
        case EOpCode::AddProduct:
        case EOpCode::SubtractProduct: {
            // Only a product that is the same for every point.
            const std::uint32_t at = std::uint32_t(next.arg);
            if (Varies(next.aux & 15, int(at & 0xFFFF)) || Varies(next.aux >> 4, int(at >> 16)))
                return -1;
            SLanes d, e;
            if (!Source(next.aux & 15, int(at & 0xFFFF), d) || !Source(next.aux >> 4, int(at >> 16), e))
                return kNoForm;
            if (d.p || e.p)
                return kNoForm; // not reached: Varies said otherwise
            c = {nullptr, d.s * e.s};
            return next.op == EOpCode::AddProduct ? 2 : 3;
        }
        default: return -1;
        }
        return Source(next, c) ? form : kNoForm;
    }

    void Function(EBuiltinFunction f, int v)
    {
        const SLanes a = Value(v);
        if (!a.p)
            SetUniform(v, ApplyBuiltin(f, a.s));
        else
            lanes.function(f, Out(v), a.p, n);
    }

    // dst = a^2 or a^3 by multiplication; false where a finite value overflows.
    bool Power(int dst, SLanes a, bool cube)
    {
        if (!a.p) {
            SetUniform(dst, cube ? CheckedCube(a.s) : CheckedSquare(a.s));
            return true;
        }
        return lanes.powerBy(Out(dst), a.p, cube, n);
    }

    void Negate(int v)
    {
        const SLanes a = Value(v);
        if (!a.p)
            SetUniform(v, -a.s);
        else
            lanes.negate(Out(v), a.p, n);
    }

    // Where a jump goes: 1 taken by every point, 0 by none, -1 parted.
    template <class F>
    int Taken(SLanes a, SLanes b, F f) const
    {
        const int count = Count2(a, b, n, f);
        return count == n ? 1 : count == 0 ? 0 : -1;
    }

    bool Finish(double* out)
    {
        SLanes y;
        if (!Read(locals, y))
            return false;
        if (y.p)
            std::memcpy(out, y.p, sizeof(double) * std::size_t(n));
        else
            std::fill(out, out + n, y.s);
        // What the last point leaves behind.
        for (int k = 0; k <= locals; ++k) {
            if (state[k] != kWritten)
                continue;
            const SLanes v = Value(slots + k);
            (k < locals ? eq.m_localValues[k] : eq.m_result) = v.p ? v.p[n - 1] : v.s;
        }
        for (int j = 0; j < columnCount; ++j)
            eq.m_xValues[j] = columns[j][n - 1];
        return true;
    }

    // The base run keeps value v in slot k of the plan; a derivative run
    // takes it from there.
    void KeepValue(int k, SLanes v)
    {
        double* const to = reuse->store + std::size_t(k) * reuse->stride;
        if (reuse->external) {
            // Lanes of one value compute as that value in every lane.
            if (v.p)
                std::memcpy(to, v.p, sizeof(double) * std::size_t(n));
            else
                std::fill(to, to + n, v.s);
            return;
        }
        SReusePlan& plan = reuse->plan;
        plan.uniform[std::size_t(k)] = v.p ? 0 : 1;
        plan.scalar[std::size_t(k)] = v.s;
        if (v.p)
            std::memcpy(to, v.p, sizeof(double) * std::size_t(n));
    }
    SLanes KeptValue(int k) const
    {
        if (!reuse->external && reuse->plan.uniform[std::size_t(k)])
            return {nullptr, reuse->plan.scalar[std::size_t(k)]};
        return {reuse->store + std::size_t(k) * reuse->stride, 0.0};
    }

    bool Go(const SEqnProgram& program, double* out);

    const double* m_pool = nullptr;
};

bool CEquation::SBlockRun::Go(const SEqnProgram& program, double* out)
{
    const SEqnInstruction* const code = program.code.data();
    m_pool = program.pool.data();
    static const std::atomic<bool> s_neverStop{false};
    const std::atomic<bool>& stop = eq.m_pStop ? *eq.m_pStop : s_neverStop;
    // The budget as Run counts it; every point runs the same instructions.
    std::int64_t left = std::clamp<std::int64_t>(eq.m_nBudget, -1, INT64_MAX / std::int64_t(sizeof(SEqnInstruction)))
        * std::int64_t(sizeof(SEqnInstruction));
    const SEqnInstruction* segment = code;
    const SEqnInstruction* ip = code;
    int target = 0;
    int sp = 0; // the stack holds value slots 0 .. sp - 1
    SLanes a, b, c;
    int taken = 0;

    // The plan covers programs without jumps: every instruction runs once,
    // in order, so the one before ip is the one that has just finished.
    const int* const keep = reuse && !reuse->skip ? reuse->plan.slot.data() : nullptr;
    const int* const take = reuse ? reuse->skip : nullptr;
    for (;;) {
        if (keep && ip != code && keep[ip - code - 1] >= 0)
            KeepValue(keep[ip - code - 1], Value(sp - 1));
        if (take && take[ip - code] >= 0) {
            const int last = take[ip - code];
            Set(sp++, KeptValue(reuse->plan.slot[std::size_t(last)]));
            ip = code + last + 1;
            continue;
        }
        const SEqnInstruction& in = *ip;
        int skip = 1; // the slots of the instruction, passed when its jump is not taken
        switch (in.op) {
        case EOpCode::Number: SetUniform(sp++, m_pool[in.arg]); break;
        case EOpCode::PushY:
            if (!Read(locals, a))
                return false;
            Set(sp++, a);
            break;
        case EOpCode::PushX: Source(srcX, in.arg, a); Set(sp++, a); break;
        case EOpCode::PushParam: SetUniform(sp++, eq.m_paramValues[in.arg]); break;
        case EOpCode::PushConst: SetUniform(sp++, eq.m_constValues[in.arg]); break;
        case EOpCode::PushLocal:
            if (!Read(in.arg, a))
                return false;
            Set(sp++, a);
            break;
        case EOpCode::PushExtraX: SetUniform(sp++, eq.m_extraX[in.arg]); break;
        case EOpCode::PushNamed: SetUniform(sp++, eq.m_named[in.arg]); break;
        case EOpCode::PushRandom:
        case EOpCode::PushGauss:
        case EOpCode::Hook: return false; // BlockLanes keeps these programs out
        case EOpCode::Function: Function(EBuiltinFunction(in.arg), sp - 1); break;
        case EOpCode::Negate: Negate(sp - 1); break;
        case EOpCode::Add:
        case EOpCode::Subtract:
        case EOpCode::Multiply:
        case EOpCode::Divide:
        case EOpCode::Power:
        case EOpCode::Equal:
        case EOpCode::Less:
        case EOpCode::LessEqual:
        case EOpCode::Greater:
        case EOpCode::GreaterEqual:
            --sp;
            if (!Binary(in.op, sp - 1, Value(sp - 1), Value(sp)))
                return false;
            break;
        case EOpCode::StoreY:
            --sp;
            if (!Store(locals, Value(sp), sp, sp))
                return false;
            break;
        case EOpCode::StoreLocal:
            --sp;
            if (!Store(in.arg, Value(sp), sp, sp))
                return false;
            break;
        case EOpCode::Jump: target = in.arg; goto jump;
        case EOpCode::JumpIfFalse:
            --sp;
            taken = Taken(Value(sp), SLanes{nullptr, 0.0}, [](double v, double) { return IsFalse(v); });
            goto branch;
        case EOpCode::Stop: return Finish(out);
        case EOpCode::Push:
            if (!Source(in, a))
                return false;
            Set(sp++, a);
            break;
        case EOpCode::AddS:
        case EOpCode::SubtractS:
        case EOpCode::MultiplyS:
        case EOpCode::DivideS: {
            static constexpr EOpCode kPlain[] = {EOpCode::Add, EOpCode::Subtract, EOpCode::Multiply, EOpCode::Divide};
            if (!Source(in, b) || !Binary(kPlain[int(in.op) - int(EOpCode::AddS)], sp - 1, Value(sp - 1), b))
                return false;
            break;
        }
        case EOpCode::Square:
        case EOpCode::Cube:
            if (!Power(sp - 1, Value(sp - 1), in.op == EOpCode::Cube))
                return false;
            break;
        case EOpCode::PushProduct:
        case EOpCode::AddProduct:
        case EOpCode::SubtractProduct:
        case EOpCode::PushNegProduct:
        case EOpCode::StoreYProduct:
        case EOpCode::StoreYProductStop: {
            const std::uint32_t at = std::uint32_t(in.arg);
            if (!Source(in.aux & 15, int(at & 0xFFFF), a) || !Source(in.aux >> 4, int(at >> 16), b))
                return false;
            if (in.op == EOpCode::AddProduct || in.op == EOpCode::SubtractProduct) {
                ProductSum(sp - 1, a, b, Value(sp - 1), in.op == EOpCode::AddProduct ? 0 : 1);
                break;
            }
            // The base run of a reuse keeps the product itself where the plan asks.
            if (in.op == EOpCode::PushProduct && (a.p || b.p) && !(keep && keep[ip - code] >= 0)) {
                // A product of lanes that the next instruction combines with
                // a simple value: both in one pass over the lanes.
                const int form = FusedForm(ip[1], c);
                if (form == kNoForm)
                    return false;
                if (form >= 0) {
                    if (!ProductSum(sp++, a, b, c, form))
                        return false;
                    ip += 2;
                    continue;
                }
            }
            // The product goes to the slot above the top (the stack keeps
            // one slot of headroom), then on as the instruction says.
            Binary(EOpCode::Multiply, sp, a, b);
            switch (in.op) {
            case EOpCode::PushProduct: ++sp; break;
            case EOpCode::PushNegProduct: Negate(sp++); break;
            default:
                if (!Store(locals, Value(sp), sp, sp))
                    return false;
                if (in.op == EOpCode::StoreYProductStop)
                    return Finish(out);
                break;
            }
            break;
        }
        case EOpCode::StoreYStop:
            if (!Store(locals, Value(sp - 1), sp - 1, sp - 1))
                return false;
            return Finish(out);
        case EOpCode::PushSquare:
        case EOpCode::PushCube:
            if (!Source(in, a) || !Power(sp++, a, in.op == EOpCode::PushCube))
                return false;
            break;
        case EOpCode::AddToLocal: {
            const std::uint32_t at = std::uint32_t(in.arg);
            const int k = int(at & 0xFFFF);
            if (!Source(in.aux, int(at >> 16), b) || !Read(k, a) || !BeginWrite(k, sp))
                return false;
            Binary(EOpCode::Add, slots + k, a, b);
            break;
        }
        case EOpCode::JumpUnlessEqual:
            sp -= 2;
            taken = Taken(Value(sp), Value(sp + 1), NotEqual);
            goto branch;
        case EOpCode::JumpUnlessLess:
            sp -= 2;
            taken = Taken(Value(sp), Value(sp + 1), [](double x, double y) { return x >= y; });
            goto branch;
        case EOpCode::JumpUnlessLessEqual:
            sp -= 2;
            taken = Taken(Value(sp), Value(sp + 1), [](double x, double y) { return x > y; });
            goto branch;
        case EOpCode::JumpUnlessGreater:
            sp -= 2;
            taken = Taken(Value(sp), Value(sp + 1), [](double x, double y) { return !(x > y); });
            goto branch;
        case EOpCode::JumpUnlessGreaterEqual:
            sp -= 2;
            taken = Taken(Value(sp), Value(sp + 1), [](double x, double y) { return !(x >= y); });
            goto branch;
        case EOpCode::ForNextTo:
        case EOpCode::ForNextDownTo:
            // The step is read before the local changes, the limit after.
            if (!Source(ip[1], b) || !Read(in.wide, a) || !BeginWrite(in.wide, sp))
                return false;
            Binary(EOpCode::Add, slots + in.wide, a, b);
            if (!Source(ip[2], c))
                return false;
            // Back to the body while the loop goes on.
            if (in.op == EOpCode::ForNextTo)
                taken = Taken(Value(slots + in.wide), c, [](double v, double limit) { return !(v > limit); });
            else
                taken = Taken(Value(slots + in.wide), c, [](double v, double limit) { return v >= limit; });
            skip = 3;
            goto branch;
        case EOpCode::StoreProductAdd:
        case EOpCode::StoreProductSubtract:
            if (!Source(in, a) || !Source(ip[1], b) || !Source(ip[2], c))
                return false;
            if (!BeginWrite(in.wide, sp))
                return false;
            ProductSum(slots + in.wide, a, b, c, in.op == EOpCode::StoreProductAdd ? 2 : 3);
            ip += 3;
            continue;
        case EOpCode::CopyToLocal:
            if (!Source(in, a) || !Store(in.wide, a, -1, sp))
                return false;
            break;
        case EOpCode::ForEnterTo:
        case EOpCode::ForEnterDownTo:
        case EOpCode::ForStartTo:
        case EOpCode::ForStartDownTo:
            if (in.op == EOpCode::ForStartTo || in.op == EOpCode::ForStartDownTo) {
                if (!Source(ip[1], a) || !Store(in.wide, a, -1, sp))
                    return false;
            }
            if (!Read(in.wide, a) || !Source(ip[2], c))
                return false;
            // Past the loop when it does not begin.
            if (in.op == EOpCode::ForEnterTo || in.op == EOpCode::ForStartTo)
                taken = Taken(a, c, [](double v, double limit) { return v > limit; });
            else
                taken = Taken(a, c, [](double v, double limit) { return !(v >= limit); });
            skip = 3;
            goto branch;
        case EOpCode::Operand: break; // read by the instruction before it
        default: return false;
        }
        ++ip;
        continue;
    branch:
        if (taken < 0)
            return false;
        if (!taken) {
            ip += skip;
            continue;
        }
        target = in.arg;
    jump:
        left -= reinterpret_cast<const char*>(ip + 1) - reinterpret_cast<const char*>(segment);
        if (left < 0 || stop.load(std::memory_order_relaxed))
            return false;
        ip = code + target;
        segment = ip;
    }
}

int CEquation::BlockLanes(const SEqnProgram& program)
{
    for (const SEqnInstruction& in : program.code) {
        if (in.op == EOpCode::PushRandom || in.op == EOpCode::PushGauss || in.op == EOpCode::Hook)
            return 0;
    }
    const std::size_t values = std::size_t(program.depth) + 1 + m_localNames.size() + 1;
    const std::size_t lanes = std::min<std::size_t>(kMaxLanes, kLaneStoreDoubles / values) & ~std::size_t(7);
    return lanes >= std::size_t(kMinLanes) ? int(lanes) : 0;
}

bool CEquation::RunBlock(const SEqnProgram& program, const double* const* columns, int columnCount, int n,
                         double* out, bool strict, const SReuseRun* reuse)
{
    const int slots = program.depth + 1;
    const int locals = int(m_localNames.size());
    const std::size_t values = std::size_t(slots) + std::size_t(locals) + 1;
    if (m_laneStore.size() < values * std::size_t(n))
        m_laneStore.resize(values * std::size_t(n));
    m_laneRef.assign(values, nullptr);
    m_laneScalar.assign(values, 0.0);
    m_laneOwned.resize(values);
    for (std::size_t v = 0; v < values; ++v)
        m_laneOwned[v] = m_laneStore.data() + v * std::size_t(n);
    m_laneState.assign(std::size_t(locals) + 1, kUntouched);
    SBlockRun run{*this,          columns,           columnCount,          n,
                  strict,         slots,             locals,               m_laneRef.data(),
                  m_laneScalar.data(), m_laneOwned.data(), m_laneState.data(), reuse};
    try {
        return run.Go(program, out);
    } catch (const CMyError&) {
        // A point met an error: the points run one by one and meet it there.
        return false;
    }
}

bool CEquation::PlanReuse(int params, bool central, bool known)
{
    if (!g_reuse.load(std::memory_order_relaxed))
        return false;
    if (m_reuse.params != params) {
        m_reuse.followed = FollowValues(params);
        m_reuse.params = params;
    }
    if (!m_reuse.followed)
        return false;
    // The derivative runs save what the plan skips; a base run that would not
    // run anyway costs a whole run.
    const long gain = m_reuse.saved * (central ? 2 : 1) - (known ? m_reuse.whole : 0);
    return gain * 4 >= m_reuse.whole;
}

bool CEquation::FollowValues(int params)
{
    const SEqnProgram& program = m_program;
    const int size = int(program.code.size());
    if (params < 1 || params > 64 || size > kMaxReuseInstructions)
        return false;
    SReusePlan& plan = m_reuse;
    constexpr std::uint64_t kAll = ~std::uint64_t(0);
    const std::uint64_t moved = params == 64 ? kAll : (std::uint64_t(1) << params) - 1;
    const int locals = int(m_localNames.size());
    // What each instruction costs, roughly, in the time of an addition over
    // the lanes, and the costs added up from the first instruction.
    plan.weight.assign(std::size_t(size) + 1, 0);
    for (int i = 0; i < size; ++i) {
        const EOpCode op = program.code[std::size_t(i)].op;
        const int w = op == EOpCode::Function || op == EOpCode::Power ? 16 : op == EOpCode::Divide ? 2 : 1;
        plan.weight[std::size_t(i) + 1] = plan.weight[std::size_t(i)] + w;
    }
    plan.size = size;
    plan.skip.assign(std::size_t(params) * std::size_t(size), -1);
    plan.slot.assign(std::size_t(size), -1);
    plan.keptCount = 0;
    // A local read before the program writes it holds what a point before
    // left: it counts as depending on every parameter.
    plan.localDep.assign(std::size_t(locals) + 1, kAll);
    auto sourceDep = [&](int aux, int arg) -> std::uint64_t {
        switch (ESource(aux)) {
        case srcParam: return arg >= 0 && arg < 64 ? std::uint64_t(1) << arg : kAll;
        case srcLocal: return arg >= 0 && arg < locals ? plan.localDep[std::size_t(arg)] : kAll;
        case srcY: return plan.localDep[std::size_t(locals)];
        default: return 0;
        }
    };
    auto productDep = [&](const SEqnInstruction& in) {
        const std::uint32_t at = std::uint32_t(in.arg);
        return sourceDep(in.aux & 15, int(at & 0xFFFF)) | sourceDep(in.aux >> 4, int(at >> 16));
    };
    // A value on the stack: the instruction its computation begins with, the
    // one that completes it, the parameters it depends on, and whether its
    // instructions write nothing but the stack.
    struct SValue {
        int start;
        int last;
        std::uint64_t dep;
        bool pure;
    };
    std::vector<SValue> stack;
    stack.reserve(std::size_t(program.depth) + 1);
    long saved = 0;
    // Value v goes into an instruction whose value depends on dep: for every
    // parameter in dep that v does not depend on, a derivative run takes v
    // from the base run instead of computing it.
    auto consume = [&](const SValue& v, std::uint64_t dep) {
        const std::uint64_t cut = dep & ~v.dep & moved;
        const int cost = plan.weight[std::size_t(v.last) + 1] - plan.weight[std::size_t(v.start)];
        if (!cut || !v.pure || cost < 2)
            return;
        if (plan.slot[std::size_t(v.last)] < 0)
            plan.slot[std::size_t(v.last)] = plan.keptCount++;
        for (int k = 0; k < params; ++k) {
            if (cut & (std::uint64_t(1) << k)) {
                plan.skip[std::size_t(k) * std::size_t(size) + std::size_t(v.start)] = v.last;
                saved += cost;
            }
        }
    };
    auto push = [&](int i, std::uint64_t dep) { stack.push_back({i, i, dep, true}); };
    // A value whose instructions enclose a write cannot be skipped alone.
    auto write = [&] {
        for (SValue& v : stack)
            v.pure = false;
    };
    auto modifyTop = [&](int i, std::uint64_t dep) {
        if (stack.empty())
            return false;
        SValue& top = stack.back();
        consume(top, top.dep | dep);
        top.dep |= dep;
        top.last = i;
        return true;
    };
    auto store = [&](int local) {
        if (stack.empty() || local < 0 || local > locals)
            return false;
        consume(stack.back(), kAll);
        plan.localDep[std::size_t(local)] = stack.back().dep;
        stack.pop_back();
        return true;
    };
    bool ended = false;
    for (int i = 0; i < size && !ended; ++i) {
        const SEqnInstruction& in = program.code[std::size_t(i)];
        bool ok = true;
        switch (in.op) {
        case EOpCode::Number:
        case EOpCode::PushX:
        case EOpCode::PushConst:
        case EOpCode::PushExtraX:
        case EOpCode::PushNamed: push(i, 0); break;
        case EOpCode::PushParam: push(i, sourceDep(srcParam, in.arg)); break;
        case EOpCode::PushLocal: push(i, sourceDep(srcLocal, in.arg)); break;
        case EOpCode::PushY: push(i, sourceDep(srcY, 0)); break;
        case EOpCode::Push:
        case EOpCode::PushSquare:
        case EOpCode::PushCube: push(i, sourceDep(in.aux, in.arg)); break;
        case EOpCode::PushProduct:
        case EOpCode::PushNegProduct: push(i, productDep(in)); break;
        case EOpCode::Function:
        case EOpCode::Negate:
        case EOpCode::Square:
        case EOpCode::Cube: ok = modifyTop(i, 0); break;
        case EOpCode::AddS:
        case EOpCode::SubtractS:
        case EOpCode::MultiplyS:
        case EOpCode::DivideS: ok = modifyTop(i, sourceDep(in.aux, in.arg)); break;
        case EOpCode::AddProduct:
        case EOpCode::SubtractProduct: ok = modifyTop(i, productDep(in)); break;
        case EOpCode::Add:
        case EOpCode::Subtract:
        case EOpCode::Multiply:
        case EOpCode::Divide:
        case EOpCode::Power:
        case EOpCode::Equal:
        case EOpCode::Less:
        case EOpCode::LessEqual:
        case EOpCode::Greater:
        case EOpCode::GreaterEqual: {
            if (stack.size() < 2) {
                ok = false;
                break;
            }
            const SValue b = stack.back();
            stack.pop_back();
            SValue& a = stack.back();
            const std::uint64_t dep = a.dep | b.dep;
            consume(a, dep);
            consume(b, dep);
            a = {a.start, i, dep, a.pure && b.pure};
            break;
        }
        case EOpCode::StoreY:
            ok = store(locals);
            write();
            break;
        case EOpCode::StoreLocal:
            ok = store(in.arg);
            write();
            break;
        case EOpCode::StoreYStop:
            ok = store(locals);
            ended = true;
            break;
        case EOpCode::StoreYProduct:
        case EOpCode::StoreYProductStop:
            plan.localDep[std::size_t(locals)] = productDep(in);
            write();
            ended = in.op == EOpCode::StoreYProductStop;
            break;
        case EOpCode::AddToLocal: {
            const std::uint32_t at = std::uint32_t(in.arg);
            const int k = int(at & 0xFFFF);
            ok = k < locals;
            if (ok)
                plan.localDep[std::size_t(k)] |= sourceDep(in.aux, int(at >> 16));
            write();
            break;
        }
        case EOpCode::CopyToLocal:
            ok = in.wide < locals;
            if (ok)
                plan.localDep[in.wide] = sourceDep(in.aux, in.arg);
            write();
            break;
        case EOpCode::StoreProductAdd:
        case EOpCode::StoreProductSubtract:
            ok = in.wide < locals && i + 2 < size;
            if (ok) {
                const SEqnInstruction* operands = &program.code[std::size_t(i)];
                plan.localDep[in.wide] = sourceDep(in.aux, in.arg) | sourceDep(operands[1].aux, operands[1].arg)
                    | sourceDep(operands[2].aux, operands[2].arg);
            }
            write();
            i += 2;
            break;
        case EOpCode::Stop: ended = true; break;
        default: ok = false; break; // jumps, loops and what runs point by point
        }
        if (!ok)
            return false;
    }
    plan.whole = plan.weight[std::size_t(size)];
    plan.saved = saved;
    return ended;
}

int CEquation::KeptValueCount(int params)
{
    if (!PrepareRun() || BlockLanes(m_program) == 0 || !PlanReuse(params, false, false))
        return 0;
    return m_reuse.keptCount <= kMaxKeptValues ? m_reuse.keptCount : 0;
}

void CEquation::CalculatePoints(const double* const* columns, int columnCount, int count, double* out,
                                SKeptValues* keep)
{
    if (keep)
        keep->complete = false;
    const int lanes = count >= kMinBlockPoints && PrepareRun() ? BlockLanes(m_program) : 0;
    if (lanes == 0) {
        CEquationBase::CalculatePoints(columns, columnCount, count, out);
        return;
    }
    // Kept only as KeptValueCount planned them, for every point or none.
    const int params = std::min(GetParameterCount(), m_paramValues.GetSize());
    if (keep && !(keep->count > 0 && PlanReuse(params, false, false) && keep->count == m_reuse.keptCount))
        keep = nullptr;
    bool complete = true;
    columnCount = std::clamp(columnCount, 0, m_xValues.GetSize());
    m_laneColumns.resize(std::size_t(columnCount));
    const double* const* cols = m_laneColumns.data();
    for (int begin = 0; begin < count; begin += lanes) {
        const int n = std::min(lanes, count - begin);
        for (int j = 0; j < columnCount; ++j)
            m_laneColumns[std::size_t(j)] = columns[j] + begin;
        const SReuseRun keepRun{m_reuse, nullptr, keep ? keep->data + begin : nullptr, keep ? keep->stride : 0, true};
        if (!RunBlock(m_program, cols, columnCount, n, out + begin, false, keep ? &keepRun : nullptr)) {
            complete = false;
            CEquationBase::CalculatePoints(cols, columnCount, n, out + begin);
        }
    }
    if (keep)
        keep->complete = complete;
}

void CEquation::CalculatePointDerivatives(const double* const* columns, int columnCount, int count, bool central,
                                          bool known, double* values, double* derivs, int stride,
                                          const SKeptValues* kept)
{
    const int lanes = count >= kMinBlockPoints && PrepareRun() ? BlockLanes(m_program) : 0;
    if (lanes == 0) {
        CEquationBase::CalculatePointDerivatives(columns, columnCount, count, central, known, values, derivs, stride);
        return;
    }
    columnCount = std::clamp(columnCount, 0, m_xValues.GetSize());
    m_laneColumns.resize(std::size_t(columnCount));
    const double* const* cols = m_laneColumns.data();
    const int m = std::min(GetParameterCount(), m_paramValues.GetSize());
    const int locals = m_localValues.GetSize();
    // The values a run leaves behind, kept to start again point by point
    // (the locals, the result and the X values), and the strict runs' own
    // results, which reach the caller only when every run succeeds.
    const std::size_t leftover = std::size_t(locals) + 1 + std::size_t(columnCount);
    // Derivative runs may take what does not depend on the moved parameter
    // from a run at the unchanged parameters, which then runs first; when
    // that run is the one that gives the values of a central derivative, the
    // values it leaves behind are kept for the end, where it would have run.
    // Values that CalculatePoints kept at these parameters spare the run at
    // them.
    const bool given = known && kept && kept->complete && kept->count > 0;
    const bool reuse = PlanReuse(m, central, known && !given);
    const bool takeKept = given && reuse && kept->count == m_reuse.keptCount;
    const SLaneKernels& kernels = LaneKernels();
    m_laneSaved.resize(2 * leftover + std::size_t(lanes) * (4 + std::size_t(m)));
    double* const saved = m_laneSaved.data();
    double* const left = saved + leftover;
    double* const fs = left + leftover;
    double* const up = fs + lanes;
    double* const down = up + lanes;
    double* const scratch = down + lanes;
    // Derivative k of lane l at k * lanes + l, so that the quotients of one
    // parameter go over the lanes in one loop.
    double* const ds = scratch + lanes;
    double* const params = m_paramValues.GetData();
    if (reuse) {
        m_reuse.lanes.resize(std::size_t(m_reuse.keptCount) * std::size_t(lanes));
        m_reuse.scalar.resize(std::size_t(m_reuse.keptCount));
        m_reuse.uniform.resize(std::size_t(m_reuse.keptCount));
    }
    const SReuseRun keepRun{m_reuse, nullptr, m_reuse.lanes.data(), std::size_t(lanes), false};
    // The derivative run of parameter k over the points from begin takes
    // the kept values from CalculatePoints' store or from the base run's.
    auto takeRun = [&](int k, int begin) -> SReuseRun {
        const int* skip = m_reuse.skip.data() + std::size_t(k) * std::size_t(m_reuse.size);
        if (takeKept)
            return {m_reuse, skip, kept->data + begin, kept->stride, true};
        return {m_reuse, skip, m_reuse.lanes.data(), std::size_t(lanes), false};
    };
    auto snapshot = [&](double* to) {
        std::copy(m_localValues.GetData(), m_localValues.GetData() + locals, to);
        to[locals] = m_result;
        std::copy(m_xValues.GetData(), m_xValues.GetData() + columnCount, to + locals + 1);
    };
    auto restore = [&](const double* from) {
        std::copy(from, from + locals, m_localValues.GetData());
        m_result = from[locals];
        std::copy(from + locals + 1, from + leftover, m_xValues.GetData());
    };
    for (int begin = 0; begin < count; begin += lanes) {
        const int n = std::min(lanes, count - begin);
        for (int j = 0; j < columnCount; ++j)
            m_laneColumns[std::size_t(j)] = columns[j] + begin;
        snapshot(saved);
        // Strict runs: no point depends on what another left behind, so the
        // points may run parameter by parameter instead of point by point.
        // The runs go in the order that one point runs them, so that the
        // last run leaves behind what the last point would.
        double* const f = values + begin;
        const double* const base = known ? f : fs;
        bool ok = true;
        if (reuse && !takeKept) {
            ok = RunBlock(m_program, cols, columnCount, n, known ? scratch : fs, true, &keepRun);
            if (ok && central && !known)
                snapshot(left);
        } else {
            ok = known || central || RunBlock(m_program, cols, columnCount, n, fs, true);
        }
        for (int k = 0; ok && k < m; ++k) {
            const double p = params[k];
            const SReuseRun take = reuse ? takeRun(k, begin) : keepRun;
            const SReuseRun* const run = reuse ? &take : nullptr;
            double hi, lo;
            if (central) {
                CentralSteps(p, hi, lo);
                params[k] = hi;
                ok = RunBlock(m_program, cols, columnCount, n, up, true, run);
                params[k] = lo;
                ok = ok && RunBlock(m_program, cols, columnCount, n, down, true, run);
                params[k] = p;
                if (ok)
                    kernels.quotient(ds + std::size_t(k) * std::size_t(lanes), up, down, hi - lo, n);
            } else {
                hi = ForwardStep(p);
                params[k] = hi;
                ok = RunBlock(m_program, cols, columnCount, n, up, true, run);
                params[k] = p;
                if (ok)
                    kernels.quotient(ds + std::size_t(k) * std::size_t(lanes), up, base, hi - p, n);
            }
        }
        if (ok && reuse)
            g_reusedRuns.fetch_add(central ? 2 * m : m, std::memory_order_relaxed);
        if (ok && central && !known) {
            if (reuse)
                restore(left);
            else
                ok = RunBlock(m_program, cols, columnCount, n, fs, true);
        }
        double* const d = derivs + std::size_t(begin) * std::size_t(stride);
        if (ok) {
            if (!known)
                std::copy(fs, fs + n, f);
            kernels.transpose(d, stride, ds, lanes, n, m);
        } else {
            restore(saved);
            CEquationBase::CalculatePointDerivatives(cols, columnCount, n, central, known, f, d, stride);
        }
    }
}
