// Where a non-linear fit finds the equation it fits: the workspace looks up
// its equation items by name. Kept as an interface so that the engine needs
// no workspace document.
#pragma once

#include <string>

class CEquationBase;

class CEquationSource {
public:
    virtual ~CEquationSource() = default;
    // The equation of the item with that name (names match without regard to
    // case, first match wins), or null when there is none.
    virtual const CEquationBase* FindEquation(const std::string& name) const = 0;
};
