// A cell that shows a check box and toggles it on a click; its text is "1"
// when checked and anything else when not.
#pragma once

#include "grid/GridCellObject.h"

class CCheckBoxCell : public CGridCellObject {
    DECLARE_DYNCREATE(CCheckBoxCell)
public:
    CCheckBoxCell() { m_nMode = 3; }

    void Initialize() override;
    void Draw(CGridPainter& painter, int row, int column, const RECT& cellRect, const RECT& textRect) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void SetChecked(bool checked);
    bool IsChecked() const;
    SIZE GetBoxSize() const { return SIZE{m_nBoxWidth, m_nBoxHeight}; }

private:
    int m_nBoxWidth = 15;
    int m_nBoxHeight = 15;
};
