#include "app/widgets/MXTemplate.h"

#include "framework/ArchiveHelpers.h"
#include "framework/ProjectDocBase.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"

#include <filesystem>

namespace {

bool SamePath(const std::string& a, const std::string& b)
{
    std::error_code ec;
    return a == b || (std::filesystem::exists(a, ec) && std::filesystem::equivalent(a, b, ec));
}
} // namespace

CMXTemplate::Confidence CMXTemplate::MatchDocType(const std::string& path, CProjectDocBase*& match) const
{
    match = nullptr;
    if (CProjectDocBase* doc = GetDocument(); doc && !doc->GetPathName().empty() && SamePath(doc->GetPathName(), path)) {
        match = doc;
        return yesAlreadyOpen;
    }
    const std::string ext = GetDocString(filterExt);
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (ext.empty() || dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return yesAttemptForeign;
    const std::string pathExt = path.substr(dot);
    for (const std::string& native : {ext, LoadString(IDS_TEMPLATE_EXT), LoadString(IDS_EQUATION_EXT)})
        if (CompareNoCase(pathExt, native) == 0)
            return yesAttemptNative;
    // Every other file is tried too: the document's reader decides.
    return yesAttemptForeign;
}

void CMXTemplate::LoadTitle(UINT stringId) { SetDocStrings(LoadString(stringId)); }
