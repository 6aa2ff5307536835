// The tick labels of an axis: one drawing object per axis that prints the
// numbers beside the major ticks, in its own font, alignment, rotation and
// number format, placed beside the graph's frame and movable by the user.
#pragma once

#include "data/DataFormat.h"
#include "draw/DrawRect.h"

#include <string>
#include <vector>

class CDrawGraph;
class CXYAxis;

// One label of a block: where it stands on the axis and what it says.
struct CTickLabel {
    double value;
    std::string text;
};

class CXYScaleText : public CDrawRect {
    DECLARE_SERIAL(CXYScaleText)
public:
    CXYScaleText();
    CXYScaleText(const RECT& position, CDrawData* page, CDrawGraph* graph, bool vertical);

    void Serialize(CArchive& ar) override;
    void Draw(CDrawDC& dc, CDrawViewBase* view) override;
    CDrawObj* Clone(CDrawData* page) override;
    int GetFillStyle() override { return kNotApplicable; }
    int GetLineVisible() override { return kNotApplicable; }
    int CanHaveLine() override { return 0; }
    int CanFill() override { return 0; }
    int HasTextFormat() override { return 1; }
    int CanDuplicate() override { return 0; }
    int HasResizeHandles() override { return 0; }
    int CanSetSize() override { return 0; }
    int CanHide() override { return 1; }
    int IsKind(int kind) override { return kind == 1 ? 1 : 0; }
    int CanClearWith(const CDrawObjList& selection) override;
    int IsClearedAlone(const CDrawObjList& selection) override;
    int CanCopyWith(const CDrawObjList& selection) override;
    int SetCharFormat(CDrawViewBase* view, const CHARFORMAT& format) override;
    const CHARFORMAT* GetCharFormat(CDrawViewBase*) override { return &m_charFormat; }
    const PARAFORMAT* GetParaFormat(CDrawViewBase*) override { return &m_paraFormat; }
    // Only the alignment of a paragraph format applies to labels.
    int SetParaFormat(CDrawViewBase* view, const PARAFORMAT& format) override;
    void SetTextColor(COLORREF colour, bool redraw) override;
    bool GetTextColor(COLORREF& colour) override
    {
        colour = m_charFormat.crTextColor;
        return true;
    }
    double GetTextOrientation() override;
    void SetTextOrientation(double degrees) override;

    // The label text of one tick value (number format, custom text).
    std::string LabelText(double value) const;
    // The labels in axis order: one per major tick (category texts: names).
    virtual std::vector<CTickLabel> Labels() const;
    // Copies the drawing attributes, text records, sizes and number format.
    void CopyFrom(const CXYScaleText& other);
    // Measures the labels and places the block beside the graph's frame;
    // keepOffset keeps a displacement the user gave it along its axis.
    void Reposition(bool keepOffset);
    // Label font height in page units.
    int FontHeight() const;

    CDrawGraph* GetGraph() const { return m_pGraph; }
    void SetGraph(CDrawGraph* graph) { m_pGraph = graph; }
    CXYAxis* GetAxis() const { return m_pAxis; }
    void SetAxis(CXYAxis* axis) { m_pAxis = axis; }
    bool IsVertical() const { return m_bVertical != 0; }
    CDataFormat& GetNumberFormat() { return m_format; }
    SIZE GetLabelSize() const { return m_labelSize; }

    int m_bCustomFormat = 0;
    std::string m_strCustomFormat;

protected:
    // An empty block of the same class at the position (for cloning).
    virtual CXYScaleText* NewOfSameKind(const RECT& position, CDrawData* page) const;

private:
    SIZE MeasureLabels() const;

    CDrawGraph* m_pGraph = nullptr;
    CXYAxis* m_pAxis = nullptr;
    CHARFORMAT m_charFormat;
    PARAFORMAT m_paraFormat;
    SIZE m_labelSize{0, 0};
    int m_nOrientation = 0;
    RECT m_overhang{0, 0, 0, 0};
    CDataFormat m_format;
    int m_bVertical = 0;
};

class CXScaleText : public CXYScaleText {
    DECLARE_SERIAL(CXScaleText)
public:
    CXScaleText() : CXYScaleText() {}
    CXScaleText(const RECT& position, CDrawData* page, CDrawGraph* graph) : CXYScaleText(position, page, graph, false) {}
};

class CYScaleText : public CXYScaleText {
    DECLARE_SERIAL(CYScaleText)
public:
    CYScaleText();
    CYScaleText(const RECT& position, CDrawData* page, CDrawGraph* graph) : CXYScaleText(position, page, graph, true) {}
};
