// An equation written in the equation language: its source, the compiler
// that turns the source into a flat program, and the run loop.
//
// The program is one contiguous array of 8-byte instructions with a pool of
// number constants and a stack depth found at compile time; the evaluation
// stack is allocated when compiling, so an evaluation allocates nothing.
#pragma once

#include "equation/EqnToken.h"
#include "equation/EquationBase.h"
#include "equation/ParseErr.h"
#include "ui/RichData.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A compiled program.
struct SEqnProgram {
    std::vector<SEqnInstruction> code;
    std::vector<double> pool;
    int depth = 0; // the most values the program ever holds on the stack

    void Clear()
    {
        code.clear();
        pool.clear();
        depth = 0;
    }
};

// Whether a declaration name is acceptable: a letter or "_", then letters,
// digits and "_".
bool IsValidSymbolName(std::string_view name);

class CEquation : public CEquationBase {
    DECLARE_SERIAL(CEquation)
public:
    // The compile limits: larger equations are refused with a message.
    static constexpr std::size_t kMaxSourceBytes = std::size_t(4) << 20;
    static constexpr int kMaxLocals = 200000;
    CEquation();
    CEquation(const CEquation&) = delete;
    // What Copy copies, plus the extra X values; the source, the program and
    // the valid flag stay as they are.
    CEquation& operator=(const CEquation& other);

    void Invalidate() override;
    std::unique_ptr<CEquationBase> Clone() const override;
    int CalculateEstimates(const CDoubleColumns& x, const CMyVector& y, const CMyVector& weights) override;
    double Calculate() override;
    // Both evaluate up to 256 points at a time, each instruction over all of
    // them, where the program allows; see EquationBlock.cpp.
    void CalculatePoints(const double* const* columns, int columnCount, int count, double* out,
                         SKeptValues* keep = nullptr) override;
    int KeptValueCount(int params) override;
    void CalculatePointDerivatives(const double* const* columns, int columnCount, int count, bool central, bool known,
                                   double* values, double* derivs, int stride,
                                   const SKeptValues* kept = nullptr) override;
    void ResizeValues() override;
    // Sets the local variables and the result back to 0, as before a first run.
    void ResetRunValues();

    void SetSource(const std::string& text);
    const std::string& GetSource() const { return m_strSource; }
    void SetXTransform(const std::string& text);
    void SetYTransform(const std::string& text);
    const std::string& GetXTransform() const { return m_strXTransform; }
    const std::string& GetYTransform() const { return m_strYTransform; }
    CRichData& GetFormattedSource() { return m_formatted; }
    const CRichData& GetFormattedSource() const { return m_formatted; }
    const std::vector<std::string>& GetLocalNames() const { return m_localNames; }

    // Compiles the source; throws CParseErr and leaves the error's text range
    // in GetErrorStart/GetErrorEnd.
    void Compile();
    // Compiles parameter definition i into the definition program (8241 for
    // an empty one); used while estimating and to check the definitions.
    void CompileLine(int i);
    // Clears the token state of the compiler (output, operator stack,
    // counts, position), ready for a new expression.
    void Reset();

    // Whether compiling rewrites expressions into fused instructions (on by
    // default); off gives the plain reading, for tests and diagnosis.
    static void EnableOptimizer(bool on);
    // Whether block runs use the processor's wider registers where it has
    // them (on by default); off runs the base loops, for tests.
    static void EnableWideLanes(bool on);
    // Whether derivative runs of a program without jumps take the values
    // that do not depend on the moved parameter from the run at the
    // unchanged ones (on by default); off runs every instruction, for tests.
    static void EnableReuse(bool on);
    // How many derivative runs have taken values so (a count for tests).
    static long ReusedRuns();

    int GetErrorStart() const { return m_nColumn; }
    int GetErrorEnd() const { return m_nPosition; }
    const SEqnProgram& GetProgram() const { return m_program; }

    // Fills the definition from a version-3 equation record (5,790 bytes) and
    // compiles it; a compile error leaves it invalid. False when the record is short.
    bool ImportOldDefinition(const unsigned char* record, std::size_t size);

    void Serialize(CArchive& ar) override;

    // The reason of the last failed estimate (a math error's short text).
    const std::string& GetEstimateError() const { return m_strEstimateError; }

protected:
    // Predefined values that the variants expose as names.
    enum ENamedSlot : int { kMax, kMin, kMaxX, kMinX, kIntercept, kGradient, kXData, kYData, kNamedSlots };

    // The look-up of predefined names after the declared symbols; variants
    // try their own names first and end with this one (the built-ins).
    //
    // A variant adds a name as a token: an operand (kind Operand) that
    // pushes a value, or a function of n arguments (kind Prefix, precedence
    // kPrecPrefix, commas n - 1, so that its argument list must hold exactly
    // n - 1 commas). Either can run the variant's own code: instruction Hook
    // with arg its operation code and aux the values it takes from the stack
    // (0 for an operand, n for a function); RunHook then does the work. This
    // is how a table equation reads cells (two-argument DATA and VALIDDATA),
    // gives its row and column, and makes a cell blank (throwing CBlankError).
    virtual std::optional<CEqnToken> CreateVariable(std::string_view name);
    // Runs operation code of a Hook instruction: takes its aux values from
    // the stack (sp points past the top; the last argument is on top),
    // pushes one result and returns the new stack pointer. It may throw but
    // must not change the values that instructions push (X values,
    // parameters, locals, ...): the compiler reorders such reads.
    virtual double* RunHook(int code, double* sp);

    // Compiles one expression into program and appends store-Y; the text is
    // its own (positions from 0), for transforms and definitions.
    void CompileStandalone(const std::string& text, SEqnProgram& program);
    // Runs a program from its first instruction; returns the result.
    double Run(const SEqnProgram& program);
    // Make the stack deep enough for program (one slot of headroom).
    void ReserveStack(const SEqnProgram& program)
    {
        if (m_stack.size() < std::size_t(program.depth) + 1)
            m_stack.resize(std::size_t(program.depth) + 1);
    }

    const SEqnProgram& GetParameterDefinitionProgram() const { return m_paramDefProgram; }
    // Copies the definition of other (Copy, then the local names, source,
    // formatted source and both transforms); the result needs compiling.
    void CopyDefinition(const CEquation& other);

    double m_named[kNamedSlots] = {};

private:
    struct CompileState;
    struct SBlockRun;
    // Which values of a program derivative runs can take from the run at
    // the unchanged parameters, and those values (EquationBlock.cpp).
    struct SReusePlan {
        // The parameter count the plan was made for (-1: none since the
        // program last changed), and whether it could follow the program.
        int params = -1;
        bool followed = false;
        // What one run costs and what the derivative runs of all the
        // parameters save, in the weights of the planning.
        long whole = 0;
        long saved = 0;
        int size = 0; // instructions
        // [k * size + s]: the instruction that completes the value begun at
        // instruction s, where that value does not depend on parameter k; -1
        // where it does or no value begins.
        std::vector<int> skip;
        // Per instruction: where the base run keeps the value it leaves, -1
        // when no derivative run takes it.
        std::vector<int> slot;
        int keptCount = 0;
        // The base run's values by slot: lanes, or one value where uniform.
        std::vector<double> lanes;
        std::vector<double> scalar;
        std::vector<unsigned char> uniform;
        // Scratch of the planning.
        std::vector<int> weight;
        std::vector<std::uint64_t> localDep;
    };
    struct SReuseRun;

    // The points a block run takes at once for program: 0 when the program
    // must run point by point (it draws random numbers or runs the
    // variant's own operations, or its values would not fit the lanes).
    int BlockLanes(const SEqnProgram& program);
    // Runs program once for each of n points (n at most the lanes), each
    // instruction over all points; the results go to out. False, with
    // nothing changed, when the points must run one by one: a jump that not
    // every point takes, an error at any point, a value that one point
    // leaves for the next, the budget or the stop flag. Strict: also false
    // when a local or the result is read before the run writes it, so that
    // the points may run in any order.
    bool RunBlock(const SEqnProgram& program, const double* const* columns, int columnCount, int n, double* out,
                  bool strict, const SReuseRun* reuse = nullptr);
    // Plans the reuse of m_program's values for derivative runs over its
    // first params parameters (once for a program and count); false when
    // the program has jumps or other instructions that the plan does not
    // follow, or the reuse would not pay.
    bool PlanReuse(int params, bool central, bool known);
    // Makes the plan of PlanReuse; false when it cannot follow the program.
    bool FollowValues(int params);
    // Ready for a run: valid, the value arrays large enough.
    bool PrepareRun();

    void CompileSource();
    void CompileStatement(CompileState& state, const std::string& line, int lineStart);
    // Appends the instructions of text (which starts at offset base in the
    // text being compiled) to program.
    void CompileExpression(std::string_view text, int base, SEqnProgram& program);
    static void Optimize(SEqnProgram& program, std::size_t first);
    // Rewrites a finished program (ending with Stop) where whole-program
    // forms apply.
    static void FinishProgram(SEqnProgram& program);
    // Appends a jump taken when the condition that ends at the top of the
    // code (from index start) is false; returns its index.
    static int AppendJumpIfFalse(SEqnProgram& program, std::size_t start);
    // Appends store-variable(local); "v = v + k" becomes one instruction.
    static void AppendStoreLocal(SEqnProgram& program, int local, std::size_t start);
    CEqnToken NextToken(std::string_view text, int& pos);
    void ParseToken(CEqnToken& token);
    void AddOperand(const CEqnToken& token);
    void AddOperator(const CEqnToken& token);
    void CloseParenthesis(const CEqnToken& token);
    void PopToParenthesis();
    // The local's number, adding it when new; FindLocal gives -1 for a name not seen.
    int FindVariable(std::string_view name);
    int FindLocal(std::string_view name) const;
    [[noreturn]] void Fail(int id, int start, int end, std::string text = {});
    static void Emit(SEqnProgram& program, const CEqnToken& token);
    static void Append(SEqnProgram& program, EOpCode op, int arg = 0);
    static int ComputeDepth(const SEqnProgram& program);

    std::string m_strSource;
    CRichData m_formatted; // the description the editor shows, as RTF
    SEqnProgram m_program;
    std::vector<std::string> m_localNames;
    std::unordered_map<std::string, int> m_localIndex; // case-folded name -> local number
    std::string m_strXTransform;
    std::string m_strYTransform;
    CMyVector m_localValues;
    std::vector<double> m_stack;
    // Compile-time token state.
    std::vector<CEqnToken> m_output;
    std::vector<CEqnToken> m_operators;
    int m_nColumn = 0;   // start of the error's text range
    int m_nPosition = 0; // end of the error's text range
    bool m_bOperandExpected = true;
    int m_nOpenParens = 0;
    int m_nCommasExpected = 0;
    bool m_bYAssigned = false;
    std::vector<unsigned char> m_xUsed, m_paramUsed, m_constUsed;
    SEqnProgram m_paramDefProgram;
    std::string m_strEstimateError;
    // Scratch of the block runs: the lanes of the stack slots, locals and
    // result (value v: its lanes, or the one value when null; the buffer it
    // owns), what each local went through in the run, the columns of the
    // block's points, saved values.
    std::vector<double> m_laneStore;
    std::vector<const double*> m_laneRef;
    std::vector<double> m_laneScalar;
    std::vector<double*> m_laneOwned;
    std::vector<unsigned char> m_laneState;
    std::vector<const double*> m_laneColumns;
    std::vector<double> m_laneSaved;
    SReusePlan m_reuse;
};
