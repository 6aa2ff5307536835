// The category axes of column and bar charts: instead of values they carry
// the rows of one column of a data table, one category per row, labelled
// with the cells' texts. A column chart's X axis runs the categories left to
// right; a bar chart's Y axis runs them from the top down.
#pragma once

#include "graph/XYAxis.h"

class CMyData;
class CMXProjectItem;

// What both category axes do, on top of their value axis of the direction.
template <class Base>
class CCategoryAxisT : public Base {
public:
    CCategoryAxisT();

    void Serialize(CArchive& ar) override;
    void Draw(CDrawDC& dc) override;
    // No autoscaling: the range follows the number of categories.
    void Rescale() override;
    void OnDocumentChange(CUpdateNotification& notice, bool dataChanged) override;
    void LoadCategories(bool markModified = true) override;
    CAxisMapping GetMapping() const override;

    // The axis range from the number of names.
    void SetCategoryRange();
    // Whether a workspace notice concerns the category column (following
    // renames, column inserts and deletes on the way).
    bool CategoryNoticeApplies(CUpdateNotification& notice);

protected:
    CXYScaleText* MakeTickLabels(const RECT& position, CDrawData* page) const override;

private:
    const CMyData* FindCategoryTable(CMXProjectItem** item) const;
};

class CXAxisCategory : public CCategoryAxisT<CXAxis> {
    DECLARE_SERIAL(CXAxisCategory)
};

class CYAxisCategory : public CCategoryAxisT<CYAxis> {
    DECLARE_SERIAL(CYAxisCategory)
};
