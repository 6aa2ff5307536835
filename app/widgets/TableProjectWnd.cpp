#include "app/widgets/TableProjectWnd.h"

#include "app/MXGrid.h"
#include "app/widgets/DataSplitterWnd.h"
#include "app/widgets/DataView.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "platform/widgets/CommandIds.h"

#include <algorithm>
#include <cstdio>


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

bool CTableProjectWnd::OnCmdMsg(UINT id, CCmdUI* ui)
{
    if (id == ID_INDICATOR_ITEM_STATE && ui) {
        CDataView* view = GetDataView();
        if (view && view->GetGridData() && view->GetCurrentRow() >= 0) {
            // The numbers of the row and column headers; the type and name
            // rows above the data count as row 0.
            char text[101];
            std::snprintf(text, sizeof text, LoadString(IDS_CELL_PANE).c_str(), std::max(view->GetCurrentRow() - 2, 0),
                          view->GetCurrentColumn());
            ui->Enable();
            ui->SetText(text);
            return true;
        }
    }
    return CMXProjectWnd::OnCmdMsg(id, ui);
}
