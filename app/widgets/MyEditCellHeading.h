// The editable column-name heading of a data table: the name is drawn
// centred and word-wrapped in the heading colour and edited in place.
#pragma once

#include "grid/EditCell.h"

class CMyEditCellHeading : public CEditCell {
    DECLARE_DYNCREATE(CMyEditCellHeading)
public:
    void Draw(CGridPainter& painter, int row, int column, const RECT& cellRect, const RECT& textRect) override;
    // The row's title in the heading column is not edited.
    void OnLButtonDblClk(UINT flags, POINT point) override;
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    void OnChar(UINT ch, UINT repeat, UINT flags) override;

private:
    bool IsTitle() const;
};
