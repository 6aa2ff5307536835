// Pasting a foreign data file read through the data filters, undoably.
#pragma once

#include "data/DataActionPasteBase.h"
#include "data/DataFilters.h"

#include <string>

class CDataActionPasteFromFile : public CDataActionPasteBase {
    DECLARE_DYNAMIC(CDataActionPasteFromFile)
public:
    CDataActionPasteFromFile(CDataTableItem* item, std::string path, std::string extension,
                             CDataFilters::ConvertChooser choose = {});

protected:
    std::unique_ptr<CMyData> ReadSource(RECT& block) override;

private:
    std::string m_path;
    std::string m_extension;
    CDataFilters::ConvertChooser m_choose;
};
