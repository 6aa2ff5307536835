#include "draw/DrawPageAction.h"

#include "draw/DrawData.h"
#include "draw/DrawTextBase.h"
#include "framework/ProjectDocBase.h"
#include "platform/Archive.h"
#include "platform/File.h"

IMPLEMENT_DYNAMIC(CDrawPageAction, CAction)

CDrawPageAction::CDrawPageAction(UINT descriptionId, CDrawData* page, std::vector<BYTE> before, std::vector<BYTE> after)
    : CAction(descriptionId)
    , m_pPage(page)
    , m_before(std::move(before))
    , m_after(std::move(after))
{
}

std::vector<BYTE> CDrawPageAction::Snapshot(CDrawData& page)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        page.Serialize(ar);
        ar.Close();
    }
    return file.Detach();
}

bool CDrawPageAction::RestoreSnapshot(CDrawData& page, const std::vector<BYTE>& bytes)
{
    if (page.m_pEditObj)
        page.m_pEditObj->EndEdit();
    // Every object is about to be made anew: the views let go of them.
    const CDrawObjList leaving = page.GetObjects();
    page.SetHintList(&leaving);
    page.BroadcastHint(HINT_DELETE_SELECTION);
    page.SetHintList(nullptr);
    try {
        CMemFile file(bytes);
        CArchive ar(&file, CArchive::load, 4096, page.GetDocument());
        page.Serialize(ar);
    } catch (const std::exception&) {
        return false;
    }
    page.SetModified(true);
    page.BroadcastHint(HINT_UPDATE_WINDOW);
    return true;
}
