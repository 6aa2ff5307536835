// A data cell of a data table: drawn in the colour of its column's kind
// (editable, calculated, locked) with the alignment its value asks for.
// In a column that cannot be edited a double-click or F2 beeps and typing
// does nothing; the arrow keys still move.
#pragma once

#include "grid/EditCell.h"

class CMyEditCell : public CEditCell {
    DECLARE_DYNCREATE(CMyEditCell)
public:
    void Draw(CGridPainter& painter, int row, int column, const RECT& cellRect, const RECT& textRect) override;
    void OnLButtonDblClk(UINT flags, POINT point) override;
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    void OnChar(UINT ch, UINT repeat, UINT flags) override;

private:
    bool ColumnEditable() const;
};
