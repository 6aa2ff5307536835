// The labels of a category axis: the category names instead of numbers, at
// the categories' places (halfway between two ticks when the ticks lie
// between categories), every n-th from a first category on. Otherwise a
// tick-label block like any other.
#pragma once

#include "graph/ScaleText.h"

// The names and places that a category axis labels (shared by both blocks).
std::vector<CTickLabel> CategoryLabels(const CXYAxis* axis);

class CXCatText : public CXScaleText {
    DECLARE_SERIAL(CXCatText)
public:
    CXCatText() = default;
    CXCatText(const RECT& position, CDrawData* page, CDrawGraph* graph) : CXScaleText(position, page, graph) {}
    std::vector<CTickLabel> Labels() const override { return CategoryLabels(GetAxis()); }

protected:
    CXYScaleText* NewOfSameKind(const RECT& position, CDrawData* page) const override
    {
        return new CXCatText(position, page, nullptr);
    }
};

class CYCatText : public CYScaleText {
    DECLARE_SERIAL(CYCatText)
public:
    CYCatText() = default;
    CYCatText(const RECT& position, CDrawData* page, CDrawGraph* graph) : CYScaleText(position, page, graph) {}
    std::vector<CTickLabel> Labels() const override { return CategoryLabels(GetAxis()); }

protected:
    CXYScaleText* NewOfSameKind(const RECT& position, CDrawData* page) const override
    {
        return new CYCatText(position, page, nullptr);
    }
};
