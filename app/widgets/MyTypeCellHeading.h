// The heading of a data table's Type row: it shows the column's type; a
// double-click there opens the column-type menu, as a right click does.
#pragma once

#include "grid/GridCellObject.h"

class CMyTypeCellHeading : public CGridCellObject {
    DECLARE_DYNCREATE(CMyTypeCellHeading)
public:
    void Draw(CGridPainter& painter, int row, int column, const RECT& cellRect, const RECT& textRect) override;
    void OnLButtonDblClk(UINT flags, POINT point) override;
};
