// A raised heading cell: button face, shadow and highlight edges, centred text.
#pragma once

#include "grid/GridCellObject.h"

class CHeaderCell : public CGridCellObject {
    DECLARE_DYNCREATE(CHeaderCell)
public:
    CHeaderCell() { m_nMode = 3; }
    void Draw(CGridPainter& painter, int row, int column, const RECT& cellRect, const RECT& textRect) override;
};
