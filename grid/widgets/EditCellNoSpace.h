// A text cell that takes identifier characters only: letters, digits and "_".
// Any other character beeps and is dropped, both when it would start an edit
// and while the editor is open.
#pragma once

#include "grid/EditCell.h"

class CEditCellNoSpace : public CEditCell {
    DECLARE_DYNCREATE(CEditCellNoSpace)
public:
    static bool IsSymbolChar(char32_t c);

    void OnChar(UINT ch, UINT repeat, UINT flags) override;
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    void OnLButtonDblClk(UINT flags, POINT point) override;
    int EditCell() override;

private:
    void FilterEditor();
};
