#include "app/widgets/TableProjectWnd.h"

#include "app/MXGrid.h"
#include "app/widgets/DataView.h"

CDataView* CTableProjectWnd::GetDataView() const { return qobject_cast<CDataView*>(widget()); }

QWidget* CTableProjectWnd::CreateItemView() { return new CDataView(dynamic_cast<CMXGrid*>(m_pItem)); }

void CTableProjectWnd::OnDetach()
{
    if (CDataView* view = GetDataView())
        view->Detach();
}
