// Equation text compiled and run: byte 0 chooses the mode (bit 0 lenient,
// bit 1 parameter definitions used), the rest is the source. A program that
// compiles is run at a few x values with a small instruction budget.
#include "FuzzSupport.h"
#include "equation/Equation.h"
#include "equation/MyError.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Init();
    if (size == 0)
        return 0;
    CEquation eq;
    eq.SetYName("y");
    eq.SetXName(0, "x", "");
    eq.SetParameterName(0, "a", "");
    eq.SetParameterName(1, "b", "");
    eq.SetConstantName(0, "c", "");
    eq.SetModeFlag(data[0] & 1);
    eq.SetUseParameterDefinitions((data[0] >> 1) & 1);
    eq.SetParameterDefinition(0, "a = 1");
    eq.SetParameterDefinition(1, "b = c * 2");
    eq.SetSource(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    try {
        eq.Compile();
    } catch (const CParseErr& error) {
        (void)error.GetMessage();
        return 0;
    }
    eq.ResizeValues();
    eq.GetParameterValues()[0] = 0.5;
    eq.GetParameterValues()[1] = -3.0;
    eq.GetConstantValues()[0] = 7.0;
    eq.SetInstructionBudget(20000);
    for (double x : {0.0, 1.5, -2.0, 1e300}) {
        try {
            eq.GetXValues()[0] = x;
            (void)eq.Calculate();
        } catch (const CMyError&) {
        } catch (const CEvaluationStopped&) {
        }
    }
    return 0;
}
