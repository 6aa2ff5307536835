// The checks an equation item runs before it compiles its definition: the
// X variables, parameters and constants must be named, with names that are
// identifiers and that no other symbol shares (without regard to case); the
// Y name likewise; then the definition compiles, and, when estimates come
// from a linear transform, the two data transforms and every parameter's
// estimate definition. The first fault found ends the run and says where
// the user must go to mend it.
#pragma once

#include "platform/Types.h"

#include <string>

class CEquation;

struct SEquationCheck {
    // The tabs of the equation form a fault sends the user to.
    enum Tab { tabGeneral = 0, tabX = 1, tabParameters = 2, tabConstants = 3, tabDefinition = 4, tabEstimates = 5 };
    // The editor whose text holds the fault's range.
    enum Editor { editorNone, editorDefinition, editorXData, editorYData };
    bool ok = true;
    int tab = tabGeneral;
    int row = -1;        // the symbol grid's row of the faulty name (entry + 1), or -1
    UINT messageId = 0;
    std::string text;    // the message's %1
    int editor = editorNone;
    int start = 0;       // the fault's range in that editor's text
    int end = 0;
};

// Runs the checks in order and compiles; the equation is valid exactly when
// the answer is ok. Nothing is reported: the caller shows the message.
SEquationCheck CheckAndCompileEquation(CEquation& equation);
