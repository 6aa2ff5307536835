#include "data/DataActionPasteFromFile.h"

#include "data/MyData.h"
#include "platform/StringIds.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CDataActionPasteFromFile, CDataActionPasteBase)

CDataActionPasteFromFile::CDataActionPasteFromFile(CDataTableItem* item, std::string path, std::string extension,
                                                   CDataFilters::ConvertChooser choose)
    : CDataActionPasteBase(IDS_TABLE_PASTE_FROM, item)
    , m_path(std::move(path))
    , m_extension(std::move(extension))
    , m_choose(std::move(choose))
{
}

std::unique_ptr<CMyData> CDataActionPasteFromFile::ReadSource(RECT& block)
{
    int result = 0;
    std::unique_ptr<CMyData> table = CDataFilters::Current().LoadFilterAndImport(m_path, m_extension, result, m_choose);
    if (table)
        block = RECT{0, 0, std::max(table->GetLastColumn(), 0), std::max(table->GetLastRow(-1), 0)};
    return table;
}
