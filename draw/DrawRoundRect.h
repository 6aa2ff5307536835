// The rectangle with elliptic corners: a ninth handle sizes the corners.
#pragma once

#include "draw/DrawRect.h"

class CDrawRoundRect : public CDrawRect {
    DECLARE_SERIAL(CDrawRoundRect)
public:
    CDrawRoundRect() = default;
    CDrawRoundRect(const RECT& position, CDrawData* page);

    void Serialize(CArchive& ar) override;
    void Draw(CDrawDC& dc, CDrawViewBase* view) override;
    int GetHandleCount() override { return 9; }
    POINT GetHandle(int n) override;
    int GetHandleCursor(int n) override;
    void EndDrag(CDrawViewBase* view, bool commit, bool newObject) override;
    void DrawOutline(CDrawDC& dc, CDrawViewBase* view, int solid) override;
    void SavePosition() override;
    bool HitTest(POINT point, CDrawViewBase* view) override;
    void MoveHandleTo(int handle, POINT offset, CDrawViewBase* view) override;
    void OnEditProperties(CDrawViewBase* view) override;
    CDrawObj* Clone(CDrawData* page) override;
    void RecalcOutline(const RECT& rect) override;

    SIZE GetCornerSize() const { return m_roundness; }
    SIZE GetSavedCornerSize() const { return m_savedRoundness; }
    void SetCornerSize(SIZE corner) { m_roundness = m_savedRoundness = corner; }

private:
    SIZE m_roundness{115, 115};
    SIZE m_savedRoundness{115, 115};
};
