// The compiler of CEquation: statements line by line, expressions by an
// operator-precedence pass over the tokens.
#include "equation/Equation.h"

#include "equation/EquationMath.h"
#include "equation/EquationParamDef.h"
#include "equation/MyError.h"
#include "framework/ArchiveHelpers.h"
#include "platform/StringIds.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <unordered_map>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsIdentStart(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }

bool IsAllBlank(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), IsBlank);
}

// Offsets of text without its leading and trailing blanks.
std::pair<int, int> TrimmedRange(std::string_view text)
{
    int b = 0, e = int(text.size());
    while (b < e && IsBlank(text[std::size_t(b)]))
        ++b;
    while (e > b && IsBlank(text[std::size_t(e - 1)]))
        --e;
    return {b, e};
}

std::string_view Trim(std::string_view text)
{
    auto [b, e] = TrimmedRange(text);
    return text.substr(std::size_t(b), std::size_t(e - b));
}

bool EqualNoCase(std::string_view a, std::string_view b) { return CompareNoCase(a, b) == 0; }

// Offset of the first whole-word, case-blind occurrence of word in text, or -1.
int FindKeyword(std::string_view word, std::string_view text)
{
    if (word.empty() || text.size() < word.size())
        return -1;
    for (std::size_t i = 0; i + word.size() <= text.size(); ++i) {
        if (i > 0 && IsIdentChar(text[i - 1]))
            continue;
        const std::size_t e = i + word.size();
        if (e < text.size() && IsIdentChar(text[e]))
            continue;
        if (EqualNoCase(text.substr(i, word.size()), word))
            return int(i);
    }
    return -1;
}

int FindName(const std::vector<std::string>& names, std::string_view name)
{
    for (std::size_t i = 0; i < names.size(); ++i)
        if (EqualNoCase(names[i], name))
            return int(i);
    return -1;
}

// The key under which a name is indexed: names match without regard to ASCII case.
std::string FoldName(std::string_view name)
{
    std::string key(name);
    for (char& c : key)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return key;
}

std::string Decimal(int n)
{
    char digits[16];
    auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    return std::string(digits, end);
}

// Values an instruction takes from the stack.
int Consumes(const SEqnInstruction& in)
{
    switch (in.op) {
    case EOpCode::Function: case EOpCode::Negate: case EOpCode::StoreY: case EOpCode::StoreLocal:
    case EOpCode::JumpIfFalse: case EOpCode::AddS: case EOpCode::SubtractS: case EOpCode::MultiplyS:
    case EOpCode::DivideS: case EOpCode::Square: case EOpCode::Cube: case EOpCode::AddProduct:
    case EOpCode::SubtractProduct: case EOpCode::StoreYStop:
        return 1;
    case EOpCode::Add: case EOpCode::Subtract: case EOpCode::Multiply: case EOpCode::Divide:
    case EOpCode::Power: case EOpCode::Equal: case EOpCode::Less: case EOpCode::LessEqual:
    case EOpCode::Greater: case EOpCode::GreaterEqual: case EOpCode::JumpUnlessEqual:
    case EOpCode::JumpUnlessLess: case EOpCode::JumpUnlessLessEqual: case EOpCode::JumpUnlessGreater:
    case EOpCode::JumpUnlessGreaterEqual:
        return 2;
    case EOpCode::Hook:
        return in.aux;
    default:
        return 0;
    }
}

// The source a simple push reads, or false for any other instruction.
bool PushSource(const SEqnInstruction& in, ESource& source)
{
    switch (in.op) {
    case EOpCode::Number: source = srcPool; return true;
    case EOpCode::PushX: source = srcX; return true;
    case EOpCode::PushParam: source = srcParam; return true;
    case EOpCode::PushConst: source = srcConst; return true;
    case EOpCode::PushLocal: source = srcLocal; return true;
    case EOpCode::PushExtraX: source = srcExtraX; return true;
    case EOpCode::PushNamed: source = srcNamed; return true;
    case EOpCode::PushY: source = srcY; return true;
    case EOpCode::Push: source = ESource(in.aux); return true;
    default: return false;
    }
}

bool IsNumber(const SEqnInstruction& in)
{
    return in.op == EOpCode::Number || (in.op == EOpCode::Push && in.aux == srcPool);
}

// The value of a binary operator on two numbers, when it can be had
// without an error (errors must happen when the equation runs).
bool FoldBinary(EOpCode op, double a, double b, double& out)
{
    try {
        switch (op) {
        case EOpCode::Add: out = a + b; return true;
        case EOpCode::Subtract: out = a - b; return true;
        case EOpCode::Multiply: out = a * b; return true;
        case EOpCode::Divide:
            if (b == 0.0 || std::isnan(b))
                return false;
            out = a / b;
            return true;
        case EOpCode::Power: out = CheckedPow(a, b); return true;
        default: return false; // comparisons keep their own not-a-number rules at run time
        }
    } catch (const CMyError&) {
        return false;
    }
}

bool FoldUnary(const SEqnInstruction& in, double x, double& out)
{
    try {
        if (in.op == EOpCode::Negate) {
            out = -x;
            return true;
        }
        if (in.op == EOpCode::Function) {
            out = ApplyBuiltin(EBuiltinFunction(in.arg), x);
            return true;
        }
    } catch (const CMyError&) {
    }
    return false;
}

} // namespace

namespace {
std::atomic<bool> g_optimize{true};
}

void CEquation::EnableOptimizer(bool on) { g_optimize = on; }

bool IsValidSymbolName(std::string_view name)
{
    if (name.empty() || !IsIdentStart(name[0]))
        return false;
    return std::all_of(name.begin(), name.end(), IsIdentChar);
}

struct CEquation::CompileState {
    struct Block {
        int jump;      // the jump whose target the closing statement sets
        int increment; // FOR: start of the increment block; -1 for a fused loop end
        int start, end;
        // A FOR whose step and limit are simple values: the body's first
        // instruction and the fused end's three slots.
        int body = -1;
        SEqnInstruction next{}, step{}, limit{};
    };
    struct Label {
        std::string name;
        int index;
        int start, end;
        bool used;
    };
    struct Goto {
        std::string target;
        int jump;
        int start, end;
    };
    std::vector<Block> ifs;
    std::vector<Block> fors;
    std::vector<Label> labels;
    std::unordered_map<std::string, std::size_t> labelIndex; // folded name -> labels entry
    std::vector<Goto> gotos;
    bool expressionLine = false;
    int base = 0; // offset of the expression being compiled
};

void CEquation::Fail(int id, int start, int end, std::string text)
{
    m_nColumn = start;
    m_nPosition = end;
    throw CParseErr(id, std::move(text), start, end);
}

void CEquation::Reset()
{
    m_output.clear();
    m_operators.clear();
    m_nOpenParens = 0;
    m_nCommasExpected = 0;
    m_bOperandExpected = true;
    m_nColumn = 0;
    m_nPosition = 0;
}

void CEquation::Append(SEqnProgram& program, EOpCode op, int arg)
{
    SEqnInstruction in;
    in.op = op;
    in.arg = arg;
    program.code.push_back(in);
}

void CEquation::Emit(SEqnProgram& program, const CEqnToken& token)
{
    SEqnInstruction in = token.instr;
    if (in.op == EOpCode::Number) {
        in.arg = int(program.pool.size());
        program.pool.push_back(token.number);
    }
    program.code.push_back(in);
}

int CEquation::ComputeDepth(const SEqnProgram& program)
{
    // Every statement leaves the stack empty and every jump lands on a
    // statement boundary, so a straight scan sees every depth there is.
    int depth = 0, most = 0;
    for (const SEqnInstruction& in : program.code) {
        depth = std::max(depth + StackEffect(in), 0);
        most = std::max(most, depth);
    }
    return most;
}

int CEquation::FindLocal(std::string_view name) const
{
    auto it = m_localIndex.find(FoldName(name));
    return it == m_localIndex.end() ? -1 : it->second;
}

int CEquation::FindVariable(std::string_view name)
{
    // Looked up through an index: an equation may have tens of thousands of
    // locals, and a list search per name would make compiling quadratic.
    auto [it, added] = m_localIndex.try_emplace(FoldName(name), int(m_localNames.size()));
    if (added) {
        if (int(m_localNames.size()) >= kMaxLocals)
            Fail(IDS_PARSE_TOO_LARGE, m_nColumn, m_nPosition, "200,000 variables");
        m_localNames.emplace_back(name);
    }
    return it->second;
}

std::optional<CEqnToken> CEquation::CreateVariable(std::string_view name)
{
    CEqnToken t;
    EBuiltinFunction f;
    if (FindBuiltinFunction(name, f)) {
        t.kind = CEqnToken::Prefix;
        t.precedence = kPrecPrefix;
        t.instr.op = EOpCode::Function;
        t.instr.arg = int(f);
        return t;
    }
    t.kind = CEqnToken::Operand;
    if (EqualNoCase(name, "_RND_"))
        t.instr.op = EOpCode::PushRandom;
    else if (EqualNoCase(name, "_GRND_"))
        t.instr.op = EOpCode::PushGauss;
    else if (EqualNoCase(name, "_PI_") || EqualNoCase(name, "_E_")) {
        t.instr.op = EOpCode::Number;
        t.number = EqualNoCase(name, "_PI_") ? kEquationPi : kEquationE;
    } else
        return std::nullopt;
    return t;
}

CEqnToken CEquation::NextToken(std::string_view text, int& pos)
{
    const int n = int(text.size());
    while (pos < n && IsBlank(text[std::size_t(pos)]))
        ++pos;
    CEqnToken t;
    t.start = pos;
    if (pos >= n) {
        t.kind = CEqnToken::End;
        t.end = pos;
        return t;
    }
    const char c = text[std::size_t(pos)];
    auto single = [&](CEqnToken::Kind kind, int precedence, EOpCode op = EOpCode::Stop) {
        t.kind = kind;
        t.precedence = precedence;
        t.instr.op = op;
        t.end = ++pos;
        return t;
    };
    switch (c) {
    case '(': return single(CEqnToken::OpenParen, kPrecParen);
    case ')': return single(CEqnToken::CloseParen, kPrecParen);
    case '*': return single(CEqnToken::Binary, kPrecMultiply, EOpCode::Multiply);
    case '/': return single(CEqnToken::Binary, kPrecMultiply, EOpCode::Divide);
    case '+': return single(CEqnToken::Plus, kPrecAdd, EOpCode::Add);
    case '-': return single(CEqnToken::Minus, kPrecAdd, EOpCode::Subtract);
    case ',': return single(CEqnToken::Comma, kPrecComma);
    case '=': return single(CEqnToken::Binary, kPrecAdd, EOpCode::Equal);
    case '^': return single(CEqnToken::Binary, kPrecPower, EOpCode::Power);
    case '<':
    case '>': {
        if (pos + 1 >= n)
            Fail(IDS_PARSE_SYNTAX, m_nColumn + pos, m_nColumn + pos + 1);
        const bool orEqual = text[std::size_t(pos) + 1] == '=';
        t.kind = CEqnToken::Binary;
        t.precedence = kPrecAdd;
        t.instr.op = c == '<' ? (orEqual ? EOpCode::LessEqual : EOpCode::Less)
                              : (orEqual ? EOpCode::GreaterEqual : EOpCode::Greater);
        pos += orEqual ? 2 : 1;
        t.end = pos;
        return t;
    }
    default:
        break;
    }
    if ((c >= '0' && c <= '9') || c == '.') {
        double value = 0.0;
        const int used = ScanDecimalNumber(text.substr(std::size_t(pos)), value);
        if (used == 0)
            Fail(IDS_PARSE_SYNTAX, m_nColumn + pos, m_nColumn + pos + 1);
        t.kind = CEqnToken::Operand;
        t.instr.op = EOpCode::Number;
        t.number = value;
        pos += used;
        t.end = pos;
        return t;
    }
    if (IsIdentChar(c)) {
        int e = pos;
        while (e < n && IsIdentChar(text[std::size_t(e)]))
            ++e;
        const std::string_view name = text.substr(std::size_t(pos), std::size_t(e - pos));
        t.end = e;
        t.kind = CEqnToken::Operand;
        int i;
        if (!m_strYName.empty() && EqualNoCase(name, m_strYName)) {
            t.instr.op = EOpCode::PushY;
        } else if ((i = FindName(m_xNames, name)) >= 0) {
            t.instr.op = EOpCode::PushX;
            t.instr.arg = i;
            t.usedKind = 1;
        } else if ((i = FindName(m_constNames, name)) >= 0) {
            t.instr.op = EOpCode::PushConst;
            t.instr.arg = i;
            t.usedKind = 3;
        } else if ((i = FindName(m_paramNames, name)) >= 0) {
            t.instr.op = EOpCode::PushParam;
            t.instr.arg = i;
            t.usedKind = 2;
        } else if ((i = FindLocal(name)) >= 0) {
            t.instr.op = EOpCode::PushLocal;
            t.instr.arg = i;
        } else if (auto created = CreateVariable(name)) {
            const int start = t.start;
            t = *created;
            t.start = start;
            t.end = e;
        } else {
            Fail(IDS_PARSE_UNDEFINED, m_nColumn + pos, m_nColumn + e, std::string(name));
        }
        pos = e;
        return t;
    }
    Fail(IDS_PARSE_SYNTAX, m_nColumn + pos, m_nColumn + pos + 1);
}

void CEquation::AddOperand(const CEqnToken& token)
{
    auto mark = [&](std::vector<unsigned char>& used) {
        if (token.instr.arg >= 0 && token.instr.arg < int(used.size()))
            used[std::size_t(token.instr.arg)] = 1;
    };
    if (token.usedKind == 1)
        mark(m_xUsed);
    else if (token.usedKind == 2)
        mark(m_paramUsed);
    else if (token.usedKind == 3)
        mark(m_constUsed);
    m_output.push_back(token);
    m_bOperandExpected = false;
}

void CEquation::AddOperator(const CEqnToken& token)
{
    const int p = token.precedence;
    while (!m_operators.empty()) {
        const CEqnToken& u = m_operators.back();
        if (u.IsOpenParenthesis())
            break;
        if (token.IsPrefix() && u.IsPrefix()) {
            if (p >= u.precedence)
                break; // prefix operators group to the right
        } else if (p > u.precedence) {
            break;
        }
        m_output.push_back(u);
        m_operators.pop_back();
    }
    m_operators.push_back(token);
    m_bOperandExpected = true;
}

void CEquation::PopToParenthesis()
{
    while (!m_operators.empty() && !m_operators.back().IsOpenParenthesis()) {
        m_output.push_back(m_operators.back());
        m_operators.pop_back();
    }
}

void CEquation::CloseParenthesis(const CEqnToken& token)
{
    if (m_nOpenParens == 0)
        Fail(IDS_PARSE_MISSING_OPEN, m_nColumn + token.start, m_nColumn + token.end);
    PopToParenthesis();
    if (!m_operators.empty())
        m_operators.pop_back(); // the "(" itself
    --m_nOpenParens;
}

void CEquation::ParseToken(CEqnToken& t)
{
    auto fail = [&](int id) { Fail(id, m_nColumn + t.start, m_nColumn + t.end); };
    switch (t.kind) {
    case CEqnToken::Operand:
        if (!m_bOperandExpected)
            fail(IDS_PARSE_OPERATOR_EXPECTED);
        AddOperand(t);
        break;
    case CEqnToken::Plus:
        if (m_bOperandExpected)
            break; // a unary plus changes nothing
        t.kind = CEqnToken::Binary;
        AddOperator(t);
        break;
    case CEqnToken::Minus:
        if (m_bOperandExpected) {
            t.kind = CEqnToken::Prefix;
            t.precedence = kPrecPrefix;
            t.instr.op = EOpCode::Negate;
        } else {
            t.kind = CEqnToken::Binary;
        }
        AddOperator(t);
        break;
    case CEqnToken::Binary:
        if (m_bOperandExpected)
            fail(IDS_PARSE_OPERAND_EXPECTED);
        AddOperator(t);
        break;
    case CEqnToken::Prefix:
        if (!m_bOperandExpected)
            fail(IDS_PARSE_OPERATOR_EXPECTED);
        m_nCommasExpected += t.commas;
        AddOperator(t);
        break;
    case CEqnToken::OpenParen:
        if (!m_bOperandExpected)
            fail(IDS_PARSE_OPERATOR_EXPECTED);
        m_operators.push_back(t);
        ++m_nOpenParens;
        break;
    case CEqnToken::CloseParen:
        if (m_bOperandExpected)
            fail(IDS_PARSE_OPERAND_EXPECTED);
        CloseParenthesis(t);
        break;
    case CEqnToken::Comma:
        if (m_bOperandExpected)
            fail(IDS_PARSE_OPERAND_EXPECTED);
        PopToParenthesis();
        if (--m_nCommasExpected < 0)
            fail(IDS_PARSE_TOO_MANY_COMMAS);
        m_bOperandExpected = true;
        break;
    case CEqnToken::End:
        break;
    }
}

void CEquation::CompileExpression(std::string_view text, int base, SEqnProgram& program)
{
    Reset();
    // Token offsets are relative to the expression; the column holds its
    // base so that errors name places in the whole text.
    m_nColumn = base;
    const auto [trimStart, trimEnd] = TrimmedRange(text);
    int pos = 0;
    for (;;) {
        CEqnToken t = NextToken(text, pos);
        if (t.kind == CEqnToken::End)
            break;
        ParseToken(t);
    }
    const int whole0 = base + trimStart, whole1 = base + trimEnd;
    if (m_nOpenParens > 0)
        Fail(IDS_PARSE_MISSING_CLOSE, whole0, whole1);
    if (m_nCommasExpected > 0)
        Fail(IDS_PARSE_MISSING_COMMA, whole0, whole1);
    if (m_bOperandExpected)
        Fail(IDS_PARSE_OPERAND_EXPECTED, whole0, whole1);

    const std::size_t first = program.code.size();
    for (const CEqnToken& t : m_output)
        Emit(program, t);
    for (auto it = m_operators.rbegin(); it != m_operators.rend(); ++it)
        Emit(program, *it);
    m_output.clear();
    m_operators.clear();

    // The expression must take no value it has not pushed and leave exactly
    // one: an argument list written without its parentheses could otherwise
    // hand a two-argument function a single value.
    int depth = 0;
    for (std::size_t i = first; i < program.code.size(); ++i) {
        const SEqnInstruction& in = program.code[i];
        if (depth < Consumes(in))
            Fail(IDS_PARSE_SYNTAX, whole0, whole1);
        depth += StackEffect(in);
    }
    if (depth != 1)
        Fail(IDS_PARSE_SYNTAX, whole0, whole1);
    if (g_optimize.load(std::memory_order_relaxed))
        Optimize(program, first);
}

void CEquation::Optimize(SEqnProgram& program, std::size_t first)
{
    // Rewrites the instructions of one expression (nothing jumps into it)
    // in postfix order: operators on numbers are folded, powers of 2 and 3
    // become multiplications, and an operator whose right operand is a
    // simple value reads that value itself.
    std::vector<SEqnInstruction>& code = program.code;
    std::size_t out = first;
    auto number = [&](const SEqnInstruction& in) { return program.pool[std::size_t(in.arg)]; };
    auto makeNumber = [&](double v) {
        SEqnInstruction in;
        in.op = EOpCode::Number;
        in.arg = int(program.pool.size());
        program.pool.push_back(v);
        return in;
    };
    for (std::size_t i = first; i < code.size(); ++i) {
        const SEqnInstruction in = code[i];
        const std::size_t n = out - first;
        double v = 0.0;
        // -(b x) is (-b) x exactly: the product carries the sign.
        if (in.op == EOpCode::Negate && n >= 1
            && (code[out - 1].op == EOpCode::PushProduct || code[out - 1].op == EOpCode::PushNegProduct)) {
            code[out - 1].op = code[out - 1].op == EOpCode::PushProduct ? EOpCode::PushNegProduct : EOpCode::PushProduct;
            continue;
        }
        if ((in.op == EOpCode::Negate || in.op == EOpCode::Function) && n >= 1 && IsNumber(code[out - 1])
            && FoldUnary(in, number(code[out - 1]), v)) {
            code[out - 1] = makeNumber(v);
            continue;
        }
        const bool binary = in.op == EOpCode::Add || in.op == EOpCode::Subtract || in.op == EOpCode::Multiply
            || in.op == EOpCode::Divide || in.op == EOpCode::Power;
        if (binary && n >= 2 && IsNumber(code[out - 2]) && IsNumber(code[out - 1])
            && FoldBinary(in.op, number(code[out - 2]), number(code[out - 1]), v)) {
            code[out - 2] = makeNumber(v);
            --out;
            continue;
        }
        if (in.op == EOpCode::Power && n >= 2 && IsNumber(code[out - 1])
            && (number(code[out - 1]) == 2.0 || number(code[out - 1]) == 3.0)) {
            SEqnInstruction power;
            power.op = number(code[out - 1]) == 2.0 ? EOpCode::Square : EOpCode::Cube;
            code[out - 1] = power;
            continue;
        }
        ESource source;
        if (binary && in.op != EOpCode::Power && n >= 2 && PushSource(code[out - 1], source)) {
            SEqnInstruction fused;
            fused.op = in.op == EOpCode::Add ? EOpCode::AddS
                : in.op == EOpCode::Subtract ? EOpCode::SubtractS
                : in.op == EOpCode::Multiply ? EOpCode::MultiplyS
                                             : EOpCode::DivideS;
            fused.aux = source;
            fused.arg = code[out - 1].arg;
            code[out - 1] = fused;
            if (fused.op != EOpCode::MultiplyS)
                continue;
            // (-b) x is -(b x) exactly: move the negation after the product,
            // so that the product of two values, negated or not, can be one
            // instruction.
            std::size_t k = out - 1;
            const bool negated = k >= first + 2 && code[k - 1].op == EOpCode::Negate;
            if (negated) {
                std::swap(code[k - 1], code[k]);
                --k;
            }
            ESource left;
            if (k >= first + 1 && PushSource(code[k - 1], left) && code[k - 1].arg >= 0 && code[k - 1].arg < 0x10000
                && fused.arg >= 0 && fused.arg < 0x10000) {
                SEqnInstruction product;
                product.op = EOpCode::PushProduct;
                product.aux = std::uint8_t(left | (source << 4));
                product.arg = int(std::uint32_t(code[k - 1].arg) | (std::uint32_t(fused.arg) << 16));
                if (negated)
                    product.op = EOpCode::PushNegProduct;
                code[k - 1] = product;
                out = k;
            }
            continue;
        }
        code[out++] = in;
    }
    code.resize(out);
    // Every simple push becomes the one Push instruction.
    for (std::size_t i = first; i < code.size(); ++i) {
        ESource source;
        if (code[i].op != EOpCode::Push && PushSource(code[i], source)) {
            code[i].aux = source;
            code[i].op = EOpCode::Push;
        }
    }

    // A second pass over the pushes: powers of a value, products added to
    // a sum, and commutative operators whose left operand is a simple value.
    out = first;
    for (std::size_t i = first; i < code.size(); ++i) {
        code[out++] = code[i];
        SEqnInstruction& last = code[out - 1];
        const std::size_t n = out - first;
        if ((last.op == EOpCode::Square || last.op == EOpCode::Cube) && n >= 2 && code[out - 2].op == EOpCode::Push) {
            code[out - 2].op = last.op == EOpCode::Square ? EOpCode::PushSquare : EOpCode::PushCube;
            --out;
        } else if ((last.op == EOpCode::Add || last.op == EOpCode::Subtract) && n >= 2
                   && (code[out - 2].op == EOpCode::PushProduct || code[out - 2].op == EOpCode::PushNegProduct)) {
            // t + (-p) is t - p exactly, and t - (-p) is t + p.
            const bool add = (last.op == EOpCode::Add) == (code[out - 2].op == EOpCode::PushProduct);
            code[out - 2].op = add ? EOpCode::AddProduct : EOpCode::SubtractProduct;
            --out;
        } else if ((last.op == EOpCode::Add || last.op == EOpCode::Multiply) && n >= 3) {
            // s + E = E + s and s E = E s exactly: a simple left operand s
            // moves behind the right operand E, whatever E is, and the
            // operator reads it itself. Reading s later is safe because no
            // instruction of an expression writes what a push reads.
            std::size_t start = out - 1;
            int need = 1;
            while (need > 0 && start > first)
                need -= StackEffect(code[--start]);
            if (need == 0 && start > first && code[start - 1].op == EOpCode::Push) {
                SEqnInstruction fused = code[start - 1];
                fused.op = last.op == EOpCode::Add ? EOpCode::AddS : EOpCode::MultiplyS;
                std::copy(code.begin() + std::ptrdiff_t(start), code.begin() + std::ptrdiff_t(out - 1),
                          code.begin() + std::ptrdiff_t(start - 1));
                code[out - 2] = fused;
                --out;
            }
        }
    }
    code.resize(out);
}

void CEquation::FinishProgram(SEqnProgram& program)
{
    if (!g_optimize.load(std::memory_order_relaxed))
        return;
    // A store of the result that a Stop follows ends the run itself; the
    // Stop stays, for the jumps that land on it.
    auto& code = program.code;
    for (std::size_t i = 0; i + 1 < code.size(); ++i)
        if (code[i].op == EOpCode::StoreY && code[i + 1].op == EOpCode::Stop)
            code[i].op = EOpCode::StoreYStop;
        else if (code[i].op == EOpCode::StoreYProduct && code[i + 1].op == EOpCode::Stop)
            code[i].op = EOpCode::StoreYProductStop;
}

int CEquation::AppendJumpIfFalse(SEqnProgram& program, std::size_t start)
{
    auto& code = program.code;
    if (g_optimize.load(std::memory_order_relaxed) && code.size() > start) {
        // A comparison at the root of the condition decides the jump itself.
        SEqnInstruction& last = code.back();
        EOpCode fused = EOpCode::Stop;
        switch (last.op) {
        case EOpCode::Equal: fused = EOpCode::JumpUnlessEqual; break;
        case EOpCode::Less: fused = EOpCode::JumpUnlessLess; break;
        case EOpCode::LessEqual: fused = EOpCode::JumpUnlessLessEqual; break;
        case EOpCode::Greater: fused = EOpCode::JumpUnlessGreater; break;
        case EOpCode::GreaterEqual: fused = EOpCode::JumpUnlessGreaterEqual; break;
        default: break;
        }
        if (fused != EOpCode::Stop) {
            last.op = fused;
            last.aux = 0;
            last.arg = -1;
            return int(code.size()) - 1;
        }
    }
    Append(program, EOpCode::JumpIfFalse, -1);
    return int(code.size()) - 1;
}

void CEquation::AppendStoreLocal(SEqnProgram& program, int local, std::size_t start)
{
    auto& code = program.code;
    ESource source;
    const std::size_t n = code.size();
    auto isLocal = [&](const SEqnInstruction& in) {
        return PushSource(in, source) && source == srcLocal && in.arg == local;
    };
    if (g_optimize.load(std::memory_order_relaxed) && local >= 0 && local < 0x10000) {
        // The whole right side is "local + k" (k a simple value).
        std::size_t from = 0;
        SEqnInstruction k;
        bool found = false;
        if (n >= start + 2 && n - 2 >= start && code[n - 1].op == EOpCode::AddS && isLocal(code[n - 2])) {
            from = n - 2;
            k = code[n - 1];
            found = true;
        } else if (n >= start + 3 && code[n - 1].op == EOpCode::Add && isLocal(code[n - 3])
                   && PushSource(code[n - 2], source)) {
            from = n - 3;
            k = code[n - 2];
            k.aux = source;
            found = true;
        }
        // The whole right side is "p q + r" or "p q - r": one instruction
        // computes and stores it without the stack.
        if (n == start + 2 && code[start].op == EOpCode::PushProduct
            && (code[start + 1].op == EOpCode::AddS || code[start + 1].op == EOpCode::SubtractS)) {
            const SEqnInstruction product = code[start];
            SEqnInstruction r = code[start + 1];
            const std::uint32_t at = std::uint32_t(product.arg);
            SEqnInstruction p, q;
            p.op = r.op == EOpCode::AddS ? EOpCode::StoreProductAdd : EOpCode::StoreProductSubtract;
            p.aux = std::uint8_t(product.aux & 15);
            p.arg = int(at & 0xFFFF);
            p.wide = std::uint16_t(local);
            q.op = EOpCode::Operand;
            q.aux = std::uint8_t(product.aux >> 4);
            q.arg = int(at >> 16);
            r.op = EOpCode::Operand;
            code[start] = p;
            code[start + 1] = q;
            code.push_back(r);
            return;
        }
        // The whole right side is a simple value.
        if (n == start + 1 && code[start].op == EOpCode::Push) {
            code[start].op = EOpCode::CopyToLocal;
            code[start].wide = std::uint16_t(local);
            return;
        }
        if (found && k.arg >= 0 && k.arg < 0x10000) {
            SEqnInstruction add;
            add.op = EOpCode::AddToLocal;
            add.aux = k.aux;
            add.arg = int(std::uint32_t(local) | (std::uint32_t(k.arg) << 16));
            code.resize(from);
            code.push_back(add);
            return;
        }
    }
    Append(program, EOpCode::StoreLocal, local);
}

void CEquation::CompileStandalone(const std::string& text, SEqnProgram& program)
{
    program.Clear();
    Reset();
    try {
        CompileExpression(text, 0, program);
    } catch (...) {
        program.Clear(); // never a program without its final Stop
        throw;
    }
    Append(program, EOpCode::StoreY);
    Append(program, EOpCode::Stop); // the run loop needs no bounds test
    FinishProgram(program);
    program.depth = ComputeDepth(program);
    ReserveStack(program);
}

void CEquation::CompileLine(int i)
{
    const std::string text = GetParameterDefinition(i);
    try {
        if (IsAllBlank(text))
            Fail(IDS_PARSE_PARAMDEF_MISSING, 0, 0, Decimal(i + 1));
        CompileStandalone(text, m_paramDefProgram);
    } catch (CParseErr& error) {
        error.m_nDefinition = i;
        throw;
    }
}

void CEquation::Compile()
{
    Invalidate();
    // Local names come from this source alone: names of an earlier source
    // must not linger.
    m_localNames.clear();
    m_localIndex.clear();
    try {
        CompileSource();
    } catch (...) {
        m_program.Clear(); // never a program without its final Stop
        throw;
    }
    m_localValues.SetSize(int(m_localNames.size()));
    for (int i = 0; i < m_localValues.GetSize(); ++i)
        m_localValues[i] = 0.0;
    Append(m_program, EOpCode::Stop); // the run loop needs no bounds test
    FinishProgram(m_program);
    m_program.depth = ComputeDepth(m_program);
    ReserveStack(m_program);

    if (m_nUseParamDefs) {
        CEquationParamDef definitions;
        definitions.Copy(*this);
        try {
            for (int i = 0; i < GetParameterCount(); ++i)
                definitions.CompileLine(i);
        } catch (const CParseErr& error) {
            m_nColumn = error.m_nStart;
            m_nPosition = error.m_nEnd;
            throw;
        }
    }
    m_bValid = true;
}

void CEquation::CompileSource()
{
    CompileState state;
    const std::string& src = m_strSource;
    // Far beyond any equation written by hand; a file may hold anything.
    if (src.size() > kMaxSourceBytes)
        Fail(IDS_PARSE_TOO_LARGE, 0, 0, "4,194,304 characters");
    std::size_t pos = 0;
    for (;;) {
        std::size_t end = src.find_first_of("\r\n", pos);
        if (end == std::string::npos)
            end = src.size();
        std::string line = src.substr(pos, end - pos);
        // A comment runs from ' or ; to the end of the line; it becomes blanks
        // so that offsets stay those of the source.
        const std::size_t comment = line.find_first_of("';");
        if (comment != std::string::npos)
            std::fill(line.begin() + std::ptrdiff_t(comment), line.end(), ' ');
        CompileStatement(state, line, int(pos));
        if (end >= src.size())
            break;
        pos = end + ((src[end] == '\r' && end + 1 < src.size() && src[end + 1] == '\n') ? 2 : 1);
    }

    auto& code = m_program.code;
    if (!state.ifs.empty())
        Fail(IDS_PARSE_IF_NO_ENDIF, state.ifs.back().start, state.ifs.back().end);
    if (!state.fors.empty())
        Fail(IDS_PARSE_FOR_NO_NEXT, state.fors.back().start, state.fors.back().end);
    for (const auto& g : state.gotos) {
        auto found = state.labelIndex.find(FoldName(g.target));
        if (found == state.labelIndex.end())
            Fail(IDS_PARSE_GOTO_NO_LABEL, g.start, g.end);
        CompileState::Label& label = state.labels[found->second];
        code[std::size_t(g.jump)].arg = label.index;
        label.used = true;
    }
    if (!m_bYAssigned)
        Fail(IDS_PARSE_NO_Y, 0, int(src.size()));
    for (const auto& l : state.labels)
        if (!l.used)
            Fail(IDS_PARSE_LABEL_UNUSED, l.start, l.end);
    if (!m_nLenient) {
        for (std::size_t i = 0; i < m_xUsed.size(); ++i)
            if (!m_xUsed[i])
                Fail(IDS_PARSE_X_UNUSED, 0, 0, m_xNames[i]);
        for (std::size_t i = 0; i < m_paramUsed.size(); ++i)
            if (!m_paramUsed[i])
                Fail(IDS_PARSE_PARAM_UNUSED, 0, 0, m_paramNames[i]);
        for (std::size_t i = 0; i < m_constUsed.size(); ++i)
            if (!m_constUsed[i])
                Fail(IDS_PARSE_CONST_UNUSED, 0, 0, m_constNames[i]);
    }
}

void CEquation::CompileStatement(CompileState& state, const std::string& line, int lineStart)
{
    auto [first, last] = TrimmedRange(line);
    if (first == last)
        return;
    const int lineFrom = lineStart + first, lineTo = lineStart + last;
    m_nColumn = lineFrom;
    m_nPosition = lineTo;
    auto failLine = [&](int id) { Fail(id, lineFrom, lineTo); };
    auto& code = m_program.code;
    const std::string_view text(line);
    auto expression = [&](std::size_t from, std::size_t to) {
        CompileExpression(text.substr(from, to - from), lineStart + int(from), m_program);
    };
    auto storeY = [&] {
        // A statement starts with an empty stack, so a product pushed last
        // is the whole expression: it goes to the result directly.
        if (g_optimize.load(std::memory_order_relaxed) && !code.empty() && code.back().op == EOpCode::PushProduct)
            code.back().op = EOpCode::StoreYProduct;
        else
            Append(m_program, EOpCode::StoreY);
        m_bYAssigned = true;
    };

    // Label: ":name", nothing but blanks after the name.
    if (line[std::size_t(first)] == ':') {
        std::size_t e = std::size_t(first) + 1;
        while (e < line.size() && !IsBlank(line[e]))
            ++e;
        const std::string name = line.substr(std::size_t(first) + 1, e - std::size_t(first) - 1);
        if (name.empty() || !IsAllBlank(text.substr(e)))
            failLine(IDS_PARSE_BAD_LABEL);
        if (!state.labelIndex.try_emplace(FoldName(name), state.labels.size()).second)
            failLine(IDS_PARSE_LABEL_TWICE);
        state.labels.push_back({name, int(code.size()), lineFrom, lineTo, false});
        return;
    }

    std::size_t wordEnd = std::size_t(first);
    while (wordEnd < line.size() && !IsBlank(line[wordEnd]))
        ++wordEnd;
    const std::string_view word = text.substr(std::size_t(first), wordEnd - std::size_t(first));
    auto is = [&](const char* keyword) { return EqualNoCase(word, keyword); };

    // Assignments: ":=" anywhere, on any line; else the first "=", unless
    // the line starts with a keyword: such a line is that statement even when
    // it holds "=" (a comparison after RETURN, or text after ELSE that must
    // be refused, not stored in a variable named "ELSE y").
    const bool keywordLine = is("FOR") || is("IF") || is("NEXT") || is("ENDIF") || is("ELSE")
        || is("RETURN") || is("GOTO");
    std::size_t assign = line.find(":=");
    std::size_t exprFrom = assign + 2;
    if (assign == std::string::npos && !keywordLine) {
        assign = line.find('=');
        exprFrom = assign + 1;
    }
    if (assign != std::string::npos) {
        const std::string target(Trim(text.substr(0, assign)));
        const auto [b, e] = TrimmedRange(text.substr(0, assign));
        if (target.empty())
            Fail(IDS_PARSE_OPERAND_EXPECTED, lineStart + b, lineStart + e);
        const bool toY = !m_strYName.empty() && EqualNoCase(target, m_strYName);
        const int local = toY || !IsValidSymbolName(target) ? -1 : FindVariable(target);
        const std::size_t start = code.size();
        // The expression first, so that its faults are found where they stand
        // ("FOR i := 1 TO 3" names TO, an undefined symbol); a target that is
        // no name is refused after it.
        expression(exprFrom, line.size());
        if (!toY && local < 0)
            Fail(IDS_PARSE_SYNTAX, lineStart + b, lineStart + e);
        if (toY)
            storeY();
        else
            AppendStoreLocal(m_program, local, start);
        return;
    }

    if (is("FOR")) {
        std::size_t p = wordEnd;
        while (p < line.size() && IsBlank(line[p]))
            ++p;
        const std::size_t varFrom = p;
        while (p < line.size() && !IsBlank(line[p]) && line[p] != '=')
            ++p;
        const std::string var = line.substr(varFrom, p - varFrom);
        while (p < line.size() && (IsBlank(line[p]) || line[p] == '='))
            ++p;
        const std::string_view rest = text.substr(p);
        bool down = false;
        int keyword = FindKeyword("TO", rest);
        std::size_t keywordLength = 2;
        if (keyword < 0) {
            keyword = FindKeyword("DOWNTO", rest);
            down = true;
            keywordLength = 6;
        }
        if (keyword < 0)
            failLine(IDS_PARSE_FOR_NO_TO);
        const std::size_t startFrom = p, startTo = p + std::size_t(keyword);
        std::size_t limitFrom = startTo + keywordLength, limitTo = line.size();
        std::size_t stepFrom = 0, stepTo = 0;
        const int step = FindKeyword("STEP", text.substr(limitFrom));
        if (step >= 0) {
            stepFrom = limitFrom + std::size_t(step) + 4;
            stepTo = line.size();
            limitTo = limitFrom + std::size_t(step);
            if (IsAllBlank(text.substr(stepFrom)))
                failLine(IDS_PARSE_FOR_NO_STEP);
            if (IsAllBlank(text.substr(limitFrom, limitTo - limitFrom)))
                failLine(IDS_PARSE_FOR_NO_TO_VALUE);
        }
        if (IsAllBlank(text.substr(limitFrom, limitTo - limitFrom)))
            failLine(IDS_PARSE_FOR_INVALID);
        if (!IsValidSymbolName(var))
            failLine(IDS_PARSE_FOR_INVALID);

        const int v = FindVariable(var);
        const std::size_t startAt = code.size();
        expression(startFrom, startTo);
        AppendStoreLocal(m_program, v, startAt);
        if (g_optimize.load(std::memory_order_relaxed) && v >= 0) {
            // A step and a limit that are simple values let the loop end in
            // one instruction that steps, tests and jumps back to the body,
            // and enter through one that tests. Both are compiled here, in
            // the order of the plain reading, so that errors come in the
            // same order; other loops take the plain form below.
            const std::size_t stepAt = code.size();
            if (step >= 0) {
                expression(stepFrom, stepTo);
            } else {
                CEqnToken one;
                one.instr.op = EOpCode::Number;
                one.number = down ? -1.0 : 1.0;
                Emit(m_program, one);
            }
            const std::size_t limitAt = code.size();
            expression(limitFrom, limitTo);
            ESource stepSource, limitSource;
            if (limitAt == stepAt + 1 && code.size() == limitAt + 1 && PushSource(code[stepAt], stepSource)
                && PushSource(code[limitAt], limitSource) && v < 0x10000) {
                CompileState::Block loop{-1, -1, lineFrom, lineTo};
                loop.next.op = down ? EOpCode::ForNextDownTo : EOpCode::ForNextTo;
                loop.next.wide = std::uint16_t(v);
                loop.step = code[stepAt];
                loop.step.op = EOpCode::Operand;
                loop.step.aux = stepSource;
                loop.limit = code[limitAt];
                loop.limit.op = EOpCode::Operand;
                loop.limit.aux = limitSource;
                code.resize(stepAt);
                SEqnInstruction enter = loop.next;
                enter.op = down ? EOpCode::ForEnterDownTo : EOpCode::ForEnterTo;
                enter.arg = -1;
                SEqnInstruction start = loop.step; // not read on entry
                if (stepAt == startAt + 1 && code.back().op == EOpCode::CopyToLocal) {
                    // A simple start value is stored by the entry itself.
                    start = code.back();
                    start.op = EOpCode::Operand;
                    start.wide = 0;
                    code.pop_back();
                    enter.op = down ? EOpCode::ForStartDownTo : EOpCode::ForStartTo;
                }
                loop.jump = int(code.size());
                code.push_back(enter);
                code.push_back(start);
                code.push_back(loop.limit);
                loop.body = int(code.size());
                state.fors.push_back(loop);
                return;
            }
            code.resize(stepAt);
        }
        const int jumpToTest = int(code.size());
        Append(m_program, EOpCode::Jump, -1);
        const int increment = int(code.size());
        Append(m_program, EOpCode::PushLocal, v);
        if (step >= 0) {
            expression(stepFrom, stepTo);
        } else {
            CEqnToken one;
            one.instr.op = EOpCode::Number;
            one.number = down ? -1.0 : 1.0;
            Emit(m_program, one);
        }
        Append(m_program, EOpCode::Add);
        AppendStoreLocal(m_program, v, std::size_t(increment));
        code[std::size_t(jumpToTest)].arg = int(code.size());
        const std::size_t test = code.size();
        Append(m_program, EOpCode::PushLocal, v);
        expression(limitFrom, limitTo);
        Append(m_program, down ? EOpCode::GreaterEqual : EOpCode::LessEqual);
        const int exit = AppendJumpIfFalse(m_program, test);
        state.fors.push_back({exit, increment, lineFrom, lineTo});
        return;
    }
    if (is("NEXT")) {
        if (state.fors.empty())
            failLine(IDS_PARSE_NEXT_NO_FOR);
        auto loop = state.fors.back();
        state.fors.pop_back();
        if (loop.increment < 0) {
            loop.next.arg = loop.body;
            code.push_back(loop.next);
            code.push_back(loop.step);
            code.push_back(loop.limit);
            code[std::size_t(loop.jump)].arg = int(code.size());
            return;
        }
        Append(m_program, EOpCode::Jump, loop.increment);
        code[std::size_t(loop.jump)].arg = int(code.size());
        return;
    }
    if (is("IF")) {
        const std::string_view rest = text.substr(wordEnd);
        const int then = FindKeyword("THEN", rest);
        if (then < 0)
            failLine(IDS_PARSE_IF_NO_THEN);
        if (!IsAllBlank(rest.substr(std::size_t(then) + 4)))
            failLine(IDS_PARSE_IF_INVALID);
        const std::size_t start = code.size();
        expression(wordEnd, wordEnd + std::size_t(then));
        state.ifs.push_back({AppendJumpIfFalse(m_program, start), 0, lineFrom, lineTo});
        return;
    }
    if (is("ENDIF")) {
        if (!IsAllBlank(text.substr(wordEnd)))
            failLine(IDS_PARSE_ENDIF_INVALID);
        if (state.ifs.empty())
            failLine(IDS_PARSE_ENDIF_NO_IF);
        const auto block = state.ifs.back();
        state.ifs.pop_back();
        if (code[std::size_t(block.jump)].arg < 0)
            code[std::size_t(block.jump)].arg = int(code.size());
        return;
    }
    if (is("ELSE")) {
        if (!IsAllBlank(text.substr(wordEnd)))
            failLine(IDS_PARSE_ELSE_INVALID);
        if (state.ifs.empty())
            failLine(IDS_PARSE_ELSE_NO_IF);
        const int jump = int(code.size());
        Append(m_program, EOpCode::Jump, -1);
        code[std::size_t(state.ifs.back().jump)].arg = int(code.size());
        state.ifs.back().jump = jump;
        return;
    }
    if (is("RETURN")) {
        if (!IsAllBlank(text.substr(wordEnd))) {
            expression(wordEnd, line.size());
            storeY();
        }
        Append(m_program, EOpCode::Stop);
        return;
    }
    if (is("GOTO")) {
        // The target is compared whole, without the blanks around it (a
        // comment after it has become blanks).
        const std::string target(Trim(text.substr(wordEnd)));
        state.gotos.push_back({target, int(code.size()), lineFrom, lineTo});
        Append(m_program, EOpCode::Jump, -1);
        return;
    }
    if (state.expressionLine)
        failLine(IDS_PARSE_SECOND_EXPRESSION);
    state.expressionLine = true;
    expression(std::size_t(first), line.size());
    storeY();
}
