// Applying a number format to the selected columns or to the whole table.
#pragma once

#include "data/DataAction.h"
#include "data/DataFormat.h"

#include <map>

class CDataActionColFormat : public CDataAction {
    DECLARE_DYNAMIC(CDataActionColFormat)
public:
    CDataActionColFormat(const CDataFormat& format, CDataTableItem* item);

    int Do() override;
    int Redo() override;
    int Undo() override;

private:
    void Apply();

    CDataFormat m_format;
    CDataFormat m_oldDefault;
    bool m_wholeTable = false;
    std::map<int, CDataFormat> m_oldFormats; // columns that had a record
    std::map<int, int> m_oldWidths;          // -1: the default width
};
