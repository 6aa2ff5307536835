#include "app/widgets/TableProjectWnd.h"

#include "app/MXGrid.h"
#include "app/widgets/DataSplitterWnd.h"
#include "app/widgets/DataView.h"


CDataSplitterWnd* CTableProjectWnd::GetSplitter() const { return qobject_cast<CDataSplitterWnd*>(widget()); }

CDataView* CTableProjectWnd::GetDataView() const
{
    CDataSplitterWnd* splitter = GetSplitter();
    return splitter ? splitter->GetActivePane() : nullptr;
}

QWidget* CTableProjectWnd::CreateItemView() { return new CDataSplitterWnd(dynamic_cast<CMXGrid*>(m_pItem)); }

void CTableProjectWnd::OnDetach()
{
    if (CDataSplitterWnd* splitter = GetSplitter())
        splitter->Detach();
}
