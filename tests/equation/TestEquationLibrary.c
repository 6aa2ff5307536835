/* An equation library for the tests, built in several variants:
 *   y = a exp(-b x) + c k0 + k1   (parameters a, b, c; constants k0, k1; X x)
 * It logs every call so that the tests can check the binding order, and
 * estimates through the program's exported straight-line fit. */
#include "equation/EquationLibrary.h"

#include <math.h>
#include <string.h>

#ifndef TESTEQN_DESCRIPTION
#define TESTEQN_DESCRIPTION "Exponential decay with offset"
#endif
#ifndef TESTEQN_VERSION
#define TESTEQN_VERSION 0
#endif

static char g_log[1024];

static void Log(const char* entry)
{
    if (strlen(g_log) + strlen(entry) + 2 < sizeof g_log) {
        if (g_log[0])
            strcat(g_log, " ");
        strcat(g_log, entry);
    }
}

MX4EQN_EXPORT const char* TestLibrary_CallLog(void) { return g_log; }

MX4EQN_EXPORT int MX4EQN_Version(void)
{
    Log("Version");
    return TESTEQN_VERSION;
}

MX4EQN_EXPORT int MX4EQN_CanEstimate(void)
{
    Log("CanEstimate");
    return 1;
}

MX4EQN_EXPORT int MX4EQN_GetNParameters(void)
{
    Log("GetNParameters");
    return 3;
}

MX4EQN_EXPORT void MX4EQN_GetParameterNames(int i, MX4Text* name, MX4Text* label)
{
    static const char* names[] = {"a", "b", "c"};
    static const char* labels[] = {"Amplitude", "Rate", "Scale"};
    char entry[16] = "P0";
    entry[1] = (char)('0' + i);
    Log(entry);
    MX4CopyText(name, i >= 0 && i < 3 ? names[i] : "");
    MX4CopyText(label, i >= 0 && i < 3 ? labels[i] : "");
}

MX4EQN_EXPORT int MX4EQN_GetNConstants(void)
{
    Log("GetNConstants");
    return 2;
}

MX4EQN_EXPORT int MX4EQN_GetNX(void)
{
    Log("GetNX");
    return 1;
}

MX4EQN_EXPORT void MX4EQN_GetXNames(int i, MX4Text* name, MX4Text* label)
{
    Log("X0");
    MX4CopyText(name, "x");
    MX4CopyText(label, "Time");
}

MX4EQN_EXPORT void MX4EQN_GetYName(MX4Text* name)
{
    Log("GetYName");
    MX4CopyText(name, "signal");
}

MX4EQN_EXPORT void MX4EQN_GetDescription(MX4Text* text)
{
    Log("GetDescription");
    MX4CopyText(text, TESTEQN_DESCRIPTION);
}

MX4EQN_EXPORT int MX4EQN_CalculateEstimates(const MX4Columns* x, const MX4Vector* y, const MX4Vector* weights,
                                            MX4Vector* parameters)
{
    double ly[64], a, b, sa, sb, r;
    int i, n = y->count < 64 ? y->count : 64;
    if (x->columnCount != 1 || n < 2 || parameters->count < 3)
        return 0;
    for (i = 0; i < n; ++i)
        ly[i] = log(y->values[i]);
    MX4_LinearRegression(n, x->columns[0], ly, weights->count ? weights->values : 0, &a, &b, &sa, &sb, &r);
    parameters->values[0] = exp(a);
    parameters->values[1] = -b;
    parameters->values[2] = 0;
    return 1;
}

MX4EQN_EXPORT int MX4EQN_CalculateDerivatives(const MX4Vector* x, const MX4Vector* p, const MX4Vector* c,
                                              MX4Vector* out)
{
    double e = exp(-p->values[1] * x->values[0]);
    out->values[0] = e;
    out->values[1] = -p->values[0] * x->values[0] * e;
    out->values[2] = c->values[0];
    return 1;
}

#ifndef TESTEQN_NO_CALCULATE
MX4EQN_EXPORT double MX4EQN_Calculate(const MX4Vector* x, const MX4Vector* p, const MX4Vector* c)
{
    return p->values[0] * exp(-p->values[1] * x->values[0]) + p->values[2] * c->values[0] + c->values[1];
}
#endif
