#include "app/widgets/MXProjectWnd.h"

#include "app/MXProjectItem.h"

CMXProjectItem* CMXProjectWnd::GetMXItem() const { return dynamic_cast<CMXProjectItem*>(m_pItem); }

void CMXProjectWnd::OnLayoutChanged(UINT)
{
    if (QWidget* view = widget())
        view->updateGeometry();
    updateGeometry();
}
