// A plain heading of a data table (column numbers, row numbers and the row
// titles), drawn as a raised heading in the table's row/column text colour.
#pragma once

#include "grid/HeaderCell.h"

class CDataView;

class CMyHeaderCell : public CHeaderCell {
    DECLARE_DYNCREATE(CMyHeaderCell)
public:
    void Draw(CGridPainter& painter, int row, int column, const RECT& cellRect, const RECT& textRect) override;
};

// The data view that a cell object of a data table belongs to (null for any other engine).
CDataView* DataViewOf(CGridEngine* engine);
// Heading drawing shared by the type and name headings: the raised face, then
// the text word-wrapped and centred in a font of seven tenths of the grid's.
void DrawDataHeading(CGridPainter& painter, CGridEngine& engine, const RECT& cellRect, const RECT& textRect,
                     const std::string& text, COLORREF colour);
