// The free text object of a graph page (the text tool places it). Texts
// that belong to graphs derive from it.
#pragma once

#include "draw/DrawTextBase.h"

class CDrawText : public CDrawTextBase {
    DECLARE_SERIAL(CDrawText)
public:
    CDrawText() = default;
    CDrawText(const RECT& position, CDrawData* page) : CDrawTextBase(position, page) {}

    CDrawObj* Clone(CDrawData* page) override;
};
