// Several drawing objects bound into one: drawn, hit, moved and rotated
// together, and answering the style operations for all of them (a value on
// which the members differ answers as mixed). The group owns its members.
#pragma once

#include "draw/DrawObj.h"

class CDrawGroup : public CDrawObj {
    DECLARE_SERIAL(CDrawGroup)
public:
    CDrawGroup() = default;
    CDrawGroup(const RECT& position, CDrawData* page);
    ~CDrawGroup() override;

    void Serialize(CArchive& ar) override;

    void AddChild(CDrawObj* obj);
    // The frame becomes the box of the members; false when it did not change.
    bool RecalcFromChildren(bool redraw);
    void CopyAttributes(CDrawGroup* target) const;
    CDrawObjList& GetChildren() { return m_children; }
    // Gives the members up (they are no longer the group's to delete).
    CDrawObjList ReleaseChildren();

    void SetOwner(CDrawData* page) override;
    void SetFillColor(COLORREF colour) override;
    void SetFillStyle(int on, bool redraw) override;
    void SetLineColor(COLORREF colour) override;
    void SetLineStyle(int style, int width, bool redraw) override;
    void SetLineVisible(int on, bool redraw) override;
    void SetTextColor(COLORREF colour, bool redraw) override;
    void SetArrowHeads(int first, int second, int size, int narrow, bool redraw) override;
    void SetPolyClosed(int closed, bool redraw) override;
    COLORREF GetFillColor() override;
    int GetFillStyle() override;
    COLORREF GetLineColor() override;
    void GetLineStyle(int& style, int& width) override;
    int GetLineVisible() override;
    bool GetTextColor(COLORREF& colour) override;
    int CanFill() override;
    int CanHaveLine() override;
    int HasTextFormat() override;
    int IsPolygon() override;
    int GetArrowHeads(int& first, int& second, int& size, int& narrow) override;
    int GetPolyClosed() override;
    int SetCharFormat(CDrawViewBase* view, const CHARFORMAT& format) override;
    int SetParaFormat(CDrawViewBase* view, const PARAFORMAT& format) override;
    const CHARFORMAT* GetCharFormat(CDrawViewBase* view) override;
    const PARAFORMAT* GetParaFormat(CDrawViewBase* view) override;
    int CanDuplicate() override;
    int CanCopyWith(const CDrawObjList& selection) override;
    void Draw(CDrawDC& dc, CDrawViewBase* view) override;
    int HasResizeHandles() override { return 0; }
    void MoveTo(const RECT& position, CDrawViewBase* view = nullptr) override;
    bool HitTest(POINT point, CDrawViewBase* view) override;
    void OnEditProperties(CDrawViewBase* view) override;
    CDrawObj* Clone(CDrawData* page) override;
    void Delete() override;
    double GetAngle() override;
    void SetAngle(double degrees) override { RotateBy(degrees); }
    void RotateBy(double degrees) override;
    int CanRotate() override;
    int IsGroup() override { return 1; }
    int CanSetSize() override { return 0; }

private:
    // Turns every member by tenths about its own centre and swings its
    // centre about c (nested groups likewise, about the same c).
    void RotateMembers(int tenths, POINT c);

    CDrawObjList m_children;
    // The merged formats handed out by GetCharFormat and GetParaFormat: each
    // group keeps its own, so that one group's answer stays valid while
    // another is asked.
    CHARFORMAT m_charFormat;
    PARAFORMAT m_paraFormat;
};
