#include "app/widgets/MXProjectWnd.h"

#include "app/MXProjectItem.h"
#include "app/widgets/MXListViewBar.h"

CMXProjectItem* CMXProjectWnd::GetMXItem() const { return dynamic_cast<CMXProjectItem*>(m_pItem); }

void CMXProjectWnd::OnLayoutChanged(UINT)
{
    if (QWidget* view = widget())
        view->updateGeometry();
    updateGeometry();
}

QWidget* CMXProjectWnd::CreateView()
{
    // The frame shows its kind's picture, as the list does.
    if (CMXProjectItem* item = GetMXItem())
        setWindowIcon(CMXListViewBar::KindIcon(item->GetKindFlag()));
    return CreateItemView();
}
