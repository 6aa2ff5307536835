#include "data/DataActionGridPrefs.h"

#include "data/DataTableItem.h"
#include "platform/StringIds.h"

IMPLEMENT_DYNAMIC(CDataActionGridPrefs, CDataAction)

CDataActionGridPrefs::CDataActionGridPrefs(CDataTableItem* item, const CDataGridPrefs& prefs)
    : CDataAction(IDS_TABLE_PREFERENCES, item), m_new(prefs)
{
}

int CDataActionGridPrefs::Do()
{
    SaveViewState();
    CDataTableView* view = View();
    if (!view)
        return 0;
    m_old = view->GetGridPrefs();
    view->SetGridPrefs(m_new);
    SetModified();
    return 1;
}

int CDataActionGridPrefs::Redo()
{
    CDataTableView* view = View();
    if (!view)
        return 0;
    view->SetGridPrefs(m_new);
    SetModified();
    return 1;
}

int CDataActionGridPrefs::Undo()
{
    CDataTableView* view = View();
    if (!view)
        return 0;
    view->SetGridPrefs(m_old);
    SetModified();
    return 1;
}
