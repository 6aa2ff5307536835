/* The interface between the program and an equation library (a shared
 * library with the extension .mxl). A library exports the twelve MX4EQN_
 * functions below by name, with C linkage; the program calls them in the
 * order given in the comments when it loads the library. The program in
 * turn exports MX4_LinearRegression for libraries to call.
 *
 * Texts are UTF-8. The program passes buffers; a library copies a
 * NUL-terminated text of at most size - 1 bytes into them (MX4CopyText does
 * this). Vectors and columns point to the program's own storage and are
 * valid only during the call. */
#ifndef MARLOX_EQUATION_LIBRARY_H
#define MARLOX_EQUATION_LIBRARY_H

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define MX4EQN_EXPORT __attribute__((visibility("default")))
#else
#define MX4EQN_EXPORT
#endif

/* Sizes of the text buffers the program passes. */
#define MX4EQN_NAME_SIZE 256
#define MX4EQN_DESCRIPTION_SIZE 4096

typedef struct MX4Text {
    char* text;
    int size; /* bytes in text, the terminating NUL included */
} MX4Text;

typedef struct MX4Vector {
    double* values;
    int count;
} MX4Vector;

/* x values of the data, one column per X variable. */
typedef struct MX4Columns {
    const double* const* columns;
    int columnCount;
    int rowCount;
} MX4Columns;

/* 1. Must return 0; any other value refuses the library. */
typedef int (*MX4EQN_VersionProc)(void);
/* 2. Non-zero when the library gives starting estimates. */
typedef int (*MX4EQN_CanEstimateProc)(void);
/* 3. Number of parameters. */
typedef int (*MX4EQN_GetNParametersProc)(void);
/* 4. Name and label of parameter i; called again for i = 0 .. constants - 1
 *    to name the constants (there is no separate function for them). */
typedef void (*MX4EQN_GetParameterNamesProc)(int i, MX4Text* name, MX4Text* label);
/* 5. Number of constants. */
typedef int (*MX4EQN_GetNConstantsProc)(void);
/* 6. Number of X variables. */
typedef int (*MX4EQN_GetNXProc)(void);
/* 7. Name and label of X variable i. */
typedef void (*MX4EQN_GetXNamesProc)(int i, MX4Text* name, MX4Text* label);
/* 8. The Y name. */
typedef void (*MX4EQN_GetYNameProc)(MX4Text* name);
/* 9. The description shown for the equation. */
typedef void (*MX4EQN_GetDescriptionProc)(MX4Text* text);
/* Starting values into parameters; non-zero on success. weights may have count 0. */
typedef int (*MX4EQN_CalculateEstimatesProc)(const MX4Columns* x, const MX4Vector* y, const MX4Vector* weights,
                                             MX4Vector* parameters);
/* d y / d parameter i into out->values[i]. */
typedef int (*MX4EQN_CalculateDerivativesProc)(const MX4Vector* x, const MX4Vector* parameters,
                                               const MX4Vector* constants, MX4Vector* out);
/* y for the given values. */
typedef double (*MX4EQN_CalculateProc)(const MX4Vector* x, const MX4Vector* parameters, const MX4Vector* constants);

/* Weighted straight line y = intercept + slope x through n points; weights
 * may be null (all 1). The residual variance uses n - 2 degrees of freedom. */
MX4EQN_EXPORT void MX4_LinearRegression(int n, const double* x, const double* y, const double* weights,
                                        double* intercept, double* slope, double* seIntercept, double* seSlope,
                                        double* r);

/* Copies source into a text buffer, cut to fit. */
static inline void MX4CopyText(MX4Text* target, const char* source)
{
    int i = 0;
    if (!target || !target->text || target->size <= 0)
        return;
    while (source && source[i] && i < target->size - 1) {
        target->text[i] = source[i];
        ++i;
    }
    target->text[i] = '\0';
}

#ifdef __cplusplus
}
#endif

#endif
