// Tokens of the equation compiler and the instructions they become.
//
// A compiled program is one contiguous array of SEqnInstruction (8 bytes
// each) plus a pool of number constants; the run loop dispatches on the
// opcode. A CEqnToken is what the tokenizer hands the compiler: the
// instruction it stands for, with the precedence and kind that decide how the
// shunting-yard pass places it.
#pragma once

#include <cstdint>

enum class EOpCode : std::uint8_t {
    Number,      // push constant pool[arg]
    PushY,       // push the current result
    PushX,       // push X value arg
    PushParam,   // push parameter value arg
    PushConst,   // push constant value arg
    PushLocal,   // push local variable value arg
    PushExtraX,  // push extra X value arg (XDATA2 .. XDATA5)
    PushNamed,   // push predefined value slot arg of the equation (MAX, XDATA, ...)
    PushRandom,  // _RND_
    PushGauss,   // _GRND_
    Function,    // top = built-in function arg (an EBuiltinFunction) of top
    Negate,      // top = -top
    Add, Subtract, Multiply, Divide, Power,
    Equal, Less, LessEqual, Greater, GreaterEqual,
    StoreY,      // pop into the result
    StoreLocal,  // pop into local variable arg
    Jump,        // continue at instruction arg
    JumpIfFalse, // pop; continue at arg when it is 0 or not a number
    Stop,        // end the run
    Hook,        // the equation's own operation arg; aux values are popped, one pushed
    // Forms that the compiler makes of the ones above, so that an evaluation
    // dispatches fewer instructions:
    Push,        // push value arg of source aux (an ESource)
    AddS, SubtractS, MultiplyS, DivideS, // top = top op value arg of source aux
    Square,      // top = top * top (a power of the constant 2)
    Cube,        // top = top * top * top
    PushProduct, // push value (arg & 0xFFFF) of source (aux & 15) times value (arg >> 16) of source (aux >> 4)
    AddProduct,  // top += that product
    SubtractProduct, // top -= that product
    PushSquare,  // push the square of value arg of source aux
    PushCube,    // push the cube of value arg of source aux
    AddToLocal,  // local (arg & 0xFFFF) += value (arg >> 16) of source aux
    // Pop b, pop a; continue at arg unless the comparison a op b is true
    // (with the not-a-number rules of the comparison operators).
    JumpUnlessEqual, JumpUnlessLess, JumpUnlessLessEqual, JumpUnlessGreater, JumpUnlessGreaterEqual,
    PushNegProduct, // push minus the product that PushProduct pushes
    StoreYStop,  // pop into the result and end the run (a StoreY followed by Stop)
    // The end of a FOR loop whose step and limit are simple values, in three
    // slots: local wide += step, then continue at arg (the body) while the
    // local is <= the limit (ForNextTo, not-a-number counts as true) or
    // >= the limit (ForNextDownTo, not-a-number counts as false); else go
    // on after the third slot. The second slot (an Operand) names the step,
    // the third the limit. The step is read before the local changes, the
    // limit after.
    ForNextTo, ForNextDownTo,
    Operand, // value arg of source aux, read by the fused instruction before it; never run
    // "local = p q + r" and "local = p q - r" (p, q, r simple values), in
    // three slots: the first names p (aux, arg) and the local (wide), the
    // two Operand slots after it q and r.
    StoreProductAdd, StoreProductSubtract,
    CopyToLocal, // local wide = value arg of source aux
    // The test on entering a FOR loop of ForNextTo / ForNextDownTo, in the
    // same three slots: continue at arg (after the loop) unless local wide
    // is <= (>=) the limit. The step is not read.
    ForEnterTo, ForEnterDownTo,
    // The same, when the start is a simple value: the second slot names the
    // start, which goes to the local before the test.
    ForStartTo, ForStartDownTo,
    // Store the product that PushProduct pushes in the result (and end the run).
    StoreYProduct, StoreYProductStop,
};

// Where a Push or a fused operator finds its value.
enum ESource : std::uint8_t {
    srcPool, srcX, srcParam, srcConst, srcLocal, srcExtraX, srcNamed, srcY, kSourceCount
};

struct SEqnInstruction {
    EOpCode op = EOpCode::Stop;
    std::uint8_t aux = 0;   // values a Hook pops
    std::uint16_t wide = 0; // a further index of some fused forms
    std::int32_t arg = 0;   // index, jump target, pool slot or function
};
static_assert(sizeof(SEqnInstruction) == 8);

// How many values an instruction leaves on the stack minus how many it takes.
inline int StackEffect(const SEqnInstruction& in)
{
    switch (in.op) {
    case EOpCode::Number: case EOpCode::PushY: case EOpCode::PushX: case EOpCode::PushParam:
    case EOpCode::PushConst: case EOpCode::PushLocal: case EOpCode::PushExtraX:
    case EOpCode::PushNamed: case EOpCode::PushRandom: case EOpCode::PushGauss:
        return 1;
    case EOpCode::Function: case EOpCode::Negate: case EOpCode::Jump: case EOpCode::Stop:
        return 0;
    case EOpCode::Add: case EOpCode::Subtract: case EOpCode::Multiply: case EOpCode::Divide:
    case EOpCode::Power: case EOpCode::Equal: case EOpCode::Less: case EOpCode::LessEqual:
    case EOpCode::Greater: case EOpCode::GreaterEqual: case EOpCode::StoreY:
    case EOpCode::StoreLocal: case EOpCode::JumpIfFalse:
        return -1;
    case EOpCode::Hook:
        return 1 - int(in.aux);
    case EOpCode::Push: case EOpCode::PushProduct: case EOpCode::PushSquare: case EOpCode::PushCube:
    case EOpCode::PushNegProduct:
        return 1;
    case EOpCode::StoreYStop:
        return -1;
    case EOpCode::AddProduct: case EOpCode::SubtractProduct: case EOpCode::AddToLocal:
    case EOpCode::ForNextTo: case EOpCode::ForNextDownTo: case EOpCode::Operand:
    case EOpCode::StoreProductAdd: case EOpCode::StoreProductSubtract: case EOpCode::CopyToLocal:
    case EOpCode::ForEnterTo: case EOpCode::ForEnterDownTo: case EOpCode::ForStartTo: case EOpCode::ForStartDownTo: case EOpCode::StoreYProduct:
    case EOpCode::StoreYProductStop:
        return 0;
    case EOpCode::JumpUnlessEqual: case EOpCode::JumpUnlessLess: case EOpCode::JumpUnlessLessEqual:
    case EOpCode::JumpUnlessGreater: case EOpCode::JumpUnlessGreaterEqual:
        return -2;
    case EOpCode::AddS: case EOpCode::SubtractS: case EOpCode::MultiplyS: case EOpCode::DivideS:
    case EOpCode::Square: case EOpCode::Cube:
        return 0;
    }
    return 0;
}

// One token of the compiler.
struct CEqnToken {
    enum Kind : std::uint8_t {
        Operand,      // pushes a value
        Binary,       // operator between two operands
        Prefix,       // function or unary minus
        OpenParen,
        CloseParen,
        Comma,
        Plus,         // binary or a dropped unary plus
        Minus,        // binary or unary minus
        End,
    };

    Kind kind = End;
    int precedence = 0;
    // Commas that the argument list of this function must hold (two-argument functions).
    int commas = 0;
    // Marks the declared symbol used: 0 none, 1 X variable, 2 parameter, 3 constant.
    int usedKind = 0;
    SEqnInstruction instr;
    double number = 0.0; // the value of a number token (put in the pool when emitted)
    int start = 0;       // text range of the token in the expression
    int end = 0;

    bool IsPrefix() const { return kind == Prefix; }
    bool IsOpenParenthesis() const { return kind == OpenParen; }
};

// Precedences (higher binds tighter).
enum : int {
    kPrecParen = 11,
    kPrecPrefix = 9,
    kPrecPower = 7,
    kPrecMultiply = 4,
    kPrecAdd = 1,
    kPrecComma = 0,
};
