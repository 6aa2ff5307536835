// What lines and polylines share: the arrow heads at their ends. A head kind
// k > 0 draws shape k mod 4 (1 open, 2 barbed, 3 triangle) and, from 4 up, a
// bar across the tip; the size and the narrow switch give its length and width.
#pragma once

#include "draw/DrawObj.h"

class CDrawLineParent : public CDrawObj {
    DECLARE_SERIAL(CDrawLineParent)
public:
    CDrawLineParent() = default;
    CDrawLineParent(const RECT& position, CDrawData* page);

    void Serialize(CArchive& ar) override;
    int GetArrowHeads(int& first, int& second, int& size, int& narrow) override;
    void SetArrowHeads(int first, int second, int size, int narrow, bool redraw) override;

    void CopyAttributes(CDrawLineParent* target) const;
    // Length along the line and half-width across it, in page units.
    void GetArrowSize(int& length, int& halfWidth) const;
    // Draws one head at the tip, pointing away from the other point. Two
    // points that coincide give no direction: nothing is drawn.
    void DrawArrow(CDrawDC& dc, int kind, int tipX, int tipY, int otherX, int otherY);
    // The head's points for a tip and direction (empty when none is drawn),
    // and the bar's two ends (empty when none).
    void ArrowPoints(int kind, POINT tip, POINT other, std::vector<POINT>& head, std::vector<POINT>& bar);

protected:
    // Grows the repaint box by the heads' half-width when there are heads.
    void GrowForArrows();

    int m_nFirstArrow = 0;
    int m_nSecondArrow = 0;
    int m_nArrowSize = 1;
    int m_nNarrow = 0;
};
