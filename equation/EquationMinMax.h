// An equation that knows the range of the data: MAX and MIN of y, MAXX and
// MINX of x. Built when needed, never stored.
#pragma once

#include "equation/Equation.h"

class CEquationMinMax : public CEquation {
public:
    void SetRange(double maxY, double minY, double maxX, double minX)
    {
        m_named[kMax] = maxY;
        m_named[kMin] = minY;
        m_named[kMaxX] = maxX;
        m_named[kMinX] = minX;
    }

protected:
    std::optional<CEqnToken> CreateVariable(std::string_view name) override;
    // A token that pushes predefined value slot.
    static CEqnToken Named(int slot);
};
