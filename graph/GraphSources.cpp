#include "graph/GraphSources.h"

#include "draw/DrawData.h"
#include "framework/ArchiveHelpers.h"
#include "framework/ProjectDocBase.h"

CGraphSources* CGraphSources::Of(const CDrawData* page)
{
    return page ? dynamic_cast<CGraphSources*>(page->GetDocument()) : nullptr;
}

bool SameName(std::string_view a, std::string_view b) { return CompareNoCase(a, b) == 0; }
