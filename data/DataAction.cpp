#include "data/DataAction.h"

#include "data/DataTableItem.h"
#include "data/MyData.h"

IMPLEMENT_DYNAMIC(CDataAction, CAction)

int CDataAction::Do()
{
    SaveViewState();
    return 1;
}

int CDataAction::Redo()
{
    RestoreViewState();
    return 1;
}

int CDataAction::Undo()
{
    RestoreViewState();
    return 1;
}

CDataTableView* CDataAction::View() const { return m_item->GetActiveView(); }
CMyData& CDataAction::Table() const { return m_item->GetTable(); }
void CDataAction::SetModified() { m_item->SetModified(true); }

void CDataAction::SaveViewState()
{
    if (CDataTableView* view = View())
        m_viewState = view->GetViewState();
}

void CDataAction::RestoreViewState()
{
    if (CDataTableView* view = View())
        view->SetViewState(m_viewState);
}

void CDataAction::EnsureGridSize()
{
    if (CDataTableView* view = View())
        view->EnsureGridSize();
}
