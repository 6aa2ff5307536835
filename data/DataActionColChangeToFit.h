// Sizing columns to their widest text: the selected columns, or every column.
#pragma once

#include "data/DataAction.h"

#include <map>

class CDataActionColChangeToFit : public CDataAction {
    DECLARE_DYNAMIC(CDataActionColChangeToFit)
public:
    // allColumns 0: the selected columns; otherwise columns 0 to the last column.
    CDataActionColChangeToFit(int allColumns, CDataTableItem* item);

    int Do() override;
    int Redo() override;
    int Undo() override;

private:
    void Apply();

    int m_allColumns;
    std::map<int, int> m_oldWidths; // -1: the default width
};
