// The editable column-name heading of a data table: the name is drawn
// centred and word-wrapped in the heading colour and edited in place.
#pragma once

#include "grid/EditCell.h"

class CMyEditCellHeading : public CEditCell {
    DECLARE_DYNCREATE(CMyEditCellHeading)
public:
    void Draw(CGridPainter& painter, int row, int column, const RECT& cellRect, const RECT& textRect) override;
};
